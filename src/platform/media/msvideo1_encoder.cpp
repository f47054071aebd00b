// Microsoft Video 1 encoder: see msvideo1_encoder.h for the bit stream and the quality mapping.
#pragma GCC optimize("O3")
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wpsabi"
#include "platform/media/msvideo1_encoder.h"

#include "platform/media/dib.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

// x86 builds compute the block error with SSE2 and build the row coder twice (AVX2 and the
// baseline, chosen when the program loads); other processors, or a build with RZ_PLAIN_CXX, use
// plain C++ alone. Every path gives the same bytes.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__) && !defined(RZ_PLAIN_CXX)
#define RZ_X86_SIMD 1
#include <emmintrin.h>
#define RZ_ROW_CODER_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define RZ_X86_SIMD 0
#define RZ_ROW_CODER_CLONES
#endif

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

// Rounded mean of `sum` (0..16*255) over `n` (1..16): (2 sum + n) / (2 n) by a multiplication
// with a reciprocal, exact for these ranges (numerator < 2^13, divisor <= 32, shift 20).
struct Reciprocals {
    std::uint64_t m[17];
    Reciprocals() {
        m[0] = 0;
        for (int n = 1; n <= 16; ++n) m[n] = ((1ull << 20) + 2 * n - 1) / (2 * n);
    }
};
const Reciprocals kRecip;
inline int Mean(int sum, int n) {
    return static_cast<int>((static_cast<std::uint64_t>(2 * sum + n) * kRecip.m[n]) >> 20);
}

// Eight 32-bit lanes (GCC vector extension: the same integer arithmetic in every build, in
// AVX2 registers where the CPU has them).
typedef int V8 __attribute__((vector_size(32)));

inline V8 Load8(const int* p) {
    V8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store8(int* p, V8 v) { std::memcpy(p, &v, sizeof v); }
typedef int V4h __attribute__((vector_size(16)));
inline int Sum8(V8 v) {
    V4h lo, hi;
    std::memcpy(&lo, &v, sizeof lo);
    std::memcpy(&hi, reinterpret_cast<const char*>(&v) + sizeof lo, sizeof hi);
    V4h s = lo + hi;
    s += __builtin_shuffle(s, V4h{2, 3, 0, 1});
    s += __builtin_shuffle(s, V4h{1, 0, 3, 2});
    return s[0];
}

// Assigns each of the 16 pixels to the nearer of two colours, storing 1 in k[i] when it takes
// the second; returns the squared error.
inline int Assign2(const int* R, const int* G, const int* B, int r0, int g0, int b0, int r1, int g1, int b1, int* k) {
    V8 acc = {};
    for (int h = 0; h < 16; h += 8) {
        const V8 vr = Load8(R + h), vg = Load8(G + h), vb = Load8(B + h);
        const V8 ar = vr - r0, ag = vg - g0, ab = vb - b0;
        const V8 cr = vr - r1, cg = vg - g1, cb = vb - b1;
        const V8 d0 = ar * ar + ag * ag + ab * ab;
        const V8 d1 = cr * cr + cg * cg + cb * cb;
        const V8 m = d1 < d0;
        Store8(k + h, m & 1);
        acc += (d1 & m) | (d0 & ~m);
    }
    return Sum8(acc);
}

// Four 32-bit lanes: the four 2x2 quadrants of a block side by side.
typedef int V4 __attribute__((vector_size(16)));
inline V4 Load4(const int* p) {
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store4(int* p, V4 v) { std::memcpy(p, &v, sizeof v); }

// Pixels are kept in "slot" order inside the encoder: slot 4*k + q holds pixel k (0..3: bottom
// left, bottom right, top left, top right) of quadrant q (0..3: bottom left, bottom right, top
// left, top right), so that each of the four pixel rows k is one V4 over the quadrants.
// kPixelOfSlot gives the stream's pixel index i = 4*y + x of a slot (y from the block's bottom).
constexpr int kPixelOfSlot[16] = {0, 2, 8, 10, 1, 3, 9, 11, 4, 6, 12, 14, 5, 7, 13, 15};
constexpr int kSlotOfPixel[16] = {0, 4, 1, 5, 8, 12, 9, 13, 2, 6, 3, 7, 10, 14, 11, 15};

// Sums of the pixels whose k[i] is 1 (k holds 0 or 1), and their count.
inline void MaskedSums(const int* R, const int* G, const int* B, const int* k, int* sr, int* sg, int* sb, int* n) {
    V8 ar = {}, ag = {}, ab = {}, an = {};
    for (int h = 0; h < 16; h += 8) {
        const V8 m = -Load8(k + h);  // 0 / -1
        ar += Load8(R + h) & m;
        ag += Load8(G + h) & m;
        ab += Load8(B + h) & m;
        an -= m;
    }
    *sr = Sum8(ar), *sg = Sum8(ag), *sb = Sum8(ab), *n = Sum8(an);
}

// Squared error between two 4x4 blocks of packed 24-bit pixels (12 bytes per row). Reads exactly
// the 12 bytes of each row (8 + 4), never beyond.
#if RZ_X86_SIMD
inline int BlockSse(const std::uint8_t* a, std::size_t astride, const std::uint8_t* b, std::size_t bstride) {
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* pa = a + y * astride;
        const std::uint8_t* pb = b + y * bstride;
        std::uint32_t ta, tb;
        std::memcpy(&ta, pa + 8, 4);
        std::memcpy(&tb, pb + 8, 4);
        const __m128i va = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pa)),
                                              _mm_cvtsi32_si128(static_cast<int>(ta)));
        const __m128i vb = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pb)),
                                              _mm_cvtsi32_si128(static_cast<int>(tb)));
        const __m128i dlo = _mm_sub_epi16(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
        const __m128i dhi = _mm_sub_epi16(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
        acc = _mm_add_epi32(acc, _mm_add_epi32(_mm_madd_epi16(dlo, dlo), _mm_madd_epi16(dhi, dhi)));
    }
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(acc);
}
#else
inline int BlockSse(const std::uint8_t* a, std::size_t astride, const std::uint8_t* b, std::size_t bstride) {
    int sum = 0;
    for (int y = 0; y < 4; ++y)
        for (int i = 0; i < 12; ++i) {
            const int d = a[y * astride + i] - b[y * bstride + i];
            sum += d * d;
        }
    return sum;
}
#endif

