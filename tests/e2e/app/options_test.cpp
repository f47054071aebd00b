// The real recorder's Options dialog driven with the mouse and keyboard: a new Start hot key
// works whichever window has the focus, replaces F8 and survives a restart; a combination
// another X client holds is refused with its row's text.
#include "app/main_skin_layout.h"
#include "platform/core/profile.h"
#include "platform/ui/dialog_template.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "e2e/app/box_text.h"
#include "support/desktop.h"
#include "support/test_support.h"
#include "support/x11_keys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testsupport::FindWindows;
using testsupport::WaitForWindows;
using testsupport::WaitUntil;

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";
constexpr const char* kOptions = "^Options$";
constexpr const char* kBox = "^Rivive Zuzuve$";        // message boxes take the program's name
constexpr const char* kStatusWindow = "^Recording$";
constexpr const char* kOtherWindow = "^focus-keeper$";
constexpr unsigned kXControl = 1u << 2;  // the X modifier bit of CTRL

std::string Ini(const std::string& path, const char* key) {
    char buffer[64];
    platform::GetPrivateProfileString("Global Options", key, "<missing>", buffer, sizeof buffer,
                                      path);
    return buffer;
}

void Key(const std::string& keys) { testsupport::Run("xdotool", {"key", "--clearmodifiers", keys}); }

void ClickAt(int x, int y) {
    testsupport::Run("xdotool", {"mousemove", "--sync", std::to_string(x), std::to_string(y)});
    testsupport::Run("xdotool", {"click", "1"});
}

class OptionsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
        testsupport::CopyProgramFolder(dir_.Path());
        std::filesystem::create_directories(dir_.File("out"));
        // Saved without asking, and not opened in a player afterwards.
        testsupport::WriteFile(dir_.File("Config.ini"),
                               "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + dir_.File("out") +
                                   "\n[Global Options]\nPlayVideo=0\n");
    }
    void TearDown() override {
        for (QProcess* p : {&recorder_, &other_})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
    }

    void StartRecorder() {
        recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
        recorder_.start(QString::fromStdString(dir_.File("RiviveZuzuve")), {});
        ASSERT_TRUE(recorder_.waitForStarted());
    }
    // Ends the recorder at once: what the dialog chose is already in Config.ini.
    void KillRecorder() {
        recorder_.kill();
        ASSERT_TRUE(recorder_.waitForFinished(10000));
    }
    // The main window's Option button, then the dialog.
    void OpenOptions() {
        const auto main = WaitForWindows(kMainWindow);
        ASSERT_EQ(main.size(), 1u) << "no main window";
        const testsupport::WindowRect m = testsupport::WindowGeometry(main[0]);
        for (const app::SkinButtonPlace& place : app::kSkinButtons) {
            if (place.id != app::IDC_OPTION) continue;
            const platform::Rect button = app::SkinButtonRect(place, m.width, m.height);
            ClickAt(m.x + (button.left + button.right) / 2, m.y + (button.top + button.bottom) / 2);
        }
        const auto options = WaitForWindows(kOptions);
        ASSERT_EQ(options.size(), 1u) << "no Options dialog";
        dialog_ = testsupport::WindowGeometry(options[0]);
    }
    // A control of template 138 on the screen: its left part (a check box's box) or centre.
    void ClickControl(int id, bool left = false) {
        for (const platform::ControlTemplate& c :
             resources::FindDialogTemplate(resources::IDD_OPTIONS)->controls) {
            if (c.id != id) continue;
            const int x = platform::DialogUnitsToPixelsX(left ? c.x + 3 : c.x + c.w / 2);
            const int y = platform::DialogUnitsToPixelsY(c.y + std::min(c.h, 14) / 2);
            ClickAt(dialog_.x + x, dialog_.y + y);
            return;
        }
        FAIL() << "no control " << id;
    }
    // Opens a key list and picks the key by typing its letter.
    void PickKey(int listId, const char* letter) {
        ClickControl(listId);
        Key(letter);
        Key("Return");
    }
    // The text of the message box that comes up next (copied with CTRL+C), which is then closed.
    std::string NextBoxText(const std::string& expected) {
        return e2eapp::AnswerBox(kBox, expected, "Return");
    }
    // Another program's window holds the focus.
    void FocusElsewhere() {
        if (other_.state() == QProcess::NotRunning) {
            other_.start("xmessage", {"-name", "focus-keeper", "-title", "focus-keeper",
                                      "-geometry", "+40+40", "focus stays here"});
            ASSERT_TRUE(other_.waitForStarted());
        }
        const auto other = WaitForWindows(kOtherWindow);
        ASSERT_EQ(other.size(), 1u);
        testsupport::Run("xdotool", {"windowactivate", "--sync", other[0]});
        ASSERT_TRUE(WaitUntil([&] {
            return testsupport::Run("xdotool", {"getactivewindow"}) == other[0] + "\n";
        })) << "the other window did not take the focus";
    }
    // Starts a recording with `keys`, stops it with F10 and waits for its saved-file message.
    void RecordWith(const std::string& keys, std::size_t filesAfter) {
        FocusElsewhere();
        Key(keys);
        ASSERT_EQ(WaitForWindows(kStatusWindow).size(), 1u) << keys << " started no recording";
        Key("F10");
        const std::string saved = NextBoxText("succeeded");
        EXPECT_NE(saved.find(dir_.File("out")), std::string::npos) << saved;
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.File("out")))
            files += entry.path().filename().string().rfind("Recorder-", 0) == 0;
        EXPECT_EQ(files, filesAfter);
    }

    testsupport::TempDir dir_;
    QProcess recorder_, other_;
    testsupport::WindowRect dialog_;
};

