#include "skin/bmp_button_state.h"

namespace skin {

int ChooseFrame(int mode, bool enabled, bool hover, bool pressed, bool checked) {
    if (!enabled) return kFrameDisabled;
    if (mode == kTabMode) {
        if (checked) return kFramePressed;
        return hover ? kFrameHover : kFrameNormal;
    }
    if (!hover) return kFrameNormal;
    return pressed ? kFramePressed : kFrameHover;
}

ButtonActions BmpButtonState::OnMouseMove(bool insideClient) {
    ButtonActions a;
    if (insideClient) {
        if (!hover) {
            hover = 1;
            a.repaint = true;
            a.capture = true;
        }
    } else if (hover) {
        hover = 0;
        a.repaint = true;
        a.releaseCapture = !pressed;
    }
    return a;
}

ButtonActions BmpButtonState::OnLeftButtonDown() {
    pressed = 1;
    hover = 1;
    ButtonActions a;
    a.repaint = true;
    a.takeFocus = true;
    return a;
}

ButtonActions BmpButtonState::OnLeftButtonUp() {
    ButtonActions a;
    a.releaseCapture = true;
    pressed = 0;
    a.repaint = true;
    if (hover) {
        hover = 0;
        a.click = true;
    }
    return a;
}

}  // namespace skin
