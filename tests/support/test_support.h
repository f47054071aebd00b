#pragma once
// Small helpers shared by the tests.
#include "platform/core/message_box.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// A fresh, empty folder below the build's temporary area; removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }  // with a trailing '/'
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Records every message box instead of showing it, answering with `answer`.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = platform::IDOK);
    ~MessageBoxRecorder();
    std::vector<platform::MessageBoxRequest> Boxes() const;
    void SetAnswer(int answer);

private:
    mutable std::mutex mutex_;
    std::vector<platform::MessageBoxRequest> boxes_;
    int answer_;
};

// Processes Qt events until `done` is true or the time runs out; returns `done()`.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Processes everything posted to this thread so far (Qt events and window messages, in the
// order they were posted); false when that takes longer than `timeout`.
bool ProcessPosted(std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Runs a shell command line and returns its standard output.
std::string Shell(const std::string& command);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

}  // namespace testsupport
