#include "ui/mainwnd/server_list_notice.h"

#include "ui/mainwnd/main_wnd_texts.h"

ServerListNotice NoticeForServerList(const ServerList& list, bool fileWasMissing) {
    if (!list.fault)
        return {.format = list.entries.empty() ? kNoticeNoServer : nullptr};
    if (fileWasMissing)
        return {.useDefaults = true, .format = kNoticeServerFileNotCreated};
    if (list.fault->opened && list.fault->line > 0)
        return {.useDefaults = true,
                .format = kNoticeServerFileRefusedAtLine,
                .line = list.fault->line};
    return {.useDefaults = true, .format = kNoticeServerFileUnreadable};
}
