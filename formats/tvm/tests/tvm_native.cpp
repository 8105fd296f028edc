// Native stand-ins for the engine behind the portable text model code (see tvm_native.h).
#include "tvm_native.h"

#include "number_text.h"

#include <stdio.h>
#include <stdlib.h>

#define NATIVE_CHECK(condition)                                                   \
    do {                                                                          \
        if (!(condition)) {                                                       \
            fprintf(stderr, "%s:%d: engine call refused: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                              \
        }                                                                         \
    } while (0)

// The engine's own conversions work on the platform's wchar_t; the text is copied across.
const tvm_char *native_string_to_real(float *out, const tvm_char *text)
{
    std::wstring number;
    for (const tvm_char *c = text; (*c >= u'0' && *c <= u'9') || *c == u'.' || *c == u'+' || *c == u'-'; ++c)
        number += (wchar_t)*c;
    return text + (text_to_number(out, number.c_str()) - number.c_str());
}

tvm_char *native_real_to_string(tvm_char *buffer, float value)
{
    wchar_t wide[TVM_REAL_CHARS];
    wchar_t *end = number_to_text(wide, value);
    if (!end)
        return nullptr;
    tvm_char *p = buffer;
    for (const wchar_t *c = wide; c < end; ++c)
        *p++ = (tvm_char)*c;
    *p = 0;
    return p;
}

NativeLayer *NativeBuilder::check(void *layer)
{
    NATIVE_CHECK(layer != nullptr);
    NATIVE_CHECK(known_.count(layer) == 1); // a layer the engine made
    return static_cast<NativeLayer *>(layer);
}

NativeLayer *NativeBuilder::root()
{
    if (!root_) {
        layers.emplace_back(new NativeLayer);
        root_ = layers.back().get();
        known_.insert(root_);
        root_->name = u"MasterLayer";
    }
    return root_;
}

void *NativeBuilder::create_layer(void *parent, const tvm_char *name)
{
    NATIVE_CHECK(name != nullptr && tvm_strlen(name) < TVM_STRING_CHARS);
    NativeLayer *p = parent ? check(parent) : nullptr;
    layers.emplace_back(new NativeLayer);
    NativeLayer *layer = layers.back().get();
    layer->name = name;
    layer->parent = p;
    known_.insert(layer);
    (p ? p->children : tops).push_back(layer);
    return layer;
}

void NativeBuilder::switch_layer(void *layer, bool on) { check(layer)->on = on; }

static void apply_property(NativeLayer *l, int property, uintptr_t value)
{
    switch (property) {
    case TVM_PROP_COLOUR:
        l->material.diffuse = l->material.ambient = (uint32_t)value;
        break;
    case TVM_PROP_MATERIAL:
        l->material = *reinterpret_cast<const TvmMaterial *>(value);
        break;
    case TVM_PROP_POINT_SIZE:
        l->pointSize = *reinterpret_cast<const float *>(value);
        break;
    case TVM_PROP_TRANSPARENCY:
        NATIVE_CHECK(value <= 255);
        l->transparency = (uint32_t)value;
        break;
    default:
        NATIVE_CHECK(property >= TVM_PROP_BACK_FACE && property <= TVM_PROP_SCREEN);
        l->attributes[property] = value != 0;
        break;
    }
    for (NativeLayer *child : l->children)
        apply_property(child, property, value);
}

void NativeBuilder::set_property(void *layer, int property, uintptr_t value)
{
    apply_property(check(layer), property, value);
}

void NativeBuilder::move_layer(void *layer, const TvmVector *translate, const TvmVector *rotate,
                               const TvmVector *scale, int rotationOrder)
{
    NativeLayer *l = check(layer);
    NATIVE_CHECK(rotationOrder >= 0 && rotationOrder <= 16);
    if (translate)
        l->translate = *translate;
    if (rotate)
        l->rotate = *rotate;
    if (scale)
        l->scale = *scale;
    if (rotationOrder)
        l->rotationOrder = rotationOrder;
}

void NativeBuilder::set_range(void *layer, float nearLimit, float farLimit)
{
    NativeLayer *l = check(layer);
    l->nearLimit = nearLimit;
    l->farLimit = farLimit;
}

void NativeBuilder::set_transform_order(void *layer, int order)
{
    NATIVE_CHECK(order >= 1 && order <= 16);
    check(layer)->transformOrder = order;
}

int NativeBuilder::read_texture(const tvm_char *fileName, int option)
{
    std::u16string name = fileName;
    NATIVE_CHECK(!name.empty() && name.size() < TVM_STRING_CHARS);
    textures.push_back(name);
    textureOptions.emplace_back(name, option);
    return name.compare(0, 7, u"missing") == 0 ? 0 : (int)textures.size();
}

void NativeBuilder::set_stage(void *layer, int stage, const TvmStage *record)
{
    NativeLayer *l = check(layer);
    NATIVE_CHECK(stage >= 0 && stage < 4);
    NATIVE_CHECK(record->owner == nullptr || record->owner == layer);
    l->stages[stage] = *record;
    ++l->stageCalls[stage];
}

void NativeBuilder::set_geometry(void *layer, const TvmFace *faces, int faceCount, const TvmVertex *vertices,
                                 int vertexCount, uint32_t mode)
{
    NativeLayer *l = check(layer);
    NATIVE_CHECK(vertexCount > 0 && mode != 0 && faceCount >= 0);
    for (int i = 0; i < faceCount; ++i) {
        for (int k = 0; k < 3; ++k)
            NATIVE_CHECK(faces[i].index[k] < vertexCount);
    }
    l->faces.assign(faces, faces + faceCount);
    l->vertices.assign(vertices, vertices + vertexCount);
    l->mode = mode;
    ++l->geometryCalls;
}

void NativeBuilder::progress(int percent)
{
    NATIVE_CHECK(percent >= 0 && percent <= 100);
    percents.push_back(percent);
}

void *native_read(NativeBuilder *builder, void *parent, const std::string &text, int *line)
{
    std::vector<tvm_char> wide(text.begin(), text.end());
    for (tvm_char &c : wide)
        c = (tvm_char)(unsigned char)c;
    wide.push_back(0);
    TvmSyntax syntax;
    bool ok = tvm_syntax_pass(wide.data(), &syntax);
    if (line)
        *line = syntax.line;
    if (!ok)
        return nullptr;
    return tvm_read_text(builder, parent, wide.data(), syntax.length, syntax.braces, native_string_to_real);
}
