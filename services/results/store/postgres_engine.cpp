// PostgreSQL connections through libpq: statements prepared once per connection, parameters sent as
// text and typed by the server.
#include "sql.h"
#include "store.h"

#include <libpq-fe.h>

#include <map>
#include <unordered_map>

namespace results {

namespace {

// Any constant: the key of the advisory lock that copies of the service take while one migrates.
constexpr long long kMigrationLockKey = 2021021;

// "?" marks to "$1", "$2", …; the store's statements hold no '?' inside quotes.
std::string numbered(const std::string &sql) {
    std::string out;
    int n = 0;
    for (char c : sql) {
        if (c == '?')
            out += "$" + std::to_string(++n);
        else
            out += c;
    }
    return out;
}

class Result {
public:
    explicit Result(PGresult *result) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(const Result &) = delete;
    Result &operator=(const Result &) = delete;
    PGresult *get() const { return result_; }
    bool ok() const {
        ExecStatusType status = PQresultStatus(result_);
        return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    }

private:
    PGresult *result_;
};

class PostgresConnection : public SqlConnection {
public:
    explicit PostgresConnection(const std::string &uri, const std::string &describe) : conn_(PQconnectdb(uri.c_str())) {
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
            PQfinish(conn_);
            throw StoreError("cannot connect to " + describe + ": " + trimmed(message));
        }
        // Notices (e.g. "relation already exists, skipping") are not the service's output.
        PQsetNoticeProcessor(conn_, [](void *, const char *) {}, nullptr);
    }
    ~PostgresConnection() override { PQfinish(conn_); }

    std::vector<SqlRow> query(const std::string &sql, const std::vector<SqlValue> &params) override {
        const std::string &name = prepared(sql);
        std::vector<std::string> texts(params.size());
        std::vector<const char *> values(params.size());
        for (size_t i = 0; i < params.size(); ++i) {
            if (const auto *number = std::get_if<long long>(&params[i])) {
                texts[i] = std::to_string(*number);
                values[i] = texts[i].c_str();
            } else if (const auto *text = std::get_if<std::string>(&params[i])) {
                values[i] = text->c_str();
            }
        }
        Result result(PQexecPrepared(conn_, name.c_str(), static_cast<int>(params.size()), values.data(), nullptr,
                                     nullptr, 0));
        if (!result.ok())
            fail();
        std::vector<SqlRow> rows(PQntuples(result.get()), SqlRow(PQnfields(result.get())));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r)
            for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
                if (!PQgetisnull(result.get(), r, c))
                    rows[r][c] = std::string(PQgetvalue(result.get(), r, c), PQgetlength(result.get(), r, c));
        return rows;
    }

    void run_script(const std::string &sql) override {
        Result result(PQexec(conn_, sql.c_str()));
        if (!result.ok())
            fail();
    }

private:
    static std::string trimmed(std::string message) {
        while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
            message.pop_back();
        return message;
    }

    const std::string &prepared(const std::string &sql) {
        auto it = names_.find(sql);
        if (it != names_.end())
            return it->second;
        std::string name = "s" + std::to_string(names_.size());
        Result result(PQprepare(conn_, name.c_str(), numbered(sql).c_str(), 0, nullptr));
        if (!result.ok())
            fail();
        return names_.emplace(sql, name).first->second;
    }

    // A connection the server dropped is opened again for the next call; this one still fails.
    [[noreturn]] void fail() {
        std::string message = trimmed(PQerrorMessage(conn_));
        if (PQstatus(conn_) == CONNECTION_BAD) {
            PQreset(conn_);
            names_.clear();
        }
        throw StoreError("PostgreSQL: " + message);
    }

    PGconn *conn_;
    std::unordered_map<std::string, std::string> names_;
};

class PostgresEngine : public SqlEngine {
public:
    explicit PostgresEngine(std::string uri) : uri_(std::move(uri)) {}
    std::unique_ptr<SqlConnection> connect() override { return std::make_unique<PostgresConnection>(uri_, describe()); }
    const char *begin_write() const override { return "BEGIN"; }
    bool single_writer() const override { return false; }
    const char *migration_lock() const override {
        static const std::string lock = "SELECT pg_advisory_xact_lock(" + std::to_string(kMigrationLockKey) + ")";
        return lock.c_str();
    }
    const std::vector<Migration> &migrations() const override { return postgres_migrations(); }

    std::string describe() const override {
        char *error = nullptr;
        PQconninfoOption *options = PQconninfoParse(uri_.c_str(), &error);
        if (!options) {
            PQfreemem(error);
            return "PostgreSQL (an address that cannot be read)";
        }
        std::map<std::string, std::string> parts;
        for (PQconninfoOption *o = options; o->keyword; ++o)
            if (o->val)
                parts[o->keyword] = o->val;
        PQconninfoFree(options);
        return "postgresql://" + (parts.count("user") ? parts["user"] + "@" : "") + parts["host"] +
               (parts.count("port") ? ":" + parts["port"] : "") + "/" + parts["dbname"];
    }

private:
    std::string uri_;
};

} // namespace

std::unique_ptr<SqlEngine> postgres_engine(const std::string &uri) { return std::make_unique<PostgresEngine>(uri); }

} // namespace results
