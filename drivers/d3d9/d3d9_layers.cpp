// Direct3D 9 driver: layer buffers, matrices and materials, and drawing one layer with the states
// its mode, texture stages and attributes call for, filtered through the driver's state cache.
#include "vdr_d3d9.h"

// The drawing modes and their vertex formats; the copy loop in fill_vertices follows this table.
static const D3D9MODEINFO kModes[] = {
    {TRVX_MODE_LINES, D3DFVF_XYZ, 12, 0, 0},
    {TRVX_MODE_SOLID, D3DFVF_XYZ | D3DFVF_NORMAL, 24, 1, 0},
    {TRVX_MODE_VERTEX_COLOUR, D3DFVF_XYZ | D3DFVF_DIFFUSE, 16, 1, 0},
    {TRVX_MODE_TEXTURED + 1, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32, 1, 1},
    {TRVX_MODE_TEXTURED + 2, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2, 40, 1, 2},
    {TRVX_MODE_TEXTURED + 3, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX3, 48, 1, 3},
    {TRVX_MODE_TEXTURED + 4, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX4, 56, 1, 4},
};

const D3D9MODEINFO *d3d9_mode_info(uint32_t mode)
{
    for (const D3D9MODEINFO &m : kModes)
        if (m.mode == mode)
            return &m;
    return 0;
}

// --- Buffers -----------------------------------------------------------------------------------------

static int drop_faces(tagTRVXLAYER *layer)
{
    D3D9LAYERDATA *d = layer_data(layer);
    if (!d->indexBuffer)
        return 0;
    if (g_d3d9.cache.indices == d->indexBuffer)
        g_d3d9.cache.indices = 0;
    d->indexBuffer->Release();
    d->indexBuffer = 0;
    d->indexCount = 0;
    return 1;
}

static int drop_vertices(tagTRVXLAYER *layer)
{
    D3D9LAYERDATA *d = layer_data(layer);
    if (!d->vertexBuffer)
        return 0;
    if (g_d3d9.cache.stream == d->vertexBuffer)
        g_d3d9.cache.stream = 0;
    d->vertexBuffer->Release();
    d->vertexBuffer = 0;
    d->vertexCount = 0;
    d->fvf = 0;
    d->stride = 0;
    return 1;
}

void d3d9_release_layer(tagTRVXLAYER *layer)
{
    drop_faces(layer);
    drop_vertices(layer);
}

// Copies the engine's 68-byte vertices into the device layout of `info`.
static void fill_vertices(const tagTRVXLAYER *layer, const D3D9MODEINFO *info, uint8_t *out)
{
    for (int i = 0; i < layer->vertexCount; ++i, out += info->stride) {
        const tagTRVXVERTEX &v = layer->vertices[i];
        float *f = (float *)out;
        f[0] = v.position.x;
        f[1] = v.position.y;
        f[2] = v.position.z;
        if (info->fvf & D3DFVF_DIFFUSE) {
            uint32_t c = v.colour;
            DWORD argb = D3DCOLOR_ARGB(255 - (c >> 24), c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            memcpy(out + 12, &argb, 4);
        } else if (info->fvf & D3DFVF_NORMAL) {
            f[3] = v.normal.x;
            f[4] = v.normal.y;
            f[5] = v.normal.z;
            for (int s = 0; s < info->textureSets; ++s) {
                f[6 + 2 * s] = v.u[s];
                f[7 + 2 * s] = v.v[s];
            }
        }
    }
}

static int build(tagTRVXLAYER *layer)
{
    IDirect3DDevice9 *dev = g_d3d9.device;
    D3D9LAYERDATA *d = layer_data(layer);
    if (!dev)
        return 0;
    if (d->builtMode == layer->mode) {
        if (d->indexCount && d->indexCount != (uint32_t)layer->faceCount)
            drop_faces(layer);
        if (d->vertexCount && d->vertexCount != (uint32_t)layer->vertexCount)
            drop_vertices(layer);
    } else {
        drop_faces(layer);
        drop_vertices(layer);
    }
    const D3D9MODEINFO *info = d3d9_mode_info(layer->mode);
    if (info) {
        // A layer without faces (points, lines) keeps no index buffer, whatever its mode.
        if (!info->indexed || layer->faceCount <= 0 || !layer->faces)
            drop_faces(layer);
        else {
            UINT bytes = (UINT)layer->faceCount * sizeof(tagTRVXFACE);
            if (!d->indexBuffer && FAILED(dev->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                                 D3DPOOL_MANAGED, &d->indexBuffer, NULL)))
                return 0;
            d->indexCount = (uint32_t)layer->faceCount;
            void *p;
            if (FAILED(d->indexBuffer->Lock(0, 0, &p, 0)))
                return 0;
            memcpy(p, layer->faces, bytes);
            d->indexBuffer->Unlock();
        }
        if (layer->vertexCount <= 0 || !layer->vertices)
            drop_vertices(layer);
        else {
            UINT bytes = (UINT)layer->vertexCount * info->stride;
            if (!d->vertexBuffer && FAILED(dev->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, info->fvf,
                                                                   D3DPOOL_MANAGED, &d->vertexBuffer, NULL)))
                return 0;
            d->vertexCount = (uint32_t)layer->vertexCount;
            d->fvf = (uint16_t)info->fvf;
            d->stride = (uint16_t)info->stride;
            void *p;
            if (FAILED(d->vertexBuffer->Lock(0, 0, &p, 0)))
                return 0;
            fill_vertices(layer, info, (uint8_t *)p);
            d->vertexBuffer->Unlock();
        }
    }
    d->builtMode = layer->mode;
    return 1;
}

