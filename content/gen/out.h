// Output tree: files are replaced only when their bytes change, so a rebuild leaves
// unchanged content with its old time stamps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace content {

using Bytes = std::vector<uint8_t>;

// Root folder of the generated tree (the folder beside the programs).
void setOutputRoot(const std::string& root);
// Returns the absolute path of a relative content path written with backslashes or slashes.
std::string outputPath(const std::string& rel);
// Writes the bytes unless the file already holds them; returns true when the file was rewritten.
bool writeFile(const std::string& rel, const Bytes& data);
bool writeText(const std::string& rel, const std::string& text);
// Number of files written and left alone so far (for the run summary).
int filesWritten();
int filesKept();

} // namespace content
