#pragma once
// A stand-in for starting the converter: each start takes the next scripted run (its output in
// chunks and its exit status), or fails when none is left. A run may hand its chunks over one
// at a time as the test releases them.
#include "platform/core/process.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace finishtest {

struct ScriptedRun {
    std::vector<std::string> chunks;
    platform::ExitStatus status{true, 0, 0};
    std::string createsFile{};  // written when the run ends by itself (the converter's output)
    bool stepwise = false;    // chunks wait for Release()
    bool failsToStart = false;
};

class FakeConverter : public platform::ProcessLauncher {
public:
    void Script(ScriptedRun run);
    // Lets the running stepwise run hand over its next chunk (or end, when none is left).
    void Release();

    std::unique_ptr<platform::ChildProcess> Start(const std::vector<std::string>& argv,
                                                  const platform::StartOptions& options, std::string* error) override;

    std::vector<std::vector<std::string>> Starts() const;
    // The waits the runs were ended with (-1 for a run not ended yet).
    std::vector<long> TerminateWaits() const;
    bool AllOwnGroups() const;

private:
    class Child;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    int releases_ = 0;
    std::deque<ScriptedRun> runs_;
    std::vector<std::vector<std::string>> starts_;
    std::vector<long> waits_;
    bool allOwnGroups_ = true;
};

}  // namespace finishtest
