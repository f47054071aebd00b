// The join's platform side: opening an AVI and a WAVE file as streams and saving them
// into one interleaved file, checked with ffprobe.
#include "../../unit/media/media_test_util.h"
#include "platform/media/acm.h"
#include "platform/media/avi_reader.h"
#include "platform/media/avi_save.h"
#include "platform/media/avi_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace mediatest;
using namespace platform;
using namespace platform::media;

namespace {

constexpr int kW = 96, kH = 64, kRate = 20, kFrames = 40;  // 2 seconds of video

void WriteVideo(const std::string& path) {
    Writer writer;
    ASSERT_EQ(writer.Open(path, kW, kH, kRate), AVIERR_OK);
    // Every position but a few skipped ones, as the recording thread writes them.
    for (int i = 0; i < kFrames; ++i) {
        if (i % 7 == 3) continue;
        const Frame f = NaturalDib(kW, kH, i * 2);
        ASSERT_EQ(writer.Write(i, f), AVIERR_OK);
    }
    writer.Close();
}

void WriteWave(const std::string& path, const WAVEFORMATEX& f, double seconds) {
    const std::uint32_t frames = static_cast<std::uint32_t>(seconds * f.nSamplesPerSec);
    std::string data;
    for (std::uint32_t i = 0; i < frames; ++i)
        for (int c = 0; c < f.nChannels; ++c) {
            const double v = 0.5 * std::sin(2 * M_PI * (440.0 + 110 * c) * i / f.nSamplesPerSec);
            if (f.wBitsPerSample == 8) {
                data.push_back(static_cast<char>(128 + static_cast<int>(v * 127)));
            } else {
                const auto s = static_cast<std::int16_t>(v * 32767);
                data.push_back(static_cast<char>(s & 0xFF));
                data.push_back(static_cast<char>((s >> 8) & 0xFF));
            }
        }
    auto le32 = [](std::uint32_t v) { return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)}; };
    std::string fmt(reinterpret_cast<const char*>(&f), 16);
    std::string file = "RIFF" + le32(static_cast<std::uint32_t>(4 + 8 + 16 + 8 + data.size())) + "WAVE" + "fmt " + le32(16) +
                       fmt + "data" + le32(static_cast<std::uint32_t>(data.size())) + data;
    std::ofstream(path, std::ios::binary) << file;
}

// The join's steps up to the save: two editable streams.
struct Joined {
    AviStream* edit[2] = {nullptr, nullptr};
    ~Joined() {
        for (AviStream* s : edit)
            if (s) AVIStreamRelease(s);
    }
};

void OpenBoth(const std::string& video, const std::string& wave, Joined* j) {
    AviFile* file = nullptr;
    ASSERT_EQ(AVIFileOpen(&file, video, OF_READ | OF_SHARE_DENY_NONE), AVIERR_OK);
    AviStream* v = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &v, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(CreateEditableStream(&j->edit[0], v), AVIERR_OK);
    AVIStreamRelease(v);
    AVIFileRelease(file);
    AviStream* a = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFile(&a, wave, streamtypeAUDIO, 0, OF_READ | OF_SHARE_DENY_NONE), AVIERR_OK);
    ASSERT_EQ(CreateEditableStream(&j->edit[1], a), AVIERR_OK);
    AVIStreamRelease(a);
}

struct SaveResult {
    AVIERR rc;
    std::vector<int> progress;
};

