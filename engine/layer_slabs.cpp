// Layer records in slabs from the context's heap: records made one after another lie one after
// another, so that a walk over a tree built in order reads memory in order; each record is placed
// so that the fields the collect walk reads take as few cache lines as they can.
#include "layer_local.h"

#include <stddef.h>
#include <string.h>

namespace {

const size_t kCacheLine = 64;
const int kRecordsPerSlab = 128;

// The walk reads the record from the child count to the sort radius: that run starts a cache line.
const size_t kHotFirst = offsetof(tagTRVXLAYER, childCount);
const size_t kHotOffset = (kCacheLine - kHotFirst % kCacheLine) % kCacheLine;
// Where a record starts inside its slot: at the hot run's alignment, with room for the header.
const size_t kRecordOffset = kHotOffset >= kMemoryBlockHeader ? kHotOffset : kHotOffset + kCacheLine;
const size_t kSlotBytes = (kRecordOffset + sizeof(tagTRVXLAYER) + kCacheLine - 1) / kCacheLine * kCacheLine;
static_assert(kRecordOffset + sizeof(tagTRVXLAYER) <= kSlotBytes, "a record fits its slot");

// A free slot's record holds the next free one's address.
struct FreeRecord {
    FreeRecord *next;
};

// Kept in the context's reserved bytes, after the top-layer list (copied in and out: those bytes
// promise no alignment). The slabs themselves go with the context's heap.
FreeRecord *free_list(const tagTRVX *ctx)
{
    FreeRecord *head;
    memcpy(&head, ctx->reserved0 + kReservedLayerSlabs, sizeof head);
    return head;
}

void set_free_list(tagTRVX *ctx, FreeRecord *head)
{
    memcpy(ctx->reserved0 + kReservedLayerSlabs, &head, sizeof head);
}
static_assert(kReservedLayerSlabs + sizeof(FreeRecord *) <= sizeof(((tagTRVX *)nullptr)->reserved0),
              "the free list must fit the context");

// A new slab's slots, linked so that they are handed out in address order; false without memory.
bool add_slab(tagTRVX *ctx)
{
    char *block = (char *)HeapAlloc(ctx->heap, 0, kRecordsPerSlab * kSlotBytes + kCacheLine);
    if (!block)
        return false;
    char *first = (char *)(((uintptr_t)block + kCacheLine - 1) & ~(uintptr_t)(kCacheLine - 1));
    FreeRecord *head = free_list(ctx);
    for (int i = kRecordsPerSlab - 1; i >= 0; --i) {
        FreeRecord *record = (FreeRecord *)(first + (size_t)i * kSlotBytes + kRecordOffset);
        record->next = head;
        head = record;
    }
    set_free_list(ctx, head);
    return true;
}

} // namespace

TRVXLAYER layer_record_new(tagTRVX *ctx)
{
    if (!free_list(ctx) && !add_slab(ctx))
        return nullptr;
    FreeRecord *record = free_list(ctx);
    set_free_list(ctx, record->next);
    memset(record, 0, sizeof(tagTRVXLAYER));
    // Records carry a block header like every engine block, so TRVX_SizeMemory answers for a layer.
    return (TRVXLAYER)memory_block_place((char *)record - kMemoryBlockHeader, (int)sizeof(tagTRVXLAYER));
}

void layer_record_free(tagTRVX *ctx, TRVXLAYER layer)
{
    FreeRecord *record = (FreeRecord *)layer;
    record->next = free_list(ctx);
    set_free_list(ctx, record);
}