// --- Matrices and material -------------------------------------------------------------------------

static void fill_material(tagTRVXLAYER *layer, D3DMATERIAL9 *m)
{
    memset(m, 0, sizeof *m);
    auto channel = [](uint32_t c, int shift) { return (float)((c >> shift) & 0xFF) / 255.0f; };
    auto set = [&](D3DCOLORVALUE &out, uint32_t c) {
        if (c) {
            out.r = channel(c, 0);
            out.g = channel(c, 8);
            out.b = channel(c, 16);
        }
    };
    set(m->Diffuse, layer->diffuse);
    uint32_t t = layer->transparency > 255 ? 255 : layer->transparency;
    m->Diffuse.a = (float)(255 - t) / 255.0f;
    set(m->Ambient, layer->ambient);
    set(m->Specular, layer->specular);
    set(m->Emissive, layer->emissive);
    m->Power = 255.0f - layer->dullness;
}

// --- State cache ---------------------------------------------------------------------------------------

static void render_state(uint32_t &cached, D3DRENDERSTATETYPE state, DWORD value)
{
    if (cached != value) {
        g_d3d9.device->SetRenderState(state, value);
        cached = value;
    }
}

// Colour and alpha operations of one stage for a blend mode, with the frame blend code it calls
// for at stage 0 (0 from stages 1 to 3).
struct StageOps { DWORD colourOp, colour1, colour2, alphaOp, alpha1, alpha2; uint32_t frame; };

// The operations of `blend` at stage `s`; false for a blend mode outside the table.
static bool stage_ops(DWORD s, uint32_t blend, StageOps *o)
{
    const bool later = s > 0;
    switch (blend) {
    case 0x0000: // NONE
        *o = later ? StageOps{D3DTOP_DISABLE, 0, 0, D3DTOP_DISABLE, 0, 0, 0}
                   : StageOps{D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0, 1};
        return true;
    case 0x8000: // SHADE
        *o = {D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 1};
        return true;
    case 0x0101: // NORMAL
        *o = {D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE, 1};
        return true;
    case 0x8101: // NORMAL_SHADE
        *o = {D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE, 1};
        return true;
    case 0x0102: // BLEND
        *o = {D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT, 1};
        return true;
    case 0x0302: // ADD
        *o = later ? StageOps{D3DTOP_ADDSMOOTH, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 0}
                   : StageOps{D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 2};
        return true;
    case 0x8302: // ADDSHADE
        *o = later ? StageOps{D3DTOP_ADDSMOOTH, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 0}
                   : StageOps{D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_MODULATE, D3DTA_DIFFUSE,
                              D3DTA_TEXTURE, 2};
        return true;
    case 0x0308: // SUTRACT
        *o = later ? StageOps{D3DTOP_SUBTRACT, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 0}
                   : StageOps{D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 3};
        return true;
    case 0x0301: // MASK
        *o = {D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, 1};
        return true;
    case 0x8301: // MASK_SHADE
        *o = {D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, 1};
        return true;
    case 0x0304: // FLASH
        *o = later ? StageOps{D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 0}
                   : StageOps{D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, D3DTA_CURRENT, 0, 4};
        return true;
    case 0x8304: // FLASH_COLOR
        *o = {D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TEXTURE, 4};
        return true;
    default:
        return false;
    }
}

