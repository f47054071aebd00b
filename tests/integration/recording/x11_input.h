#pragma once
// Moving the pointer and clicking through XTest, kept apart from the Xlib macros.
namespace x11input {
bool WarpPointer(int x, int y);
bool ClickAt(int x, int y);
}  // namespace x11input
