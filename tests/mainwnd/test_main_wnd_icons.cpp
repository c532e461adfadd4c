#include "tests/mainwnd/main_wnd_fixture.h"
#include "app/start_up.h"
#include "ui/mainwnd/window_icons.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width; // 0 stands for 256
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

std::string_view Resource(const wchar_t* type, const wchar_t* name) {
    const HRSRC hInfo = FindResourceW(g_hInstance, name, type);
    if (!hInfo)
        return {};
    return {static_cast<const char*>(LockResource(LoadResource(g_hInstance, hInfo))),
            SizeofResource(g_hInstance, hInfo)};
}

std::string_view IconGroup() {
    return Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(128));
}

std::vector<GroupIconEntry> IconGroupEntries() {
    const std::string_view group = IconGroup();
    GroupIconHeader header = {};
    if (group.size() < sizeof header)
        return {};
    std::memcpy(&header, group.data(), sizeof header);
    std::vector<GroupIconEntry> entries(header.count);
    if (group.size() < sizeof header + header.count * sizeof(GroupIconEntry))
        return {};
    std::memcpy(entries.data(), group.data() + sizeof header, entries.size() * sizeof entries[0]);
    return entries;
}

// The icon made from the group's own image of that size, unscaled.
HICON IconImageOfSize(int size) {
    const std::string_view group = IconGroup();
    auto* const bits = reinterpret_cast<BYTE*>(const_cast<char*>(group.data()));
    const int id = LookupIconIdFromDirectoryEx(bits, TRUE, size, size, LR_DEFAULTCOLOR);
    const std::string_view image = Resource(RT_ICON, MAKEINTRESOURCEW(id));
    return CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.data())),
                                    static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

struct IconPixels {
    LONG width = 0;
    LONG height = 0;
    std::vector<DWORD> colour; // top-down rows of 32-bit pixels
    bool operator==(const IconPixels&) const = default;
};

IconPixels PixelsOf(HICON hIcon) {
    ICONINFO info = {};
    if (!GetIconInfo(hIcon, &info))
        return {};
    IconPixels pixels;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    pixels.width = bitmap.bmWidth;
    pixels.height = bitmap.bmHeight;
    pixels.colour.resize(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const HDC hScreen = GetDC(nullptr);
    GetDIBits(hScreen, info.hbmColor, 0, bitmap.bmHeight, pixels.colour.data(), &format,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, hScreen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

HICON WindowIcon(HWND hWnd, WPARAM which) {
    return reinterpret_cast<HICON>(SendMessageW(hWnd, WM_GETICON, which, 0));
}

TEST(MainIcon, HoldsItsImagesAt16_32_48And256PixelsTheLargestAsPng) {
    g_hInstance = GetModuleHandleW(nullptr);
    const auto entries = IconGroupEntries();
    ASSERT_EQ(entries.size(), 4u);
    const int sizes[] = {16, 32, 48, 256};
    for (size_t i = 0; i < entries.size(); ++i) {
        const int size = entries[i].width == 0 ? 256 : entries[i].width;
        EXPECT_EQ(size, sizes[i]) << "image " << i;
        EXPECT_EQ(entries[i].height, entries[i].width) << "image " << i;
        EXPECT_EQ(entries[i].bitCount, 32) << "image " << i;
        const std::string_view image = Resource(RT_ICON, MAKEINTRESOURCEW(entries[i].id));
        EXPECT_EQ(image.substr(0, 8) == "\x89PNG\r\n\x1a\n", size == 256) << "image " << i;
    }
}

TEST_F(MainWindowTest, IsShownWithItsCaptionAndIconsDrawnAtTheirOwnSizes) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    ShowMainWindow(hWnd);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_EQ(WindowText(hWnd), L"Vexlo v1.1");
    ASSERT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    for (const auto& [which, size] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
        const HICON hImage = IconImageOfSize(size);
        const IconPixels expected = PixelsOf(hImage);
        ASSERT_EQ(expected.width, size);
        EXPECT_TRUE(PixelsOf(WindowIcon(hWnd, which)) == expected) << size << " pixels";
        DestroyIcon(hImage);
    }
}

TEST_F(MainWindowTest, TakesItsIconsAtTheSizesOfADpiAndDestroysTheOnesItReplaces) {
    const HWND hWnd = CreateMainWindow();
    ASSERT_TRUE(hWnd);
    const struct {
        UINT dpi;
        LONG small;
        LONG big;
    } cases[] = {{96, 16, 32}, {144, 24, 48}, {192, 32, 64}, {96, 16, 32}};
    HICON hPreviousSmall = nullptr, hPreviousBig = nullptr;
    for (const auto& c : cases) {
        SetWindowIcons(hWnd, c.dpi);
        const HICON hSmall = WindowIcon(hWnd, ICON_SMALL), hBig = WindowIcon(hWnd, ICON_BIG);
        EXPECT_EQ(PixelsOf(hSmall).width, c.small) << c.dpi << " DPI";
        EXPECT_EQ(PixelsOf(hSmall).height, c.small) << c.dpi << " DPI";
        EXPECT_EQ(PixelsOf(hBig).width, c.big) << c.dpi << " DPI";
        EXPECT_EQ(PixelsOf(hBig).height, c.big) << c.dpi << " DPI";
        ICONINFO info = {};
        for (const HICON hPrevious : {hPreviousSmall, hPreviousBig})
            EXPECT_TRUE(!hPrevious || !GetIconInfo(hPrevious, &info)) << "kept at " << c.dpi;
        hPreviousSmall = hSmall;
        hPreviousBig = hBig;
    }
    DestroyWindow(hWnd);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(hPreviousSmall, &info)) << "the small icon outlived its window";
    EXPECT_FALSE(GetIconInfo(hPreviousBig, &info)) << "the big icon outlived its window";
}

} // namespace
