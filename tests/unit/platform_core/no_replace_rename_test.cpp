// Renaming without replacing, by the one-step rename and by the hard-link fallback taken where
// a file system refuses that rename's flag.
#include "platform/core/no_replace_rename.h"
#include "support/test_support.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using platform::NoReplaceRename;
using testsupport::ReadFile;
using testsupport::WriteFile;

// A file system that does not know RENAME_NOREPLACE.
int FlagRefused(const char*, const char*) {
    errno = EINVAL;
    return -1;
}
// A folder that cannot be written.
int Denied(const char*, const char*) {
    errno = EACCES;
    return -1;
}

TEST(RenameNoReplace, MovesOntoAFreeNameAndNeverReplaces) {
    enum Target { kFree, kFile, kDanglingLink };
    struct Row {
        const char* name;
        platform::AtomicRenameFn rename;
        Target target;
        NoReplaceRename result;
    };
    const Row rows[] = {
        {"one step, free name", platform::RenameNoReplaceCall, kFree, NoReplaceRename::kRenamed},
        {"one step, file there", platform::RenameNoReplaceCall, kFile, NoReplaceRename::kExists},
        {"one step, dangling link there", platform::RenameNoReplaceCall, kDanglingLink, NoReplaceRename::kExists},
        {"flag refused, free name", FlagRefused, kFree, NoReplaceRename::kLinked},
        {"flag refused, file there", FlagRefused, kFile, NoReplaceRename::kExists},
        {"flag refused, dangling link there", FlagRefused, kDanglingLink, NoReplaceRename::kExists},
        {"folder refused", Denied, kFree, NoReplaceRename::kFailed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testsupport::TempDir dir;
        const std::string from = dir.File("new.part"), to = dir.File("out.avi");
        WriteFile(from, "new");
        if (row.target == kFile) WriteFile(to, "old");
        if (row.target == kDanglingLink) fs::create_symlink(dir.File("nowhere"), to);

        EXPECT_EQ(platform::RenameNoReplace(from, to, row.rename), row.result);
        const bool moved = row.result == NoReplaceRename::kRenamed || row.result == NoReplaceRename::kLinked;
        EXPECT_EQ(fs::exists(from), !moved) << "the old name goes only with a move";
        if (moved) {
            EXPECT_EQ(ReadFile(to), "new");
        }
        if (row.target == kFile) {
            EXPECT_EQ(ReadFile(to), "old");
        }
        if (row.target == kDanglingLink) {
            EXPECT_TRUE(fs::is_symlink(to));
        }
        if (row.target == kFree && !moved) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(to)));
        }
        EXPECT_EQ(*platform::FallbackName(row.result) != '\0', row.result == NoReplaceRename::kLinked);
    }
}

}  // namespace
