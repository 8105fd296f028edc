// The store on an SQL engine: the statements, the transactions and a pool of connections. The
// same statements run on SQLite and PostgreSQL.
#include "sql.h"
#include "store.h"

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <ctime>
#include <mutex>

namespace results {

namespace {

const char kInsertRun[] =
    "INSERT INTO runs (created_at, total, mode1, mode2, mode3, mode4, chip, cpu, os, pc, details, address_key, "
    "details_key) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char kCountBucket[] =
    "INSERT INTO total_buckets (bucket, runs) VALUES (?, 1) ON CONFLICT (bucket) DO UPDATE SET runs = total_buckets.runs + 1";
const char kRunColumns[] = "id, created_at, total, mode1, mode2, mode3, mode4, chip, cpu, os";

long long number(const std::optional<std::string> &text) { return text ? std::stoll(*text) : 0; }

SqlValue text_or_null(const Run &run, const char *key) {
    auto it = run.pc.find(key);
    return it == run.pc.end() ? SqlValue(nullptr) : SqlValue(it->second);
}

std::optional<ModeRates> modes_of(const SqlRow &row, size_t first) {
    if (!row[first])
        return std::nullopt;
    ModeRates rates;
    for (int k = 0; k < kModeCount; ++k)
        rates[k] = static_cast<int>(number(row[first + k]));
    return rates;
}

class Pool {
public:
    Pool(SqlEngine &engine, int size) : engine_(engine), size_(size) {}

    class Lease {
    public:
        Lease(Pool &pool, std::unique_ptr<SqlConnection> connection) : pool_(pool), connection_(std::move(connection)) {}
        ~Lease() { pool_.give_back(std::move(connection_)); }
        Lease(const Lease &) = delete;
        Lease &operator=(const Lease &) = delete;
        SqlConnection *operator->() { return connection_.get(); }
        SqlConnection &operator*() { return *connection_; }

    private:
        Pool &pool_;
        std::unique_ptr<SqlConnection> connection_;
    };

    Lease take() {
        std::unique_lock<std::mutex> lock(mutex_);
        freed_.wait(lock, [&] { return !idle_.empty() || open_ < size_; });
        if (!idle_.empty()) {
            std::unique_ptr<SqlConnection> connection = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(connection));
        }
        ++open_;
        lock.unlock();
        try {
            return Lease(*this, engine_.connect());
        } catch (...) {
            lock.lock();
            --open_;
            freed_.notify_one();
            throw;
        }
    }

private:
    void give_back(std::unique_ptr<SqlConnection> connection) {
        std::lock_guard<std::mutex> lock(mutex_);
        idle_.push_back(std::move(connection));
        freed_.notify_one();
    }

