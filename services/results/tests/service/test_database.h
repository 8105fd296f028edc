// A fresh, empty database for each test, on the engine the test run was given: SQLite (a file in a
// temporary folder) by default, PostgreSQL when RESULTS_TEST_POSTGRES names a server (with_postgres.sh),
// each test then in a schema of its own on that server.
#pragma once

#include <string>

namespace results_test {

// Whether the tests run against PostgreSQL.
bool on_postgres();
// The --db address of a new, empty database.
std::string fresh_database();
// Runs SQL on a database given by its --db address (to set up what a test needs).
void run_sql(const std::string &db, const std::string &sqliteScript, const std::string &postgresScript);

} // namespace results_test
