#include "finishing/progess_dlg.h"

#include "companions/phrasebook/phrasebook.h"
#include "finishing/finish_texts.h"
#include "platform/core/message_box.h"
#include "platform/ui/dialog_builder.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressBar>
#include <QThread>
#include <algorithm>
#include <atomic>

namespace finishing {

namespace {

CProgessDlg* instance = nullptr;  // user-interface thread only
std::atomic<platform::WindowHandle> instanceHandle{0};

}  // namespace

CProgessDlg::CProgessDlg()
    // Caption and modal frame, no system menu: no close button.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(this) {
    const platform::DialogTemplate* tmpl = resources::FindDialogTemplate(resources::IDD_PROGRESS);
    if (tmpl) platform::BuildDialog(*tmpl, this);
    bar_ = qobject_cast<QProgressBar*>(platform::GetDlgItem(this, kProgressBarId));
    if (bar_) bar_->setTextVisible(false);
    setFixedSize(size());

    messages_.On(PBM_SETRANGE, [this](platform::WPARAM, platform::LPARAM l) -> platform::LRESULT {
        if (!bar_) return 0;
        const platform::LRESULT previous = MakeRange(bar_->minimum(), bar_->maximum());
        const auto range = static_cast<std::uint32_t>(l);
        const int minimum = static_cast<int>(range & 0xFFFF), maximum = static_cast<int>(range >> 16);
        // The position is kept, clamped into the new range (QProgressBar would reset it).
        const int position = std::clamp(bar_->value(), minimum, std::max(minimum, maximum));
        bar_->setRange(minimum, maximum);
        bar_->setValue(position);
        return previous;
    });
    messages_.On(PBM_SETPOS, [this](platform::WPARAM w, platform::LPARAM) -> platform::LRESULT {
        if (!bar_) return 0;
        const int previous = bar_->value() < bar_->minimum() ? bar_->minimum() : bar_->value();
        // The bar clamps positions outside its range.
        const long long wanted = static_cast<long long>(w);
        const int position = static_cast<int>(
            wanted < bar_->minimum() ? bar_->minimum() : wanted > bar_->maximum() ? bar_->maximum() : wanted);
        bar_->setValue(position);
        // The join moves the bar while it keeps the user-interface thread busy.
        if (isVisible()) bar_->repaint();
        return previous;
    });
    messages_.On(WM_SHOWWINDOW, [this](platform::WPARAM w, platform::LPARAM) -> platform::LRESULT {
        if (w) {
            showNormal();
            repaint();
        } else {
            hide();
        }
        return 0;
    });
    OnInitDialog();
}

CProgessDlg::~CProgessDlg() {
    if (instance == this) {
        instance = nullptr;
        instanceHandle = 0;
    }
}

bool CProgessDlg::OnInitDialog() {
    platform::SendMessage(Handle(), PBM_SETRANGE, 0, kPercentRange);
    return true;
}

CProgessDlg* CProgessDlg::Create(int screenWidth, int screenHeight) {
    if (!instance) {
        instance = new CProgessDlg();
        instanceHandle = instance->Handle();
    }
    instance->move(screenWidth / 2 - 200, screenHeight / 2 - 100);
    return instance;
}

CProgessDlg* CProgessDlg::Instance() { return instance; }

void CProgessDlg::reject() {
    platform::MessageBox(Handle(), GetText("MsgBox", "OnMerging"), kApplicationName, platform::MB_OK);
}

void CProgessDlg::closeEvent(QCloseEvent* event) { event->ignore(); }

platform::WindowHandle ProgressWindow() { return instanceHandle.load(); }

void ProgressMessage(std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam) {
    const platform::WindowHandle window = ProgressWindow();
    if (!window) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        platform::SendMessage(window, message, wParam, lParam);
    else
        platform::PostMessage(window, message, wParam, lParam);
}

}  // namespace finishing
