// Writing AVI files with one Microsoft Video 1 stream over libavformat's AVI muxer.
#include "platform/media/avi_internal.h"
#include "platform/media/avi_writer.h"
#include "platform/media/dib.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace platform::media {

void AviFileAddRef(AviFile* file) { ++file->refs; }

void QuietLibav() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (av_log_get_level() > AV_LOG_ERROR) av_log_set_level(AV_LOG_ERROR);
    });
}

namespace {

void FinishFile(AviFile* f);

}  // namespace

void AviFileUnref(AviFile* file) {
    if (--file->refs > 0) return;
    FinishFile(file);
    delete file;
}

namespace {

void FillVideoParameters(AviStream* s, int width, int height) {
    AVCodecParameters* par = s->st->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_MSVIDEO1;
    par->codec_tag = MakeFourCC('M', 'S', 'V', 'C');
    par->width = (std::max(width, 1) + 3) & ~3;
    par->height = (std::max(height, 1) + 3) & ~3;
    par->bits_per_coded_sample = 16;
    par->format = AV_PIX_FMT_RGB555;
}

// Marks the file failed, keeping the system error behind the first failure.
AVIERR Fail(AviFile* f, int averror) {
    f->failed = true;
    if (f->write_errno == 0 && averror < 0) f->write_errno = AVUNERROR(averror);
    return AVIERR_FILEWRITE;
}

AVIERR WriteHeader(AviFile* f) {
    if (f->header_written) return AVIERR_OK;
    if (f->failed || !f->out) return AVIERR_FILEWRITE;
    for (AviStream* s : f->streams) {
        if (s->st && s->st->codecpar->codec_id == AV_CODEC_ID_NONE)
            FillVideoParameters(s, s->info.rcFrame.Width(), s->info.rcFrame.Height());
    }
    if (f->out->nb_streams == 0) {
        // A file closed before any stream was made: still a valid AVI with an empty video stream.
        AVStream* st = avformat_new_stream(f->out, nullptr);
        if (!st) return AVIERR_MEMORY;
        st->time_base = AVRational{1, 1};
        AviStream tmp;
        tmp.st = st;
        FillVideoParameters(&tmp, 4, 4);
    }
    if (int rc = avformat_write_header(f->out, nullptr); rc < 0) return Fail(f, rc);
    f->header_written = true;
    return AVIERR_OK;
}

void FinishFile(AviFile* f) {
    if (!f->writing || f->finished) return;
    f->finished = true;
    if (!f->out) return;
    if (!f->header_written && !f->failed) WriteHeader(f);
    if (f->header_written) av_write_trailer(f->out);
    avio_closep(&f->out->pb);
    avformat_free_context(f->out);
    f->out = nullptr;
}

AVIERR WritePacket(AviFile* f, AVPacket* pkt) {
    if (int rc = av_write_frame(f->out, pkt); rc < 0) return Fail(f, rc);
    return AVIERR_OK;
}

}  // namespace

std::uint32_t VideoForWindowsVersion() { return 0x010A0000; }

void AVIFileInit() { QuietLibav(); }
void AVIFileExit() {}

AVIERR AVIFileOpen(AviFile** file, const std::string& path) {
    QuietLibav();
    if (!file) return AVIERR_BADPARAM;
    *file = nullptr;
    const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
    if (!avi) return AVIERR_UNSUPPORTED;
    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, avi, nullptr, path.c_str()) < 0 || !out) return AVIERR_MEMORY;
    if (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
        avformat_free_context(out);
        return AVIERR_FILEOPEN;
    }
    auto* f = new AviFile;
    f->writing = true;
    f->path = path;
    f->out = out;
    *file = f;
    return AVIERR_OK;
}

AVIERR AVIFileCreateStream(AviFile* file, AviStream** stream, const AVISTREAMINFO& info) {
    if (!stream) return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!file || !file->writing || file->finished || !file->out) return AVIERR_BADHANDLE;
    if (file->header_written) return AVIERR_UNSUPPORTED;
    if (info.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
    if (info.dwRate == 0 || info.dwScale == 0) return AVIERR_BADPARAM;
    if (!file->streams.empty()) return AVIERR_UNSUPPORTED;  // one video stream per file
    AVStream* st = avformat_new_stream(file->out, nullptr);
    if (!st) return AVIERR_MEMORY;
    st->time_base = AVRational{static_cast<int>(info.dwScale), static_cast<int>(info.dwRate)};
    st->avg_frame_rate = AVRational{static_cast<int>(info.dwRate), static_cast<int>(info.dwScale)};
    st->r_frame_rate = st->avg_frame_rate;
    auto* s = new AviStream;
    s->file = file;
    AviFileAddRef(file);
    s->info = info;
    s->st = st;
    file->streams.push_back(s);
    *stream = s;
    return AVIERR_OK;
}

