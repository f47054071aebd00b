// The tray icon of the main window: its record and life, the double-click and right-button
// answers, the tray menu's labels and commands, and the fallback without a notification area.
#include "app/main_messages.h"
#include "app/main_skin_layout.h"
#include "app/main_tray.h"
#include "app/show_selected_area.h"
#include "support/main_window_fixture.h"
#include "platform/ui/menu_template.h"
#include "platform/ui/notify_icon.h"
#include "platform/ui/popup_menu.h"

#include <QAction>
#include <QMenu>
#include <vector>

namespace {

using namespace app;
using testsupport::MessageBoxRecorder;

constexpr const char* kNoTrayLine =
    "No notification area: Mini and Close keep the main window on the screen";

std::string Log() {
    return testsupport::ReadFile(platform::GetProgramFolder() + "Diary/RiviveZuzuve.log");
}

int Count(const std::string& text, const std::string& needle) {
    int n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1)) ++n;
    return n;
}

// What a tracked menu showed, and the command the "user" picks.
struct TrackedMenu {
    std::vector<std::pair<int, std::string>> items;  // command, text (enabled items only)
    std::uint32_t flags = 0;
    int calls = 0;
};

class TrayTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        platform::SetTrackPopupMenuHook([this](QMenu* menu, std::uint32_t flags, QPoint) {
            ++tracked_.calls;
            tracked_.flags = flags;
            tracked_.items.clear();
            for (QAction* a : menu->actions())
                if (!a->isSeparator() && a->isEnabled())
                    tracked_.items.emplace_back(platform::CommandOf(a), a->text().toStdString());
            return choice_;
        });
        ShowSelectedArea = 1;
    }
    void TearDown() override {
        platform::SetTrackPopupMenuHook({});
        ShowSelectedArea = 1;
        MainWindowTest::TearDown();
    }
    // A shown main window whose frame messages are recorded from here on.
    CRiviveZuzuveDlg& Window(int trayIcon = 1) {
        WriteConfig("[Global Options]\nTrayIcon=" + std::to_string(trayIcon) + "\n");
        CRiviveZuzuveDlg& dlg = Make();
        Show();
        dlg.Messages().On(WM_USER_FLASHFRAME, [this](platform::WPARAM w, platform::LPARAM) {
            flashes_.push_back(static_cast<int>(w));
            return 0;
        });
        return dlg;
    }

    TrackedMenu tracked_;
    int choice_ = 0;
    std::vector<int> flashes_;
};

TEST_F(TrayTest, TheIconRecordIsFilledAtInitialisationAndTheIconFollowsTrayIcon) {
    for (int trayIcon : {1, 0}) {
        CRiviveZuzuveDlg& dlg = Window(trayIcon);
        const platform::NOTIFYICONDATA& r = dlg.Tray()->Record();
        EXPECT_EQ(r.cbSize, 508u);
        EXPECT_EQ(r.hWnd, dlg.Handle());
        EXPECT_EQ(r.uID, 860715u);
        EXPECT_EQ(r.uCallbackMessage, 0x46Fu);
        EXPECT_EQ(r.uFlags, platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP);
        EXPECT_EQ(r.szTip, "Velmora Zudodo Raridevi");
        EXPECT_FALSE(r.hIcon.isNull());
        ASSERT_NE(dlg.Tray()->Menu(), nullptr);
        EXPECT_EQ(dlg.Tray()->Shown(), trayIcon == 1) << "TrayIcon=" << trayIcon;
    }
}

TEST_F(TrayTest, AddingTwiceOrRemovingTwiceChangesNothingAndTheExitRoutineRemovesTheIcon) {
    MessageBoxRecorder boxes;
    CRiviveZuzuveDlg& dlg = Window();
    const platform::WindowHandle handle = dlg.Handle();
    ASSERT_TRUE(dlg.Tray()->Shown());
    dlg.Tray()->Add();
    EXPECT_TRUE(platform::IsNotifyIconShown(handle, kTrayIconId));
    dlg.Tray()->Remove();
    dlg.Tray()->Remove();
    EXPECT_FALSE(dlg.Tray()->Shown());
    dlg.Tray()->Add();
    dlg.OnCancel();
    EXPECT_FALSE(platform::IsNotifyIconShown(handle, kTrayIconId));
}

struct NotifyCase {
    const char* name;
    platform::WPARAM id;
    platform::LPARAM event;
    bool visible;
    int recording;
    int recordMode;
    int showSelectedArea;
    int converting;
    platform::LRESULT result;
    bool visibleAfter;
    std::vector<int> flashes;  // wParam of each WM_USER_FLASHFRAME sent
    bool progressShownAfter;
};

