// Microsoft Video 1 at 1920x1080, quality 6500: our encoder against libavcodec's `msvideo1`
// encoder, on the same frames in the same run.
//
// Two sequences of packed 24-bit bottom-up DIB frames are generated here:
//   desktop  a mostly static desktop (wallpaper, two text windows, a task bar) with one window
//            moving 12 px right and 6 px down per frame;
//   busy     scrolling text (top half, 3 px per frame) over a natural picture (bottom half, a
//            fractal landscape panning 5 px per frame), so no block stays the same.
// Each is encoded by our encoder on one thread (and again on two threads, reported separately) and
// by libavcodec's encoder (its input converted to RGB555 by rounding to the nearest level, the best
// it can be given). Both outputs are decoded with libavcodec's `msvideo1` decoder and compared with
// the 24-bit source: PSNR over all frames of the sequence (8-bit RGB, MSE over every sample).
// Key frame every 20 frames for both (frame 0 is a key frame).
//
// The last line is
//   busy 1920x1080 q6500: ours_ms=N ref_ms=N speedup=N ours_psnr=N ref_psnr=N ours_bytes=N ref_bytes=N
// with milliseconds and bytes per frame (means over the busy frames, the key frame included) and
// ours_ms on one thread. A digest of our coded bytes per sequence shows whether two builds of the
// encoder write the same stream. Single-thread times are the thread's CPU time (so other processes on the
// machine do not inflate them); the two-thread run is timed by the wall clock.
#include "platform/media/dib.h"
#include "platform/media/msvideo1_encoder.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080;
constexpr int kQuality = 6500;
constexpr int kKeyEvery = 20;
constexpr int kFrames = 6;
const std::size_t kStride = static_cast<std::size_t>(platform::media::DibStride(kW, 24));

using Frame = std::vector<std::uint8_t>;

// QImage (top-down) -> packed 24-bit bottom-up DIB rows.
Frame ToDib(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Frame dib(kStride * kH, 0);
    for (int y = 0; y < kH; ++y) {
        const std::uint8_t* s = rgb.constScanLine(y);
        std::uint8_t* d = dib.data() + (kH - 1 - y) * kStride;
        for (int x = 0; x < kW; ++x) {
            d[x * 3] = s[x * 3 + 2];
            d[x * 3 + 1] = s[x * 3 + 1];
            d[x * 3 + 2] = s[x * 3];
        }
    }
    return dib;
}

// A fractal landscape: sky gradient with clouds, hills of summed value noise, textured grass.
QImage NaturalPicture(int w, int h) {
    std::mt19937 rng(7);
    const int G = 512;
    std::vector<float> lattice(G * G);
    for (float& v : lattice) v = std::uniform_real_distribution<float>(0.f, 1.f)(rng);
    auto noise = [&](float x, float y) {
        const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
        float fx = x - xi, fy = y - yi;
        fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
        auto L = [&](int a, int b) { return lattice[((b & (G - 1)) * G) + (a & (G - 1))]; };
        const float a = L(xi, yi) + (L(xi + 1, yi) - L(xi, yi)) * fx;
        const float b = L(xi, yi + 1) + (L(xi + 1, yi + 1) - L(xi, yi + 1)) * fx;
        return a + (b - a) * fy;
    };
    auto fbm = [&](float x, float y, int oct) {
        float s = 0, amp = 0.5f, f = 1;
        for (int o = 0; o < oct; ++o, amp *= 0.5f, f *= 2.03f) s += amp * noise(x * f, y * f);
        return s;
    };
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = img.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const float horizon = h * (0.35f + 0.25f * fbm(x / 300.f, 3.1f, 5));
            float r, g, b;
            if (y < horizon) {
                const float t = y / horizon;
                const float c = std::max(0.f, fbm(x / 120.f, y / 60.f, 6) - 0.45f) * 2.2f;
                r = 70 + 90 * t + 160 * c, g = 120 + 80 * t + 130 * c, b = 210 + 30 * t + 40 * c;
            } else {
                const float t = (y - horizon) / (h - horizon + 1);
                const float tex = fbm(x / 6.f, y / 6.f, 4);
                const float big = fbm(x / 80.f, y / 80.f, 5);
                r = 40 + 90 * big + 70 * tex - 20 * t;
                g = 80 + 100 * big + 60 * tex - 30 * t;
                b = 20 + 40 * big + 30 * tex;
            }
            d[x * 3] = static_cast<std::uint8_t>(std::clamp(r, 0.f, 255.f));
            d[x * 3 + 1] = static_cast<std::uint8_t>(std::clamp(g, 0.f, 255.f));
            d[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(b, 0.f, 255.f));
        }
    }
    return img;
}

