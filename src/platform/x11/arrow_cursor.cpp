#include "platform/x11/screen_source.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>

namespace platform {

namespace {

// The classic arrow, 12 × 19: '#' black outline, '.' white fill.
constexpr const char* kArrow[] = {
    "#           ", "##          ", "#.#         ", "#..#        ", "#...#       ",
    "#....#      ", "#.....#     ", "#......#    ", "#.......#   ", "#........#  ",
    "#.........# ", "#......#####", "#...#..#    ", "#..# #..#   ", "#.#  #..#   ",
    "##    #..#  ", "#     #..#  ", "       #..# ", "       ###  ",
};

CursorImage LoadThemeArrow() {
    CursorImage image;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return image;
    XcursorImage* loaded = XcursorLibraryLoadImage("left_ptr", XcursorGetTheme(display),
                                                   XcursorGetDefaultSize(display));
    if (loaded) {
        image.width = static_cast<int>(loaded->width);
        image.height = static_cast<int>(loaded->height);
        image.xHotspot = static_cast<int>(loaded->xhot);
        image.yHotspot = static_cast<int>(loaded->yhot);
        image.argb.assign(loaded->pixels, loaded->pixels + loaded->width * loaded->height);
        XcursorImageDestroy(loaded);
    }
    XCloseDisplay(display);
    return image;
}

}  // namespace

CursorImage BuiltInArrow() {
    CursorImage image;
    image.width = 12;
    image.height = static_cast<int>(sizeof kArrow / sizeof kArrow[0]);
    image.argb.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            char c = kArrow[y][x];
            if (c == '#') image.argb[y * image.width + x] = 0xFF000000;
            if (c == '.') image.argb[y * image.width + x] = 0xFFFFFFFF;
        }
    return image;
}

const CursorImage& ArrowCursor() {
    static const CursorImage arrow = [] {
        CursorImage theme = LoadThemeArrow();
        return theme.argb.empty() ? BuiltInArrow() : theme;
    }();
    return arrow;
}

}  // namespace platform
