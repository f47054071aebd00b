#pragma once
// Saving streams into one interleaved file (the AVISaveV call of the join).
//
// AVISaveV(path, callback, n, streams, options):
//  - The container follows the output name's extension (".avi", ".mkv", ...); a name without an
//    extension gives AVI. An extension libavformat does not know is AVIERR_UNSUPPORTED.
//  - Video streams are copied as coded (their frames, key flags and empty positions).
//  - A sound stream is kept as recorded when its option record has no format (lpFormat null or
//    cbFormat 0) or the same format as the stream; otherwise it is decoded and encoded into the
//    record's WAVEFORMATEX, which must be one the compression manager serves (acm.h:
//    AcmCanEncode). A format that cannot be used fails the save with AVIERR_BADFORMAT before
//    anything is written.
//  - `callback(percent)` is called with 0 first, then with rising percentages, and 100 at the end
//    of a successful save; a nonzero return cancels the save (AVIERR_USERABORT).
//  - The output is written under a temporary name next to it and renamed at the end: a failed or
//    cancelled save leaves no output file (and leaves an existing file of that name as it was).
// The option records are read only (the join puts its fccHandler values back itself).
#include "platform/media/avi_reader.h"
#include "platform/media/avi_writer.h"

#include <cstddef>
#include <functional>
#include <string>

namespace platform::media {

// Returns 0 to go on, nonzero to cancel.
using AviSaveCallback = std::function<long(int percent)>;

AVIERR AVISaveV(const std::string& path, const AviSaveCallback& callback, int stream_count,
                AviStream* const* streams, AVICOMPRESSOPTIONS* const* options);

// A zero-filled block for AVICOMPRESSOPTIONS::lpFormat (or lpParms), freed by AVISaveOptionsFree.
void* AviAllocFormat(std::size_t size);
// Frees the format and parameter blocks of the records and clears those fields.
AVIERR AVISaveOptionsFree(int count, AVICOMPRESSOPTIONS* const* options);

}  // namespace platform::media
