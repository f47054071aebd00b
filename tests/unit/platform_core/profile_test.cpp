#include "platform/core/profile.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

std::string Get(const std::string& path, const char* section, const char* key, int size = 256) {
    std::string buffer(size, '\0');
    int n = platform::GetPrivateProfileString(section, key, "dflt", buffer.data(), size, path);
    return buffer.substr(0, n);
}

TEST(PrivateProfile, ReadMatchesWithoutCaseTakesTheFirstMatchAndTrims) {
    TempDir dir;
    std::string path = dir.File("a.ini");
    WriteFile(path,
              "[One]\r\nKey= first \r\nkey=second\r\nquoted=\"  spaced  \"\r\nsingle='x'\r\n"
              "half=\"open\r\n[one]\r\nkey=third\r\n[Two]\r\nKey=two\r\n");
    struct Case {
        const char* section;
        const char* key;
        std::string value;
    } cases[] = {
        {"one", "KEY", "first"},     {"One", "quoted", "  spaced  "}, {"One", "single", "x"},
        {"One", "half", "\"open"},   {"TWO", "key", "two"},           {"Three", "key", "dflt"},
        {"One", "nokey", "dflt"},
    };
    for (const auto& c : cases) EXPECT_EQ(Get(path, c.section, c.key), c.value) << c.key;
    EXPECT_EQ(Get(dir.File("missing.ini"), "One", "key"), "dflt");
}

TEST(PrivateProfile, ReadCutsToTheBufferAndReportsTheLength) {
    TempDir dir;
    std::string path = dir.File("a.ini");
    WriteFile(path, "[S]\nk=abcdefgh\n");
    EXPECT_EQ(Get(path, "S", "k", 5), "abcd");
}

TEST(PrivateProfile, WriteReplacesInPlaceAppendsKeysAndSectionsAndKeepsOtherLines) {
    TempDir dir;
    std::string path = dir.File("a.ini");
    WriteFile(path, "; comment\n[A]\nx=1\n\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(platform::WritePrivateProfileString("a", "X", "10", path));
    ASSERT_TRUE(platform::WritePrivateProfileString("A", "new", "n", path));
    ASSERT_TRUE(platform::WritePrivateProfileString("C", "c", "", path));
    EXPECT_EQ(ReadFile(path), "; comment\n[A]\nX=10\n\ny=2\nnew=n\n\n[B]\nz=3\n[C]\nc=\n");
}

TEST(PrivateProfile, FirstWriteCreatesTheFileAndAFailedWriteChangesNothing) {
    TempDir dir;
    std::string path = dir.File("new.ini");
    ASSERT_TRUE(platform::WritePrivateProfileString("S", "k", "v", path));
    EXPECT_EQ(ReadFile(path), "[S]\nk=v\n");
    EXPECT_FALSE(platform::WritePrivateProfileString("S", "k", "v", dir.File("none/x.ini")));
    EXPECT_FALSE(platform::WritePrivateProfileString(nullptr, "k", "v", path));
}

}  // namespace
