#include <gtest/gtest.h>

#include "platform/Exceptions.h"

namespace tavisto {
namespace {

TEST(Assertion, FailureNamesItsUnit) {
    try {
        TAVISTO_ASSERT(1 + 1 == 3, "CsvData", "Internal data corruption in CsvRow data storage area");
        FAIL() << "assertion did not fire";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Unit(), "CsvData");
        EXPECT_NE(e.Message().find("Internal data corruption in CsvRow data storage area"),
                  std::string::npos);
        EXPECT_NE(e.Message().find("CsvData"), std::string::npos);
    }
}

TEST(Assertion, HoldingConditionRaisesNothing) {
    EXPECT_NO_THROW(TAVISTO_ASSERT(true, "CsvData", "never"));
}

}  // namespace
}  // namespace tavisto
