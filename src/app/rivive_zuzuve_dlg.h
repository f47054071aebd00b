#pragma once
// CRiviveZuzuveDlg: the recorder's one main window. It owns the settings and the flags the other
// parts read, receives every private message, and closes the recorder in order.
// Thread contract: lives on the user-interface thread; other threads reach it only through
// PostMessage/SendMessage on Handle() and the atomic flags of Flags().
#include "app/app_state.h"
#include "platform/core/messages.h"
#include "platform/core/wave_format.h"
#include "settings/record_settings.h"

#include <QDialog>
#include <string>

namespace app {

class CRiviveZuzuveDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRiviveZuzuveDlg(QWidget* parent = nullptr);
    ~CRiviveZuzuveDlg() override;

    platform::WindowHandle Handle() const { return messages_.Handle(); }
    settings::RecordSettings& Settings() { return settings_; }
    MainFlags& Flags() { return flags_; }
    std::string ConfigPath() const;

    // Close button (also the system close command).
    void OnCloseButton();
    // Tray menu Exit.
    void OnTrayExit();
    // The exit routine: releases what the window holds, saves the settings, ends the dialog.
    void OnCancel();

protected:
    bool OnInitDialog();
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override {}  // Escape never closes the window; OnCancel does

private:
    void WriteStartLine();

    platform::MessageWindow messages_;
    settings::RecordSettings settings_;
    platform::WAVEFORMATEX compressedFormat_{};
    MainFlags flags_;
    bool initialised_ = false;
};

}  // namespace app
