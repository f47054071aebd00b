#include "recording/show_status_dlg.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/core/paths.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/pixels.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "skin/bitmap_utils.h"
#include "skin/bmp_button.h"
#include "skin/custom_tooltip_ctrl.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <cstdio>

namespace recording {

namespace {

constexpr std::uint32_t kTimeBackground = 0xF09652;  // 0x00BBGGRR
constexpr int kSkinSplit = 1;

std::string SkinPath(const char* name) { return platform::GetProgramFolder() + "skins/" + name; }

QString Tip(const char* key) { return QString::fromStdString(GetText("StatusInfo", key)); }

// The dialog font, narrowed and if need be made smaller until the longest time fits the label.
QFont FittingFont(QFont font, int width) {
    font.setStretch(QFont::Condensed);
    int pixels = 11;
    font.setPixelSize(pixels);
    while (pixels > 7 && QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00:00")) > width - 2)
        font.setPixelSize(--pixels);
    return font;
}

}  // namespace

std::string FormatElapsed(std::uint64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", static_cast<long>(seconds / 3600 % 24),
                  static_cast<long>(seconds / 60 % 60), static_cast<long>(seconds % 60));
    return text;
}

CShowStatusDlg::CShowStatusDlg(QWidget* parent)
    // A top-most strip that never takes the focus from the window being recorded.
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips);  // tips also while another window is active
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("Recording"));
    platform::BuildDialog(*resources::FindDialogTemplate(resources::IDD_STATUS), this,
                          [this](const platform::ControlTemplate& c, QWidget* p) -> QWidget* {
                              if (c.id != kIdStatusPause && c.id != kIdStatusStop) return nullptr;
                              auto* button = new skin::CBmpButton(p);
                              (c.id == kIdStatusPause ? pause_ : stop_) = button;
                              return button;
                          });
    // Created at its template's size; the main window sizes it when it shows it.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    time_ = qobject_cast<QLabel*>(platform::GetDlgItem(this, kIdStatusTime));
    if (time_) {
        // The time on its own solid background; the text itself is drawn transparently.
        QPalette palette = time_->palette();
        palette.setColor(QPalette::Window,
                         QColor(platform::ColorRefToRgb(kTimeBackground)));
        palette.setColor(QPalette::WindowText, Qt::black);
        time_->setPalette(palette);
        time_->setAutoFillBackground(true);
        time_->setWordWrap(false);
        time_->setAlignment(Qt::AlignCenter);
        time_->setFont(FittingFont(time_->font(), time_->width()));
    }
    connect(pause_, &skin::CBmpButton::Clicked, this, [this] { OnPauseButton(); });
    connect(stop_, &skin::CBmpButton::Clicked, this, [this] { OnStopButton(); });

    background_.Attach(skin::LoadImageFile(SkinPath("ShowStatus.bmp")));
    LoadPauseStrip("showstatus_pause.bmp");
    stop_->SetStrip(skin::LoadImageFile(SkinPath("showstatus_stop.bmp")));

    tips_ = new skin::CCustomToolTipCtrl(this);
    tips_->AddTool(stop_, Tip("StopTip"));
    tips_->AddTool(pause_, Tip("StartTip"));

    StatusPaused = 0;
    ElapsedSeconds = 0;
}

CShowStatusDlg::~CShowStatusDlg() = default;

void CShowStatusDlg::LoadPauseStrip(const char* name) {
    pause_->SetStrip(skin::LoadImageFile(SkinPath(name)));
}

void CShowStatusDlg::SetPausedLook(bool paused, const std::string& stripPath) {
    StatusPaused = paused ? 1 : 0;
    pause_->SetStrip(skin::LoadImageFile(stripPath));
    update();
}

void CShowStatusDlg::OnPauseButton() {
    QString tip;
    if (StatusPaused == 0) {
        if (actions_.pause) actions_.pause();
        StatusPaused = 1;
        LoadPauseStrip("showstatus_start.bmp");
        tip = Tip("StartTip");
    } else {
        if (actions_.resume) actions_.resume();
        StatusPaused = 0;
        LoadPauseStrip("showstatus_pause.bmp");
        tip = Tip("PauseTip");
    }
    tips_->AddTool(pause_, tip);
    update();
}

void CShowStatusDlg::OnStopButton() {
    hide();
    if (actions_.stop) actions_.stop();
}

void CShowStatusDlg::SetTimer(int id, int ms) {
    std::unique_ptr<QTimer>& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    timer->start(ms);
}

void CShowStatusDlg::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

bool CShowStatusDlg::TimerRunning(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void CShowStatusDlg::OnTimer(int) {
    ++ElapsedSeconds;
    ShowTime();
}

void CShowStatusDlg::ResetElapsed() {
    ElapsedSeconds = 0;
    ShowTime();
}

void CShowStatusDlg::ShowTime() {
    timeText_ = FormatElapsed(ElapsedSeconds);
    if (time_) time_->setText(QString::fromStdString(timeText_));
}

void CShowStatusDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.IsLoaded()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    skin::DrawSkinBitmap(background_.Image(), painter, kSkinSplit, kSkinSplit,
                         platform::Rect{0, 0, width(), height()});
}

}  // namespace recording