TEST_F(TrayTest, OnTrayNotifyAnswersEachEventAsTheWindowStands) {
    const platform::LPARAM dbl = platform::WM_LBUTTONDBLCLK;
    const NotifyCase cases[] = {
        {"another icon's double-click", 12345, dbl, true, 0, 0, 1, 0, 0, true, {}, true},
        {"another icon while hidden", 0, dbl, false, 0, 0, 1, 0, 0, false, {}, true},
        {"visible, idle: hide with frame", kTrayIconId, dbl, true, 0, 0, 1, 0, 1, false, {1}, true},
        {"visible, recording: frame stays", kTrayIconId, dbl, true, 1, 0, 1, 0, 1, false, {}, true},
        {"hidden, region shown: frame back", kTrayIconId, dbl, false, 0, 0, 1, 0, 1, true, {0},
         false},
        {"hidden while recording a region", kTrayIconId, dbl, false, 1, 0, 1, 0, 1, true, {0},
         false},
        {"hidden, region not shown", kTrayIconId, dbl, false, 0, 0, 0, 0, 1, true, {}, false},
        {"hidden, full screen", kTrayIconId, dbl, false, 0, 1, 1, 0, 1, true, {}, false},
        {"hidden, converting: progress stays", kTrayIconId, dbl, false, 0, 1, 1, 1, 1, true, {},
         true},
        {"left press does nothing", kTrayIconId, platform::WM_LBUTTONDOWN, true, 0, 0, 1, 0, 1,
         true, {}, true},
        {"right release does nothing", kTrayIconId, platform::WM_RBUTTONUP, false, 0, 0, 1, 0, 1,
         false, {}, true},
    };
    CRiviveZuzuveDlg& dlg = Window();
    QWidget progress;
    dlg.SetProgressWindow(&progress);
    for (const NotifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.visible) dlg.show();
        else dlg.hide();
        progress.show();
        dlg.Flags().IsRecording = c.recording;
        dlg.Flags().Converting = c.converting;
        dlg.Settings().RecordMode = c.recordMode;
        ShowSelectedArea = c.showSelectedArea;
        flashes_.clear();
        EXPECT_EQ(dlg.Tray()->OnTrayNotify(c.id, c.event), c.result);
        EXPECT_EQ(dlg.isVisible(), c.visibleAfter);
        EXPECT_EQ(flashes_, c.flashes);
        EXPECT_EQ(progress.isVisible(), c.progressShownAfter);
        EXPECT_EQ(tracked_.calls, 0);
    }
    dlg.Flags().IsRecording = 0;
    dlg.Flags().Converting = 0;
    dlg.SetProgressWindow(nullptr);
}

TEST_F(TrayTest, TheCallbackMessageReachesOnTrayNotifyThroughTheWindowsDispatch) {
    CRiviveZuzuveDlg& dlg = Window();
    EXPECT_EQ(platform::SendMessage(dlg.Handle(), WM_USER_TRAYNOTIFY, 99, platform::WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(platform::SendMessage(dlg.Handle(), WM_USER_TRAYNOTIFY, kTrayIconId,
                                    platform::WM_LBUTTONDBLCLK),
              1);
    EXPECT_FALSE(dlg.isVisible());
    platform::PostMessage(dlg.Handle(), WM_USER_TRAYNOTIFY, kTrayIconId, platform::WM_LBUTTONDBLCLK);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return dlg.isVisible(); }));
}

TEST_F(TrayTest, AWindowHiddenWhileMinimisedComesBackRestored) {
    CRiviveZuzuveDlg& dlg = Window();
    dlg.MinimizeQuietly();
    dlg.hide();
    dlg.Tray()->OnTrayNotify(kTrayIconId, platform::WM_LBUTTONDBLCLK);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isMinimized());
}

