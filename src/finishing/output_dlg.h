#pragma once
// COutPutDlg: the Output page (template 132). The user chooses between saving each recording
// through the Save As dialog and saving it automatically into a folder; the page edits AutoSave
// and AutoSaveDir in place.
// Thread contract: user-interface thread only.
#include "settings/record_settings.h"
#include "skin/child_page.h"
#include "skin/color_button.h"

#include <array>
#include <functional>
#include <string>

class QLineEdit;

namespace finishing {

class COutPutDlg : public skin::CChildPage {
    Q_OBJECT
public:
    // Control ids.
    static constexpr int kSaveManually = 1008;
    static constexpr int kAutoSave = 1009;
    static constexpr int kFolder = 1011;
    static constexpr int kOpen = 1018;

    // The page initialises at once from `settings`.
    explicit COutPutDlg(settings::RecordSettings& settings, QWidget* parent = nullptr);

    // False when the automatic folder could not be created at initialisation.
    bool Initialised() const { return initialised_; }
    // Replaces how Open shows the folder (tests).
    void SetFolderOpener(std::function<bool(const std::string&)> open) { open_ = std::move(open); }

    // Handlers, also for tests driving the page without a mouse.
    void OnSaveManually();
    void OnAutoSave();
    void OnOpen();

private:
    bool OnInitDialog();
    void EnableFolder(bool on);

    settings::RecordSettings& settings_;
    std::array<skin::CColorButton, 2> radios_;
    QLineEdit* folder_ = nullptr;
    bool initialised_ = false;
    std::function<bool(const std::string&)> open_;
};

}  // namespace finishing