static void set_stage_ops(DWORD s, const StageOps &o)
{
    IDirect3DDevice9 *d = g_d3d9.device;
    d->SetTextureStageState(s, D3DTSS_COLOROP, o.colourOp);
    if (o.colourOp != D3DTOP_DISABLE) {
        d->SetTextureStageState(s, D3DTSS_COLORARG1, o.colour1);
        if (o.colour2)
            d->SetTextureStageState(s, D3DTSS_COLORARG2, o.colour2);
    }
    d->SetTextureStageState(s, D3DTSS_ALPHAOP, o.alphaOp);
    if (o.alphaOp != D3DTOP_DISABLE) {
        d->SetTextureStageState(s, D3DTSS_ALPHAARG1, o.alpha1);
        if (o.alpha2)
            d->SetTextureStageState(s, D3DTSS_ALPHAARG2, o.alpha2);
    }
}

static void set_addressing(DWORD s, uint32_t addressing)
{
    static const DWORD modes[3] = {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP};
    if (addressing > 2 || g_d3d9.cache.stages[s].addressing == addressing)
        return;
    g_d3d9.device->SetSamplerState(s, D3DSAMP_ADDRESSU, modes[addressing]);
    g_d3d9.device->SetSamplerState(s, D3DSAMP_ADDRESSV, modes[addressing]);
    g_d3d9.cache.stages[s].addressing = addressing;
}

static void set_filter(DWORD s, uint32_t filter)
{
    DWORD mag, min, mip;
    switch (filter) {
    case 0x100: mag = min = D3DTEXF_POINT; mip = D3DTEXF_NONE; break;
    case 0x101: mag = min = D3DTEXF_POINT; mip = D3DTEXF_POINT; break;
    case 0x200: mag = min = D3DTEXF_LINEAR; mip = D3DTEXF_NONE; break;
    case 0x201: mag = min = D3DTEXF_LINEAR; mip = D3DTEXF_LINEAR; break;
    case 0x400: mag = min = D3DTEXF_ANISOTROPIC; mip = D3DTEXF_NONE; break;
    case 0x401: mag = min = mip = D3DTEXF_ANISOTROPIC; break;
    default: return;
    }
    if (g_d3d9.cache.stages[s].filter == filter)
        return;
    g_d3d9.device->SetSamplerState(s, D3DSAMP_MAGFILTER, mag);
    g_d3d9.device->SetSamplerState(s, D3DSAMP_MINFILTER, min);
    g_d3d9.device->SetSamplerState(s, D3DSAMP_MIPFILTER, mip);
    g_d3d9.cache.stages[s].filter = filter;
}

static void set_frame_blend(uint32_t code)
{
    if (g_d3d9.cache.frameBlend == code || code > 4)
        return;
    IDirect3DDevice9 *d = g_d3d9.device;
    static const DWORD ops[5] = {0, D3DBLENDOP_ADD, D3DBLENDOP_ADD, D3DBLENDOP_REVSUBTRACT, D3DBLENDOP_ADD};
    static const DWORD dest[5] = {0, D3DBLEND_INVSRCALPHA, D3DBLEND_INVSRCCOLOR, D3DBLEND_ONE, D3DBLEND_ONE};
    if (code == 0)
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    else {
        d->SetRenderState(D3DRS_BLENDOP, ops[code]);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, dest[code]);
        if (g_d3d9.cache.frameBlend == 0 || g_d3d9.cache.frameBlend == D3D9_UNKNOWN)
            d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    }
    g_d3d9.cache.frameBlend = code;
}

