// Text files built into the program (embed_text.cmake writes the definitions).
#pragma once

#include <vector>

namespace results {

struct EmbeddedFile {
    const char *name;
    const char *text;
};

const std::vector<EmbeddedFile> &sqlite_migration_files();
const std::vector<EmbeddedFile> &postgres_migration_files();
const std::vector<EmbeddedFile> &web_asset_files();

} // namespace results