inline void Put16(std::uint8_t*& p, unsigned v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p += 2;
}

// The row coder's helpers are inlined into it, so that each build of the row coder (see
// RZ_ROW_CODER_CLONES) runs them with its own instructions.
#define RZ_ROW_INLINE inline __attribute__((always_inline))

enum Mode { kSkip, kFill, kTwo, kEight };

// Runs of skipped blocks: a run is written before the next coded block, at the row's end, or
// when it reaches kSkipMax.
struct SkipRun {
    int count = 0;
    bool any = false;
    RZ_ROW_INLINE void Add(std::uint8_t*& o) {
        any = true;
        if (++count == kSkipMax) Flush(o);
    }
    RZ_ROW_INLINE void Flush(std::uint8_t*& o) {
        if (count) Put16(o, 0x8400 | count);
        count = 0;
    }
};

// A 4x4 block in slot order (see kSlotOfPixel).
struct Block {
    int R[16], G[16], B[16];
};

RZ_ROW_INLINE void GatherBlock(const std::uint8_t* sp, std::size_t stride, Block& blk) {
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* a = sp + y * stride;
        for (int x = 0; x < 4; ++x) {
            const int slot = kSlotOfPixel[y * 4 + x];
            blk.B[slot] = a[x * 3];
            blk.G[slot] = a[x * 3 + 1];
            blk.R[slot] = a[x * 3 + 2];
        }
    }
}

// Sums and sums of squares of the block's channels.
struct BlockStats {
    int Sr, Sg, Sb, Qr, Qg, Qb, Q;
    // 16 times the spread around the mean; 0 for a flat block.
    int Spread() const { return 16 * Q - (Sr * Sr + Sg * Sg + Sb * Sb); }
};

