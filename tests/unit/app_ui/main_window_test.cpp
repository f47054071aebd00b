#include "app/main_messages.h"
#include "app/main_skin_layout.h"
#include "app/main_tray.h"
#include "app/main_window_handle.h"
#include "app/status_lines.h"
#include "support/main_window_fixture.h"
#include "skin/bmp_button.h"
#include "skin/builtin_skin.h"
#include "audio/audio_dlg.h"
#include "finishing/output_dlg.h"
#include "video_settings/video_dlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace {

using namespace app;

QString LineText(CRiviveZuzuveDlg& dlg, int id) {
    auto* label = qobject_cast<QLabel*>(dlg.Control(id));
    return label ? label->text() : QString("<none>");
}

int VisiblePage(CRiviveZuzuveDlg& dlg) {
    int shown = -1, count = 0;
    for (int i = 0; i < 4; ++i)
        if (dlg.Page(i)->isVisibleTo(&dlg)) {
            shown = i;
            ++count;
        }
    return count == 1 ? shown : -2;
}

int CheckedTab(CRiviveZuzuveDlg& dlg) {
    int checked = -1, count = 0;
    for (int i = 0; i < 4; ++i)
        if (dlg.Button(kPageTabs[static_cast<std::size_t>(i)])->isChecked()) {
            checked = i;
            ++count;
        }
    return count == 1 ? checked : -2;
}

TEST_F(MainWindowTest, ComesUpWithItsSkinButtonsPagesAndStatusLines) {
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    EXPECT_EQ(dlg.size(), QSize(653, 450));
    EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(CheckedTab(dlg), 0);
    EXPECT_EQ(VisiblePage(dlg), 0);
    for (const SkinButtonPlace& place : kSkinButtons) {
        skin::CBmpButton* button = dlg.Button(place.id);
        ASSERT_NE(button, nullptr) << place.id;
        EXPECT_TRUE(button->HasStrip()) << place.file;
        EXPECT_EQ(button->Mode(), place.tab ? skin::kTabMode : skin::kPushMode) << place.id;
    }
    EXPECT_TRUE(dlg.Button(IDC_START)->isEnabled());
    EXPECT_FALSE(dlg.Button(IDC_PAUSE)->isEnabled());
    EXPECT_FALSE(dlg.Button(IDC_STOP)->isEnabled());
    EXPECT_EQ(dlg.Button(IDC_PAUSE)->CurrentFrame(), skin::kFrameDisabled);
    EXPECT_FALSE(dlg.Control(IDC_LINE_TOP)->isVisible());
    EXPECT_FALSE(dlg.Control(IDC_LINE_BOTTOM)->isVisible());

    EXPECT_EQ(LineText(dlg, IDC_AREA_LINE), GetText("StatusInfo", "SelectMode"));
    EXPECT_EQ(LineText(dlg, IDC_CURSOR_LINE), GetText("StatusInfo", "RecordMouse"));
    EXPECT_EQ(LineText(dlg, IDC_TYPE_LINE),
              QString(GetText("Video", "VideoType")) + "AVI - Audio Video Interleaved");
    const platform::Rect area = dlg.PageArea();
    EXPECT_EQ(dlg.Page(0)->geometry(), QRect(area.left, area.top, area.Width(), area.Height()));
    EXPECT_EQ(dlg.Page(0)->geometry(), QRect(54, 125, 531, 229));
    EXPECT_EQ(MainWindowHandle.load(), dlg.Handle());
    dlg_.reset();
    EXPECT_EQ(MainWindowHandle.load(), 0u);
}

