#include "recording/avi_api.h"

namespace recording {

namespace {

namespace media = platform::media;

// Forwards to the platform's AVI writer; the library's initialisation brackets the file.
class PlatformAviApi final : public AviApi {
public:
    std::uint32_t VideoForWindowsVersion() override { return media::VideoForWindowsVersion(); }
    AVIERR FileOpen(AviFile** file, const std::string& path) override {
        media::AVIFileInit();
        return media::AVIFileOpen(file, path);
    }
    AVIERR FileCreateStream(AviFile* file, AviStream** stream,
                            const media::AVISTREAMINFO& info) override {
        return media::AVIFileCreateStream(file, stream, info);
    }
    AVIERR MakeCompressedStream(AviStream** compressed, AviStream* source,
                                const media::AVICOMPRESSOPTIONS& options) override {
        return media::AVIMakeCompressedStream(compressed, source, options);
    }
    AVIERR StreamSetFormat(AviStream* stream, long position, const void* format,
                           std::size_t size) override {
        return media::AVIStreamSetFormat(stream, position, format, size);
    }
    AVIERR StreamWrite(AviStream* stream, long position, long samples, const void* data,
                       std::size_t size, std::uint32_t flags) override {
        return media::AVIStreamWrite(stream, position, samples, data, size, flags);
    }
    int FileWriteError(AviFile* file) override { return media::AVIFileWriteError(file); }
    void StreamRelease(AviStream* stream) override { media::AVIStreamRelease(stream); }
    void FileRelease(AviFile* file) override {
        media::AVIFileRelease(file);
        media::AVIFileExit();
    }
};

}  // namespace

AviApi& RealAviApi() {
    static PlatformAviApi api;
    return api;
}

}  // namespace recording
