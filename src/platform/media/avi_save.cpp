// Saving streams into one interleaved file over libavformat/libavcodec/libswresample: see
// avi_save.h.
#include "platform/media/avi_save.h"
#include "platform/media/acm.h"
#include "platform/media/acm_internal.h"
#include "platform/media/avi_internal.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::media {
namespace {

struct Input {
    AVFormatContext* fmt = nullptr;
    AVStream* in = nullptr;
    AVStream* out = nullptr;
    bool encode = false;
    bool eof = false;
    bool has_pending = false;
    AVPacket* pending = nullptr;  // the next packet of this stream, when read
    // Sound encoding.
    AVCodecContext* dec = nullptr;
    AVCodecContext* enc = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* chunk = nullptr;
    int chunk_samples = 0;
    std::int64_t next_pts = 0;
    bool shift_known = false;
    std::int64_t shift = 0;  // moves an encoder's priming (negative time stamps) to time 0

    ~Input() {
        av_packet_free(&pending);
        avcodec_free_context(&dec);
        avcodec_free_context(&enc);
        swr_free(&swr);
        if (fifo) av_audio_fifo_free(fifo);
        av_frame_free(&frame);
        av_frame_free(&chunk);
        avformat_close_input(&fmt);
    }
};

std::string Extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == base.size()) return "";
    return base.substr(dot + 1);
}

bool SameFormat(const std::vector<std::uint8_t>& have, const void* want, std::uint32_t size) {
    if (size < 18) return false;
    const auto* w = static_cast<const WAVEFORMATEX*>(want);
    const std::size_t n = std::min<std::size_t>(size, 18u + w->cbSize);
    return have.size() == n && std::memcmp(have.data(), want, n) == 0;
}

// Decoder, resampler and encoder of a sound stream to be encoded into `target`.
AVIERR SetUpEncoding(Input& s, const AcmEncoderSetup& setup, bool global_header) {
    const AVCodec* dcodec = avcodec_find_decoder(s.in->codecpar->codec_id);
    if (!dcodec) return AVIERR_BADFORMAT;
    s.dec = avcodec_alloc_context3(dcodec);
    if (!s.dec || avcodec_parameters_to_context(s.dec, s.in->codecpar) < 0) return AVIERR_MEMORY;
    if (avcodec_open2(s.dec, dcodec, nullptr) < 0) return AVIERR_BADFORMAT;

    s.enc = avcodec_alloc_context3(setup.codec);
    if (!s.enc) return AVIERR_MEMORY;
    s.enc->sample_rate = setup.rate;
    av_channel_layout_default(&s.enc->ch_layout, setup.channels);
    s.enc->sample_fmt = setup.codec->sample_fmts ? setup.codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    if (setup.tag == WAVE_FORMAT_PCM) s.enc->sample_fmt = setup.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
    s.enc->time_base = AVRational{1, setup.rate};
    if (setup.bit_rate) s.enc->bit_rate = setup.bit_rate;
    if (global_header) s.enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* opts = nullptr;
    if (setup.tag == WAVE_FORMAT_ADPCM || setup.tag == WAVE_FORMAT_IMA_ADPCM)
        av_dict_set_int(&opts, "block_size", setup.block_align, 0);
    const int rc = avcodec_open2(s.enc, setup.codec, &opts);
    av_dict_free(&opts);
    if (rc < 0) return AVIERR_BADFORMAT;
    if ((setup.tag == WAVE_FORMAT_ADPCM || setup.tag == WAVE_FORMAT_IMA_ADPCM) && s.enc->block_align != setup.block_align)
        return AVIERR_BADFORMAT;

    AVChannelLayout in_layout;
    if (s.dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || s.dec->ch_layout.nb_channels == 0)
        av_channel_layout_default(&in_layout, std::max(s.dec->ch_layout.nb_channels, 1));
    else
        av_channel_layout_copy(&in_layout, &s.dec->ch_layout);
    const int swr_rc = swr_alloc_set_opts2(&s.swr, &s.enc->ch_layout, s.enc->sample_fmt, s.enc->sample_rate, &in_layout,
                                           s.dec->sample_fmt, s.dec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in_layout);
    if (swr_rc < 0 || swr_init(s.swr) < 0) return AVIERR_BADFORMAT;
    s.fifo = av_audio_fifo_alloc(s.enc->sample_fmt, s.enc->ch_layout.nb_channels, 4096);
    s.frame = av_frame_alloc();
    s.chunk = av_frame_alloc();
    if (!s.fifo || !s.frame || !s.chunk) return AVIERR_MEMORY;
    s.chunk_samples = s.enc->frame_size > 0 ? s.enc->frame_size : 4096;
    return AVIERR_OK;
}

