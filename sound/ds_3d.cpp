// 3D placement on DirectSound: hardware 3D buffers and listener, or the library's own distance
// volume and pan law in software 3D.
#include "ds_local.h"

#include <string.h>

static const tagSNR3D kFront = {0.0f, 0.0f, 1.0f, 0};
static const tagSNR3D kTop = {0.0f, 1.0f, 0.0f, 0};

SNR2_API void WINAPI SNR2_3DListenerInit(void)
{
    Listener *l = &g_snd.listener;
    if (g_snd.mode3d == MODE3D_HARDWARE && l->hw) {
        l->hw->SetPosition(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);
        l->hw->SetVelocity(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE);
    }
    memset(&l->position, 0, sizeof l->position);
    memset(&l->velocity, 0, sizeof l->velocity);
    l->front = kFront;
    l->top = kTop;
}