    SqlEngine &engine_;
    int size_;
    int open_ = 0;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
};

// A writing transaction that rolls back unless committed.
class Transaction {
public:
    Transaction(SqlConnection &connection, const char *begin) : connection_(connection) { connection_.query(begin, {}); }
    ~Transaction() {
        if (open_) {
            try {
                connection_.query("ROLLBACK", {});
            } catch (const StoreError &) {
                // The connection is gone; the engine drops the transaction with it.
            }
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit() {
        connection_.query("COMMIT", {});
        open_ = false;
    }

private:
    SqlConnection &connection_;
    bool open_ = true;
};

void migrate(SqlEngine &engine) {
    std::unique_ptr<SqlConnection> connection = engine.connect();
    Transaction transaction(*connection, engine.begin_write());
    if (*engine.migration_lock())
        connection->query(engine.migration_lock(), {});
    connection->run_script("CREATE TABLE IF NOT EXISTS schema_migrations (version INTEGER PRIMARY KEY, "
                           "name TEXT NOT NULL, applied_at BIGINT NOT NULL)");
    long long current = number(connection->query("SELECT COALESCE(MAX(version), 0) FROM schema_migrations", {})[0][0]);
    const std::vector<Migration> &migrations = engine.migrations();
    int latest = migrations.empty() ? 0 : migrations.back().version;
    if (current > latest)
        throw StoreError(engine.describe() + " has schema version " + std::to_string(current) +
                         ", newer than this program knows (" + std::to_string(latest) + "): run a newer results-server");
    for (const Migration &migration : migrations) {
        if (migration.version <= current)
            continue;
        try {
            connection->run_script(migration.sql);
        } catch (const StoreError &error) {
            throw StoreError(std::string("migration ") + migration.name + " failed on " + engine.describe() + ": " +
                             error.what());
        }
        connection->query("INSERT INTO schema_migrations (version, name, applied_at) VALUES (?, ?, ?)",
                          {static_cast<long long>(migration.version), std::string(migration.name),
                           static_cast<long long>(std::time(nullptr))});
    }
    transaction.commit();
}

class SqlStore : public Store {
public:
    SqlStore(std::unique_ptr<SqlEngine> engine, int connections)
        : engine_(std::move(engine)), pool_(*engine_, connections) {
        migrate(*engine_);
    }

    Submission submit(const Run &run) override {
        Pool::Lease connection = pool_.take();
        std::unique_lock<std::mutex> turn(writeTurn_, std::defer_lock);
        if (engine_->single_writer())
            turn.lock();
        Transaction transaction(*connection, engine_->begin_write());
        Submission result = run.details.empty() ? submit_address(*connection, run) : submit_details(*connection, run);
        transaction.commit();
        return result;
    }

    void import(const std::vector<Run> &runs) override {
        Pool::Lease connection = pool_.take();
        std::unique_lock<std::mutex> turn(writeTurn_, std::defer_lock);
        if (engine_->single_writer())
            turn.lock();
        Transaction transaction(*connection, engine_->begin_write());
        for (const Run &run : runs)
            insert(*connection, run, kInsertRun);
        transaction.commit();
    }

    std::optional<StoredRun> find(int64_t id) override {
        Pool::Lease connection = pool_.take();
        std::vector<SqlRow> rows = connection->query(
            std::string("SELECT ") + kRunColumns + ", pc, details, address_key, details_key FROM runs WHERE id = ?",
            {static_cast<long long>(id)});
        if (rows.empty())
            return std::nullopt;
        const SqlRow &row = rows[0];
        StoredRun stored;
        stored.id = number(row[0]);
        stored.createdAt = number(row[1]);
        stored.run.total = static_cast<int>(number(row[2]));
        stored.run.modes = modes_of(row, 3);
        nlohmann::json pc = nlohmann::json::parse(row[10].value_or("{}"), nullptr, false);
        if (pc.is_object())
            for (auto &[key, value] : pc.items())
                if (value.is_string())
                    stored.run.pc[key] = value.get<std::string>();
        stored.run.details = row[11].value_or("");
        stored.run.addressKey = row[12].value_or("");
        stored.run.detailsKey = row[13].value_or("");
        return stored;
    }

    Standing standing(const StoredRun &stored) override {
        Pool::Lease connection = pool_.take();
        Standing s;
        long long total = stored.run.total, bucket = bucket_of(stored.run.total);
        // Whole buckets above the run's, then the runs of its own bucket that beat it.
        s.rank = 1 + number(connection->query("SELECT COALESCE(SUM(runs), 0) FROM total_buckets WHERE bucket > ?",
                                              {bucket})[0][0]) +
                 number(connection->query("SELECT COUNT(*) FROM runs WHERE total > ? AND total < ?",
                                          {total, (bucket + 1) * kBucketPoints})[0][0]);
        s.runs = count(*connection);
        auto chip = stored.run.pc.find(kChipKey);
        if (chip != stored.run.pc.end()) {
            s.chipRank = 1 + number(connection->query("SELECT COUNT(*) FROM runs WHERE chip = ? AND total > ?",
                                                      {chip->second, total})[0][0]);
            s.chipRuns = number(connection->query("SELECT COUNT(*) FROM runs WHERE chip = ?", {chip->second})[0][0]);
        }
        return s;
    }

    ListPage list(const ListQuery &query) override {
        std::string where;
        std::vector<SqlValue> params;
        auto filter = [&](const char *column, const std::string &value) {
            if (value.empty())
                return;
            where += (where.empty() ? " WHERE " : " AND ") + std::string(column) + " = ?";
            params.push_back(value);
        };
        filter("chip", query.chip);
        filter("cpu", query.cpu);
        filter("os", query.os);
        int mode = sort_mode(query.sort);
        std::string key = mode ? "mode" + std::to_string(mode) : "total";
        if (mode)
            where += (where.empty() ? " WHERE " : " AND ") + key + " > 0";

        Pool::Lease connection = pool_.take();
        ListPage page;
        std::vector<SqlValue> limited = params;
        limited.push_back(static_cast<long long>(kDeepestRow + 1));
        page.matching = number(
            connection->query("SELECT COUNT(*) FROM (SELECT 1 FROM runs" + where + " LIMIT ?) AS matching", limited)[0][0]);

        long long offset = static_cast<long long>(query.page - 1) * query.limit;
        std::vector<SqlValue> paged = params;
        paged.push_back(static_cast<long long>(query.limit));
        paged.push_back(offset);
        std::vector<SqlRow> rows = connection->query(
            std::string("SELECT ") + kRunColumns + ", CASE WHEN details IS NULL THEN 0 ELSE 1 END FROM runs" + where +
                " ORDER BY " + key + " DESC, id LIMIT ? OFFSET ?",
            paged);
        long long previous = -1, rank = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            ListedRun listed;
            listed.id = number(rows[i][0]);
            listed.createdAt = number(rows[i][1]);
            listed.total = static_cast<int>(number(rows[i][2]));
            listed.modes = modes_of(rows[i], 3);
            listed.chip = rows[i][7].value_or("");
            listed.cpu = rows[i][8].value_or("");
            listed.os = rows[i][9].value_or("");
            listed.hasDetails = number(rows[i][10]) != 0;
            long long value = mode ? (*listed.modes)[mode - 1] : listed.total;
            if (i == 0) {
                // The first row's equals may lie on the page before: count what beats it. The bound
                // on the value comes first: SQLite ranges an index by the first of two bounds.
                std::vector<SqlValue> above = {value};
                above.insert(above.end(), params.begin(), params.end());
                rank = 1 + number(connection->query("SELECT COUNT(*) FROM runs WHERE " + key + " > ?" +
                                                        (where.empty() ? "" : " AND " + where.substr(7)),
                                                    above)[0][0]);
            } else if (value != previous) {
                rank = offset + static_cast<long long>(i) + 1;
            }
            previous = value;
            listed.rank = rank;
            page.runs.push_back(std::move(listed));
        }
        return page;
    }

    std::vector<Bucket> buckets() override {
        Pool::Lease connection = pool_.take();
        std::vector<Bucket> list;
        for (const SqlRow &row : connection->query("SELECT bucket, runs FROM total_buckets ORDER BY bucket", {}))
            list.push_back({static_cast<int>(number(row[0])), number(row[1])});
        return list;
    }

    long long count() override {
        Pool::Lease connection = pool_.take();
        return count(*connection);
    }

    std::string describe() const override { return engine_->describe(); }

private:
    static long long count(SqlConnection &connection) {
        return number(connection.query("SELECT COALESCE(SUM(runs), 0) FROM total_buckets", {})[0][0]);
    }

    // Inserts a run and counts it in its bucket; the id, or nothing when the insert's conflict
    // clause left it out.
    static std::optional<int64_t> insert(SqlConnection &connection, const Run &run, const std::string &insertSql) {
        nlohmann::json pc = nlohmann::json::object();
        for (const auto &[key, value] : run.pc)
            pc[key] = value;
        std::vector<SqlValue> params = {static_cast<long long>(std::time(nullptr)), static_cast<long long>(run.total)};
        for (int k = 0; k < kModeCount; ++k)
            params.push_back(run.modes ? SqlValue(static_cast<long long>((*run.modes)[k])) : SqlValue(nullptr));
        params.push_back(text_or_null(run, kChipKey));
        params.push_back(text_or_null(run, kProcessorKey));
        params.push_back(text_or_null(run, kOsKey));
        params.push_back(pc.dump());
        params.push_back(run.details.empty() ? SqlValue(nullptr) : SqlValue(run.details));
        params.push_back(run.addressKey);
        params.push_back(run.detailsKey.empty() ? SqlValue(nullptr) : SqlValue(run.detailsKey));
        std::vector<SqlRow> rows = connection.query(insertSql + " RETURNING id", params);
        if (rows.empty())
            return std::nullopt;
        connection.query(kCountBucket, {static_cast<long long>(bucket_of(run.total))});
        return number(rows[0][0]);
    }

    static std::optional<int64_t> first_id(SqlConnection &connection, const char *sql, const std::string &key) {
        std::vector<SqlRow> rows = connection.query(sql, {key});
        if (rows.empty())
            return std::nullopt;
        return number(rows[0][0]);
    }

    static Submission submit_address(SqlConnection &connection, const Run &run) {
        const char *byAddress = "SELECT id FROM runs WHERE address_key = ? ORDER BY id LIMIT 1";
        if (auto id = first_id(connection, byAddress, run.addressKey))
            return {*id, false};
        // Another copy of the service may have kept the same run a moment ago.
        if (auto id = insert(connection, run,
                             std::string(kInsertRun) + " ON CONFLICT (address_key) WHERE details_key IS NULL DO NOTHING"))
            return {*id, true};
        return {first_id(connection, byAddress, run.addressKey).value_or(0), false};
    }

    static Submission submit_details(SqlConnection &connection, const Run &run) {
        const char *byDetails = "SELECT id FROM runs WHERE details_key = ?";
        if (auto id = first_id(connection, byDetails, run.detailsKey))
            return {*id, false};
        // The same run sent as an address before: it gains its result file.
        std::vector<SqlRow> completed = connection.query(
            "UPDATE runs SET details = ?, details_key = ? WHERE id = (SELECT id FROM runs WHERE address_key = ? AND "
            "details_key IS NULL ORDER BY id LIMIT 1) AND details_key IS NULL RETURNING id",
            {run.details, run.detailsKey, run.addressKey});
        if (!completed.empty())
            return {number(completed[0][0]), true};
        if (auto id = insert(connection, run, std::string(kInsertRun) + " ON CONFLICT (details_key) DO NOTHING"))
            return {*id, true};
        return {first_id(connection, byDetails, run.detailsKey).value_or(0), false};
    }

    std::unique_ptr<SqlEngine> engine_;
    Pool pool_;
    std::mutex writeTurn_;
};

} // namespace

std::unique_ptr<Store> open_store(const std::string &url, int connections) {
    std::unique_ptr<SqlEngine> engine;
    if (url.rfind("sqlite:", 0) == 0 && url.size() > 7)
        engine = sqlite_engine(url.substr(7));
    else if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0)
        engine = postgres_engine(url);
    else
        throw StoreError("unknown database address \"" + url + "\": use sqlite:PATH or postgresql://user@host:port/db");
    return std::make_unique<SqlStore>(std::move(engine), connections);
}

} // namespace results
