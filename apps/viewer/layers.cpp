// Layer calls that tolerate a missing layer.
#include "layers.h"

#include "viewer_state.h"

TRVXVECTOR vector_of(Vec3 v)
{
    return {v.x, v.y, v.z, 0};
}

TRVXLAYER find_layer(TRVXLAYER in, const wchar_t *name)
{
    return in ? TRVXL_SearchLayer(g_run.ctx, in, name) : nullptr;
}

void switch_layer(TRVXLAYER layer, bool on)
{
    if (layer)
        TRVXL_SwitchLayer(g_run.ctx, layer, on ? 1 : 0);
}

void move_layer(TRVXLAYER layer, const Vec3 *position, const Vec3 *rotation, const Vec3 *scale)
{
    if (!layer)
        return;
    TRVXVECTOR p = position ? vector_of(*position) : TRVXVECTOR{};
    TRVXVECTOR r = rotation ? vector_of(*rotation) : TRVXVECTOR{};
    TRVXVECTOR s = scale ? vector_of(*scale) : TRVXVECTOR{};
    TRVXL_MoveLayer(g_run.ctx, layer, position ? &p : nullptr, rotation ? &r : nullptr, scale ? &s : nullptr, 0,
                    0);
}

void set_transparency(TRVXLAYER layer, int transparency)
{
    if (layer)
        TRVXL_EXT_RecallFunction(g_run.ctx, layer, TRVX_EXT_TRANSPARENCY, (DWORD_PTR)transparency, 0, 1);
}

void set_lamp(TRVXLAYER layer, float size)
{
    if (layer)
        TRVXL_EXT_RecallFunction(g_run.ctx, layer, TRVX_EXT_POINT_SIZE, (DWORD_PTR)&size, 0, 1);
}

void set_emissive(TRVXLAYER layer, uint32_t colour)
{
    if (!layer)
        return;
    uint32_t material[5] = {0, 0, 0, 0, colour};
    TRVXL_EXT_RecallFunction(g_run.ctx, layer, TRVX_EXT_MATERIAL, (DWORD_PTR)material, 0, 1);
}

Vec3 layer_position(TRVXLAYER layer)
{
    if (!layer)
        return {0, 0, 0};
    TRVXVECTOR p = {};
    TRVXL_GetMoveLayer(g_run.ctx, layer, &p, nullptr, nullptr, nullptr, nullptr);
    return {p.x, p.y, p.z};
}
