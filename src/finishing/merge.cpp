#include "finishing/merge.h"

#include "companions/diary/diary.h"
#include "companions/phrasebook/phrasebook.h"
#include "finishing/finish_texts.h"
#include "finishing/progess_dlg.h"
#include "platform/core/message_box.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace finishing {

namespace media = platform::media;

namespace {

constexpr std::uint32_t kOpenMode = media::OF_READ | media::OF_SHARE_DENY_NONE;

void LogPath(const char* format, const std::string& path) {
    std::vector<char> line(std::strlen(format) + path.size() + 1, '\0');
    std::snprintf(line.data(), line.size(), format, path.c_str());
    WriteLogLine(line.data());
}

// The two option records of one save: video (index 0) and sound (index 1).
class SaveOptions {
public:
    SaveOptions(MergeApi& api, std::int32_t interleave, std::int32_t interleaveEvery) : api_(api) {
        video_.fccType = media::streamtypeVIDEO;
        video_.dwKeyFrameEvery = 0xFFFFFFFF;
        video_.dwQuality = 0xFFFFFFFF;
        video_.dwFlags = media::AVICOMPRESSF_DATARATE | media::AVICOMPRESSF_KEYFRAMES |
                         media::AVICOMPRESSF_VALID | (interleave ? media::AVICOMPRESSF_INTERLEAVE : 0);
        video_.dwInterleaveEvery = static_cast<std::uint32_t>(interleaveEvery);
        sound_.fccType = media::streamtypeAUDIO;
        sound_.dwFlags = media::AVICOMPRESSF_VALID | (interleave ? media::AVICOMPRESSF_INTERLEAVE : 0);
        sound_.dwInterleaveEvery = static_cast<std::uint32_t>(interleaveEvery);
    }
    ~SaveOptions() { Free(); }
    SaveOptions(const SaveOptions&) = delete;
    SaveOptions& operator=(const SaveOptions&) = delete;

    // A byte copy of the compressed format.
    void UseFormat(const void* format, std::uint32_t size) {
        sound_.cbFormat = size;
        sound_.lpFormat = size ? api_.AllocFormat(size) : nullptr;
        if (sound_.lpFormat && format) std::memcpy(sound_.lpFormat, format, size);
    }
    // The sound stream's own format at its start.
    void UseStreamFormat(AviStream* sound) {
        long size = 0;
        const long start = api_.StreamStart(sound);
        api_.StreamReadFormat(sound, start, nullptr, &size);
        sound_.cbFormat = size > 0 ? static_cast<std::uint32_t>(size) : 0;
        if (sound_.cbFormat == 0) return;
        sound_.lpFormat = api_.AllocFormat(sound_.cbFormat);
        if (sound_.lpFormat) api_.StreamReadFormat(sound, start, sound_.lpFormat, &size);
    }
    AVICOMPRESSOPTIONS* const* Records() { return records_; }
    void Free() {
        if (freed_) return;
        api_.SaveOptionsFree(2, records_);
        freed_ = true;
    }

private:
    MergeApi& api_;
    AVICOMPRESSOPTIONS video_{};
    AVICOMPRESSOPTIONS sound_{};
    AVICOMPRESSOPTIONS* records_[2] = {&video_, &sound_};
    bool freed_ = false;
};

// Releases whatever editable streams are still held when the join returns.
struct EditableStreams {
    explicit EditableStreams(MergeApi& api) : api(api) {}
    ~EditableStreams() {
        for (AviStream*& s : edit)
            if (s) {
                api.StreamRelease(s);
                s = nullptr;
            }
    }
    MergeApi& api;
    AviStream* edit[2] = {nullptr, nullptr};
};

AVIERR SaveShowingProgress(MergeApi& api, const std::string& outputPath, const AviSaveCallback& callback,
                           AviStream* const* streams, SaveOptions& options) {
    ShowProgress(true);
    const AVIERR rc = api.SaveV(outputPath, callback, 2, streams, options.Records());
    ShowProgress(false);
    return rc;
}

}  // namespace

long MergeProgress(int percent) {
    SetProgressPos(percent);
    return 0;
}

