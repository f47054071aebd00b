#include "area/region_dlg.h"

#include "app/show_selected_area.h"
#include "area/area_desktop.h"
#include "area/cap_dialog.h"
#include "area/cut_screen_dlg.h"
#include "area/window_grid.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/up_down_ctrl.h"
#include "recording/recording_host.h"
#include "recording/recording_messages.h"
#include "resources/cursors.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace area {

namespace {

using namespace recording;  // control ids shared with the recording control

constexpr int kSettleMs = 200;

constexpr int kEditIds[] = {kIdEditLeft, kIdEditTop, kIdEditWidth, kIdEditHeight};
constexpr int kLabelIds[] = {kIdLabelLeft, kIdLabelTop, kIdLabelWidth, kIdLabelHeight};
constexpr int kSpinIds[] = {kIdSpinLeft, kIdSpinTop, kIdSpinWidth, kIdSpinHeight};

struct CatalogueText {
    int id;
    const char* key;
};
constexpr CatalogueText kTexts[] = {
    {kIdGroupScreen, "GroupScreen"},     {kIdFullScreen, "FullScreen"},
    {kIdSelectedRegion, "SelectedRegion"}, {kIdLabelLeft, "Left"},
    {kIdLabelTop, "Top"},                {kIdLabelWidth, "Width"},
    {kIdLabelHeight, "Height"},          {kIdSelectWindow, "BtnSelectWindow"},
    {kIdSelectRegion, "BtnSelectRegion"}, {kIdShowFlashing, "CheckShowFlash"},
    {kIdShowSelected, "CheckShowSelect"},
};

std::int32_t* SettingOf(settings::RecordSettings& s, Box box) {
    switch (box) {
        case Box::Left: return &s.RecordLeft;
        case Box::Top: return &s.RecordTop;
        case Box::Width: return &s.RecordRight;
        case Box::Height: return &s.RecordBottom;
    }
    return nullptr;
}

constexpr Box kBoxes[] = {Box::Left, Box::Top, Box::Width, Box::Height};

}  // namespace

CRegionDlg::CRegionDlg(settings::RecordSettings& settings, platform::WindowHandle mainWindow,
                       std::unique_ptr<AreaDesktop> desktop, QWidget* parent)
    : skin::CChildPage(resources::IDD_REGION_PAGE, parent), settings_(settings),
      mainWindow_(mainWindow), desktop_(desktop ? std::move(desktop) : SystemAreaDesktop()) {
    // Built at its template's size; the main window sizes it to its page area.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    OnInitDialog();
}

CRegionDlg::~CRegionDlg() = default;

QLineEdit* CRegionDlg::Edit(Box box) const {
    return qobject_cast<QLineEdit*>(
        platform::GetDlgItem(this, kEditIds[static_cast<int>(box)]));
}

void CRegionDlg::OnInitDialog() {
    // 1. The boxes receive the settings.
    WriteSettingsToBoxes();

    // 2. Show Selected Area checked; the background; the colour buttons.
    if (auto* check = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdShowSelected)))
        check->setChecked(true);
    app::ShowSelectedArea = 1;
    LoadBackground();
    ClearStaticBackgrounds();
    const int coloured[] = {kIdFullScreen, kIdSelectedRegion, kIdShowFlashing};
    for (std::size_t i = 0; i < colourButtons_.size(); ++i) {
        colourButtons_[i].Attach(qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, coloured[i])));
        colourButtons_[i].SetBackgroundColor(kPageColor);
    }

    // 3, 4. The screen and the up-down ranges.
    RegionOverlayOpen = 0;
    WindowPickerOpen = 0;
    screenWidth_ = desktop_->ScreenWidth();
    screenHeight_ = desktop_->ScreenHeight();
    for (int i = 0; i < 4; ++i) {
        auto* spin = qobject_cast<platform::UpDownCtrl*>(platform::GetDlgItem(this, kSpinIds[i]));
        if (!spin) continue;
        spin->SetBuddy(qobject_cast<QLineEdit*>(platform::GetDlgItem(this, kEditIds[i])));
        spin->SetRange(0, i % 2 == 0 ? screenWidth_ : screenHeight_);
    }

    // 5. The mode.
    if (auto* flash = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdShowFlashing)))
        flash->setChecked(settings_.FlashingRect != 0);
    auto* full = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdFullScreen));
    auto* region = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdSelectedRegion));
    if (full && region) (settings_.RecordMode ? full : region)->setChecked(true);
    EnableRegionControls(settings_.RecordMode == 0);

    // 6. The region overlay, hidden until Select Region.
    overlay_ = std::make_unique<CCutScreenDlg>(screenWidth_, screenHeight_);

    // 7. Texts from the catalogue.
    for (const CatalogueText& t : kTexts)
        platform::SetDlgItemText(this, t.id, GetText("SelectArea", t.key));

    // The controls' handlers.
    auto onClick = [this](int id, void (CRegionDlg::*handler)()) {
        if (auto* b = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, id)))
            connect(b, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(kIdFullScreen, &CRegionDlg::OnFullScreen);
    onClick(kIdSelectedRegion, &CRegionDlg::OnSelectedRegion);
    onClick(kIdShowFlashing, &CRegionDlg::OnShowFlashing);
    onClick(kIdShowSelected, &CRegionDlg::OnShowSelected);
    onClick(kIdSelectWindow, &CRegionDlg::OnSelectWindow);
    onClick(kIdSelectRegion, &CRegionDlg::OnSelectRegion);
    for (Box box : kBoxes)
        if (QLineEdit* edit = Edit(box))
            connect(edit, &QLineEdit::textChanged, this, [this, box] { OnEditChange(box); });
}

