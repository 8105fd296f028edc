// Fresh databases for the service tests.
#include "test_database.h"

#include "sql.h"

#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace results_test {

namespace {

std::atomic<int> g_databases{0};

// The SQLite files of one test program, removed when it ends.
struct TempFolder {
    std::string path;
    TempFolder() : path((std::filesystem::temp_directory_path() / "results-test.XXXXXX").string()) {
        if (!mkdtemp(path.data()))
            throw std::runtime_error("cannot make a temporary folder");
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
};

const std::string &temp_folder() {
    static const TempFolder folder;
    return folder.path;
}

} // namespace

bool on_postgres() { return std::getenv("RESULTS_TEST_POSTGRES") != nullptr; }

std::string fresh_database() {
    int n = ++g_databases;
    if (!on_postgres())
        return "sqlite:" + temp_folder() + "/test" + std::to_string(n) + ".db";
    std::string base = std::getenv("RESULTS_TEST_POSTGRES");
    std::string schema = "test" + std::to_string(getpid()) + "_" + std::to_string(n);
    PGconn *conn = PQconnectdb(base.c_str());
    PGresult *result = PQexec(conn, ("CREATE SCHEMA " + schema).c_str());
    bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        throw std::runtime_error("cannot make schema " + schema + " on " + base);
    return base + "?options=-c%20search_path%3D" + schema;
}

void run_sql(const std::string &db, const std::string &sqliteScript, const std::string &postgresScript) {
    if (db.rfind("sqlite:", 0) == 0)
        results::sqlite_engine(db.substr(7))->connect()->run_script(sqliteScript);
    else
        results::postgres_engine(db)->connect()->run_script(postgresScript);
}

} // namespace results_test
