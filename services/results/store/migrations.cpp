// The embedded migration files as numbered migrations: the number is the file name's leading digits.
#include "embedded.h"
#include "sql.h"
#include "store.h"

#include <algorithm>
#include <cstdlib>

namespace results {

namespace {

std::vector<Migration> numbered(const std::vector<EmbeddedFile> &files) {
    std::vector<Migration> list;
    for (const EmbeddedFile &file : files)
        list.push_back({std::atoi(file.name), file.name, file.text});
    std::sort(list.begin(), list.end(), [](const Migration &a, const Migration &b) { return a.version < b.version; });
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].version != static_cast<int>(i + 1))
            throw StoreError(std::string("migration files are not numbered 1, 2, 3, …: ") + list[i].name);
    return list;
}

} // namespace

const std::vector<Migration> &sqlite_migrations() {
    static const std::vector<Migration> list = numbered(sqlite_migration_files());
    return list;
}

const std::vector<Migration> &postgres_migrations() {
    static const std::vector<Migration> list = numbered(postgres_migration_files());
    return list;
}

} // namespace results
