// Engine-internal helpers shared by the engine's source files; not part of the public interface.
#pragma once

#include "trvx.h"

#include <stddef.h>

// trvx.dll itself: its folder holds the plug-ins, its resources the progress dialog.
HMODULE engine_module();

// Sends a command to the graphics driver in use; 0 when there is none.
DWORD_PTR driver_command(tagTRVX *ctx, int command, DWORD_PTR p1 = 0, DWORD_PTR p2 = 0, DWORD_PTR p3 = 0,
                         DWORD_PTR p4 = 0);

// Copies at most `capacity - 1` characters and terminates; returns false when `text` was cut.
bool copy_text(wchar_t *dst, size_t capacity, const wchar_t *text);

// A memory block like TRVX_AllocMemory's for a caller that writes every byte of it at once: left
// unzeroed, so that large file and text blocks are not written twice.
void *memory_alloc_filled(tagTRVX *ctx, int size);
// Bytes of the header in front of every memory block.
const size_t kMemoryBlockHeader = 8;
// Writes a block header for `size` bytes at `at` (room for the header and the data); the data's address.
void *memory_block_place(void *at, int size);

// Resets the frame-time average to its seed (the scene changed substantially).
void reset_frame_average(tagTRVX *ctx);

// Allocates the five draw lists with their two sentinels' room (at start).
bool draw_lists_create(tagTRVX *ctx);
void draw_lists_free(tagTRVX *ctx);

// Fills the system-information block at start.
void system_info_fill(tagTRVX *ctx);

// The constant order tables (1-based orders index entry order - 1); copied into each context.
extern const wchar_t kRotationOrders[16][4];
extern const wchar_t kTransformOrders[16][4];

// Child arrays: removes a layer from its parent (keeping the others' order) / appends it last.
void layer_unlink(tagTRVX *ctx, TRVXLAYER layer);
void layer_append(tagTRVX *ctx, TRVXLAYER parent, TRVXLAYER child);

// Gives a slot in use its image again: loaded from its file (command 30, marked as after a device
// reset when `afterReset`), or for a created texture made again empty (command 32). False when the
// driver could not: the slot then has no image.
bool texture_reload(tagTRVX *ctx, int index, bool afterReset);
