#pragma once
// CFormatChooseDlg: the sound format chooser. It lists the formats a PCM source converts to
// (the compression manager's list), by format name and then by attributes, starting at the
// current format; OK hands back the chosen record.
// Thread contract: user-interface thread only.
#include "platform/core/wave_format.h"
#include "platform/media/acm.h"

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace audio {

class CFormatChooseDlg : public QDialog {
    Q_OBJECT
public:
    // Formats whose record is longer than `maxSize` bytes are left out.
    CFormatChooseDlg(const platform::WAVEFORMATEX& source, const platform::WAVEFORMATEX& current,
                     std::uint32_t maxSize, const QString& title, QWidget* parent = nullptr);

    bool Empty() const { return formats_.empty(); }
    QComboBox* TagList() const { return tags_; }
    QComboBox* AttributeList() const { return attributes_; }
    // The format of the current attribute entry; null when the list is empty.
    const platform::media::AcmFormatChoice* Selected() const;

private:
    void FillAttributes(const QString& tagName);

    std::vector<platform::media::AcmFormatChoice> formats_;
    QComboBox* tags_ = nullptr;
    QComboBox* attributes_ = nullptr;
};

// Runs the chooser owned by `owner`; on OK copies the chosen record into `format` (`size` bytes,
// the rest zeroed) and gives 0. ACMERR_CANCELED when the user cancels; ACMERR_NOTPOSSIBLE
// (nothing shown) when no format fits; MMSYSERR_INVALPARAM for a missing record.
platform::media::MMRESULT FormatChoose(QWidget* owner, const std::string& title,
                                       const platform::WAVEFORMATEX& source,
                                       platform::WAVEFORMATEX* format, std::uint32_t size);

}  // namespace audio
