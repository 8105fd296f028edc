// The seam between the store's SQL and a database engine: connections that run one statement with
// bound parameters, and what differs between the engines (how a writing transaction starts, whether
// writes must take turns, which migration files apply). Statements are written with '?' for every
// parameter; a driver whose engine numbers them rewrites the marks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace results {

using SqlValue = std::variant<std::nullptr_t, long long, std::string>;
using SqlRow = std::vector<std::optional<std::string>>; // each column as text, or null

struct Migration {
    int version;
    const char *name; // file name, "0001_runs.sql"
    const char *sql;
};

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    // Runs one statement; throws StoreError with the engine's message.
    virtual std::vector<SqlRow> query(const std::string &sql, const std::vector<SqlValue> &params) = 0;
    // Runs statements without parameters (a migration file).
    virtual void run_script(const std::string &sql) = 0;
};

class SqlEngine {
public:
    virtual ~SqlEngine() = default;
    virtual std::unique_ptr<SqlConnection> connect() = 0;
    // The statement that opens a writing transaction.
    virtual const char *begin_write() const = 0;
    // Whether only one writing transaction may run at a time (the writer then waits for a turn in
    // the process instead of in the engine's busy loop).
    virtual bool single_writer() const = 0;
    // A statement, run first in the migration transaction, that keeps other processes from migrating
    // at the same time, or "".
    virtual const char *migration_lock() const = 0;
    virtual const std::vector<Migration> &migrations() const = 0;
    // For messages: the database without credentials.
    virtual std::string describe() const = 0;
};

std::unique_ptr<SqlEngine> sqlite_engine(const std::string &path);
std::unique_ptr<SqlEngine> postgres_engine(const std::string &uri);

// The migration files of each engine, embedded when the program is built.
const std::vector<Migration> &sqlite_migrations();
const std::vector<Migration> &postgres_migrations();

} // namespace results
