// Number text, natively: every float the formatter accepts reads back within its precision.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "number_text.h"

TEST(NumberText, RoundTripsAcrossTheRange)
{
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        float value;
        uint32_t bits = seed;
        memcpy(&value, &bits, sizeof value);
        wchar_t buffer[32];
        wchar_t *end = number_to_text(buffer, value);
        if (!end) {
            EXPECT_TRUE(isnan(value) || fabsf(value) > 999999.0f) << value;
            continue;
        }
        ASSERT_LT(end - buffer, 16) << value;
        float back = 0;
        const wchar_t *stop = text_to_number(&back, buffer);
        EXPECT_EQ(stop, end) << value;
        // Six significant digits, or five decimals, whichever is coarser.
        float tolerance = fmaxf(fabsf(value) * 1e-5f, 1e-5f);
        EXPECT_LE(fabsf(back - value), tolerance) << value;
    }
}

TEST(NumberText, ExamplesOfTheFormat)
{
    wchar_t buffer[32];
    number_to_text(buffer, 123456.7f);
    EXPECT_STREQ(buffer, L"123457");
    number_to_text(buffer, -0.000015f);
    EXPECT_STREQ(buffer, L"-0.00001"); // beyond five decimals the digits are cut, not rounded
    number_to_text(buffer, 0.000004f);
    EXPECT_STREQ(buffer, L"0");
}