void d3d9_forget_texture(IDirect3DBaseTexture9 *texture)
{
    for (D3D9STAGECACHE &s : g_d3d9.cache.stages)
        if (s.texture == texture && texture) {
            if (g_d3d9.device)
                g_d3d9.device->SetTexture((DWORD)(&s - g_d3d9.cache.stages), NULL);
            s.texture = 0;
        }
}

void d3d9_reset_cache(void)
{
    D3D9CACHE &c = g_d3d9.cache;
    memset(&c, 0xFF, sizeof c);
    c.materialValid = 0;
    c.stream = 0;
    c.indices = 0;
    c.fvf = 0;
    IDirect3DDevice9 *d = g_d3d9.device;
    if (!d)
        return;
    for (DWORD s = 0; s < D3D9_STAGES; ++s) {
        d->SetTexture(s, NULL);
        c.stages[s].texture = 0;
        StageOps normalShade;
        stage_ops(s, 0x8101, &normalShade);
        set_stage_ops(s, normalShade);
        c.stages[s].blend = 0x8101;
        set_addressing(s, 0);
        set_filter(s, 0x200);
    }
    set_frame_blend(1);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    c.alphaTest = FALSE;
    d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    render_state(c.cull, D3DRS_CULLMODE, D3DCULL_CCW);
    render_state(c.zWrite, D3DRS_ZWRITEENABLE, TRUE);
    render_state(c.fill, D3DRS_FILLMODE, D3DFILL_SOLID);
    render_state(c.lighting, D3DRS_LIGHTING, TRUE);
    render_state(c.specular, D3DRS_SPECULARENABLE, FALSE);
}

// --- Drawing ---------------------------------------------------------------------------------------------

static IDirect3DBaseTexture9 *stage_texture(tagTRVX *ctx, int slot, int *colourKey)
{
    *colourKey = 0;
    if (slot <= 0 || slot >= ctx->textureCount || !ctx->textures)
        return 0;
    tagTRVXTEXTURE &t = ctx->textures[slot];
    if (!t.object)
        return 0;
    *colourKey = t.options != 0;
    return (IDirect3DBaseTexture9 *)t.object;
}

