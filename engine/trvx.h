// Public interface of the Tarvex engine (trvx.dll): what applications and plug-ins may call.
// Every function uses the standard Windows calling convention; strings are UTF-16.
#pragma once

#include "plugin/trvx_plugin.h"

#ifdef TRVX_BUILDING_ENGINE
#define TRVX_API extern "C"
#else
#define TRVX_API extern "C" __declspec(dllimport)
#endif

// Steps of TRVX_RenderingEx, in the order a frame usually takes them.
enum TRVXSTEP {
    TRVX_STEP_BEGIN = 1,     // clears to the background colour
    TRVX_STEP_END = 2,
    TRVX_STEP_COLLECT = 3,   // culls the layer's tree into the five draw lists
    TRVX_STEP_SETUP_3D = 10,
    TRVX_STEP_OPAQUE = 11,
    TRVX_STEP_SORTED = 12,   // transparent layers, farthest first
    TRVX_STEP_SETUP_2D = 20,
    TRVX_STEP_FRONT = 21,    // overlays in front of the scene (depth 0 to -1)
    TRVX_STEP_BACK = 22,     // overlays behind it (depth 1 to 2)
    TRVX_STEP_POINTS = 23,   // lamps: one-vertex layers drawn as point sprites
};

// Properties of TRVXL_EXT_Function (read) and TRVXL_EXT_RecallFunction (set).
enum TRVXEXT {
    TRVX_EXT_DIFFUSE = 1,        // set: diffuse and ambient
    TRVX_EXT_MOVED = 2,          // set: marks the layer moved
    TRVX_EXT_SWITCH = 4,         // read: switch flags; set: name search
    TRVX_EXT_BOTH_SIDES = 21,    // attribute bits, set with a nonzero value
    TRVX_EXT_NO_FOG = 22,
    TRVX_EXT_TRANSPARENCY = 23,  // 0 opaque .. 255 invisible
    TRVX_EXT_NO_ZWRITE = 24,
    TRVX_EXT_WIREFRAME = 25,
    TRVX_EXT_OVERLAY = 26,
    TRVX_EXT_USER_VALUE = 27,
    TRVX_EXT_MODE = 28,          // read only
    TRVX_EXT_POINT_SIZE = 41,    // by the address of a float
    TRVX_EXT_LIMITS = 42,        // near and far limits, by the addresses of two floats
    TRVX_EXT_MATERIAL = 43,      // five colours, diffuse to emissive, by the address of five words
    TRVX_EXT_FACE_COUNT = 101,   // read; set: turns every face over
    TRVX_EXT_VERTEX_COUNT = 102,
    TRVX_EXT_CHILD_COUNT = 103,
    TRVX_EXT_STAGE = 201,        // read: copies texture stage `out` to out2
    TRVX_EXT_NAME = 202,         // read: copies the name (64 bytes)
    TRVX_EXT_BOUNDS = 203,       // read: copies local and world bounds (72 bytes)
    TRVX_EXT_FACES = 205,        // read: the face array
    TRVX_EXT_VERTICES = 206,     // read: the vertex array
};

// What TRVX_GetInformation returns (besides 100 + n, 200 + n and 1000 + n).
enum TRVXINFO {
    TRVX_INFO_FRAME_DEPTH = 1,
    TRVX_INFO_ROTATION_ORDERS = 2,
    TRVX_INFO_TRANSFORM_ORDERS = 3,
    TRVX_INFO_TEXTURE_COUNT = 4,
    TRVX_INFO_SYSTEM = 5,        // the tagTRVXSYSINFO block
    TRVX_INFO_FOLDER = 6,
    TRVX_INFO_INI_PATH = 7,
    TRVX_INFO_WINDOW = 8,
};

typedef tagTRVX *TRVXCONTEXT;
typedef DWORD(WINAPI *TRVXLAYERCALLBACK)(TRVXCONTEXT ctx, TRVXLAYER layer, void *data);
typedef void(WINAPI *TRVXGAUGECALLBACK)(TRVXCONTEXT ctx, const wchar_t *caption, DWORD percent);

