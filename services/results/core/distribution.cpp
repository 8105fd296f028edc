// Turning stored buckets into the bars of the distribution picture.
#include "distribution.h"

#include <algorithm>

namespace results {

namespace {

constexpr long long kTailPerMille = 5; // left out on each side: 0.5 % of the runs

// Round a bar width up to 1, 2 or 5 times a power of ten, so the axis reads well.
int nice_width(int width) {
    for (int scale = 1;; scale *= 10)
        for (int step : {1, 2, 5})
            if (step * scale >= width)
                return step * scale;
}

} // namespace

Distribution distribution(const std::vector<Bucket> &buckets, std::optional<int> markedTotal) {
    Distribution d;
    for (const Bucket &b : buckets)
        d.runs += b.runs;
    if (d.runs == 0)
        return d;
    long long tail = d.runs * kTailPerMille / 1000, seen = 0;
    int low = buckets.front().bucket, high = buckets.back().bucket;
    for (const Bucket &b : buckets) {
        seen += b.runs;
        if (seen > tail) {
            low = b.bucket;
            break;
        }
    }
    seen = 0;
    for (auto it = buckets.rbegin(); it != buckets.rend(); ++it) {
        seen += it->runs;
        if (seen > tail) {
            high = it->bucket;
            break;
        }
    }
    int from = low * kBucketPoints, to = (high + 1) * kBucketPoints;
    if (markedTotal) {
        from = std::min(from, *markedTotal / kBucketPoints * kBucketPoints);
        to = std::max(to, (*markedTotal / kBucketPoints + 1) * kBucketPoints);
    }
    int width = nice_width(std::max(kBucketPoints, (to - from + kBarCount - 1) / kBarCount));
    from = from / width * width;
    int count = (to - from + width - 1) / width;
    for (int i = 0; i < count; ++i)
        d.bars.push_back({from + i * width, from + (i + 1) * width, 0});
    for (const Bucket &b : buckets) {
        long long total = static_cast<long long>(b.bucket) * kBucketPoints;
        if (total >= from && total < from + static_cast<long long>(count) * width)
            d.bars[(total - from) / width].runs += b.runs;
    }
    for (const Bar &bar : d.bars)
        d.tallest = std::max(d.tallest, bar.runs);
    if (markedTotal)
        d.markedBar = (*markedTotal - from) / width;
    return d;
}

} // namespace results
