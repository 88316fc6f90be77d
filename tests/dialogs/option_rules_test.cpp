// The quit time-out field: what a stored value shows as and what typed text yields.
#include "dialogs/option_rules.h"

#include <gtest/gtest.h>

using option_rules::ClampTimeout;
using option_rules::TimeoutFromText;

TEST(TimeoutField, StoredValuesOutsideTheRangeShowAsTheNearerBound) {
    EXPECT_EQ(ClampTimeout(0), 1);
    EXPECT_EQ(ClampTimeout(-7), 1);
    EXPECT_EQ(ClampTimeout(1), 1);
    EXPECT_EQ(ClampTimeout(60), 60);
    EXPECT_EQ(ClampTimeout(61), 60);
    EXPECT_EQ(ClampTimeout(2147483647), 60);
}

TEST(TimeoutField, TypedTextIsBroughtIntoTheRangeAndNoNumberGivesOne) {
    EXPECT_EQ(TimeoutFromText("5"), 5);
    EXPECT_EQ(TimeoutFromText("99"), 60);
    EXPECT_EQ(TimeoutFromText("0"), 1);
    EXPECT_EQ(TimeoutFromText("-3"), 1);
    EXPECT_EQ(TimeoutFromText("007"), 7);
    // Far beyond any integer: still the upper bound, no overflow.
    EXPECT_EQ(TimeoutFromText("99999999999999999999999"), 60);
    EXPECT_EQ(TimeoutFromText(""), 1);
    EXPECT_EQ(TimeoutFromText("abc"), 1);
    EXPECT_EQ(TimeoutFromText("1x"), 1);
    EXPECT_EQ(TimeoutFromText(" 12 "), 12);
}