TEST_F(OptionsEndToEnd, ANewStartKeyWorksFromAnyWindowReplacesF8AndOutlivesARestart) {
    StartRecorder();
    OpenOptions();
    ClickControl(1040, true);  // CTRL
    ClickControl(1042, true);  // SHIFT
    PickKey(1024, "r");
    ClickControl(1);  // OK
    const std::string told = NextBoxText("CTRL + SHIFT + R");
    EXPECT_NE(told.find("Registering the Start hot key CTRL + SHIFT + R succeeded."),
              std::string::npos)
        << told;
    ASSERT_TRUE(WaitUntil([&] { return FindWindows(kOptions).empty(); }));

    const std::string config = dir_.File("Config.ini");
    EXPECT_EQ(Ini(config, "StartHotkey"), "82");
    EXPECT_EQ(Ini(config, "uHotkeyMaskStart"), "6");
    EXPECT_EQ(Ini(config, "StartCtrl"), "1");
    EXPECT_EQ(Ini(config, "StartShift"), "1");
    EXPECT_EQ(Ini(config, "PauseHotkey"), "120");

    // F8 is let go: another program can take it, so a press no longer reaches the recorder.
    {
        x11keys::OtherClient other;
        EXPECT_TRUE(other.Grab(XK_F8, 0)) << "the recorder still holds F8";
    }
    RecordWith("ctrl+shift+r", 1);

    KillRecorder();
    StartRecorder();
    ASSERT_EQ(WaitForWindows(kMainWindow).size(), 1u);
    RecordWith("ctrl+shift+r", 2);
}

TEST_F(OptionsEndToEnd, ACombinationAnotherClientHoldsIsRefusedWithItsRowsText) {
    x11keys::OtherClient holder;
    ASSERT_TRUE(holder.Grab(XK_k, kXControl));
    StartRecorder();
    OpenOptions();
    ClickControl(1043, true);  // Pause: CTRL
    PickKey(1025, "k");
    ClickControl(1);
    const std::string told = NextBoxText("CTRL + K");
    EXPECT_NE(told.find("Registering the Pause hot key CTRL + K failed: another program may "
                        "already use that key."),
              std::string::npos)
        << told;
    ASSERT_TRUE(WaitUntil([&] { return FindWindows(kOptions).empty(); }));
    // Kept as chosen, so the next start says the key could not be had.
    EXPECT_EQ(Ini(dir_.File("Config.ini"), "PauseHotkey"), "75");
    EXPECT_EQ(Ini(dir_.File("Config.ini"), "uHotkeyMaskPause"), "2");
    KillRecorder();
    StartRecorder();
    const std::string atStart = NextBoxText("Pause");
    EXPECT_NE(atStart.find("The Pause hot key could not be registered"), std::string::npos)
        << atStart;
    EXPECT_EQ(WaitForWindows(kMainWindow).size(), 1u);
}

}  // namespace
