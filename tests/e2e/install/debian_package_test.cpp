// The Debian package made from the current build: what it holds, what it depends on, and a menu
// entry the desktop accepts.
#include "platform/core/paths.h"
#include "platform/core/version.h"
#include "support/test_support.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

namespace fs = std::filesystem;

// Runs a program; its standard output and error together, and its exit code.
std::string Output(const QString& program, const QStringList& args, int* code) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(300000)) process.kill();
    *code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll().toStdString();
}

// dpkg-deb on the package; its output, and a failure when it fails.
std::string Dpkg(const QStringList& args) {
    int code = 0;
    std::string out = Output("dpkg-deb", args, &code);
    EXPECT_EQ(code, 0) << out;
    return out;
}

void ExpectFiles(const std::string& package) {
    const std::string listing = Dpkg({"-c", QString::fromStdString(package)});
    std::vector<std::string> expected = {
        "-rwxr-xr-x .* ./usr/bin/rivive-zuzuve$",
        "-rwxr-xr-x .* ./usr/lib/rivive-zuzuve/RiviveZuzuve$",
        " ./usr/lib/rivive-zuzuve/libRzPlatform.so$",
        " ./usr/lib/rivive-zuzuve/libPhrasebook.so$",
        " ./usr/lib/rivive-zuzuve/libDiary.so$",
        " ./usr/lib/rivive-zuzuve/libClickwatch.so$",
        " ./usr/lib/rivive-zuzuve/Languages/English.xml$",
        " ./usr/lib/rivive-zuzuve/skins/main.bmp$",
        " ./usr/lib/rivive-zuzuve/skins/Select Area.bmp$",
        " ./usr/share/applications/rivive-zuzuve.desktop$",
        " ./usr/share/doc/rivive-zuzuve/copyright$",
        " ./usr/share/doc/rivive-zuzuve/changelog.gz$",
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected.push_back(" ./usr/share/icons/hicolor/" + std::to_string(size) + "x" +
                           std::to_string(size) + "/apps/rivive-zuzuve.png$");
    // The converter comes along whenever the build has it.
    if (platform::FileExists(RZ_BIN_DIR "/codes/Transmux"))
        expected.push_back("-rwxr-xr-x .* ./usr/lib/rivive-zuzuve/codes/Transmux$");
    for (const std::string& line : expected)
        EXPECT_TRUE(std::regex_search(listing, std::regex(line, std::regex::multiline)))
            << line << "\n" << listing;
    // Nothing a run of the recorder leaves in the build's program folder.
    for (const char* left : {"Config.ini", "/Diary/", "temp.avi", "temp.wav"})
        EXPECT_EQ(listing.find(left), std::string::npos) << left;
}

void ExpectDependenciesAndVersion(const std::string& package) {
    const QString deb = QString::fromStdString(package);
    const std::string depends = Dpkg({"-f", deb, "Depends"});
    for (const char* name : {"libqt6widgets6", "libqt6gui6", "qt6-qpa-plugins", "libx11-6",
                             "libxi6", "libpulse0", "libavformat", "libavcodec", "ffmpeg",
                             "xdg-utils"})
        EXPECT_NE(depends.find(name), std::string::npos) << name << " in " << depends;
    // The package carries the build's version, and the changelog's newest entry names it.
    const std::string version = platform::GetVersionText();
    EXPECT_EQ(Dpkg({"-f", deb, "Version"}), version + "\n");
    const std::string changelog = testsupport::Shell(
        "dpkg-deb --fsys-tarfile '" + package +
        "' | tar -xOf - ./usr/share/doc/rivive-zuzuve/changelog.gz | zcat | head -1");
    EXPECT_EQ(changelog.rfind("rivive-zuzuve (" + version + ") ", 0), 0u) << changelog;
}

void ExpectValidMenuEntry(const std::string& package) {
    testsupport::TempDir unpacked;
    Dpkg({"-x", QString::fromStdString(package), QString::fromStdString(unpacked.Path())});
    const std::string entry = unpacked.File("usr/share/applications/rivive-zuzuve.desktop");
    int code = 0;
    const std::string verdict = Output("desktop-file-validate", {QString::fromStdString(entry)}, &code);
    EXPECT_EQ(code, 0) << verdict;
    EXPECT_EQ(verdict, "");
    // It starts the launcher with the icon the package installs.
    const std::string text = testsupport::ReadFile(entry);
    EXPECT_NE(text.find("\nExec=rivive-zuzuve\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=rivive-zuzuve\n"), std::string::npos) << text;
}

// One package, made from the build folder as it stands (nothing is rebuilt), for every check.
TEST(DebianPackage, HoldsTheInstalledFilesDeclaresItsDependenciesAndItsMenuEntryValidates) {
    testsupport::TempDir folder;
    int code = 0;
    const std::string log = Output("cpack", {"-G", "DEB", "--config", RZ_BIN_DIR "/../CPackConfig.cmake",
                                             "-B", QString::fromStdString(folder.Path())},
                                   &code);
    ASSERT_EQ(code, 0) << log;
    std::string package;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        if (entry.path().extension() == ".deb") package = entry.path().string();
    ASSERT_FALSE(package.empty()) << log;
    {
        SCOPED_TRACE("files");
        ExpectFiles(package);
    }
    {
        SCOPED_TRACE("dependencies and version");
        ExpectDependenciesAndVersion(package);
    }
    {
        SCOPED_TRACE("menu entry");
        ExpectValidMenuEntry(package);
    }
}

}  // namespace
