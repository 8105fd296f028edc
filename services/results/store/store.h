// Where runs are kept: one interface, with SQLite (the embedded default) and PostgreSQL (for a public
// deployment, and for several copies of the service on one database) behind it. Every call is safe
// from any thread; every submission is one transaction.
#pragma once

#include "distribution.h"
#include "list_query.h"
#include "run.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace results {

// A database that cannot be opened, migrated or reached; the message says which and why.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct StoredRun {
    int64_t id = 0;
    int64_t createdAt = 0; // seconds since 1970, UTC
    Run run;
};

struct Submission {
    int64_t id = 0;
    bool stored = false; // false: the same run was already there (id is that run's)
};

struct Standing {
    int64_t rank = 0, runs = 0;         // among all runs, by total
    int64_t chipRank = 0, chipRuns = 0; // among runs with the same graphics chip
};

struct ListedRun {
    int64_t id = 0;
    int64_t rank = 0; // by the list's order; equal values share a rank
    int64_t createdAt = 0;
    int total = 0;
    std::optional<ModeRates> modes;
    std::string chip, cpu, os;
    bool hasDetails = false;
};

struct ListPage {
    std::vector<ListedRun> runs;
    long long matching = 0; // runs the filters let through, counted up to kDeepestRow + 1
};

class Store {
public:
    virtual ~Store() = default;

    // Keeps a run, or finds it already kept: by its result file, or by the values its address carries.
    // A result file for a run that was sent as an address before completes that run.
    virtual Submission submit(const Run &run) = 0;
    // Keeps many runs in one transaction, without looking for them first (filling a database for a
    // load test).
    virtual void import(const std::vector<Run> &runs) = 0;
    virtual std::optional<StoredRun> find(int64_t id) = 0;
    virtual Standing standing(const StoredRun &run) = 0;
    virtual ListPage list(const ListQuery &query) = 0;
    // Runs per bucket of totals, by bucket.
    virtual std::vector<Bucket> buckets() = 0;
    // Number of runs kept.
    virtual long long count() = 0;
    // The database for messages, without credentials.
    virtual std::string describe() const = 0;
};

// Opens (and migrates) the database of a URL: "sqlite:PATH" or "postgresql://…" (also "postgres://").
// connections: most connections used at once (one per server thread).
std::unique_ptr<Store> open_store(const std::string &url, int connections);

} // namespace results
