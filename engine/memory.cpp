// Memory blocks: zeroed allocations from the context's private heap with an 8-byte header
// (capacity, size) in front of the data. Every block that crosses a module boundary is one of these.
#include "engine_local.h"

#include <string.h>

namespace {

struct BlockHeader {
    uint32_t capacity; // bytes of data the block can hold
    uint32_t size;     // bytes in use
};
static_assert(sizeof(BlockHeader) == kMemoryBlockHeader, "the block header is part of the interface");

const uint32_t kGrowthStep = 1000; // capacity beyond the first is rounded up to this

BlockHeader *header_of(const void *block)
{
    return (BlockHeader *)block - 1;
}

} // namespace

static void *allocate(tagTRVX *ctx, int size, DWORD flags)
{
    if (!ctx || size < 0)
        return nullptr;
    BlockHeader *h = (BlockHeader *)HeapAlloc(ctx->heap, flags, sizeof(BlockHeader) + (SIZE_T)size);
    if (!h)
        return nullptr;
    h->capacity = h->size = (uint32_t)size;
    return h + 1;
}

void *memory_block_place(void *at, int size)
{
    BlockHeader *h = (BlockHeader *)at;
    h->capacity = h->size = (uint32_t)size;
    return h + 1;
}

// A zeroed block of `size` bytes, or null.
void *WINAPI TRVX_AllocMemory(TRVXCONTEXT ctx, int size)
{
    return allocate(ctx, size, HEAP_ZERO_MEMORY);
}

void *memory_alloc_filled(tagTRVX *ctx, int size)
{
    return allocate(ctx, size, 0);
}

// Nonzero when the block was freed.
BOOL WINAPI TRVX_FreeMemory(TRVXCONTEXT ctx, void *block)
{
    if (!ctx || !block)
        return FALSE;
    return HeapFree(ctx->heap, 0, header_of(block));
}

// The block, possibly moved; null when it could not grow (the old block stays valid).
void *WINAPI TRVX_ResizeMemory(TRVXCONTEXT ctx, void *block, int size)
{
    if (!ctx || size < 0)
        return nullptr;
    if (!block)
        return TRVX_AllocMemory(ctx, size);
    BlockHeader *h = header_of(block);
    uint32_t wanted = (uint32_t)size;
    if (wanted <= h->size) {
        memset((char *)block + wanted, 0, h->size - wanted);
        h->size = wanted;
        return block;
    }
    if (wanted <= h->capacity) {
        h->size = wanted;
        return block;
    }
    uint32_t capacity = (wanted + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
    BlockHeader *grown = (BlockHeader *)HeapReAlloc(ctx->heap, HEAP_ZERO_MEMORY, h, sizeof(BlockHeader) + capacity);
    if (!grown)
        return nullptr;
    grown->capacity = capacity;
    grown->size = wanted;
    return grown + 1;
}

// The block's size in bytes (0 for null).
int WINAPI TRVX_SizeMemory(TRVXCONTEXT ctx, const void *block)
{
    return block ? (int)header_of(block)->size : 0;
}