TEST_F(TrayTest, TheRightButtonOpensTheMenuRightAlignedWithCatalogueLabelsEveryTime) {
    CRiviveZuzuveDlg& dlg = Window();
    // A second catalogue whose menu texts differ from the templates.
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("Tray.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Language name="TrayCheck">
  <Section name="Menu">
    <Text key="Record">Rec!</Text><Text key="Pause">Halt!</Text>
    <Text key="Stop">End!</Text><Text key="Exit">Quit!</Text>
  </Section>
</Language>
)");
    LoadLanguageFiles((dir.Path() + "*.xml").c_str());
    // Items disabled since the last time are enabled again.
    platform::FindMenuItem(dlg.Tray()->Menu(), ID_TRAY_STOP)->setEnabled(false);

    struct LabelCase {
        const char* language;
        std::vector<std::pair<int, std::string>> items;
    } labelCases[] = {
        {"English", {{32771, "&Record"}, {32772, "&Pause"}, {32773, "&Stop"}, {32774, "&Exit"}}},
        {"TrayCheck", {{32771, "Rec!"}, {32772, "Halt!"}, {32773, "End!"}, {32774, "Quit!"}}},
        {"English", {{32771, "&Record"}, {32772, "&Pause"}, {32773, "&Stop"}, {32774, "&Exit"}}},
    };
    int calls = 0;
    for (const LabelCase& c : labelCases) {
        SCOPED_TRACE(c.language);
        SelectLanguage(c.language);
        EXPECT_EQ(dlg.Tray()->OnTrayNotify(kTrayIconId, platform::WM_RBUTTONDOWN), 1);
        EXPECT_EQ(tracked_.calls, ++calls);
        EXPECT_EQ(tracked_.items, c.items);
        EXPECT_TRUE(tracked_.flags & platform::TPM_RIGHTALIGN);
        EXPECT_TRUE(tracked_.flags & platform::TPM_RIGHTBUTTON);
    }
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(TrayTest, MenuExitWhileRecordingOnlyShowsTheRecordingRefusal) {
    MessageBoxRecorder boxes;
    CRiviveZuzuveDlg& dlg = Window();
    dlg.Flags().IsRecording = 1;
    choice_ = ID_TRAY_EXIT;
    dlg.Tray()->OnTrayNotify(kTrayIconId, platform::WM_RBUTTONDOWN);
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, GetText("MsgBox", "OnRecording"));
    EXPECT_EQ(shown[0].type, platform::MB_OK);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.Tray()->Shown());
    EXPECT_EQ(testsupport::ReadFile(config_), "[Global Options]\nTrayIcon=1\n")
        << "the exit routine saved the settings";
    dlg.Flags().IsRecording = 0;
}

TEST_F(TrayTest, MenuExitWhenIdleRunsTheExitRoutine) {
    MessageBoxRecorder boxes;
    CRiviveZuzuveDlg& dlg = Window();
    choice_ = ID_TRAY_EXIT;
    dlg.Tray()->ShowTrayMenu();
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(dlg.Tray()->Shown());
    EXPECT_NE(testsupport::ReadFile(config_).find("[Video Settings]"), std::string::npos)
        << "the settings were not saved";
}

struct HideCase {
    const char* name;
    int trayIcon, miniTray, closeTray;
    bool area;
    bool iconRemoved;
    bool hiddenAfterMini, hiddenAfterClose;
};

TEST_F(TrayTest, MiniAndCloseHideOnlyWhenTheIconHasANotificationAreaToLiveIn) {
    const HideCase cases[] = {
        {"tray in use", 1, 1, 1, true, false, true, true},
        {"no notification area", 1, 1, 1, false, false, false, false},
        {"TrayIcon clear", 0, 1, 1, true, false, false, false},
        {"icon removed behind TrayIcon's back", 1, 1, 1, true, true, false, false},
        {"Mini to tray only", 1, 1, 0, true, false, true, false},
    };
    for (const HideCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxRecorder boxes;
        const int before = Count(Log(), kNoTrayLine);
        WriteConfig("[Global Options]\nTrayIcon=" + std::to_string(c.trayIcon) +
                    "\nMiniTray=" + std::to_string(c.miniTray) +
                    "\nCloseTray=" + std::to_string(c.closeTray) + "\n");
        CRiviveZuzuveDlg& dlg = Make();
        dlg.Tray()->SetAreaProbe([&c] { return c.area; });
        Show();
        if (c.iconRemoved) dlg.Tray()->Remove();
        dlg.Flags().IsRecording = 1;  // Close then refuses instead of quitting
        dlg.OnMini();
        EXPECT_EQ(!dlg.isVisible(), c.hiddenAfterMini);
        if (!dlg.isVisible()) dlg.show();
        dlg.ShowNormalQuietly();
        dlg.OnCloseButton();
        EXPECT_EQ(!dlg.isVisible(), c.hiddenAfterClose);
        EXPECT_EQ(boxes.Boxes().size(), c.hiddenAfterClose ? 0u : 1u);
        const bool told = c.trayIcon && !c.area;
        EXPECT_EQ(Count(Log(), kNoTrayLine), before + (told ? 1 : 0)) << "said once";
        dlg.Flags().IsRecording = 0;
    }
}

}  // namespace
