#pragma once
// The rules of choosing the area, apart from any window: keeping typed values on the screen,
// the picked window's rectangle, the rectangle of a drag, the picker's help box corner and the
// integer exchange of the edit boxes.
// Thread contract: plain functions; any thread.
#include "platform/core/types.h"
#include "platform/x11/screen_source.h"  // platform::Point

#include <optional>
#include <string>

namespace area {

// The four boxes: left, top, width and height, in that order (the settings RecordLeft,
// RecordTop, RecordRight and RecordBottom).
struct AreaBoxes {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const AreaBoxes&) const = default;
};

enum class Box { Left, Top, Width, Height };

// Keeps the area on a screen of `screenWidth` x `screenHeight`, testing only the box that
// changed: a Left or Top that puts the area past the far edge (or is negative) moves back so the
// area ends at that edge; a Width or Height that is too large or negative becomes what is left
// of the screen.
AreaBoxes ClampChangedBox(AreaBoxes boxes, Box changed, int screenWidth, int screenHeight);

// The boxes for a picked window's rectangle, cut at the right and bottom screen edges and at 0;
// a rectangle wholly left of or above the screen gives the whole screen.
AreaBoxes PickedRectToBoxes(platform::Rect picked, int screenWidth, int screenHeight);

// The rectangle a drag leaves when the button goes up at `release`: on each axis, a release
// before the press point spans release..press; otherwise press..pointer, where `pointer` is the
// last position followed while dragging (frozen while Shift or Ctrl is held).
platform::Rect DragRectangle(platform::Point press, platform::Point pointer,
                             platform::Point release);

// Where the picker's help box goes after the pointer moved to (x, y): `bottomRight` is the
// current corner. Near the top-left corner it moves to the bottom right; near the bottom or right
// edge to the top left (that test wins when both hold).
constexpr int kHelpBoxWidth = 190;
constexpr int kHelpBoxHeight = 130;
bool HelpBoxAtBottomRight(bool bottomRight, int x, int y, int screenWidth, int screenHeight);

// The integer exchange of an edit box: optional blanks, an optional sign, decimal digits and
// optional trailing blanks, within the range of int. Anything else (an empty box included)
// is not an integer.
std::optional<int> ParseBoxInteger(const std::string& text);

// `format` with its first and second "%d" replaced by x and y; any other text is kept as it is.
std::string FormatPointerLine(const std::string& format, int x, int y);

}  // namespace area