RZ_ROW_INLINE BlockStats Stats(const Block& blk) {
    V8 sr = {}, sg = {}, sb = {}, qr = {}, qg = {}, qb = {};
    for (int h = 0; h < 16; h += 8) {
        const V8 vr = Load8(blk.R + h), vg = Load8(blk.G + h), vb = Load8(blk.B + h);
        sr += vr, sg += vg, sb += vb;
        qr += vr * vr, qg += vg * vg, qb += vb * vb;
    }
    BlockStats s;
    s.Sr = Sum8(sr), s.Sg = Sum8(sg), s.Sb = Sum8(sb);
    s.Qr = Sum8(qr), s.Qg = Sum8(qg), s.Qb = Sum8(qb);
    s.Q = s.Qr + s.Qg + s.Qb;
    return s;
}

// One colour: the block's rounded mean colour.
struct FillChoice {
    Colour colour;
    int bytes;  // 2, or 6 when sent as a two-colour block of one colour
    std::int64_t cost;
};

RZ_ROW_INLINE FillChoice ChooseFill(const BlockStats& s, std::int64_t lambda, bool allow_red_shift) {
    FillChoice fill{Quantise((s.Sr + 8) >> 4, (s.Sg + 8) >> 4, (s.Sb + 8) >> 4), 2, 0};
    auto sse = [&s](const Colour& c) {
        return s.Q - 2 * (c.r * s.Sr + c.g * s.Sg + c.b * s.Sb) + 16 * (c.r * c.r + c.g * c.g + c.b * c.b);
    };
    if ((fill.colour.w >> 10) != 1) {
        fill.cost = sse(fill.colour) + 2 * lambda;
        return fill;
    }
    // Red level 1 would read as a skip word: either a two-colour block of one colour (6 bytes,
    // exact) or the nearest allowed red level.
    Colour alt = fill.colour;
    const int mr = (s.Sr + 8) >> 4;
    const int lr = (std::abs(mr - kT.expand[0]) <= std::abs(mr - kT.expand[2])) ? 0 : 2;
    alt.r = kT.expand[lr];
    alt.w = static_cast<std::uint16_t>((fill.colour.w & 0x3FF) | (lr << 10));
    const std::int64_t c6 = sse(fill.colour) + 6 * lambda;
    const std::int64_t c2 = sse(alt) + 2 * lambda;
    if (allow_red_shift && c2 <= c6) {
        fill.colour = alt;
        fill.cost = c2;
    } else {
        fill.bytes = 6;
        fill.cost = c6;
    }
    return fill;
}

// Two colours for the whole block; k[slot] 1 picks the second.
struct TwoChoice {
    Colour colour[2];
    int k[16];
    std::int64_t cost = std::numeric_limits<std::int64_t>::max();  // max: no split
};

// The main axis of the block's colours, from two power iterations on their covariance.
RZ_ROW_INLINE void MainAxis(const Block& blk, const BlockStats& s, int* wr, int* wg, int* wb) {
    const float n = 16.0f;
    int Prg, Prb, Pgb;
    {
        V8 prg = {}, prb = {}, pgb = {};
        for (int h = 0; h < 16; h += 8) {
            const V8 vr = Load8(blk.R + h), vg = Load8(blk.G + h), vb = Load8(blk.B + h);
            prg += vr * vg, prb += vr * vb, pgb += vg * vb;
        }
        Prg = Sum8(prg), Prb = Sum8(prb), Pgb = Sum8(pgb);
    }
    const float crr = s.Qr - s.Sr * (float)s.Sr / n, cgg = s.Qg - s.Sg * (float)s.Sg / n,
                cbb = s.Qb - s.Sb * (float)s.Sb / n;
    const float crg = Prg - s.Sr * (float)s.Sg / n, crb = Prb - s.Sr * (float)s.Sb / n,
                cgb = Pgb - s.Sg * (float)s.Sb / n;
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
    *wr = static_cast<int>(std::lround(vr * 256.0f));
    *wg = static_cast<int>(std::lround(vg * 256.0f));
    *wb = static_cast<int>(std::lround(vb * 256.0f));
}

