#pragma once
// Helpers of the media tests: synthetic frames, decoding with libavcodec, ffprobe.
#include "platform/core/wave_format.h"
#include "platform/media/avi_writer.h"
#include "platform/media/dib.h"
#include "platform/media/msvideo1_encoder.h"
#include "support/test_support.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace mediatest {

using Frame = std::vector<std::uint8_t>;

inline std::size_t Stride(int w) { return static_cast<std::size_t>(platform::media::DibStride(w, 24)); }

// 8-bit value of a 5-bit level as the decoder expands it.
inline int Expand(int q) { return (q << 3) | (q >> 2); }

struct Rgb {
    int r, g, b;
};

// Packed 24-bit bottom-up DIB; f(x, y) with y counted from the top of the picture.
template <class F>
Frame MakeDib(int w, int h, F f) {
    Frame d(Stride(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = d.data() + (h - 1 - y) * Stride(w);
        for (int x = 0; x < w; ++x) {
            const Rgb c = f(x, y);
            row[x * 3] = static_cast<std::uint8_t>(c.b);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c.r);
        }
    }
    return d;
}

inline Rgb DibPixel(const Frame& d, int w, int h, int x, int y) {
    const std::uint8_t* p = d.data() + (h - 1 - y) * Stride(w) + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

// A smooth "natural" picture: summed value noise of several octaves, with some texture.
inline Frame NaturalDib(int w, int h, int shift = 0, unsigned seed = 3) {
    std::mt19937 rng(seed);
    const int G = 256;
    std::vector<float> lat(G * G * 3);
    for (float& v : lat) v = std::uniform_real_distribution<float>(0.f, 1.f)(rng);
    auto noise = [&](float x, float y, int c) {
        const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
        float fx = x - xi, fy = y - yi;
        fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
        auto L = [&](int a, int b) { return lat[(((b & (G - 1)) * G) + (a & (G - 1))) * 3 + c]; };
        const float a = L(xi, yi) + (L(xi + 1, yi) - L(xi, yi)) * fx;
        const float b = L(xi, yi + 1) + (L(xi + 1, yi + 1) - L(xi, yi + 1)) * fx;
        return a + (b - a) * fy;
    };
    return MakeDib(w, h, [&](int x, int y) {
        float v[3];
        for (int c = 0; c < 3; ++c) {
            float s = 0, amp = 0.55f, f = 1.f / 64;
            for (int o = 0; o < 6; ++o, amp *= 0.5f, f *= 2.f) s += amp * noise((x + shift) * f, y * f, c);
            v[c] = std::clamp(s * 255.f, 0.f, 255.f);
        }
        return Rgb{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2])};
    });
}

// A decoded RGB555 picture expanded to 8 bits, top-down.
struct Picture {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    Rgb At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

inline Picture FromFrame(const AVFrame* f) {
    Picture p;
    p.w = f->width;
    p.h = f->height;
    p.px.resize(static_cast<std::size_t>(p.w) * p.h);
    for (int y = 0; y < p.h; ++y) {
        const auto* row = reinterpret_cast<const std::uint16_t*>(f->data[0] + y * f->linesize[0]);
        for (int x = 0; x < p.w; ++x) {
            const unsigned v = row[x];
            p.px[static_cast<std::size_t>(y) * p.w + x] =
                Rgb{Expand((v >> 10) & 31), Expand((v >> 5) & 31), Expand(v & 31)};
        }
    }
    return p;
}

// libavcodec's msvideo1 decoder over a sequence of packets of a stream of w x h (padded) frames.
class Decoder {
public:
    Decoder(int w, int h) {
        const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MSVIDEO1);
        ctx_ = avcodec_alloc_context3(codec);
        ctx_->width = w;
        ctx_->height = h;
        ctx_->bits_per_coded_sample = 16;
        ok_ = avcodec_open2(ctx_, codec, nullptr) == 0;
        frame_ = av_frame_alloc();
        pkt_ = av_packet_alloc();
    }
    ~Decoder() {
        av_frame_free(&frame_);
        av_packet_free(&pkt_);
        avcodec_free_context(&ctx_);
    }
    bool Ok() const { return ok_; }
    bool Decode(const std::vector<std::uint8_t>& data, Picture* out) {
        av_new_packet(pkt_, static_cast<int>(data.size()));
        std::memcpy(pkt_->data, data.data(), data.size());
        int rc = avcodec_send_packet(ctx_, pkt_);
        av_packet_unref(pkt_);
        if (rc < 0) return false;
        if (avcodec_receive_frame(ctx_, frame_) < 0) return false;
        *out = FromFrame(frame_);
        av_frame_unref(frame_);
        return true;
    }

private:
    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* pkt_ = nullptr;
    bool ok_ = false;
};