TEST_F(MainWindowTest, SettingsDecideTheLinesAndTheFrameAtStartUp) {
    struct Case {
        const char* config;
        const char* areaKey;
        const char* cursorKey;
        const char* typeLabel;  // null: the template text stays
        int frameShows;         // WM_USER_FLASHFRAME with wParam 0 at start-up
    } cases[] = {
        {"", "SelectMode", "RecordMouse", "AVI - Audio Video Interleaved", 1},
        {"[Area Settings]\nRecordMode=1\n[Video Settings]\nRecordMouse=0\nVideoType=104\n",
         "FullRecordMode", "NotRecordMouse", "WMV - Windows Media Video", 0},
        {"[Video Settings]\nVideoType=107\n", "SelectMode", "RecordMouse", nullptr, 1},
    };
    for (const auto& c : cases) {
        WriteConfig(c.config);
        CRiviveZuzuveDlg& dlg = Make();
        int shows = 0;
        dlg.Messages().On(WM_USER_FLASHFRAME, [&](platform::WPARAM w, platform::LPARAM) {
            if (w == 0) ++shows;
            return 0;
        });
        Show();
        EXPECT_EQ(LineText(dlg, IDC_AREA_LINE), GetText("StatusInfo", c.areaKey)) << c.config;
        EXPECT_EQ(LineText(dlg, IDC_CURSOR_LINE), GetText("StatusInfo", c.cursorKey)) << c.config;
        EXPECT_EQ(LineText(dlg, IDC_TYPE_LINE),
                  c.typeLabel ? QString(GetText("Video", "VideoType")) + c.typeLabel
                              : QString("Vide Type:"))
            << c.config;
        EXPECT_EQ(shows, c.frameShows) << c.config;
    }
}

TEST_F(MainWindowTest, PageButtonsShowExactlyTheirPage) {
    struct Case {
        std::vector<int> presses;
        int page;
    } cases[] = {
        {{IDC_TAB_VIDEO}, 1},
        {{IDC_TAB_VIDEO, IDC_TAB_VIDEO}, 1},  // pressing the checked tab keeps it
        {{IDC_TAB_OUTPUT, IDC_TAB_AUDIO}, 2},
        {{IDC_TAB_OUTPUT, IDC_TAB_AREA}, 0},
        {{IDC_TAB_AUDIO, 1054}, 2},  // not a page button
    };
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    for (const auto& c : cases) {
        dlg.ShowPage(IDC_TAB_AREA);
        for (int id : c.presses) dlg.RunCommand(id);
        EXPECT_EQ(VisiblePage(dlg), c.page) << c.presses.size();
        EXPECT_EQ(CheckedTab(dlg), c.page) << c.presses.size();
    }
}

TEST_F(MainWindowTest, InstalledPagesTakeTheSlotAndEnterOrEscapeChangeNothing) {
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    auto* page = new QDialog;
    auto* edit = new QLineEdit(page);
    auto* button = new QPushButton("OK", page);
    button->setDefault(true);
    int pressed = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++pressed; });
    dlg.InstallPage(0, page);
    dlg.InstallPage(1, new QDialog);
    EXPECT_EQ(dlg.Page(0), page);
    EXPECT_EQ(page->parentWidget(), &dlg);
    EXPECT_EQ(page->geometry(), QRect(54, 125, 531, 229));
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(dlg.Page(1)->isVisibleTo(&dlg));
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        for (QWidget* target : {static_cast<QWidget*>(edit), static_cast<QWidget*>(button),
                                static_cast<QWidget*>(page), static_cast<QWidget*>(&dlg)}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
        }
        QApplication::processEvents();
        EXPECT_TRUE(page->isVisible()) << key;
        EXPECT_TRUE(dlg.isVisible()) << key;
        EXPECT_EQ(pressed, 0) << key;
    }
    dlg.RunCommand(IDC_TAB_VIDEO);
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(dlg.Page(1)->isVisible());
}

