#include "support/av_sync.h"

#include <ctime>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace testsupport {

namespace {

constexpr int kRate = 44100;
constexpr double kOnsetLevel = 0.25;   // a beep is 0.5 of full scale, the tone under it 0.03
constexpr double kQuietBefore = 0.5;   // seconds of quiet that come before an onset

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string Output(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return out;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, got);
    return out;
}

std::int64_t MonotonicUs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1000000 + t.tv_nsec / 1000;
}

void SleepUntilUs(std::int64_t us) { std::this_thread::sleep_for(std::chrono::microseconds(us - MonotonicUs())); }

pid_t Spawn(const std::vector<std::string>& argv, int out = -1) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0) posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

void Key(const char* key) { Output(std::string("xdotool key ") + key + " 2>&1"); }

// Waits up to `seconds` for `done`.
template <typename Done>
bool WaitFor(Done done, double seconds) {
    const std::int64_t end = MonotonicUs() + static_cast<std::int64_t>(seconds * 1e6);
    while (!done()) {
        if (MonotonicUs() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// Per decoded frame: its time and mean brightness, from ffmpeg's showinfo filter.
void ReadFlashes(const std::string& path, AvEvents* events) {
    std::istringstream lines(Output("ffmpeg -nostdin -hide_banner -i " + Quoted(path) +
                                   " -map 0:v -fps_mode passthrough -vf format=gray,showinfo -f null - 2>&1"));
    bool bright = false;
    double previous = 0;
    for (std::string line; std::getline(lines, line);) {
        std::size_t time = line.find("pts_time:"), mean = line.find("mean:[");
        if (time == std::string::npos || mean == std::string::npos) continue;
        double seconds = std::atof(line.c_str() + time + 9);
        double level = std::atof(line.c_str() + mean + 6);
        if (level > 128 && !bright) {
            events->flashes.push_back(seconds);
            events->before.push_back(previous);
        }
        bright = level > 128;
        previous = seconds;
    }
}

void ReadBeeps(const std::string& path, AvEvents* events) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen(("ffmpeg -nostdin -v error -i " + Quoted(path) + " -map 0:a -ac 1 -ar " +
               std::to_string(kRate) + " -f s16le - 2>/dev/null").c_str(), "r"),
        pclose);
    if (!pipe) return;
    std::int16_t buffer[4096];
    std::uint64_t n = 0, lastLoud = 0;
    bool anyLoud = false;
    double headSum = 0;
    for (std::size_t got; (got = std::fread(buffer, sizeof buffer[0], 4096, pipe.get())) > 0;) {
        for (std::size_t i = 0; i < got; ++i, ++n) {
            double v = buffer[i] / 32768.0;
            if (n < kRate / 5) headSum += v * v;
            if (std::fabs(v) <= kOnsetLevel) continue;
            if (!anyLoud || n - lastLoud > kQuietBefore * kRate) events->beeps.push_back(double(n) / kRate);
            anyLoud = true;
            lastLoud = n;
        }
    }
    events->headLevel = std::sqrt(headSum / (kRate / 5));
    events->soundSeconds = double(n) / kRate;
}

}  // namespace

AvEvents MeasureFlashesAndBeeps(const std::string& path) {
    AvEvents events;
    ReadFlashes(path, &events);
    ReadBeeps(path, &events);
    return events;
}

std::vector<AvPair> PairFlashesWithBeeps(const AvEvents& events, double window) {
    std::vector<AvPair> pairs;
    for (std::size_t i = 0; i < events.flashes.size(); ++i) {
        const double flash = events.flashes[i];
        const double* best = nullptr;
        for (const double& beep : events.beeps)
            if (std::fabs(beep - flash) <= window && (!best || std::fabs(beep - flash) < std::fabs(*best - flash)))
                best = &beep;
        if (best) pairs.push_back({flash, *best, events.before[i]});
    }
    return pairs;
}

AvFit Fit(const std::vector<AvPair>& pairs) {
    AvFit fit;
    if (pairs.empty()) return fit;
    double st = 0, so = 0, stt = 0, sto = 0;
    for (const AvPair& p : pairs) {
        st += p.beep;
        so += p.Offset();
        stt += p.beep * p.beep;
        sto += p.beep * p.Offset();
        if (std::fabs(p.Offset()) > std::fabs(fit.largest)) fit.largest = p.Offset();
    }
    const double n = static_cast<double>(pairs.size());
    fit.mean = so / n;
    const double spread = stt - st * st / n;
    if (spread > 0) fit.driftPerMinute = (sto - st * so / n) / spread * 60;
    return fit;
}

