// The audio compression manager over libavcodec's encoders: see acm.h.
#include "platform/media/acm.h"
#include "platform/media/acm_internal.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <cstring>

namespace platform::media {
namespace {

// The standard coefficient pairs of Microsoft ADPCM.
constexpr std::int16_t kMsAdpcmCoef[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
constexpr std::uint16_t kMsAdpcmExtra = 4 + 7 * 4;  // samples per block, count, pairs
constexpr std::uint16_t kImaAdpcmExtra = 2;
constexpr std::uint16_t kMp3Extra = 12;
constexpr int kMp3Rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

const AVCodec* Mp3Encoder() {
    if (const AVCodec* c = avcodec_find_encoder_by_name("libmp3lame")) return c;
    return avcodec_find_encoder(AV_CODEC_ID_MP3);
}

bool HasEncoder(std::uint16_t tag) {
    switch (tag) {
    case WAVE_FORMAT_PCM:
        return avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE) && avcodec_find_encoder(AV_CODEC_ID_PCM_U8);
    case WAVE_FORMAT_ADPCM:
        return avcodec_find_encoder(AV_CODEC_ID_ADPCM_MS) != nullptr;
    case WAVE_FORMAT_IMA_ADPCM:
        return avcodec_find_encoder(AV_CODEC_ID_ADPCM_IMA_WAV) != nullptr;
    case WAVE_FORMAT_MPEGLAYER3:
        return Mp3Encoder() != nullptr;
    default:
        return false;
    }
}

bool IsMp3Rate(std::uint32_t rate) {
    return std::find(std::begin(kMp3Rates), std::end(kMp3Rates), static_cast<int>(rate)) != std::end(kMp3Rates);
}

// MPEG-1 (32000 Hz and up) or MPEG-2/2.5 bit rates in kbit/s.
std::vector<int> Mp3Bitrates(std::uint32_t rate) {
    if (rate >= 32000) return {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    return {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
}

int Mp3DefaultBitrate(std::uint32_t rate, int channels) {
    const int per_channel = rate >= 32000 ? 64 : rate >= 16000 ? 32 : 16;
    return per_channel * channels;
}

int AdpcmBlockAlign(std::uint32_t rate, int channels) {
    const int multiple = std::clamp(static_cast<int>(rate / 11025), 1, 4);
    return 256 * channels * (multiple == 3 ? 2 : multiple);
}

std::vector<std::uint8_t> Record(std::uint16_t extra) {
    std::vector<std::uint8_t> r(18 + extra, 0);
    reinterpret_cast<WAVEFORMATEX*>(r.data())->cbSize = extra;
    return r;
}

void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* p, std::uint32_t v) {
    PutLe16(p, static_cast<std::uint16_t>(v & 0xFFFF));
    PutLe16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

// Builds the record of `tag` for the given rate and channels (bits: PCM only; kbps: MP3 only).
std::vector<std::uint8_t> MakeFormat(std::uint16_t tag, std::uint32_t rate, int channels, int bits, int kbps) {
    std::vector<std::uint8_t> r;
    switch (tag) {
    case WAVE_FORMAT_PCM: {
        r = Record(0);
        auto* w = reinterpret_cast<WAVEFORMATEX*>(r.data());
        w->wFormatTag = WAVE_FORMAT_PCM;
        w->nChannels = static_cast<std::uint16_t>(channels);
        w->nSamplesPerSec = rate;
        w->wBitsPerSample = static_cast<std::uint16_t>(bits);
        w->nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
        w->nAvgBytesPerSec = rate * w->nBlockAlign;
        break;
    }
    case WAVE_FORMAT_ADPCM: {
        r = Record(kMsAdpcmExtra);
        auto* w = reinterpret_cast<WAVEFORMATEX*>(r.data());
        const int align = AdpcmBlockAlign(rate, channels);
        const int spb = (align - 7 * channels) * 2 / channels + 2;
        w->wFormatTag = WAVE_FORMAT_ADPCM;
        w->nChannels = static_cast<std::uint16_t>(channels);
        w->nSamplesPerSec = rate;
        w->nBlockAlign = static_cast<std::uint16_t>(align);
        w->wBitsPerSample = 4;
        w->nAvgBytesPerSec = static_cast<std::uint32_t>(static_cast<std::uint64_t>(rate) * align / spb);
        std::uint8_t* e = r.data() + 18;
        PutLe16(e, static_cast<std::uint16_t>(spb));
        PutLe16(e + 2, 7);
        for (int i = 0; i < 7; ++i) {
            PutLe16(e + 4 + i * 4, static_cast<std::uint16_t>(kMsAdpcmCoef[i][0]));
            PutLe16(e + 6 + i * 4, static_cast<std::uint16_t>(kMsAdpcmCoef[i][1]));
        }
        break;
    }
    case WAVE_FORMAT_IMA_ADPCM: {
        r = Record(kImaAdpcmExtra);
        auto* w = reinterpret_cast<WAVEFORMATEX*>(r.data());
        const int align = AdpcmBlockAlign(rate, channels);
        const int spb = (align - 4 * channels) * 8 / (4 * channels) + 1;
        w->wFormatTag = WAVE_FORMAT_IMA_ADPCM;
        w->nChannels = static_cast<std::uint16_t>(channels);
        w->nSamplesPerSec = rate;
        w->nBlockAlign = static_cast<std::uint16_t>(align);
        w->wBitsPerSample = 4;
        w->nAvgBytesPerSec = static_cast<std::uint32_t>(static_cast<std::uint64_t>(rate) * align / spb);
        PutLe16(r.data() + 18, static_cast<std::uint16_t>(spb));
        break;
    }
    case WAVE_FORMAT_MPEGLAYER3: {
        r = Record(kMp3Extra);
        auto* w = reinterpret_cast<WAVEFORMATEX*>(r.data());
        w->wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        w->nChannels = static_cast<std::uint16_t>(channels);
        w->nSamplesPerSec = rate;
        w->nAvgBytesPerSec = static_cast<std::uint32_t>(kbps) * 1000 / 8;
        w->nBlockAlign = 1;
        w->wBitsPerSample = 0;
        std::uint8_t* e = r.data() + 18;
        const int samples_per_frame = rate >= 32000 ? 1152 : 576;
        PutLe16(e, 1);      // wID: MPEGLAYER3_ID_MPEG
        PutLe32(e + 2, 2);  // fdwFlags: MPEGLAYER3_FLAG_PADDING_OFF
        PutLe16(e + 6, static_cast<std::uint16_t>(samples_per_frame / 8 * kbps * 1000 / rate));  // nBlockSize
        PutLe16(e + 8, 1);     // nFramesPerBlock
        PutLe16(e + 10, 1393);  // nCodecDelay
        break;
    }
    default:
        break;
    }
    return r;
}

bool SourceServed(const WAVEFORMATEX* s) {
    return s && s->wFormatTag == WAVE_FORMAT_PCM && (s->nChannels == 1 || s->nChannels == 2) &&
           (s->wBitsPerSample == 8 || s->wBitsPerSample == 16) && s->nSamplesPerSec >= 8000 &&
           s->nSamplesPerSec <= 48000 && s->nBlockAlign == s->nChannels * s->wBitsPerSample / 8;
}

bool TargetServed(std::uint16_t tag, std::uint32_t rate, int channels) {
    if (!HasEncoder(tag)) return false;
    if (channels != 1 && channels != 2) return false;
    if (rate < 8000 || rate > 48000) return false;
    if (tag == WAVE_FORMAT_MPEGLAYER3 && !IsMp3Rate(rate)) return false;
    return true;
}

}  // namespace

std::vector<std::uint16_t> AcmFormatTags() {
    std::vector<std::uint16_t> tags;
    for (std::uint16_t t : {WAVE_FORMAT_PCM, WAVE_FORMAT_ADPCM, WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_MPEGLAYER3})
        if (HasEncoder(t)) tags.push_back(t);
    return tags;
}

MMRESULT AcmMetricsMaxSizeFormat(std::uint32_t* size) {
    if (!size) return MMSYSERR_INVALPARAM;
    std::uint32_t largest = 0;
    for (std::uint16_t t : AcmFormatTags()) {
        AcmFormatTagDetails d;
        if (AcmFormatTagDetailsOf(t, &d) == MMSYSERR_NOERROR) largest = std::max(largest, d.cbFormatSize);
    }
    *size = largest;
    return largest ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT AcmFormatTagDetailsOf(std::uint32_t tag, AcmFormatTagDetails* details) {
    if (!details) return MMSYSERR_INVALPARAM;
    if (tag > 0xFFFF || !HasEncoder(static_cast<std::uint16_t>(tag))) return ACMERR_NOTPOSSIBLE;
    details->dwFormatTag = tag;
    switch (tag) {
    case WAVE_FORMAT_PCM:
        details->szFormatTag = "PCM";
        details->cbFormatSize = 18;
        break;
    case WAVE_FORMAT_ADPCM:
        details->szFormatTag = "Microsoft ADPCM";
        details->cbFormatSize = 18 + kMsAdpcmExtra;
        break;
    case WAVE_FORMAT_IMA_ADPCM:
        details->szFormatTag = "IMA ADPCM";
        details->cbFormatSize = 18 + kImaAdpcmExtra;
        break;
    case WAVE_FORMAT_MPEGLAYER3:
        details->szFormatTag = "MPEG Layer-3";
        details->cbFormatSize = 18 + kMp3Extra;
        break;
    default:
        return ACMERR_NOTPOSSIBLE;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT AcmFormatSuggest(const WAVEFORMATEX* src, WAVEFORMATEX* dst, std::uint32_t dst_size, std::uint32_t flags) {
    if (!src || !dst) return MMSYSERR_INVALPARAM;
    if (flags & ~(ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS | ACM_FORMATSUGGESTF_NSAMPLESPERSEC |
                  ACM_FORMATSUGGESTF_WBITSPERSAMPLE))
        return MMSYSERR_INVALFLAG;
    if (!SourceServed(src)) return ACMERR_NOTPOSSIBLE;
    const std::uint16_t tag = (flags & ACM_FORMATSUGGESTF_WFORMATTAG) ? dst->wFormatTag : WAVE_FORMAT_PCM;
    const int channels = (flags & ACM_FORMATSUGGESTF_NCHANNELS) ? dst->nChannels : src->nChannels;
    const std::uint32_t rate = (flags & ACM_FORMATSUGGESTF_NSAMPLESPERSEC) ? dst->nSamplesPerSec : src->nSamplesPerSec;
    int bits = src->wBitsPerSample;
    if (flags & ACM_FORMATSUGGESTF_WBITSPERSAMPLE) {
        bits = dst->wBitsPerSample;
        const int tag_bits = tag == WAVE_FORMAT_PCM ? bits : tag == WAVE_FORMAT_MPEGLAYER3 ? 0 : 4;
        if (tag == WAVE_FORMAT_PCM ? (bits != 8 && bits != 16) : bits != tag_bits) return ACMERR_NOTPOSSIBLE;
    }
    if (!TargetServed(tag, rate, channels)) return ACMERR_NOTPOSSIBLE;
    const std::vector<std::uint8_t> f = MakeFormat(tag, rate, channels, bits, Mp3DefaultBitrate(rate, channels));
    if (f.empty()) return ACMERR_NOTPOSSIBLE;
    if (dst_size < f.size()) return MMSYSERR_INVALPARAM;
    std::memset(dst, 0, dst_size);
    std::memcpy(dst, f.data(), f.size());
    return MMSYSERR_NOERROR;
}

std::vector<AcmFormatChoice> AcmFormatsFor(const WAVEFORMATEX& src) {
    std::vector<AcmFormatChoice> out;
    if (!SourceServed(&src)) return out;
    std::vector<int> channel_options{src.nChannels};
    if (src.nChannels == 2) channel_options.push_back(1);
    for (std::uint16_t tag : AcmFormatTags()) {
        AcmFormatTagDetails d;
        AcmFormatTagDetailsOf(tag, &d);
        for (int ch : channel_options) {
            if (!TargetServed(tag, src.nSamplesPerSec, ch)) continue;
            if (tag == WAVE_FORMAT_PCM) {
                for (int bits : {8, 16}) out.push_back({MakeFormat(tag, src.nSamplesPerSec, ch, bits, 0), d.szFormatTag});
            } else if (tag == WAVE_FORMAT_MPEGLAYER3) {
                for (int kbps : Mp3Bitrates(src.nSamplesPerSec))
                    if (kbps <= 64 * ch * (src.nSamplesPerSec >= 32000 ? 2 : 1) && kbps >= 8 * ch)
                        out.push_back({MakeFormat(tag, src.nSamplesPerSec, ch, 0, kbps), d.szFormatTag});
            } else {
                out.push_back({MakeFormat(tag, src.nSamplesPerSec, ch, 4, 0), d.szFormatTag});
            }
        }
    }
    return out;
}

bool AcmEncoderFor(const WAVEFORMATEX* f, std::uint32_t size, AcmEncoderSetup* setup) {
    if (!f || size < 18 || size < WaveFormatSize(*f)) return false;
    if (!TargetServed(f->wFormatTag, f->nSamplesPerSec, f->nChannels)) return false;
    // The record must be the one this layer builds for these fields.
    const int kbps = f->wFormatTag == WAVE_FORMAT_MPEGLAYER3 ? static_cast<int>(f->nAvgBytesPerSec * 8 / 1000) : 0;
    if (f->wFormatTag == WAVE_FORMAT_PCM && f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return false;
    if (f->wFormatTag == WAVE_FORMAT_MPEGLAYER3) {
        const std::vector<int> rates = Mp3Bitrates(f->nSamplesPerSec);
        if (std::find(rates.begin(), rates.end(), kbps) == rates.end()) return false;
        if (f->nAvgBytesPerSec * 8 != static_cast<std::uint32_t>(kbps) * 1000) return false;
    }
    const std::vector<std::uint8_t> want = MakeFormat(f->wFormatTag, f->nSamplesPerSec, f->nChannels, f->wBitsPerSample, kbps);
    const auto* w = reinterpret_cast<const WAVEFORMATEX*>(want.data());
    if (f->nBlockAlign != w->nBlockAlign || f->wBitsPerSample != w->wBitsPerSample) return false;
    if (f->wFormatTag == WAVE_FORMAT_ADPCM || f->wFormatTag == WAVE_FORMAT_IMA_ADPCM) {
        // Extra bytes: samples per block (and the standard coefficients) must match.
        if (f->cbSize < w->cbSize) return false;
        if (std::memcmp(reinterpret_cast<const std::uint8_t*>(f) + 18, want.data() + 18, w->cbSize) != 0) return false;
    }
    if (setup) {
        setup->tag = f->wFormatTag;
        setup->rate = static_cast<int>(f->nSamplesPerSec);
        setup->channels = f->nChannels;
        setup->bits = f->wBitsPerSample;
        setup->block_align = f->nBlockAlign;
        setup->bit_rate = kbps * 1000;
        switch (f->wFormatTag) {
        case WAVE_FORMAT_PCM:
            setup->codec = avcodec_find_encoder(f->wBitsPerSample == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE);
            break;
        case WAVE_FORMAT_ADPCM:
            setup->codec = avcodec_find_encoder(AV_CODEC_ID_ADPCM_MS);
            break;
        case WAVE_FORMAT_IMA_ADPCM:
            setup->codec = avcodec_find_encoder(AV_CODEC_ID_ADPCM_IMA_WAV);
            break;
        case WAVE_FORMAT_MPEGLAYER3:
            setup->codec = Mp3Encoder();
            break;
        default:
            setup->codec = nullptr;
        }
        if (!setup->codec) return false;
    }
    return true;
}

bool AcmCanEncode(const WAVEFORMATEX* format, std::uint32_t size) { return AcmEncoderFor(format, size, nullptr); }

}  // namespace platform::media