static DWORD_PTR draw(tagTRVX *ctx, tagTRVXLAYER *layer)
{
    IDirect3DDevice9 *dev = g_d3d9.device;
    D3D9LAYERDATA *d = layer_data(layer);
    if (!dev)
        return 0;
    if (d->builtMode == 0 || !d3d9_mode_info(d->builtMode) || !d->vertexBuffer)
        return 1; // never built, a mode outside the table, or nothing to draw
    D3D9CACHE &c = g_d3d9.cache;
    if (d->indexBuffer && c.indices != d->indexBuffer) {
        if (FAILED(dev->SetIndices(d->indexBuffer)))
            return 0;
        c.indices = d->indexBuffer;
    }
    if (c.stream != d->vertexBuffer) {
        if (FAILED(dev->SetStreamSource(0, d->vertexBuffer, 0, d->stride)))
            return 0;
        c.stream = d->vertexBuffer;
    }
    if (c.fvf != d->fvf) {
        if (FAILED(dev->SetFVF(d->fvf)))
            return 0;
        c.fvf = d->fvf;
    }

    const TRVXTRANSFORM *t = (const TRVXTRANSFORM *)layer->transformBlock;
    D3DMATRIX world;
    if (t)
        memcpy(&world, t->world, sizeof world);
    else
        D3DXMatrixIdentity((D3DXMATRIX *)&world);
    if (layer->attributes & TRVX_ATTR_OVERLAY)
        for (int row = 0; row < 4; ++row) { // half a pixel left and up: integer coordinates on pixel centres
            world.m[row][0] -= 0.5f * world.m[row][3];
            world.m[row][1] += 0.5f * world.m[row][3];
        }
    dev->SetTransform(D3DTS_WORLD, &world);

    if (d->builtMode == TRVX_MODE_VERTEX_COLOUR)
        render_state(c.lighting, D3DRS_LIGHTING, FALSE);
    else {
        render_state(c.lighting, D3DRS_LIGHTING, TRUE);
        const D3DMATERIAL9 *m = (const D3DMATERIAL9 *)layer->materialBlock;
        D3DMATERIAL9 fallback;
        if (!m) {
            fill_material(layer, &fallback);
            m = &fallback;
        }
        if (!c.materialValid || memcmp(&c.material, m, sizeof *m) != 0) {
            dev->SetMaterial(m);
            c.material = *m;
            c.materialValid = 1;
        }
        render_state(c.specular, D3DRS_SPECULARENABLE, m->Power != 0.0f ? TRUE : FALSE);
    }

    uint32_t frame = c.frameBlend;
    int alphaTest = 0;
    for (DWORD s = 0; s < D3D9_STAGES; ++s) {
        const tagTRVXSTAGE &st = layer->stages[s];
        int colourKey;
        IDirect3DBaseTexture9 *tex = stage_texture(ctx, st.texture, &colourKey);
        if (c.stages[s].texture != tex) {
            dev->SetTexture(s, tex);
            c.stages[s].texture = tex;
        }
        alphaTest |= colourKey;
        StageOps ops;
        if (stage_ops(s, st.blend, &ops)) { // a blend mode outside the table changes nothing
            if (c.stages[s].blend != st.blend) {
                set_stage_ops(s, ops);
                c.stages[s].blend = st.blend;
            }
            if (s == 0)
                frame = ops.frame;
        }
        if (st.blend != 0) {
            set_addressing(s, st.addressing);
            set_filter(s, st.filter);
        }
    }
    set_frame_blend(frame);
    if (c.alphaTest != (DWORD)(alphaTest ? TRUE : FALSE)) {
        dev->SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest ? TRUE : FALSE);
        dev->SetRenderState(D3DRS_ALPHAFUNC, alphaTest ? D3DCMP_GREATER : D3DCMP_ALWAYS);
        c.alphaTest = alphaTest ? TRUE : FALSE;
    }
    uint16_t a = layer->attributes;
    render_state(c.cull, D3DRS_CULLMODE, (a & TRVX_ATTR_BOTH_SIDES) ? D3DCULL_NONE : D3DCULL_CCW);
    render_state(c.zWrite, D3DRS_ZWRITEENABLE, (a & TRVX_ATTR_NO_ZWRITE) ? FALSE : TRUE);
    render_state(c.fill, D3DRS_FILLMODE, (a & TRVX_ATTR_WIREFRAME) ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    if (g_d3d9.fogFrame)
        render_state(c.fog, D3DRS_FOGENABLE, (a & TRVX_ATTR_NO_FOG) ? FALSE : TRUE);

    HRESULT hr;
    if (d->indexBuffer)
        hr = dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, d->vertexCount, 0, d->indexCount);
    else if (layer->pointSize >= 0.0f) {
        render_state(c.pointSize, D3DRS_POINTSIZE, d3d9_float_bits(layer->pointSize));
        hr = dev->DrawPrimitive(D3DPT_POINTLIST, 0, d->vertexCount);
    } else if (d->vertexCount >= 2)
        hr = dev->DrawPrimitive(D3DPT_LINESTRIP, 0, d->vertexCount - 1);
    else
        hr = S_OK;
    return SUCCEEDED(hr) ? 1 : 0;
}

DWORD_PTR d3d9_layer_command(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2)
{
    tagTRVXLAYER *layer = (tagTRVXLAYER *)(command == TRVXCMD_LAYER_DRAW ? p2 : p1);
    if (!layer)
        return 0;
    switch (command) {
    case TRVXCMD_LAYER_LOCAL:
        trvx_transform_local(ctx, layer);
        return 1;
    case TRVXCMD_LAYER_WORLD:
        trvx_transform_world(layer, (const TRVXTRANSFORM *)p2);
        return 1;
    case TRVXCMD_LAYER_BAKE:
        trvx_transform_bake(layer);
        return 1;
    case TRVXCMD_LAYER_MATERIAL:
        if (p2)
            fill_material(layer, (D3DMATERIAL9 *)p2);
        return 1;
    case TRVXCMD_LAYER_BUILD:
        return build(layer);
    case TRVXCMD_LAYER_FACES_DROP:
        return drop_faces(layer);
    case TRVXCMD_LAYER_VERTICES_DROP:
        return drop_vertices(layer);
    case TRVXCMD_LAYER_DRAW:
        return draw(ctx, layer);
    default:
        return 0;
    }
}
