#pragma once
// CRegionDlg: the Select Area page. It chooses the whole screen, or a rectangle given by its
// Left, Top, Width and Height boxes, which the user types (with up-down buttons), picks from a
// window (CCapDialog) or drags out on a still picture of the screen (CCutScreenDlg). The boxes
// exchange their values with the settings RecordLeft, RecordTop, RecordRight (the width) and
// RecordBottom (the height); a typed value is kept on the screen, testing only the box that
// changed. While the rectangle is set up the main window's bracket frame previews it when
// "Show Selected Area" is checked. The main window reads the boxes by id at Start.
// Thread contract: user-interface thread only.
#include "area/area_desktop.h"
#include "area/area_rules.h"
#include "platform/core/types.h"
#include "settings/record_settings.h"
#include "skin/child_page.h"
#include "skin/color_button.h"

#include <array>
#include <cstdint>
#include <memory>

class QLineEdit;

namespace area {

class CCutScreenDlg;

// Control ids of the page beside those the recording control reads.
constexpr int kIdGroupScreen = 1071;
constexpr int kIdSpinLeft = 1044;
constexpr int kIdSpinTop = 1045;
constexpr int kIdSpinWidth = 1046;
constexpr int kIdSpinHeight = 1047;

class CRegionDlg : public skin::CChildPage {
    Q_OBJECT
public:
    // `settings` and the main window outlive the page; `desktop` null takes the real desktop.
    CRegionDlg(settings::RecordSettings& settings, platform::WindowHandle mainWindow,
               std::unique_ptr<AreaDesktop> desktop = nullptr, QWidget* parent = nullptr);
    ~CRegionDlg() override;

    // An overlay is up and writes the boxes itself: the page does not react to their changes.
    std::int32_t RegionOverlayOpen = 0;
    std::int32_t WindowPickerOpen = 0;

    // Control handlers.
    void OnFullScreen();
    void OnSelectedRegion();
    void OnShowFlashing();
    void OnShowSelected();
    void OnEditChange(Box changed);
    void OnSelectWindow();
    void OnSelectRegion();

    // Writes the four boxes as decimal text (each box reports its change as typing would).
    void WriteBoxes(const AreaBoxes& boxes);
    QLineEdit* Edit(Box box) const;
    CCutScreenDlg* RegionOverlay() const { return overlay_.get(); }
    AreaDesktop& Desktop() const { return *desktop_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }

private:
    void OnInitDialog();
    // Select Window, Select Region, the boxes with their labels and the two check boxes.
    void EnableRegionControls(bool enable);
    // The integer exchange from the boxes into the settings; stops at the first box that does
    // not hold an integer, after saying so.
    void ReadBoxes();
    void WriteSettingsToBoxes();
    void SendFlashFrame(platform::WPARAM wParam);
    void SetMainStatus(const char* key);
    void ShowMain();
    void HideMain();

    settings::RecordSettings& settings_;
    platform::WindowHandle mainWindow_;
    std::unique_ptr<AreaDesktop> desktop_;
    int screenWidth_ = 0, screenHeight_ = 0;
    bool writing_ = false;  // the page is writing its own boxes
    std::array<skin::CColorButton, 3> colourButtons_;
    std::unique_ptr<CCutScreenDlg> overlay_;
};

}  // namespace area
