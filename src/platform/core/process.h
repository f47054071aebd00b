#pragma once
// Child processes with redirected output: a program started from an argv (never through a shell),
// its standard input on a pipe nobody writes to, its standard output and standard error together
// on one pipe the parent reads in chunks.
//
// Thread contract: a ChildProcess is used by one thread at a time (the one that started it or
// the one it was handed to). Start may be called from any thread. The pipe ends kept by the
// parent are close-on-exec, so a child never inherits another child's pipes.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct ExitStatus {
    bool exited = false;  // ended by itself (not by a signal)
    int code = -1;        // its exit code when `exited`
    int signal = 0;       // the signal that ended it otherwise
    bool Succeeded() const { return exited && code == 0; }
};

class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    // The process id (for a signal handler that passes a stop on).
    virtual int Id() const = 0;
    // Reads up to `size` bytes of the child's output as they come; 0 once the child has closed
    // its end (it has ended) or the read fails.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Ends the child: waits up to `waitFirst` for it to end by itself, then asks it to stop
    // (SIGTERM) and, when it has not ended after a further grace period, kills it. Reaps it and
    // says how it ended. Later calls return the same status.
    virtual ExitStatus Terminate(std::chrono::milliseconds waitFirst) = 0;
};

struct StartOptions {
    // The child leads a process group of its own, and stopping it stops everything it started
    // in that group.
    bool ownProcessGroup = false;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // `argv[0]` is the program: a path, or a name looked up in PATH. Null when the pipes cannot
    // be made or the program cannot be started; `error` (may be null) then says why.
    virtual std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv,
                                                const StartOptions& options, std::string* error) = 0;
};

// posix_spawn with pipes.
ProcessLauncher& SystemProcessLauncher();

}  // namespace platform