// Split along the main axis through the mean, then one refinement of the two means.
RZ_ROW_INLINE void ChooseTwo(const Block& blk, const BlockStats& s, std::int64_t lambda, TwoChoice& two) {
    const int* R = blk.R;
    const int* G = blk.G;
    const int* B = blk.B;
    int wr, wg, wb;
    MainAxis(blk, s, &wr, &wg, &wb);
    const int t = wr * s.Sr + wg * s.Sg + wb * s.Sb;
    int S1r = 0, S1g = 0, S1b = 0, n1 = 0;
    for (int h = 0; h < 16; h += 8) {
        const V8 p = (Load8(R + h) * wr + Load8(G + h) * wg + Load8(B + h) * wb) * 16;
        Store8(two.k + h, (p > t) & 1);
    }
    MaskedSums(R, G, B, two.k, &S1r, &S1g, &S1b, &n1);
    if (n1 <= 0 || n1 >= 16) return;
    int sse2 = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const int n0 = 16 - n1;
        two.colour[1] = Quantise(Mean(S1r, n1), Mean(S1g, n1), Mean(S1b, n1));
        two.colour[0] = Quantise(Mean(s.Sr - S1r, n0), Mean(s.Sg - S1g, n0), Mean(s.Sb - S1b, n0));
        sse2 = Assign2(R, G, B, two.colour[0].r, two.colour[0].g, two.colour[0].b, two.colour[1].r,
                       two.colour[1].g, two.colour[1].b, two.k);
        MaskedSums(R, G, B, two.k, &S1r, &S1g, &S1b, &n1);
        if (pass == 0 && (n1 == 0 || n1 == 16)) break;
    }
    two.cost = sse2 + 6 * lambda;
}

// Eight colours: a pair per 2x2 quadrant; k[slot] 1 picks the second of the quadrant's pair.
struct EightChoice {
    Colour colour[8];
    int k[16];
    std::int64_t cost = std::numeric_limits<std::int64_t>::max();
};

