// Local declarations of the glTF plug-in's Windows side.
#pragma once

#include "trvx.h"

#include "gltf_scene.h"

#include <string>

// The neutral tree's records are handed to the engine as they stand.
static_assert(sizeof(SceneVertex) == sizeof(tagTRVXVERTEX), "vertex record");
static_assert(offsetof(SceneVertex, normal) == offsetof(tagTRVXVERTEX, normal), "vertex normal");
static_assert(offsetof(SceneVertex, u) == offsetof(tagTRVXVERTEX, u), "vertex u");
static_assert(offsetof(SceneVertex, v) == offsetof(tagTRVXVERTEX, v), "vertex v");
static_assert(sizeof(tagTRVXFACE) == 3 * sizeof(uint16_t), "faces are three 16-bit indices");

// Command 11: the top layer read (the last top-level node), or 0 when the file was refused.
DWORD_PTR gltf_read_file(tagTRVX *ctx, TRVXLAYER parent, const wchar_t *fileName);
// Command 21: 1 when every file was written, 0 otherwise.
DWORD_PTR gltf_write_file(tagTRVX *ctx, TRVXLAYER layer, const wchar_t *fileName);

// The message that command TRVXCMD_FORMAT_MESSAGE hands out: set by every read and write.
void gltf_set_message(const std::wstring &text);
const std::wstring &gltf_message();

std::wstring gltf_wide(const std::string &utf8);
std::string gltf_utf8(const wchar_t *wide);
