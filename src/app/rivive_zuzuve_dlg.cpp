#include "app/rivive_zuzuve_dlg.h"

#include "app/help_menu.h"
#include "app/hot_keys.h"
#include "app/log_lines.h"
#include "app/main_finish_host.h"
#include "app/main_messages.h"
#include "app/main_recording_host.h"
#include "app/main_skin_layout.h"
#include "app/main_tray.h"
#include "app/main_window_handle.h"
#include "app/option_button.h"
#include "app/show_selected_area.h"
#include "app/status_lines.h"
#include "area/region_dlg.h"
#include "audio/audio_dlg.h"
#include "audio/compressed_format.h"
#include "audio/wave_in_capture.h"
#include "companions/clickwatch/clickwatch.h"
#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/output_dlg.h"
#include "platform/core/data_folders.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"
#include "platform/core/version.h"
#include "platform/sound/wave_in.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/pixels.h"
#include "recording/avi_api.h"
#include "recording/finished_recording.h"
#include "recording/flashing_wnd.h"
#include "recording/recording_control.h"
#include "resources/cursors.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "settings/default_folder.h"
#include "settings/settings_store.h"
#include "skin/bitmap_utils.h"
#include "skin/bmp_button.h"
#include "video_settings/video_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace app {

namespace {

constexpr int kWindowWidth = 653;   // 435 dialog units
constexpr int kWindowHeight = 450;  // 277 dialog units
constexpr int kStatusLineWidth = 339;  // every status line as wide as the type line
constexpr std::uint32_t kPageColour = 0xF0F0F0;

const SkinButtonPlace* FindPlace(int id) {
    for (const SkinButtonPlace& place : kSkinButtons)
        if (place.id == id) return &place;
    return nullptr;
}

bool IsEnterOrEscape(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
           key->key() == Qt::Key_Escape;
}

}  // namespace

CRiviveZuzuveDlg::CRiviveZuzuveDlg(QWidget* parent)
    // Frameless only: adding the minimise or system-menu hints makes the window manager's idea
    // of the window's position and Qt's disagree.
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint),
      messages_(this) {
    const platform::DialogTemplate* tmpl = resources::FindDialogTemplate(resources::IDD_MAIN);
    platform::BuildDialog(*tmpl, this, [this](const platform::ControlTemplate& c, QWidget* parent)
                                           -> QWidget* {
        if (!FindPlace(c.id)) return nullptr;
        auto* button = new skin::CBmpButton(parent);
        buttons_[c.id] = button;
        return button;
    });
    setFixedSize(kWindowWidth, kWindowHeight);
    setWindowTitle(kProductName);
    setWindowIcon(resources::LoadIconResource(resources::IDR_MAINFRAME));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Run modally without an owner, the window blocks no other window: the tray icon, the status
    // window and the progress dialog keep their input.
    setWindowModality(Qt::WindowModal);

    for (auto& [id, button] : buttons_)
        connect(button, &skin::CBmpButton::Clicked, this, [this](int cid) { RunCommand(cid); });

    // Page slots: plain placeholders until the pages are installed.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        pages_[i] = new QWidget(this);
        pages_[i]->setObjectName(QStringLiteral("pageSlot%1").arg(i));
        pages_[i]->hide();
    }

    // Recording commands from the buttons and the tray menu.
    for (int id : {IDC_START, ID_TRAY_RECORD}) OnCommand(id, [this] { if (recording_) recording_->OnStart(); });
    for (int id : {IDC_PAUSE, ID_TRAY_PAUSE}) OnCommand(id, [this] { if (recording_) recording_->OnPause(); });
    for (int id : {IDC_STOP, ID_TRAY_STOP}) OnCommand(id, [this] { if (recording_) recording_->OnStop(); });
    OnCommand(IDC_CLOSE, [this] { OnCloseButton(); });
    OnCommand(IDC_MINI, [this] { OnMini(); });
    OnCommand(IDC_OPTION, [this] { OnOptionButton(*this); });
    OnCommand(ID_TRAY_EXIT, [this] { OnTrayExit(); });
    for (int tab : kPageTabs) OnCommand(tab, [this, tab] { ShowPage(tab); });
    InstallMessageMap();
    InstallTrayAndHelp();
    InstallFinishing(*this);
    qApp->installEventFilter(this);
}

