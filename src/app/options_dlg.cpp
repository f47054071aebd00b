#include "app/options_dlg.h"

#include "app/hot_keys.h"
#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/ui/dialog_builder.h"
#include "resources/cursors.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <string>
#include <vector>

namespace app {

namespace {

struct Label {
    int id;
    const char* key;
};
// Texts of section "Option"; the modifier boxes keep "CTRL", "ALT" and "SHIFT".
constexpr Label kLabels[] = {
    {1076, "GroupOption"},       {IDC_OPT_START_MINIMIZE, "CheckMini"},
    {IDC_OPT_PLAY_VIDEO, "CheckPlayVideo"}, {IDC_OPT_TRAY_ICON, "CheckTrayIcon"},
    {IDC_OPT_CLOSE_TRAY, "CheckCloseToTray"}, {IDC_OPT_MINI_TRAY, "CheckMiniToTray"},
    {1077, "GroupKey"},          {1078, "StartHotkey"},
    {1079, "PauseHotkey"},       {1080, "StopHotKey"},
    {1, "BtnOk"},                {2, "BtnCancel"},
};

constexpr int kVisibleKeys = 10;  // rows of an open key list

// "A"-"Z", "1"-"9", "0", "F1"-"F12": Print Screen is not offered.
const std::vector<QString>& KeyListEntries() {
    static const std::vector<QString> entries = [] {
        std::vector<QString> list;
        for (char c = 'A'; c <= 'Z'; ++c) list.push_back(QString(QChar(c)));
        for (char c = '1'; c <= '9'; ++c) list.push_back(QString(QChar(c)));
        list.push_back(QStringLiteral("0"));
        for (int f = 1; f <= 12; ++f) list.push_back(QStringLiteral("F%1").arg(f));
        return list;
    }();
    return entries;
}

// The first entry that begins with the key's name; -1 when none does (no key, Print Screen).
int EntryOfCode(const QComboBox& list, int code) {
    const QString name = QString::fromStdString(KeyCodeToName(code));
    for (int i = 0; i < list.count(); ++i)
        if (list.itemText(i).startsWith(name)) return i;
    return -1;
}

}  // namespace

COptionsDlg::COptionsDlg(settings::RecordSettings& options, platform::HotKeys& keys,
                         platform::WindowHandle mainWindow, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      options_(options),
      keys_(keys),
      mainWindow_(mainWindow),
      messages_(this) {
    if (const platform::DialogTemplate* tmpl =
            resources::FindDialogTemplate(resources::IDD_OPTIONS))
        platform::BuildDialog(*tmpl, this);
    setWindowIcon(resources::LoadIconResource(resources::IDR_MAINFRAME));
    if (auto* ok = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, 1)))
        connect(ok, &QAbstractButton::clicked, this, [this] { OnOK(); });
    if (auto* cancel = qobject_cast<QAbstractButton*>(platform::GetDlgItem(this, 2)))
        connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
}

QCheckBox* COptionsDlg::CheckBox(int id) const {
    return qobject_cast<QCheckBox*>(platform::GetDlgItem(this, id));
}

QComboBox* COptionsDlg::KeyList(int row) const {
    if (row < 0 || row >= static_cast<int>(kHotKeyRows.size())) return nullptr;
    return qobject_cast<QComboBox*>(
        platform::GetDlgItem(this, kHotKeyRows[static_cast<std::size_t>(row)].list));
}

