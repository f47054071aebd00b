#pragma once
// Resource numbers: dialog templates, menus, icon and cursors.
namespace resources {

constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_MAIN = 102;
constexpr int IDD_REGION_PAGE = 129;
constexpr int IDD_VIDEO_PAGE = 130;
constexpr int IDD_AUDIO_PAGE = 131;
constexpr int IDD_OUTPUT_PAGE = 132;
constexpr int IDD_REGION_OVERLAY = 133;
constexpr int IDD_WINDOW_PICKER = 136;
constexpr int IDD_OPTIONS = 138;
constexpr int IDD_PROGRESS = 147;
constexpr int IDD_CURSOR_HIGHLIGHT = 149;
constexpr int IDD_STATUS = 152;

// Status lines of the main window (template 102), written by the pages too.
constexpr int IDC_AREA_LINE = 1039;
constexpr int IDC_SOUND_LINE = 1040;
constexpr int IDC_CURSOR_LINE = 1041;
constexpr int IDC_TYPE_LINE = 1088;

constexpr int IDR_TRAY_MENU = 139;
constexpr int IDR_HELP_MENU = 145;

// Commands of the tray menu.
constexpr int ID_TRAY_RECORD = 32771;
constexpr int ID_TRAY_PAUSE = 32772;
constexpr int ID_TRAY_STOP = 32773;
constexpr int ID_TRAY_EXIT = 32774;

// Commands of the Help menu.
constexpr int ID_HELP_FILE = 32783;
constexpr int ID_SUPPORT = 32791;
constexpr int ID_PRODUCT_PAGE = 32782;
constexpr int ID_OPEN_LOG = 32778;
constexpr int ID_ABOUT = 32784;

constexpr int IDR_MAINFRAME = 151;  // application icon

constexpr int kIdcHand = 129;       // hand cursor over skinned buttons
constexpr int kIdcOverlay = 1015;   // region overlay cursor

}  // namespace resources