SaveResult Save(const std::string& out, Joined& j, const std::vector<std::uint8_t>* target, long cancel_at = -1) {
    AVICOMPRESSOPTIONS vo, ao;
    vo.fccType = streamtypeVIDEO;
    vo.dwKeyFrameEvery = 0xFFFFFFFF;
    vo.dwQuality = 0xFFFFFFFF;
    vo.dwFlags = 0x0F;
    vo.dwInterleaveEvery = 1;
    ao.fccType = streamtypeAUDIO;
    ao.dwFlags = 0x09;
    ao.dwInterleaveEvery = 1;
    if (target) {
        ao.cbFormat = static_cast<std::uint32_t>(target->size());
        ao.lpFormat = AviAllocFormat(target->size());
        std::memcpy(ao.lpFormat, target->data(), target->size());
    } else {
        long size = 0;
        EXPECT_EQ(AVIStreamReadFormat(j.edit[1], AVIStreamStart(j.edit[1]), nullptr, &size), AVIERR_OK);
        ao.cbFormat = static_cast<std::uint32_t>(size);
        ao.lpFormat = AviAllocFormat(static_cast<std::size_t>(size));
        EXPECT_EQ(AVIStreamReadFormat(j.edit[1], AVIStreamStart(j.edit[1]), ao.lpFormat, &size), AVIERR_OK);
    }
    SaveResult r;
    AVICOMPRESSOPTIONS* opts[2] = {&vo, &ao};
    r.rc = AVISaveV(out, [&](int pct) -> long {
        r.progress.push_back(pct);
        return cancel_at >= 0 && pct >= cancel_at ? 1 : 0;
    }, 2, j.edit, opts);
    AVISaveOptionsFree(2, opts);
    EXPECT_EQ(ao.lpFormat, nullptr);
    return r;
}

// Decodes the file's sound with ffmpeg; returns the decoded length in seconds (-1 on an error).
double DecodedSoundSeconds(const std::string& path) {
    const std::string out = Shell("ffmpeg -nostdin -v error -stats -i '" + path + "' -map 0:a -f null - 2>&1");
    if (out.find("rror") != std::string::npos) return -1;
    const std::size_t at = out.rfind("time=");
    if (at == std::string::npos) return -1;
    int h = 0, m = 0;
    double sec = 0;
    if (std::sscanf(out.c_str() + at, "time=%d:%d:%lf", &h, &m, &sec) != 3) return -1;
    return h * 3600 + m * 60 + sec;
}

std::size_t FilesIn(const std::string& dir) {
    std::size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) (void)e, ++n;
    return n;
}

const char* CodecOf(std::uint16_t tag, int bits) {
    switch (tag) {
    case WAVE_FORMAT_PCM: return bits == 8 ? "pcm_u8" : "pcm_s16le";
    case WAVE_FORMAT_ADPCM: return "adpcm_ms";
    case WAVE_FORMAT_IMA_ADPCM: return "adpcm_ima_wav";
    case WAVE_FORMAT_MPEGLAYER3: return "mp3";
    default: return "?";
    }
}

// What ffprobe shows of a file, in one run: the streams' fields and the packets' file order.
struct Probed {
    std::vector<std::map<std::string, std::string>> streams;
    int switches = 0;  // how often the stream changes along the file
    const std::map<std::string, std::string>* Stream(const std::string& type) const {
        for (const auto& s : streams)
            if (s.count("codec_type") && s.at("codec_type") == type) return &s;
        return nullptr;
    }
};

Probed ProbeAll(const std::string& path) {
    const std::string out = Shell("ffprobe -v error -show_entries stream=codec_type,codec_name,sample_rate,channels,"
                                  "nb_frames,duration -show_entries packet=stream_index,pos -of compact '" + path + "'");
    Probed p;
    std::vector<std::pair<long, int>> packets;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::map<std::string, std::string> fields;
        std::istringstream ls(line);
        std::string part, section;
        std::getline(ls, section, '|');
        while (std::getline(ls, part, '|')) {
            const auto eq = part.find('=');
            if (eq != std::string::npos) fields[part.substr(0, eq)] = part.substr(eq + 1);
        }
        if (section == "stream") p.streams.push_back(fields);
        if (section == "packet" && fields.count("pos") && fields["pos"] != "N/A")
            packets.emplace_back(std::atol(fields["pos"].c_str()), std::atoi(fields["stream_index"].c_str()));
    }
    std::sort(packets.begin(), packets.end());
    for (std::size_t i = 1; i < packets.size(); ++i) p.switches += packets[i].second != packets[i - 1].second;
    return p;
}

double Seconds(const std::map<std::string, std::string>& s) {
    auto it = s.find("duration");
    if (it != s.end() && it->second != "N/A") return std::atof(it->second.c_str());
    // PCM in AVI: ffprobe gives no duration, but the sample count.
    if (s.count("nb_frames") && s.count("sample_rate") && s.at("nb_frames") != "N/A")
        return std::atof(s.at("nb_frames").c_str()) / std::atof(s.at("sample_rate").c_str());
    return -1;
}

}  // namespace

