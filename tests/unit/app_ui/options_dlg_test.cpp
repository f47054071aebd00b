// The Option button's dialog: what it shows from Config.ini, what OK registers and tells, what
// stays open, what is saved, and the tray icon afterwards.
#include "app/hot_keys.h"
#include "app/main_skin_layout.h"
#include "app/main_tray.h"
#include "app/option_button.h"
#include "app/options_dlg.h"
#include "support/main_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace {

using namespace app;

struct KeyCall {
    std::string what;  // "register" or "unregister"
    int id;
    unsigned mask;
    int vk;
    bool operator==(const KeyCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KeyCall& c) {
    return out << c.what << '(' << std::hex << c.id << std::dec << ", " << c.mask << ", " << c.vk
               << ')';
}

class FakeHotKeys : public platform::HotKeys {
public:
    bool Register(platform::WindowHandle, int id, unsigned mask, int vk) override {
        calls.push_back({"register", id, mask, vk});
        if (refused.count(id)) return false;
        held[id] = {mask, vk};
        return true;
    }
    bool Unregister(platform::WindowHandle, int id) override {
        calls.push_back({"unregister", id, 0, 0});
        return held.erase(id) > 0;
    }
    std::set<int> refused;
    std::vector<KeyCall> calls;
    std::map<int, std::pair<unsigned, int>> held;  // id -> (mask, code) registered now
};

// The start of the text at [Global Options]; empty when the section was never written.
std::string GlobalSection(const std::string& config) {
    const auto at = config.find("[Global Options]");
    return at == std::string::npos ? "" : config.substr(at);
}

class OptionsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetHotKeyService(&keys_);
    }
    void TearDown() override {
        SetOptionsDialogRunner({});
        MainWindowTest::TearDown();
        SetHotKeyService(nullptr);
    }
    // A shown main window over `config`; the start-up registrations are forgotten.
    CRiviveZuzuveDlg& Window(const std::string& config = "") {
        if (!config.empty()) WriteConfig(config);
        CRiviveZuzuveDlg& dlg = Make();
        Show();
        keys_.calls.clear();
        return dlg;
    }
    // Presses the Option button; `user` acts in the shown dialog and returns its result.
    void Options(const std::function<int(COptionsDlg&)>& user) {
        SetOptionsDialogRunner([&](COptionsDlg& dlg) {
            dlg.show();
            return user(dlg);
        });
        ASSERT_TRUE(dlg_->RunCommand(IDC_OPTION));
    }
    // OK as the user presses it: the dialog's result when it closed, -1 while it stays open.
    static int PressOk(COptionsDlg& dlg) {
        dlg.OnOK();
        return dlg.isVisible() ? -1 : dlg.result();
    }
    static void Choose(COptionsDlg& dlg, int row, const char* key) {
        QComboBox* list = dlg.KeyList(row);
        list->setCurrentIndex(list->findText(key));
    }
    static void Click(COptionsDlg& dlg, int id) { dlg.CheckBox(id)->click(); }
    // The boxes shown since the last call.
    std::vector<platform::MessageBoxRequest> NewBoxes() {
        std::vector<platform::MessageBoxRequest> all = boxes_.Boxes();
        std::vector<platform::MessageBoxRequest> fresh(all.begin() + static_cast<long>(seen_),
                                                       all.end());
        seen_ = all.size();
        return fresh;
    }
    std::vector<std::string> NewBoxTexts() {
        std::vector<std::string> texts;
        for (const platform::MessageBoxRequest& box : NewBoxes()) texts.push_back(box.text);
        return texts;
    }
    static std::string Text(const char* key) { return GetText("MsgBox", key); }
    std::string Saved() const { return GlobalSection(testsupport::ReadFile(config_)); }

    FakeHotKeys keys_;
    testsupport::MessageBoxRecorder boxes_;
    std::size_t seen_ = 0;
};

constexpr int kStart = 0, kPause = 1, kStop = 2;

