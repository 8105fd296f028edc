// Plug-in protocol of the Tarvex engine: the context record and every record the engine shares with
// its graphics drivers and format plug-ins, byte for byte, plus the numbered commands of the one
// entry point TRVXINTERFACE. Separately built libraries read these layouts directly: never reorder.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// The byte layouts hold for the 32-bit build, the one that ships; a 64-bit test build widens the
// pointers and handles, and every value that may carry an address is pointer-sized (DWORD_PTR).
#if defined(_WIN64)
#define TRVX_STATIC_LAYOUT(type, size) static_assert(sizeof(type) > 0, #type)
#define TRVX_STATIC_OFFSET(type, field, off) static_assert(offsetof(type, field) >= 0, #type "." #field)
#else
#define TRVX_STATIC_LAYOUT(type, size) static_assert(sizeof(type) == (size), #type " must stay " #size " bytes")
#define TRVX_STATIC_OFFSET(type, field, off) \
    static_assert(offsetof(type, field) == (off), #type "." #field " must stay at offset " #off)
#endif

// Walk results of layer callbacks (TRVX_CallBackLayer).
#define TRVX_WALK_CONTINUE      0xEFFF1000u
#define TRVX_WALK_SKIP_CHILDREN 0xBFFF4000u
#define TRVX_WALK_STOP          0xDFFF2000u
// Walk flags: only bits 0 and 1 matter.
#define TRVX_WALK_POSTORDER 0xFFFE0001u // children before the layer
#define TRVX_WALK_PREORDER  0xFFFD0002u // children after the layer

// Layer switch flags.
#define TRVX_SWITCH_ON        0x0001u
#define TRVX_SWITCH_EVALUATED 0x4000u // evaluated and drawn even when bit 0 is off
#define TRVX_SWITCH_HIDDEN    0x8000u // hidden with the whole subtree

// Layer attributes.
#define TRVX_ATTR_BOTH_SIDES 0x0001u
#define TRVX_ATTR_NO_FOG     0x0002u
#define TRVX_ATTR_NO_ZWRITE  0x0100u
#define TRVX_ATTR_WIREFRAME  0x1000u
#define TRVX_ATTR_OVERLAY    0x8000u

// Render class bits (derived).
#define TRVX_CLASS_STAGE_SORTED 0x0001u // stage 0 blend option 0x200
#define TRVX_CLASS_TEXTURE_ALPHA 0x0010u
#define TRVX_CLASS_TRANSPARENT  0x8000u

// Drawing modes. Bit 31: drawn from device buffers that the driver builds (command 20).
#define TRVX_MODE_BUFFERED 0x80000000u
#define TRVX_MODE_KEEP     0x80000000u // ModeLayer: keep each layer's mode, only rebuild
#define TRVX_MODE_SOLID    0x80140000u
#define TRVX_MODE_TEXTURED 0x80340000u // + number of texture stages (1 to 4)
#define TRVX_MODE_LINES    0x80010000u
#define TRVX_MODE_VERTEX_COLOUR 0x80160000u // faces coloured by their vertices, unlit

enum TRVXCMD {
    TRVXCMD_QUERY_SIZE = 0,
    TRVXCMD_DRIVER_START = 1,
    TRVXCMD_DRIVER_END = 2,
    TRVXCMD_LAYER_LOCAL = 4,
    TRVXCMD_LAYER_WORLD = 5,
    TRVXCMD_LAYER_BAKE = 6,
    TRVXCMD_LAYER_MATERIAL = 7,
    TRVXCMD_READ_FORMATS = 10,   // format plug-ins
    TRVXCMD_VIEWPORT_OPEN = 11,  // drivers
    TRVXCMD_READ_FILE = 11,      // format plug-ins
    TRVXCMD_VIEWPORT_CLOSE = 12,
    TRVXCMD_VIEWPORT_FLIP = 13,
    TRVXCMD_VIEWPORT_CLEAR = 15,
    TRVXCMD_ZBUFFER_CLEAR = 16,
    TRVXCMD_WRITE_FORMATS = 20,  // format plug-ins
    TRVXCMD_LAYER_BUILD = 20,    // drivers
    TRVXCMD_WRITE_FILE = 21,     // format plug-ins
    TRVXCMD_LAYER_FACES_DROP = 21, // drivers
    TRVXCMD_LAYER_VERTICES_DROP = 22,
    TRVXCMD_TEXTURE_LOAD = 30,
    TRVXCMD_TEXTURE_RELEASE = 31,
    TRVXCMD_TEXTURE_CREATE = 32,
    TRVXCMD_TEXTURE_COPY = 33,
    TRVXCMD_FONT_CREATE = 41,
    TRVXCMD_FONT_DELETE = 42,
    TRVXCMD_FONT_DRAW = 43,
    TRVXCMD_INPUT_READ = 51,
    TRVXCMD_SCENE_BEGIN = 81,
    TRVXCMD_SCENE_END = 82,
    TRVXCMD_SET_3D = 83,
    TRVXCMD_SET_2D = 84,
    TRVXCMD_LAYER_DRAW = 85,
};

// Command 0's p1: which per-layer driver block is asked for.
#define TRVX_QUERY_TRANSFORM_BLOCK 10
#define TRVX_QUERY_MATERIAL_BLOCK  11

struct tagTRVX;

// The single export of every plug-in, bound by its decorated name.
typedef DWORD_PTR(WINAPI *TRVXINTERFACE_PROC)(int command, tagTRVX *ctx, DWORD_PTR p1, DWORD_PTR p2, DWORD_PTR p3,
                                               DWORD_PTR p4);
#define TRVXINTERFACE_EXPORT_NAME "?TRVXINTERFACE@@YGKHPAUtagTRVX@@KKKK@Z"

// x, y, z, w: a position, direction or triple of angles in degrees.
struct TRVXVECTOR {
    float x, y, z, w;
};
TRVX_STATIC_LAYOUT(TRVXVECTOR, 16);

// One file of a directory listing; also the plug-in table entry.
struct tagTRVXFILE {
    wchar_t folder[128];        // folder searched, ending in a backslash
    wchar_t name[64];           // file name up to its first "."
    wchar_t extension[8];       // from the first "." on
    int32_t size;               // bytes, -1 for a folder
    HMODULE module;             // null if not loaded
    TRVXINTERFACE_PROC entry;   // bound TRVXINTERFACE, null if not loaded
    const wchar_t *readFormats; // format list of command 10
    const wchar_t *writeFormats; // format list of command 20
    uint8_t reserved[16];
};
TRVX_STATIC_LAYOUT(tagTRVXFILE, 436);
TRVX_STATIC_OFFSET(tagTRVXFILE, size, 400);
TRVX_STATIC_OFFSET(tagTRVXFILE, module, 404);
TRVX_STATIC_OFFSET(tagTRVXFILE, entry, 408);
TRVX_STATIC_OFFSET(tagTRVXFILE, readFormats, 412);
TRVX_STATIC_OFFSET(tagTRVXFILE, writeFormats, 416);

// A format list is a run of these 8-character entries: the format's name, then one extension per
// entry with its dot, ended by an entry whose first character is 0.
#define TRVX_FORMAT_ENTRY_CHARS 8

struct tagTRVXCAMERA {
    TRVXVECTOR eye;
    TRVXVECTOR target;
    TRVXVECTOR up;
    float lens;   // focal length in mm for a 35 mm frame height; 0 = driver default
    float aspect; // width / height; 0 = the view port's own
    float nearZ;  // 0 = 1.0
    float farZ;   // 0 = unlimited
};
TRVX_STATIC_LAYOUT(tagTRVXCAMERA, 64);

enum TRVXLIGHTKIND { TRVX_LIGHT_OFF = 0, TRVX_LIGHT_AMBIENT = 1, TRVX_LIGHT_DIRECTIONAL = 2,
                     TRVX_LIGHT_POINT = 3, TRVX_LIGHT_SPOT = 4 };

struct tagTRVXLIGHT {
    int32_t kind;
    TRVXVECTOR position;  // point and spot
    TRVXVECTOR direction; // directional and spot
    float range;          // point and spot
    float cone;           // spot, degrees
    uint32_t diffuse;     // 0x00BBGGRR; entry 0: the scene's ambient colour
    uint32_t specular;
    uint32_t ambient;
};
TRVX_STATIC_LAYOUT(tagTRVXLIGHT, 56);
TRVX_STATIC_OFFSET(tagTRVXLIGHT, range, 36);
TRVX_STATIC_OFFSET(tagTRVXLIGHT, diffuse, 44);

struct tagTRVXVIEWPORT {
    int32_t open;         // set by the driver at command 11
    DWORD_PTR driver[9];  // the driver's handles
    int32_t x, y;         // top-left in client coordinates (above 0: relative to view port 0)
    int32_t width, height;
    int32_t clipX, clipY; // clip rectangle relative to the view port
    int32_t clipWidth, clipHeight;
};
TRVX_STATIC_LAYOUT(tagTRVXVIEWPORT, 72);
TRVX_STATIC_OFFSET(tagTRVXVIEWPORT, x, 40);
TRVX_STATIC_OFFSET(tagTRVXVIEWPORT, clipX, 56);

struct tagTRVXTEXTURE {
    wchar_t folder[128];  // ending in a backslash
    wchar_t name[64];     // without extension
    wchar_t extension[8]; // with its dot
    int32_t useCount;     // 0 = free
    int32_t hasAlpha;     // driver
    int32_t width;        // created textures
    int32_t height;
    int32_t driverState;
    uint32_t driverFormat;
    int32_t options;      // caller's; created textures: nonzero = with alpha channel
    void *object;         // driver's texture object
    uint8_t driverUse[28];
};
TRVX_STATIC_LAYOUT(tagTRVXTEXTURE, 460);
TRVX_STATIC_OFFSET(tagTRVXTEXTURE, useCount, 400);
TRVX_STATIC_OFFSET(tagTRVXTEXTURE, options, 424);
TRVX_STATIC_OFFSET(tagTRVXTEXTURE, object, 428);

struct tagTRVXFONT {
    int32_t height;
    int32_t width;
    int32_t weight; // 400 normal, 700 bold
    int32_t italic;
    int32_t charSet;
    int32_t pitchAndFamily;
    wchar_t faceName[32]; // empty = free record
    uint32_t format;      // text format flags of the next draw
    RECT rect;            // rectangle of the next draw, engine screen coordinates
    uint32_t colour;      // 0xTTBBGGRR of the next draw
    void *object;         // driver's font object
    uint8_t reserved[12];
};
TRVX_STATIC_LAYOUT(tagTRVXFONT, 128);
TRVX_STATIC_OFFSET(tagTRVXFONT, faceName, 24);
TRVX_STATIC_OFFSET(tagTRVXFONT, format, 88);
TRVX_STATIC_OFFSET(tagTRVXFONT, rect, 92);
TRVX_STATIC_OFFSET(tagTRVXFONT, colour, 108);
TRVX_STATIC_OFFSET(tagTRVXFONT, object, 112);

// Keyboard and mouse as last polled (command 51 fills it).
struct tagTRVXINPUT {
    int32_t axes[16];      // mouse x, y, wheel, ... as the driver reads them
    int32_t axisDelta[16]; // change since the previous poll
    uint8_t keys[256];     // by DirectInput key code: bit 7 down, bit 0 went down at this poll
    uint8_t buttons[64];   // mouse button n at index n; queue code 256 + n
};
TRVX_STATIC_LAYOUT(tagTRVXINPUT, 448);
TRVX_STATIC_OFFSET(tagTRVXINPUT, keys, 128);
TRVX_STATIC_OFFSET(tagTRVXINPUT, buttons, 384);

#define TRVX_INPUT_DOWN    0x80
#define TRVX_INPUT_PRESSED 0x01
#define TRVX_KEY_QUEUE_LENGTH 16
#define TRVX_BUTTON_CODE_BASE 256

// The graphics part of the system-information block: the driver's capability report, filled at
// its start (the two settings excepted, which the engine writes from trvx.ini and the start flags).
#define TRVX_GRAPHICS_LEVELS 15        // entries of the anisotropy and antialias lists
#define TRVX_GRAPHICS_MODES 62         // display modes listed
#define TRVX_GRAPHICS_DEPTH_FORMATS 5  // depth-buffer formats tried

struct tagTRVXDEPTHFORMAT {
    int32_t depthBits;
    int32_t stencilBits;
    uint32_t format; // the device's own format code
};
TRVX_STATIC_LAYOUT(tagTRVXDEPTHFORMAT, 12);

struct tagTRVXGRAPHICS {
    int32_t videoMemoryMB;     // leading digits of the diagnostic provider's display memory
    int32_t extraTextureMB;    // available texture memory minus the video memory, at view port 0
    int32_t textureStages;     // maximum blend stages
    int32_t maxTextureWidth;   // texels
    int32_t maxTextureHeight;
    int32_t lights;            // maximum active lights
    int32_t streams;           // maximum vertex streams
    int32_t mipmap;            // 1 when mip-maps are supported
    int32_t anisotropy;        // requested level (the engine's setting)
    int32_t anisotropyLevels[TRVX_GRAPHICS_LEVELS]; // 1, 2, 4, ...; 0 after the last
    int32_t antialias;         // requested multisample count (the engine's setting)
    int32_t antialiasLevels[TRVX_GRAPHICS_LEVELS];  // 1, then each available count; 0 after the last
    int32_t currentMode[3];    // width, height, 0 of view port 0
    int32_t modes[TRVX_GRAPHICS_MODES + 1][3];      // width, height, refresh; zero entry after the last
    tagTRVXDEPTHFORMAT currentDepth;
    tagTRVXDEPTHFORMAT depthFormats[TRVX_GRAPHICS_DEPTH_FORMATS];
};
TRVX_STATIC_LAYOUT(tagTRVXGRAPHICS, 1000);

// The system-information block (TRVX_GetInformation 5): the PC as the engine and its driver see it.
struct tagTRVXSYSINFO {
    wchar_t processor[80];
    uint32_t processorMHz;
    int32_t memoryMB;       // physical memory as a power of two
    wchar_t maker[80];
    wchar_t model[80];
    wchar_t osName[80];
    int32_t windowsVersion; // major * 100 + minor
    wchar_t adapter[80];    // driver's, replaced by the registry's when found
    uint32_t card;
    tagTRVXGRAPHICS graphics;
};
TRVX_STATIC_LAYOUT(tagTRVXSYSINFO, 1816);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, processorMHz, 160);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, memoryMB, 164);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, maker, 168);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, model, 328);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, osName, 488);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, windowsVersion, 648);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, adapter, 652);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, card, 812);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics, 816);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.textureStages, 824);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.lights, 836);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.mipmap, 844);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.anisotropy, 848);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.anisotropyLevels, 852);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.antialias, 912);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.antialiasLevels, 916);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.currentMode, 976);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.modes, 988);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.currentDepth, 1744);
TRVX_STATIC_OFFSET(tagTRVXSYSINFO, graphics.depthFormats, 1756);

