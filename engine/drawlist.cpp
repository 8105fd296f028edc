// The renderer's five draw lists: arrays of {layer, key} entries from the context's heap, each
// framed by two sentinel entries.
#include "engine_local.h"

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