TEST_F(OptionsTest, OpensWithTheOptionsAndHotKeysOfConfigIni) {
    Window("[Global Options]\nStartMinimize=0\nPlayVideo=1\nTrayIcon=0\nMiniTray=1\nCloseTray=1\n"
           "StartCtrl=1\nStartShift=1\nStartHotkey=112\n"
           "PauseAlt=1\nPauseHotkey=49\nStopHotkey=48\n");
    Options([&](COptionsDlg& dlg) -> int {
        struct Box {
            int id;
            bool checked, enabled;
        } boxes[] = {{1018, false, true}, {1049, true, true},  {1050, false, true},
                     {1051, true, false}, {1052, true, false},  // disabled without the tray icon
                     {1040, true, true},  {1041, false, true},  {1042, true, true},
                     {1043, false, true}, {1044, true, true},   {1045, false, true},
                     {1046, false, true}, {1047, false, true},  {1048, false, true}};
        for (const Box& b : boxes) {
            EXPECT_EQ(dlg.CheckBox(b.id)->isChecked(), b.checked) << b.id;
            EXPECT_EQ(dlg.CheckBox(b.id)->isEnabled(), b.enabled) << b.id;
        }
        // F1 (not F10, which also begins with "F1"), 1 and 0.
        const char* selected[] = {"F1", "1", "0"};
        for (int row : {kStart, kPause, kStop}) {
            QComboBox* list = dlg.KeyList(row);
            EXPECT_EQ(list->count(), 48);
            EXPECT_EQ(list->itemText(0), "A");
            EXPECT_EQ(list->itemText(25), "Z");
            EXPECT_EQ(list->itemText(26), "1");
            EXPECT_EQ(list->itemText(34), "9");
            EXPECT_EQ(list->itemText(35), "0");
            EXPECT_EQ(list->itemText(36), "F1");
            EXPECT_EQ(list->itemText(47), "F12");
            EXPECT_EQ(list->findText("Print Screen"), -1);
            EXPECT_EQ(list->currentText(), selected[row]) << row;
        }
        EXPECT_EQ(dlg.windowTitle(), "Options");
        EXPECT_EQ(dlg.CheckBox(1050)->text().toStdString(), GetText("Option", "CheckTrayIcon"));
        return QDialog::Rejected;
    });
}

