// SQLite connections: one file in WAL mode, readers in parallel with one writer at a time.
#include "sql.h"
#include "store.h"

#include <sqlite3.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace results {

namespace {

constexpr int kBusyTimeoutMs = 10000;  // another process holding the file (a copy started by mistake)
constexpr int kCachePages = -65536;    // negative: KiB, 64 MiB of page cache per connection
constexpr long long kMapBytes = 1LL << 30; // pages read straight from the mapped file, without a copy
constexpr auto kCheckpointPeriod = std::chrono::milliseconds(250);

class SqliteConnection : public SqlConnection {
public:
    explicit SqliteConnection(const std::string &path) {
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw StoreError("cannot open the SQLite database " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // WAL lets pages be read while a run is written; NORMAL syncs at checkpoints, so a committed
        // run survives a crash of the service (not a power loss in the last moment).
        // The log is copied back by the Checkpointer below, never by a commit that happens to fill it.
        run_script("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0; "
                   "PRAGMA cache_size=" + std::to_string(kCachePages) + "; PRAGMA mmap_size=" +
                   std::to_string(kMapBytes) + ";");
    }
    ~SqliteConnection() override {
        for (auto &[sql, statement] : statements_)
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    std::vector<SqlRow> query(const std::string &sql, const std::vector<SqlValue> &params) override {
        sqlite3_stmt *statement = prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (size_t i = 0; i < params.size(); ++i) {
            int index = static_cast<int>(i + 1), rc;
            if (const auto *number = std::get_if<long long>(&params[i]))
                rc = sqlite3_bind_int64(statement, index, *number);
            else if (const auto *text = std::get_if<std::string>(&params[i]))
                rc = sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
            else
                rc = sqlite3_bind_null(statement, index);
            if (rc != SQLITE_OK)
                fail("binding a parameter");
        }
        std::vector<SqlRow> rows;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            SqlRow row(sqlite3_column_count(statement));
            for (int c = 0; c < static_cast<int>(row.size()); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_NULL)
                    continue;
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
                row[c] = std::string(text, sqlite3_column_bytes(statement, c));
            }
            rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE)
            fail("running a statement");
        return rows;
    }

    void run_script(const std::string &sql) override {
        char *message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : "unknown error";
            sqlite3_free(message);
            throw StoreError("SQLite: " + text);
        }
    }

private:
    // Statements are prepared once per connection and kept: the service runs few distinct ones.
    sqlite3_stmt *prepared(const std::string &sql) {
        auto it = statements_.find(sql);
        if (it != statements_.end())
            return it->second;
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement,
                               nullptr) != SQLITE_OK)
            fail("preparing a statement");
        statements_.emplace(sql, statement);
        return statement;
    }

    [[noreturn]] void fail(const char *what) { throw StoreError(std::string("SQLite, ") + what + ": " + sqlite3_errmsg(db_)); }

    sqlite3 *db_ = nullptr;
    std::unordered_map<std::string, sqlite3_stmt *> statements_;
};

// Copies the write-ahead log back into the database file from a thread of its own, a few times a
// second: a commit never waits for the copy and its sync to disk, and the log stays small.
class Checkpointer {
public:
    explicit Checkpointer(const std::string &path) : thread_([this, path] { run(path); }) {}
    ~Checkpointer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    Checkpointer(const Checkpointer &) = delete;
    Checkpointer &operator=(const Checkpointer &) = delete;

private:
    void run(const std::string &path) {
        std::unique_ptr<SqliteConnection> connection;
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, kCheckpointPeriod, [this] { return stop_; })) {
            lock.unlock();
            try {
                if (!connection)
                    connection = std::make_unique<SqliteConnection>(path);
                // PASSIVE copies what no reader still needs and never blocks a writer.
                connection->run_script("PRAGMA wal_checkpoint(PASSIVE);");
            } catch (const StoreError &) {
                // The file is not there yet or busy: the next round tries again.
            }
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_; // last: started once the members it uses exist
};

class SqliteEngine : public SqlEngine {
public:
    explicit SqliteEngine(std::string path) : path_(std::move(path)), checkpointer_(path_) {}
    std::unique_ptr<SqlConnection> connect() override { return std::make_unique<SqliteConnection>(path_); }
    const char *begin_write() const override { return "BEGIN IMMEDIATE"; }
    bool single_writer() const override { return true; }
    const char *migration_lock() const override { return ""; }
    const std::vector<Migration> &migrations() const override { return sqlite_migrations(); }
    std::string describe() const override { return "sqlite:" + path_; }

private:
    std::string path_;
    Checkpointer checkpointer_;
};

} // namespace

std::unique_ptr<SqlEngine> sqlite_engine(const std::string &path) { return std::make_unique<SqliteEngine>(path); }

} // namespace results
