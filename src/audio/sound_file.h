#pragma once
// CSoundFile: a RIFF WAVE file being written. Construction creates the file and writes the header
// with placeholder lengths ("fmt " chunk of 18 bytes, then an open "data" chunk at offset 46);
// sample data is appended through Handle() while Mode() is Writing; while it grows, the lengths
// on disk are brought up to date every kSizeRefreshMs (at the next append), so a file left by a
// crash reads up to its last half second; destruction writes the true lengths (and a pad byte
// after odd data) and closes the file. A file that cannot be opened leaves
// the object in mode Failed with nothing created.
// Thread contract: one thread at a time uses an object; its owner decides which.
#include "audio/sound_base.h"
#include "platform/sound/mmio.h"

#include <cstdint>
#include <string>

namespace audio {

class CSoundFile : public CSoundBase {
public:
    enum Mode { Writing = 1, Failed = 2 };
    static constexpr std::uint32_t kSizeRefreshMs = 500;

    CSoundFile(const std::string& fileName, const platform::WAVEFORMATEX& format);
    ~CSoundFile() override;
    CSoundFile(const CSoundFile&) = delete;
    CSoundFile& operator=(const CSoundFile&) = delete;

    Mode GetMode() const { return m_Mode; }
    platform::HMMIO Handle() const { return m_hFile; }
    const std::string& FileName() const { return m_FileName; }

private:
    void OpenWaveFile();

    platform::HMMIO m_hFile = nullptr;
    std::string m_FileName;
    Mode m_Mode = Writing;
    platform::MMCKINFO m_MMCKInfoParent{};
    platform::MMCKINFO m_MMCKInfoChild{};
};

}  // namespace audio