const char* kWords[] = {"recording", "frame", "window", "video", "sound", "buffer", "stream",
                        "the", "of", "a", "compressor", "quality", "key", "position", "desktop",
                        "format", "interleave", "progress", "cursor", "pixel", "block", "skip"};

void DrawText(QPainter& p, const QRect& r, int line_height, int first_line, std::mt19937& rng_seed) {
    (void)rng_seed;
    p.save();
    p.setClipRect(r);
    p.setPen(QColor(20, 20, 20));
    for (int line = 0; line * line_height < r.height() + line_height; ++line) {
        const int n = first_line + line;
        std::mt19937 rng(static_cast<unsigned>(n * 7919 + 13));
        std::string text = std::to_string(n) + "  ";
        while (text.size() < 150) text += std::string(kWords[rng() % (sizeof(kWords) / sizeof(*kWords))]) + " ";
        p.drawText(r.left() + 6, r.top() + line * line_height + line_height - 4, QString::fromStdString(text));
    }
    p.restore();
}

std::vector<Frame> DesktopFrames() {
    QImage wallpaper = NaturalPicture(kW, kH);
    std::vector<Frame> frames;
    std::mt19937 rng(1);
    for (int f = 0; f < kFrames; ++f) {
        QImage img = wallpaper.copy();
        QPainter p(&img);
        p.setFont(QFont("DejaVu Sans", 10));
        auto window = [&](QRect r, const char* title, int first) {
            p.fillRect(r.adjusted(4, 4, 4, 4), QColor(0, 0, 0, 60));
            p.fillRect(r, QColor(246, 245, 244));
            p.fillRect(QRect(r.left(), r.top(), r.width(), 28), QColor(53, 132, 228));
            p.setPen(Qt::white);
            p.drawText(r.left() + 10, r.top() + 19, title);
            DrawText(p, r.adjusted(0, 30, 0, 0), 18, first, rng);
        };
        window(QRect(100, 90, 900, 700), "Editor", 0);
        window(QRect(1050, 150, 760, 520), "Terminal", 500);
        window(QRect(300 + 12 * f, 400 + 6 * f, 640, 420), "Moving window", 900);
        p.fillRect(QRect(0, kH - 40, kW, 40), QColor(40, 40, 45));
        p.end();
        frames.push_back(ToDib(img));
    }
    return frames;
}

std::vector<Frame> BusyFrames() {
    QImage nature = NaturalPicture(kW + 5 * kFrames, kH / 2);
    std::vector<Frame> frames;
    std::mt19937 rng(2);
    for (int f = 0; f < kFrames; ++f) {
        QImage img(kW, kH, QImage::Format_RGB888);
        img.fill(QColor(255, 255, 255));
        QPainter p(&img);
        p.setFont(QFont("DejaVu Sans", 10));
        // Scrolling text: lines of 18 px moving up 3 px per frame.
        const int offset = 3 * f;
        p.save();
        p.translate(0, -(offset % 18));
        DrawText(p, QRect(0, 0, kW, kH / 2 + 18), 18, offset / 18, rng);
        p.restore();
        p.drawImage(QPoint(0, kH / 2), nature, QRect(5 * f, 0, kW, kH / 2));
        p.end();
        frames.push_back(ToDib(img));
    }
    return frames;
}

