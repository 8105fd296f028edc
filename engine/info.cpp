// TRVX_GetInformation: addresses of the context's tables and blocks for applications and plug-ins.
#include "render_local.h"

// What `what` names: 1 to 8 addresses of context fields, 100 + n / 200 + n format plug-in n's read /
// write formats, 1000 + n texture slot n while in use; 0 for anything else.
DWORD_PTR WINAPI TRVX_GetInformation(TRVXCONTEXT ctx, int what)
{
    if (!ctx)
        return 0;
    switch (what) {
    case 1:
        return (DWORD_PTR)&ctx->frameDepth;
    case 2:
        return (DWORD_PTR)ctx->rotationOrders;
    case 3:
        return (DWORD_PTR)ctx->transformOrders;
    case 4:
        return (DWORD_PTR)&ctx->textureCount;
    case 5:
        return (DWORD_PTR)&ctx->systemInfo;
    case 6:
        return (DWORD_PTR)ctx->folder;
    case 7:
        return (DWORD_PTR)ctx->iniPath;
    case 8:
        return (DWORD_PTR)&ctx->window;
    default:
        break;
    }
    if (what >= 100 && what < 300) {
        int n = what % 100;
        if (n >= ctx->formatCount)
            return 0;
        const tagTRVXFILE &plugin = ctx->formats[n];
        return (DWORD_PTR)(what < 200 ? plugin.readFormats : plugin.writeFormats);
    }
    if (what >= 1000) {
        int n = what - 1000;
        if (n < ctx->textureCount && ctx->textures[n].useCount > 0)
            return (DWORD_PTR)&ctx->textures[n];
    }
    return 0;
}
