// Engine-internal helpers of the renderer and the engine services (draw lists, AVI capture hooks);
// not part of the public interface.
#pragma once

#include "engine_local.h"

// The far key of the opaque and sorted lists' end sentinel when the camera has no far distance.
const float kUnlimitedDistance = 3.4028235e38f;

// Draw lists: entry 0 and entry count - 1 are sentinels; real entries lie between them.
void draw_list_reset(tagTRVXDRAWLIST *list, float lastKey);
// Puts a layer before the end sentinel, growing the list; false when out of memory.
bool draw_list_append(tagTRVX *ctx, tagTRVXDRAWLIST *list, TRVXLAYER layer, float key);
// Orders the real entries by key, ties with the later-added first (as if each had been inserted
// before the first entry whose key is not smaller).
void draw_list_sort(tagTRVXDRAWLIST *list);

// After view port `index` was presented: appends it to a running AVI capture that records it.
void avi_after_flip(tagTRVX *ctx, int index);
// The frame period in milliseconds while an AVI capture runs, else 0.
DWORD avi_frame_period(const tagTRVX *ctx);
// At TRVX_End: the running capture is ended and the progress dialog closed.
void services_end(tagTRVX *ctx);
