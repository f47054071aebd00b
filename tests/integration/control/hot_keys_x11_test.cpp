// Hot keys on a real X display: presses anywhere arrive as WM_HOTKEY with the id, whatever the
// lock keys are set to, and a key another client holds is refused.
#include "app/hot_keys.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/messages.h"
#include "platform/x11/hot_keys.h"
#include "support/test_support.h"
#include "support/x11_keys.h"

#include <QGuiApplication>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <vector>

namespace {

constexpr unsigned kLockMask = 1u << 1;  // the X modifier bit of CapsLock

struct Press {
    platform::WPARAM id;
    platform::LPARAM lParam;
};

class HotKeysX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
        keys = platform::CreateX11HotKeys();
        spy.On(platform::WM_HOTKEY, [this](platform::WPARAM w, platform::LPARAM l) {
            presses.push_back({w, l});
            return 0;
        });
    }
    bool WaitForPresses(std::size_t count) {
        return testsupport::WaitUntil([&] { return presses.size() >= count; });
    }

    std::unique_ptr<platform::HotKeys> keys;
    platform::MessageWindow spy;
    std::vector<Press> presses;
};

TEST_F(HotKeysX11Test, PressesWithTheirModifiersArriveAsHotKeyMessages) {
    struct Case {
        const char* name;
        unsigned mask;
        int vk;
        std::vector<std::uint32_t> chord;
        std::uint32_t lock;  // lock key toggled on during the press, 0: none
    } cases[] = {
        {"F9", 0, 120, {XK_F9}, 0},
        {"CTRL+SHIFT+S", platform::MOD_CONTROL | platform::MOD_SHIFT, 'S',
         {XK_Control_L, XK_Shift_L, XK_s}, 0},
        {"ALT+5", platform::MOD_ALT, '5', {XK_Alt_L, XK_5}, 0},
        // Plain Print is the window manager's own key here.
        {"CTRL+Print Screen", platform::MOD_CONTROL, 44, {XK_Control_L, XK_Print}, 0},
        {"F10 with CapsLock on", 0, 121, {XK_F10}, XK_Caps_Lock},
        {"F10 with NumLock on", 0, 121, {XK_F10}, XK_Num_Lock},
        {"CTRL+F12 with CapsLock on", platform::MOD_CONTROL, 123, {XK_Control_L, XK_F12},
         XK_Caps_Lock},
    };
    int id = 0x100;
    for (const Case& c : cases) {
        presses.clear();
        ++id;
        ASSERT_TRUE(keys->Register(spy.Handle(), id, c.mask, c.vk)) << c.name;
        if (c.lock) x11keys::ToggleLock(c.lock);
        x11keys::PressChord(c.chord);
        if (c.lock) x11keys::ToggleLock(c.lock);
        ASSERT_TRUE(WaitForPresses(1)) << c.name;
        EXPECT_EQ(presses[0].id, static_cast<platform::WPARAM>(id)) << c.name;
        EXPECT_EQ(presses[0].lParam, static_cast<platform::LPARAM>((c.vk << 16) | c.mask)) << c.name;
        EXPECT_TRUE(keys->Unregister(spy.Handle(), id)) << c.name;
    }
}

TEST_F(HotKeysX11Test, HeldWhateverTheLockKeysWhereScrollLockIsAModifierToo) {
    constexpr int kMod3 = 5;  // the X modifier index some layouts give ScrollLock
    x11keys::ModifierMapping scrollLockModifier(XK_Scroll_Lock, kMod3);
    ASSERT_TRUE(scrollLockModifier.Applied());
    ASSERT_TRUE(keys->Register(spy.Handle(), 1, 0, 121));                        // F10
    ASSERT_TRUE(keys->Register(spy.Handle(), 2, platform::MOD_CONTROL, 'K'));    // CTRL+K
    struct Case {
        const char* name;
        std::vector<std::uint32_t> locks;  // toggled on for the press, then off again
        std::vector<std::uint32_t> chord;
        platform::WPARAM id;
    } cases[] = {
        {"F10 with ScrollLock", {XK_Scroll_Lock}, {XK_F10}, 1},
        {"CTRL+K with ScrollLock", {XK_Scroll_Lock}, {XK_Control_L, XK_k}, 2},
        {"F10 with all three locks", {XK_Scroll_Lock, XK_Num_Lock, XK_Caps_Lock}, {XK_F10}, 1},
        {"CTRL+K with ScrollLock and NumLock", {XK_Scroll_Lock, XK_Num_Lock},
         {XK_Control_L, XK_k}, 2},
    };
    for (const Case& c : cases) {
        presses.clear();
        for (std::uint32_t lock : c.locks) x11keys::ToggleLock(lock);
        x11keys::PressChord(c.chord);
        for (std::uint32_t lock : c.locks) x11keys::ToggleLock(lock);
        ASSERT_TRUE(WaitForPresses(1)) << c.name;
        EXPECT_EQ(presses[0].id, c.id) << c.name;
    }
}