FlashBeepRun RecordFlashBeep(const std::string& folder, int seconds, double pauseAfter, double pauseSeconds) {
    namespace fs = std::filesystem;
    FlashBeepRun run;
    const fs::path program = fs::path(folder) / "program", saved = fs::path(folder) / "saved";
    fs::copy(RZ_BIN_DIR, program, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::error_code ec;
    fs::remove(program / "Config.ini", ec);
    fs::remove_all(program / "Diary", ec);
    fs::create_directories(saved);  // an automatic folder that does not exist is replaced
    const int x = 200, y = 200, width = 160, height = 120;
    std::ofstream(program / "Config.ini")
        << "[Area Settings]\nRecordMode=0\nRecordLeft=" << x << "\nRecordTop=" << y << "\nRecordRight=" << width
        << "\nRecordBottom=" << height << "\nFlashingRect=0\n"
        << "[Video Settings]\nFrameRate=30\nRecordMouse=0\nHighLightMouse=0\nVideoType=100\n"
        << "[Audio Settings]\nRecordAudio=1\nAudio_bits_per_sample=16\nAudio_num_channels=1\n"
           "Audio_samples_per_seconds=22050\n"
        << "[Output Settings]\nAutoSave=1\nAutoSaveDir=" << saved.string() << "\n"
        << "[Global Options]\nStartMinimize=0\nPlayVideo=0\nTrayIcon=0\n";

    // The stimulus runs from before the start until after the stop.
    const fs::path stimulusOut = fs::path(folder) / "flash_beep.txt";
    FILE* out = std::fopen(stimulusOut.c_str(), "w");
    const int total = seconds + static_cast<int>(pauseSeconds) + 12;
    pid_t stimulus = Spawn({RZ_FLASH_BEEP, std::to_string(x), std::to_string(y), std::to_string(width),
                            std::to_string(height), std::to_string(total)},
                           out ? fileno(out) : -1);
    if (out) std::fclose(out);
    pid_t recorder = Spawn({(program / "RiviveZuzuve").string()});
    auto stimulusText = [&] {
        std::ifstream in(stimulusOut);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::int64_t base = 0;
    const bool ready =
        WaitFor([&] { return stimulusText().find("base ") != std::string::npos; }, 20) &&
        WaitFor([] { return !Output("xdotool search --onlyvisible --name '^Velmora Zudodo Raridevi$'").empty(); }, 30);
    if (ready) {
        base = std::atoll(stimulusText().c_str() + stimulusText().find("base ") + 5);
        // Two seconds for the sink to leave any idle latency, then start half way between flashes.
        std::int64_t start = base + 3000000;
        while (start < MonotonicUs() + 2000000) start += 2000000;
        SleepUntilUs(start);
        Key("F8");
        const std::int64_t recording = MonotonicUs() + 500000;  // the start's own wait
        run.startAfterFirstFlash = (recording - base) / 1e6;
        run.pauseAfter = pauseAfter;
        run.pauseSeconds = pauseSeconds;
        if (pauseSeconds > 0) {
            SleepUntilUs(recording + static_cast<std::int64_t>(pauseAfter * 1e6));
            Key("F9");
            SleepUntilUs(recording + static_cast<std::int64_t>((pauseAfter + pauseSeconds) * 1e6));
            Key("F8");  // Start while paused resumes
        }
        SleepUntilUs(recording + static_cast<std::int64_t>((seconds + pauseSeconds) * 1e6));
        Key("F10");
        // The join writes under a hidden temporary name and renames the finished file.
        WaitFor(
            [&] {
                for (const auto& entry : fs::directory_iterator(saved))
                    if (entry.path().extension() == ".avi") run.output = entry.path().string();
                return !run.output.empty();
            },
            120 + seconds);
    }
    End(recorder);
    End(stimulus);
    std::istringstream lines(stimulusText());
    for (std::string line; std::getline(lines, line);) {
        long long n = 0, late = 0;
        if (std::sscanf(line.c_str(), "flash %lld late %lld", &n, &late) == 2 && late > 10000)
            run.lateFlashes.push_back(static_cast<int>(n));
    }
    std::ifstream log(program / "Diary" / "RiviveZuzuve.log");
    run.log.assign(std::istreambuf_iterator<char>(log), {});
    return run;
}

std::vector<AvPair> WithoutLateFlashes(const std::vector<AvPair>& pairs, const FlashBeepRun& run) {
    std::vector<AvPair> kept;
    for (const AvPair& p : pairs) {
        // The start and the pause lie half way between flashes, so rounding finds the flash.
        double sinceFirst = run.startAfterFirstFlash + p.flash +
                            (run.pauseSeconds > 0 && p.flash > run.pauseAfter ? run.pauseSeconds : 0);
        int n = static_cast<int>(std::lround(sinceFirst / 2));
        if (std::find(run.lateFlashes.begin(), run.lateFlashes.end(), n) == run.lateFlashes.end()) kept.push_back(p);
    }
    return kept;
}

}  // namespace testsupport
