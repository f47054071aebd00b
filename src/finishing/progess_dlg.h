#pragma once
// CProgessDlg: the one progress window of the finishing stage (template 147): a caption without a
// close button, a "Merging......" line and progress bar 1051 with range 0-100 at start. Escape
// only shows ("MsgBox", "OnMerging"); the window is shown and hidden by the finishing stage.
//
// Thread contract: created, shown and destroyed on the user-interface thread. Any thread moves
// the bar and shows or hides the window through the messages below on Handle(); the Progress*
// helpers run them at once on the user-interface thread and queue them from any other thread,
// so a worker never waits for the window.
#include "platform/core/messages.h"

#include <QDialog>
#include <cstdint>

class QProgressBar;

namespace finishing {

constexpr int kProgressBarId = 1051;
constexpr std::uint32_t PBM_SETRANGE = 0x401;  // lParam: (maximum << 16) | minimum
constexpr std::uint32_t PBM_SETPOS = 0x402;    // wParam: position; returns the previous one
constexpr std::uint32_t WM_SHOWWINDOW = 0x018;  // wParam: 1 show (normal state), 0 hide
constexpr platform::LPARAM kPercentRange = 0x640000;  // 0-100

constexpr platform::LPARAM MakeRange(int minimum, int maximum) {
    return static_cast<platform::LPARAM>((static_cast<std::uint32_t>(maximum & 0xFFFF) << 16) |
                                         static_cast<std::uint32_t>(minimum & 0xFFFF));
}

class CProgessDlg : public QDialog {
    Q_OBJECT
public:
    // The process-wide window: built from template 147 without a parent, hidden, and moved
    // (not resized) to (screenWidth / 2 - 200, screenHeight / 2 - 100). A second call moves and
    // returns the existing one.
    static CProgessDlg* Create(int screenWidth, int screenHeight);
    // The live window, or null.
    static CProgessDlg* Instance();
    ~CProgessDlg() override;

    platform::WindowHandle Handle() const { return messages_.Handle(); }
    platform::MessageWindow& Messages() { return messages_; }
    QProgressBar* Bar() const { return bar_; }

protected:
    void reject() override;  // Escape
    void closeEvent(QCloseEvent* event) override;

private:
    CProgessDlg();
    bool OnInitDialog();

    platform::MessageWindow messages_;
    QProgressBar* bar_ = nullptr;
};

// Handle of the live progress window (0 when there is none).
platform::WindowHandle ProgressWindow();
// Sends on the user-interface thread, posts from any other; nothing when there is no window.
void ProgressMessage(std::uint32_t message, platform::WPARAM wParam, platform::LPARAM lParam);
inline void ShowProgress(bool show) { ProgressMessage(WM_SHOWWINDOW, show ? 1 : 0, 0); }
inline void SetProgressPos(int position) {
    ProgressMessage(PBM_SETPOS, static_cast<platform::WPARAM>(position < 0 ? 0 : position), 0);
}
inline void SetProgressRange(int minimum, int maximum) {
    ProgressMessage(PBM_SETRANGE, 0, MakeRange(minimum, maximum));
}

}  // namespace finishing
