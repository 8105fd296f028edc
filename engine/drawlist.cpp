// The renderer's five draw lists: arrays of {layer, key} entries from the context's heap, each
// framed by two sentinel entries. Lists keep their room from frame to frame and grow by doubling.
#include "render_local.h"

#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

static tagTRVXDRAWLIST *all_lists(tagTRVX *ctx, int i)
{
    tagTRVXDRAWLIST *lists[] = {&ctx->opaqueList, &ctx->sortedList, &ctx->frontList, &ctx->backList, &ctx->pointList};
    return lists[i];
}

bool draw_lists_create(tagTRVX *ctx)
{
    bool made = true;
    for (int i = 0; i < 5; ++i) {
        tagTRVXDRAWLIST *list = all_lists(ctx, i);
        list->entries = (tagTRVXDRAW *)TRVX_AllocMemory(ctx, 2 * sizeof(tagTRVXDRAW));
        list->count = list->entries ? 2 : 0;
        made = made && list->entries;
    }
    return made;
}

void draw_lists_free(tagTRVX *ctx)
{
    for (int i = 0; i < 5; ++i) {
        tagTRVXDRAWLIST *list = all_lists(ctx, i);
        TRVX_FreeMemory(ctx, list->entries);
        list->entries = nullptr;
        list->count = 0;
    }
}

void draw_list_reset(tagTRVXDRAWLIST *list, float lastKey)
{
    if (!list->entries) {
        list->count = 0;
        return;
    }
    list->entries[0] = {nullptr, 0.0f};
    list->entries[1] = {nullptr, lastKey};
    list->count = 2;
}

bool draw_list_append(tagTRVX *ctx, tagTRVXDRAWLIST *list, TRVXLAYER layer, float key)
{
    if (list->count < 2)
        return false;
    int room = TRVX_SizeMemory(ctx, list->entries) / (int)sizeof(tagTRVXDRAW);
    if (list->count + 1 > room) {
        int wanted = room * 2;
        if (wanted > 0x7FFFFFFF / (int)sizeof(tagTRVXDRAW))
            return false;
        tagTRVXDRAW *grown = (tagTRVXDRAW *)TRVX_ResizeMemory(ctx, list->entries, wanted * (int)sizeof(tagTRVXDRAW));
        if (!grown)
            return false;
        list->entries = grown;
    }
    tagTRVXDRAW sentinel = list->entries[list->count - 1];
    list->entries[list->count - 1] = {layer, key};
    list->entries[list->count] = sentinel;
    list->count += 1;
    return true;
}

namespace {

// Below this many entries a comparison sort is quicker than three counting passes.
const int kRadixMinimum = 256;
const int kRadixBits = 11;
const int kRadixPasses = 3; // 33 bits cover the 32 of a key
const uint32_t kRadixMask = (1u << kRadixBits) - 1;

// A key's bits turned so that unsigned order is the floats' order: negative keys have every bit
// flipped, the others only the sign. Both zeros give the same word, as they compare equal.
inline uint32_t ordered_bits(float key)
{
    uint32_t bits;
    memcpy(&bits, &key, sizeof bits);
    if (bits == 0x80000000u)
        bits = 0;
    return bits & 0x80000000u ? ~bits : bits | 0x80000000u;
}

// Stable least-significant-digit radix sort by key; false when there was no memory for it.
bool radix_sort(tagTRVXDRAW *first, size_t count)
{
    std::vector<tagTRVXDRAW> spare;
    std::vector<uint32_t> words, spareWords;
    try {
        spare.resize(count);
        words.resize(count);
        spareWords.resize(count);
    } catch (const std::bad_alloc &) {
        return false;
    }
    std::vector<uint32_t> counts((size_t)kRadixPasses << kRadixBits);
    for (size_t i = 0; i < count; ++i) {
        uint32_t w = ordered_bits(first[i].key);
        words[i] = w;
        for (int pass = 0; pass < kRadixPasses; ++pass)
            ++counts[((size_t)pass << kRadixBits) + (w >> (pass * kRadixBits) & kRadixMask)];
    }
    tagTRVXDRAW *from = first, *to = spare.data();
    uint32_t *fromWords = words.data(), *toWords = spareWords.data();
    for (int pass = 0; pass < kRadixPasses; ++pass) {
        uint32_t *bucket = &counts[(size_t)pass << kRadixBits];
        uint32_t at = 0;
        for (uint32_t b = 0; b <= kRadixMask; ++b) {
            uint32_t n = bucket[b];
            bucket[b] = at;
            at += n;
        }
        const int shift = pass * kRadixBits;
        for (size_t i = 0; i < count; ++i) {
            uint32_t slot = bucket[fromWords[i] >> shift & kRadixMask]++;
            to[slot] = from[i];
            toWords[slot] = fromWords[i];
        }
        std::swap(from, to);
        std::swap(fromWords, toWords);
    }
    if (from != first)
        std::copy(from, from + count, first);
    return true;
}

} // namespace

void draw_list_sort(tagTRVXDRAWLIST *list)
{
    if (list->count <= 3)
        return;
    tagTRVXDRAW *first = list->entries + 1, *last = list->entries + list->count - 1;
    // Reversing first and then sorting stably puts equal keys in the order that inserting each new
    // entry before its first not-smaller key gives, at n log n instead of n squared moves.
    std::reverse(first, last);
    if (last - first >= kRadixMinimum && radix_sort(first, (size_t)(last - first)))
        return;
    std::stable_sort(first, last, [](const tagTRVXDRAW &a, const tagTRVXDRAW &b) { return a.key < b.key; });
}
