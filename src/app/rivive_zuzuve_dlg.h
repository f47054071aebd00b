#pragma once
// CRiviveZuzuveDlg: the recorder's one main window, caption-less and skinned. It owns the
// settings and the flags the other parts read, holds the four page slots, receives every private
// message through its dispatch table and closes the recorder in order.
// Thread contract: lives on the user-interface thread; other threads reach it only through
// PostMessage/SendMessage on Handle() and the atomic flags of Flags().
#include "app/app_state.h"
#include "platform/core/messages.h"
#include "settings/record_settings.h"
#include "skin/bitmap_ex.h"

#include <QBrush>
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class QLabel;

namespace audio {
class CWaveInCapture;
class SoundCapture;
}
namespace recording {
class CFlashingWnd;
class RecordingControl;
}
namespace skin {
class CBmpButton;
}

namespace app {

class HelpMenu;
class MainRecordingHost;
class MainTray;

class CRiviveZuzuveDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRiviveZuzuveDlg(QWidget* parent = nullptr);
    ~CRiviveZuzuveDlg() override;

    platform::WindowHandle Handle() const { return messages_.Handle(); }
    settings::RecordSettings& Settings() { return settings_; }
    MainFlags& Flags() { return flags_; }
    std::string ConfigPath() const;

    // The dispatch table: other parts install their handlers for the private messages here
    // (a later On() for the same message replaces the earlier handler).
    platform::MessageWindow& Messages() { return messages_; }
    // Commands of buttons and menus (control or command id -> handler); replaces any earlier one.
    void OnCommand(int id, std::function<void()> handler);
    // Runs the handler of a command; false when there is none.
    bool RunCommand(int id);
    // Replaces where click marks go (1 left, 2 right); by default the recording control's job.
    void SetClickMarkHandler(std::function<void(int)> handler) { clickMark_ = std::move(handler); }
    // Replaces the recorder's own sound capture (for tests); set before the window is first shown.
    void SetSoundCapture(audio::SoundCapture* sound) { sound_ = sound; }
    // The recorder's own sound capture; null when another one was set or before initialisation.
    audio::CWaveInCapture* WaveInCapture() const { return capture_.get(); }
    // Created when the window initialises; null before.
    recording::RecordingControl* Recording() const { return recording_.get(); }
    MainRecordingHost* RecordingHost() const { return recordingHost_.get(); }
    recording::CFlashingWnd* FlashingFrame() const { return flashing_.get(); }

    // Page slots 0-3 (Select Area, Video, Audio, Output): placeholders until a page is installed.
    // InstallPage puts the page in the slot's place and state; the placeholder is deleted.
    QWidget* Page(int index) const;
    void InstallPage(int index, QWidget* page);
    // Windows that the main window shows or hides for others; null until they exist.
    void SetStatusWindow(QWidget* window) { statusWindow_ = window; }
    void SetProgressWindow(QWidget* window) { progressWindow_ = window; }
    QWidget* StatusWindow() const { return statusWindow_; }
    QWidget* ProgressWindow() const { return progressWindow_; }
    // The tray icon with its menu, and the Help menu.
    MainTray* Tray() const { return tray_.get(); }
    HelpMenu* Help() const { return help_.get(); }

    // Close button (also the system close command).
    void OnCloseButton();
    // Tray menu Exit.
    void OnTrayExit();
    // The exit routine: releases what the window holds, saves the settings, ends the dialog.
    void OnCancel();

    // Page buttons 1052, 1053, 1055, 1056: check the chosen one and show its page only.
    void ShowPage(int command);
    void OnMini();
    void OnSysCommand(int command);
    // Minimise or restore for the program itself: not taken for the user's system command.
    void MinimizeQuietly();
    void ShowNormalQuietly();

    // Controls by id (buttons, status lines, the page area).
    QWidget* Control(int id) const;
    skin::CBmpButton* Button(int id) const;
    // The page area relative to the window's top-left corner.
    platform::Rect PageArea() const { return pageArea_; }
    bool Initialised() const { return initialised_; }

protected:
    bool OnInitDialog();
    void setVisible(bool visible) override;
    void done(int result) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override {}  // Escape never closes the window; OnCancel does

private:
    void ApplySkin();
    void InstallMessageMap();
    void InstallTrayAndHelp();
    void ColourStatics();
    void UpdateStatusLines();
    void SetLineText(int id, const std::string& text);
    void WriteStartLine();
    void SaveSettingsOrLog();
    void ClickMark(int state);
    // While recording or converting a quit is refused (or the conversion asked to stop): true.
    bool QuitRefused();

    platform::MessageWindow messages_;
    settings::RecordSettings settings_;
    MainFlags flags_;
    bool initialised_ = false;
    bool miniInProgress_ = false;  // the window's own state change, not a system command
    bool ending_ = false;

    skin::CBitmapEx background_;
    std::unordered_map<int, skin::CBmpButton*> buttons_;
    std::array<QWidget*, 4> pages_{};
    platform::Rect pageArea_{};
    QBrush staticBrush_;
    QWidget* statusWindow_ = nullptr;
    QWidget* progressWindow_ = nullptr;
    std::unordered_map<int, std::function<void()>> commands_;
    std::function<void(int)> clickMark_;
    audio::SoundCapture* sound_ = nullptr;
    // Destroyed in reverse order: the control before its sound capture, its host and the frame
    // it draws.
    std::unique_ptr<audio::CWaveInCapture> capture_;
    std::unique_ptr<recording::CFlashingWnd> flashing_;
    std::unique_ptr<MainRecordingHost> recordingHost_;
    std::unique_ptr<recording::RecordingControl> recording_;
    std::unique_ptr<MainTray> tray_;
    std::unique_ptr<HelpMenu> help_;
};

}  // namespace app
