#pragma once
// The skinned buttons of the main window: their ids, strip files and places.
#include "platform/core/types.h"

#include <array>

namespace app {

constexpr int IDC_START = 1016;
constexpr int IDC_PAUSE = 1003;
constexpr int IDC_STOP = 1004;
constexpr int IDC_MINI = 1020;
constexpr int IDC_CLOSE = 1019;
constexpr int IDC_OPTION = 1017;
constexpr int IDC_HELP = 1018;
constexpr int IDC_PAGE_AREA = 1006;
constexpr int IDC_LINE_BOTTOM = 1054;
constexpr int IDC_LINE_TOP = 1057;
constexpr int IDC_TAB_AREA = 1052;
constexpr int IDC_TAB_VIDEO = 1053;
constexpr int IDC_TAB_AUDIO = 1055;
constexpr int IDC_TAB_OUTPUT = 1056;
constexpr std::array<int, 4> kPageTabs{IDC_TAB_AREA, IDC_TAB_VIDEO, IDC_TAB_AUDIO, IDC_TAB_OUTPUT};

// Split point of the main window's background stretch.
constexpr int kMainSplitX = 610;
constexpr int kMainSplitY = 200;

struct SkinButtonPlace {
    int id;
    const char* file;  // under the program folder
    int x, y;          // from the left / top; negative: from the right / bottom edge
    int width, height;
    bool tab;          // page tab (check state shown)
};

constexpr std::array<SkinButtonPlace, 11> kSkinButtons{{
    {IDC_MINI, "skins/mini.bmp", -49, 8, 21, 21, false},
    {IDC_CLOSE, "skins/close.bmp", -26, 8, 21, 21, false},
    {IDC_OPTION, "skins/Option.bmp", -115, 39, 50, 15, false},
    {IDC_HELP, "skins/Help.bmp", -60, 39, 50, 15, false},
    {IDC_START, "skins/Start.bmp", -260, -68, 74, 39, false},
    {IDC_PAUSE, "skins/Pause.bmp", -180, -68, 74, 39, false},
    {IDC_STOP, "skins/Stop.bmp", -100, -68, 74, 39, false},
    {IDC_TAB_AREA, "skins/Select Area.bmp", 15, 71, 101, 39, true},
    {IDC_TAB_VIDEO, "skins/Video.bmp", 119, 71, 101, 39, true},
    {IDC_TAB_AUDIO, "skins/Audio.bmp", 223, 71, 101, 39, true},
    {IDC_TAB_OUTPUT, "skins/Output.bmp", 327, 71, 101, 39, true},
}};

// The button's rectangle in a window of width w and height h.
platform::Rect SkinButtonRect(const SkinButtonPlace& place, int w, int h);

}  // namespace app
