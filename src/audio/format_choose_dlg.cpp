#include "audio/format_choose_dlg.h"

#include "audio/format_description.h"
#include "companions/phrasebook/phrasebook.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

namespace audio {

namespace {

using platform::media::AcmFormatChoice;

constexpr int kListWidth = 300;

bool SameRecord(const AcmFormatChoice& choice, const platform::WAVEFORMATEX& current) {
    const std::size_t size = choice.format.size();
    return platform::media::WaveFormatSize(current) == size &&
           std::memcmp(choice.format.data(), &current, size) == 0;
}

}  // namespace

CFormatChooseDlg::CFormatChooseDlg(const platform::WAVEFORMATEX& source,
                                   const platform::WAVEFORMATEX& current, std::uint32_t maxSize,
                                   const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(title);
    for (AcmFormatChoice& choice : platform::media::AcmFormatsFor(source))
        if (choice.format.size() <= maxSize) formats_.push_back(std::move(choice));

    tags_ = new QComboBox(this);
    attributes_ = new QComboBox(this);
    tags_->setMinimumWidth(kListWidth);
    attributes_->setMinimumWidth(kListWidth);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(GetText("AudioFormat", "Format")), tags_);
    form->addRow(QString::fromUtf8(GetText("AudioFormat", "Attributes")), attributes_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(GetText("AudioFormat", "BtnOk")));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(GetText("AudioFormat", "BtnCancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Format names in list order, each once.
    for (const AcmFormatChoice& choice : formats_)
        if (tags_->findText(QString::fromStdString(choice.tag_name)) < 0)
            tags_->addItem(QString::fromStdString(choice.tag_name));

    // Start at the current format, else at the first of its name, else at the first.
    int start = 0;
    for (std::size_t i = 0; i < formats_.size(); ++i)
        if (SameRecord(formats_[i], current)) {
            start = static_cast<int>(i);
            break;
        }
    if (!formats_.empty() && !SameRecord(formats_[static_cast<std::size_t>(start)], current))
        for (std::size_t i = 0; i < formats_.size(); ++i)
            if (formats_[i].Wave().wFormatTag == current.wFormatTag) {
                start = static_cast<int>(i);
                break;
            }
    if (!formats_.empty()) {
        const AcmFormatChoice& first = formats_[static_cast<std::size_t>(start)];
        const QString name = QString::fromStdString(first.tag_name);
        tags_->setCurrentIndex(tags_->findText(name));
        FillAttributes(name);
        for (int row = 0; row < attributes_->count(); ++row)
            if (attributes_->itemData(row).toInt() == start) attributes_->setCurrentIndex(row);
    }
    connect(tags_, &QComboBox::currentTextChanged, this, &CFormatChooseDlg::FillAttributes);
    setFixedSize(sizeHint());
}

void CFormatChooseDlg::FillAttributes(const QString& tagName) {
    attributes_->clear();
    for (std::size_t i = 0; i < formats_.size(); ++i)
        if (QString::fromStdString(formats_[i].tag_name) == tagName)
            attributes_->addItem(QString::fromStdString(FormatDetails(formats_[i].Wave())),
                                 static_cast<int>(i));
}

const AcmFormatChoice* CFormatChooseDlg::Selected() const {
    if (attributes_->currentIndex() < 0) return nullptr;
    const int index = attributes_->currentData().toInt();
    if (index < 0 || index >= static_cast<int>(formats_.size())) return nullptr;
    return &formats_[static_cast<std::size_t>(index)];
}

platform::media::MMRESULT FormatChoose(QWidget* owner, const std::string& title,
                                       const platform::WAVEFORMATEX& source,
                                       platform::WAVEFORMATEX* format, std::uint32_t size) {
    if (!format || size < sizeof(platform::WAVEFORMATEX)) return platform::media::MMSYSERR_INVALPARAM;
    CFormatChooseDlg dialog(source, *format, size, QString::fromStdString(title), owner);
    if (dialog.Empty()) return platform::media::ACMERR_NOTPOSSIBLE;
    if (dialog.exec() != QDialog::Accepted) return platform::media::ACMERR_CANCELED;
    const AcmFormatChoice* chosen = dialog.Selected();
    if (!chosen) return platform::media::ACMERR_CANCELED;
    std::memset(format, 0, size);
    std::memcpy(format, chosen->format.data(), chosen->format.size());
    return platform::media::MMSYSERR_NOERROR;
}

}  // namespace audio
