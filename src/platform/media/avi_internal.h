#pragma once
// Inside of the AVI file and stream handles (writing: avi_writer.cpp; reading and saving:
// avi_reader.cpp, avi_save.cpp). Not for code outside src/platform/media.
#include "platform/media/avi_writer.h"
#include "platform/media/msvideo1_encoder.h"

#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVStream;

namespace platform::media {

// A stream as found in a file opened for reading: enough to find it again when saving.
struct StreamSource {
    std::string path;        // the file it comes from
    int index = 0;           // libavformat's stream index in that file
    AVISTREAMINFO info;      // type, handler, scale, rate, frame
    long start = 0;          // first position
    long length = 0;         // positions (video frames, or sound blocks)
    std::vector<std::uint8_t> format;  // BITMAPINFOHEADER or WAVEFORMATEX (+ extra bytes)
};

class AviFile {
public:
    int refs = 1;  // the caller's reference plus one per stream handed out
    bool writing = false;
    bool released = false;  // the caller's reference is gone
    // Writing.
    std::string path;
    AVFormatContext* out = nullptr;
    bool header_written = false;
    bool finished = false;
    bool failed = false;
    int write_errno = 0;  // the system error behind the first failed write
    std::vector<AviStream*> streams;
    // Reading.
    std::vector<std::shared_ptr<StreamSource>> sources;
};

class AviStream {
public:
    AviFile* file = nullptr;  // holds a reference while set
    AVISTREAMINFO info;
    // Writing.
    AVStream* st = nullptr;          // the file's stream (uncompressed and compressed share it)
    AviStream* base = nullptr;       // compressed stream: the stream it is layered on
    bool compressed = false;
    AVICOMPRESSOPTIONS options;
    bool has_format = false;
    BITMAPINFOHEADER bih{};
    std::unique_ptr<MsVideo1Encoder> encoder;
    long last_written = -1;
    // Reading (and editable copies).
    std::shared_ptr<StreamSource> source;
    bool editable = false;
};

// Keeps libav's warnings (such as "Cannot check for SPDIF" on an empty WAVE file) off the
// recorder's standard error; errors are still printed. Called by every entry point that opens.
void QuietLibav();

void AviFileAddRef(AviFile* file);
void AviFileUnref(AviFile* file);

}  // namespace platform::media
