// Reading AVI and WAVE files as streams over libavformat: see avi_reader.h.
#include "platform/media/avi_reader.h"
#include "platform/media/avi_internal.h"
#include "platform/core/wave_format.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::media {
namespace {

std::uint16_t WaveTagOf(const AVCodecParameters* par) {
    switch (par->codec_id) {
    case AV_CODEC_ID_PCM_U8:
    case AV_CODEC_ID_PCM_S16LE:
    case AV_CODEC_ID_PCM_S24LE:
    case AV_CODEC_ID_PCM_S32LE:
        return WAVE_FORMAT_PCM;
    case AV_CODEC_ID_ADPCM_MS:
        return WAVE_FORMAT_ADPCM;
    case AV_CODEC_ID_ADPCM_IMA_WAV:
        return WAVE_FORMAT_IMA_ADPCM;
    case AV_CODEC_ID_MP3:
        return WAVE_FORMAT_MPEGLAYER3;
    default:
        return static_cast<std::uint16_t>(par->codec_tag & 0xFFFF);
    }
}

std::shared_ptr<StreamSource> Describe(const std::string& path, AVFormatContext* fmt, int index) {
    const AVStream* st = fmt->streams[index];
    const AVCodecParameters* par = st->codecpar;
    auto s = std::make_shared<StreamSource>();
    s->path = path;
    s->index = index;
    s->info.dwScale = static_cast<std::uint32_t>(std::max(st->time_base.num, 1));
    s->info.dwRate = static_cast<std::uint32_t>(std::max(st->time_base.den, 1));
    std::int64_t length = st->nb_frames;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0) length = std::max<std::int64_t>(length, st->duration);
    if (length <= 0 && fmt->duration > 0)
        length = av_rescale_q(fmt->duration, AVRational{1, AV_TIME_BASE}, st->time_base);
    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        s->info.fccType = streamtypeVIDEO;
        s->info.fccHandler = par->codec_tag;
        s->info.rcFrame = Rect{0, 0, par->width, par->height};
        if (st->nb_frames > 0) length = st->nb_frames;
        BITMAPINFOHEADER b{};
        b.biSize = sizeof b;
        b.biWidth = par->width;
        b.biHeight = par->height;
        b.biPlanes = 1;
        b.biBitCount = static_cast<std::uint16_t>(par->bits_per_coded_sample ? par->bits_per_coded_sample : 24);
        b.biCompression = par->codec_tag;
        b.biSizeImage = static_cast<std::uint32_t>(par->width * par->height * b.biBitCount / 8);
        s->format.resize(sizeof b);
        std::memcpy(s->format.data(), &b, sizeof b);
        if (par->extradata_size > 0) s->format.insert(s->format.end(), par->extradata, par->extradata + par->extradata_size);
        s->info.dwSuggestedBufferSize = b.biSizeImage;
    } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
        s->info.fccType = streamtypeAUDIO;
        WAVEFORMATEX w{};
        w.wFormatTag = WaveTagOf(par);
        w.nChannels = static_cast<std::uint16_t>(par->ch_layout.nb_channels);
        w.nSamplesPerSec = static_cast<std::uint32_t>(par->sample_rate);
        w.wBitsPerSample = static_cast<std::uint16_t>(par->bits_per_coded_sample);
        w.nBlockAlign = static_cast<std::uint16_t>(par->block_align ? par->block_align : 1);
        w.nAvgBytesPerSec = static_cast<std::uint32_t>(par->bit_rate / 8);
        if (w.wFormatTag == WAVE_FORMAT_PCM && w.nAvgBytesPerSec == 0)
            w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
        w.cbSize = static_cast<std::uint16_t>(w.wFormatTag == WAVE_FORMAT_PCM ? 0 : std::max(par->extradata_size, 0));
        s->format.resize(sizeof w);
        std::memcpy(s->format.data(), &w, sizeof w);
        if (w.cbSize) s->format.insert(s->format.end(), par->extradata, par->extradata + w.cbSize);
        // Positions of a sound stream are its blocks: scale = block align, rate = bytes per second.
        s->info.dwSampleSize = w.nBlockAlign;
        if (w.wFormatTag == WAVE_FORMAT_PCM) {
            s->info.dwScale = w.nBlockAlign;
            s->info.dwRate = w.nAvgBytesPerSec;
        }
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0 && w.wFormatTag == WAVE_FORMAT_PCM)
            length = av_rescale_q(st->duration, st->time_base, AVRational{1, static_cast<int>(w.nSamplesPerSec)});
    } else {
        return nullptr;
    }
    s->info.dwStart = 0;
    s->length = static_cast<long>(std::max<std::int64_t>(length, 0));
    s->info.dwLength = static_cast<std::uint32_t>(s->length);
    return s;
}