TEST(AviRead, StreamsTypesAndFormats) {
    testsupport::TempDir dir;
    const std::string video = dir.File("temp.avi"), wave = dir.File("temp.wav");
    WriteVideo(video);
    WriteWave(wave, Pcm(22050, 1, 16), 2.0);

    AviFile* file = nullptr;
    EXPECT_NE(AVIFileOpen(&file, dir.File("missing.avi"), OF_READ | OF_SHARE_DENY_NONE), AVIERR_OK);
    ASSERT_EQ(AVIFileOpen(&file, video, OF_READ | OF_SHARE_DENY_NONE), AVIERR_OK);
    AviStream* s = nullptr;
    EXPECT_EQ(AVIFileGetStream(file, &s, streamtypeAUDIO, 0), AVIERR_NODATA);
    ASSERT_EQ(AVIFileGetStream(file, &s, streamtypeVIDEO, 0), AVIERR_OK);
    AVISTREAMINFO info;
    ASSERT_EQ(AVIStreamInfo(s, &info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.fccHandler, MakeFourCC('M', 'S', 'V', 'C'));
    EXPECT_EQ(static_cast<double>(info.dwRate) / info.dwScale, kRate);
    EXPECT_EQ(AVIStreamLength(s), kFrames);
    EXPECT_EQ(info.rcFrame.Width(), kW);
    long size = 0;
    ASSERT_EQ(AVIStreamReadFormat(s, AVIStreamStart(s), nullptr, &size), AVIERR_OK);
    EXPECT_GE(size, 40);
    BITMAPINFOHEADER b{};
    size = sizeof b;
    ASSERT_EQ(AVIStreamReadFormat(s, 0, &b, &size), AVIERR_OK);
    EXPECT_EQ(b.biWidth, kW);
    EXPECT_EQ(b.biHeight, kH);
    EXPECT_EQ(b.biCompression, MakeFourCC('M', 'S', 'V', 'C'));
    AviStream* edit = nullptr;
    ASSERT_EQ(CreateEditableStream(&edit, s), AVIERR_OK);
    AVIFileRelease(file);  // the editable stream outlives its file and source
    AVIStreamRelease(s);
    ASSERT_EQ(AVIStreamInfo(edit, &info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    AVIStreamRelease(edit);

    AviStream* a = nullptr;
    EXPECT_NE(AVIStreamOpenFromFile(&a, wave, streamtypeVIDEO, 0, OF_READ), AVIERR_OK);
    EXPECT_NE(AVIStreamOpenFromFile(&a, dir.File("none.wav"), streamtypeAUDIO, 0, OF_READ), AVIERR_OK);
    ASSERT_EQ(AVIStreamOpenFromFile(&a, wave, streamtypeAUDIO, 0, OF_READ | OF_SHARE_DENY_NONE), AVIERR_OK);
    ASSERT_EQ(AVIStreamInfo(a, &info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeAUDIO);
    size = 0;
    ASSERT_EQ(AVIStreamReadFormat(a, AVIStreamStart(a), nullptr, &size), AVIERR_OK);
    ASSERT_EQ(size, 18);
    WAVEFORMATEX w{};
    ASSERT_EQ(AVIStreamReadFormat(a, 0, &w, &size), AVIERR_OK);
    EXPECT_EQ(w.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(w.nSamplesPerSec, 22050u);
    EXPECT_EQ(w.nChannels, 1);
    EXPECT_EQ(w.wBitsPerSample, 16);
    EXPECT_EQ(w.nBlockAlign, 2);
    EXPECT_EQ(w.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(w.cbSize, 0);
    AVIStreamRelease(a);
}

TEST(AviSave, EveryListedTargetFormatGivesAnInterleavedFile) {
    for (const WAVEFORMATEX src : {Pcm(22050, 1, 16), Pcm(44100, 2, 16), Pcm(11025, 2, 8)}) {
        testsupport::TempDir dir;
        const std::string video = dir.File("temp.avi"), wave = dir.File("temp.wav");
        WriteVideo(video);
        WriteWave(wave, src, 2.0);
        std::vector<std::vector<std::uint8_t>> targets;
        for (const auto& c : AcmFormatsFor(src)) targets.push_back(c.format);
        ASSERT_FALSE(targets.empty());
        for (std::size_t t = 0; t <= targets.size(); ++t) {
            const bool kept = t == targets.size();
            const std::vector<std::uint8_t>* target = kept ? nullptr : &targets[t];
            const auto* w = reinterpret_cast<const WAVEFORMATEX*>(kept ? reinterpret_cast<const std::uint8_t*>(&src) : target->data());
            const std::string label = std::string(CodecOf(w->wFormatTag, w->wBitsPerSample)) + " " +
                                      std::to_string(w->nSamplesPerSec) + " Hz " + std::to_string(w->nChannels) +
                                      " ch " + std::to_string(w->nAvgBytesPerSec) + " B/s from " +
                                      std::to_string(src.nSamplesPerSec) + "/" + std::to_string(src.nChannels) + "/" +
                                      std::to_string(src.wBitsPerSample) + (kept ? " (kept)" : "");
            Joined j;
            OpenBoth(video, wave, &j);
            const std::string out = dir.File("out" + std::to_string(t) + ".avi");
            const SaveResult r = Save(out, j, target);
            ASSERT_EQ(r.rc, AVIERR_OK) << label;
            ASSERT_FALSE(r.progress.empty());
            EXPECT_EQ(r.progress.front(), 0) << label;
            EXPECT_EQ(r.progress.back(), 100) << label;
            EXPECT_TRUE(std::is_sorted(r.progress.begin(), r.progress.end())) << label;
            EXPECT_GT(r.progress.size(), 3u) << label;

            const Probed p = ProbeAll(out);
            ASSERT_EQ(p.streams.size(), 2u) << label;
            const auto* v = p.Stream("video");
            const auto* a = p.Stream("audio");
            ASSERT_TRUE(v && a) << label;
            EXPECT_EQ(v->at("codec_name"), "msvideo1") << label;
            EXPECT_EQ(v->at("nb_frames"), std::to_string(kFrames)) << label;
            EXPECT_EQ(a->at("codec_name"), CodecOf(w->wFormatTag, w->wBitsPerSample)) << label;
            EXPECT_EQ(a->at("sample_rate"), std::to_string(w->nSamplesPerSec)) << label;
            EXPECT_EQ(a->at("channels"), std::to_string(w->nChannels)) << label;
            const double vd = Seconds(*v), ad = DecodedSoundSeconds(out);
            EXPECT_NEAR(vd, 2.0, 0.01) << label;
            // The sound decodes completely and as long as the video; coders end on a whole block
            // or frame (up to 1152 samples for MP3, whose priming also comes first).
            EXPECT_NEAR(ad, vd, 0.15) << label;
            EXPECT_GT(p.switches, 8) << label;
        }
    }
}

TEST(AviSave, ContainerFollowsTheExtension) {
    testsupport::TempDir dir;
    const std::string video = dir.File("temp.avi"), wave = dir.File("temp.wav");
    WriteVideo(video);
    WriteWave(wave, Pcm(22050, 1, 16), 2.0);
    {
        Joined j;
        OpenBoth(video, wave, &j);
        ASSERT_EQ(Save(dir.File("noext"), j, nullptr).rc, AVIERR_OK);
        const std::string fmt = Shell("ffprobe -v error -show_entries format=format_name -of csv=p=0 '" + dir.File("noext") + "'");
        EXPECT_EQ(fmt.substr(0, 3), "avi");
    }
    {
        Joined j;
        OpenBoth(video, wave, &j);
        ASSERT_EQ(Save(dir.File("out.mkv"), j, nullptr).rc, AVIERR_OK);
        const std::string fmt = Shell("ffprobe -v error -show_entries format=format_name -of csv=p=0 '" + dir.File("out.mkv") + "'");
        EXPECT_NE(fmt.find("matroska"), std::string::npos) << fmt;
    }
    {
        Joined j;
        OpenBoth(video, wave, &j);
        EXPECT_EQ(Save(dir.File("out.unknownext"), j, nullptr).rc, AVIERR_UNSUPPORTED);
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.unknownext")));
    }
}

TEST(AviSave, UnusableTargetFormatFailsCleanly) {
    testsupport::TempDir dir;
    const std::string video = dir.File("temp.avi"), wave = dir.File("temp.wav");
    WriteVideo(video);
    WriteWave(wave, Pcm(22050, 1, 16), 2.0);
    const std::size_t before = FilesIn(dir.Path());
    // Microsoft ADPCM with a block size no encoder makes, as a stale setting could give.
    WAVEFORMATEX bad{};
    bad.wFormatTag = WAVE_FORMAT_ADPCM;
    bad.nChannels = 1;
    bad.nSamplesPerSec = 11025;
    bad.nAvgBytesPerSec = 11025;
    bad.nBlockAlign = 1;
    bad.wBitsPerSample = 8;
    bad.cbSize = 2;
    std::vector<std::uint8_t> target(reinterpret_cast<std::uint8_t*>(&bad), reinterpret_cast<std::uint8_t*>(&bad) + 18);
    target.resize(50, 0);
    {
        Joined j;
        OpenBoth(video, wave, &j);
        const SaveResult r = Save(dir.File("out.avi"), j, &target);
        EXPECT_NE(r.rc, AVIERR_OK);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.avi")));
    EXPECT_EQ(FilesIn(dir.Path()), before);
    // The join's retry with the recorded format then succeeds.
    {
        Joined j;
        OpenBoth(video, wave, &j);
        EXPECT_EQ(Save(dir.File("out.avi"), j, nullptr).rc, AVIERR_OK);
        EXPECT_EQ(Probe(dir.File("out.avi"), "codec_name", "a:0"), "pcm_s16le");
    }
    // A cancelled save leaves no output either, and an existing file as it was.
    testsupport::WriteFile(dir.File("kept.avi"), "old");
    {
        Joined j;
        OpenBoth(video, wave, &j);
        std::vector<std::uint8_t> adpcm(50, 0);
        WAVEFORMATEX src = Pcm(22050, 1, 16);
        auto* dst = reinterpret_cast<WAVEFORMATEX*>(adpcm.data());
        dst->wFormatTag = WAVE_FORMAT_ADPCM;
        ASSERT_EQ(AcmFormatSuggest(&src, dst, 50, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
        const SaveResult r = Save(dir.File("kept.avi"), j, &adpcm, 50);
        EXPECT_EQ(r.rc, AVIERR_USERABORT);
    }
    EXPECT_EQ(testsupport::ReadFile(dir.File("kept.avi")), "old");
    EXPECT_EQ(FilesIn(dir.Path()), before + 2);
}

TEST(AviSave, EmptySoundFileStillJoins) {
    // A recording stopped at once leaves a WAVE file without samples.
    testsupport::TempDir dir;
    const std::string video = dir.File("temp.avi"), wave = dir.File("temp.wav");
    WriteVideo(video);
    WriteWave(wave, Pcm(22050, 1, 16), 0.0);
    for (bool compress : {false, true}) {
        Joined j;
        OpenBoth(video, wave, &j);
        std::vector<std::uint8_t> adpcm(50, 0);
        WAVEFORMATEX src = Pcm(22050, 1, 16);
        auto* dst = reinterpret_cast<WAVEFORMATEX*>(adpcm.data());
        dst->wFormatTag = WAVE_FORMAT_IMA_ADPCM;
        ASSERT_EQ(AcmFormatSuggest(&src, dst, 50, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
        adpcm.resize(18 + dst->cbSize);
        const std::string out = dir.File(compress ? "c.avi" : "k.avi");
        const SaveResult r = Save(out, j, compress ? &adpcm : nullptr);
        ASSERT_EQ(r.rc, AVIERR_OK);
        EXPECT_EQ(r.progress.back(), 100);
        EXPECT_EQ(Probe(out, "nb_frames", "v:0"), std::to_string(kFrames));
        EXPECT_EQ(Probe(out, "codec_type", "a:0"), "audio");
    }
}