// PSNR of a decoded picture against the source DIB (over the source's w x h).
inline double Psnr(const Picture& p, const Frame& src, int w, int h) {
    double se = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb a = p.At(x, y), b = DibPixel(src, w, h, x, y);
            se += (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
        }
    const double mse = se / (3.0 * w * h);
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

using testsupport::Shell;

// ffprobe's value of one stream entry ("codec_name", "nb_frames", ...) of stream `stream`.
inline std::string Probe(const std::string& path, const std::string& entry, const std::string& stream = "v:0") {
    std::string out = Shell("ffprobe -v error -select_streams " + stream + " -show_entries stream=" + entry +
                          " -of default=noprint_wrappers=1:nokey=1 '" + path + "' 2>/dev/null");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

// Every video packet of a file in order: position (pts in stream time base), data, key flag.
struct Packet {
    long position;
    std::vector<std::uint8_t> data;
    bool key;
};
inline std::vector<Packet> ReadVideoPackets(const std::string& path, int* w = nullptr, int* h = nullptr) {
    std::vector<Packet> out;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return out;
    avformat_find_stream_info(fmt, nullptr);
    const int vi = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (vi >= 0) {
        if (w) *w = fmt->streams[vi]->codecpar->width;
        if (h) *h = fmt->streams[vi]->codecpar->height;
        AVPacket* pkt = av_packet_alloc();
        while (av_read_frame(fmt, pkt) >= 0) {
            if (pkt->stream_index == vi)
                out.push_back(Packet{static_cast<long>(pkt->pts), std::vector<std::uint8_t>(pkt->data, pkt->data + pkt->size),
                                     (pkt->flags & AV_PKT_FLAG_KEY) != 0});
            av_packet_unref(pkt);
        }
        av_packet_free(&pkt);
    }
    avformat_close_input(&fmt);
    return out;
}

// The recording thread's set-up of an AVI file with one Microsoft Video 1 stream.
inline platform::media::BITMAPINFOHEADER Header(int w, int h) {
    using namespace platform::media;
    BITMAPINFOHEADER b{};
    b.biSize = 40;
    b.biWidth = w;
    b.biHeight = h;
    b.biPlanes = 1;
    b.biBitCount = 24;
    b.biCompression = 0;
    b.biSizeImage = static_cast<std::uint32_t>(Stride(w) * h);
    return b;
}

// The recording thread's set-up: file, stream, compressed stream, format.
struct Writer {
    using AviFile = platform::media::AviFile;
    using AviStream = platform::media::AviStream;
    using AVIERR = platform::media::AVIERR;
    AviFile* file = nullptr;
    AviStream* stream = nullptr;
    AviStream* compressed = nullptr;
    platform::media::BITMAPINFOHEADER bih{};

    AVIERR Open(const std::string& path, int w, int h, int rate, int quality = 6500, int key_every = 20) {
        using namespace platform::media;
        bih = Header(w, h);
        AVIERR rc = AVIFileOpen(&file, path);
        if (rc) return rc;
        AVISTREAMINFO info;
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = static_cast<std::uint32_t>(rate);
        info.dwSuggestedBufferSize = bih.biSizeImage;
        info.rcFrame = platform::Rect{0, 0, w, h};
        if ((rc = AVIFileCreateStream(file, &stream, info))) return rc;
        AVICOMPRESSOPTIONS opts;
        opts.fccType = streamtypeVIDEO;
        opts.fccHandler = MakeFourCC('M', 'S', 'V', 'C');
        opts.dwKeyFrameEvery = static_cast<std::uint32_t>(key_every);
        opts.dwQuality = static_cast<std::uint32_t>(quality);
        opts.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
        if ((rc = AVIMakeCompressedStream(&compressed, stream, opts))) return rc;
        return AVIStreamSetFormat(compressed, 0, &bih, sizeof bih);
    }
    AVIERR Write(long pos, const Frame& f) { return platform::media::AVIStreamWrite(compressed, pos, 1, f.data(), bih.biSizeImage, 0); }
    // The recording thread's release order: file, stream, compressed stream.
    void Close() {
        if (file) platform::media::AVIFileRelease(file);
        if (stream) platform::media::AVIStreamRelease(stream);
        if (compressed) platform::media::AVIStreamRelease(compressed);
        file = nullptr, stream = compressed = nullptr;
    }
    ~Writer() { Close(); }
};

// A PCM sound format.
inline platform::WAVEFORMATEX Pcm(std::uint32_t rate, int channels, int bits) {
    platform::WAVEFORMATEX f{};
    f.wFormatTag = platform::WAVE_FORMAT_PCM;
    f.nChannels = static_cast<std::uint16_t>(channels);
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = static_cast<std::uint16_t>(bits);
    f.nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

}  // namespace mediatest