// Draw-list entry: a layer and its sort key.
struct tagTRVXDRAW {
    struct tagTRVXLAYER *layer;
    float key;
};
TRVX_STATIC_LAYOUT(tagTRVXDRAW, 8);

struct tagTRVXDRAWLIST {
    int32_t count;        // including the two sentinels
    tagTRVXDRAW *entries; // memory block
};
TRVX_STATIC_LAYOUT(tagTRVXDRAWLIST, 8);

// 17 words: position, normal, u of stages 0-3, v of stages 0-3, vertex colour 0xTTBBGGRR.
struct tagTRVXVERTEX {
    TRVXVECTOR position;
    TRVXVECTOR normal;
    float u[4];
    float v[4];
    uint32_t colour;
};
TRVX_STATIC_LAYOUT(tagTRVXVERTEX, 68);

struct tagTRVXFACE {
    uint16_t index[3];
};
TRVX_STATIC_LAYOUT(tagTRVXFACE, 6);

// Texture mapping kinds of a stage.
#define TRVX_MAP_NONE 0
#define TRVX_MAP_PLANAR_X 16 // 17 Y, 18 Z
#define TRVX_MAP_FIXED_X 32  // 33, 34: same axes without computed coordinates

struct tagTRVXSTAGE {
    struct tagTRVXLAYER *owner;
    int32_t texture;    // slot, 0 = none
    uint32_t blend;     // nonzero = in use; 0x200 of stage 0 sorts the layer
    int32_t mapping;
    uint32_t addressing;
    uint32_t filter;
    TRVXVECTOR offset;  // mapping offset u, v
    TRVXVECTOR angles;  // angles.x: turn of the projection in degrees
    TRVXVECTOR size;    // mapping width, height
};
TRVX_STATIC_LAYOUT(tagTRVXSTAGE, 72);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, texture, 4);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, blend, 8);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, mapping, 12);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, filter, 20);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, offset, 24);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, angles, 40);
TRVX_STATIC_OFFSET(tagTRVXSTAGE, size, 56);

