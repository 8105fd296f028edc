// Native stand-ins for the engine behind the portable text model code (see tvm_native.h).
#include "tvm_native.h"

#include "number_text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

size_t native_widen(tvm_char *out, const char *bytes, size_t count)
{
    const unsigned char *p = (const unsigned char *)bytes, *end = p + count;
    tvm_char *o = out;
    while (p < end) {
        unsigned c = *p;
        int trail = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
        if (c < 0x80 || trail == 0 || end - p <= trail) {
            *o++ = c < 0x80 ? (tvm_char)c : (tvm_char)0xFFFD;
            ++p;
            continue;
        }
        uint32_t code = c & (0x3Fu >> trail);
        int k = 1;
        for (; k <= trail && (p[k] & 0xC0) == 0x80; ++k)
            code = code << 6 | (p[k] & 0x3Fu);
        static const uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000}; // shorter forms are not UTF-8
        bool surrogate = code >= 0xD800 && code < 0xE000;
        if (k <= trail || code < kLeast[trail] || code > 0x10FFFF || surrogate) {
            *o++ = 0xFFFD;
            ++p;
            continue;
        }
        if (code >= 0x10000) {
            *o++ = (tvm_char)(0xD800 + ((code - 0x10000) >> 10));
            *o++ = (tvm_char)(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            *o++ = (tvm_char)code;
        }
        p += trail + 1;
    }
    return (size_t)(o - out);
}

std::u16string native_widen(const std::string &bytes)
{
    std::u16string wide(bytes.size(), u'\0');
    wide.resize(native_widen(&wide[0], bytes.data(), bytes.size()));
    return wide;
}

static bool same_bytes(const void *a, const void *b, size_t n) { return n == 0 || memcmp(a, b, n) == 0; }

static bool same_layer(const NativeLayer &a, const NativeLayer &b)
{
    return a.name == b.name && a.children.size() == b.children.size() && a.on == b.on &&
           same_bytes(&a.material, &b.material, sizeof a.material) &&
           same_bytes(a.attributes, b.attributes, sizeof a.attributes) && a.transparency == b.transparency &&
           same_bytes(&a.pointSize, &b.pointSize, sizeof(float)) && same_bytes(&a.translate, &b.translate, sizeof(TvmVector)) &&
           same_bytes(&a.rotate, &b.rotate, sizeof(TvmVector)) && same_bytes(&a.scale, &b.scale, sizeof(TvmVector)) &&
           a.rotationOrder == b.rotationOrder && a.transformOrder == b.transformOrder &&
           same_bytes(&a.nearLimit, &b.nearLimit, sizeof(float)) && same_bytes(&a.farLimit, &b.farLimit, sizeof(float)) &&
           same_bytes(a.stageCalls, b.stageCalls, sizeof a.stageCalls) && a.faces.size() == b.faces.size() &&
           a.vertices.size() == b.vertices.size() && a.mode == b.mode && a.geometryCalls == b.geometryCalls &&
           same_bytes(a.faces.data(), b.faces.data(), a.faces.size() * sizeof(TvmFace)) &&
           same_bytes(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(TvmVertex));
}

bool native_same_tree(const NativeBuilder &a, const NativeBuilder &b)
{
    if (a.layers.size() != b.layers.size() || a.tops.size() != b.tops.size() || a.textures != b.textures ||
        a.textureOptions != b.textureOptions || a.percents != b.percents)
        return false;
    for (size_t i = 0; i < a.layers.size(); ++i) {
        const NativeLayer &x = *a.layers[i], &y = *b.layers[i];
        if (!same_layer(x, y))
            return false;
        // Stages hold the owner layer's address: compare them with the owner left out.
        for (int s = 0; s < 4; ++s) {
            TvmStage sx = x.stages[s], sy = y.stages[s];
            if ((sx.owner == nullptr) != (sy.owner == nullptr))
                return false;
            sx.owner = sy.owner = nullptr;
            if (!same_bytes(&sx, &sy, sizeof sx))
                return false;
        }
    }
    return true;
}

void *native_read(NativeBuilder *builder, void *parent, const std::string &text, int *line)
{
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    TvmSyntax syntax;
    bool ok = tvm_check_syntax(bytes.data(), text.size(), &syntax);
    if (line)
        *line = ok ? 0 : syntax.line;
    if (!ok)
        return nullptr;
    return tvm_read_text(builder, parent, bytes.data(), syntax.length, syntax.braces, native_widen);
}

void *native_read_wide(NativeBuilder *builder, void *parent, const std::string &text, int *line)
{
    std::u16string wide = native_widen(text);
    TvmSyntax syntax;
    bool ok = tvm_syntax_pass(&wide[0], &syntax);
    if (line)
        *line = ok ? 0 : syntax.line;
    if (!ok)
        return nullptr;
    return tvm_read_text(builder, parent, wide.c_str(), syntax.length, syntax.braces);
}
