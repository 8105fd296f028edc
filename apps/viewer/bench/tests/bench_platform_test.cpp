// The result address's EUC-JP escapes through the platform's code page 20932.
#include "bench_address.h"
#include "bench_eucjp_win.h"

#include <gtest/gtest.h>

using namespace bench;

TEST(EucJp, KanjiKanaAndFullWidthFormsHaveTwoBytes) {
    EXPECT_EQ(escape_value(u"東京", euc_jp_bytes), u"%C5%EC%B5%FE");
    EXPECT_EQ(escape_value(u"不可", euc_jp_bytes), u"%C9%D4%B2%C4");
    EXPECT_EQ(escape_value(u"アＰ", euc_jp_bytes), u"%A5%A2%A3%D0");
}

TEST(EucJp, LatinStaysAndCharactersWithoutCodeBecomeQuestionMarks) {
    EXPECT_EQ(escape_value(u"Core 2 Duo E8400 @ 3.00GHz", euc_jp_bytes), u"Core 2 Duo E8400 @ 3.00GHz");
    uint8_t bytes[2];
    EXPECT_FALSE(euc_jp_bytes(u'\uAC00', bytes)); // Hangul has no EUC-JP code
    EXPECT_EQ(escape_value(u"\uAC00東", euc_jp_bytes), u"%3F%C5%EC");
}
