// Runs one settings operation in a process of its own and reports through its exit code:
//   settings_probe registered <name>         0 when the Run value exists, else 1
//   settings_probe register <name> <text>    0 when SetAutoRunEntry succeeded, else 1
//   settings_probe shortcut                  0 when the desktop shortcut loads, else 1
//   settings_probe servers <srv.xml path>    the number of server entries read
//   settings_probe save <program dir> <text> SaveAutoRunCmd(text) with that g_appDir; 0
#include "app/app_globals.h"
#include "settings/autorun_entry.h"
#include "settings/desktop_shortcut.h"
#include "app/program_paths.h"
#include "settings/server_file.h"
#include "settings/server_file_reader.h"

#include <string_view>

namespace {

constexpr int kUsageError = 100;

int Probe(int argc, wchar_t** argv) {
    const std::wstring_view mode = argc > 1 ? argv[1] : L"";
    if (mode == L"registered" && argc == 3)
        return IsAutoRunRegistered(argv[2]) ? 0 : 1;
    if (mode == L"register" && argc == 4)
        return SetAutoRunEntry(argv[2], argv[3], true) ? 0 : 1;
    if (mode == L"shortcut" && argc == 2)
        return DesktopShortcutExists(GetModulePath().c_str()) ? 0 : 1;
    if (mode == L"servers" && argc == 3)
        return static_cast<int>(ReadServerEntries(argv[2]).size());
    if (mode == L"save" && argc == 4) {
        g_appDir = argv[2];
        SaveAutoRunCmd(argv[3]);
        return 0;
    }
    return kUsageError;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Probe(argc, argv);
}
