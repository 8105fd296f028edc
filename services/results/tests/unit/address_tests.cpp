// Reading the result address: the viewer's own addresses round-trip through the decoder (every
// character glibc's EUC-JP table has, Latin-1, raw spaces, cut addresses), and everything the
// benchmark cannot send is refused with a reason.
#include "address_run.h"
#include "eucjp.h"
#include "query.h"
#include "viewer_address.h"

#include "bench_address.h"
#include "bench_text.h"

#include <gtest/gtest.h>

using namespace results;
using namespace results_test;

namespace {

// What a value reads as after the trip: characters the table lacks went as '?'.
std::string as_received(const std::u16string &value) {
    std::u16string out;
    for (char16_t c : value) {
        uint8_t bytes[2];
        out += c < 0x100 || glibc_euc_jp(c, bytes) ? c : u'?';
    }
    return bench::utf8(out);
}

std::optional<std::string> decode_value(const std::string &raw, std::string &text) {
    std::string bytes;
    if (auto error = percent_decode(raw, bytes))
        return error;
    return decode_address_bytes(bytes, text);
}

std::string refusal(const std::string &query) {
    results::Run run;
    std::optional<std::string> error = run_from_address(query, run);
    return error ? *error : "";
}

const std::string kValidTail = "&m=60 0 45 0&r=1234";

} // namespace

TEST(EucJp, EveryCharacterOfGlibcTableRoundTripsThroughTheViewersEscaping) {
    int pairs = 0;
    for (char32_t c = 0x100; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        uint8_t bytes[2];
        if (!glibc_euc_jp(static_cast<char16_t>(c), bytes))
            continue;
        ++pairs;
        std::u16string escaped = bench::escape_value(std::u16string(1, static_cast<char16_t>(c)), glibc_euc_jp);
        std::string text;
        ASSERT_FALSE(decode_value(bench::utf8(escaped), text)) << "U+" << std::hex << c;
        ASSERT_EQ(text, bench::utf8(std::u16string(1, static_cast<char16_t>(c)))) << "U+" << std::hex << c;
    }
    EXPECT_GT(pairs, 6800); // JIS X 0208 and the half-width katakana
}

TEST(EucJp, LatinOneBytesPairsAndUserDefinedRows) {
    std::string text;
    EXPECT_FALSE(decode_value("%C5%EC%B5%FE", text));
    EXPECT_EQ(text, "東京");
    EXPECT_FALSE(decode_value("M%FCller %C9t%E9 5%B0C", text)); // Latin-1 letters between ASCII
    EXPECT_EQ(text, "Müller Été 5°C");
    EXPECT_FALSE(decode_value("%8E%B1%8E%DD", text));          // half-width katakana
    EXPECT_EQ(text, "ｱﾝ");
    EXPECT_FALSE(decode_value("%F5%A1%FE%FE", text));          // rows 85 and 94: Windows' private use area
    EXPECT_EQ(text, "\uE000\uE3AB");
    EXPECT_FALSE(decode_value("%C5", text));                   // a lead byte alone is Latin-1
    EXPECT_EQ(text, "Å");
}

TEST(EucJp, SequencesWithoutACharacterAreRefused) {
    std::string text;
    for (const char *bad : {"%A9%A1", "%A2%AF", "%8E%E0", "%8E", "%8Ex", "%8F%A1", "%8F%A1%A1"}) {
        std::optional<std::string> error = decode_value(bad, text);
        ASSERT_TRUE(error) << bad;
        EXPECT_NE(error->find("invalid EUC-JP"), std::string::npos) << *error;
    }
}

TEST(Query, PercentEscapesPlusAndRawBytes) {
    std::string bytes;
    EXPECT_FALSE(percent_decode("Intel(R) Pentium+4 %2b%41%e9", bytes));
    EXPECT_EQ(bytes, "Intel(R) Pentium 4 +A\xE9");
    for (const char *bad : {"%", "%4", "%G1", "abc%4x"})
        EXPECT_TRUE(percent_decode(bad, bytes)) << bad;
    QueryPairs pairs;
    EXPECT_FALSE(split_query("a=1&b=&c==x", pairs));
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[2], std::make_pair(std::string("c"), std::string("=x")));
    for (const char *bad : {"a=1&&b=2", "a=1&", "&a=1", "a", "=1"})
        EXPECT_TRUE(split_query(bad, pairs)) << bad;
    EXPECT_EQ(percent_encode("東 a&b"), "%E6%9D%B1%20a%26b");
}

TEST(Address, TheViewersAddressReadsBackWithEveryValue) {
    bench::BenchResult result = sample_result();
    std::u16string address = viewer_address(result);
    results::Run run;
    ASSERT_FALSE(run_from_address(sent_query(address), run)) << *run_from_address(sent_query(address), run);
    for (const bench::InfoRow &row : bench::pc_info_rows(result.pc))
        EXPECT_EQ(run.value(row.key), as_received(row.value)) << row.key;
    EXPECT_EQ(run.value("b"), "Intel(R) Pentium(R) 4 CPU 3.00GHz"); // raw spaces and parentheses
    EXPECT_EQ(run.value("n"), "東京電機");
    EXPECT_EQ(run.value("e"), "RADEON 9800 PRO & friends = 100% <fast>");
    ASSERT_TRUE(run.modes);
    EXPECT_EQ(*run.modes, (ModeRates{60, 0, 45, 0}));
    EXPECT_EQ(run.total, result.total);
    EXPECT_EQ(run.addressKey.size(), 64u);
}