int Merge_Video_And_Sound_File(const std::string& videoPath, const std::string& soundPath,
                               const std::string& outputPath, std::int32_t compressSound,
                               const platform::WAVEFORMATEX* compressedFormat,
                               std::uint32_t compressedFormatSize, std::int32_t interleave,
                               std::int32_t interleaveEvery, const MergeContext& context) {
    MergeApi& api = context.api ? *context.api : RealMergeApi();
    auto unableCombine = [&] {
        platform::MessageBox(context.owner, GetText("MsgBox", "UnableCombine"), kNoteCaption,
                             platform::MB_OK | platform::MB_ICONWARNING);
    };
    // Library start and shut-down around everything below, whichever way the join ends.
    struct Library {
        explicit Library(MergeApi& api) : api(api) { api.FileInit(); }
        ~Library() { api.FileExit(); }
        MergeApi& api;
    } library(api);
    EditableStreams streams(api);

    AviFile* file = nullptr;
    if (api.FileOpen(&file, videoPath, kOpenMode) != media::AVIERR_OK || !file) {
        LogPath("Video File Open Error!,Video File Path is %s", videoPath);
        unableCombine();
        return kMergeVideoError;
    }
    AviStream* video = nullptr;
    if (api.FileGetStream(file, &video, media::streamtypeVIDEO, 0) != media::AVIERR_OK || !video) {
        WriteLogLine("AVIFileGetStream Video Error!");
        api.FileRelease(file);
        unableCombine();
        return kMergeVideoError;
    }
    if (api.CreateEditableStream(&streams.edit[0], video) != media::AVIERR_OK || !streams.edit[0]) {
        WriteLogLine("CreateEditableStream Video Error!");
        streams.edit[0] = nullptr;
        api.StreamRelease(video);
        api.FileRelease(file);
        unableCombine();
        return kMergeVideoError;
    }
    api.StreamRelease(video);
    api.FileRelease(file);

    AviStream* sound = nullptr;
    if (api.StreamOpenFromFile(&sound, soundPath, media::streamtypeAUDIO, 0, kOpenMode) != media::AVIERR_OK ||
        !sound) {
        LogPath("Open Audio File Error!,Audio File Path is %s", soundPath);
        unableCombine();
        return kMergeAudioError;
    }
    if (api.CreateEditableStream(&streams.edit[1], sound) != media::AVIERR_OK || !streams.edit[1]) {
        WriteLogLine("CreateEditableStream Audio Error!");
        streams.edit[1] = nullptr;
        api.StreamRelease(sound);
        unableCombine();
        return kMergeAudioError;
    }
    api.StreamRelease(sound);

    AVISTREAMINFO info[2];
    for (int i = 0; i < 2; ++i)
        if (api.StreamInfo(streams.edit[i], &info[i]) != media::AVIERR_OK) info[i].fccType = 0;
    if (info[0].fccType != media::streamtypeVIDEO) {
        WriteLogLine("avis[0].fccType != streamtypeVIDEO");
        unableCombine();
        return kMergeNotVideo;
    }
    if (info[1].fccType != media::streamtypeAUDIO) {
        WriteLogLine("avis[1].fccType != streamtypeAUDIO");
        unableCombine();
        return kMergeNotAudio;
    }

    // Paths stay UTF-8 here: the platform's save takes them as they are.
    auto options = std::make_unique<SaveOptions>(api, interleave, interleaveEvery);
    if (compressSound) options->UseFormat(compressedFormat, compressedFormatSize);
    else options->UseStreamFormat(streams.edit[1]);
    AVIERR rc = SaveShowingProgress(api, outputPath, MergeProgress, streams.edit, *options);
    if (rc != media::AVIERR_OK) {
        WriteLogLine("Merge The First Time Error!Try again use the default audio options");
        options->Free();
        if (!compressSound) {
            unableCombine();
            return kMergeSaveFailed;
        }
        options = std::make_unique<SaveOptions>(api, interleave, interleaveEvery);
        options->UseStreamFormat(streams.edit[1]);
        rc = SaveShowingProgress(api, outputPath, nullptr, streams.edit, *options);
        if (rc != media::AVIERR_OK) {
            options->Free();
            unableCombine();
            return kMergeSaveFailed;
        }
        // Joined, but not in the format chosen.
        unableCombine();
    }
    options->Free();
    return kMergeJoined;
}

}  // namespace finishing
