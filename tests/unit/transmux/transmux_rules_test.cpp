// The converter's rules: which command lines it takes, what it asks of ffmpeg for each output,
// and the lines it prints back.
#include "ffmpeg_args.h"
#include "finishing/converter_command.h"
#include "progress.h"
#include "request.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using namespace transmux;
using Args = std::vector<std::string>;

// The value following `flag`, or "(absent)".
std::string After(const Args& args, const std::string& flag) {
    const auto it = std::find(args.begin(), args.end(), flag);
    return it == args.end() || it + 1 == args.end() ? "(absent)" : *(it + 1);
}

bool Has(const Args& args, const std::string& word) { return std::find(args.begin(), args.end(), word) != args.end(); }

TEST(TransmuxCommandLine, TakesEveryLineTheRecorderGives) {
    struct Row {
        std::int32_t type;
        OutputKind kind;
        const char* extension;
    };
    const Row rows[] = {{101, OutputKind::Flv, ".flv"},   {102, OutputKind::Mp4, ".mp4"},
                        {103, OutputKind::Mpeg1, ".mpg"}, {104, OutputKind::Wmv, ".wmv"},
                        {105, OutputKind::Mpeg2, ".mpg"}, {106, OutputKind::Swf, ".swf"}};
    for (const Row& row : rows) {
        for (bool sound : {false, true}) {
            const std::string out = std::string("/home/u/My \"Videos\"/clip") + row.extension;
            const finishing::ConverterCommand c = finishing::ConvertCommand(
                {row.type, sound, "/opt/rz/", "/tmp/v.avi", "/tmp/s.wav", 1000000, out});
            Request r;
            std::string error;
            ASSERT_TRUE(ParseCommandLine(Args(c.argv.begin() + 1, c.argv.end()), &r, &error)) << c.text << ": " << error;
            EXPECT_EQ(r.kind, row.kind) << c.text;
            EXPECT_EQ(r.inputs, sound ? Args({"/tmp/v.avi", "/tmp/s.wav"}) : Args({"/tmp/v.avi"}));
            EXPECT_EQ(r.output, out);
            EXPECT_TRUE(r.overwrite);
            EXPECT_EQ(r.videoBitrate, 1000000);
            const bool lowRateSound = sound && (row.type == 101 || row.type == 104 || row.type == 106);
            EXPECT_EQ(r.AudioBitsPerSecond(), lowRateSound ? std::optional<long>(56000) : std::nullopt) << c.text;
            EXPECT_EQ(r.sampleRate, lowRateSound ? std::optional<long>(22050) : std::nullopt) << c.text;
        }
    }
    Request probe;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"-i", "/tmp/v.avi"}, &probe, &error));
    EXPECT_TRUE(probe.Probe());
}

