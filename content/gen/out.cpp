// Output tree writer (see out.h).
#include "out.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace content {

static std::string g_root = ".";
static int g_written = 0;
static int g_kept = 0;

void setOutputRoot(const std::string& root) { g_root = root; }

std::string outputPath(const std::string& rel)
{
  std::string p = rel;
  for (char& c : p)
    if (c == '\\') c = '/';
  return g_root + "/" + p;
}

static bool sameBytes(const std::string& path, const Bytes& data)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  if (static_cast<size_t>(in.tellg()) != data.size()) return false;
  in.seekg(0);
  Bytes old(data.size());
  in.read(reinterpret_cast<char*>(old.data()), static_cast<std::streamsize>(old.size()));
  return old == data;
}

bool writeFile(const std::string& rel, const Bytes& data)
{
  const std::string path = outputPath(rel);
  if (sameBytes(path, data)) {
    ++g_kept;
    return false;
  }
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  // Write beside and rename, so an interrupted build never leaves half a file.
  const std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + tmp);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + tmp);
  }
  std::filesystem::rename(tmp, path);
  ++g_written;
  return true;
}

bool writeText(const std::string& rel, const std::string& text)
{
  return writeFile(rel, Bytes(text.begin(), text.end()));
}

int filesWritten() { return g_written; }
int filesKept() { return g_kept; }

} // namespace content
