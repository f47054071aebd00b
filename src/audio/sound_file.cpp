#include "audio/sound_file.h"

namespace audio {

using namespace platform;

CSoundFile::CSoundFile(const std::string& fileName, const WAVEFORMATEX& format)
    : CSoundBase(format), m_FileName(fileName) {
    // Only the 18-byte base record is kept; formats with extra bytes are written without them.
    m_Format.cbSize = 0;
    OpenWaveFile();
}

void CSoundFile::OpenWaveFile() {
    if (m_hFile) return;
    m_hFile = mmioOpen(m_FileName.c_str(), MMIO_CREATE | MMIO_WRITE | MMIO_EXCLUSIVE | MMIO_ALLOCBUF);
    if (!m_hFile) {
        m_Mode = Failed;
        return;
    }
    m_MMCKInfoParent = MMCKINFO{};
    m_MMCKInfoParent.fccType = MakeFourCC('W', 'A', 'V', 'E');
    mmioCreateChunk(m_hFile, &m_MMCKInfoParent, MMIO_CREATERIFF);

    m_MMCKInfoChild = MMCKINFO{};
    m_MMCKInfoChild.ckid = MakeFourCC('f', 'm', 't', ' ');
    m_MMCKInfoChild.cksize = sizeof(WAVEFORMATEX) + m_Format.cbSize;
    mmioCreateChunk(m_hFile, &m_MMCKInfoChild, 0);
    mmioWrite(m_hFile, reinterpret_cast<const char*>(&m_Format),
              static_cast<long>(sizeof(WAVEFORMATEX) + m_Format.cbSize));
    mmioAscend(m_hFile, &m_MMCKInfoChild, 0);

    // The "data" chunk keeps the size of the "fmt " chunk as its placeholder.
    m_MMCKInfoChild.ckid = MakeFourCC('d', 'a', 't', 'a');
    mmioCreateChunk(m_hFile, &m_MMCKInfoChild, 0);
    // The lengths on disk follow the data, so a recorder that dies leaves a readable file.
    mmioSetSizeRefresh(m_hFile, kSizeRefreshMs);
}

CSoundFile::~CSoundFile() {
    if (m_hFile) {
        if (m_Mode == Writing) {
            mmioAscend(m_hFile, &m_MMCKInfoChild, 0);
            mmioAscend(m_hFile, &m_MMCKInfoParent, 0);
        }
        mmioClose(m_hFile, 0);
        m_hFile = nullptr;
    }
}

}  // namespace audio
