#include "finishing/output_dlg.h"

#include "companions/phrasebook/phrasebook.h"
#include "platform/core/message_box.h"
#include "platform/core/paths.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/folder_edit.h"
#include "resources/resource_ids.h"
#include "settings/default_folder.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <filesystem>
#include <system_error>

namespace finishing {

namespace {

struct Caption {
    int id;
    const char* key;
};
constexpr Caption kCaptions[] = {
    {1075, "GroupOutput"}, {1008, "BtnSave"}, {1009, "BtnAutoSave"}, {1018, "BtnOpen"}};

}  // namespace

COutPutDlg::COutPutDlg(settings::RecordSettings& settings, QWidget* parent)
    : skin::CChildPage(resources::IDD_OUTPUT_PAGE, parent),
      settings_(settings),
      open_(platform::ShellOpen) {
    folder_ = qobject_cast<QLineEdit*>(Control(kFolder));
    initialised_ = OnInitDialog();
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kSaveManually)))
        connect(b, &QAbstractButton::clicked, this, &COutPutDlg::OnSaveManually);
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kAutoSave)))
        connect(b, &QAbstractButton::clicked, this, &COutPutDlg::OnAutoSave);
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kOpen)))
        connect(b, &QAbstractButton::clicked, this, &COutPutDlg::OnOpen);
    // Every change of the box, typed or picked with the browse button, reaches the setting.
    if (folder_)
        connect(folder_, &QLineEdit::textChanged, this,
                [this](const QString& text) { settings_.AutoSaveDir = text.toStdString(); });
}

bool COutPutDlg::OnInitDialog() {
    LoadBackground();
    ClearStaticBackgrounds();
    const int radios[] = {kSaveManually, kAutoSave};
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        radios_[i].SetBackgroundColor(kPageColor);
        radios_[i].Attach(qobject_cast<QAbstractButton*>(Control(radios[i])));
    }
    platform::EnableFolderBrowseButton(folder_);

    if (auto* b = qobject_cast<QAbstractButton*>(Control(kSaveManually)))
        b->setChecked(settings_.AutoSave == 0);
    if (auto* b = qobject_cast<QAbstractButton*>(Control(kAutoSave)))
        b->setChecked(settings_.AutoSave != 0);
    EnableFolder(settings_.AutoSave != 0);

    if (settings_.AutoSaveDir.empty())
        settings_.AutoSaveDir = settings::DefaultAutoSaveDir();
    if (!platform::IsDirectory(settings_.AutoSaveDir)) {
        // With its missing parents: a desktop without a documents folder still gets one.
        std::error_code ec;
        std::filesystem::create_directories(settings_.AutoSaveDir, ec);
        if (!platform::IsDirectory(settings_.AutoSaveDir)) {
            platform::MessageBox(0, GetText("MsgBox", "UnableCreateFile"), "Note", platform::MB_ICONWARNING);
            return false;
        }
    }
    for (const Caption& c : kCaptions) platform::SetDlgItemText(this, c.id, GetText("OutPut", c.key));
    if (folder_) folder_->setText(QString::fromStdString(settings_.AutoSaveDir));
    return true;
}

void COutPutDlg::EnableFolder(bool on) {
    for (int id : {kFolder, kOpen})
        if (QWidget* w = Control(id)) w->setEnabled(on);
}

void COutPutDlg::OnSaveManually() {
    EnableFolder(false);
    settings_.AutoSave = 0;
}

void COutPutDlg::OnAutoSave() {
    settings_.AutoSave = 1;
    EnableFolder(true);
}

void COutPutDlg::OnOpen() { open_(settings_.AutoSaveDir); }

}  // namespace finishing