TEST_F(HotKeysX11Test, OnlyTheRegisteredModifiersCountAndUnregisteredKeysAreLetGo) {
    ASSERT_TRUE(keys->Register(spy.Handle(), 1, 0, 120));                      // F9
    ASSERT_TRUE(keys->Register(spy.Handle(), 2, platform::MOD_SHIFT, 122));    // SHIFT+F11
    x11keys::PressChord({XK_Control_L, XK_F9});  // not F9 alone
    x11keys::PressChord({XK_F11});               // not SHIFT+F11
    x11keys::PressChord({XK_Shift_L, XK_F11});
    ASSERT_TRUE(WaitForPresses(1));
    EXPECT_EQ(presses[0].id, 2u);  // arrived in order: nothing came before it
    EXPECT_TRUE(keys->Unregister(spy.Handle(), 1));
    EXPECT_FALSE(keys->Unregister(spy.Handle(), 1));
    // Once let go, another client can take the key.
    x11keys::OtherClient other;
    EXPECT_TRUE(other.Grab(XK_F9, 0));
}

TEST_F(HotKeysX11Test, AKeyHeldElsewhereIsRefusedAndNothingOfItIsKept) {
    x11keys::OtherClient other;
    ASSERT_TRUE(other.Connected());
    struct Case {
        const char* name;
        unsigned otherModifiers;  // what the other client holds of F9
    } cases[] = {{"plain", 0}, {"only with CapsLock", kLockMask}};
    for (const Case& c : cases) {
        ASSERT_TRUE(other.Grab(XK_F9, c.otherModifiers)) << c.name;
        EXPECT_FALSE(keys->Register(spy.Handle(), 1, 0, 120)) << c.name;
        other.Ungrab(XK_F9, c.otherModifiers);
        // The refused registration kept no variant: the other client gets every one.
        EXPECT_TRUE(other.Grab(XK_F9, 0)) << c.name;
        EXPECT_TRUE(other.Grab(XK_F9, kLockMask)) << c.name;
        other.Ungrab(XK_F9, 0);
        other.Ungrab(XK_F9, kLockMask);
    }
    EXPECT_TRUE(keys->Register(spy.Handle(), 1, 0, 120));
    EXPECT_FALSE(other.Grab(XK_F9, 0));  // and now it is ours
}

TEST_F(HotKeysX11Test, OneKeyServesOneIdAtATime) {
    platform::MessageWindow second;
    ASSERT_TRUE(keys->Register(spy.Handle(), 1, 0, 121));
    EXPECT_FALSE(keys->Register(second.Handle(), 2, 0, 121));
    EXPECT_TRUE(keys->Register(second.Handle(), 2, platform::MOD_CONTROL, 121));
    EXPECT_TRUE(keys->Unregister(spy.Handle(), 1));
    EXPECT_TRUE(keys->Register(second.Handle(), 3, 0, 121));
    // Codes without a key cannot be registered.
    EXPECT_FALSE(keys->Register(spy.Handle(), 4, 0, 0));
    EXPECT_FALSE(keys->Register(spy.Handle(), 5, platform::MOD_CONTROL, 200));
}

TEST_F(HotKeysX11Test, StartUpShowsTheBoxOfTheKeyAnotherProgramHolds) {
    LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
    SelectLanguage("English");
    x11keys::OtherClient other;
    ASSERT_TRUE(other.Grab(XK_F9, 0));
    testsupport::MessageBoxRecorder boxes;
    EXPECT_EQ(app::RegisterHotKeys(*keys, spy.Handle(), settings::RecordSettings{}), 2);
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, GetText("MsgBox", "PauseHotkeyError"));
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].type, static_cast<unsigned>(platform::MB_OK));
    // Start and Stop work; Pause reaches the other program only.
    x11keys::PressChord({XK_F9});
    x11keys::PressChord({XK_F10});
    ASSERT_TRUE(WaitForPresses(1));
    EXPECT_EQ(presses[0].id, static_cast<platform::WPARAM>(app::kHotKeyStop));
}

}  // namespace
