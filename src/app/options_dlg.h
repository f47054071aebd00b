#pragma once
// COptionsDlg: the Options dialog (template 138). It edits working copies of the five program
// options and the Start, Pause and Stop hot keys. OK copies the options into the process-wide
// record at once and re-registers every hot key whose mask or code changed, telling the user
// how each registration went; the caller fills the hot keys before it opens and saves them
// after OK.
// Thread contract: user-interface thread only.
#include "platform/core/messages.h"
#include "platform/x11/hot_keys.h"
#include "settings/record_settings.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;

namespace app {

// One hot key as the dialog holds it: modifier flags, key code and modifier mask.
struct HotKeyChoice {
    std::int32_t Ctrl = 0;
    std::int32_t Alt = 0;
    std::int32_t Shift = 0;
    std::int32_t Hotkey = 0;
    std::int32_t Mask = 0;
    bool operator==(const HotKeyChoice&) const = default;
};

// Controls of template 138.
constexpr int IDC_OPT_START_MINIMIZE = 1018;
constexpr int IDC_OPT_PLAY_VIDEO = 1049;
constexpr int IDC_OPT_TRAY_ICON = 1050;
constexpr int IDC_OPT_CLOSE_TRAY = 1051;
constexpr int IDC_OPT_MINI_TRAY = 1052;

// The controls of one hot-key row, left to right.
struct HotKeyRowControls {
    int label, ctrl, alt, shift, list;
};
// Start, Pause and Stop, in the order of HotKeySlots().
constexpr std::array<HotKeyRowControls, 3> kHotKeyRows{{
    {1078, 1040, 1041, 1042, 1024},
    {1079, 1043, 1044, 1045, 1025},
    {1080, 1046, 1047, 1048, 1026},
}};

class COptionsDlg : public QDialog {
    Q_OBJECT
public:
    // `options` holds the process-wide options that OK changes; changed hot keys are registered
    // with `keys` for `mainWindow`.
    COptionsDlg(settings::RecordSettings& options, platform::HotKeys& keys,
                platform::WindowHandle mainWindow, QWidget* parent = nullptr);

    // Working copies of the five options.
    std::int32_t StartMinimize = 0;
    std::int32_t PlayVideo = 0;
    std::int32_t TrayIcon = 0;
    std::int32_t MiniTray = 0;
    std::int32_t CloseTray = 0;
    // Start, Pause, Stop: filled before the dialog opens; OK stores a re-registered row's mask
    // and code here.
    std::array<HotKeyChoice, 3> Keys{};

    // Runs once, when the dialog is first shown.
    bool OnInitDialog();
    // OK: closes the dialog, or leaves it open after asking for a missing key.
    void OnOK();

    QCheckBox* CheckBox(int id) const;
    QComboBox* KeyList(int row) const;
    platform::WindowHandle Handle() const { return messages_.Handle(); }

protected:
    void setVisible(bool visible) override;

private:
    void BindCheckBoxes();
    void SetLabels();
    void Tell(const std::string& text);

    settings::RecordSettings& options_;
    platform::HotKeys& keys_;
    platform::WindowHandle mainWindow_;
    platform::MessageWindow messages_;
    bool initialised_ = false;
};

}  // namespace app
