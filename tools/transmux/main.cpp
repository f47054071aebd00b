// codes/Transmux: the recorder's converter. It takes the recorder's command lines, describes its
// inputs with ffprobe and hands each conversion to ffmpeg, printing what the recorder reads back:
// "bitrate: N kb/s" for a probe, "time=S.SS bitrate=R.Rkbits/s" while converting. The output
// appears under its name only when it is complete; any failure ends with one line saying why
// and a non-zero status.
#include "ffmpeg_args.h"
#include "platform/core/process.h"
#include "progress.h"
#include "request.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace transmux;

constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr std::size_t kMessageLimit = 300;

volatile std::sig_atomic_t g_stopRequested = 0;
volatile std::sig_atomic_t g_child = 0;

void OnStop(int) {
    g_stopRequested = 1;
    if (g_child > 0) kill(g_child, SIGTERM);
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStop;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
    // A reader that went away must not end us before the partial output is removed.
    signal(SIGPIPE, SIG_IGN);
}

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Fail(const std::string& why, int status = kFailed) {
    std::fprintf(stderr, "Transmux: %s\n", why.c_str());
    std::fflush(stderr);
    return status;
}

// How a run of ffprobe or ffmpeg ended.
struct Outcome {
    enum Kind { Done, NotStarted, Stopped, Failed } kind = Done;
    std::string why;  // for every kind but Done: the line that says why
};

// Runs a tool to its end, handing each output line to `line`, which returns false for a line
// that is a message (the last one says why the tool failed).
template <typename LineFn>
Outcome RunTool(const std::vector<std::string>& argv, LineFn line) {
    std::string error;
    std::unique_ptr<platform::ChildProcess> child =
        platform::SystemProcessLauncher().Start(argv, platform::StartOptions{}, &error);
    if (!child) return {Outcome::NotStarted, "ffmpeg is not installed or cannot be started (" + error + ")"};
    g_child = child->Id();
    if (g_stopRequested) kill(child->Id(), SIGTERM);
    std::string pending, lastMessage;
    char buffer[4096];
    auto takeLine = [&](std::string& text) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (!line(text) && !text.empty()) lastMessage = text.substr(0, kMessageLimit);
        text.clear();
    };
    while (std::size_t n = child->Read(buffer, sizeof buffer)) {
        for (std::size_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') takeLine(pending);
            else if (pending.size() < 64 * 1024) pending += buffer[i];
        }
    }
    if (!pending.empty()) takeLine(pending);
    g_child = 0;  // before the child is reaped and its id can be reused
    const platform::ExitStatus status = child->Terminate(std::chrono::seconds(5));
    if (g_stopRequested) return {Outcome::Stopped, "stopped"};
    if (status.Succeeded()) return {};
    return {Outcome::Failed, lastMessage.empty() ? "exit status " + std::to_string(status.code) : lastMessage};
}

bool ProbeInput(const std::string& input, InputInfo* info, std::string* why) {
    std::string text;
    Outcome outcome = RunTool(ProbeArgs(input), [&](const std::string& l) {
        if (!IsKeyValueLine(l)) return false;
        text += l + "\n";
        return true;
    });
    if (outcome.kind == Outcome::Failed) outcome.why = "input unreadable: " + input + ": " + outcome.why;
    *why = outcome.why;
    if (outcome.kind != Outcome::Done) return false;
    *info = ParseProbeOutput(text);
    return true;
}

// A fresh file beside `output` that the conversion writes first; empty when the folder cannot
// be written.
std::string ReserveTarget(const std::string& output, std::string* why) {
    std::string name = output + ".XXXXXX.part";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), 5);
    if (fd < 0) {
        *why = "output not writable: " + output + ": " + std::strerror(errno);
        return {};
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return buffer.data();
}

int Convert(const Request& request, const InputInfo& video) {
    struct stat st {};
    if (!request.overwrite && stat(request.output.c_str(), &st) == 0)
        return Fail("output exists and -y was not given: " + request.output);
    std::string why;
    const std::string target = ReserveTarget(request.output, &why);
    if (target.empty()) return Fail(why);

    ProgressReader progress;
    const Outcome outcome = RunTool(ConvertArgs(request, video, target), [&](const std::string& l) {
        if (!IsKeyValueLine(l)) return false;
        if (auto text = progress.Feed(l)) PrintLine(*text);
        return true;
    });
    if (outcome.kind != Outcome::Done) {
        unlink(target.c_str());
        return Fail(outcome.kind == Outcome::Failed ? "encoder failed: " + outcome.why : outcome.why);
    }
    if (stat(target.c_str(), &st) != 0 || st.st_size == 0) {
        unlink(target.c_str());
        return Fail("encoder failed: no output was written");
    }
    if (rename(target.c_str(), request.output.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        unlink(target.c_str());
        return Fail("output not writable: " + request.output + ": " + reason);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    InstallSignals();
    Request request;
    std::string why;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &request, &why))
        return Fail(why, kRefused);

    std::vector<InputInfo> infos;
    for (const std::string& input : request.inputs) {
        InputInfo info;
        if (!ProbeInput(input, &info, &why)) return Fail(why);
        infos.push_back(info);
    }
    if (request.Probe()) {
        for (std::size_t i = 0; i < infos.size(); ++i) PrintLine(BitrateLine(i, request.inputs[i], infos[i]));
        return 0;
    }
    return Convert(request, infos[0]);
}
