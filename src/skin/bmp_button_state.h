#pragma once
// The mouse state machine and frame choice of a skinned bitmap button, apart from any widget.
// Thread contract: plain value type, used on the button's thread.
#include <cstdint>

namespace skin {

constexpr int kPushMode = 2;  // push button
constexpr int kTabMode = 3;   // page tab: shows its check state

// Frames of a strip, counted from the left.
constexpr int kFrameNormal = 1;
constexpr int kFrameHover = 2;
constexpr int kFramePressed = 3;  // pressed, or checked in tab mode
constexpr int kFrameDisabled = 4;

// What the button must do after an input event.
struct ButtonActions {
    bool repaint = false;
    bool capture = false;         // start following the mouse outside the button
    bool releaseCapture = false;
    bool takeFocus = false;
    bool click = false;           // tell the parent the button was clicked
};

int ChooseFrame(int mode, bool enabled, bool hover, bool pressed, bool checked);

class BmpButtonState {
public:
    ButtonActions OnMouseMove(bool insideClient);
    ButtonActions OnLeftButtonDown();
    ButtonActions OnLeftButtonUp();

    std::int32_t hover = 0;
    std::int32_t pressed = 0;
};

}  // namespace skin