// CPU time of the calling thread in milliseconds: "ms per frame on one core", unaffected by other
// processes sharing the machine. Runs on two threads are timed by the wall clock instead.
double ThreadMs() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}
double WallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Result {
    double ms = 0, max_ms = 0, bytes = 0, psnr = 0;
    std::uint64_t digest = 0;  // FNV-1a over every coded byte: the same stream gives the same value
};

std::uint64_t Fnv1a(const std::vector<std::vector<std::uint8_t>>& packets) {
    std::uint64_t h = 14695981039346656037ull;
    for (const auto& packet : packets)
        for (std::uint8_t byte : packet) h = (h ^ byte) * 1099511628211ull;
    return h;
}

// Decodes `packets` with libavcodec's msvideo1 decoder and returns the PSNR against `frames`.
double DecodePsnr(const std::vector<std::vector<std::uint8_t>>& packets, const std::vector<Frame>& frames) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MSVIDEO1);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->width = kW;
    ctx->height = kH;
    ctx->bits_per_coded_sample = 16;
    avcodec_open2(ctx, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    double se = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        av_new_packet(pkt, static_cast<int>(packets[i].size()));
        std::memcpy(pkt->data, packets[i].data(), packets[i].size());
        avcodec_send_packet(ctx, pkt);
        av_packet_unref(pkt);
        if (avcodec_receive_frame(ctx, frame) < 0) {
            std::fprintf(stderr, "decode failed at frame %zu\n", i);
            std::exit(1);
        }
        for (int y = 0; y < kH; ++y) {
            const std::uint16_t* row = reinterpret_cast<const std::uint16_t*>(frame->data[0] + y * frame->linesize[0]);
            const std::uint8_t* s = frames[i].data() + (kH - 1 - y) * kStride;
            for (int x = 0; x < kW; ++x) {
                const unsigned w = row[x];
                const int r5 = (w >> 10) & 31, g5 = (w >> 5) & 31, b5 = w & 31;
                const int r = (r5 << 3) | (r5 >> 2), g = (g5 << 3) | (g5 >> 2), b = (b5 << 3) | (b5 >> 2);
                const int db = s[x * 3] - b, dg = s[x * 3 + 1] - g, dr = s[x * 3 + 2] - r;
                se += db * db + dg * dg + dr * dr;
            }
        }
        n += static_cast<std::size_t>(kW) * kH * 3;
        av_frame_unref(frame);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    const double mse = se / n;
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

Result RunOurs(const std::vector<Frame>& frames, int threads) {
    platform::media::MsVideo1Encoder enc(kW, kH, kQuality, kKeyEvery, threads);
    std::vector<std::vector<std::uint8_t>> packets;
    double total_ms = 0, total_bytes = 0, max_ms = 0;
    for (const Frame& f : frames) {
        bool key = false;
        const double t0 = threads == 1 ? ThreadMs() : WallMs();
        const auto& out = enc.Encode(f.data(), &key);
        const double t1 = threads == 1 ? ThreadMs() : WallMs();
        total_ms += t1 - t0;
        max_ms = std::max(max_ms, t1 - t0);
        total_bytes += static_cast<double>(out.size());
        packets.push_back(out);
    }
    Result r;
    r.ms = total_ms / frames.size();
    r.max_ms = max_ms;
    r.bytes = total_bytes / frames.size();
    r.psnr = DecodePsnr(packets, frames);
    r.digest = Fnv1a(packets);
    return r;
}

Result RunReference(const std::vector<Frame>& frames) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
    if (!codec) {
        std::fprintf(stderr, "libavcodec has no msvideo1 encoder\n");
        std::exit(1);
    }
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->width = kW;
    ctx->height = kH;
    ctx->pix_fmt = AV_PIX_FMT_RGB555;
    ctx->time_base = AVRational{1, 30};
    ctx->keyint_min = kKeyEvery;
    ctx->gop_size = kKeyEvery;
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
        std::fprintf(stderr, "cannot open libavcodec's msvideo1 encoder\n");
        std::exit(1);
    }
    // Nearest RGB555 level of each 8-bit value (as the decoder expands levels).
    std::uint8_t level[256];
    for (int v = 0; v < 256; ++v) {
        int best = 0, bd = 1000;
        for (int q = 0; q < 32; ++q) {
            const int e = (q << 3) | (q >> 2);
            if (std::abs(e - v) < bd) bd = std::abs(e - v), best = q;
        }
        level[v] = static_cast<std::uint8_t>(best);
    }
    AVFrame* in = av_frame_alloc();
    in->format = AV_PIX_FMT_RGB555;
    in->width = kW;
    in->height = kH;
    av_frame_get_buffer(in, 32);
    AVPacket* pkt = av_packet_alloc();
    std::vector<std::vector<std::uint8_t>> packets;
    double total_ms = 0, total_bytes = 0, max_ms = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        av_frame_make_writable(in);
        for (int y = 0; y < kH; ++y) {
            std::uint16_t* d = reinterpret_cast<std::uint16_t*>(in->data[0] + y * in->linesize[0]);
            const std::uint8_t* s = frames[i].data() + (kH - 1 - y) * kStride;
            for (int x = 0; x < kW; ++x)
                d[x] = static_cast<std::uint16_t>((level[s[x * 3 + 2]] << 10) | (level[s[x * 3 + 1]] << 5) | level[s[x * 3]]);
        }
        in->pts = static_cast<std::int64_t>(i);
        const double t0 = ThreadMs();
        avcodec_send_frame(ctx, in);
        const int rc = avcodec_receive_packet(ctx, pkt);
        const double t1 = ThreadMs();
        if (rc < 0) {
            std::fprintf(stderr, "reference encoder gave no packet\n");
            std::exit(1);
        }
        total_ms += t1 - t0;
        max_ms = std::max(max_ms, t1 - t0);
        total_bytes += pkt->size;
        packets.emplace_back(pkt->data, pkt->data + pkt->size);
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    av_frame_free(&in);
    avcodec_free_context(&ctx);
    Result r;
    r.ms = total_ms / frames.size();
    r.max_ms = max_ms;
    r.bytes = total_bytes / frames.size();
    r.psnr = DecodePsnr(packets, frames);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);

    std::printf("Microsoft Video 1, %dx%d, quality %d, key frame every %d, %d frames per sequence\n",
                kW, kH, kQuality, kKeyEvery, kFrames);
    std::printf("%-8s %-14s %10s %10s %12s %10s\n", "content", "encoder", "ms/frame", "max ms", "bytes/frame",
                "PSNR dB");
    Result busy_ours, busy_ref;
    for (int seq = 0; seq < 2; ++seq) {
        const char* name = seq == 0 ? "desktop" : "busy";
        const std::vector<Frame> frames = seq == 0 ? DesktopFrames() : BusyFrames();
        const Result one = RunOurs(frames, 1);
        const Result two = RunOurs(frames, 2);
        const Result ref = RunReference(frames);
        for (const auto& [label, r] : {std::pair<const char*, const Result&>{"ours 1 thread", one},
                                       {"ours 2 threads", two}, {"libavcodec", ref}})
            std::printf("%-8s %-14s %10.2f %10.2f %12.0f %10.2f\n", name, label, r.ms, r.max_ms, r.bytes, r.psnr);
        std::printf("%-8s ours digest %016llx (1 thread) %016llx (2 threads)\n", name,
                    static_cast<unsigned long long>(one.digest),
                    static_cast<unsigned long long>(two.digest));
        std::fflush(stdout);
        if (seq == 1) busy_ours = one, busy_ref = ref;
    }
    std::printf("busy %dx%d q%d: ours_ms=%.2f ref_ms=%.2f speedup=%.1f ours_psnr=%.2f ref_psnr=%.2f "
                "ours_bytes=%.0f ref_bytes=%.0f\n",
                kW, kH, kQuality, busy_ours.ms, busy_ref.ms, busy_ref.ms / busy_ours.ms, busy_ours.psnr,
                busy_ref.psnr, busy_ours.bytes, busy_ref.bytes);
    return 0;
}
