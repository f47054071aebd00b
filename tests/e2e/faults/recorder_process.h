#pragma once
// The real recorder started from a copy of its program folder, with a temporary folder of the
// test's own (TMPDIR), driven by its hot keys; its log, its temporary files and what ffprobe
// makes of them.
#include "support/desktop.h"
#include "support/test_support.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <string>

namespace faults {

constexpr const char* kMainWindow = "^Velmora Zudodo Raridevi$";

class RecorderProcess : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Config.ini in the program folder before the start.
    void WriteConfig(const std::string& text);
    // Starts the recorder with TMPDIR = `tmpdir` (default: a folder of the test's own) and waits
    // for its main window.
    void Start(const std::string& tmpdir = {});
    // Presses a global hot key (F8 Start, F9 Pause, F10 Stop).
    void Key(const char* key);
    std::string Log() const;
    // Waits until the log holds `text`.
    bool WaitForLog(const std::string& text, int seconds = 20) const;
    // The recorder's private temporary folder under the TMPDIR it was given.
    std::string PrivateTemp() const;
    // Waits until an AVI lies in `folder` and the saved-file message is gone again (only the
    // main window's own title is left); the AVI's path, empty when none came in 60 s.
    std::string WaitForSavedAvi(const std::string& folder) const;

    testsupport::TempDir program_;
    testsupport::TempDir tmp_;
    std::string tmpdir_;
    QProcess recorder_;
};

// Seconds of media in `path` by ffprobe: the end of the last packet of its first stream
// (a file without an index or with stale sizes is read as far as it goes); -1 when unreadable.
double MediaSeconds(const std::string& path);
// The same for the stream `which` ("v:0", "a:0").
double StreamSeconds(const std::string& path, const char* which);
// The duration a reader takes from the header (for a WAVE file: data length / byte rate).
double HeaderSeconds(const std::string& path);

}  // namespace faults
