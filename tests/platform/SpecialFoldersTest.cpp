#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/SpecialFolders.h"

namespace tavisto {
namespace {

struct EnvironmentCase {
    const char* name;
    const char* xdgConfigHome;
    const char* home;
    std::string expected;

    friend void PrintTo(const EnvironmentCase& c, std::ostream* os) { *os << c.name; }
};

class RoamingFolderTest : public testing::TestWithParam<EnvironmentCase> {};

TEST_P(RoamingFolderTest, FollowsTheXdgRules) {
    const EnvironmentCase& c = GetParam();
    EXPECT_EQ(RoamingFolderFromEnvironment(c.xdgConfigHome, c.home), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environment, RoamingFolderTest,
    testing::Values(
        EnvironmentCase{"XdgAbsolute", "/srv/cfg", "/home/u1", "/srv/cfg"},
        EnvironmentCase{"XdgKeepsItsTrailingSlash", "/srv/cfg/", "/home/u1", "/srv/cfg/"},
        EnvironmentCase{"XdgRelativeIsIgnored", "cfg", "/home/u1", "/home/u1/.config"},
        EnvironmentCase{"XdgEmptyIsIgnored", "", "/home/u1", "/home/u1/.config"},
        EnvironmentCase{"XdgUnset", nullptr, "/home/u1", "/home/u1/.config"},
        EnvironmentCase{"HomeWithTrailingSlash", nullptr, "/home/u1/", "/home/u1/.config"},
        EnvironmentCase{"HomeRoot", nullptr, "/", "/.config"},
        EnvironmentCase{"NothingSet", nullptr, nullptr, ""},
        EnvironmentCase{"HomeEmpty", nullptr, "", ""},
        EnvironmentCase{"OnlyRelativeXdg", "cfg", nullptr, ""}),
    [](const testing::TestParamInfo<EnvironmentCase>& info) { return info.param.name; });

#ifndef _WIN32

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SpecialFolderLocation, AppDataReadsTheEnvironmentOfTheMoment) {
    const ScopedEnvironment home("HOME", "/home/u1");
    {
        const ScopedEnvironment xdg("XDG_CONFIG_HOME", "/srv/cfg");
        EXPECT_EQ(SpecialFolderLocation(kCsidlAppData), "/srv/cfg");
    }
    const ScopedEnvironment xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(SpecialFolderLocation(kCsidlAppData), "/home/u1/.config");
}

TEST(SpecialFolderLocation, UnknownFolderIdGivesEmptyText) {
    const ScopedEnvironment xdg("XDG_CONFIG_HOME", "/srv/cfg");
    EXPECT_EQ(SpecialFolderLocation(5), "");
    EXPECT_EQ(SpecialFolderLocation(-1), "");
}

#endif

}  // namespace
}  // namespace tavisto