TEST_F(MainWindowTest, TheVideoAudioAndOutputPagesEditTheSettingsAndKeepTheStatusLines) {
    WriteConfig("[Audio Settings]\nRecordAudio=0\n");
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    auto* video = qobject_cast<video_settings::CVideoDlg*>(dlg.Page(1));
    auto* sound = qobject_cast<audio::CAudioDlg*>(dlg.Page(2));
    auto* output = qobject_cast<finishing::COutPutDlg*>(dlg.Page(3));
    ASSERT_NE(video, nullptr);
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(output, nullptr);
    for (QWidget* page : {static_cast<QWidget*>(video), static_cast<QWidget*>(sound),
                          static_cast<QWidget*>(output)})
        EXPECT_EQ(page->pos(), QPoint(54, 125));
    EXPECT_EQ(LineText(dlg, IDC_SOUND_LINE), GetText("StatusInfo", "NotRecordAudio"));

    dlg.RunCommand(IDC_TAB_VIDEO);
    auto* formats = qobject_cast<QComboBox*>(video->Control(video_settings::CVideoDlg::kFormatList));
    formats->setCurrentIndex(2);
    emit formats->activated(2);
    EXPECT_EQ(dlg.Settings().VideoType, 102);
    EXPECT_EQ(LineText(dlg, IDC_TYPE_LINE), QString(GetText("Video", "VideoType")) + "MP4 - MPEG-4 Video");
    qobject_cast<QAbstractButton*>(video->Control(video_settings::CVideoDlg::kRecordMouse))->click();
    EXPECT_EQ(dlg.Settings().RecordMouse, 0);
    EXPECT_EQ(LineText(dlg, IDC_CURSOR_LINE), GetText("StatusInfo", "NotRecordMouse"));

    dlg.RunCommand(IDC_TAB_AUDIO);
    qobject_cast<QAbstractButton*>(sound->Control(audio::CAudioDlg::kRecordAudio))->click();
    EXPECT_EQ(dlg.Settings().RecordAudio, 1);
    EXPECT_TRUE(LineText(dlg, IDC_SOUND_LINE).startsWith(GetText("StatusInfo", "RecordAudio")));
    EXPECT_NE(LineText(dlg, IDC_SOUND_LINE), GetText("StatusInfo", "RecordAudio"));

    dlg.RunCommand(IDC_TAB_OUTPUT);
    qobject_cast<QAbstractButton*>(output->Control(finishing::COutPutDlg::kAutoSave))->click();
    EXPECT_EQ(dlg.Settings().AutoSave, 1);
    EXPECT_EQ(VisiblePage(dlg), 3);
}

TEST_F(MainWindowTest, MiniHidesTheFrameWhenIdleAndShowsTheStatusWindowWhenRecording) {
    struct Case {
        const char* config;
        int recording;
        bool hidden;  // to the tray, else minimised
        int frameHides;
        bool statusShown;
    } cases[] = {
        {"[Global Options]\nMiniTray=0\n", 0, false, 1, false},
        {"[Global Options]\nMiniTray=1\nTrayIcon=1\n", 0, true, 1, false},
        {"[Global Options]\nMiniTray=1\nTrayIcon=0\n", 0, false, 1, false},
        {"[Global Options]\nMiniTray=0\n", 1, false, 0, true},
    };
    for (const auto& c : cases) {
        WriteConfig(c.config);
        CRiviveZuzuveDlg& dlg = Make();
        dlg.Tray()->SetAreaProbe([] { return true; });  // a desktop with a notification area
        int hides = 0;
        dlg.Messages().On(WM_USER_FLASHFRAME, [&](platform::WPARAM w, platform::LPARAM) {
            if (w == 1) ++hides;
            return 0;
        });
        QWidget status;
        dlg.SetStatusWindow(&status);
        Show();
        dlg.Flags().IsRecording = c.recording;
        dlg.RunCommand(IDC_MINI);
        QApplication::processEvents();
        if (c.hidden) EXPECT_FALSE(dlg.isVisible()) << c.config;
        else EXPECT_TRUE(dlg.isMinimized()) << c.config;
        EXPECT_EQ(hides, c.frameHides) << c.config;
        EXPECT_EQ(status.isVisible(), c.statusShown) << c.config;
        dlg.Flags().IsRecording = 0;
    }
}

