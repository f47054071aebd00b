// Microsoft Video 1 encoder: see msvideo1_encoder.h for the bit stream and the quality mapping.
#pragma GCC optimize("O3")
#include "platform/media/msvideo1_encoder.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

namespace platform::media {
namespace {

// 5-bit level -> the 8-bit value a decoder's RGB555 -> RGB24 expansion gives it.
struct Tables {
    std::uint8_t expand[32];
    std::uint8_t level[256];  // 8-bit value -> nearest 5-bit level
    Tables() {
        for (int q = 0; q < 32; ++q) expand[q] = static_cast<std::uint8_t>((q << 3) | (q >> 2));
        for (int v = 0; v < 256; ++v) {
            int best = 0, best_d = 1 << 20;
            for (int q = 0; q < 32; ++q) {
                int d = std::abs(expand[q] - v);
                if (d < best_d) best = q, best_d = d;
            }
            level[v] = static_cast<std::uint8_t>(best);
        }
    }
};
const Tables kT;

constexpr int kSkipMax = 1023;

struct Colour {
    int r, g, b;      // expanded 8-bit values
    std::uint16_t w;  // RGB555 word
};

inline Colour Quantise(int r, int g, int b) {
    const int lr = kT.level[r], lg = kT.level[g], lb = kT.level[b];
    return Colour{kT.expand[lr], kT.expand[lg], kT.expand[lb],
                  static_cast<std::uint16_t>((lr << 10) | (lg << 5) | lb)};
}

// Rounded mean of `sum` over `n` (n > 0), clamped to 0..255.
inline int Mean(int sum, int n) { return std::clamp((2 * sum + n) / (2 * n), 0, 255); }

inline int Dist(const int* R, const int* G, const int* B, int i, const Colour& c) {
    const int dr = R[i] - c.r, dg = G[i] - c.g, db = B[i] - c.b;
    return dr * dr + dg * dg + db * db;
}

struct Block {
    int R[16], G[16], B[16];
};

enum Mode { kSkip, kFill, kTwo, kEight };

struct Choice {
    Mode mode = kSkip;
    std::int64_t cost = std::numeric_limits<std::int64_t>::max();
};

inline void Put16(std::uint8_t*& p, unsigned v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p += 2;
}

}  // namespace

double MsVideo1Encoder::LambdaForQuality(int quality) {
    quality = std::clamp(quality, 0, 10000);
    return 128.0 * (std::pow(2.0, (10000 - quality) / 1000.0) - 1.0);
}

struct MsVideo1Encoder::Worker {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable cv;
    bool has_job = false, done = false, quit = false;
    bool key = false;
};

MsVideo1Encoder::MsVideo1Encoder(int width, int height, int quality, int key_frame_every, int threads)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      padded_width_((std::max(width, 1) + 3) & ~3),
      padded_height_((std::max(height, 1) + 3) & ~3),
      blocks_wide_(padded_width_ / 4),
      blocks_high_(padded_height_ / 4),
      key_frame_every_(key_frame_every),
      lambda_(static_cast<std::int64_t>(std::llround(LambdaForQuality(quality)))),
      allow_red_shift_(quality < 5000) {
    if (threads <= 0) threads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    threads_ = std::min(threads, 2);
    if (blocks_high_ < 2) threads_ = 1;
    recon_.assign(static_cast<std::size_t>(padded_width_) * 3 * padded_height_, 0);
    if (padded_width_ != width_ || padded_height_ != height_)
        padded_.assign(recon_.size(), 0);
    row_capacity_ = static_cast<std::size_t>(blocks_wide_) * 18 + (blocks_wide_ / kSkipMax + 2) * 2;
    rows_.assign(row_capacity_ * blocks_high_, 0);
    row_size_.assign(blocks_high_, 0);
    row_skip_.assign(blocks_high_, 0);
    out_.reserve(rows_.size());
    if (threads_ == 2) {
        worker_ = std::make_unique<Worker>();
        Worker* w = worker_.get();
        w->thread = std::thread([this, w] {
            std::unique_lock<std::mutex> lock(w->mutex);
            for (;;) {
                w->cv.wait(lock, [w] { return w->has_job || w->quit; });
                if (w->quit) return;
                w->has_job = false;
                const bool key = w->key;
                lock.unlock();
                RunRows(key);
                lock.lock();
                w->done = true;
                w->cv.notify_all();
            }
        });
    }
}

MsVideo1Encoder::~MsVideo1Encoder() {
    if (worker_) {
        {
            std::lock_guard<std::mutex> lock(worker_->mutex);
            worker_->quit = true;
        }
        worker_->cv.notify_all();
        worker_->thread.join();
    }
}

const std::vector<std::uint8_t>& MsVideo1Encoder::Encode(const std::uint8_t* dib, bool* key_out,
                                                         bool force_key, std::size_t stride) {
    if (stride == 0) stride = DibStride(width_);
    bool key = force_key || frame_count_ == 0 ||
               (key_frame_every_ > 0 && frame_count_ % key_frame_every_ == 0);
    // The padded picture: source rows shifted up by the padding rows (the bottom of the picture
    // is the start of a bottom-up buffer), each row extended by its last pixel.
    if (!padded_.empty()) {
        const int pad_rows = padded_height_ - height_;
        const std::size_t pstride = static_cast<std::size_t>(padded_width_) * 3;
        for (int r = 0; r < padded_height_; ++r) {
            const int sr = std::max(r - pad_rows, 0);
            const std::uint8_t* s = dib + sr * stride;
            std::uint8_t* d = padded_.data() + r * pstride;
            std::memcpy(d, s, static_cast<std::size_t>(width_) * 3);
            for (int x = width_; x < padded_width_; ++x) std::memcpy(d + x * 3, s + (width_ - 1) * 3, 3);
        }
        src_ = padded_.data();
        src_stride_ = pstride;
    } else {
        src_ = dib;
        src_stride_ = stride;
    }

    next_row_.store(0);
    if (threads_ == 2) {
        {
            std::lock_guard<std::mutex> lock(worker_->mutex);
            worker_->key = key;
            worker_->done = false;
            worker_->has_job = true;
        }
        worker_->cv.notify_all();
        RunRows(key);
        std::unique_lock<std::mutex> lock(worker_->mutex);
        worker_->cv.wait(lock, [this] { return worker_->done; });
    } else {
        RunRows(key);
    }
    bool any_skip = false;
    out_.clear();
    for (int r = 0; r < blocks_high_; ++r) {
        const std::uint8_t* p = rows_.data() + r * row_capacity_;
        out_.insert(out_.end(), p, p + row_size_[r]);
        any_skip = any_skip || row_skip_[r];
    }
    // A frame coded without any skip does not depend on the previous one.
    if (!any_skip) key = true;
    ++frame_count_;
    if (key_out) *key_out = key;
    return out_;
}

void MsVideo1Encoder::RunRows(bool key) {
    for (;;) {
        const int row = next_row_.fetch_add(1);
        if (row >= blocks_high_) return;
        std::uint8_t* o = rows_.data() + row * row_capacity_;
        bool skipped = false;
        row_size_[row] = EncodeRow(row, key, o, &skipped);
        row_skip_[row] = skipped;
    }
}

__attribute__((target_clones("avx2", "default")))
std::size_t MsVideo1Encoder::EncodeRow(int by, bool key, std::uint8_t* const out, bool* any_skip_out) {
    std::uint8_t* o = out;
    const std::int64_t lambda = lambda_;
    const std::size_t rstride = static_cast<std::size_t>(padded_width_) * 3;
    int skips = 0;
    bool any_skip = false;
    Block blk;
    int* const R = blk.R;
    int* const G = blk.G;
    int* const B = blk.B;

    {
        const std::uint8_t* srow = src_ + static_cast<std::size_t>(by) * 4 * src_stride_;
        std::uint8_t* rrow = recon_.data() + static_cast<std::size_t>(by) * 4 * rstride;
        for (int bx = 0; bx < blocks_wide_; ++bx) {
            const std::uint8_t* sp = srow + bx * 12;
            std::uint8_t* rp = rrow + bx * 12;
            Choice best;
            // Skip: the error against what the decoder shows now.
            if (!key) {
                int sse = 0;
                for (int y = 0; y < 4; ++y) {
                    const std::uint8_t* a = sp + y * src_stride_;
                    const std::uint8_t* b = rp + y * rstride;
                    for (int k = 0; k < 12; ++k) {
                        const int d = a[k] - b[k];
                        sse += d * d;
                    }
                }
                if (sse <= 2 * lambda) {
                    // No coded block can cost less than 2 bytes.
                    any_skip = true;
                    if (++skips == kSkipMax) {
                        Put16(o, 0x8400 | skips);
                        skips = 0;
                    }
                    continue;
                }
                best.mode = kSkip;
                best.cost = sse;
            }
            // Gather the block: pixel i = 4*y + x, y from the block's bottom row up.
            for (int y = 0; y < 4; ++y) {
                const std::uint8_t* a = sp + y * src_stride_;
                for (int x = 0; x < 4; ++x) {
                    B[y * 4 + x] = a[x * 3];
                    G[y * 4 + x] = a[x * 3 + 1];
                    R[y * 4 + x] = a[x * 3 + 2];
                }
            }
            int Sr = 0, Sg = 0, Sb = 0, Qr = 0, Qg = 0, Qb = 0;
            for (int i = 0; i < 16; ++i) {
                Sr += R[i], Sg += G[i], Sb += B[i];
                Qr += R[i] * R[i], Qg += G[i] * G[i], Qb += B[i] * B[i];
            }
            const int Q = Qr + Qg + Qb;
            // Fill.
            Colour fill = Quantise(Mean(Sr, 16), Mean(Sg, 16), Mean(Sb, 16));
            auto fill_sse = [&](const Colour& c) {
                return Q - 2 * (c.r * Sr + c.g * Sg + c.b * Sb) + 16 * (c.r * c.r + c.g * c.g + c.b * c.b);
            };
            int fill_bytes = 2;
            std::int64_t fill_cost;
            if ((fill.w >> 10) == 1) {
                // Red level 1 would read as a skip word: either a two-colour block of one colour
                // (6 bytes, exact) or the nearest allowed red level.
                Colour alt = fill;
                const int mr = Mean(Sr, 16);
                const int lr = (std::abs(mr - kT.expand[0]) <= std::abs(mr - kT.expand[2])) ? 0 : 2;
                alt.r = kT.expand[lr];
                alt.w = static_cast<std::uint16_t>((fill.w & 0x3FF) | (lr << 10));
                const std::int64_t c6 = fill_sse(fill) + 6 * lambda;
                const std::int64_t c2 = fill_sse(alt) + 2 * lambda;
                if (allow_red_shift_ && c2 <= c6) fill = alt, fill_cost = c2;
                else fill_bytes = 6, fill_cost = c6;
            } else {
                fill_cost = fill_sse(fill) + 2 * lambda;
            }
            if (fill_cost < best.cost) best.mode = kFill, best.cost = fill_cost;

            Colour two[2];
            int two_k[16];
            Colour eight[8];
            int eight_k[16];
            const int var16 = 16 * Q - (Sr * Sr + Sg * Sg + Sb * Sb);  // 16 * spread around mean
            if (best.cost > 6 * lambda && var16 > 0) {
                // Two colours: split along the main axis of the colours, then one refinement.
                const float n = 16.0f;
                int Prg = 0, Prb = 0, Pgb = 0;
                for (int i = 0; i < 16; ++i) Prg += R[i] * G[i], Prb += R[i] * B[i], Pgb += G[i] * B[i];
                const float crr = Qr - Sr * (float)Sr / n, cgg = Qg - Sg * (float)Sg / n,
                            cbb = Qb - Sb * (float)Sb / n;
                const float crg = Prg - Sr * (float)Sg / n, crb = Prb - Sr * (float)Sb / n,
                            cgb = Pgb - Sg * (float)Sb / n;
                float vr, vg, vb;
                if (crr >= cgg && crr >= cbb) vr = crr, vg = crg, vb = crb;
                else if (cgg >= cbb) vr = crg, vg = cgg, vb = cgb;
                else vr = crb, vg = cgb, vb = cbb;
                for (int it = 0; it < 2; ++it) {
                    const float nr = crr * vr + crg * vg + crb * vb;
                    const float ng = crg * vr + cgg * vg + cgb * vb;
                    const float nb = crb * vr + cgb * vg + cbb * vb;
                    const float m = std::max({std::fabs(nr), std::fabs(ng), std::fabs(nb)});
                    if (m <= 0.0f) break;
                    vr = nr / m, vg = ng / m, vb = nb / m;
                }
                const int wr = static_cast<int>(std::lround(vr * 256.0f));
                const int wg = static_cast<int>(std::lround(vg * 256.0f));
                const int wb = static_cast<int>(std::lround(vb * 256.0f));
                const int t = wr * Sr + wg * Sg + wb * Sb;
                int S1r = 0, S1g = 0, S1b = 0, n1 = 0;
                for (int i = 0; i < 16; ++i) {
                    const int m = (16 * (wr * R[i] + wg * G[i] + wb * B[i]) > t) ? 1 : 0;
                    two_k[i] = m;
                    S1r += m * R[i], S1g += m * G[i], S1b += m * B[i], n1 += m;
                }
                if (n1 > 0 && n1 < 16) {
                    int sse2 = 0;
                    for (int pass = 0; pass < 2; ++pass) {
                        const int n0 = 16 - n1;
                        two[1] = Quantise(Mean(S1r, n1), Mean(S1g, n1), Mean(S1b, n1));
                        two[0] = Quantise(Mean(Sr - S1r, n0), Mean(Sg - S1g, n0), Mean(Sb - S1b, n0));
                        sse2 = 0;
                        S1r = S1g = S1b = n1 = 0;
                        for (int i = 0; i < 16; ++i) {
                            const int d0 = Dist(R, G, B, i, two[0]);
                            const int d1 = Dist(R, G, B, i, two[1]);
                            const int m = d1 < d0 ? 1 : 0;
                            two_k[i] = m;
                            sse2 += m ? d1 : d0;
                            S1r += m * R[i], S1g += m * G[i], S1b += m * B[i], n1 += m;
                        }
                        if (pass == 0 && (n1 == 0 || n1 == 16)) break;
                    }
                    const std::int64_t cost2 = sse2 + 6 * lambda;
                    if (cost2 < best.cost) best.mode = kTwo, best.cost = cost2;
                }
                if (best.cost > 18 * lambda) {
                    // Eight colours: each 2x2 quadrant gets the best split of its four pixels.
                    int sse8 = 0;
                    for (int q = 0; q < 4; ++q) {
                        const int i0 = (q >> 1) * 8 + (q & 1) * 2;
                        const int idx[4] = {i0, i0 + 1, i0 + 4, i0 + 5};
                        int tr = 0, tg = 0, tb = 0;
                        for (int k = 0; k < 4; ++k) tr += R[idx[k]], tg += G[idx[k]], tb += B[idx[k]];
                        // Score = 6 * sum over groups of |group sum|^2 / group size (maximised).
                        int best_mask = 0, best_score = -1;
                        for (int a = 0; a < 4; ++a) {
                            const int ar = R[idx[a]], ag = G[idx[a]], ab = B[idx[a]];
                            const int rr = tr - ar, rg = tg - ag, rb = tb - ab;
                            const int s = 6 * (ar * ar + ag * ag + ab * ab) + 2 * (rr * rr + rg * rg + rb * rb);
                            if (s > best_score) best_score = s, best_mask = 1 << a;
                        }
                        static const int kPairs[3][2] = {{0, 1}, {0, 2}, {0, 3}};
                        for (int p = 0; p < 3; ++p) {
                            const int a = kPairs[p][0], b = kPairs[p][1];
                            const int pr = R[idx[a]] + R[idx[b]], pg = G[idx[a]] + G[idx[b]],
                                      pb = B[idx[a]] + B[idx[b]];
                            const int qr = tr - pr, qg = tg - pg, qb = tb - pb;
                            const int s = 3 * (pr * pr + pg * pg + pb * pb) + 3 * (qr * qr + qg * qg + qb * qb);
                            if (s > best_score) best_score = s, best_mask = (1 << a) | (1 << b);
                        }
                        int s1r = 0, s1g = 0, s1b = 0, c1 = 0;
                        for (int k = 0; k < 4; ++k)
                            if (best_mask >> k & 1) s1r += R[idx[k]], s1g += G[idx[k]], s1b += B[idx[k]], ++c1;
                        Colour& e1 = eight[2 * q + 1];
                        Colour& e0 = eight[2 * q];
                        e1 = Quantise(Mean(s1r, c1), Mean(s1g, c1), Mean(s1b, c1));
                        e0 = Quantise(Mean(tr - s1r, 4 - c1), Mean(tg - s1g, 4 - c1), Mean(tb - s1b, 4 - c1));
                        for (int k = 0; k < 4; ++k) {
                            const int d0 = Dist(R, G, B, idx[k], e0);
                            const int d1 = Dist(R, G, B, idx[k], e1);
                            const int m = d1 < d0 ? 1 : 0;
                            eight_k[idx[k]] = m;
                            sse8 += m ? d1 : d0;
                        }
                    }
                    const std::int64_t cost8 = sse8 + 18 * lambda;
                    if (cost8 < best.cost) best.mode = kEight, best.cost = cost8;
                }
            }

            if (best.mode == kSkip) {
                any_skip = true;
                if (++skips == kSkipMax) {
                    Put16(o, 0x8400 | skips);
                    skips = 0;
                }
                continue;
            }
            if (skips) {
                Put16(o, 0x8400 | skips);
                skips = 0;
            }
            switch (best.mode) {
            case kFill: {
                if (fill_bytes == 2) {
                    Put16(o, 0x8000 | fill.w);
                } else {
                    Put16(o, 0);  // every pixel takes the second colour
                    Put16(o, fill.w);
                    Put16(o, fill.w);
                }
                for (int y = 0; y < 4; ++y) {
                    std::uint8_t* d = rp + y * rstride;
                    for (int x = 0; x < 4; ++x) {
                        d[x * 3] = static_cast<std::uint8_t>(fill.b);
                        d[x * 3 + 1] = static_cast<std::uint8_t>(fill.g);
                        d[x * 3 + 2] = static_cast<std::uint8_t>(fill.r);
                    }
                }
                break;
            }
            case kTwo: {
                // Flag set = first colour; bit 15 must be clear, so pixel 15 takes the second.
                if (two_k[15] == 0) {
                    std::swap(two[0], two[1]);
                    for (int i = 0; i < 16; ++i) two_k[i] ^= 1;
                }
                unsigned flags = 0;
                for (int i = 0; i < 16; ++i) flags |= static_cast<unsigned>(two_k[i] == 0) << i;
                Put16(o, flags);
                Put16(o, two[0].w);
                Put16(o, two[1].w);
                for (int y = 0; y < 4; ++y) {
                    std::uint8_t* d = rp + y * rstride;
                    for (int x = 0; x < 4; ++x) {
                        const Colour& c = two[two_k[y * 4 + x]];
                        d[x * 3] = static_cast<std::uint8_t>(c.b);
                        d[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
                        d[x * 3 + 2] = static_cast<std::uint8_t>(c.r);
                    }
                }
                break;
            }
            case kEight: {
                if (eight_k[15] == 0) {
                    std::swap(eight[6], eight[7]);
                    for (int i : {10, 11, 14, 15}) eight_k[i] ^= 1;
                }
                unsigned flags = 0;
                for (int i = 0; i < 16; ++i) flags |= static_cast<unsigned>(eight_k[i] == 0) << i;
                Put16(o, flags);
                Put16(o, 0x8000 | eight[0].w);
                for (int c = 1; c < 8; ++c) Put16(o, eight[c].w);
                for (int y = 0; y < 4; ++y) {
                    std::uint8_t* d = rp + y * rstride;
                    for (int x = 0; x < 4; ++x) {
                        const int q = (y >> 1) * 2 + (x >> 1);
                        const Colour& c = eight[2 * q + eight_k[y * 4 + x]];
                        d[x * 3] = static_cast<std::uint8_t>(c.b);
                        d[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
                        d[x * 3 + 2] = static_cast<std::uint8_t>(c.r);
                    }
                }
                break;
            }
            default:
                break;
            }
        }
    }
    if (skips) Put16(o, 0x8400 | skips);
    *any_skip_out = any_skip;
    return static_cast<std::size_t>(o - out);
}

}  // namespace platform::media
