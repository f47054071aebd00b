// Test entry: a QApplication for every test executable (offscreen when there is no display).
//
// Every test process runs from a program folder of its own: the executable is linked into a
// fresh folder and run from there, so tests running side by side never share the Config.ini,
// the log or the skins link that the recorder keeps beside its executable, nor the temporary
// folder (TMPDIR points into it).
#include <QApplication>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kOwnFolderVariable = "RZ_TEST_OWN_PROGRAM_FOLDER";

// Runs this executable again from a fresh folder beside it and returns its exit status, or -1
// when the process already runs from its own folder (or one cannot be made: it then runs here).
int RunFromOwnProgramFolder(char** argv) {
    namespace fs = std::filesystem;
    if (std::getenv(kOwnFolderVariable)) return -1;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return -1;
    std::string pattern = (exe.parent_path() / "programs").string();
    fs::create_directories(pattern, ec);
    pattern += "/" + exe.filename().string() + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return -1;
    const fs::path folder = pattern;
    const fs::path copy = folder / exe.filename();
    if (::link(exe.c_str(), copy.c_str()) != 0 && !fs::copy_file(exe, copy, ec)) {
        fs::remove_all(folder, ec);
        return -1;
    }

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(1);
        setenv(kOwnFolderVariable, "1", 1);
        // Temporary files too: recordings a test leaves behind are neither offered to nor taken
        // over by another test's recorder, and go with the folder.
        const fs::path temp = folder / "tmp";
        if (fs::create_directory(temp, ec)) setenv("TMPDIR", temp.c_str(), 1);
        // The libraries the executable finds beside itself stay where they were built.
        std::string libraries = std::string(RZ_BIN_DIR) + ":" + exe.parent_path().string();
        if (const char* old = std::getenv("LD_LIBRARY_PATH")) libraries += std::string(":") + old;
        setenv("LD_LIBRARY_PATH", libraries.c_str(), 1);
        execv(copy.c_str(), argv);
        _exit(127);
    }
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    fs::remove_all(folder, ec);
    if (child < 0) return 1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = RunFromOwnProgramFolder(argv); status >= 0) return status;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
