// Native tests of the stream ring bookkeeping: due quarters, refill plans, wraps and endings.
#include <gtest/gtest.h>

#include <vector>

#include "snd_stream.h"

using namespace snd;

namespace {

struct Copy {
    uint32_t data, ring, bytes;
};

// Replays plans into a model ring of data offsets (-1 = zero) to check what would sound.
struct Model {
    std::vector<int64_t> ring;
    std::vector<Copy> copies;
    static void copy(void *user, uint32_t data, uint32_t ring, uint32_t bytes)
    {
        Model *m = (Model *)user;
        m->copies.push_back({data, ring, bytes});
        for (uint32_t i = 0; i < bytes; ++i)
            m->ring[ring + i] = data + i;
    }
    void fill(StreamState *s, int32_t *loops, uint32_t play = 0)
    {
        copies.clear();
        if (!stream_quarter_is_whole(s, *loops))
            for (uint32_t i = 0; i < s->quarter; ++i)
                ring[s->writeOffset + i] = -1;
        stream_fill_quarter(s, loops, play, copy, this);
    }
};

}  // namespace

TEST(Stream, QuarterIsOneSecondOfWholeBlocks)
{
    EXPECT_EQ(176400u, stream_quarter_bytes(4, 44100));
    EXPECT_EQ(22050u, stream_quarter_bytes(1, 22050));
    EXPECT_EQ(0u, stream_quarter_bytes(0, 44100));
    EXPECT_EQ(0u, stream_quarter_bytes(4, 0));
    EXPECT_EQ(0u, stream_quarter_bytes(0xFFFF, 0xFFFFFFFF));
}

TEST(Stream, QuartersFallDueBehindThePlayPosition)
{
    StreamState s;
    stream_begin(&s, 1000, 100);
    EXPECT_FALSE(stream_quarter_due(&s, 0));
    EXPECT_FALSE(stream_quarter_due(&s, 99));
    EXPECT_TRUE(stream_quarter_due(&s, 100));
    s.index = 1;
    EXPECT_FALSE(stream_quarter_due(&s, 150));
    EXPECT_TRUE(stream_quarter_due(&s, 200));
    s.index = 3;
    EXPECT_FALSE(stream_quarter_due(&s, 350));
    EXPECT_TRUE(stream_quarter_due(&s, 10));  // wrapped
}

TEST(Stream, LongEndlessStreamWrapsWithoutAGap)
{
    StreamState s;
    stream_begin(&s, 1050, 100);
    Model m;
    m.ring.assign(400, -2);
    int32_t loops = -1;
    for (int q = 0; q < 4; ++q)
        m.fill(&s, &loops);
    EXPECT_EQ(400u, s.position);
    EXPECT_EQ(0u, s.writeOffset);
    EXPECT_EQ(0u, s.index);
    // play the ring through several wraps: the data offsets heard must run on without a hole
    int64_t expected = 0;
    for (int quarter = 0; quarter < 40; ++quarter) {
        uint32_t at = (quarter % 4) * 100;
        for (uint32_t i = 0; i < 100; ++i) {
            ASSERT_EQ(expected, m.ring[at + i]) << "quarter " << quarter;
            expected = (expected + 1) % 1050;
        }
        m.fill(&s, &loops, (at + 100) % 400);
    }
    EXPECT_LT(loops, 0);
    EXPECT_FALSE(s.draining);
}

TEST(Stream, FiniteStreamEndsInSilenceAndDrains)
{
    StreamState s;
    stream_begin(&s, 650, 100);
    Model m;
    m.ring.assign(400, -2);
    int32_t loops = 1;
    for (int q = 0; q < 4; ++q)
        m.fill(&s, &loops);
    m.fill(&s, &loops, 100);  // quarter 0 again: 400..499
    m.fill(&s, &loops, 200);  // quarter 1: 500..599
    EXPECT_EQ(1, loops);
    m.fill(&s, &loops, 300);  // quarter 2: 600..649, then zeros
    EXPECT_EQ(0, loops);
    EXPECT_TRUE(s.draining);
    for (uint32_t i = 0; i < 50; ++i)
        EXPECT_EQ(600 + i, m.ring[200 + i]);
    for (uint32_t i = 250; i < 300; ++i)
        EXPECT_EQ(-1, m.ring[i]);
    // from play position 300 the data ends at 250: 350 bytes further on
    EXPECT_EQ(350u, s.drainLeft);
    m.fill(&s, &loops, 0);  // later refills write silence over the old quarters
    for (uint32_t i = 300; i < 400; ++i)
        EXPECT_EQ(-1, m.ring[i]);
    EXPECT_FALSE(stream_drain_done(&s, 100));
    EXPECT_FALSE(stream_drain_done(&s, 240));
    EXPECT_TRUE(stream_drain_done(&s, 260));
}

TEST(Stream, ShortStreamsWrapInTheFirstFill)
{
    StreamState s;
    stream_begin(&s, 130, 100);
    Model m;
    m.ring.assign(400, -2);
    int32_t loops = -1;
    for (int q = 0; q < 4; ++q)
        m.fill(&s, &loops);
    for (uint32_t i = 0; i < 400; ++i)
        ASSERT_EQ((int64_t)(i % 130), m.ring[i]) << i;

    StreamState once;
    stream_begin(&once, 130, 100);
    m.ring.assign(400, -2);
    loops = 2;
    for (int q = 0; q < 4; ++q)
        m.fill(&once, &loops);
    EXPECT_EQ(0, loops);
    for (uint32_t i = 0; i < 260; ++i)
        ASSERT_EQ((int64_t)(i % 130), m.ring[i]) << i;
    for (uint32_t i = 260; i < 400; ++i)
        ASSERT_EQ(-1, m.ring[i]) << i;
    EXPECT_TRUE(once.draining);
    EXPECT_EQ(260u, once.drainLeft);
}

TEST(Stream, LeadIsTheDistanceToTheQuarterRefilled)
{
    StreamState s;
    stream_begin(&s, 10000, 100);
    s.writeOffset = 0;
    EXPECT_EQ(300u, stream_lead_bytes(&s, 100));
    s.writeOffset = 300;
    EXPECT_EQ(290u, stream_lead_bytes(&s, 10));
}