// Summary of a layer or subtree (TRVXL_GetLayerInformation).
struct tagTRVXLLAYERINFO {
    uint16_t switchFlags;
    wchar_t name[32];
    uint16_t reserved0;
    TRVXLAYER parent;
    uint8_t bounds[72];       // layer bytes 156-227: local bounds and world bounds
    int32_t children;         // summed over the subtree
    int32_t childrenOn;
    int32_t faces;
    int32_t facesOn;
    int32_t vertices;
    int32_t verticesOn;
    tagTRVXSTAGE stages[4];
    uint32_t reserved1;
    uint32_t diffuse;
    uint32_t specular;
    float dullness;
    uint32_t ambient;
    uint32_t emissive;
    int32_t bothSides;        // bit 0 of attributes
};
TRVX_STATIC_LAYOUT(tagTRVXLLAYERINFO, 484);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, name, 2);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, parent, 68);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, bounds, 72);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, children, 144);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, verticesOn, 164);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, stages, 168);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, diffuse, 460);
TRVX_STATIC_OFFSET(tagTRVXLLAYERINFO, bothSides, 480);

// --- Context and lifecycle -------------------------------------------------------------------
// The new context, or null when no driver could be started.
TRVX_API TRVXCONTEXT WINAPI TRVX_Start(HWND window, const RECT *view, DWORD flags);
// Nonzero when the context's heap could be destroyed.
TRVX_API BOOL WINAPI TRVX_End(TRVXCONTEXT ctx);
// Dispatches every waiting message of the calling thread; returns 0.
TRVX_API int WINAPI TRVX_SystemTask(TRVXCONTEXT ctx);
// The message box result.
TRVX_API int WINAPI TRVX_Error(TRVXCONTEXT ctx, const wchar_t *text);

// --- Vector and angle math -------------------------------------------------------------------
TRVX_API TRVXVECTOR *WINAPI TRVX_Zero3D(TRVXVECTOR *v);
TRVX_API TRVXVECTOR *WINAPI TRVX_Set3D(TRVXVECTOR *v, float x, float y, float z, float w);
TRVX_API void WINAPI TRVX_Copy3D(TRVXVECTOR *dst, const TRVXVECTOR *src);
TRVX_API float WINAPI TRVX_Length3D(const TRVXVECTOR *a, const TRVXVECTOR *b);
TRVX_API void WINAPI TRVX_Unit3D(TRVXVECTOR *v);
// Degrees, 0 to 180.
TRVX_API float WINAPI TRVX_Angle3D(const TRVXVECTOR *a, const TRVXVECTOR *b);
TRVX_API TRVXVECTOR *WINAPI TRVX_Normal3D(TRVXVECTOR *out, const TRVXVECTOR *a, const TRVXVECTOR *b,
                                          const TRVXVECTOR *c);
// Returns 0.
TRVX_API int WINAPI TRVX_Rotate3D(TRVXVECTOR *v, const TRVXVECTOR *angles, int order);
// The angle brought into (-180, 180].
TRVX_API float WINAPI TRVX_OptimizeAngle(float angle);
// -1, 0 or 1: side of (px, pz) relative to the direction (dx, dz).
TRVX_API int WINAPI TRVX_SignAngle(float px, float pz, float dx, float dz);
TRVX_API float WINAPI TRVX_CheckRange(float value, float low, float high);
TRVX_API BOOL WINAPI TRVX_InRect(const RECT *r, int x, int y);
// Pointer to the terminating 0, or null when |value| > 999999.
TRVX_API wchar_t *WINAPI TRVX_RealToString(wchar_t *buffer, float value);
// Pointer to the first character not used.
TRVX_API const wchar_t *WINAPI TRVX_StringToReal(float *out, const wchar_t *text);