// Each 2x2 quadrant gets the best split of its four pixels. Rows k of the four quadrants side
// by side (slot order), without branches.
RZ_ROW_INLINE void ChooseEight(const Block& blk, std::int64_t lambda, EightChoice& eight) {
    V4 XR[4], XG[4], XB[4];
    for (int k = 0; k < 4; ++k) XR[k] = Load4(blk.R + 4 * k), XG[k] = Load4(blk.G + 4 * k), XB[k] = Load4(blk.B + 4 * k);
    const V4 TR = XR[0] + XR[1] + XR[2] + XR[3];
    const V4 TG = XG[0] + XG[1] + XG[2] + XG[3];
    const V4 TB = XB[0] + XB[1] + XB[2] + XB[3];
    V4 bscore = {-1, -1, -1, -1}, bmask = {0, 0, 0, 0};
    // Score = 6 * sum over groups of |group sum|^2 / group size (maximised).
    for (int a = 0; a < 4; ++a) {
        const V4 rr = TR - XR[a], rg = TG - XG[a], rb = TB - XB[a];
        const V4 sc = 6 * (XR[a] * XR[a] + XG[a] * XG[a] + XB[a] * XB[a]) + 2 * (rr * rr + rg * rg + rb * rb);
        const V4 better = sc > bscore;
        bscore = (sc & better) | (bscore & ~better);
        bmask = ((1 << a) & better) | (bmask & ~better);
    }
    for (int b = 1; b < 4; ++b) {
        const V4 pr = XR[0] + XR[b], pg = XG[0] + XG[b], pb = XB[0] + XB[b];
        const V4 qr = TR - pr, qg = TG - pg, qb = TB - pb;
        const V4 sc = 3 * (pr * pr + pg * pg + pb * pb) + 3 * (qr * qr + qg * qg + qb * qb);
        const V4 better = sc > bscore;
        bscore = (sc & better) | (bscore & ~better);
        bmask = ((1 | (1 << b)) & better) | (bmask & ~better);
    }
    V4 S1R = {}, S1G = {}, S1B = {}, C1 = {};
    for (int k = 0; k < 4; ++k) {
        const V4 bit = (bmask >> k) & 1;
        const V4 m = -bit;
        S1R += XR[k] & m, S1G += XG[k] & m, S1B += XB[k] & m, C1 += bit;
    }
    // Rounded group means, (2 sum + n) / (2 n) for n = 1..3, by a reciprocal (exact: numerators
    // < 2^11, multiplier ceil(2^16 / 2n)).
    static constexpr int kRec16[5] = {0, 32768, 16384, 10923, 8192};
    const V4 C0 = 4 - C1;
    V4 rec1, rec0;
    for (int q = 0; q < 4; ++q) rec1[q] = kRec16[C1[q]], rec0[q] = kRec16[C0[q]];
    const V4 M1R = ((2 * S1R + C1) * rec1) >> 16, M1G = ((2 * S1G + C1) * rec1) >> 16,
             M1B = ((2 * S1B + C1) * rec1) >> 16;
    const V4 M0R = ((2 * (TR - S1R) + C0) * rec0) >> 16, M0G = ((2 * (TG - S1G) + C0) * rec0) >> 16,
             M0B = ((2 * (TB - S1B) + C0) * rec0) >> 16;
    V4 E0R, E0G, E0B, E1R, E1G, E1B;
    for (int q = 0; q < 4; ++q) {
        Colour& e1 = eight.colour[2 * q + 1];
        Colour& e0 = eight.colour[2 * q];
        e1 = Quantise(M1R[q], M1G[q], M1B[q]);
        e0 = Quantise(M0R[q], M0G[q], M0B[q]);
        E0R[q] = e0.r, E0G[q] = e0.g, E0B[q] = e0.b;
        E1R[q] = e1.r, E1G[q] = e1.g, E1B[q] = e1.b;
    }
    V4 acc = {};
    for (int k = 0; k < 4; ++k) {
        const V4 ar = XR[k] - E0R, ag = XG[k] - E0G, ab = XB[k] - E0B;
        const V4 cr = XR[k] - E1R, cg = XG[k] - E1G, cb = XB[k] - E1B;
        const V4 d0 = ar * ar + ag * ag + ab * ab;
        const V4 d1 = cr * cr + cg * cg + cb * cb;
        const V4 m = d1 < d0;
        Store4(eight.k + 4 * k, m & 1);
        acc += (d1 & m) | (d0 & ~m);
    }
    V4 acc2 = acc + __builtin_shuffle(acc, V4{2, 3, 0, 1});
    acc2 += __builtin_shuffle(acc2, V4{1, 0, 3, 2});
    eight.cost = acc2[0] + 18 * lambda;
}

