// Virtual-key codes as X keysyms, and the start-up registration of the three hot keys with the
// boxes shown for refused ones.
#include "app/hot_keys.h"
#include "companions/phrasebook/phrasebook.h"
#include "support/test_support.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(VirtualKeys, MapToKeysymsOfTheSameKeys) {
    struct Case {
        int vk;
        std::uint32_t keysym;
    } cases[] = {
        {48, XK_0},  {57, XK_9},    {65, XK_a},    {77, XK_m},      {90, XK_z},
        {112, XK_F1}, {119, XK_F8}, {120, XK_F9}, {121, XK_F10},   {123, XK_F12},
        {44, XK_Print},
        // Outside the table: no key.
        {0, 0},      {47, 0},       {58, 0},       {64, 0},         {91, 0},
        {97, 0},     {111, 0},      {124, 0},      {-1, 0},         {255, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::VirtualKeyToKeysym(c.vk), c.keysym) << c.vk;
}

struct Call {
    platform::WindowHandle window;
    int id;
    unsigned mask;
    int vk;
    bool operator==(const Call&) const = default;
};

class FakeHotKeys : public platform::HotKeys {
public:
    bool Register(platform::WindowHandle window, int id, unsigned mask, int vk) override {
        calls.push_back({window, id, mask, vk});
        return !refused.count(id);
    }
    bool Unregister(platform::WindowHandle window, int id) override {
        unregistered.push_back({window, id, 0, 0});
        return true;
    }
    std::set<int> refused;
    std::vector<Call> calls;
    std::vector<Call> unregistered;
};

class RegisterHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadLanguageFiles(RZ_BIN_DIR "/Languages/*.xml");
        SelectLanguage("English");
    }
};

TEST_F(RegisterHotKeysTest, MasksFromTheFlagsAndCodesInStartPauseStopOrder) {
    struct Case {
        const char* name;
        void (*edit)(settings::RecordSettings&);
        std::vector<Call> calls;
    } cases[] = {
        {"defaults F8 F9 F10", [](settings::RecordSettings&) {},
         {{7, 0xB1A5, 0, 119}, {7, 0xB1A7, 0, 120}, {7, 0xB1A9, 0, 121}}},
        {"every modifier",
         [](settings::RecordSettings& s) {
             s.StartCtrl = s.StartShift = s.StartAlt = 1;
             s.PauseCtrl = 1;
             s.PauseHotkey = 'P';
             s.StopShift = s.StopAlt = 1;
             s.StopHotkey = '0';
         },
         {{7, 0xB1A5, 7, 119}, {7, 0xB1A7, 2, 'P'}, {7, 0xB1A9, 5, '0'}}},
        {"the stored masks are not used",
         [](settings::RecordSettings& s) {
             s.uHotkeyMaskStart = 7;
             s.uHotkeyMaskPause = 2;
             s.StopAlt = 1;
             s.uHotkeyMaskStop = 0;
         },
         {{7, 0xB1A5, 0, 119}, {7, 0xB1A7, 0, 120}, {7, 0xB1A9, 1, 121}}},
    };
    for (const Case& c : cases) {
        settings::RecordSettings s;
        c.edit(s);
        FakeHotKeys keys;
        testsupport::MessageBoxRecorder boxes;
        EXPECT_EQ(app::RegisterHotKeys(keys, 7, s), 3) << c.name;
        EXPECT_EQ(keys.calls, c.calls) << c.name;
        EXPECT_TRUE(boxes.Boxes().empty()) << c.name;
    }
}

TEST_F(RegisterHotKeysTest, EachRefusedKeyShowsItsOwnBoxAndTheNextIsStillTried) {
    struct Case {
        std::set<int> refused;
        std::vector<std::string> boxes;
    } cases[] = {
        {{0xB1A7}, {"PauseHotkeyError"}},
        {{0xB1A5, 0xB1A9}, {"StartHotkeyError", "StopHotkeyError"}},
        {{0xB1A5, 0xB1A7, 0xB1A9}, {"StartHotkeyError", "PauseHotkeyError", "StopHotkeyError"}},
    };
    for (const Case& c : cases) {
        FakeHotKeys keys;
        keys.refused = c.refused;
        testsupport::MessageBoxRecorder recorder;
        EXPECT_EQ(app::RegisterHotKeys(keys, 9, settings::RecordSettings{}),
                  3 - static_cast<int>(c.refused.size()));
        EXPECT_EQ(keys.calls.size(), 3u);
        auto shown = recorder.Boxes();
        ASSERT_EQ(shown.size(), c.boxes.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].text, GetText("MsgBox", c.boxes[i].c_str()));
            EXPECT_FALSE(shown[i].text.empty());
            EXPECT_EQ(shown[i].caption, "");
            EXPECT_EQ(shown[i].type, static_cast<unsigned>(platform::MB_OK));
        }
    }
}

TEST_F(RegisterHotKeysTest, UnregisterReleasesAllThreeIdsOfTheWindow) {
    FakeHotKeys keys;
    app::UnregisterHotKeys(keys, 5);
    EXPECT_EQ(keys.unregistered,
              (std::vector<Call>{{5, 0xB1A5, 0, 0}, {5, 0xB1A7, 0, 0}, {5, 0xB1A9, 0, 0}}));
}

}  // namespace

namespace {

TEST(KeyNames, NamesAndCodesOfTheKeyTable) {
    struct Case {
        const char* name;
        int code;
    } both[] = {{"A", 65}, {"Z", 90}, {"0", 48}, {"9", 57}, {"F1", 112}, {"F9", 120},
                {"F10", 121}, {"F12", 123}, {"Print Screen", 44}};
    for (const Case& c : both) {
        EXPECT_EQ(app::KeyNameToCode(c.name), c.code) << c.name;
        EXPECT_EQ(app::KeyCodeToName(c.code), c.name) << c.code;
    }
    for (const char* name : {"None", "a", "f9", "F0", "F13", "F01", "F1x", "AB", "", "print screen",
                             " F9", "Print"})
        EXPECT_EQ(app::KeyNameToCode(name), 0) << '"' << name << '"';
    for (int code : {0, 47, 58, 64, 91, 97, 111, 124, -5, 300})
        EXPECT_EQ(app::KeyCodeToName(code), "None") << code;
}

TEST(KeyNames, HotKeyTextPutsCtrlShiftAltBeforeTheKey) {
    struct Case {
        int code;
        unsigned mask;
        const char* text;
    } cases[] = {{120, 2 | 4, "CTRL + SHIFT + F9"}, {'S', 2, "CTRL + S"},
                 {120, 0, "F9"},                    {'7', 7, "CTRL + SHIFT + ALT + 7"},
                 {44, 1, "ALT + Print Screen"},     {0, 2, "CTRL + "},
                 {0, 0, ""},                        {200, 4, "SHIFT + None"}};
    for (const Case& c : cases) EXPECT_EQ(app::HotKeyText(c.code, c.mask), c.text) << c.text;
}

}  // namespace
