#pragma once
// Joining the temporary video file (AVI, one video stream) and the temporary sound file (WAVE)
// into one interleaved AVI file, re-encoding the sound into the compressed format when one is
// given, with one retry in the sound's recorded format when that save fails.
// Thread contract: user-interface thread; blocks it until the save has finished. The progress
// window (progess_dlg.h) is shown around each save and its bar follows the first save.
#include "finishing/merge_api.h"
#include "platform/core/types.h"
#include "platform/core/wave_format.h"

#include <cstdint>
#include <string>

namespace finishing {

enum MergeResult : int {
    kMergeJoined = 0,
    kMergeVideoError = 1,      // video file not opened, no video stream, or not made editable
    kMergeAudioError = 2,      // sound file not opened as a sound stream, or not made editable
    kMergeNotVideo = 3,        // the first stream is not a video stream
    kMergeNotAudio = 4,        // the second stream is not a sound stream
    kMergeSaveFailed = 5,      // the save failed (after the retry when a format was given)
};

struct MergeContext {
    platform::WindowHandle owner = 0;  // owner of the "UnableCombine" box: the main window
    MergeApi* api = nullptr;           // null: the platform's calls
};

int Merge_Video_And_Sound_File(const std::string& videoPath, const std::string& soundPath,
                               const std::string& outputPath, std::int32_t compressSound,
                               const platform::WAVEFORMATEX* compressedFormat,
                               std::uint32_t compressedFormatSize, std::int32_t interleave,
                               std::int32_t interleaveEvery, const MergeContext& context = {});

// The save's progress callback: moves the progress bar to `percent`; 0 lets the save go on.
long MergeProgress(int percent);

}  // namespace finishing
