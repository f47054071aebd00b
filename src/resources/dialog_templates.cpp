#include "resources/dialog_templates.h"

#include "resources/resource_ids.h"

namespace resources {

namespace {

using platform::ControlKind;
using platform::DialogTemplate;
using K = platform::ControlKind;
constexpr int kNoId = -1;
constexpr const char* kFont = "MS Shell Dlg";

const DialogTemplate kAbout{
    IDD_ABOUTBOX, 291, 80,
    platform::kPopup | platform::kCaption | platform::kSystemMenu | platform::kModalFrame,
    "About Velmora Zudodo Raridevi", kFont, 8,
    {
        {kNoId, K::Icon, "151", 14, 17, 21, 20},
        {kNoId, K::Static, "Velmora Zudodo Raridevi", 44, 17, 180, 8},
        {kNoId, K::Static, "Version: 1.1", 44, 30, 180, 8},
        {1, K::DefPushButton, "OK", 234, 59, 50, 14},
    }};

const DialogTemplate kMain{
    IDD_MAIN, 435, 277,
    platform::kPopup | platform::kVisible | platform::kMinimizeBox | platform::kSystemMenu,
    "Velmora Zudodo Raridevi", kFont, 8,
    {
        {1052, K::PushButton, "Select Area", 12, 42, 65, 22},
        {1053, K::PushButton, "Video", 97, 42, 65, 22},
        {1055, K::PushButton, "Audio", 182, 42, 65, 22},
        {1056, K::PushButton, "Output", 267, 42, 65, 22},
        {1016, K::PushButton, "Start", 266, 235, 52, 22},
        {1003, K::PushButton, "Pause", 318, 235, 52, 23},
        {1004, K::PushButton, "Stop", 370, 235, 52, 23},
        {1020, K::PushButton, "Mini", 400, 5, 14, 11},
        {1019, K::PushButton, "Close", 416, 5, 14, 11},
        {1017, K::PushButton, "Option", 361, 24, 30, 11},
        {1018, K::PushButton, "Help", 396, 24, 30, 11},
        {1006, K::GroupBox, "child dlg area", 36, 77, 354, 141, platform::kHidden},
        {1054, K::EtchedLine, "", 0, 225, 434, 1},
        {1057, K::EtchedLine, "", 0, 65, 434, 1},
        {1039, K::Static, "Information size", 20, 232, 92, 8},
        {1040, K::Static, "Audio: PCM", 20, 248, 189, 8},
        {1041, K::Static, "Information mouse", 20, 256, 65, 8},
        {1088, K::Static, "Vide Type:", 20, 240, 226, 8},
    }};

const DialogTemplate kRegionPage{
    IDD_REGION_PAGE, 354, 135, platform::kChild, nullptr, kFont, 8,
    {
        {1071, K::GroupBox, "Screen Area", 0, 0, 351, 135},
        {1028, K::RadioButton, "Full Screen", 16, 16, 120, 10},
        {1029, K::RadioButton, "Selected Region", 16, 31, 120, 10},
        {1036, K::Static, "Left:", 30, 50, 32, 8},
        {1030, K::Edit, "", 64, 48, 46, 13, platform::kBorder},
        {1044, K::Spin, "", 110, 48, 11, 13},
        {1039, K::Static, "Top:", 136, 50, 32, 8},
        {1031, K::Edit, "", 170, 48, 46, 13, platform::kBorder},
        {1045, K::Spin, "", 216, 48, 11, 13},
        {1037, K::Static, "Width :", 30, 68, 32, 8},
        {1013, K::Edit, "", 64, 66, 46, 13, platform::kBorder},
        {1046, K::Spin, "", 110, 66, 11, 13},
        {1040, K::Static, "Height:", 136, 68, 32, 8},
        {1014, K::Edit, "", 170, 66, 46, 13, platform::kBorder},
        {1047, K::Spin, "", 216, 66, 11, 13},
        {1032, K::PushButton, "Select Window", 250, 47, 86, 14},
        {1018, K::PushButton, "Select Region", 250, 65, 86, 14},
        {1038, K::CheckBox, "Show Flashing Rectangle", 30, 92, 160, 10},
        {1065, K::CheckBox, "Show Selected Area", 30, 108, 160, 10},
    }};

const DialogTemplate kVideoPage{
    IDD_VIDEO_PAGE, 354, 135, platform::kChild, nullptr, kFont, 8,
    {
        {1073, K::GroupBox, "Video Setting", 0, 0, 351, 78},
        {1070, K::Static, "Video Format:", 12, 15, 52, 8},
        {1019, K::DropList, "", 66, 13, 150, 100},
        {1060, K::Static, "Quality:", 12, 35, 52, 8},
        {1022, K::Trackbar, "", 62, 32, 120, 15},
        {1035, K::Static, "Quality", 186, 35, 30, 8},
        {1061, K::Static, "FPS:", 226, 35, 22, 8},
        {1024, K::DropList, "", 250, 33, 60, 80},
        {1036, K::Static, "Tips:", 12, 55, 22, 8},
        {1089, K::Static, "This type will be more fast than other type!", 36, 55, 306, 18},
        {1074, K::GroupBox, "Mouse Setting", 0, 82, 351, 53},
        {1023, K::CheckBox, "Record Cursor Movement", 12, 96, 150, 10},
        {1020, K::CheckBox, "HighLight Mouse", 12, 114, 96, 10},
        {1021, K::CheckBox, "Hightlight Click", 112, 114, 96, 10},
        {1027, K::PushButton, "Setting", 250, 111, 60, 14},
    }};

const DialogTemplate kAudioPage{
    IDD_AUDIO_PAGE, 357, 135, platform::kChild, nullptr, kFont, 8,
    {
        {1072, K::GroupBox, "Audio Setting", 0, 0, 351, 135},
        {1018, K::CheckBox, "Record Audio", 12, 14, 120, 10},
        {1058, K::GroupBox, "Audio Quality:", 8, 30, 336, 36},
        {1025, K::DropList, "", 16, 44, 180, 100},
        {1024, K::DropList, "", 200, 44, 30, 60},
        {1033, K::PushButton, "Volume Control", 212, 43, 126, 14},
        {1059, K::GroupBox, "Audio Compressed Format:", 8, 72, 336, 58},
        {1011, K::ReadOnlyEdit, "", 16, 86, 188, 13, platform::kBorder},
        {1012, K::ReadOnlyEdit, "", 16, 106, 188, 13, platform::kBorder},
        {1015, K::PushButton, "Choose  Compressed Format", 212, 95, 126, 14},
    }};

const DialogTemplate kOutputPage{
    IDD_OUTPUT_PAGE, 355, 135, platform::kChild, nullptr, kFont, 8,
    {
        {1075, K::GroupBox, "Output Setting", 0, 0, 351, 135},
        {1008, K::RadioButton, "Save manually", 40, 32, 105, 10},
        {1009, K::RadioButton, "Auto Save", 40, 53, 80, 10},
        {1011, K::FolderEdit, "", 49, 68, 204, 14, platform::kBorder},
        {1018, K::PushButton, "Open", 255, 68, 38, 14},
    }};

const DialogTemplate kRegionOverlay{
    IDD_REGION_OVERLAY, 320, 200, platform::kPopup | platform::kTopMost, nullptr, kFont, 8, {}};

const DialogTemplate kWindowPicker{
    IDD_WINDOW_PICKER, 320, 200, platform::kPopup | platform::kTopMost, nullptr, kFont, 8, {}};

const DialogTemplate kOptions{
    IDD_OPTIONS, 281, 203,
    platform::kPopup | platform::kCaption | platform::kSystemMenu | platform::kModalFrame,
    "Options", kFont, 8,
    {
        {1076, K::GroupBox, "Program Options", 7, 5, 267, 82},
        {1018, K::CheckBox, "Minimize the program when start recording", 16, 18, 250, 10},
        {1049, K::CheckBox, "Play video when finish recording", 16, 31, 250, 10},
        {1050, K::CheckBox, "Use Tray Icon", 16, 44, 250, 10},
        {1051, K::CheckBox, "Close to tray", 28, 57, 238, 10},
        {1052, K::CheckBox, "Minimize to tray", 28, 70, 238, 10},
        {1077, K::GroupBox, "Hot Key Settings", 7, 92, 267, 82},
        {1078, K::Static, "Start Hotkey:", 14, 109, 52, 8},
        {1040, K::CheckBox, "CTRL", 68, 108, 35, 10},
        {kNoId, K::Static, "+", 104, 109, 6, 8},
        {1041, K::CheckBox, "ALT", 112, 108, 29, 10},
        {kNoId, K::Static, "+", 142, 109, 6, 8},
        {1042, K::CheckBox, "SHIFT", 150, 108, 37, 10},
        {kNoId, K::Static, "+", 188, 109, 6, 8},
        {1024, K::DropList, "", 197, 107, 68, 120},
        {1079, K::Static, "Pause Hotkey:", 14, 130, 52, 8},
        {1043, K::CheckBox, "CTRL", 68, 129, 35, 10},
        {kNoId, K::Static, "+", 104, 130, 6, 8},
        {1044, K::CheckBox, "ALT", 112, 129, 29, 10},
        {kNoId, K::Static, "+", 142, 130, 6, 8},
        {1045, K::CheckBox, "SHIFT", 150, 129, 37, 10},
        {kNoId, K::Static, "+", 188, 130, 6, 8},
        {1025, K::DropList, "", 197, 128, 68, 120},
        {1080, K::Static, "Stop Hotkey:", 14, 151, 52, 8},
        {1046, K::CheckBox, "CTRL", 68, 150, 35, 10},
        {kNoId, K::Static, "+", 104, 151, 6, 8},
        {1047, K::CheckBox, "ALT", 112, 150, 29, 10},
        {kNoId, K::Static, "+", 142, 151, 6, 8},
        {1048, K::CheckBox, "SHIFT", 150, 150, 37, 10},
        {kNoId, K::Static, "+", 188, 151, 6, 8},
        {1026, K::DropList, "", 197, 149, 68, 120},
        {1, K::DefPushButton, "OK", 170, 182, 50, 14},
        {2, K::PushButton, "Cancel", 224, 182, 50, 14},
    }};

const DialogTemplate kProgress{
    IDD_PROGRESS, 252, 33, platform::kPopup | platform::kCaption | platform::kModalFrame,
    "Zudodo Raridevi", kFont, 8,
    {
        {kNoId, K::Static, "Merging......", 25, 3, 184, 8},
        {1051, K::Progress, "", 19, 15, 212, 14, platform::kBorder},
    }};

const DialogTemplate kCursorHighlight{
    IDD_CURSOR_HIGHLIGHT, 180, 174,
    platform::kPopup | platform::kCaption | platform::kSystemMenu | platform::kModalFrame,
    "Zudodo Raridevi", kFont, 8,
    {
        {1081, K::Static, "Cursor Color:", 12, 14, 72, 8},
        {1015, K::ColorPicker, "Color", 88, 11, 80, 14},
        {1036, K::Static, "Left-click Color:", 12, 34, 72, 8},
        {1018, K::ColorPicker, "Left Button Color", 88, 31, 80, 14},
        {1037, K::Static, "Right-click Color:", 12, 54, 72, 8},
        {1026, K::ColorPicker, "Right Button Color", 88, 51, 80, 14},
        {1082, K::Static, "Size:", 12, 76, 28, 8},
        {1064, K::Trackbar, "", 40, 73, 104, 15},
        {1090, K::Static, "Static", 148, 76, 24, 8},
        {1, K::DefPushButton, "OK", 66, 154, 50, 14},
        {2, K::PushButton, "Cancel", 120, 154, 50, 14},
    }};

const DialogTemplate kStatus{
    IDD_STATUS, 92, 17, platform::kPopup | platform::kThinBorder | platform::kTopMost, nullptr,
    kFont, 8,
    {
        {1003, K::PushButton, "", 41, 0, 16, 15},
        {1004, K::PushButton, "", 57, 0, 16, 15},
        {1069, K::Static, "00:00:00", 7, 3, 31, 8},
    }};

}  // namespace

const std::vector<const DialogTemplate*>& AllDialogTemplates() {
    static const std::vector<const DialogTemplate*> all{
        &kAbout,     &kMain,      &kRegionPage,    &kVideoPage,       &kAudioPage, &kOutputPage,
        &kRegionOverlay, &kWindowPicker, &kOptions, &kProgress, &kCursorHighlight, &kStatus};
    return all;
}

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t : AllDialogTemplates())
        if (t->id == id) return t;
    return nullptr;
}

}  // namespace resources
