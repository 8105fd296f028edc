// Vector and angle math, and the number text of files.
#include "test_support.h"

#include <math.h>

namespace {

std::wstring text_of(float value)
{
    wchar_t buffer[32] = L"untouched";
    wchar_t *end = TRVX_RealToString(buffer, value);
    if (!end)
        return L"null:" + std::wstring(buffer);
    EXPECT_EQ(*end, 0);
    return buffer;
}

} // namespace

TEST(Math, RotationsFollowTheOrderTable)
{
    TRVXVECTOR v, angles;
    TRVX_Set3D(&angles, 0, 90, 0, 0);
    TRVX_Rotate3D(TRVX_Set3D(&v, 1, 0, 0, 7), &angles, 14);
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.z, -1, 1e-6);
    EXPECT_EQ(v.w, 7);

    TRVX_Set3D(&angles, 30, 40, 50, 0);
    TRVX_Rotate3D(TRVX_Set3D(&v, 1, 2, 3, 0), &angles, 16);
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.y, 2);
    EXPECT_EQ(v.z, 3);

    TRVXVECTOR a, b;
    TRVX_Rotate3D(TRVX_Set3D(&a, 1, 2, 3, 0), &angles, 0);
    TRVX_Rotate3D(TRVX_Set3D(&b, 1, 2, 3, 0), &angles, 1);
    EXPECT_EQ(memcmp(&a, &b, sizeof a), 0);

    // "ZXY": first Z, then X. (1,0,0) about Z by 90 gives (0,1,0); about X by 90 gives (0,0,1).
    TRVX_Set3D(&angles, 90, 0, 90, 0);
    TRVX_Rotate3D(TRVX_Set3D(&v, 1, 0, 0, 0), &angles, 1);
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.y, 0, 1e-6);
    EXPECT_NEAR(v.z, 1, 1e-6);
}

TEST(Math, VectorsAnglesAndNormals)
{
    TRVXVECTOR a, b, c, n;
    TRVX_Set3D(&a, 1, 2, 3, 9);
    TRVX_Set3D(&b, 4, 6, 3, 0);
    EXPECT_FLOAT_EQ(TRVX_Length3D(&a, &b), 5);
    TRVX_Copy3D(&c, &a);
    EXPECT_EQ(c.w, 9);
    EXPECT_EQ(TRVX_Zero3D(&c)->w, 0);

    TRVX_Set3D(&a, 2, 0, 0, 0);
    TRVX_Set3D(&b, 0, 0, 5, 0);
    EXPECT_FLOAT_EQ(TRVX_Angle3D(&a, &b), 90);
    EXPECT_FLOAT_EQ(TRVX_Angle3D(&a, &a), 0); // rounding must not turn this into NaN
    TRVX_Set3D(&b, -3, 0, 0, 0);
    EXPECT_FLOAT_EQ(TRVX_Angle3D(&a, &b), 180);

    TRVX_Set3D(&a, 0, 0, 0, 0);
    TRVX_Set3D(&b, 2, 0, 0, 0);
    TRVX_Set3D(&c, 0, 3, 0, 0);
    TRVX_Set3D(&n, 5, 5, 5, 5);
    TRVX_Normal3D(&n, &a, &b, &c);
    EXPECT_FLOAT_EQ(n.z, 1);
    EXPECT_EQ(n.x, 0);
    EXPECT_EQ(n.w, 0);

    TRVX_Set3D(&a, 3, 0, 4, 0);
    TRVX_Unit3D(&a);
    EXPECT_FLOAT_EQ(a.x, 0.6f);
    EXPECT_FLOAT_EQ(a.z, 0.8f);
}

TEST(Math, AnglesRangesAndRectangles)
{
    EXPECT_EQ(TRVX_OptimizeAngle(540), 180);
    EXPECT_EQ(TRVX_OptimizeAngle(-180), 180);
    EXPECT_EQ(TRVX_OptimizeAngle(-190), 170);
    EXPECT_EQ(TRVX_OptimizeAngle(180), 180);
    EXPECT_NEAR(TRVX_OptimizeAngle(1e20f), 0, 360); // ends, and in range
    EXPECT_LE(fabsf(TRVX_OptimizeAngle(-7.5e9f)), 180);

    EXPECT_EQ(TRVX_CheckRange(5, 10, 0), 10);
    EXPECT_EQ(TRVX_CheckRange(5, 0, 10), 5);
    EXPECT_EQ(TRVX_CheckRange(15, 0, 10), 10);

    RECT r = {-10, 10, 10, -10};
    EXPECT_TRUE(TRVX_InRect(&r, -10, 10));
    EXPECT_FALSE(TRVX_InRect(&r, 10, 0));
    EXPECT_FALSE(TRVX_InRect(&r, 0, -10));

    // Looking along +Z, a point to the right (+X) is on side 1, to the left on -1.
    EXPECT_EQ(TRVX_SignAngle(1, 0, 0, 1), 1);
    EXPECT_EQ(TRVX_SignAngle(-1, 0, 0, 1), -1);
    EXPECT_EQ(TRVX_SignAngle(1, 1, 0, 0), 0);
}

TEST(Math, RealToStringKeepsSixDigitsAndFiveDecimals)
{
    EXPECT_EQ(text_of(0), L"0");
    EXPECT_EQ(text_of(-0.0f), L"0");
    EXPECT_EQ(text_of(1.5f), L"1.5");
    EXPECT_EQ(text_of(-0.25f), L"-0.25");
    EXPECT_EQ(text_of(123456.7f), L"123457");
    EXPECT_EQ(text_of(0.001234567f), L"0.00123");
    EXPECT_EQ(text_of(100), L"100");
    EXPECT_EQ(text_of(0.000001f), L"0");
    EXPECT_EQ(text_of(999999), L"999999");
    EXPECT_EQ(text_of(1000000), L"null:untouched");
    EXPECT_EQ(text_of(-1000000), L"null:untouched");
    EXPECT_EQ(text_of(NAN), L"null:untouched");
    EXPECT_EQ(text_of(INFINITY), L"null:untouched");
    EXPECT_EQ(text_of(0.5f), L"0.5");
    EXPECT_EQ(text_of(-3), L"-3");
    EXPECT_EQ(text_of(9.999999f), L"10");
    EXPECT_EQ(text_of(1e-30f), L"0");
}

TEST(Math, StringToRealParsesPlainDecimals)
{
    float value = 0;
    const wchar_t *text = L"-12.50x";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text + 6);
    EXPECT_EQ(value, -12.5f);
    text = L"+7";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text + 2);
    EXPECT_EQ(value, 7);
    text = L" 5";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text);
    EXPECT_EQ(value, 0);
    text = L"1e5";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text + 1);
    EXPECT_EQ(value, 1);
    text = L".25,";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text + 3);
    EXPECT_EQ(value, 0.25f);
    // Long digit runs are consumed whole and do not wrap around.
    text = L"12345678901234.12345678901234;";
    EXPECT_EQ(TRVX_StringToReal(&value, text), text + 29);
    EXPECT_FLOAT_EQ(value, 12345678901234.12f);
    text = L"0.000000000001";
    TRVX_StringToReal(&value, text);
    EXPECT_EQ(value, 0);
    // What RealToString writes reads back within its precision.
    for (float original : {3.14159f, -271.828f, 0.00042f, 65535.0f}) {
        wchar_t buffer[32];
        TRVX_RealToString(buffer, original);
        TRVX_StringToReal(&value, buffer);
        EXPECT_NEAR(value, original, fabsf(original) * 1e-5f + 1e-5f);
    }
}