// --- Layer tree --------------------------------------------------------------------------------
TRVX_API TRVXLAYER WINAPI TRVXL_CreateLayer(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *name);
TRVX_API int WINAPI TRVXL_DeleteLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int whole);
TRVX_API int WINAPI TRVXL_ModeLayer(TRVXCONTEXT ctx, TRVXLAYER layer, DWORD mode);
TRVX_API TRVXLAYER WINAPI TRVXL_LinkLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXLAYER other, int how);
TRVX_API TRVXLAYER WINAPI TRVXL_SearchLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *name);
TRVX_API wchar_t *WINAPI TRVXL_RenameLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *name);
// switchFlags in the low 16 bits.
TRVX_API DWORD WINAPI TRVXL_SwitchLayer(TRVXCONTEXT ctx, TRVXLAYER layer, DWORD value);
TRVX_API TRVXLAYER WINAPI TRVXL_GetChildLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int index);
TRVX_API int WINAPI TRVXL_CountLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int *layers, int *faces, int *vertices,
                                     int onlyOn);
// Fills `info` for the layer alone (subtree 0) or with its subtree's six totals. trvx.dll exports it
// only under this decorated name (context and layer travel as unsigned 32-bit values), which no
// import library of this tool chain can give a caller, so the accessor below binds it by name.
#define TRVXL_GETLAYERINFORMATION_EXPORT_NAME "?TRVXL_GetLayerInformation@@YGXKKPAUtagTRVXLLAYERINFO@@H@Z"
typedef void(WINAPI *TRVXL_GETLAYERINFORMATION_PROC)(DWORD_PTR ctx, DWORD_PTR layer, tagTRVXLLAYERINFO *info,
                                                     int subtree);
#ifndef TRVX_BUILDING_ENGINE
// Does nothing when trvx.dll is not loaded in the process.
inline void TRVXL_GetLayerInformation(DWORD_PTR ctx, DWORD_PTR layer, tagTRVXLLAYERINFO *info, int subtree)
{
    static TRVXL_GETLAYERINFORMATION_PROC proc = (TRVXL_GETLAYERINFORMATION_PROC)(void *)GetProcAddress(
        GetModuleHandleW(L"trvx.dll"), TRVXL_GETLAYERINFORMATION_EXPORT_NAME);
    if (proc)
        proc(ctx, layer, info, subtree);
}
#endif
// A walk result: TRVX_WALK_STOP, TRVX_WALK_SKIP_CHILDREN (for the layer itself) or TRVX_WALK_CONTINUE.
TRVX_API DWORD WINAPI TRVX_CallBackLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXLAYERCALLBACK callback, void *data,
                                         DWORD flags);
TRVX_API DWORD_PTR WINAPI TRVXL_EXT_Function(TRVXCONTEXT ctx, TRVXLAYER layer, int what, DWORD_PTR out,
                                              DWORD_PTR out2);
TRVX_API DWORD WINAPI TRVXL_EXT_RecallFunction(TRVXCONTEXT ctx, TRVXLAYER layer, int what, DWORD_PTR value,
                                               DWORD_PTR value2, int recursive);

// --- Layer geometry ----------------------------------------------------------------------------
TRVX_API int WINAPI TRVXL_SetFace(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXFACE *faces);
TRVX_API int WINAPI TRVXL_SetVertex(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXVERTEX *vertices);
// Number of vertices made; chips are three vertex records each.
TRVX_API int WINAPI TRVXL_SetChip(TRVXCONTEXT ctx, TRVXLAYER layer, int count, const tagTRVXVERTEX *chips, int weld);
TRVX_API int WINAPI TRVXL_SmoothLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int how, float grid, int weld);
TRVX_API int WINAPI TRVXL_TextureLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int stage, const tagTRVXSTAGE *record);
TRVX_API int WINAPI TRVXL_DirectionLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int stage, const TRVXVECTOR *offset,
                                         const TRVXVECTOR *angles, const TRVXVECTOR *size);
TRVX_API int WINAPI TRVXL_FixLayer(TRVXCONTEXT ctx, TRVXLAYER layer, int how);

// --- Layer motion and evaluation ---------------------------------------------------------------
TRVX_API TRVXLAYER WINAPI TRVXL_MoveLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const TRVXVECTOR *translate,
                                          const TRVXVECTOR *rotate, const TRVXVECTOR *scale, int transformOrder,
                                          int rotationOrder);
