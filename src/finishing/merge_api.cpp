#include "finishing/merge_api.h"

namespace finishing {

namespace media = platform::media;

void PlatformMergeApi::FileInit() { media::AVIFileInit(); }
void PlatformMergeApi::FileExit() { media::AVIFileExit(); }
AVIERR PlatformMergeApi::FileOpen(AviFile** file, const std::string& path, std::uint32_t mode) {
    return media::AVIFileOpen(file, path, mode);
}
AVIERR PlatformMergeApi::FileGetStream(AviFile* file, AviStream** stream, std::uint32_t type, long index) {
    return media::AVIFileGetStream(file, stream, type, index);
}
void PlatformMergeApi::FileRelease(AviFile* file) { media::AVIFileRelease(file); }
AVIERR PlatformMergeApi::StreamOpenFromFile(AviStream** stream, const std::string& path,
                                            std::uint32_t type, long index, std::uint32_t mode) {
    return media::AVIStreamOpenFromFile(stream, path, type, index, mode);
}
AVIERR PlatformMergeApi::CreateEditableStream(AviStream** editable, AviStream* source) {
    return media::CreateEditableStream(editable, source);
}
AVIERR PlatformMergeApi::StreamInfo(AviStream* stream, AVISTREAMINFO* info) {
    return media::AVIStreamInfo(stream, info);
}
long PlatformMergeApi::StreamStart(AviStream* stream) { return media::AVIStreamStart(stream); }
AVIERR PlatformMergeApi::StreamReadFormat(AviStream* stream, long position, void* format, long* size) {
    return media::AVIStreamReadFormat(stream, position, format, size);
}
AVIERR PlatformMergeApi::SaveV(const std::string& path, const AviSaveCallback& callback, int count,
                               AviStream* const* streams, AVICOMPRESSOPTIONS* const* options) {
    return media::AVISaveV(path, callback, count, streams, options);
}
void* PlatformMergeApi::AllocFormat(std::size_t size) { return media::AviAllocFormat(size); }
AVIERR PlatformMergeApi::SaveOptionsFree(int count, AVICOMPRESSOPTIONS* const* options) {
    return media::AVISaveOptionsFree(count, options);
}
void PlatformMergeApi::StreamRelease(AviStream* stream) { media::AVIStreamRelease(stream); }

MergeApi& RealMergeApi() {
    static PlatformMergeApi api;
    return api;
}

}  // namespace finishing
