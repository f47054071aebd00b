#pragma once
// The AVI file calls the recording thread makes, behind an interface so that every failing step
// can be exercised. RealAviApi() forwards to the platform's AVI writer.
// Thread contract: used by one recording thread at a time.
#include "platform/media/avi_writer.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace recording {

using platform::media::AviFile;
using platform::media::AviStream;
using platform::media::AVIERR;

class AviApi {
public:
    virtual ~AviApi() = default;
    virtual std::uint32_t VideoForWindowsVersion() = 0;
    virtual AVIERR FileOpen(AviFile** file, const std::string& path) = 0;
    virtual AVIERR FileCreateStream(AviFile* file, AviStream** stream,
                                    const platform::media::AVISTREAMINFO& info) = 0;
    virtual AVIERR MakeCompressedStream(AviStream** compressed, AviStream* source,
                                        const platform::media::AVICOMPRESSOPTIONS& options) = 0;
    virtual AVIERR StreamSetFormat(AviStream* stream, long position, const void* format,
                                   std::size_t size) = 0;
    virtual AVIERR StreamWrite(AviStream* stream, long position, long samples, const void* data,
                               std::size_t size, std::uint32_t flags) = 0;
    // The system error behind the file's first failed write (ENOSPC: the disk is full), or 0.
    virtual int FileWriteError(AviFile*) { return 0; }
    virtual void StreamRelease(AviStream* stream) = 0;
    virtual void FileRelease(AviFile* file) = 0;
};

AviApi& RealAviApi();

}  // namespace recording
