#include "fake_converter.h"

#include "support/test_support.h"

#include <cstring>

namespace finishtest {

class FakeConverter::Child : public platform::ChildProcess {
public:
    Child(FakeConverter& owner, ScriptedRun run, std::size_t index)
        : owner_(owner), run_(std::move(run)), index_(index) {}
    int Id() const override { return 0; }
    std::size_t Read(char* buffer, std::size_t size) override {
        if (run_.stepwise) {
            std::unique_lock lock(owner_.mutex_);
            owner_.released_.wait(lock, [this] { return owner_.releases_ > 0; });
            --owner_.releases_;
        }
        if (next_ == run_.chunks.size()) {
            ended_ = true;
            return 0;
        }
        const std::string& chunk = run_.chunks[next_++];
        const std::size_t n = std::min(size, chunk.size());
        std::memcpy(buffer, chunk.data(), n);
        return n;
    }
    platform::ExitStatus Terminate(std::chrono::milliseconds waitFirst) override {
        {
            std::lock_guard lock(owner_.mutex_);
            owner_.waits_[index_] = static_cast<long>(waitFirst.count());
        }
        if (ended_ && !run_.createsFile.empty()) testsupport::WriteFile(run_.createsFile, "converted");
        return ended_ ? run_.status : platform::ExitStatus{false, -1, 15};
    }

private:
    FakeConverter& owner_;
    ScriptedRun run_;
    std::size_t index_;
    std::size_t next_ = 0;
    bool ended_ = false;
};

void FakeConverter::Script(ScriptedRun run) {
    std::lock_guard lock(mutex_);
    runs_.push_back(std::move(run));
}

void FakeConverter::Release() {
    {
        std::lock_guard lock(mutex_);
        ++releases_;
    }
    released_.notify_all();
}

std::unique_ptr<platform::ChildProcess> FakeConverter::Start(const std::vector<std::string>& argv,
                                                             const platform::StartOptions& options,
                                                             std::string* error) {
    std::lock_guard lock(mutex_);
    starts_.push_back(argv);
    allOwnGroups_ = allOwnGroups_ && options.ownProcessGroup;
    if (runs_.empty() || runs_.front().failsToStart) {
        if (!runs_.empty()) runs_.pop_front();
        if (error) *error = "no such program";
        return nullptr;
    }
    waits_.push_back(-1);
    auto child = std::make_unique<Child>(*this, std::move(runs_.front()), waits_.size() - 1);
    runs_.pop_front();
    return child;
}

std::vector<std::vector<std::string>> FakeConverter::Starts() const {
    std::lock_guard lock(mutex_);
    return starts_;
}

std::vector<long> FakeConverter::TerminateWaits() const {
    std::lock_guard lock(mutex_);
    return waits_;
}

bool FakeConverter::AllOwnGroups() const {
    std::lock_guard lock(mutex_);
    return allOwnGroups_;
}

}  // namespace finishtest