TEST_F(MainWindowTest, HidingToTheTrayKeepsTheModalLoopRunning) {
    WriteConfig("[Global Options]\nMiniTray=1\nTrayIcon=1\nCloseTray=1\n");
    CRiviveZuzuveDlg& dlg = Make();
    dlg.Tray()->SetAreaProbe([] { return true; });  // a desktop with a notification area
    bool runningAfterHide = false;
    QTimer::singleShot(0, &dlg, [&] {
        dlg.RunCommand(IDC_MINI);
        dlg.showNormal();
        dlg.RunCommand(IDC_CLOSE);  // close to the tray
        QTimer::singleShot(100, &dlg, [&] {
            runningAfterHide = !dlg.isVisible();
            dlg.OnCancel();
        });
    });
    bool stuck = false;
    QTimer guard;  // a dialog that never ends must not hang the test
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        stuck = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    dlg.exec();
    EXPECT_TRUE(runningAfterHide);
    EXPECT_FALSE(stuck) << "ending the dialog from the tray did not end its modal loop";
}

TEST_F(MainWindowTest, RestoreHidesTheProgressDialogUnlessConverting) {
    for (int converting : {0, 1}) {
        CRiviveZuzuveDlg& dlg = Make();
        QWidget progress;
        dlg.SetProgressWindow(&progress);
        int shows = 0;
        dlg.Messages().On(WM_USER_FLASHFRAME, [&](platform::WPARAM w, platform::LPARAM) {
            if (w == 0) ++shows;
            return 0;
        });
        Show();
        progress.show();
        shows = 0;
        dlg.Flags().Converting = converting;
        dlg.OnSysCommand(SC_RESTORE);
        EXPECT_EQ(progress.isVisible(), converting != 0);
        EXPECT_EQ(shows, 1);  // a selected region with Show Selected Area on
        dlg.Flags().Converting = 0;
    }
}

TEST_F(MainWindowTest, HookPressesSetTheClickMarkAndNeverMoveTheWindow) {
    CRiviveZuzuveDlg& dlg = Make();
    std::vector<int> marks;
    dlg.SetClickMarkHandler([&](int state) { marks.push_back(state); });
    Show();
    const QPoint before = dlg.pos();
    platform::SendMessage(dlg.Handle(), platform::WM_LBUTTONDOWN, 1, (300 << 16) | 20);
    platform::SendMessage(dlg.Handle(), platform::WM_RBUTTONDOWN, 2, (5 << 16) | 5);
    platform::PostMessage(dlg.Handle(), platform::WM_LBUTTONDOWN, 1, 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return marks.size() == 3; }));
    EXPECT_EQ(marks, (std::vector<int>{kClickLeft, kClickRight, kClickLeft}));
    ASSERT_TRUE(testsupport::ProcessPosted());
    EXPECT_EQ(dlg.pos(), before);

    // Presses on a page stay with the page; on the window's own surface they mark the click.
    for (QWidget* target : {dlg.Page(0), static_cast<QWidget*>(&dlg)}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    EXPECT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks.back(), kClickRight);
}

TEST_F(MainWindowTest, MissingSkinsAreReplacedByTheBuiltInPictures) {
    // A program folder without skins: the window comes up with the same pictures, built in.
    const QString skins = QString::fromStdString(platform::GetProgramFolder() + "skins");
    QFile::remove(skins);
    CRiviveZuzuveDlg& dlg = Make();
    Show();
    EXPECT_TRUE(dlg.Button(IDC_START)->HasStrip());
    EXPECT_FALSE(dlg.Button(IDC_START)->mask().isEmpty()) << "the button is shaped";
    EXPECT_FALSE(skin::BuiltInSkin(platform::GetProgramFolder() + "skins/main.bmp").isNull());
    EXPECT_TRUE(skin::BuiltInSkin(platform::GetProgramFolder() + "elsewhere/main.bmp").isNull());
    EXPECT_EQ(CheckedTab(dlg), 0);
    QFile::link(RZ_BIN_DIR "/skins", skins);
}

}  // namespace
