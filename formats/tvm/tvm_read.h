// Text model reader: turns a checked model text (the file's bytes after tvm_check_syntax, or UTF-16
// text compacted by tvm_syntax_pass) into layers through a TvmBuilder, which is the engine's exports
// in the plug-in and a recorder in the native tests. Portable code: no Windows headers.
#pragma once

#include "tvm_text.h"

// The engine's records as the reader fills them; the plug-in checks that they match the engine's
// layouts byte for byte.
struct TvmVector {
    float x, y, z, w;
};
struct TvmVertex {
    TvmVector position;
    TvmVector normal;   // w stays 0
    float u[4];         // texture coordinate sets 1 to 4
    float v[4];
    uint32_t colour;    // not stored in files: 0
};
struct TvmFace {
    uint16_t index[3];
};
struct TvmStage {
    void *owner;        // the layer, set only when the texture was loaded
    int32_t texture;    // texture slot, 0 = none
    uint32_t blend;
    uint32_t mapping;
    uint32_t addressing;
    uint32_t filter;
    TvmVector offset;   // arguments 7 and 8
    TvmVector angles;   // argument 9
    TvmVector size;     // arguments 10 and 11
};
struct TvmMaterial {
    uint32_t diffuse;   // 0x00BBGGRR
    uint32_t specular;
    float dullness;     // specular power is 255 minus this
    uint32_t ambient;
    uint32_t emissive;
};

// Property codes of the engine's TRVXL_EXT_RecallFunction and TRVXL_EXT_Function.
enum TvmProperty {
    TVM_PROP_COLOUR = 1,
    TVM_PROP_BACK_FACE = 21,
    TVM_PROP_NO_FOG = 22,
    TVM_PROP_TRANSPARENCY = 23,
    TVM_PROP_NO_ZWRITE = 24,
    TVM_PROP_WIREFRAME = 25,
    TVM_PROP_SCREEN = 26,
    TVM_PROP_POINT_SIZE = 41, // value: pointer to a float
    TVM_PROP_MATERIAL = 43,   // value: pointer to a TvmMaterial
};

// Attribute words with their property codes, in the order the writer lists them.
struct TvmAttributeWord {
    const tvm_char *word;
    int property;
};
extern const TvmAttributeWord tvm_attribute_words[5];

// What the reader needs from the engine. Layers are opaque handles; null is never passed as a layer
// except as the parent of create_layer (a top layer).
class TvmBuilder {
public:
    virtual ~TvmBuilder() {}
    virtual void *create_layer(void *parent, const tvm_char *name) = 0;
    virtual void switch_layer(void *layer, bool on) = 0;
    // Sets a property on the layer and on every layer below it.
    virtual void set_property(void *layer, int property, uintptr_t value) = 0;
    // Null vectors and order 0 leave those values unchanged.
    virtual void move_layer(void *layer, const TvmVector *translate, const TvmVector *rotate,
                            const TvmVector *scale, int rotationOrder) = 0;
    virtual void set_range(void *layer, float nearLimit, float farLimit) = 0;
    virtual void set_transform_order(void *layer, int order) = 0;
    // The texture slot, 0 when it could not be loaded.
    virtual int read_texture(const tvm_char *fileName, int option) = 0;
    virtual void set_stage(void *layer, int stage, const TvmStage *record) = 0;
    // Called at the end of a body with a mode and at least one vertex; faces index the vertices.
    virtual void set_geometry(void *layer, const TvmFace *faces, int faceCount, const TvmVertex *vertices,
                              int vertexCount, uint32_t mode) = 0;
    virtual void progress(int percent) = 0;
};

// Reads the compacted text as the body of `parent` (null: the file's layers become top layers).
// `layersInFile` is the brace count of the syntax check. Returns the last layer created at the top
// level, or null. The text is the file's bytes, whose strings outside ASCII `widen` converts, or
// the file already widened to UTF-16 and compacted.
void *tvm_read_text(TvmBuilder *builder, void *parent, const char *text, size_t length, int layersInFile,
                    TvmWiden widen);
void *tvm_read_text(TvmBuilder *builder, void *parent, const tvm_char *text, size_t length, int layersInFile);