TEST(TransmuxCommandLine, RefusesAnythingElseWithAReason) {
    const Args refused[] = {
        {},
        {"-y", "x.mp4"},
        {"-i", "a", "-i", "b", "-i", "c", "x.mp4"},
        {"-i", "a", "-q", "x.mp4"},
        {"-i", "a", "x.mp4", "-y"},
        {"-i", "a", "-b", "12k", "x.mp4"},
        {"-i", "a", "-b", "-5", "x.mp4"},
        {"-i", "a", "-b"},
        {"-i", "a", "-b", "1", "-b", "2", "x.mp4"},
        {"-i", "a", "-ar", "0", "x.mp4"},
        {"-i", "a", "x.avi"},
        {"-i", "a", "/home/u.v/typed-without-extension"},
        {"-i", "a", "-vcodec", "mpeg2video", "x.mp4"},
        {"-i", "a", "-vcodec", "h264", "x.mpg"},
        {"-i", "a", "-y"},
    };
    for (const Args& args : refused) {
        Request r;
        std::string error;
        std::string line;
        for (const auto& a : args) line += a + " ";
        EXPECT_FALSE(ParseCommandLine(args, &r, &error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line;
    }
}

TEST(TransmuxFfmpegArgs, CodecsAndOptionsByOutput) {
    struct Row {
        OutputKind kind;
        const char* format;
        const char* video;
        const char* audio;
    };
    const Row rows[] = {
        {OutputKind::Mp4, "mp4", "libx264", "aac"},           {OutputKind::Wmv, "asf", "wmv2", "wmav2"},
        {OutputKind::Flv, "flv", "flv1", "libmp3lame"},       {OutputKind::Swf, "swf", "flv1", "libmp3lame"},
        {OutputKind::Mpeg1, "mpeg", "mpeg1video", "mp2"},     {OutputKind::Mpeg2, "vob", "mpeg2video", "mp2"},
    };
    for (const Row& row : rows) {
        Request r;
        r.kind = row.kind;
        r.inputs = {"/v.avi", "/s.wav"};
        r.videoBitrate = 800000;
        r.audioBitrate = 56;
        r.sampleRate = 22050;
        r.output = "/o/out";
        const Args a = ConvertArgs(r, InputInfo{1000, 10.0}, "/o/out.tmp");
        EXPECT_EQ(a.front(), "ffmpeg");
        EXPECT_EQ(a.back(), "file:/o/out.tmp");
        EXPECT_EQ(After(a, "-f"), row.format);
        EXPECT_EQ(After(a, "-c:v"), row.video);
        EXPECT_EQ(After(a, "-c:a"), row.audio);
        EXPECT_EQ(After(a, "-b:v"), "800000");
        EXPECT_EQ(After(a, "-b:a"), "56000") << "56 means kbit/s";
        EXPECT_EQ(After(a, "-ar"), "22050");
        EXPECT_EQ(After(a, "-map"), "0:v:0");
        EXPECT_TRUE(Has(a, "1:a:0")) << "the second input is the sound";
        EXPECT_EQ(After(a, "-vf"), "pad=ceil(iw/2)*2:ceil(ih/2)*2");
        EXPECT_EQ(After(a, "-pix_fmt"), "yuv420p");
        EXPECT_EQ(After(a, "-progress"), "pipe:1");
        const bool mpeg = row.kind == OutputKind::Mpeg1 || row.kind == OutputKind::Mpeg2;
        EXPECT_EQ(After(a, "-r"), mpeg ? "24" : "(absent)") << row.format;
        EXPECT_EQ(After(a, "-movflags"), row.kind == OutputKind::Mp4 ? "+faststart" : "(absent)");
    }

    Request silent;
    silent.inputs = {"-odd name.avi"};
    silent.videoBitrate = 0;
    silent.audioBitrate = 64000;
    silent.output = "x.mp4";
    const Args a = ConvertArgs(silent, InputInfo{}, "x.tmp");
    EXPECT_TRUE(Has(a, "-an"));
    EXPECT_FALSE(Has(a, "-c:a"));
    EXPECT_FALSE(Has(a, "-b:v")) << "0 leaves the encoder's own rate";
    EXPECT_EQ(After(a, "-i"), "file:-odd name.avi");
}

TEST(TransmuxFfmpegArgs, MpegFrameRatesAreOnesTheFormatCarries) {
    const std::pair<double, int> rows[] = {{0, 24}, {10, 24}, {15, 24}, {24, 24}, {25, 25},
                                           {29.97, 30}, {30, 30}, {30.3, 50}, {60, 60}, {120, 60}};
    for (const auto& [in, out] : rows) EXPECT_EQ(MpegFrameRate(in), out) << in;
}

TEST(TransmuxOutput, ProbeAndProgressLines) {
    const InputInfo info = ParseProbeOutput(
        "codec_type=audio\navg_frame_rate=0/0\ncodec_type=video\navg_frame_rate=30000/1001\nbit_rate=1250400\n");
    EXPECT_EQ(info.bitRate, 1250400);
    EXPECT_NEAR(info.frameRate, 29.97, 0.01);
    EXPECT_EQ(BitrateLine(0, "/t/v.avi", info), "Input #0, /t/v.avi: bitrate: 1250 kb/s");
    EXPECT_EQ(ParseProbeOutput("bit_rate=N/A\n").bitRate, 0);

    ProgressReader reader;
    struct Row {
        const char* line;
        const char* printed;  // "" when nothing is printed
    };
    const Row rows[] = {
        {"frame=1", ""},
        {"bitrate=N/A", ""},
        {"out_time_us=N/A", ""},
        {"progress=continue", "time=0.00 bitrate=0.0kbits/s"},
        {"bitrate=2100.3kbits/s", ""},
        {"out_time_us=12400000", ""},
        {"progress=continue", "time=12.40 bitrate=2100.3kbits/s"},
        {"out_time_us=-23000", ""},  // a stray early time does not go back
        {"[libx264 @ 0x1] some message", ""},
        {"progress=end", "time=12.40 bitrate=2100.3kbits/s"},
    };
    for (const Row& row : rows) EXPECT_EQ(reader.Feed(row.line).value_or(""), row.printed) << row.line;
    EXPECT_TRUE(IsKeyValueLine("out_time_us=1"));
    EXPECT_FALSE(IsKeyValueLine("[mp4 @ 0x1] a=b"));
    EXPECT_FALSE(IsKeyValueLine("Error: x"));
}

}  // namespace
