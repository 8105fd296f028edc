// Reading a glTF 2.0 file (.gltf text or .glb binary) into the neutral tree, with every check a
// file from anywhere needs: nothing is read past a buffer, files outside the model's folder are
// never opened, and a refused file gives one clear message and no tree. Portable code.
#pragma once

#include "gltf_scene.h"

#include <functional>

// Reads a file beside the model by its relative name (UTF-8, already checked to stay inside the
// model's folder); false when it cannot be read.
typedef std::function<bool(const std::string &name, std::vector<uint8_t> *bytes)> ImportReadFile;
// Progress of the read, 0 to 100.
typedef std::function<void(int percent)> ImportProgress;

// The file's bytes into `tree`. False with `error` set when the file is refused; `tree` is then empty.
bool gltf_import(const uint8_t *bytes, size_t size, const ImportReadFile &readFile, const ImportProgress &progress,
                 SceneTree *tree, std::string *error);

// A URI with its %XX escapes decoded (a broken escape is kept as it stands).
std::string gltf_uri_decode(const std::string &uri);
// True when a relative URI of the file may be opened: no absolute path, drive, scheme or "..".
bool gltf_uri_inside(const std::string &uri);
