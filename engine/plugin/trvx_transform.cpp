// Matrix work shared by the graphics drivers: see trvx_transform.h.
#include "trvx_transform.h"

#include <math.h>
#include <string.h>

static const float kPi = 3.1415927f;

static void set_identity(float m[4][4])
{
    memset(m, 0, sizeof(float[4][4]));
    m[0][0] = m[1][1] = m[2][2] = m[3][3] = 1.0f;
}

// Right-multiplies m by a rotation of `degrees` about `axis`: the two affected columns turn.
static void rotate_columns(float m[4][4], wchar_t axis, float degrees)
{
    int a, b; // columns that become (c*a - s*b, c*b + s*a)
    switch (axis) {
    case L'X': a = 1; b = 2; break;
    case L'Y': a = 2; b = 0; break; // (cos*c0 + sin*c2, cos*c2 - sin*c0)
    case L'Z': a = 0; b = 1; break;
    default: return;
    }
    float radians = degrees * kPi / 180.0f;
    float s = sinf(radians), c = cosf(radians);
    for (int row = 0; row < 4; ++row) {
        float ca = m[row][a], cb = m[row][b];
        m[row][a] = c * ca - s * cb;
        m[row][b] = c * cb + s * ca;
    }
}

static const wchar_t *order_word(const wchar_t table[16][4], int order)
{
    if (order < 1 || order > 16)
        order = 1;
    return table[order - 1];
}

void trvx_transform_local(const tagTRVX *ctx, tagTRVXLAYER *layer)
{
    TRVXTRANSFORM *t = (TRVXTRANSFORM *)layer->transformBlock;
    if (!t)
        return;
    float (*m)[4] = t->local;
    set_identity(m);
    int identity = 1;
    const wchar_t *steps = order_word(ctx->transformOrders, layer->transformOrder);
    for (int i = 0; i < 3 && steps[i]; ++i) {
        if (steps[i] == L'S') {
            const float s[3] = {layer->scale.x, layer->scale.y, layer->scale.z};
            for (int col = 0; col < 3; ++col) {
                if (s[col] == 1.0f)
                    continue;
                for (int row = 0; row < 4; ++row)
                    m[row][col] *= s[col];
                identity = 0;
            }
        } else if (steps[i] == L'T') {
            const float tr[3] = {layer->translate.x, layer->translate.y, layer->translate.z};
            for (int col = 0; col < 3; ++col) {
                if (tr[col] == 0.0f)
                    continue;
                for (int row = 0; row < 4; ++row)
                    m[row][col] += tr[col] * m[row][3];
                identity = 0;
            }
        } else if (steps[i] == L'R') {
            const wchar_t *axes = order_word(ctx->rotationOrders, layer->rotationOrder);
            for (int k = 0; k < 3 && axes[k]; ++k) {
                float angle = axes[k] == L'X' ? layer->rotate.x : axes[k] == L'Y' ? layer->rotate.y : layer->rotate.z;
                if (angle == 0.0f)
                    continue;
                rotate_columns(m, axes[k], angle);
                identity = 0;
            }
        }
    }
    t->localIdentity = identity;
}

static void multiply(const float a[4][4], const float b[4][4], float out[4][4])
{
    float r[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
    memcpy(out, r, sizeof r);
}

void trvx_transform_point(const float m[4][4], const float p[3], float out[3])
{
    float r[3];
    for (int j = 0; j < 3; ++j)
        r[j] = p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + m[3][j];
    memcpy(out, r, sizeof r);
}

void trvx_transform_world(tagTRVXLAYER *layer, const TRVXTRANSFORM *parent)
{
    TRVXTRANSFORM *t = (TRVXTRANSFORM *)layer->transformBlock;
    if (!t)
        return;
    if (!parent) {
        memcpy(t->world, t->local, sizeof t->world);
        t->worldIdentity = t->localIdentity;
    } else if (t->localIdentity && parent->worldIdentity) {
        set_identity(t->world);
        t->worldIdentity = 1;
    } else if (t->localIdentity) {
        memcpy(t->world, parent->world, sizeof t->world);
        t->worldIdentity = 0;
    } else if (parent->worldIdentity) {
        memcpy(t->world, t->local, sizeof t->world);
        t->worldIdentity = 0;
    } else {
        multiply(t->local, parent->world, t->world);
        t->worldIdentity = 0;
    }
    if (layer->vertexCount <= 0)
        return;
    float centre[3], corner[3], edge[3];
    const float *c = layer->localCentre, *h = layer->localHalf;
    const float far_point[3] = {c[0] + h[0], c[1] + h[1], c[2] + h[2]};
    trvx_transform_point(t->world, c, centre);
    trvx_transform_point(t->world, far_point, corner);
    for (int k = 0; k < 3; ++k)
        edge[k] = corner[k] - centre[k];
    layer->worldCentre.x = centre[0];
    layer->worldCentre.y = centre[1];
    layer->worldCentre.z = centre[2];
    layer->worldCentre.w = 0.0f;
    layer->worldRadius = sqrtf(edge[0] * edge[0] + edge[1] * edge[1] + edge[2] * edge[2]);
}

// The matrix that carries normals: the inverse transpose of the upper 3x3 part, up to a positive
// factor (its cofactors, turned round when the determinant is negative). The part itself would
// bend normals away from the surface under an uneven scale. False when the part is singular.
static bool normal_matrix(const float m[4][4], float n[3][3])
{
    float c[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
            c[i][j] = m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
        }
    float det = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
    if (det == 0.0f)
        return false;
    float sign = det > 0.0f ? 1.0f : -1.0f;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            n[i][j] = c[i][j] * sign;
    return true;
}

void trvx_transform_bake(tagTRVXLAYER *layer)
{
    TRVXTRANSFORM *t = (TRVXTRANSFORM *)layer->transformBlock;
    if (!t)
        return;
    if (!t->worldIdentity) {
        const float (*m)[4] = t->world;
        float n[3][3];
        if (!normal_matrix(m, n))
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    n[i][j] = m[i][j];
        for (int i = 0; i < layer->vertexCount; ++i) {
            tagTRVXVERTEX *v = &layer->vertices[i];
            const float p[3] = {v->position.x, v->position.y, v->position.z};
            float q[3];
            trvx_transform_point(m, p, q);
            v->position.x = q[0];
            v->position.y = q[1];
            v->position.z = q[2];
            const float d[3] = {v->normal.x, v->normal.y, v->normal.z};
            float r[3];
            for (int j = 0; j < 3; ++j)
                r[j] = d[0] * n[0][j] + d[1] * n[1][j] + d[2] * n[2][j];
            float length = sqrtf(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
            if (length > 0.0f) {
                v->normal.x = r[0] / length;
                v->normal.y = r[1] / length;
                v->normal.z = r[2] / length;
            }
        }
    }
    set_identity(t->world);
    set_identity(t->local);
    t->worldIdentity = t->localIdentity = 1;
}
