// Parsing of a glTF file: the GLB container is checked here before the glTF library sees it, and
// the library reads buffer files only through the caller, by names that stay in the model's folder.
#include "gltf_import_local.h"

#include <string.h>

namespace {

const uint32_t kGlbMagic = 0x46546C67;     // "glTF"
const uint32_t kGlbVersion = 2;
const uint32_t kChunkJson = 0x4E4F534A;    // "JSON"
const uint32_t kChunkBin = 0x004E4942;     // "BIN\0"
const size_t kGlbHeader = 12, kChunkHeader = 8;

uint32_t read_u32(const uint8_t *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// The container's own rules, stricter than the library's: every length inside the file.
bool check_glb(const uint8_t *bytes, size_t size, std::string *error)
{
    if (size < kGlbHeader + kChunkHeader) {
        *error = "the GLB file is cut short: " + std::to_string(size) + " bytes";
        return false;
    }
    if (read_u32(bytes + 4) != kGlbVersion) {
        *error = "GLB version " + std::to_string(read_u32(bytes + 4)) + " is not 2";
        return false;
    }
    const uint64_t length = read_u32(bytes + 8);
    if (length > size) {
        *error = "the GLB header claims " + std::to_string(length) + " bytes but the file has " +
                 std::to_string(size);
        return false;
    }
    const uint64_t jsonLength = read_u32(bytes + 12);
    if (read_u32(bytes + 16) != kChunkJson || jsonLength == 0) {
        *error = "the GLB file does not start with its JSON chunk";
        return false;
    }
    const uint64_t jsonEnd = kGlbHeader + kChunkHeader + jsonLength;
    if (jsonEnd > length) {
        *error = "the GLB JSON chunk claims " + std::to_string(jsonLength) + " bytes past the end of the file";
        return false;
    }
    if (jsonEnd == length)
        return true;
    if (jsonEnd + kChunkHeader > length) {
        *error = "the GLB BIN chunk is cut short";
        return false;
    }
    const uint64_t binLength = read_u32(bytes + jsonEnd);
    if (read_u32(bytes + jsonEnd + 4) != kChunkBin) {
        *error = "the second GLB chunk is not a BIN chunk";
        return false;
    }
    if (jsonEnd + kChunkHeader + binLength > length || binLength % 4 != 0) {
        *error = "the GLB BIN chunk claims " + std::to_string(binLength) + " bytes past the end of the file";
        return false;
    }
    return true;
}

struct FileAccess {
    const ImportReadFile *read;
    std::string refused; // the first name refused for leaving the folder
};

// The library tries each name as given and again behind "./": both are judged by the name itself.
std::string plain_name(const std::string &name) { return name.compare(0, 2, "./") == 0 ? name.substr(2) : name; }

bool file_exists(const std::string &path, void *user)
{
    auto *access = static_cast<FileAccess *>(user);
    const std::string name = plain_name(path);
    if (!gltf_uri_inside(name)) {
        if (access->refused.empty())
            access->refused = name;
        return false;
    }
    return true; // a missing file is reported when it is read
}

std::string expand_path(const std::string &name, void *) { return name; }

bool read_whole_file(std::vector<unsigned char> *out, std::string *err, const std::string &path, void *user)
{
    auto *access = static_cast<FileAccess *>(user);
    const std::string name = plain_name(path);
    if (!gltf_uri_inside(name)) {
        if (access->refused.empty())
            access->refused = name;
        return false;
    }
    if (!(*access->read)(name, out)) {
        if (err)
            *err += "cannot read " + name + "\n";
        return false;
    }
    return true;
}

bool write_whole_file(std::string *, const std::string &, const std::vector<unsigned char> &, void *) { return false; }

// Images are checked when the materials that use them are converted; the library only keeps the
// bytes of data URIs here. Bytes of a buffer view are not read now: their range is checked later.
bool keep_image_bytes(tinygltf::Image *image, const int, std::string *, std::string *, int, int,
                      const unsigned char *bytes, int size, void *)
{
    if (image->bufferView < 0 && bytes && size > 0)
        image->image.assign(bytes, bytes + size);
    return true;
}

// The library's messages end in new lines and may hold several: the first line is enough.
std::string first_line(const std::string &text)
{
    size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string gltf_uri_decode(const std::string &uri)
{
    std::string out;
    for (size_t i = 0; i < uri.size(); ++i) {
        int hi, lo;
        if (uri[i] == '%' && i + 2 < uri.size() && (hi = hex_digit(uri[i + 1])) >= 0 && (lo = hex_digit(uri[i + 2])) >= 0) {
            out += (char)(hi * 16 + lo);
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

bool gltf_uri_inside(const std::string &uri)
{
    if (uri.empty() || uri[0] == '/' || uri[0] == '\\' || uri.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= uri.size()) {
        size_t end = uri.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = uri.size();
        if (end == start || uri.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return uri.find('\0') == std::string::npos;
}

bool gltf_load(const uint8_t *bytes, size_t size, const ImportReadFile &readFile, tinygltf::Model *model,
               std::string *error)
{
    const bool binary = size >= 4 && read_u32(bytes) == kGlbMagic;
    if (binary && !check_glb(bytes, size, error))
        return false;
    if (size > UINT32_MAX) {
        *error = "the file is larger than 4 GB";
        return false;
    }
    FileAccess access = {&readFile, std::string()};
    tinygltf::FsCallbacks fs = {file_exists, expand_path, read_whole_file, write_whole_file, &access};
    tinygltf::TinyGLTF loader;
    loader.SetFsCallbacks(fs);
    loader.SetImageLoader(keep_image_bytes, nullptr);
    std::string err, warn;
    bool ok;
    if (binary)
        ok = loader.LoadBinaryFromMemory(model, &err, &warn, bytes, (unsigned int)read_u32(bytes + 8), "");
    else
        ok = loader.LoadASCIIFromString(model, &err, &warn, reinterpret_cast<const char *>(bytes),
                                        (unsigned int)size, "");
    if (!access.refused.empty()) {
        *error = "the file names " + access.refused + ", which lies outside the model's folder";
        return false;
    }
    if (!ok) {
        *error = err.empty() ? std::string("the file is not glTF 2.0") : first_line(err);
        return false;
    }
    return true;
}
