// The sound server killed in the middle of a recording with sound and started again: the video
// goes on, the recorder takes the sound up again once the server is back, the saved file's sound
// lasts as long as its picture, and the saved-file message says for how long sound was missing.
#include "e2e/faults/recorder_process.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace faults {
namespace {

constexpr int kRate = 8000;  // the saved sound is decoded at this rate for measuring

// The session's private server (scripts/session): killed and started again with its arguments.
class SoundServer {
public:
    static bool Private() { return std::getenv("PULSE_RUNTIME_PATH") && Pid() > 0; }

    static void Kill() { ::kill(Pid(), SIGKILL); }

    static bool Restart() {
        // It outlives the test (the session stops it), so it keeps none of the test's outputs open.
        QProcess server;
        server.setProgram("pulseaudio");
        server.setArguments({"--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n",
                             "--load=module-native-protocol-unix",
                             "--load=module-null-sink sink_name=rz_null sink_properties=device.description=rz_null",
                             "--load=module-always-sink"});
        server.setStandardInputFile(QProcess::nullDevice());
        server.setStandardOutputFile(QProcess::nullDevice());
        server.setStandardErrorFile(QProcess::nullDevice());
        if (!server.startDetached()) return false;
        if (!testsupport::WaitUntil([] { return std::system("pactl info >/dev/null 2>&1") == 0; },
                                    std::chrono::seconds(15)))
            return false;
        return std::system("pactl set-default-sink rz_null && pactl set-default-source rz_null.monitor") == 0;
    }

private:
    static pid_t Pid() {
        return static_cast<pid_t>(
            std::atoi(testsupport::ReadFile(std::string(std::getenv("PULSE_RUNTIME_PATH")) + "/pid").c_str()));
    }
};

// A 1 kHz tone into the null sink for as long as the server lets it play.
class Tone {
public:
    void Play(const std::string& folder) {
        const std::string file = folder + "tone.wav";
        testsupport::Run("sox", {"-n", "-r", "22050", "-c", "1", file, "synth", "60", "sine", "1000"});
        player_.start("paplay", {"-d", "rz_null", QString::fromStdString(file)});
        player_.waitForStarted();
    }
    ~Tone() {
        player_.kill();
        player_.waitForFinished();
    }

private:
    QProcess player_;
};

// The sound of `path`, mono, kRate Hz, as floats.
std::vector<float> DecodeSound(const std::string& path) {
    std::string raw = testsupport::Run(
        "ffmpeg", {"-v", "error", "-i", path, "-map", "0:a:0", "-ac", "1", "-ar", std::to_string(kRate), "-f",
                   "s16le", "-"},
        nullptr, 60000);
    std::vector<float> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::int16_t v;
        std::memcpy(&v, raw.data() + 2 * i, 2);
        samples[i] = v / 32768.0f;
    }
    return samples;
}

struct Stretch {
    double level = 0;      // RMS, full scale 1
    double frequency = 0;  // Hz, by zero crossings
};

