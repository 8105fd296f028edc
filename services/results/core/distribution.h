// The distribution of all totals as bars: the store counts runs per bucket of totals, and the
// picture spans the buckets that hold all but the outermost runs, so one absurd total cannot
// squeeze the rest into a single bar.
#pragma once

#include <optional>
#include <vector>

namespace results {

constexpr int kBucketPoints = 10; // width of a stored bucket of totals
constexpr int kBarCount = 40;     // most bars drawn

struct Bucket {
    int bucket;     // total / kBucketPoints
    long long runs;
};

struct Bar {
    int from, to;   // totals from `from` to below `to`
    long long runs;
};

struct Distribution {
    std::vector<Bar> bars;
    long long runs = 0;        // all runs, those outside the bars too
    long long tallest = 0;     // runs of the tallest bar
    int markedBar = -1;        // the bar of the marked total, or -1
};

// Bucket of a total (totals are never negative).
inline int bucket_of(int total) { return total / kBucketPoints; }

// Bars for buckets sorted by bucket; the marked total is always inside the span.
Distribution distribution(const std::vector<Bucket> &buckets, std::optional<int> markedTotal);

} // namespace results
