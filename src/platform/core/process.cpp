#include "platform/core/process.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <utility>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

constexpr std::chrono::milliseconds kStopGrace{2000};

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~Fd() { Reset(); }
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd = -1) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

bool MakePipe(Fd* readEnd, Fd* writeEnd) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd->Reset(fds[0]);
    writeEnd->Reset(fds[1]);
    return true;
}

ExitStatus StatusOf(int status) {
    ExitStatus result;
    if (WIFEXITED(status)) {
        result.exited = true;
        result.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

class PosixChild : public ChildProcess {
public:
    PosixChild(pid_t pid, Fd output, Fd input, bool ownGroup)
        : pid_(pid), output_(std::move(output)), input_(std::move(input)), ownGroup_(ownGroup),
          pidFd_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}

    ~PosixChild() override { Terminate(std::chrono::milliseconds(0)); }

    int Id() const override { return pid_; }

    std::size_t Read(char* buffer, std::size_t size) override {
        if (output_.Get() < 0) return 0;
        for (;;) {
            const ssize_t n = read(output_.Get(), buffer, size);
            if (n > 0) return static_cast<std::size_t>(n);
            if (n < 0 && errno == EINTR) continue;
            return 0;
        }
    }

    ExitStatus Terminate(std::chrono::milliseconds waitFirst) override {
        if (!reaped_) {
            if (!WaitFor(waitFirst)) {
                Signal(SIGTERM);
                if (!WaitFor(kStopGrace)) {
                    Signal(SIGKILL);
                    Reap(true);
                }
            }
        }
        output_.Reset();
        input_.Reset();
        pidFd_.Reset();
        return status_;
    }

private:
    void Signal(int signal) { kill(ownGroup_ ? -pid_ : pid_, signal); }

    // Reaps the child; false when it is still running (and `block` is false).
    bool Reap(bool block) {
        if (reaped_) return true;
        int status = 0;
        pid_t r;
        do r = waitpid(pid_, &status, block ? 0 : WNOHANG);
        while (r < 0 && errno == EINTR);
        if (r == 0) return false;
        reaped_ = true;
        if (r == pid_) status_ = StatusOf(status);
        return true;
    }

    // Waits up to `timeout` for the child to end, then reaps it.
    bool WaitFor(std::chrono::milliseconds timeout) {
        if (Reap(false)) return true;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return Reap(false);
            if (pidFd_.Get() >= 0) {
                pollfd p{pidFd_.Get(), POLLIN, 0};
                poll(&p, 1, static_cast<int>(left.count()));
            } else {
                // Kernels without process descriptors.
                std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
            }
            if (Reap(false)) return true;
        }
    }

    pid_t pid_;
    Fd output_;
    Fd input_;  // never written; kept open while the child runs
    bool ownGroup_;
    Fd pidFd_;
    bool reaped_ = false;
    ExitStatus status_;
};

class PosixLauncher : public ProcessLauncher {
public:
    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv, const StartOptions& options,
                                        std::string* error) override {
        auto fail = [error](const std::string& why) -> std::unique_ptr<ChildProcess> {
            if (error) *error = why;
            return nullptr;
        };
        if (argv.empty()) return fail("no program");
        Fd outRead, outWrite, inRead, inWrite;
        if (!MakePipe(&outRead, &outWrite) || !MakePipe(&inRead, &inWrite))
            return fail(std::string("pipe: ") + std::strerror(errno));

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, inRead.Get(), STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        if (options.ownProcessGroup) {
            flags |= POSIX_SPAWN_SETPGROUP;
            posix_spawnattr_setpgroup(&attributes, 0);
        }
        // The child starts with default signal handling and nothing blocked, whatever the parent
        // has set up for itself.
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, flags);

        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        pid_t pid = 0;
        const int rc = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (rc != 0) return fail(argv[0] + ": " + std::strerror(rc));
        // The child's ends belong to the child now.
        return std::make_unique<PosixChild>(pid, std::move(outRead), std::move(inWrite), options.ownProcessGroup);
    }
};

}  // namespace

ProcessLauncher& SystemProcessLauncher() {
    static PosixLauncher launcher;
    return launcher;
}

}  // namespace platform
