#include <gtest/gtest.h>

#include "text/NumberText.h"

namespace tandu {
namespace {

TEST(NumberText, RoundsHalvesToEvenAndGroupsDigits) {
    EXPECT_EQ(NumberText::R(1.5), 2);
    EXPECT_EQ(NumberText::R(2.5), 2);
    EXPECT_EQ(NumberText::R(-1.5), -2);
    const NumberText numbers(",");
    EXPECT_EQ(numbers.K(1234567), "1,234,567");
    EXPECT_EQ(numbers.K(INT64_MIN), "-9,223,372,036,854,775,808");
    EXPECT_EQ(NumberText(".").K(1500000), "1.500.000");
    EXPECT_EQ(NumberText("").K(1500000), "1500000");
    // Kilobytes: 0.5 goes to 0, 1.5 and 2.5 to 2.
    EXPECT_EQ(numbers.kb(1234567), "1,235");
    EXPECT_EQ(numbers.kb(500), "");
    EXPECT_EQ(numbers.kb(2500), "2");
    // Straight into the pattern: halves away from zero.
    EXPECT_EQ(numbers.KAwayFromZero(2.5), "3");
    EXPECT_EQ(numbers.KAwayFromZero(0.4), "");
    // Sizes past 2 GB stay exact.
    EXPECT_EQ(numbers.kb(5'000'000'000'000), "5,000,000,000");
}

}  // namespace
}  // namespace tandu