class Saver {
public:
    Saver(const std::string& path, const AviSaveCallback& callback) : path_(path), callback_(callback) {}
    ~Saver() {
        inputs_.clear();
        if (out_) {
            if (out_->pb) avio_closep(&out_->pb);
            avformat_free_context(out_);
        }
        if (!temp_.empty()) unlink(temp_.c_str());
    }

    AVIERR Run(int count, AviStream* const* streams, AVICOMPRESSOPTIONS* const* options) {
        QuietLibav();
        if (count < 1 || !streams) return AVIERR_BADPARAM;
        const std::string ext = Extension(path_);
        const AVOutputFormat* ofmt =
            ext.empty() ? av_guess_format("avi", nullptr, nullptr) : av_guess_format(nullptr, path_.c_str(), nullptr);
        if (!ofmt) return AVIERR_UNSUPPORTED;
        const bool global_header = (ofmt->flags & AVFMT_GLOBALHEADER) != 0;
        const bool is_avi = std::strcmp(ofmt->name, "avi") == 0;

        // Inputs, and what becomes of each.
        for (int i = 0; i < count; ++i) {
            AviStream* st = streams[i];
            if (!st || !st->source) return AVIERR_BADHANDLE;
            auto in = std::make_unique<Input>();
            if (avformat_open_input(&in->fmt, st->source->path.c_str(), nullptr, nullptr) < 0) return AVIERR_FILEREAD;
            if (avformat_find_stream_info(in->fmt, nullptr) < 0) return AVIERR_FILEREAD;
            if (st->source->index >= static_cast<int>(in->fmt->nb_streams)) return AVIERR_FILEREAD;
            in->in = in->fmt->streams[st->source->index];
            const AVICOMPRESSOPTIONS* o = options ? options[i] : nullptr;
            if (st->source->info.fccType == streamtypeAUDIO && o && o->lpFormat && o->cbFormat >= 18 &&
                !SameFormat(st->source->format, o->lpFormat, o->cbFormat)) {
                AcmEncoderSetup setup;
                if (!AcmEncoderFor(static_cast<const WAVEFORMATEX*>(o->lpFormat), o->cbFormat, &setup))
                    return AVIERR_BADFORMAT;
                const AVIERR rc = SetUpEncoding(*in, setup, global_header);
                if (rc != AVIERR_OK) return rc;
                in->encode = true;
            }
            const double seconds = in->in->duration != AV_NOPTS_VALUE && in->in->duration > 0
                                       ? in->in->duration * av_q2d(in->in->time_base)
                                       : (in->fmt->duration > 0 ? in->fmt->duration / double(AV_TIME_BASE) : 0.0);
            total_seconds_ = std::max(total_seconds_, seconds);
            in->pending = av_packet_alloc();
            inputs_.push_back(std::move(in));
        }

        // The output, under a temporary name in the same folder.
        const std::size_t slash = path_.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
        const std::string base = slash == std::string::npos ? path_ : path_.substr(slash + 1);
        std::string pattern = dir + "." + base + ".saving-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) return AVIERR_FILEOPEN;
        // The finished file gets the usual permissions (mkstemp makes it private).
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        close(fd);
        temp_ = pattern;
        if (avformat_alloc_output_context2(&out_, ofmt, nullptr, temp_.c_str()) < 0 || !out_) return AVIERR_MEMORY;
        for (auto& in : inputs_) {
            in->out = avformat_new_stream(out_, nullptr);
            if (!in->out) return AVIERR_MEMORY;
            if (in->encode) {
                if (avcodec_parameters_from_context(in->out->codecpar, in->enc) < 0) return AVIERR_MEMORY;
                in->out->time_base = in->enc->time_base;
            } else {
                if (avcodec_parameters_copy(in->out->codecpar, in->in->codecpar) < 0) return AVIERR_MEMORY;
                if (!is_avi) in->out->codecpar->codec_tag = 0;
                in->out->time_base = in->in->time_base;
                in->out->avg_frame_rate = in->in->avg_frame_rate;
                in->out->r_frame_rate = in->in->r_frame_rate;
            }
        }
        if (avio_open(&out_->pb, temp_.c_str(), AVIO_FLAG_WRITE) < 0) return AVIERR_FILEOPEN;
        if (avformat_write_header(out_, nullptr) < 0) return AVIERR_FILEWRITE;
        if (Progress(0)) return AVIERR_USERABORT;

        // Packets in time order over all inputs.
        for (;;) {
            Input* next = nullptr;
            double next_t = 0;
            for (auto& in : inputs_) {
                if (in->eof) continue;
                if (!in->has_pending && !ReadNext(*in)) continue;
                const std::int64_t ts = in->pending->dts != AV_NOPTS_VALUE ? in->pending->dts : in->pending->pts;
                const double t = ts == AV_NOPTS_VALUE ? 1e300 : ts * av_q2d(in->in->time_base);
                if (!next || t < next_t) next = in.get(), next_t = t;
            }
            if (!next) break;
            AVIERR rc = next->encode ? Decode(*next, next->pending) : Copy(*next);
            av_packet_unref(next->pending);
            next->has_pending = false;
            if (rc != AVIERR_OK) return rc;
            if (total_seconds_ > 0 && next_t < 1e299) {
                const int pct = static_cast<int>(std::clamp(next_t / total_seconds_ * 100.0, 0.0, 99.0));
                if (Progress(pct)) return AVIERR_USERABORT;
            }
        }
        for (auto& in : inputs_) {
            if (!in->encode) continue;
            AVIERR rc = Decode(*in, nullptr);
            if (rc == AVIERR_OK) rc = Flush(*in);
            if (rc != AVIERR_OK) return rc;
        }
        if (av_write_trailer(out_) < 0) return AVIERR_FILEWRITE;
        const bool io_error = out_->pb->error < 0;
        avio_closep(&out_->pb);
        if (io_error) return AVIERR_FILEWRITE;
        if (std::rename(temp_.c_str(), path_.c_str()) != 0) return AVIERR_FILEWRITE;
        temp_.clear();
        Progress(100);
        return AVIERR_OK;
    }

private:
    // Calls the callback when the percentage has risen; true when the caller cancels.
    bool Progress(int pct) {
        if (pct <= last_pct_) return false;
        last_pct_ = pct;
        return callback_ && callback_(pct) != 0;
    }

