#include "e2e/faults/recorder_process.h"

#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace faults {

void RecorderProcess::SetUp() {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    testsupport::CopyProgramFolder(program_.Path());
}

void RecorderProcess::TearDown() {
    if (recorder_.state() != QProcess::NotRunning) {
        recorder_.kill();
        recorder_.waitForFinished();
    }
}

void RecorderProcess::WriteConfig(const std::string& text) {
    testsupport::WriteFile(program_.File("Config.ini"), text);
}

void RecorderProcess::Start(const std::string& tmpdir) {
    tmpdir_ = tmpdir.empty() ? tmp_.Path() : tmpdir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", QString::fromStdString(tmpdir_));
    recorder_.setProcessEnvironment(env);
    recorder_.setProcessChannelMode(QProcess::ForwardedChannels);
    recorder_.start(QString::fromStdString(program_.File("RiviveZuzuve")), {});
    ASSERT_TRUE(recorder_.waitForStarted());
    ASSERT_EQ(testsupport::WaitForWindows(kMainWindow, 1, 20000).size(), 1u)
        << "the main window did not come up";
    ASSERT_TRUE(WaitForLog("Start Rivive Zuzuve.exe"));
}

void RecorderProcess::Key(const char* key) {
    testsupport::Run("xdotool", {"key", "--clearmodifiers", key});
}

std::string RecorderProcess::Log() const {
    return testsupport::ReadFile(program_.File("Diary/RiviveZuzuve.log"));
}

bool RecorderProcess::WaitForLog(const std::string& text, int seconds) const {
    return testsupport::WaitUntil([&] { return Log().find(text) != std::string::npos; },
                                  std::chrono::seconds(seconds));
}

std::string RecorderProcess::PrivateTemp() const {
    std::string base = tmpdir_;
    if (!base.empty() && base.back() != '/') base += '/';
    return base + "rivive-zuzuve-" + std::to_string(getuid()) + "/";
}

double MediaSeconds(const std::string& path) { return StreamSeconds(path, "0"); }

double StreamSeconds(const std::string& path, const char* which) {
    int code = -1;
    std::string out = testsupport::Run(
        "ffprobe", {"-v", "error", "-select_streams", which, "-show_entries",
                    "packet=pts_time,duration_time", "-of", "csv=p=0", path},
        &code, 60000);
    if (code != 0) return -1;
    double end = -1;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        double pts = 0, duration = 0;
        char comma = 0;
        std::istringstream fields(line);
        if (fields >> pts >> comma >> duration) end = std::max(end, pts + duration);
        else if (std::istringstream(line) >> pts) end = std::max(end, pts);
    }
    return end;
}

double HeaderSeconds(const std::string& path) {
    int code = -1;
    std::string out = testsupport::Run(
        "ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path},
        &code);
    if (code != 0 || out.empty()) return -1;
    return std::atof(out.c_str());
}

std::string RecorderProcess::WaitForSavedAvi(const std::string& folder) const {
    std::string saved;
    testsupport::WaitUntil([&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".avi") saved = entry.path();
        return !saved.empty() && testsupport::FindWindows("^Rivive Zuzuve$").size() == 1;
    }, std::chrono::seconds(60));
    return saved;
}

}  // namespace faults