#define TRVX_STAGE_SORTED 0x200u

struct tagTRVXLAYER {
    uint16_t switchFlags;
    uint16_t reserved0;
    tagTRVXLAYER *parent;
    uint32_t mode;
    int32_t moved;           // local motion changed since the last evaluation
    wchar_t name[32];
    DWORD_PTR driverData[8]; // the driver's buffer handles
    int32_t childCount;
    tagTRVXLAYER **children; // memory block, child order
    int32_t faceCount;
    tagTRVXFACE *faces;
    int32_t vertexCount;
    tagTRVXVERTEX *vertices;
    uint16_t attributes;
    uint16_t renderClass;
    uint32_t transparency;   // 0 opaque ... 255 invisible
    float nearLimit;
    float farLimit;          // 0 = none
    float pointSize;
    float localHalf[3];      // local bounds: half extents
    float localCentre[3];    // centre of the local box
    float boundsReserved;
    float localRadius;       // length of the half-extent vector
    TRVXVECTOR worldCentre;  // after evaluation; overlays: z is the depth key
    float worldRadius;
    TRVXVECTOR sortKey;      // (0, 0, distance, 0) of the last frame
    float sortRadius;
    TRVXVECTOR translate;
    TRVXVECTOR rotate;       // degrees
    TRVXVECTOR scale;
    int32_t transformOrder;  // 1 to 16
    int32_t rotationOrder;   // 1 to 16
    void *transformBlock;    // driver block (command 0, p1 10)
    uint32_t diffuse;        // material: 0x00BBGGRR
    uint32_t specular;
    float dullness;          // specular power is 255 minus this
    uint32_t ambient;
    uint32_t emissive;
    void *materialBlock;     // driver block (command 0, p1 11)
    tagTRVXSTAGE stages[4];
    int32_t userValue;
};
TRVX_STATIC_LAYOUT(tagTRVXLAYER, 604);
TRVX_STATIC_OFFSET(tagTRVXLAYER, parent, 4);
TRVX_STATIC_OFFSET(tagTRVXLAYER, mode, 8);
TRVX_STATIC_OFFSET(tagTRVXLAYER, moved, 12);
TRVX_STATIC_OFFSET(tagTRVXLAYER, name, 16);
TRVX_STATIC_OFFSET(tagTRVXLAYER, driverData, 80);
TRVX_STATIC_OFFSET(tagTRVXLAYER, childCount, 112);
TRVX_STATIC_OFFSET(tagTRVXLAYER, children, 116);
TRVX_STATIC_OFFSET(tagTRVXLAYER, faceCount, 120);
TRVX_STATIC_OFFSET(tagTRVXLAYER, vertexCount, 128);
TRVX_STATIC_OFFSET(tagTRVXLAYER, attributes, 136);
TRVX_STATIC_OFFSET(tagTRVXLAYER, renderClass, 138);
TRVX_STATIC_OFFSET(tagTRVXLAYER, transparency, 140);
TRVX_STATIC_OFFSET(tagTRVXLAYER, nearLimit, 144);
TRVX_STATIC_OFFSET(tagTRVXLAYER, farLimit, 148);
TRVX_STATIC_OFFSET(tagTRVXLAYER, pointSize, 152);
TRVX_STATIC_OFFSET(tagTRVXLAYER, localHalf, 156);
TRVX_STATIC_OFFSET(tagTRVXLAYER, localCentre, 168);
TRVX_STATIC_OFFSET(tagTRVXLAYER, boundsReserved, 180);
TRVX_STATIC_OFFSET(tagTRVXLAYER, localRadius, 184);
TRVX_STATIC_OFFSET(tagTRVXLAYER, worldCentre, 188);
TRVX_STATIC_OFFSET(tagTRVXLAYER, worldRadius, 204);
TRVX_STATIC_OFFSET(tagTRVXLAYER, sortKey, 208);
TRVX_STATIC_OFFSET(tagTRVXLAYER, sortRadius, 224);
TRVX_STATIC_OFFSET(tagTRVXLAYER, translate, 228);
TRVX_STATIC_OFFSET(tagTRVXLAYER, rotate, 244);
TRVX_STATIC_OFFSET(tagTRVXLAYER, scale, 260);
TRVX_STATIC_OFFSET(tagTRVXLAYER, transformOrder, 276);
TRVX_STATIC_OFFSET(tagTRVXLAYER, rotationOrder, 280);
TRVX_STATIC_OFFSET(tagTRVXLAYER, transformBlock, 284);
TRVX_STATIC_OFFSET(tagTRVXLAYER, diffuse, 288);
TRVX_STATIC_OFFSET(tagTRVXLAYER, specular, 292);
TRVX_STATIC_OFFSET(tagTRVXLAYER, dullness, 296);
TRVX_STATIC_OFFSET(tagTRVXLAYER, ambient, 300);
TRVX_STATIC_OFFSET(tagTRVXLAYER, emissive, 304);
TRVX_STATIC_OFFSET(tagTRVXLAYER, materialBlock, 308);
TRVX_STATIC_OFFSET(tagTRVXLAYER, stages, 312);
TRVX_STATIC_OFFSET(tagTRVXLAYER, userValue, 600);

