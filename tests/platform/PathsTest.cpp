#include <gtest/gtest.h>

#include <string>

#include "platform/Paths.h"

namespace tavisto {
namespace {

struct DelimiterCase {
    std::string path;
    char delimiter;
    std::string expected;
};

class IncludeTrailingDelimiterTest : public testing::TestWithParam<DelimiterCase> {};

TEST_P(IncludeTrailingDelimiterTest, AppendsOnlyTheGivenDelimiterWhenMissing) {
    const DelimiterCase& c = GetParam();
    EXPECT_EQ(IncludeTrailingDelimiter(c.path, c.delimiter), c.expected);
    EXPECT_TRUE(HasTrailingDelimiter(c.expected, c.delimiter));
}

INSTANTIATE_TEST_SUITE_P(BothDelimiters, IncludeTrailingDelimiterTest,
                         testing::Values(DelimiterCase{R"(D:\Logs)", '\\', R"(D:\Logs\)"},
                                         DelimiterCase{R"(D:\Logs\)", '\\', R"(D:\Logs\)"},
                                         DelimiterCase{"D:/Logs/", '\\', R"(D:/Logs/\)"},
                                         DelimiterCase{"", '\\', R"(\)"},
                                         DelimiterCase{R"(\)", '\\', R"(\)"},
                                         DelimiterCase{"/var/log", '/', "/var/log/"},
                                         DelimiterCase{"/var/log/", '/', "/var/log/"},
                                         DelimiterCase{R"(C:\Logs\)", '/', R"(C:\Logs\/)"},
                                         DelimiterCase{"", '/', "/"}));

TEST(PathDelimiter, IsTheHostDelimiter) {
#ifdef _WIN32
    EXPECT_EQ(kPathDelimiter, '\\');
#else
    EXPECT_EQ(kPathDelimiter, '/');
#endif
}

}  // namespace
}  // namespace tavisto
