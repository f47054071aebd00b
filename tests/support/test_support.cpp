#include "support/test_support.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rz-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = std::string(made ? made : "/tmp") + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer) {
    platform::SetMessageBoxHook([this](const platform::MessageBoxRequest& r) {
        std::lock_guard lock(mutex_);
        boxes_.push_back(r);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { platform::SetMessageBoxHook(nullptr); }

std::vector<platform::MessageBoxRequest> MessageBoxRecorder::Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void MessageBoxRecorder::SetAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answer_ = answer;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool ProcessPosted(std::chrono::milliseconds timeout) {
    // A call queued now runs after everything queued before it.
    QObject marker;
    bool reached = false;
    QMetaObject::invokeMethod(&marker, [&reached] { reached = true; }, Qt::QueuedConnection);
    return WaitUntil([&reached] { return reached; }, timeout);
}

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[65536];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace testsupport
