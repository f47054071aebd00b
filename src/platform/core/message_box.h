#pragma once
// Message boxes with owner, caption, icon and buttons, callable from any thread: a box asked for
// by a worker thread is shown on the user-interface thread while the worker waits for the answer.
#include "platform/core/types.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct MessageBoxRequest {
    WindowHandle owner = 0;
    std::string text;
    std::string caption;  // empty: the application's name
    unsigned type = MB_OK;
    std::vector<std::string> buttonTexts;  // in place of the buttons' own texts, in their order
};

// Shows the box and returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO). CTRL+C in the box
// copies its caption, text and buttons to the clipboard.
int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
               unsigned type = MB_OK);
// The same box with its buttons named (Yes, No, Cancel in that order for MB_YESNOCANCEL).
int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, unsigned type,
               std::vector<std::string> buttonTexts);

// Replaces the real box, for tests and unattended runs; an empty hook restores the real box.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace platform
