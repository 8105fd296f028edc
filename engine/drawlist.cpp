// The renderer's five draw lists: arrays of {layer, key} entries from the context's heap, each
// framed by two sentinel entries. Lists keep their room from frame to frame and grow by doubling.
#include "render_local.h"

#include <algorithm>

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

void draw_list_sort(tagTRVXDRAWLIST *list)
{
    if (list->count <= 3)
        return;
    tagTRVXDRAW *first = list->entries + 1, *last = list->entries + list->count - 1;
    // Reversing first and then sorting stably puts equal keys in the order that inserting each new
    // entry before its first not-smaller key gives, at n log n instead of n squared moves.
    std::reverse(first, last);
    std::stable_sort(first, last, [](const tagTRVXDRAW &a, const tagTRVXDRAW &b) { return a.key < b.key; });
}