CRiviveZuzuveDlg::~CRiviveZuzuveDlg() {
    if (initialised_) UnregisterHotKeys(HotKeyService(), Handle());
    platform::WindowHandle mine = Handle();
    MainWindowHandle.compare_exchange_strong(mine, 0);
}

std::string CRiviveZuzuveDlg::ConfigPath() const { return platform::ConfigFilePath(); }

void CRiviveZuzuveDlg::InstallMessageMap() {
    // Entries the sound capture, the finishing stage and the tray replace as they land.
    const std::uint32_t waiting[] = {WM_USER_RECORDFINISH, platform::MM_WIM_DATA,
                                     WM_USER_TRAYNOTIFY};
    for (std::uint32_t message : waiting)
        messages_.On(message, [](platform::WPARAM, platform::LPARAM) { return 0; });
    // The recording control's entries, live once the window has initialised.
    recording::RouteRecordingMessages(messages_, [this] { return recording_.get(); });
    // Presses reported by the click hook from anywhere on the screen: the click mark only.
    messages_.On(platform::WM_LBUTTONDOWN, [this](platform::WPARAM, platform::LPARAM) {
        ClickMark(kClickLeft);
        return 0;
    });
    messages_.On(platform::WM_RBUTTONDOWN, [this](platform::WPARAM, platform::LPARAM) {
        ClickMark(kClickRight);
        return 0;
    });
}

void CRiviveZuzuveDlg::InstallTrayAndHelp() {
    tray_ = std::make_unique<MainTray>(*this);
    help_ = std::make_unique<HelpMenu>(this);
    messages_.On(WM_USER_TRAYNOTIFY, [this](platform::WPARAM w, platform::LPARAM l) {
        return tray_->OnTrayNotify(w, l);
    });
    OnCommand(IDC_HELP, [this] { help_->OnHelpButton(); });
}

void CRiviveZuzuveDlg::OnCommand(int id, std::function<void()> handler) {
    commands_[id] = std::move(handler);
}

bool CRiviveZuzuveDlg::RunCommand(int id) {
    auto it = commands_.find(id);
    if (it == commands_.end() || !it->second) return false;
    it->second();
    return true;
}

QWidget* CRiviveZuzuveDlg::Control(int id) const { return platform::GetDlgItem(this, id); }