typedef tagTRVXLAYER *TRVXLAYER;

// The engine context: one per started engine, passed to every export and plug-in command.
struct tagTRVX {
    uint32_t version;          // 1000
    wchar_t folder[128];       // engine folder, ending in a backslash
    wchar_t iniPath[256];
    HWND window;
    uint32_t windowed;         // nonzero = window mode
    DWORD_PTR driverPrivate[8]; // the driver's own handles
    HANDLE heap;
    int64_t counterFrequency;
    int64_t counterStart;
    uint32_t sampleCount;
    uint32_t sampleSum;
    tagTRVXCAMERA camera;
    int32_t viewPortCount;
    tagTRVXVIEWPORT *viewPorts;
    tagTRVXLIGHT lights[7];
    uint8_t reserved0[56];
    float fogStart;            // fog is off when start and end are both 0
    float fogEnd;
    uint32_t fogColour;        // 0x00BBGGRR
    TRVXLAYER rootLayer;
    float cullDistance;        // far limit of the frame being collected
    tagTRVXDRAWLIST opaqueList;
    tagTRVXDRAWLIST sortedList;
    tagTRVXDRAWLIST frontList;
    tagTRVXDRAWLIST backList;
    tagTRVXDRAWLIST pointList;
    int32_t driverIndex;
    int32_t driverCount;
    tagTRVXFILE *drivers;
    int32_t formatCount;
    tagTRVXFILE *formats;
    int32_t textureCount;
    tagTRVXTEXTURE *textures;
    int32_t fontCount;
    tagTRVXFONT *fonts;
    wchar_t rotationOrders[16][4];
    wchar_t transformOrders[16][4];
    float frameDepth;
    int32_t facesDrawn;
    int32_t verticesDrawn;
    int32_t layersDrawn;
    HWND gaugeWindow;
    void *gaugeCallback;
    wchar_t gaugeCaption[64];
    uint32_t gaugePercent;
    tagTRVXSYSINFO systemInfo;
    tagTRVXINPUT inputState;
    tagTRVXINPUT inputPrevious;
    uint16_t keyQueue[TRVX_KEY_QUEUE_LENGTH]; // 0-terminated
    RECT screenClip;           // view port 0, centred and y-up, when full screen
    int32_t aviActive;
    int32_t aviViewPort;
    alignas(DWORD_PTR) uint8_t aviState[108]; // the engine's recording state, which holds handles
};
TRVX_STATIC_LAYOUT(tagTRVX, 4744);
TRVX_STATIC_OFFSET(tagTRVX, folder, 4);
TRVX_STATIC_OFFSET(tagTRVX, iniPath, 260);
TRVX_STATIC_OFFSET(tagTRVX, window, 772);
TRVX_STATIC_OFFSET(tagTRVX, windowed, 776);
TRVX_STATIC_OFFSET(tagTRVX, driverPrivate, 780);
TRVX_STATIC_OFFSET(tagTRVX, heap, 812);
TRVX_STATIC_OFFSET(tagTRVX, counterFrequency, 816);
TRVX_STATIC_OFFSET(tagTRVX, counterStart, 824);
TRVX_STATIC_OFFSET(tagTRVX, sampleCount, 832);
TRVX_STATIC_OFFSET(tagTRVX, camera, 840);
TRVX_STATIC_OFFSET(tagTRVX, viewPortCount, 904);
TRVX_STATIC_OFFSET(tagTRVX, viewPorts, 908);
TRVX_STATIC_OFFSET(tagTRVX, lights, 912);
TRVX_STATIC_OFFSET(tagTRVX, fogStart, 1360);
TRVX_STATIC_OFFSET(tagTRVX, fogColour, 1368);
TRVX_STATIC_OFFSET(tagTRVX, rootLayer, 1372);
TRVX_STATIC_OFFSET(tagTRVX, cullDistance, 1376);
TRVX_STATIC_OFFSET(tagTRVX, opaqueList, 1380);
TRVX_STATIC_OFFSET(tagTRVX, sortedList, 1388);
TRVX_STATIC_OFFSET(tagTRVX, frontList, 1396);
TRVX_STATIC_OFFSET(tagTRVX, backList, 1404);
TRVX_STATIC_OFFSET(tagTRVX, pointList, 1412);
TRVX_STATIC_OFFSET(tagTRVX, driverIndex, 1420);
TRVX_STATIC_OFFSET(tagTRVX, drivers, 1428);
TRVX_STATIC_OFFSET(tagTRVX, formatCount, 1432);
TRVX_STATIC_OFFSET(tagTRVX, textureCount, 1440);
TRVX_STATIC_OFFSET(tagTRVX, textures, 1444);
TRVX_STATIC_OFFSET(tagTRVX, fontCount, 1448);
TRVX_STATIC_OFFSET(tagTRVX, rotationOrders, 1456);
TRVX_STATIC_OFFSET(tagTRVX, transformOrders, 1584);
TRVX_STATIC_OFFSET(tagTRVX, frameDepth, 1712);
TRVX_STATIC_OFFSET(tagTRVX, layersDrawn, 1724);
TRVX_STATIC_OFFSET(tagTRVX, gaugeWindow, 1728);
TRVX_STATIC_OFFSET(tagTRVX, gaugeCaption, 1736);
TRVX_STATIC_OFFSET(tagTRVX, gaugePercent, 1864);
TRVX_STATIC_OFFSET(tagTRVX, systemInfo, 1868);
TRVX_STATIC_OFFSET(tagTRVX, inputState, 3684);
TRVX_STATIC_OFFSET(tagTRVX, inputPrevious, 4132);
TRVX_STATIC_OFFSET(tagTRVX, keyQueue, 4580);
TRVX_STATIC_OFFSET(tagTRVX, screenClip, 4612);
TRVX_STATIC_OFFSET(tagTRVX, aviActive, 4628);
TRVX_STATIC_OFFSET(tagTRVX, aviViewPort, 4632);
