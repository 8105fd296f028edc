// Local declarations of the text model plug-in's Windows side.
#pragma once

#include "trvx.h"

#include "tvm_read.h"

// The engine's wide characters are the lexer's UTF-16 code units.
static_assert(sizeof(wchar_t) == sizeof(tvm_char), "wchar_t must be UTF-16");

// The records the reader fills are handed to the engine as they stand.
static_assert(sizeof(TvmVertex) == sizeof(tagTRVXVERTEX), "vertex record");
static_assert(offsetof(TvmVertex, u) == offsetof(tagTRVXVERTEX, u), "vertex u");
static_assert(offsetof(TvmVertex, colour) == offsetof(tagTRVXVERTEX, colour), "vertex colour");
static_assert(sizeof(TvmFace) == sizeof(tagTRVXFACE), "face record");
static_assert(sizeof(TvmStage) == sizeof(tagTRVXSTAGE), "stage record");
static_assert(offsetof(TvmStage, mapping) == offsetof(tagTRVXSTAGE, mapping), "stage mapping");
static_assert(offsetof(TvmStage, offset) == offsetof(tagTRVXSTAGE, offset), "stage vectors");
static_assert(offsetof(TvmStage, size) == offsetof(tagTRVXSTAGE, size), "stage size");
static_assert(sizeof(TvmVector) == sizeof(TRVXVECTOR), "vector");
static_assert(sizeof(TvmMaterial) == 20, "five material words");

inline const tvm_char *tvm_text(const wchar_t *s) { return reinterpret_cast<const tvm_char *>(s); }
inline const wchar_t *tvm_wide(const tvm_char *s) { return reinterpret_cast<const wchar_t *>(s); }

// Command 11: the last layer created at the top level of the file, or 0.
DWORD_PTR tvm_read_file(tagTRVX *ctx, TRVXLAYER parent, const wchar_t *fileName);
// Command 21: 1 when the file was created and written, 0 when it could not be created.
DWORD_PTR tvm_write_file(tagTRVX *ctx, TRVXLAYER layer, const wchar_t *fileName);