skin::CBmpButton* CRiviveZuzuveDlg::Button(int id) const {
    auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

QWidget* CRiviveZuzuveDlg::Page(int index) const {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

void CRiviveZuzuveDlg::InstallPage(int index, QWidget* page) {
    if (!page || index < 0 || index >= static_cast<int>(pages_.size())) return;
    QWidget*& slot = pages_[static_cast<std::size_t>(index)];
    const bool visible = slot && slot->isVisibleTo(this);
    const QRect place = slot ? slot->geometry() : QRect();
    if (slot && slot != page) slot->deleteLater();
    slot = page;
    page->setParent(this);
    page->setWindowFlags(Qt::Widget);
    if (place.isValid()) page->setGeometry(place);
    page->setVisible(visible);
}

void CRiviveZuzuveDlg::setVisible(bool visible) {
    // Initialised before the native window exists, so it is created where the settings place it.
    if (visible && !initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    // Hiding (to the tray) must not end the modal loop; only ending the dialog does.
    if (!visible && !ending_) {
        QWidget::setVisible(false);
        return;
    }
    QDialog::setVisible(visible);
}

void CRiviveZuzuveDlg::done(int result) {
    ending_ = true;
    if (!isVisible()) {
        // The modal loop ends when the dialog hides: a dialog waiting in the tray is first shown
        // off screen so that hiding it ends the loop.
        setAttribute(Qt::WA_DontShowOnScreen, true);
        QDialog::setVisible(true);
    }
    QDialog::done(result);
    setAttribute(Qt::WA_DontShowOnScreen, false);
    ending_ = false;
}

bool CRiviveZuzuveDlg::OnInitDialog() {
    // 2. The window icon (also set at construction, for the taskbar).
    setWindowIcon(resources::LoadIconResource(resources::IDR_MAINFRAME));

    // 3. Recording buttons and the two hidden lines.
    Button(IDC_START)->setEnabled(true);
    Button(IDC_STOP)->setEnabled(false);
    Button(IDC_PAUSE)->setEnabled(false);
    if (QWidget* line = Control(IDC_LINE_TOP)) line->hide();
    if (QWidget* line = Control(IDC_LINE_BOTTOM)) line->hide();

    // 4. Skin and layout, before the window is centred.
    ApplySkin();

    // 5.
    MainWindowHandle = Handle();

    // 6. The page area, relative to the window.
    if (QWidget* area = Control(IDC_PAGE_AREA)) {
        const QRect r = area->geometry();
        pageArea_ = platform::Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }

    // 7. Sound format and settings; loading them centres the window.
    audio::AllocCompressedFormat();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(kWindowWidth, kWindowHeight);
    const platform::Rect centred = settings::CentredWindowRect(
        screenSize.width(), screenSize.height(), width(), height());
    move(centred.left, centred.top);
    settings::LoadSettings(settings_, ConfigPath(), centred, audio::CompressedFormat);
    audio::SuggestCompressedFormat(settings_);
    RegisterHotKeys(HotKeyService(), Handle(), settings_);

    // 8. The tray icon record and menu; the icon shows when TrayIcon asks for it.
    tray_->Initialise();
    if (settings_.TrayIcon) {
        tray_->Add();
        tray_->CanHideWindow();  // logs once when there is no notification area
    }

    // 9. Default output folder (not created here).
    if (!platform::IsDirectory(settings_.AutoSaveDir))
        settings_.AutoSaveDir = settings::DefaultAutoSaveDir();

    // 10. The pages, which edit the settings in place.
    InstallPage(0, new area::CRegionDlg(settings_, Handle()));
    InstallPage(1, new video_settings::CVideoDlg(settings_, this));
    auto* audioPage = new audio::CAudioDlg(settings_, this);
    InstallPage(2, audioPage);
    InstallPage(3, new finishing::COutPutDlg(settings_, this));

    // 11, 12. Screen size, the flashing frame, and the recording control that drives it.
    flashing_ = recording::CFlashingWnd::Create(screenSize.width(), screenSize.height());
    recordingHost_ = std::make_unique<MainRecordingHost>(*this);
    recordingHost_->SetWaveInDeviceCounter(
        [] { return static_cast<int>(platform::SystemWaveIn().waveInGetNumDevs()); });
    if (!sound_) {
        capture_ = std::make_unique<audio::CWaveInCapture>(Handle(), settings_);
        sound_ = capture_.get();
    }
    recording_ = std::make_unique<recording::RecordingControl>(*recordingHost_, flashing_.get(),
                                                               recording::RealAviApi(), sound_);
    if (capture_) {
        capture_->SetJobFlags(recording_->Job().Running);
        connect(audioPage, &audio::CAudioDlg::RecordAudioChanged, this,
                [this](bool recordAudio) { capture_->KeepDeviceReady(recordAudio); });
        messages_.On(platform::MM_WIM_DATA, [this](platform::WPARAM w, platform::LPARAM l) {
            return capture_->OnWIM_DATA(w, l);
        });
    }

    // 13.
    CreateProgressWindow(*this);

    // 14. The status window, modeless and hidden.
    recordingHost_->CreateStatusWindow();

    // 15, 16. Status lines; the frame shows round a selected region.
    ColourStatics();
    UpdateStatusLines();
    if (settings_.RecordMode == 0) platform::SendMessage(Handle(), WM_USER_FLASHFRAME, 0, 0);

    // 17. Select Area shown, the other pages hidden, all four in the page area.
    for (QWidget* page : pages_) {
        page->setGeometry(pageArea_.left, pageArea_.top, pageArea_.Width(), pageArea_.Height());
    }
    ShowPage(IDC_TAB_AREA);

    // 18, 19.
    setWindowTitle(kProductName);
    flags_.IsRecording = 0;
    WriteStartLine();
    if (GetLanguageCount() == 0) WriteLogLine(kBuiltInTextsLine);
    return true;
}

void CRiviveZuzuveDlg::ApplySkin() {
    const std::string folder = platform::GetProgramFolder();
    for (const SkinButtonPlace& place : kSkinButtons) {
        skin::CBmpButton* button = Button(place.id);
        if (!button) continue;
        const platform::Rect r = SkinButtonRect(place, width(), height());
        button->setGeometry(r.left, r.top, r.Width(), r.Height());
        button->SetStrip(QImage());
        button->SetStrip(skin::LoadImageFile(folder + place.file));
        if (place.tab) {
            button->SetMode(skin::kTabMode);
            button->setChecked(place.id == IDC_TAB_AREA);
        }
    }
    background_.DeleteObject();
    background_.Attach(skin::LoadImageFile(folder + "skins/main.bmp"));
    update();
}

void CRiviveZuzuveDlg::ColourStatics() {
    staticBrush_ = QBrush(QColor(platform::ColorRefToRgb(kPageColour)));
    for (int id : {IDC_AREA_LINE, IDC_SOUND_LINE, IDC_CURSOR_LINE, IDC_TYPE_LINE}) {
        auto* label = qobject_cast<QLabel*>(Control(id));
        if (!label) continue;
        QPalette palette = label->palette();
        palette.setBrush(QPalette::Window, staticBrush_);
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        label->setAutoFillBackground(true);
        label->setWordWrap(false);
        label->resize(kStatusLineWidth, label->height());
    }
}

void CRiviveZuzuveDlg::SetLineText(int id, const std::string& text) {
    platform::SetDlgItemText(this, id, text.c_str());
}

void CRiviveZuzuveDlg::UpdateStatusLines() {
    SetLineText(IDC_AREA_LINE, AreaLineText(settings_.RecordMode));
    SetLineText(IDC_CURSOR_LINE, CursorLineText(settings_.RecordMouse));
    std::string type;
    if (VideoTypeLineText(settings_.VideoType, type)) SetLineText(IDC_TYPE_LINE, type);
}

void CRiviveZuzuveDlg::ShowPage(int command) {
    int chosen = -1;
    for (std::size_t i = 0; i < kPageTabs.size(); ++i)
        if (kPageTabs[i] == command) chosen = static_cast<int>(i);
    if (chosen < 0) return;
    for (std::size_t i = 0; i < kPageTabs.size(); ++i) {
        const bool on = static_cast<int>(i) == chosen;
        if (skin::CBmpButton* tab = Button(kPageTabs[i])) tab->setChecked(on);
        if (pages_[i]) pages_[i]->setVisible(on);
    }
}

void CRiviveZuzuveDlg::OnMini() {
    miniInProgress_ = true;
    if (settings_.MiniTray && tray_->CanHideWindow()) hide();
    else if (!isMinimized()) showMinimized();
    miniInProgress_ = false;
    if (!flags_.IsRecording) platform::SendMessage(Handle(), WM_USER_FLASHFRAME, 1, 0);
    if (flags_.IsRecording && statusWindow_) statusWindow_->showNormal();
}

void CRiviveZuzuveDlg::OnSysCommand(int command) {
    switch (command) {
        case SC_MINIMIZE:
            if (!flags_.IsRecording) platform::SendMessage(Handle(), WM_USER_FLASHFRAME, 1, 0);
            OnMini();
            return;
        case SC_CLOSE: OnCloseButton(); return;
        case SC_RESTORE:
            if (settings_.RecordMode == 0 && ShowSelectedArea != 0)
                platform::SendMessage(Handle(), WM_USER_FLASHFRAME, 0, 0);
            if (isMinimized() || !isVisible()) ShowNormalQuietly();
            break;
        default: break;
    }
    if (!flags_.Converting && progressWindow_) progressWindow_->hide();
}

void CRiviveZuzuveDlg::MinimizeQuietly() {
    miniInProgress_ = true;
    showMinimized();
    miniInProgress_ = false;
}

void CRiviveZuzuveDlg::ShowNormalQuietly() {
    miniInProgress_ = true;
    showNormal();
    miniInProgress_ = false;
}

void CRiviveZuzuveDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && initialised_ && !miniInProgress_) {
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool wasMinimized = change->oldState() & Qt::WindowMinimized;
        // The window system minimised or restored the window (taskbar, keyboard).
        if (isMinimized() && !wasMinimized) OnSysCommand(SC_MINIMIZE);
        else if (!isMinimized() && wasMinimized) OnSysCommand(SC_RESTORE);
    }
    QDialog::changeEvent(event);
}

void CRiviveZuzuveDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.IsLoaded()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    skin::DrawSkinBitmap(background_.Image(), painter, kMainSplitX, kMainSplitY,
                         platform::Rect{0, 0, width(), height()});
}

