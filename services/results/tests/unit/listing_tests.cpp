// The leaderboard's query, the distribution's bars, the rate limit, the command line and the
// escaping every page relies on.
#include "distribution.h"
#include "fields.h"
#include "html.h"
#include "list_query.h"
#include "options.h"
#include "rate_limit.h"
#include "run.h"

#include <gtest/gtest.h>

using namespace results;

TEST(ListQuery, ReadsSortFiltersAndPageAndWritesThemBack) {
    ListQuery q;
    ASSERT_FALSE(parse_list_query("sort=mode3&chip=RADEON%209800%20PRO&cpu=&os=Windows+XP&page=4&utm=x", q));
    EXPECT_EQ(q.sort, SortKey::Mode3);
    EXPECT_EQ(sort_mode(q.sort), 3);
    EXPECT_EQ(q.chip, "RADEON 9800 PRO");
    EXPECT_EQ(q.cpu, "");
    EXPECT_EQ(q.os, "Windows XP");
    EXPECT_EQ(q.page, 4);
    EXPECT_EQ(list_query_string(q), "sort=mode3&chip=RADEON%209800%20PRO&os=Windows%20XP&page=4");
    ListQuery back;
    ASSERT_FALSE(parse_list_query(list_query_string(q), back));
    EXPECT_EQ(list_query_string(back), list_query_string(q));
    ASSERT_FALSE(parse_list_query("chip=%E6%9D%B1%E4%BA%AC", q)); // browsers send UTF-8
    EXPECT_EQ(q.chip, "東京");
    EXPECT_EQ(list_query_string(ListQuery{}), "");
}

TEST(ListQuery, BadValuesAreRefusedAndDepthIsBounded) {
    ListQuery q;
    for (const char *bad : {"sort=speed", "page=0", "page=-1", "page=x", "limit=101", "chip=%FF", "chip=a%0Ab",
                            "page=201", "limit=100&page=101", "chip=%ZZ", "a&b"})
        EXPECT_TRUE(parse_list_query(bad, q)) << bad;
    EXPECT_FALSE(parse_list_query("page=200", q));
    EXPECT_FALSE(parse_list_query("limit=100&page=100", q));
    EXPECT_EQ(last_page(0, kPageSize), 1);
    EXPECT_EQ(last_page(51, kPageSize), 2);
    EXPECT_EQ(last_page(1000000, kPageSize), kDeepestRow / kPageSize);
}

TEST(Distribution, SpansAllButTheTailsAndAlwaysTheMarkedRun) {
    std::vector<Bucket> buckets;
    for (int b = 50; b < 150; ++b)
        buckets.push_back({b, 10});
    buckets.push_back({1000000, 1}); // one absurd total must not squeeze the rest
    Distribution d = distribution(buckets, 1234);
    EXPECT_EQ(d.runs, 1001);
    ASSERT_FALSE(d.bars.empty());
    EXPECT_LE(d.bars.size(), static_cast<size_t>(kBarCount + 1));
    EXPECT_LE(d.bars.front().from, 500);
    EXPECT_GE(d.bars.back().to, 1490);
    EXPECT_LT(d.bars.back().to, 2000);
    long long shown = 0;
    for (const Bar &bar : d.bars)
        shown += bar.runs;
    EXPECT_EQ(shown, 1000);
    ASSERT_GE(d.markedBar, 0);
    EXPECT_LE(d.bars[d.markedBar].from, 1234);
    EXPECT_GT(d.bars[d.markedBar].to, 1234);

    Distribution far = distribution(buckets, 50000); // a marked run far outside still shows
    ASSERT_GE(far.markedBar, 0);
    EXPECT_GT(far.bars[far.markedBar].to, 50000);
    EXPECT_TRUE(distribution({}, std::nullopt).bars.empty());
    Distribution one = distribution({{0, 3}}, 0);
    ASSERT_EQ(one.bars.size(), 1u);
    EXPECT_EQ(one.tallest, 3);
}

TEST(RateLimit, ABurstThenOneSubmissionPerShareOfTheHour) {
    RateLimiter limiter(3);
    EXPECT_EQ(limiter.admit("10.0.0.1", 100), 0);
    EXPECT_EQ(limiter.admit("10.0.0.1", 100), 0);
    EXPECT_EQ(limiter.admit("10.0.0.1", 100), 0);
    EXPECT_EQ(limiter.admit("10.0.0.1", 100), 1200); // one token every 20 minutes
    EXPECT_EQ(limiter.admit("10.0.0.2", 100), 0);    // addresses count apart
    EXPECT_EQ(limiter.admit("10.0.0.1", 1299), 1);
    EXPECT_EQ(limiter.admit("10.0.0.1", 1300), 0);
    EXPECT_EQ(RateLimiter(0).admit("x", 0), 0);

    RateLimiter small(1, 2); // a flood of addresses cannot grow the table without end
    for (int i = 0; i < 1000; ++i)
        small.admit("addr" + std::to_string(i), 0);
    EXPECT_EQ(small.admit("addr999", 0), 3600);
}

TEST(Options, DefaultsValuesAndRefusals) {
    ServerOptions o;
    ASSERT_FALSE(parse_server_options({}, o));
    EXPECT_EQ(o.port, 8021);
    EXPECT_EQ(o.db, "sqlite:results.db");
    ASSERT_FALSE(parse_server_options({"--port", "0", "--db", "postgresql://r@127.0.0.1:5432/results", "--rate-limit",
                                       "0", "--threads", "4", "--bind", "0.0.0.0", "--behind-proxy"},
                                      o));
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.db, "postgresql://r@127.0.0.1:5432/results");
    EXPECT_EQ(o.rateLimit, 0);
    EXPECT_EQ(o.threads, 4);
    EXPECT_TRUE(o.behindProxy);
    for (std::vector<std::string> bad :
         {std::vector<std::string>{"--port"}, {"--port", "65536"}, {"--port", "80x"}, {"--threads", "0"}, {"--verbose"}})
        EXPECT_TRUE(parse_server_options(bad, o));
    EXPECT_NE(server_usage().find("postgresql://user@host:port/db"), std::string::npos);
}

TEST(Html, EveryMarkupCharacterIsEscaped) {
    EXPECT_EQ(escape("<script>alert(1)</script> & \"x\" 'y'"),
              "&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot; &#39;y&#39;");
    EXPECT_EQ(grouped(1234567), "1,234,567");
    EXPECT_EQ(grouped(-1000), "-1,000");
    EXPECT_EQ(grouped(999), "999");
    EXPECT_EQ(utc_time(0), "1970-01-01 00:00 UTC");
}

TEST(Fields, EveryKeyOfTheViewersTableHasAFormat) {
    for (const char *key : pc_keys())
        EXPECT_TRUE(is_pc_key(key)) << key;
    EXPECT_FALSE(is_pc_key("m"));
    EXPECT_FALSE(is_pc_key("r"));
}
