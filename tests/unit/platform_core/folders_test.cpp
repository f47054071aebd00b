#include "platform/core/instance_lock.h"
#include "platform/core/paths.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::TempDir;

// Points $TMPDIR somewhere else for the life of the object.
class TmpDirOverride {
public:
    explicit TmpDirOverride(const std::string& dir) {
        if (const char* old = std::getenv("TMPDIR")) old_ = old, had_ = true;
        setenv("TMPDIR", dir.c_str(), 1);
    }
    ~TmpDirOverride() { had_ ? setenv("TMPDIR", old_.c_str(), 1) : unsetenv("TMPDIR"); }

private:
    std::string old_;
    bool had_ = false;
};

TEST(PrivateTempFolder, IsOursWithMode0700) {
    TempDir dir;
    TmpDirOverride tmp(dir.Path());
    std::string folder = platform::PrivateTempFolder();
    EXPECT_EQ(folder, dir.Path() + "rivive-zuzuve-" + std::to_string(getuid()) + "/");
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(platform::PrivateTempFolder(), folder);  // stable once made
}

TEST(PrivateTempFolder, RefusesALinkOrAFileInItsPlace) {
    TempDir dir;
    TmpDirOverride tmp(dir.Path());
    std::string name = dir.Path() + "rivive-zuzuve-" + std::to_string(getuid());
    ASSERT_EQ(symlink(dir.Path().c_str(), name.c_str()), 0);
    EXPECT_EQ(platform::PrivateTempFolder(), "");
    unlink(name.c_str());
    testsupport::WriteFile(name, "x");
    EXPECT_EQ(platform::PrivateTempFolder(), "");
}

TEST(ProgramFolder, BothFormsNameTheExecutablesFolderWithATrailingSlash) {
    std::string folder = platform::GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(platform::FileExists(folder + "unit_platform_core"));
    char buffer[512];
    platform::GetProgramFolder(buffer, sizeof buffer);
    EXPECT_EQ(folder, buffer);
    char tiny[4];
    platform::GetProgramFolder(tiny, sizeof tiny);
    EXPECT_EQ(std::string(tiny), folder.substr(0, 3));
}

TEST(InstanceLock, ASecondHolderOfTheSameNameIsRefusedUntilTheFirstLetsGo) {
    TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    {
        platform::InstanceLock first("Rivive Zuzuve test");
        ASSERT_TRUE(first.Acquire());
        platform::InstanceLock second("Rivive Zuzuve test");
        EXPECT_FALSE(second.Acquire());
        platform::InstanceLock other("Another name");
        EXPECT_TRUE(other.Acquire());
    }
    platform::InstanceLock third("Rivive Zuzuve test");
    EXPECT_TRUE(third.Acquire());
}

}  // namespace