void CRiviveZuzuveDlg::ClickMark(int state) {
    if (clickMark_) clickMark_(state);
    else if (recording_) recording_->OnButtonDown(state == kClickRight);
}

void CRiviveZuzuveDlg::mousePressEvent(QMouseEvent* event) {
    // Only presses on the window's own surface arrive here (never the hook's).
    if (event->button() == Qt::LeftButton) {
        ClickMark(kClickLeft);
        if (QWindow* window = windowHandle()) window->startSystemMove();
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton) ClickMark(kClickRight);
    QDialog::mousePressEvent(event);
}

void CRiviveZuzuveDlg::WriteStartLine() {
    char line[256];
    std::snprintf(line, sizeof line, kStartLineFormat, platform::GetVersionText().c_str());
    WriteLogLine(line);
}

void CRiviveZuzuveDlg::SaveSettingsOrLog() {
    const std::string path = ConfigPath();
    if (!settings::SaveSettings(settings_, path, audio::CompressedFormat)) LogSettingsNotSaved(path);
}

void CRiviveZuzuveDlg::OnCancel() {
    // The control goes with the frame it draws; it is idle here (closing refuses while recording).
    recording_.reset();
    // A recording stopped just before is not finished on the way out: it stays on disk.
    messages_.On(WM_USER_RECORDFINISH, [](platform::WPARAM ticket, platform::LPARAM) {
        recording::TakeFinished(static_cast<std::uintptr_t>(ticket));
        return 0;
    });
    flashing_.reset();
    if (flags_.HookInstalled != 0) {
        UninstallMyHook(Handle());
        flags_.HookInstalled = 0;
    }
    tray_->Remove();
    UnregisterHotKeys(HotKeyService(), Handle());
    SaveSettingsOrLog();
    done(QDialog::Rejected);
}