TEST_F(OptionsTest, OkWithoutChangesRegistersNothingShowsNothingAndSavesTheSection) {
    Window();
    int result = 0;
    Options([&](COptionsDlg& dlg) -> int { return result = PressOk(dlg); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(keys_.calls.empty());
    EXPECT_TRUE(NewBoxes().empty());
    const std::string saved = Saved();
    for (const char* line : {"StartHotkey=119", "PauseHotkey=120", "StopHotkey=121",
                             "uHotkeyMaskStart=0", "TrayIcon=1", "CloseTray=0"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
}

TEST_F(OptionsTest, OnlyTheChangedRowIsRegisteredAgainWithItsComposedMessage) {
    struct Case {
        const char* name;
        std::function<void(COptionsDlg&)> change;
        int id;
        unsigned mask;
        int code;
        std::string message;
        std::vector<const char*> saved;
    } cases[] = {
        {"Stop to CTRL + S",
         [](COptionsDlg& dlg) {
             Click(dlg, 1046);
             Choose(dlg, kStop, "S");
         },
         0xB1A9, 2, 'S', Text("RegisterStop") + "CTRL + S" + Text("SaveSuccess"),
         {"StopCtrl=1", "StopHotkey=83", "uHotkeyMaskStop=2", "StartHotkey=119",
          "uHotkeyMaskStart=0", "PauseHotkey=120"}},
        {"Start to CTRL + SHIFT + F9 (modifiers only change the mask)",
         [](COptionsDlg& dlg) {
             Click(dlg, 1040);
             Click(dlg, 1042);
             Choose(dlg, kStart, "F9");
         },
         0xB1A5, 6, 120, Text("RegisterStart") + "CTRL + SHIFT + F9" + Text("SaveSuccess"),
         {"StartCtrl=1", "StartShift=1", "StartAlt=0", "StartHotkey=120", "uHotkeyMaskStart=6"}},
        {"Pause to ALT + F9", [](COptionsDlg& dlg) { Click(dlg, 1044); }, 0xB1A7, 1, 120,
         Text("RegisterPause") + "ALT + F9" + Text("SaveSuccess"),
         {"PauseAlt=1", "PauseHotkey=120", "uHotkeyMaskPause=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window();
        NewBoxes();
        Options([&](COptionsDlg& dlg) -> int {
            c.change(dlg);
            EXPECT_EQ(PressOk(dlg), QDialog::Accepted);
            return dlg.result();
        });
        EXPECT_EQ(keys_.calls, (std::vector<KeyCall>{{"unregister", c.id, 0, 0},
                                                     {"register", c.id, c.mask, c.code}}));
        const std::vector<platform::MessageBoxRequest> shown = NewBoxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.message);
        EXPECT_EQ(shown[0].caption, "");
        EXPECT_EQ(shown[0].type, static_cast<unsigned>(platform::MB_OK));
        const std::string saved = Saved();
        for (const char* line : c.saved) EXPECT_NE(saved.find(line), std::string::npos) << line;
        // The saved mask is what the next opening compares with: a second OK changes nothing.
        keys_.calls.clear();
        Options([&](COptionsDlg& dlg) -> int { return PressOk(dlg); });
        EXPECT_TRUE(keys_.calls.empty());
        EXPECT_TRUE(NewBoxes().empty());
        QFile::remove(QString::fromStdString(config_));
    }
}

TEST_F(OptionsTest, ARowWithoutAKeyKeepsTheDialogOpenUntilOneIsChosen) {
    struct Case {
        const char* config;
        int row;
        std::function<void(COptionsDlg&)> edit;  // before the first OK
        const char* asked;
    } cases[] = {
        {"[Global Options]\nStartHotkey=44\n", kStart, {}, "SelectKeyFirst"},
        {"[Global Options]\nPauseHotkey=0\n", kPause, {}, "SelectKeyFirst"},
        {"[Global Options]\nStopHotkey=7\n", kStop, [](COptionsDlg& dlg) { Click(dlg, 1046); },
         "SelectKeyFirst"},
        // An entry that names no key, with a modifier.
        {"", kPause,
         [](COptionsDlg& dlg) {
             dlg.KeyList(kPause)->addItem("None");
             Choose(dlg, kPause, "None");
             Click(dlg, 1043);
         },
         "SelectKeyWithCTRL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        QFile::remove(QString::fromStdString(config_));
        Window(c.config);
        NewBoxes();
        Options([&](COptionsDlg& dlg) -> int {
            if (c.edit) c.edit(dlg);
            else EXPECT_EQ(dlg.KeyList(c.row)->currentIndex(), -1);
            EXPECT_EQ(PressOk(dlg), -1);
            EXPECT_EQ(PressOk(dlg), -1);  // asks again
            Choose(dlg, c.row, "K");
            EXPECT_EQ(PressOk(dlg), QDialog::Accepted);
            return dlg.result();
        });
        const std::vector<platform::MessageBoxRequest> shown = NewBoxes();
        ASSERT_EQ(shown.size(), 3u);
        EXPECT_EQ(shown[0].text, Text(c.asked));
        EXPECT_EQ(shown[1].text, Text(c.asked));
        EXPECT_EQ(shown[0].caption, "");
        EXPECT_EQ(shown[0].type, static_cast<unsigned>(platform::MB_OK));
        EXPECT_NE(shown[2].text.find("K" + Text("SaveSuccess")), std::string::npos);
    }
}

TEST_F(OptionsTest, ARefusalKeepsEarlierRowsRegisteredAndCancelThenSavesNothing) {
    // Stop has no key in the list, so OK stops at it and the dialog stays open for Cancel.
    Window("[Global Options]\nStopHotkey=44\n");
    keys_.refused = {0xB1A7};
    Options([&](COptionsDlg& dlg) -> int {
        Click(dlg, 1040);
        Choose(dlg, kStart, "R");
        Choose(dlg, kPause, "P");
        Click(dlg, 1049);  // Play video off
        EXPECT_EQ(PressOk(dlg), -1);
        dlg.reject();
        return dlg.result();
    });
    EXPECT_EQ(NewBoxTexts(), (std::vector<std::string>{
                              Text("RegisterStart") + "CTRL + R" + Text("SaveSuccess"),
                              Text("RegisterPause") + "P" + Text("Fail"),
                              Text("SelectKeyFirst")}));
    // The new Start key is held, the Pause key is gone, Stop was not touched.
    EXPECT_EQ(keys_.held, (std::map<int, std::pair<unsigned, int>>{{0xB1A5, {2u, 'R'}},
                                                                   {0xB1A9, {0u, 44}}}));
    EXPECT_EQ(keys_.calls.size(), 4u);
    // Nothing written, but the options copied by OK are in effect.
    const std::string config = testsupport::ReadFile(config_);
    EXPECT_EQ(config.find("StartHotkey"), std::string::npos);
    EXPECT_EQ(config.find("PlayVideo"), std::string::npos);
    EXPECT_EQ(dlg_->Settings().PlayVideo, 0);
    EXPECT_EQ(dlg_->Settings().StartHotkey, 119);
}

TEST_F(OptionsTest, TheFiveOptionsTakeEffectAtOnceAndTheTrayIconFollowsTrayIcon) {
    struct Case {
        const char* name;
        std::vector<int> clicks;
        bool ok;
        int trayIcon, closeTray, miniTray, startMinimize, playVideo;
        bool iconShown;
    } cases[] = {
        {"Use Tray Icon off, OK", {1050}, true, 0, 0, 1, 1, 1, false},
        {"Use Tray Icon off, Cancel", {1050}, false, 1, 0, 1, 1, 1, true},
        {"the other four, OK", {1018, 1049, 1051, 1052}, true, 1, 1, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QString::fromStdString(config_));
        CRiviveZuzuveDlg& main = Window();
        ASSERT_TRUE(main.Tray()->Shown());
        Options([&](COptionsDlg& dlg) -> int {
            for (int id : c.clicks) Click(dlg, id);
            if (!c.ok) {
                dlg.reject();
                return dlg.result();
            }
            return PressOk(dlg);
        });
        const settings::RecordSettings& s = main.Settings();
        EXPECT_EQ(s.TrayIcon, c.trayIcon);
        EXPECT_EQ(s.CloseTray, c.closeTray);
        EXPECT_EQ(s.MiniTray, c.miniTray);
        EXPECT_EQ(s.StartMinimize, c.startMinimize);
        EXPECT_EQ(s.PlayVideo, c.playVideo);
        EXPECT_EQ(main.Tray()->Shown(), c.iconShown);
        const std::string saved = Saved();
        EXPECT_EQ(saved.empty(), !c.ok);
        if (c.ok) {
            EXPECT_NE(saved.find("TrayIcon=" + std::to_string(c.trayIcon)), std::string::npos);
        }
    }
}

TEST_F(OptionsTest, UseTrayIconEnablesItsTwoDependants) {
    Window();
    Options([&](COptionsDlg& dlg) -> int {
        for (bool on : {false, true, false}) {
            Click(dlg, 1050);
            EXPECT_EQ(dlg.TrayIcon, on ? 1 : 0);
            for (int id : {1051, 1052}) EXPECT_EQ(dlg.CheckBox(id)->isEnabled(), on) << id;
        }
        return QDialog::Rejected;
    });
}

}  // namespace
