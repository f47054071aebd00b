#pragma once
// Files a recording leaves when the recorder ends without closing them: an AVI whose index and
// lengths were never written, a WAVE file whose sizes were never brought up to date.
// Thread contract: plain functions on files no other thread or process is writing.
#include <string>

namespace platform::media {

// Rewrites the AVI at `path` with an index (every packet the demuxer can read, copied as it is),
// through a temporary file renamed over it; false (and the file untouched) when it cannot be
// read or rewritten.
bool RewriteAviWithIndex(const std::string& path);

// Writes the AVI at `path`, given an index as above, to `target` (created or replaced), leaving
// `path` untouched; false when it cannot be read or `target` written (a partial `target` is
// removed).
bool WriteAviWithIndex(const std::string& path, const std::string& target);

// Seconds of the video stream of `path` (its packets counted when the file gives no length);
// negative when it has none.
double VideoSeconds(const std::string& path);

// A WAVE file whose sizes were written when it was opened and never again: its "data" chunk (the
// last one, as the recorder writes it) and RIFF sizes are made to reach the end of the file;
// false when it is not a WAVE file with a data chunk.
bool CompleteWaveSizes(const std::string& path);

}  // namespace platform::media