TRVX_API void WINAPI TRVXL_GetMoveLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXVECTOR *translate, TRVXVECTOR *rotate,
                                        TRVXVECTOR *scale, int *transformOrder, int *rotationOrder);
// 1 when any layer's matrices were recomputed.
TRVX_API int WINAPI TRVXL_CalcLayer(TRVXCONTEXT ctx, TRVXLAYER layer);
TRVX_API int WINAPI TRVXL_CalcPositionLayer(TRVXCONTEXT ctx, TRVXLAYER layer, TRVXVECTOR *centre, float *radius);

// --- Camera, lights and rendering ----------------------------------------------------------------
TRVX_API tagTRVXCAMERA *WINAPI TRVX_SetCamera(TRVXCONTEXT ctx, const tagTRVXCAMERA *camera);
TRVX_API int WINAPI TRVX_CalcShiftCamera(TRVXCONTEXT ctx, tagTRVXCAMERA *camera, TRVXVECTOR *move);
TRVX_API int WINAPI TRVX_CalcRollCamera(TRVXCONTEXT ctx, tagTRVXCAMERA *camera, const float *angles, DWORD how);
TRVX_API int WINAPI TRVX_SetLight(TRVXCONTEXT ctx, int index, const tagTRVXLIGHT *light);
TRVX_API int WINAPI TRVX_SetFog(TRVXCONTEXT ctx, float start, float end, DWORD colour);
TRVX_API int WINAPI TRVX_Rendering(TRVXCONTEXT ctx, int viewPort, TRVXLAYER layer, DWORD background);
TRVX_API DWORD_PTR WINAPI TRVX_RenderingEx(TRVXCONTEXT ctx, int viewPort, TRVXLAYER layer, int step, DWORD background);

// --- View ports, textures and fonts --------------------------------------------------------------
TRVX_API int64_t WINAPI TRVX_ViewPort(TRVXCONTEXT ctx, int index, const RECT *rect);
TRVX_API int WINAPI TRVX_ClipViewPort(TRVXCONTEXT ctx, int index, const RECT *rect);
TRVX_API int WINAPI TRVX_ClearViewPort(TRVXCONTEXT ctx, int index, DWORD colour);
TRVX_API int WINAPI TRVX_ClearZbuffer(TRVXCONTEXT ctx, int index);
TRVX_API int WINAPI TRVX_FlipViewPort(TRVXCONTEXT ctx, int index);
TRVX_API int WINAPI TRVX_EXT_FlipViewPort(TRVXCONTEXT ctx, int index, DWORD value1, DWORD value2);
TRVX_API HBITMAP WINAPI TRVX_CaptureViewPort(TRVXCONTEXT ctx, int index);
TRVX_API int WINAPI TRVX_WriteBitmap(TRVXCONTEXT ctx, const wchar_t *fileName, HBITMAP bitmap);
TRVX_API int WINAPI TRVX_ReadTexture(TRVXCONTEXT ctx, const wchar_t *fileName, int reload, int reserved, int options);
TRVX_API int WINAPI TRVX_CreateTexture(TRVXCONTEXT ctx, int width, int height, int options);
TRVX_API int WINAPI TRVX_DeleteTexture(TRVXCONTEXT ctx, int index);
TRVX_API int WINAPI TRVX_ExchangeTexture(TRVXCONTEXT ctx, int from, int to);
TRVX_API int WINAPI TRVX_CopyTexture(TRVXCONTEXT ctx, int to, int x, int y, int from, const RECT *rect);
// Font index, or -1 when the driver refused it.
TRVX_API int WINAPI TRVX_CreateFont(TRVXCONTEXT ctx, int height, int width, int weight, int italic, int charSet,
                                    int pitchAndFamily, const wchar_t *faceName);
TRVX_API int WINAPI TRVX_DeleteFont(TRVXCONTEXT ctx, int index);
TRVX_API DWORD_PTR WINAPI TRVX_DisplayFont(TRVXCONTEXT ctx, int viewPort, int font, const wchar_t *text, DWORD format,
                                       const RECT *rect, DWORD colour);

