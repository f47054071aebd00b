#pragma once
// Dialog templates as data: size in dialog units, style, font and controls (id, kind, text,
// rectangle in dialog units). The recorder's templates live in src/resources; the builder
// (dialog_builder.h) turns one into Qt widgets.
#include <cstdint>
#include <vector>

namespace platform {

enum class ControlKind {
    Static,         // text label
    GroupBox,
    PushButton,
    DefPushButton,  // the default button (Enter), drawn like a push button
    CheckBox,
    RadioButton,    // automatic radio button; consecutive radio buttons form a group
    Edit,
    ReadOnlyEdit,
    FolderEdit,     // edit with a folder-browse button
    DropList,       // drop-down list
    Spin,           // up-down buttons attached to the edit before it
    Trackbar,
    Progress,
    EtchedLine,     // horizontal etched line
    Icon,           // static picture of an icon resource (text = the icon id)
    ColorPicker,    // colour-picker button
};

// Control style bits the builder honours.
enum ControlStyle : std::uint32_t {
    kHidden = 1u << 0,    // not visible when created
    kDisabled = 1u << 1,  // disabled when created
    kBorder = 1u << 2,
};

struct ControlTemplate {
    int id;  // -1: a control without an id
    ControlKind kind;
    const char* text;
    int x, y, w, h;  // dialog units
    std::uint32_t style = 0;
};

enum DialogStyle : std::uint32_t {
    kChild = 1u << 0,        // embedded child page without a frame
    kPopup = 1u << 1,        // top-level window
    kCaption = 1u << 2,      // with a title bar
    kSystemMenu = 1u << 3,   // with a close button
    kMinimizeBox = 1u << 4,
    kVisible = 1u << 5,
    kThinBorder = 1u << 6,
    kModalFrame = 1u << 7,
    kTopMost = 1u << 8,
};

struct DialogTemplate {
    int id;
    int width, height;  // dialog units
    std::uint32_t style;
    const char* caption;
    const char* fontName;
    int fontPoints;
    std::vector<ControlTemplate> controls;
};

// One dialog unit: 6/4 pixel horizontally and 13/8 pixel vertically (the 8-point dialog font's
// base units at 96 DPI), rounded half away from zero like MulDiv.
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

}  // namespace platform
