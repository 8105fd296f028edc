// The context's camera and the two helpers that move a camera record: shifting eye and target along
// the ground in the direction the camera faces, and turning the view about the eye or the target.
#include "render_local.h"

#include <math.h>
#include <string.h>

namespace {

const int kOrderY = 14;  // "Y": heading only
const int kOrderXY = 11; // "XY": pitch about X, then heading about Y
const DWORD kRollAbsolute = 0x40000000u;
const DWORD kRollUp = 0x80000000u;

float length_of(const TRVXVECTOR &v)
{
    return sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace

// The address of the context's camera record, after copying `camera` into it when given.
tagTRVXCAMERA *WINAPI TRVX_SetCamera(TRVXCONTEXT ctx, const tagTRVXCAMERA *camera)
{
    if (!ctx)
        return nullptr;
    if (camera)
        memcpy(&ctx->camera, camera, sizeof ctx->camera);
    return &ctx->camera;
}

// Returns 0; `move` is turned into the camera's heading, written back and added to eye and target.
int WINAPI TRVX_CalcShiftCamera(TRVXCONTEXT ctx, tagTRVXCAMERA *camera, TRVXVECTOR *move)
{
    if (!camera && ctx)
        camera = &ctx->camera;
    if (!camera || !move)
        return 0;
    TRVXVECTOR ground = {camera->target.x - camera->eye.x, 0.0f, camera->target.z - camera->eye.z, 0.0f};
    float heading = 0.0f;
    if (ground.x != 0.0f || ground.z != 0.0f) {
        TRVXVECTOR ahead = {0.0f, 0.0f, 1.0f, 0.0f};
        heading = TRVX_Angle3D(&ahead, &ground);
        if (ground.x < 0.0f)
            heading = -heading;
    }
    TRVXVECTOR turn = {0.0f, heading, 0.0f, 0.0f};
    TRVX_Rotate3D(move, &turn, kOrderY);
    camera->eye.x += move->x;
    camera->eye.y += move->y;
    camera->eye.z += move->z;
    camera->target.x += move->x;
    camera->target.y += move->y;
    camera->target.z += move->z;
    return 0;
}

// 1 after turning the view about the eye (how 1) or orbiting the eye about the target (how 2);
// 0 for any other kind, which changes nothing. Bit 30: absolute angles; bit 31: turn the up vector too.
int WINAPI TRVX_CalcRollCamera(TRVXCONTEXT ctx, tagTRVXCAMERA *camera, const float *angles, DWORD how)
{
    if (!camera && ctx)
        camera = &ctx->camera;
    DWORD kind = how & 0x3FFFFFFFu;
    if (!camera || !angles || (kind != 1 && kind != 2))
        return 0;
    bool orbit = kind == 2;
    TRVXVECTOR &fixed = orbit ? camera->target : camera->eye;
    TRVXVECTOR &moving = orbit ? camera->eye : camera->target;
    float pitch = orbit ? -angles[0] : angles[0];
    float heading = orbit ? -angles[1] : angles[1];

    TRVXVECTOR d = {moving.x - fixed.x, moving.y - fixed.y, moving.z - fixed.z, 0.0f};
    const TRVXVECTOR old = d;
    if (how & kRollAbsolute)
        d = {0.0f, 0.0f, orbit ? -length_of(old) : length_of(old), 0.0f};
    TRVXVECTOR turn = {pitch, heading, 0.0f, 0.0f};
    TRVX_Rotate3D(&d, &turn, kOrderXY);
    moving.x = fixed.x + d.x;
    moving.y = fixed.y + d.y;
    moving.z = fixed.z + d.z;

    if (how & kRollUp) {
        TRVXVECTOR up = {camera->up.x, 0.0f, camera->up.z, 0.0f};
        if (how & kRollAbsolute) {
            bool positive = TRVX_SignAngle(camera->up.x, camera->up.z, old.x, old.z) >= 0;
            if (orbit)
                positive = !positive;
            float size = length_of(up);
            up = {positive ? size : -size, 0.0f, 0.0f, 0.0f};
        }
        TRVXVECTOR yaw = {0.0f, heading, 0.0f, 0.0f};
        TRVX_Rotate3D(&up, &yaw, kOrderY);
        camera->up.x = up.x;
        camera->up.z = up.z;
    }
    return 1;
}
