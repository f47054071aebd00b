#pragma once
// The AVI file calls the join of video and sound makes, behind an interface so that each failing
// step can be exercised. PlatformMergeApi forwards every call to the platform's AVI reader and
// save; a test derives from it and replaces the calls it wants to fail.
// Thread contract: used by one thread at a time (the user-interface thread).
#include "platform/media/avi_reader.h"
#include "platform/media/avi_save.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace finishing {

using platform::media::AVICOMPRESSOPTIONS;
using platform::media::AVIERR;
using platform::media::AVISTREAMINFO;
using platform::media::AviFile;
using platform::media::AviSaveCallback;
using platform::media::AviStream;

class MergeApi {
public:
    virtual ~MergeApi() = default;
    virtual void FileInit() = 0;
    virtual void FileExit() = 0;
    virtual AVIERR FileOpen(AviFile** file, const std::string& path, std::uint32_t mode) = 0;
    virtual AVIERR FileGetStream(AviFile* file, AviStream** stream, std::uint32_t type, long index) = 0;
    virtual void FileRelease(AviFile* file) = 0;
    virtual AVIERR StreamOpenFromFile(AviStream** stream, const std::string& path, std::uint32_t type,
                                      long index, std::uint32_t mode) = 0;
    virtual AVIERR CreateEditableStream(AviStream** editable, AviStream* source) = 0;
    virtual AVIERR StreamInfo(AviStream* stream, AVISTREAMINFO* info) = 0;
    virtual long StreamStart(AviStream* stream) = 0;
    virtual AVIERR StreamReadFormat(AviStream* stream, long position, void* format, long* size) = 0;
    virtual AVIERR SaveV(const std::string& path, const AviSaveCallback& callback, int count,
                         AviStream* const* streams, AVICOMPRESSOPTIONS* const* options) = 0;
    virtual void* AllocFormat(std::size_t size) = 0;
    virtual AVIERR SaveOptionsFree(int count, AVICOMPRESSOPTIONS* const* options) = 0;
    virtual void StreamRelease(AviStream* stream) = 0;
};

class PlatformMergeApi : public MergeApi {
public:
    void FileInit() override;
    void FileExit() override;
    AVIERR FileOpen(AviFile** file, const std::string& path, std::uint32_t mode) override;
    AVIERR FileGetStream(AviFile* file, AviStream** stream, std::uint32_t type, long index) override;
    void FileRelease(AviFile* file) override;
    AVIERR StreamOpenFromFile(AviStream** stream, const std::string& path, std::uint32_t type,
                              long index, std::uint32_t mode) override;
    AVIERR CreateEditableStream(AviStream** editable, AviStream* source) override;
    AVIERR StreamInfo(AviStream* stream, AVISTREAMINFO* info) override;
    long StreamStart(AviStream* stream) override;
    AVIERR StreamReadFormat(AviStream* stream, long position, void* format, long* size) override;
    AVIERR SaveV(const std::string& path, const AviSaveCallback& callback, int count,
                 AviStream* const* streams, AVICOMPRESSOPTIONS* const* options) override;
    void* AllocFormat(std::size_t size) override;
    AVIERR SaveOptionsFree(int count, AVICOMPRESSOPTIONS* const* options) override;
    void StreamRelease(AviStream* stream) override;
};

MergeApi& RealMergeApi();

}  // namespace finishing