    // Reads the next packet of this input's stream into `pending`; false at the end.
    bool ReadNext(Input& in) {
        for (;;) {
            if (av_read_frame(in.fmt, in.pending) < 0) {
                in.eof = true;
                return false;
            }
            if (in.pending->stream_index == in.in->index) return in.has_pending = true;
            av_packet_unref(in.pending);
        }
    }

    AVIERR Write(AVPacket* pkt) {
        if (av_interleaved_write_frame(out_, pkt) < 0) return AVIERR_FILEWRITE;
        return AVIERR_OK;
    }

    AVIERR Copy(Input& in) {
        AVPacket* pkt = in.pending;
        // Empty entries (skipped video positions) are not copied: the positions come from the
        // time stamps, and the AVI muxer writes empty entries for the gaps again.
        if (pkt->size == 0) return AVIERR_OK;
        av_packet_rescale_ts(pkt, in.in->time_base, in.out->time_base);
        pkt->stream_index = in.out->index;
        pkt->pos = -1;
        return Write(pkt);
    }

    // Decodes a packet (null: the end) and queues the converted samples for the encoder.
    AVIERR Decode(Input& in, AVPacket* pkt) {
        if (avcodec_send_packet(in.dec, pkt) < 0 && pkt) return AVIERR_OK;  // a damaged packet is dropped
        for (;;) {
            const int rc = avcodec_receive_frame(in.dec, in.frame);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
            if (rc < 0) return AVIERR_FILEREAD;
            const int max_out = swr_get_out_samples(in.swr, in.frame->nb_samples);
            uint8_t** data = nullptr;
            if (av_samples_alloc_array_and_samples(&data, nullptr, in.enc->ch_layout.nb_channels, std::max(max_out, 1),
                                                   in.enc->sample_fmt, 0) < 0)
                return AVIERR_MEMORY;
            const int n = swr_convert(in.swr, data, max_out, const_cast<const uint8_t**>(in.frame->extended_data),
                                      in.frame->nb_samples);
            if (n > 0) av_audio_fifo_write(in.fifo, reinterpret_cast<void**>(data), n);
            av_freep(&data[0]);
            av_freep(&data);
            av_frame_unref(in.frame);
            if (n < 0) return AVIERR_INTERNAL;
            const AVIERR e = EncodeQueued(in, false);
            if (e != AVIERR_OK) return e;
        }
        return AVIERR_OK;
    }