void CRegionDlg::EnableRegionControls(bool enable) {
    std::vector<int> ids{kIdSelectWindow, kIdSelectRegion, kIdShowFlashing, kIdShowSelected};
    ids.insert(ids.end(), std::begin(kEditIds), std::end(kEditIds));
    ids.insert(ids.end(), std::begin(kLabelIds), std::end(kLabelIds));
    for (int id : ids)
        if (QWidget* control = platform::GetDlgItem(this, id)) control->setEnabled(enable);
}

void CRegionDlg::OnFullScreen() {
    if (auto* full = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdFullScreen)))
        full->setChecked(true);
    EnableRegionControls(false);
    settings_.RecordMode = 1;
    SendFlashFrame(1);
    SetMainStatus("FullRecordMode");
}

void CRegionDlg::OnSelectedRegion() {
    settings_.RecordMode = 0;
    settings_.FlashingRect = 1;
    if (app::ShowSelectedArea) SendFlashFrame(0);
    if (auto* region = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdSelectedRegion)))
        region->setChecked(true);
    EnableRegionControls(true);
    SetMainStatus("SelectMode");
}

void CRegionDlg::OnShowFlashing() {
    auto* check = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdShowFlashing));
    settings_.FlashingRect = check && check->isChecked() ? 1 : 0;
}

void CRegionDlg::OnShowSelected() {
    auto* check = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, kIdShowSelected));
    const bool on = check && check->isChecked();
    app::ShowSelectedArea = on ? 1 : 0;
    SendFlashFrame(on ? 0 : 1);
}

void CRegionDlg::OnEditChange(Box changed) {
    if (RegionOverlayOpen || WindowPickerOpen || writing_) return;
    ReadBoxes();
    const AreaBoxes clamped = ClampChangedBox(
        AreaBoxes{settings_.RecordLeft, settings_.RecordTop, settings_.RecordRight,
                  settings_.RecordBottom},
        changed, screenWidth_, screenHeight_);
    settings_.RecordLeft = clamped.left;
    settings_.RecordTop = clamped.top;
    settings_.RecordRight = clamped.width;
    settings_.RecordBottom = clamped.height;
    WriteSettingsToBoxes();
    if (app::ShowSelectedArea) SendFlashFrame(0);
}

void CRegionDlg::ReadBoxes() {
    for (Box box : kBoxes) {
        QLineEdit* edit = Edit(box);
        if (!edit) continue;
        const std::optional<int> value = ParseBoxInteger(edit->text().toStdString());
        if (!value) {
            platform::MessageBox(mainWindow_, GetText("MsgBox", "EnterInteger"), "",
                                 platform::MB_OK | platform::MB_ICONWARNING);
            edit->setFocus();
            return;
        }
        *SettingOf(settings_, box) = *value;
    }
}

void CRegionDlg::WriteSettingsToBoxes() {
    writing_ = true;
    for (Box box : kBoxes) {
        QLineEdit* edit = Edit(box);
        const QString text = QString::number(*SettingOf(settings_, box));
        if (edit && edit->text() != text) edit->setText(text);
    }
    writing_ = false;
}

void CRegionDlg::WriteBoxes(const AreaBoxes& boxes) {
    const int values[] = {boxes.left, boxes.top, boxes.width, boxes.height};
    for (int i = 0; i < 4; ++i)
        platform::SetDlgItemText(this, kEditIds[i], std::to_string(values[i]).c_str());
}

void CRegionDlg::OnSelectWindow() {
    SendFlashFrame(1);
    HideMain();
    WindowPickerOpen = 1;
    // The picture is taken once the screen has repainted without the main window.
    desktop_->Settle(kSettleMs);

    WindowGrid grid(screenWidth_, screenHeight_, desktop_->TopLevelWindows());
    CCapDialog picker(grid, *desktop_);
    const bool picked = picker.exec() == QDialog::Accepted;
    if (!picked) {
        ShowMain();
        if (app::ShowSelectedArea) SendFlashFrame(0);
        WindowPickerOpen = 0;
        return;
    }
    WriteBoxes(PickedRectToBoxes(picker.PickedRect, screenWidth_, screenHeight_));
    ShowMain();
    WindowPickerOpen = 0;
    if (app::ShowSelectedArea) SendFlashFrame(0);
}

void CRegionDlg::OnSelectRegion() {
    RegionOverlayOpen = 1;
    SendFlashFrame(1);
    HideMain();
    desktop_->Settle(kSettleMs);

    CCutScreenDlg::Session session;
    session.page = this;
    session.mainWindow = mainWindow_;
    session.showSelected = app::ShowSelectedArea != 0;
    session.cursor = resources::LoadCursorResource(resources::kIdcOverlay);
    session.plainShot = desktop_->Snapshot().convertToFormat(QImage::Format_RGB32);
    session.dimmedShot = MakeDimmedShot(session.plainShot);
    overlay_->Open(std::move(session));
}

void CRegionDlg::SendFlashFrame(platform::WPARAM wParam) {
    platform::SendMessage(mainWindow_, WM_USER_FLASHFRAME, wParam, 0);
}

void CRegionDlg::SetMainStatus(const char* key) {
    if (QWidget* main = platform::WidgetOf(mainWindow_))
        platform::SetDlgItemText(main, resources::IDC_AREA_LINE, GetText("StatusInfo", key));
}

void CRegionDlg::ShowMain() {
    if (QWidget* main = platform::WidgetOf(mainWindow_)) main->showNormal();
}

void CRegionDlg::HideMain() {
    if (QWidget* main = platform::WidgetOf(mainWindow_)) main->hide();
}

}  // namespace area
