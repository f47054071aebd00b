#include "platform/core/data_folders.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using platform::ChooseDataFolders;
using platform::FolderEnvironment;

TEST(DataFolders, TheProgramFolderWhileWritableElseTheUsersXdgFolders) {
    const struct {
        const char* what;
        bool writable;
        FolderEnvironment env;
        const char* config;
        const char* log;
    } cases[] = {
        {"writable program folder", true, {"/x/config", "/x/state", "/home/u"},
         "/opt/rz/Config.ini", "/opt/rz/Diary/"},
        {"both variables", false, {"/x/config", "/x/state/", "/home/u"},
         "/x/config/rivive-zuzuve/Config.ini", "/x/state/rivive-zuzuve/Diary/"},
        {"neither variable", false, {"", "", "/home/u"},
         "/home/u/.config/rivive-zuzuve/Config.ini", "/home/u/.local/state/rivive-zuzuve/Diary/"},
        {"relative values do not count", false, {"config", "./state", "/home/u/"},
         "/home/u/.config/rivive-zuzuve/Config.ini", "/home/u/.local/state/rivive-zuzuve/Diary/"},
        {"one of each", false, {"", "/x/state", "/home/u"},
         "/home/u/.config/rivive-zuzuve/Config.ini", "/x/state/rivive-zuzuve/Diary/"},
    };
    for (const auto& c : cases) {
        const platform::DataFolders folders = ChooseDataFolders("/opt/rz/", c.writable, c.env);
        EXPECT_EQ(folders.configFile, c.config) << c.what;
        EXPECT_EQ(folders.logFolder, c.log) << c.what;
        EXPECT_EQ(folders.perUser, !c.writable) << c.what;
    }
}

TEST(DataFolders, AWritableProgramFolderKeepsBothBesideTheExecutable) {
    ASSERT_TRUE(platform::IsWritableFolder(platform::GetProgramFolder()));
    EXPECT_EQ(platform::ConfigFilePath(), platform::GetProgramFolder() + "Config.ini");
    EXPECT_EQ(platform::LogFolder(), platform::GetProgramFolder() + "Diary/");
    EXPECT_TRUE(platform::IsDirectory(platform::LogFolder()));
}

TEST(DataFolders, AFolderThatIsMissingIsNotWritable) {
    testsupport::TempDir dir;
    EXPECT_TRUE(platform::IsWritableFolder(dir.Path()));
    EXPECT_FALSE(platform::IsWritableFolder(dir.File("missing/")));
    EXPECT_FALSE(platform::IsWritableFolder(""));
}

}  // namespace
