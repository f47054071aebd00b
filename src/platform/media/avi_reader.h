#pragma once
// Reading AVI and WAVE files as streams, for the join of video and sound. The steps of
// the join map one to one onto these calls:
//   AVIFileInit                                  (avi_writer.h)
//   AVIFileOpen(&file, video, OF_READ | OF_SHARE_DENY_NONE)      "Video File Open Error!..."
//   AVIFileGetStream(file, &video, streamtypeVIDEO, 0)           "AVIFileGetStream Video Error!"
//   CreateEditableStream(&edit[0], video)                        "CreateEditableStream Video Error!"
//   AVIStreamRelease(video); AVIFileRelease(file)
//   AVIStreamOpenFromFile(&sound, wave, streamtypeAUDIO, 0, OF_READ | OF_SHARE_DENY_NONE)
//                                                                "Open Audio File Error!..."
//   CreateEditableStream(&edit[1], sound)                        "CreateEditableStream Audio Error!"
//   AVIStreamRelease(sound)
//   AVIStreamInfo(edit[i], &info): info.fccType                  "avis[0].fccType != ..."
//   AVIStreamReadFormat(edit[1], AVIStreamStart(edit[1]), nullptr, &size), then with a buffer
//   AVISaveV(...) / AVISaveOptionsFree(...) / AVIStreamRelease(edit[i]) / AVIFileExit  (avi_save.h)
// Every call returns an AVIERR (0 = success) so each failure can be logged as its own step.
// Handles obtained here are released with AVIStreamRelease / AVIFileRelease (avi_writer.h), in any
// order; an editable stream keeps what it needs after its source and file are released.
#include "platform/media/avi_writer.h"

#include <cstdint>
#include <string>

namespace platform::media {

// Open modes (the values of the system's OF_* flags).
constexpr std::uint32_t OF_READ = 0x0000;
constexpr std::uint32_t OF_WRITE = 0x0001;
constexpr std::uint32_t OF_SHARE_DENY_NONE = 0x0040;
constexpr std::uint32_t OF_CREATE = 0x1000;

// With OF_CREATE or OF_WRITE: creates the file for writing, as AVIFileOpen(file, path). Otherwise
// opens an existing file for reading: AVIERR_FILEOPEN when it is missing or unreadable,
// AVIERR_BADFORMAT when it is not a media file libavformat can read.
AVIERR AVIFileOpen(AviFile** file, const std::string& path, std::uint32_t mode);

// The `index`-th stream of type `fcc_type` (streamtypeVIDEO, streamtypeAUDIO; 0: of any type) of
// a file opened for reading. AVIERR_NODATA when there is none.
AVIERR AVIFileGetStream(AviFile* file, AviStream** stream, std::uint32_t fcc_type, long index);

// Opens a file (an AVI or a WAVE file, ...) and returns its `index`-th stream of type `fcc_type`
// in one step, as the join does for the sound file.
AVIERR AVIStreamOpenFromFile(AviStream** stream, const std::string& path, std::uint32_t fcc_type, long index,
                             std::uint32_t mode);

// An editable copy of a read stream (the join saves these).
AVIERR CreateEditableStream(AviStream** editable, AviStream* source);

// Type ("vids"/"auds"), handler, scale and rate (rate / scale = positions per second), start,
// length, sample size and, for video, the frame rectangle.
AVIERR AVIStreamInfo(AviStream* stream, AVISTREAMINFO* info);
long AVIStreamStart(AviStream* stream);
long AVIStreamLength(AviStream* stream);

// The stream's format at `position`: a BITMAPINFOHEADER for video, a WAVEFORMATEX with its extra
// bytes for sound. With `format` null, *size receives the size needed; otherwise up to *size bytes
// are copied and *size receives the number copied.
AVIERR AVIStreamReadFormat(AviStream* stream, long position, void* format, long* size);

}  // namespace platform::media