// --- Primitive models --------------------------------------------------------------------------
TRVX_API TRVXLAYER WINAPI TRVXL_CreateModel(TRVXCONTEXT ctx, TRVXLAYER parent, const float *parameters);

// --- Layer files and file services ---------------------------------------------------------------
TRVX_API TRVXLAYER WINAPI TRVXL_ReadLayer(TRVXCONTEXT ctx, TRVXLAYER parent, const wchar_t *fileName);
TRVX_API DWORD_PTR WINAPI TRVXL_WriteLayer(TRVXCONTEXT ctx, TRVXLAYER layer, const wchar_t *fileName);
// A memory block of size + 1 bytes (the last one 0), or null.
TRVX_API void *WINAPI TRVX_ReadFile(TRVXCONTEXT ctx, const wchar_t *fileName, int *size, int load);
TRVX_API int WINAPI TRVX_WriteFile(TRVXCONTEXT ctx, const wchar_t *fileName, const void *data, int size);
// A memory block of tagTRVXFILE entries, or null when nothing matches.
TRVX_API tagTRVXFILE *WINAPI TRVX_SearchFile(TRVXCONTEXT ctx, const wchar_t *folder, const wchar_t *mask,
                                             const wchar_t *extension, int *count);
TRVX_API int WINAPI TRVX_ChangePathName(TRVXCONTEXT ctx, const wchar_t *fileName, wchar_t *folder, wchar_t *name,
                                        wchar_t *extension);
TRVX_API void *WINAPI TRVX_AllocMemory(TRVXCONTEXT ctx, int size);
TRVX_API BOOL WINAPI TRVX_FreeMemory(TRVXCONTEXT ctx, void *block);
TRVX_API void *WINAPI TRVX_ResizeMemory(TRVXCONTEXT ctx, void *block, int size);
TRVX_API int WINAPI TRVX_SizeMemory(TRVXCONTEXT ctx, const void *block);
TRVX_API wchar_t *WINAPI TRVX_ChangeToUnicode(TRVXCONTEXT ctx, const char *ansiText);
TRVX_API char *WINAPI TRVX_ChangeFromUnicode(TRVXCONTEXT ctx, const wchar_t *wideText);

// --- Engine services ---------------------------------------------------------------------------
TRVX_API void WINAPI TRVX_StartCounter(TRVXCONTEXT ctx);
// Milliseconds since TRVX_StartCounter; while recording an AVI, one video frame's period.
TRVX_API DWORD WINAPI TRVX_EndCounter(TRVXCONTEXT ctx);
TRVX_API DWORD WINAPI TRVX_SampleCounter(TRVXCONTEXT ctx, int value);
TRVX_API HWND WINAPI TRVX_OpenGage(TRVXCONTEXT ctx, const wchar_t *caption, TRVXGAUGECALLBACK callback);
TRVX_API void WINAPI TRVX_SetGage(TRVXCONTEXT ctx, DWORD percent);
TRVX_API void WINAPI TRVX_CloseGage(TRVXCONTEXT ctx);
TRVX_API tagTRVXINPUT *WINAPI TRVX_DeviceInput(TRVXCONTEXT ctx, int what);
TRVX_API int WINAPI TRVX_DeviceInputBuffer(TRVXCONTEXT ctx);
TRVX_API int WINAPI TRVX_SetDeviceInputBuffer(TRVXCONTEXT ctx, int code);
TRVX_API DWORD_PTR WINAPI TRVX_GetInformation(TRVXCONTEXT ctx, int what);
TRVX_API int WINAPI TRVX_StartAvi(TRVXCONTEXT ctx, int viewPort, const wchar_t *fileName, int framesPerSecond,
                                  const POINT *offset);
TRVX_API int WINAPI TRVX_FrameAvi(TRVXCONTEXT ctx, HBITMAP bitmap);
TRVX_API void WINAPI TRVX_EndAvi(TRVXCONTEXT ctx);