// The decoder's picture of the block: colourAt(x, y) for each pixel (y from the block's bottom).
template <class ColourAt>
RZ_ROW_INLINE void Reconstruct(std::uint8_t* rp, std::size_t rstride, ColourAt colourAt) {
    for (int y = 0; y < 4; ++y) {
        std::uint8_t* d = rp + y * rstride;
        for (int x = 0; x < 4; ++x) {
            const Colour& c = colourAt(x, y);
            d[x * 3] = static_cast<std::uint8_t>(c.b);
            d[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
            d[x * 3 + 2] = static_cast<std::uint8_t>(c.r);
        }
    }
}

// Flag bits of a block: bit i set when pixel i takes the first colour of its pair (k 0).
RZ_ROW_INLINE unsigned Flags(const int* k) {
    unsigned flags = 0;
    for (int i = 0; i < 16; ++i) flags |= static_cast<unsigned>(k[i] == 0) << kPixelOfSlot[i];
    return flags;
}

RZ_ROW_INLINE void WriteFill(std::uint8_t*& o, const FillChoice& fill, std::uint8_t* rp, std::size_t rstride) {
    if (fill.bytes == 2) {
        Put16(o, 0x8000 | fill.colour.w);
    } else {
        Put16(o, 0);  // every pixel takes the second colour
        Put16(o, fill.colour.w);
        Put16(o, fill.colour.w);
    }
    Reconstruct(rp, rstride, [&fill](int, int) -> const Colour& { return fill.colour; });
}

RZ_ROW_INLINE void WriteTwo(std::uint8_t*& o, TwoChoice& two, std::uint8_t* rp, std::size_t rstride) {
    // Flag set = first colour; bit 15 must be clear, so pixel 15 takes the second.
    if (two.k[kSlotOfPixel[15]] == 0) {
        std::swap(two.colour[0], two.colour[1]);
        for (int i = 0; i < 16; ++i) two.k[i] ^= 1;
    }
    Put16(o, Flags(two.k));
    Put16(o, two.colour[0].w);
    Put16(o, two.colour[1].w);
    Reconstruct(rp, rstride, [&two](int x, int y) -> const Colour& {
        return two.colour[two.k[kSlotOfPixel[y * 4 + x]]];
    });
}

RZ_ROW_INLINE void WriteEight(std::uint8_t*& o, EightChoice& eight, std::uint8_t* rp, std::size_t rstride) {
    if (eight.k[kSlotOfPixel[15]] == 0) {
        std::swap(eight.colour[6], eight.colour[7]);
        for (int k = 0; k < 4; ++k) eight.k[4 * k + 3] ^= 1;  // the slots of quadrant 3
    }
    Put16(o, Flags(eight.k));
    Put16(o, 0x8000 | eight.colour[0].w);
    for (int c = 1; c < 8; ++c) Put16(o, eight.colour[c].w);
    Reconstruct(rp, rstride, [&eight](int x, int y) -> const Colour& {
        const int q = (y >> 1) * 2 + (x >> 1);
        return eight.colour[2 * q + eight.k[kSlotOfPixel[y * 4 + x]]];
    });
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
    if (stride == 0) stride = static_cast<std::size_t>(DibStride(width_, 24));
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

RZ_ROW_CODER_CLONES
std::size_t MsVideo1Encoder::EncodeRow(int by, bool key, std::uint8_t* const out, bool* any_skip_out) {
    std::uint8_t* o = out;
    const std::int64_t lambda = lambda_;
    const std::size_t rstride = static_cast<std::size_t>(padded_width_) * 3;
    const std::uint8_t* srow = src_ + static_cast<std::size_t>(by) * 4 * src_stride_;
    std::uint8_t* rrow = recon_.data() + static_cast<std::size_t>(by) * 4 * rstride;
    SkipRun skips;
    Block blk;
    for (int bx = 0; bx < blocks_wide_; ++bx) {
        const std::uint8_t* sp = srow + bx * 12;
        std::uint8_t* rp = rrow + bx * 12;
        // Skip: the error against what the decoder shows now. No coded block can cost less than
        // 2 bytes, so a skip within that is taken at once.
        std::int64_t skip_cost = std::numeric_limits<std::int64_t>::max();
        if (!key) {
            const int sse = BlockSse(sp, src_stride_, rp, rstride);
            if (sse <= 2 * lambda) {
                skips.Add(o);
                continue;
            }
            skip_cost = sse;
        }
        GatherBlock(sp, src_stride_, blk);
        const BlockStats stats = Stats(blk);
        const FillChoice fill = ChooseFill(stats, lambda, allow_red_shift_);
        Mode mode = kSkip;
        std::int64_t best = skip_cost;
        if (fill.cost < best) mode = kFill, best = fill.cost;

        TwoChoice two;
        EightChoice eight;
        if (best > 6 * lambda && stats.Spread() > 0) {
            ChooseTwo(blk, stats, lambda, two);
            if (two.cost < best) mode = kTwo, best = two.cost;
            if (best > 18 * lambda) {
                ChooseEight(blk, lambda, eight);
                if (eight.cost < best) mode = kEight, best = eight.cost;
            }
        }

        if (mode == kSkip) {
            skips.Add(o);
            continue;
        }
        skips.Flush(o);
        if (mode == kFill) WriteFill(o, fill, rp, rstride);
        else if (mode == kTwo) WriteTwo(o, two, rp, rstride);
        else WriteEight(o, eight, rp, rstride);
    }
    skips.Flush(o);
    *any_skip_out = skips.any;
    return static_cast<std::size_t>(o - out);
}

}  // namespace platform::media
