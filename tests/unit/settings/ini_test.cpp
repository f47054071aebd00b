#include "platform/core/profile.h"
#include "settings/ini.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using testsupport::TempDir;
using testsupport::WriteFile;

TEST(ParseIniInteger, ReadsLikeAnUnsignedDecimalThatWraps) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"42", 42},        {"  17", 17},       {"+8", 8},          {"-5", -5},
        {"12abc", 12},     {"abc", 0},         {"", 0},            {"4294967295", -1},
        {"-2147483648", INT32_MIN}, {"2147483648", INT32_MIN}, {"4294967296", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(settings::ParseIniInteger(c.text), c.value) << c.text;
}

TEST(CIni, GetBoolFollowsTheFlagRules) {
    TempDir dir;
    std::string path = dir.File("Config.ini");
    WriteFile(path,
              "[S]\nt1=true\nt2=YES\nt3=True\nt4=7\nt5=-1\n"
              "f1=no\nf2=false\nf3=abc\nf4=0\nempty=\nblank=   \n");
    settings::CIni ini(path);
    for (const char* key : {"t1", "t2", "t3", "t4", "t5"})
        EXPECT_EQ(ini.GetBool("S", key, 0), 1) << key;
    for (const char* key : {"f1", "f2", "f3", "f4"}) EXPECT_EQ(ini.GetBool("S", key, 1), 0) << key;
    EXPECT_EQ(ini.GetBool("S", "empty", 1), 1);
    EXPECT_EQ(ini.GetBool("S", "blank", 1), 1);
    EXPECT_EQ(ini.GetBool("S", "missing", 1), 1);
    EXPECT_EQ(ini.GetBool("Missing", "t1", 0), 0);
}

TEST(CIni, IntegersAreCutTo64BytesButStringsAreReadWhole) {
    TempDir dir;
    std::string path = dir.File("Config.ini");
    std::string longNumber = std::string(64, '0') + "5";  // 65 characters: the 5 is cut off
    std::string longText(1500, 'x');
    WriteFile(path, "[S]\nn=" + longNumber + "\ntext=" + longText + "\n");
    settings::CIni ini(path);
    EXPECT_EQ(ini.GetInt("S", "n", 9), 0);
    EXPECT_EQ(ini.GetString("S", "text", ""), longText);
    EXPECT_EQ(ini.GetString(nullptr, "text", "def"), "def");
    EXPECT_EQ(ini.GetString("S", nullptr, nullptr), "");
}

}  // namespace