void COptionsDlg::setVisible(bool visible) {
    if (visible && !initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void COptionsDlg::BindCheckBoxes() {
    // Each box keeps its member up to date, whoever changes its state.
    auto bind = [this](int id, std::int32_t& member) {
        if (QCheckBox* box = CheckBox(id)) {
            box->setChecked(member != 0);
            connect(box, &QCheckBox::toggled, this, [&member](bool on) { member = on ? 1 : 0; });
        }
    };
    bind(IDC_OPT_START_MINIMIZE, StartMinimize);
    bind(IDC_OPT_PLAY_VIDEO, PlayVideo);
    bind(IDC_OPT_TRAY_ICON, TrayIcon);
    bind(IDC_OPT_CLOSE_TRAY, CloseTray);
    bind(IDC_OPT_MINI_TRAY, MiniTray);
    for (std::size_t row = 0; row < kHotKeyRows.size(); ++row) {
        bind(kHotKeyRows[row].ctrl, Keys[row].Ctrl);
        bind(kHotKeyRows[row].alt, Keys[row].Alt);
        bind(kHotKeyRows[row].shift, Keys[row].Shift);
    }
    // "Close to tray" and "Minimize to tray" only mean something with the tray icon.
    auto followTray = [this](bool on) {
        for (int id : {IDC_OPT_CLOSE_TRAY, IDC_OPT_MINI_TRAY})
            if (QCheckBox* box = CheckBox(id)) box->setEnabled(on);
    };
    followTray(TrayIcon != 0);
    if (QCheckBox* tray = CheckBox(IDC_OPT_TRAY_ICON))
        connect(tray, &QCheckBox::toggled, this, followTray);
}

bool COptionsDlg::OnInitDialog() {
    StartMinimize = options_.StartMinimize;
    PlayVideo = options_.PlayVideo;
    TrayIcon = options_.TrayIcon;
    MiniTray = options_.MiniTray;
    CloseTray = options_.CloseTray;
    BindCheckBoxes();

    for (int row = 0; row < static_cast<int>(kHotKeyRows.size()); ++row) {
        QComboBox* list = KeyList(row);
        if (!list) continue;
        list->clear();
        for (const QString& entry : KeyListEntries()) list->addItem(entry);
        // A short list below the box, as tall as the template's drop-down rectangle allows,
        // rather than the style's full-height menu over the dialog.
        list->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        list->setMaxVisibleItems(kVisibleKeys);
        list->setCurrentIndex(EntryOfCode(*list, Keys[static_cast<std::size_t>(row)].Hotkey));
    }

    if (GetLanguageCount() > 0) {
        SelectLanguage("English");
        SetLabels();
    }
    return true;
}

void COptionsDlg::SetLabels() {
    for (const Label& label : kLabels)
        platform::SetDlgItemText(this, label.id, GetText("Option", label.key));
}

void COptionsDlg::Tell(const std::string& text) {
    platform::MessageBox(Handle(), text, "", platform::MB_OK);
}

void COptionsDlg::OnOK() {
    // The options take effect at once, even if a hot key below keeps the dialog open.
    options_.StartMinimize = StartMinimize;
    options_.PlayVideo = PlayVideo;
    options_.TrayIcon = TrayIcon;
    options_.MiniTray = MiniTray;
    options_.CloseTray = CloseTray;

    const std::string selectKeyFirst = GetText("MsgBox", "SelectKeyFirst");
    const std::string selectKeyWithCtrl = GetText("MsgBox", "SelectKeyWithCTRL");
    for (std::size_t row = 0; row < kHotKeyRows.size(); ++row) {
        const HotKeyRowControls& controls = kHotKeyRows[row];
        const QComboBox* list = KeyList(static_cast<int>(row));
        if (!list || list->currentIndex() < 0) {
            Tell(selectKeyFirst);
            return;
        }
        auto checked = [this](int id) {
            const QCheckBox* box = CheckBox(id);
            return box && box->isChecked() ? 1 : 0;
        };
        const unsigned mask =
            HotKeyMask(checked(controls.ctrl), checked(controls.shift), checked(controls.alt));
        const int code = KeyNameToCode(list->currentText().toStdString());
        if (mask != 0 && code == 0) {
            Tell(selectKeyWithCtrl);
            return;
        }
        HotKeyChoice& stored = Keys[row];
        if (code == 0 || (static_cast<std::int32_t>(mask) == stored.Mask && code == stored.Hotkey))
            continue;
        const HotKeySlot& slot = HotKeySlots()[row];
        keys_.Unregister(mainWindow_, slot.id);
        const bool registered = keys_.Register(mainWindow_, slot.id, mask, code);
        Tell(GetText("MsgBox", slot.registering) + HotKeyText(code, mask) +
             GetText("MsgBox", registered ? "SaveSuccess" : "Fail"));
        // Kept whether or not the key could be had: it is what the user chose.
        stored.Mask = static_cast<std::int32_t>(mask);
        stored.Hotkey = code;
    }
    accept();
}

}  // namespace app