TEST(Address, ParametersLeftOutOfACutAddressAreMissingNotRefused) {
    bench::BenchResult result = sample_result();
    // Long Japanese names push the address past its limit: the viewer leaves whole parameters out.
    result.pc.osName = std::u16string(80, u'窓');
    result.pc.maker = std::u16string(80, u'漢');
    result.pc.model = std::u16string(80, u'字');
    result.pc.processor = std::u16string(50, u'速');
    result.pc.displayChip = std::u16string(80, u'表');
    std::u16string address = viewer_address(result);
    ASSERT_LE(address.size(), bench::kAddressLimit);
    ASSERT_EQ(address.find(u"&e="), std::u16string::npos); // the chip's 480 characters did not fit
    ASSERT_NE(address.find(u"&r="), std::u16string::npos); // the shorter parameters after it did
    results::Run run;
    ASSERT_FALSE(run_from_address(sent_query(address), run)) << *run_from_address(sent_query(address), run);
    EXPECT_LT(run.pc.size(), pc_keys().size());
    for (const bench::InfoRow &row : bench::pc_info_rows(result.pc))
        if (run.pc.count(row.key))
            EXPECT_EQ(run.value(row.key), as_received(row.value)) << row.key;
    EXPECT_EQ(run.total, result.total);

    // Order does not matter; "m" may be missing.
    EXPECT_EQ(refusal("r=10&a=Windows&m=1 2 3 4"), "");
    results::Run cut;
    ASSERT_FALSE(run_from_address("a=Windows&r=10", cut));
    EXPECT_FALSE(cut.modes);
}

TEST(Address, AnAddressThatLostItsTotalIsRefusedWithWhatToDo) {
    bench::BenchResult result = sample_result();
    // Five names of 80 Japanese characters leave no room for the last parameters.
    result.pc.osName = result.pc.maker = result.pc.model = result.pc.processor = result.pc.displayChip =
        std::u16string(80, u'漢');
    std::u16string address = viewer_address(result);
    ASSERT_EQ(address.find(u"&r="), std::u16string::npos);
    std::string reason = refusal(sent_query(address));
    EXPECT_NE(reason.find("total score (parameter r) is missing"), std::string::npos) << reason;
    EXPECT_NE(reason.find("/api/runs"), std::string::npos);
}

TEST(Address, MalformedAndHostileQueriesAreRefusedWithTheirReason) {
    const struct {
        std::string query, reason;
    } cases[] = {
        {"", "parameter r) is missing"},
        {"a=x&a=y" + kValidTail, "given twice"},
        {"zz=1" + kValidTail, "unknown parameter"},
        {"a=%ZZ" + kValidTail, "hexadecimal"},
        {"a=%A9%A1" + kValidTail, "invalid EUC-JP"},
        {"a=new%0Aline" + kValidTail, "control character"},
        {"a=%85" + kValidTail, "control character"},
        {"a=" + std::string(81, 'x') + kValidTail, "longer than 80"},
        {"a=x" + [] { std::string s; for (int i = 0; i < 40; ++i) s += "\xE9x"; return s; }() + kValidTail,
         "longer than 80"}, // Latin-1 letters count one each
        {"c=3e3" + kValidTail, "parameter c is not a whole number"},
        {"c=-5" + kValidTail, "parameter c"},
        {"c=0300" + kValidTail, "parameter c"},
        {"c=99999999999999999999" + kValidTail, "parameter c"},
        {"d=16777217" + kValidTail, "parameter d"},
        {"p=-2" + kValidTail, "parameter p"},
        {"l=2048x2048" + kValidTail, "parameter l"},
        {"k=yes" + kValidTail, "parameter k"},
        {"h=2 4" + kValidTail, "parameter h"},
        {"h= 2  4" + kValidTail, "parameter h"},
        {"h= 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2" + kValidTail, "parameter h"}, // 16 entries, 15 at most
        {"s=Emulated" + kValidTail, "parameter s"},
        {"m=60 0 45&r=1", "parameter m"},
        {"m=60 0 45 0 1&r=1", "parameter m"},
        {"m=60  0 45 0&r=1", "parameter m"},
        {"m=-1 0 45 0&r=1", "parameter m"},
        {"m=60 0 45 0&r=200000001", "parameter r"},
        {"m=60 0 45 0&r=", "parameter r"},
        {"a=1&&r=2", "empty parameter"},
        {std::string(3 * 2047 + 1, 'a'), "longer than the benchmark writes"},
    };
    for (const auto &c : cases) {
        std::string reason = refusal(c.query);
        EXPECT_NE(reason.find(c.reason), std::string::npos)
            << "query " << c.query.substr(0, 60) << " gave \"" << reason << "\"";
    }
    // p = -1 is the driver's "no limit" for lights; the anisotropy list takes 16 entries.
    EXPECT_EQ(refusal("p=-1&j= 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16" + kValidTail), "");
}

TEST(Address, AReloadAndTheSameValuesGiveOneKeyOtherValuesAnother) {
    results::Run a, b, c;
    ASSERT_FALSE(run_from_address("a=Windows%20XP&m=60 0 45 0&r=1234", a));
    ASSERT_FALSE(run_from_address("r=1234&m=60%200%2045%200&a=Windows+XP", b));
    ASSERT_FALSE(run_from_address("a=Windows XP&m=60 0 45 0&r=1235", c));
    EXPECT_EQ(a.addressKey, b.addressKey);
    EXPECT_NE(a.addressKey, c.addressKey);
}
