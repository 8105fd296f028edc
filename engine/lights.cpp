// The seven lights of the context (entry 0 is the scene's ambient light) and the linear fog.
#include "render_local.h"

#include <string.h>

static const int kLightCount = 7;

// 1 when the light was set or cleared (null); 0 for an index outside 0..6, entry 0 given anything
// but an ambient light, or another entry given an ambient one.
int WINAPI TRVX_SetLight(TRVXCONTEXT ctx, int index, const tagTRVXLIGHT *light)
{
    if (!ctx || index < 0 || index >= kLightCount)
        return 0;
    if (!light) {
        memset(&ctx->lights[index], 0, sizeof ctx->lights[index]);
        return 1;
    }
    bool ambient = light->kind == TRVX_LIGHT_AMBIENT;
    if ((index == 0) != ambient)
        return 0;
    memcpy(&ctx->lights[index], light, sizeof ctx->lights[index]);
    return 1;
}

// Returns 1; start and end both 0 switch the fog off.
int WINAPI TRVX_SetFog(TRVXCONTEXT ctx, float start, float end, DWORD colour)
{
    if (!ctx)
        return 0;
    ctx->fogStart = start;
    ctx->fogEnd = end;
    ctx->fogColour = colour;
    return 1;
}
