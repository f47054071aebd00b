#pragma once
// Pressing keys through XTest and holding keys with a client of the test's own, kept apart from
// the Xlib macros.
#include <cstdint>
#include <vector>

namespace x11keys {

// Presses the keys of `keysyms` in order, then releases them in reverse order.
bool PressChord(const std::vector<std::uint32_t>& keysyms);

// Toggles a lock key (Caps_Lock, Num_Lock) with one press and release.
bool ToggleLock(std::uint32_t keysym);

// Another client grabbing a key on the root window, as a program holding that hot key would.
class OtherClient {
public:
    OtherClient();
    ~OtherClient();
    // False when the grab is refused (the key is held by someone else).
    bool Grab(std::uint32_t keysym, unsigned xModifiers);
    void Ungrab(std::uint32_t keysym, unsigned xModifiers);
    bool Connected() const { return display_ != nullptr; }

private:
    void* display_;
};

}  // namespace x11keys

namespace x11keys {

// Makes a key a modifier of the X modifier bit `index` (0-7) for its life, as some keyboard
// layouts do with ScrollLock; the earlier mapping comes back afterwards.
class ModifierMapping {
public:
    ModifierMapping(std::uint32_t keysym, int index);
    ~ModifierMapping();
    ModifierMapping(const ModifierMapping&) = delete;
    ModifierMapping& operator=(const ModifierMapping&) = delete;
    bool Applied() const { return applied_; }

private:
    void* display_;
    void* previous_ = nullptr;
    bool applied_ = false;
};

// Moves the pointer to (x, y) on the screen and clicks the left button there.
bool ClickAt(int x, int y);
}  // namespace x11keys