Stretch Measure(const std::vector<float>& samples, double from, double to) {
    const auto a = static_cast<std::size_t>(std::max(0.0, from) * kRate);
    const auto b = std::min(samples.size(), static_cast<std::size_t>(to * kRate));
    Stretch s;
    if (b <= a + 1) return s;
    double sum = 0;
    int crossings = 0;
    for (std::size_t i = a; i < b; ++i) {
        sum += samples[i] * samples[i];
        if (i > a && (samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    }
    s.level = std::sqrt(sum / (b - a));
    s.frequency = crossings / 2.0 / ((b - a) / static_cast<double>(kRate));
    return s;
}

// The text of the message box with the application's name as caption (copied with CTRL+C).
std::string BoxText(const std::string& expected) {
    const auto box = testsupport::WaitForWindows("^Rivive Zuzuve$", 1, 60000);
    if (box.size() != 1) return "<no box>";
    QGuiApplication::clipboard()->setText(QString());
    testsupport::Run("xdotool", {"windowactivate", "--sync", box[0]});
    std::string text;
    for (int attempt = 0; attempt < 5 && text.find(expected) == std::string::npos; ++attempt) {
        testsupport::Run("xdotool", {"key", "--clearmodifiers", "ctrl+c"});
        testsupport::WaitUntil([&] {
            text = QGuiApplication::clipboard()->text().toStdString();
            return text.find(expected) != std::string::npos;
        }, std::chrono::seconds(2));
    }
    testsupport::Run("xdotool", {"key", "--clearmodifiers", "Return"});
    testsupport::WaitUntil([] { return testsupport::FindWindows("^Rivive Zuzuve$").empty(); });
    return text;
}

using LostSoundServer = RecorderProcess;

TEST_F(LostSoundServer, SoundGoesOnWhenItComesBackAndTheGapIsSilenceOfTheRightLength) {
    if (!SoundServer::Private() || std::system("pactl info >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs the private sound server of scripts/session";
    testsupport::TempDir out;
    WriteConfig("[Area Settings]\nRecordMode=1\n[Audio Settings]\nRecordAudio=1\n"
                "[Output Settings]\nAutoSave=1\nAutoSaveDir=" + out.Path() + "\n");
    ASSERT_NO_FATAL_FAILURE(Start());
    Tone before;
    before.Play(out.Path());
    Key("F8");
    ASSERT_TRUE(WaitForLog("Start Record,Record Audio 1")) << Log();
    std::this_thread::sleep_for(std::chrono::seconds(4));

    SoundServer::Kill();
    ASSERT_TRUE(WaitForLog("The sound server was lost")) << Log();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(SoundServer::Restart()) << "the sound server did not come back";
    ASSERT_TRUE(WaitForLog("The sound server is back")) << Log();
    Tone after;
    after.Play(out.Path());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Key("F10");

    const std::string text = BoxText("succeeded");
    const std::regex missing("sound is missing for ([0-9.]+) s");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match, missing)) << "the saved-file message: " << text;
    const double missingSeconds = std::atof(match[1].str().c_str());
    EXPECT_GE(missingSeconds, 2.0) << text;
    EXPECT_LE(missingSeconds, 8.0) << text;

    std::string saved;
    for (const auto& entry : std::filesystem::directory_iterator(out.Path()))
        if (entry.path().extension() == ".avi") saved = entry.path();
    ASSERT_FALSE(saved.empty()) << Log();
    const double video = StreamSeconds(saved, "v:0");
    const double sound = StreamSeconds(saved, "a:0");
    std::printf("video %.2f s, sound %.2f s, sound missing %.1f s\n", video, sound, missingSeconds);
    EXPECT_GE(video, 8.0);
    EXPECT_NEAR(sound, video, 0.5);

    // The tone before the loss, silence in the gap, and the tone again after it.
    const std::vector<float> samples = DecodeSound(saved);
    const double lossAt = 4.0;  // about: the server was killed 4 s after the start
    struct Check {
        const char* what;
        double from, to;
        bool tone;
    } checks[] = {
        {"before the loss", 1.0, lossAt - 1.0, true},
        {"in the gap", lossAt + 1.0, lossAt + missingSeconds - 1.0, false},
        {"after the gap", video - 2.0, video - 0.5, true},
    };
    for (const Check& c : checks) {
        const Stretch s = Measure(samples, c.from, c.to);
        std::printf("%s: level %.3f, %.0f Hz\n", c.what, s.level, s.frequency);
        if (c.tone) {
            EXPECT_GT(s.level, 0.1) << c.what;
            EXPECT_NEAR(s.frequency, 1000, 50) << c.what;
        } else {
            EXPECT_LT(s.level, 0.01) << c.what;
        }
    }
    // The silence in the file is as long as the message says (the tone comes back with the sound).
    const double step = 0.05;
    double silentFrom = -1, toneAgain = -1;
    for (double t = 1.0; t + step <= video && toneAgain < 0; t += step) {
        const bool tone = Measure(samples, t, t + step).level > 0.1;
        if (!tone && silentFrom < 0) silentFrom = t;
        if (tone && silentFrom >= 0) toneAgain = t;
    }
    ASSERT_GE(silentFrom, 0) << "no gap in the sound";
    ASSERT_GE(toneAgain, 0) << "the tone did not come back";
    EXPECT_NEAR(toneAgain - silentFrom, missingSeconds, 0.5);
}

}  // namespace
}  // namespace faults