    // Encodes whole chunks from the queue (and, at the end, what is left, padded with silence
    // when the encoder needs whole frames).
    AVIERR EncodeQueued(Input& in, bool last) {
        const bool small_last = (in.enc->codec->capabilities &
                                 (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) != 0 ||
                                in.enc->frame_size == 0;
        while (av_audio_fifo_size(in.fifo) >= in.chunk_samples || (last && av_audio_fifo_size(in.fifo) > 0)) {
            const int have = std::min(av_audio_fifo_size(in.fifo), in.chunk_samples);
            const int n = (have < in.chunk_samples && !small_last) ? in.chunk_samples : have;
            av_frame_unref(in.chunk);
            in.chunk->nb_samples = n;
            in.chunk->format = in.enc->sample_fmt;
            in.chunk->sample_rate = in.enc->sample_rate;
            av_channel_layout_copy(&in.chunk->ch_layout, &in.enc->ch_layout);
            if (av_frame_get_buffer(in.chunk, 0) < 0) return AVIERR_MEMORY;
            av_samples_set_silence(in.chunk->extended_data, 0, n, in.enc->ch_layout.nb_channels, in.enc->sample_fmt);
            av_audio_fifo_read(in.fifo, reinterpret_cast<void**>(in.chunk->extended_data), have);
            in.chunk->pts = in.next_pts;
            in.next_pts += n;
            if (avcodec_send_frame(in.enc, in.chunk) < 0) return AVIERR_COMPRESSOR;
            const AVIERR rc = Drain(in);
            if (rc != AVIERR_OK) return rc;
        }
        return AVIERR_OK;
    }

    AVIERR Drain(Input& in) {
        AVPacket* pkt = av_packet_alloc();
        AVIERR result = AVIERR_OK;
        for (;;) {
            const int rc = avcodec_receive_packet(in.enc, pkt);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
            if (rc < 0) {
                result = AVIERR_COMPRESSOR;
                break;
            }
            if (!in.shift_known) {
                const std::int64_t first = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
                in.shift = first != AV_NOPTS_VALUE && first < 0 ? -first : 0;
                in.shift_known = true;
            }
            if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += in.shift;
            if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += in.shift;
            av_packet_rescale_ts(pkt, in.enc->time_base, in.out->time_base);
            pkt->stream_index = in.out->index;
            result = Write(pkt);
            av_packet_unref(pkt);
            if (result != AVIERR_OK) break;
        }
        av_packet_free(&pkt);
        return result;
    }

    AVIERR Flush(Input& in) {
        AVIERR rc = EncodeQueued(in, true);
        if (rc != AVIERR_OK) return rc;
        avcodec_send_frame(in.enc, nullptr);
        return Drain(in);
    }

    std::string path_;
    const AviSaveCallback& callback_;
    std::vector<std::unique_ptr<Input>> inputs_;
    AVFormatContext* out_ = nullptr;
    std::string temp_;
    double total_seconds_ = 0;
    int last_pct_ = -1;
};

}  // namespace

AVIERR AVISaveV(const std::string& path, const AviSaveCallback& callback, int stream_count, AviStream* const* streams,
                AVICOMPRESSOPTIONS* const* options) {
    Saver saver(path, callback);
    return saver.Run(stream_count, streams, options);
}

void* AviAllocFormat(std::size_t size) { return std::calloc(std::max<std::size_t>(size, 1), 1); }

AVIERR AVISaveOptionsFree(int count, AVICOMPRESSOPTIONS* const* options) {
    if (count < 0 || (count > 0 && !options)) return AVIERR_BADPARAM;
    for (int i = 0; i < count; ++i) {
        AVICOMPRESSOPTIONS* o = options[i];
        if (!o) continue;
        std::free(o->lpFormat);
        std::free(o->lpParms);
        o->lpFormat = nullptr;
        o->cbFormat = 0;
        o->lpParms = nullptr;
        o->cbParms = 0;
    }
    return AVIERR_OK;
}

}  // namespace platform::media