AVIERR AVIMakeCompressedStream(AviStream** compressed, AviStream* source, const AVICOMPRESSOPTIONS& options) {
    if (!compressed) return AVIERR_BADPARAM;
    *compressed = nullptr;
    if (!source || !source->file || !source->file->writing || source->compressed || !source->st)
        return AVIERR_BADHANDLE;
    if (options.fccType != 0 && options.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
    if (options.fccHandler != 0 && options.fccHandler != MakeFourCC('M', 'S', 'V', 'C') &&
        options.fccHandler != MakeFourCC('m', 's', 'v', 'c') &&
        options.fccHandler != MakeFourCC('C', 'R', 'A', 'M') &&
        options.fccHandler != MakeFourCC('c', 'r', 'a', 'm'))
        return AVIERR_NOCOMPRESSOR;
    auto* s = new AviStream;
    s->file = source->file;
    AviFileAddRef(s->file);
    s->info = source->info;
    s->info.fccHandler = MakeFourCC('M', 'S', 'V', 'C');
    s->st = source->st;
    s->base = source;
    s->compressed = true;
    s->options = options;
    s->options.lpFormat = nullptr;
    s->options.lpParms = nullptr;
    s->file->streams.push_back(s);
    *compressed = s;
    return AVIERR_OK;
}

AVIERR AVIStreamSetFormat(AviStream* stream, long position, const void* format, std::size_t size) {
    if (!stream || !stream->file || !stream->file->writing || stream->file->finished) return AVIERR_BADHANDLE;
    if (!format || size < sizeof(BITMAPINFOHEADER)) return AVIERR_BADSIZE;
    if (position != 0) return AVIERR_UNSUPPORTED;
    if (!stream->compressed) return AVIERR_UNSUPPORTED;  // frames are written through the compressor
    if (stream->has_format || stream->file->header_written) return AVIERR_UNSUPPORTED;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, format, sizeof bih);
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biBitCount != 24 || bih.biCompression != 0 ||
        bih.biWidth <= 0 || bih.biHeight <= 0 || bih.biWidth > 16384 || bih.biHeight > 16384)
        return AVIERR_BADFORMAT;
    const std::uint32_t quality = stream->options.dwQuality > 10000 ? kDefaultVideoQuality : stream->options.dwQuality;
    const int key_every = (stream->options.dwFlags & AVICOMPRESSF_KEYFRAMES)
                              ? static_cast<int>(std::min<std::uint32_t>(stream->options.dwKeyFrameEvery, 1u << 30))
                              : 0;
    try {
        stream->encoder = std::make_unique<MsVideo1Encoder>(bih.biWidth, bih.biHeight, static_cast<int>(quality), key_every);
    } catch (...) {
        return AVIERR_MEMORY;
    }
    stream->bih = bih;
    stream->has_format = true;
    FillVideoParameters(stream, bih.biWidth, bih.biHeight);
    return WriteHeader(stream->file);
}

AVIERR AVIStreamWrite(AviStream* stream, long position, long samples, const void* data, std::size_t size,
                      std::uint32_t flags) {
    (void)flags;
    if (!stream || !stream->file || !stream->file->writing) return AVIERR_BADHANDLE;
    AviFile* f = stream->file;
    if (f->finished || !f->out) return AVIERR_BADHANDLE;
    if (!stream->compressed || !stream->encoder) return AVIERR_UNSUPPORTED;
    if (f->failed) return AVIERR_FILEWRITE;
    if (position < 0 || position <= stream->last_written) return AVIERR_BADPARAM;
    if (samples != 1) return AVIERR_BADPARAM;
    const std::size_t stride = static_cast<std::size_t>(DibStride(stream->bih.biWidth, 24));
    const std::size_t image = stride * static_cast<std::size_t>(stream->bih.biHeight);
    if (!data || size < image) return AVIERR_BADSIZE;
    AVIERR rc = WriteHeader(f);
    if (rc != AVIERR_OK) return rc;

    const AVRational tb{static_cast<int>(stream->info.dwScale), static_cast<int>(stream->info.dwRate)};
    AVPacket* pkt = av_packet_alloc();
    if (!pkt) return AVIERR_MEMORY;
    // Positions skipped since the last write: empty entries, so the length counts them and a
    // player holds the previous frame.
    for (long p = stream->last_written + 1; p < position && rc == AVIERR_OK; ++p) {
        av_packet_unref(pkt);
        pkt->stream_index = stream->st->index;
        pkt->pts = pkt->dts = av_rescale_q(p, tb, stream->st->time_base);
        pkt->duration = av_rescale_q(1, tb, stream->st->time_base);
        rc = WritePacket(f, pkt);
    }
    if (rc == AVIERR_OK) {
        bool key = false;
        const std::vector<std::uint8_t>& coded =
            stream->encoder->Encode(static_cast<const std::uint8_t*>(data), &key, false, stride);
        av_packet_unref(pkt);
        pkt->data = const_cast<std::uint8_t*>(coded.data());
        pkt->size = static_cast<int>(coded.size());
        pkt->stream_index = stream->st->index;
        pkt->pts = pkt->dts = av_rescale_q(position, tb, stream->st->time_base);
        pkt->duration = av_rescale_q(1, tb, stream->st->time_base);
        if (key) pkt->flags |= AV_PKT_FLAG_KEY;
        rc = WritePacket(f, pkt);
        pkt->data = nullptr;
        pkt->size = 0;
    }
    av_packet_free(&pkt);
    if (rc == AVIERR_OK) {
        // Push the frame to the file now, so that a full disk is reported by this write.
        avio_flush(f->out->pb);
        if (f->out->pb->error < 0) rc = Fail(f, f->out->pb->error);
    }
    if (rc == AVIERR_OK) stream->last_written = position;
    return rc;
}

int AVIFileWriteError(AviFile* file) { return file ? file->write_errno : 0; }

void AVIStreamRelease(AviStream* stream) {
    if (!stream) return;
    AviFile* f = stream->file;
    if (f) {
        auto& v = f->streams;
        v.erase(std::remove(v.begin(), v.end(), stream), v.end());
        for (AviStream* other : v)
            if (other->base == stream) other->base = nullptr;
    }
    delete stream;
    if (f) AviFileUnref(f);
}

void AVIFileRelease(AviFile* file) {
    if (!file || file->released) return;
    file->released = true;
    FinishFile(file);
    AviFileUnref(file);
}

}  // namespace platform::media