AVIERR OpenSources(const std::string& path, std::vector<std::shared_ptr<StreamSource>>* out) {
    QuietLibav();
    struct stat sb;
    if (stat(path.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode) || access(path.c_str(), R_OK) != 0) return AVIERR_FILEOPEN;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return AVIERR_BADFORMAT;
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        avformat_close_input(&fmt);
        return AVIERR_BADFORMAT;
    }
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        if (auto s = Describe(path, fmt, static_cast<int>(i))) out->push_back(std::move(s));
    avformat_close_input(&fmt);
    return AVIERR_OK;
}

std::shared_ptr<StreamSource> Pick(const std::vector<std::shared_ptr<StreamSource>>& sources, std::uint32_t type,
                                   long index) {
    long n = 0;
    for (const auto& s : sources) {
        if (type != 0 && s->info.fccType != type) continue;
        if (n++ == index) return s;
    }
    return nullptr;
}

AviStream* NewReadStream(AviFile* file, std::shared_ptr<StreamSource> source) {
    auto* s = new AviStream;
    s->file = file;
    if (file) AviFileAddRef(file);
    s->info = source->info;
    s->source = std::move(source);
    return s;
}

}  // namespace

AVIERR AVIFileOpen(AviFile** file, const std::string& path, std::uint32_t mode) {
    if (mode & (OF_CREATE | OF_WRITE)) return AVIFileOpen(file, path);
    if (!file) return AVIERR_BADPARAM;
    *file = nullptr;
    std::vector<std::shared_ptr<StreamSource>> sources;
    const AVIERR rc = OpenSources(path, &sources);
    if (rc != AVIERR_OK) return rc;
    auto* f = new AviFile;
    f->path = path;
    f->sources = std::move(sources);
    *file = f;
    return AVIERR_OK;
}

AVIERR AVIFileGetStream(AviFile* file, AviStream** stream, std::uint32_t fcc_type, long index) {
    if (!stream) return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!file || file->writing) return AVIERR_BADHANDLE;
    auto source = Pick(file->sources, fcc_type, index);
    if (!source) return AVIERR_NODATA;
    *stream = NewReadStream(file, std::move(source));
    return AVIERR_OK;
}

AVIERR AVIStreamOpenFromFile(AviStream** stream, const std::string& path, std::uint32_t fcc_type, long index,
                             std::uint32_t mode) {
    if (!stream) return AVIERR_BADPARAM;
    *stream = nullptr;
    if (mode & (OF_CREATE | OF_WRITE)) return AVIERR_UNSUPPORTED;
    std::vector<std::shared_ptr<StreamSource>> sources;
    const AVIERR rc = OpenSources(path, &sources);
    if (rc != AVIERR_OK) return rc;
    auto source = Pick(sources, fcc_type, index);
    if (!source) return AVIERR_NODATA;
    *stream = NewReadStream(nullptr, std::move(source));
    return AVIERR_OK;
}

AVIERR CreateEditableStream(AviStream** editable, AviStream* source) {
    if (!editable) return AVIERR_BADPARAM;
    *editable = nullptr;
    if (!source || !source->source) return AVIERR_BADHANDLE;
    AviStream* s = NewReadStream(nullptr, source->source);
    s->editable = true;
    *editable = s;
    return AVIERR_OK;
}

AVIERR AVIStreamInfo(AviStream* stream, AVISTREAMINFO* info) {
    if (!stream || !info) return AVIERR_BADPARAM;
    *info = stream->source ? stream->source->info : stream->info;
    return AVIERR_OK;
}

long AVIStreamStart(AviStream* stream) { return stream && stream->source ? stream->source->start : 0; }

long AVIStreamLength(AviStream* stream) {
    if (!stream) return -1;
    if (stream->source) return stream->source->length;
    return stream->last_written + 1;
}

AVIERR AVIStreamReadFormat(AviStream* stream, long position, void* format, long* size) {
    if (!stream || !size) return AVIERR_BADPARAM;
    std::vector<std::uint8_t> bytes;
    if (stream->source) {
        bytes = stream->source->format;
    } else if (stream->has_format) {
        bytes.resize(sizeof stream->bih);
        std::memcpy(bytes.data(), &stream->bih, sizeof stream->bih);
    } else {
        return AVIERR_NODATA;
    }
    (void)position;  // the format does not change along a stream
    if (!format) {
        *size = static_cast<long>(bytes.size());
        return AVIERR_OK;
    }
    const std::size_t n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(std::max(*size, 0L)));
    std::memcpy(format, bytes.data(), n);
    *size = static_cast<long>(n);
    return n < bytes.size() ? AVIERR_BUFFERTOOSMALL : AVIERR_OK;
}

}  // namespace platform::media