bool CRiviveZuzuveDlg::QuitRefused() {
    if (flags_.IsRecording) {
        platform::MessageBox(Handle(), GetText("MsgBox", "OnRecording"), "", platform::MB_OK);
        return true;
    }
    if (flags_.Converting) {
        // OK asks the converter worker to stop; it then ends the recorder itself. A copy
        // running beside it stops too, keeping its recording.
        if (platform::MessageBox(Handle(), GetText("MsgBox", "OnMerging"), "",
                                 platform::MB_OKCANCEL) != platform::IDOK)
            return true;
        flags_.CancelConvert = 1;
        StopCopies(*this);
        // A worker that ended while the box was up may not have seen the request: the recorder
        // then ends here (if both end it, the second end finds it gone).
        return flags_.Converting != 0;
    }
    if (FinishPending(*this)) {
        // A recording not saved yet stays on disk and is offered again at the next start.
        if (platform::MessageBox(Handle(), GetText("MsgBox", "OnFinishing"), "",
                                 platform::MB_OKCANCEL) != platform::IDOK)
            return true;
        return QuitWhileFinishing(*this);
    }
    return false;
}

void CRiviveZuzuveDlg::OnCloseButton() {
    if (settings_.CloseTray && tray_->CanHideWindow()) {
        hide();
        platform::SendMessage(Handle(), WM_USER_FLASHFRAME, 1, 0);
        WriteLogLine(kQuitLine);
        return;
    }
    if (QuitRefused()) return;
    OnCancel();
    WriteLogLine(kQuitLine);
}

void CRiviveZuzuveDlg::OnTrayExit() {
    if (QuitRefused()) return;
    WriteLogLine(kQuitLine);
    OnCancel();
}

void CRiviveZuzuveDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCloseButton();
}

void CRiviveZuzuveDlg::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CRiviveZuzuveDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Escape pressed anywhere in the window or on a page are swallowed before any
    // control or page sees them, so they never press a button or close a page.
    if (event->type() == QEvent::KeyPress && IsEnterOrEscape(static_cast<QKeyEvent*>(event))) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) return true;
    }
    // A press on a page's own surface stays with the page: only the main window's surface
    // drags the window.
    if (event->type() == QEvent::MouseButtonPress &&
        std::find(pages_.begin(), pages_.end(), watched) != pages_.end()) {
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace app
