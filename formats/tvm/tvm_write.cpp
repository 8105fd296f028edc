// The text model plug-in's writer half: a layer and its subtree as a text model file, read from the
// engine's layer records and through its exports.
#include "tvm_local.h"

#include "tvm_line.h"

#include <string.h>

#include <new>
#include <string>

namespace {

const uint32_t kDefaultDiffuse = 0xFFFFFF, kDefaultAmbient = 0xFFFFFF;
const size_t kFlushChars = 32768; // wide characters gathered before they are converted and written

tvm_char *engine_real(tvm_char *buffer, float value)
{
    return reinterpret_cast<tvm_char *>(TRVX_RealToString(reinterpret_cast<wchar_t *>(buffer), value));
}

int count_layers(TRVXLAYER layer)
{
    int n = 1;
    for (int i = 0; i < layer->childCount; ++i)
        n += count_layers(layer->children[i]);
    return n;
}

const tvm_char *word_or_empty(const TvmTable &table, uint32_t number)
{
    const tvm_char *word = tvm_number_word(table, number);
    return word ? word : u"";
}

class Writer {
public:
    Writer(tagTRVX *ctx, HANDLE file, int total) : ctx_(ctx), file_(file), total_(total), line_(engine_real) {}

    void header()
    {
        TvmOutArgs a = {};
        a.strings[0] = u"Tarvex3D";
        a.strings[1] = u"Velmora CO.,LTD.";
        a.strings[2] = u"5.0";
        line_.record("Information", "S,S,S", a);
        emit(0);
        a.strings[0] = u"";
        line_.record("Comment", "S", a);
        emit(0);
    }
    void layer(TRVXLAYER layer, int level);
    void flush();

private:
    void emit(int level)
    {
        size_t length;
        const tvm_char *text = line_.finish(level, &length);
        pending_.append(tvm_wide(text), length);
        if (pending_.size() >= kFlushChars)
            flush();
    }
    void record(const char *name, const char *signature, const TvmOutArgs &args, int level)
    {
        line_.record(name, signature, args);
        emit(level);
    }
    const tagTRVXTEXTURE *texture_record(int slot) const;
    void stages(TRVXLAYER layer, int level, int *uvSets);
    void geometry(TRVXLAYER layer, int level, int uvSets);

    tagTRVX *ctx_;
    HANDLE file_;
    int total_;
    int written_ = 0;
    TvmLine line_;
    std::wstring pending_;
};

void Writer::flush()
{
    if (pending_.empty())
        return;
    char *bytes = TRVX_ChangeFromUnicode(ctx_, pending_.c_str());
    if (bytes) {
        DWORD done = 0;
        WriteFile(file_, bytes, (DWORD)strlen(bytes), &done, nullptr);
        TRVX_FreeMemory(ctx_, bytes);
    }
    pending_.clear();
}

const tagTRVXTEXTURE *Writer::texture_record(int slot) const
{
    if (slot <= 0)
        return nullptr;
    return (const tagTRVXTEXTURE *)TRVX_GetInformation(ctx_, 1000 + slot);
}

void Writer::stages(TRVXLAYER layer, int level, int *uvSets)
{
    *uvSets = 0;
    for (int i = 0; i < 4; ++i) {
        const tagTRVXSTAGE &stage = layer->stages[i];
        if (stage.blend == 0)
            break;
        TvmOutArgs a = {};
        a.strings[0] = word_or_empty(tvm_blend_words, stage.blend);
        const tagTRVXTEXTURE *texture = texture_record(stage.texture);
        if (!texture) {
            a.strings[1] = u"";
            record("Stage", "S,S", a, level);
            continue;
        }
        // The texture is named without its folder: it is looked for beside the model.
        tvm_char name[64 + 8];
        size_t n = 0;
        for (size_t k = 0; k < 63 && texture->name[k]; ++k)
            name[n++] = (tvm_char)texture->name[k];
        for (size_t k = 0; k < 7 && texture->extension[k]; ++k)
            name[n++] = (tvm_char)texture->extension[k];
        name[n] = 0;
        a.strings[1] = name;
        a.values[2] = (uint32_t)texture->options;
        a.strings[3] = word_or_empty(tvm_address_words, stage.addressing);
        a.strings[4] = word_or_empty(tvm_filter_words, stage.filter);
        a.strings[5] = word_or_empty(tvm_mapping_words, (uint32_t)stage.mapping);
        if (stage.mapping != 0) {
            a.reals[6] = stage.offset.x;
            a.reals[7] = stage.offset.y;
            a.reals[8] = stage.angles.x;
            a.reals[9] = stage.size.x;
            a.reals[10] = stage.size.y;
            record("Stage", "S,S,I,S,S,S,[R,R],R,[R,R]", a, level);
        } else {
            record("Stage", "S,S,I,S,S,S", a, level);
        }
        *uvSets = i + 1;
    }
}

void Writer::geometry(TRVXLAYER layer, int level, int uvSets)
{
    TvmOutArgs a = {};
    for (int i = 0; i < layer->faceCount; ++i) {
        for (int k = 0; k < 3; ++k)
            a.values[k] = layer->faces[i].index[k];
        record("Face", "I,I,I", a, level);
    }
    static const char *const kVertexSignatures[5] = {
        "[R,R,R],[R,R,R]",
        "[R,R,R],[R,R,R],[R,R]",
        "[R,R,R],[R,R,R],[R,R],[R,R]",
        "[R,R,R],[R,R,R],[R,R],[R,R],[R,R]",
        "[R,R,R],[R,R,R],[R,R],[R,R],[R,R],[R,R]",
    };
    for (int i = 0; i < layer->vertexCount; ++i) {
        const tagTRVXVERTEX &v = layer->vertices[i];
        a.reals[0] = v.position.x;
        a.reals[1] = v.position.y;
        a.reals[2] = v.position.z;
        a.reals[3] = v.normal.x;
        a.reals[4] = v.normal.y;
        a.reals[5] = v.normal.z;
        for (int set = 0; set < uvSets; ++set) {
            a.reals[6 + 2 * set] = v.u[set];
            a.reals[7 + 2 * set] = v.v[set];
        }
        record("Vertex", kVertexSignatures[uvSets], a, level);
    }
}

void Writer::layer(TRVXLAYER layer, int level)
{
    TRVX_SetGage(ctx_, (DWORD)((long long)written_ * 100 / total_));
    ++written_;
    tvm_char name[32];
    for (int i = 0; i < 32; ++i)
        name[i] = i < 31 ? (tvm_char)layer->name[i] : 0;
    line_.layer(name);
    emit(level);
    const int inner = level + 1;
    TvmOutArgs a = {};

    if (!(layer->switchFlags & TRVX_SWITCH_ON)) {
        line_.text("Switch(0)");
        emit(inner);
    }
    if (layer->transformOrder > 1) {
        if (const tvm_char *word = tvm_number_word(tvm_transform_words, (uint32_t)layer->transformOrder)) {
            a.strings[0] = word;
            record("Matrix", "S", a, inner);
        }
    }
    const TRVXVECTOR &t = layer->translate, &r = layer->rotate, &s = layer->scale;
    if (t.x != 0 || t.y != 0 || t.z != 0) {
        a.reals[0] = t.x, a.reals[1] = t.y, a.reals[2] = t.z;
        record("Translate", "R,R,R", a, inner);
    }
    if (r.x != 0 || r.y != 0 || r.z != 0 || layer->rotationOrder > 1) {
        a.reals[0] = r.x, a.reals[1] = r.y, a.reals[2] = r.z;
        a.strings[3] = layer->rotationOrder == 0 ? u"ZXY"
                                                 : word_or_empty(tvm_rotation_words, (uint32_t)layer->rotationOrder);
        record("Rotate", "R,R,R,S", a, inner);
    }
    if (s.x != 1 || s.y != 1 || s.z != 1) {
        a.reals[0] = s.x, a.reals[1] = s.y, a.reals[2] = s.z;
        record("Scale", "R,R,R", a, inner);
    }
    if (layer->nearLimit != 0 || layer->farLimit != 0) {
        a.reals[0] = layer->nearLimit, a.reals[1] = layer->farLimit;
        record("Range", "R,R", a, inner);
    }
    if (layer->diffuse != kDefaultDiffuse || layer->specular != 0 || layer->dullness != 0 ||
        layer->ambient != kDefaultAmbient || layer->emissive != 0) {
        a.values[0] = layer->diffuse;
        a.values[1] = layer->specular;
        a.values[2] = (uint32_t)tvm_truncate(layer->dullness);
        a.values[3] = layer->ambient;
        a.values[4] = layer->emissive;
        record("Material", "H,H,I,H,H", a, inner);
    }
    int flags = 0;
    for (const TvmAttributeWord &w : tvm_attribute_words) {
        if (TRVXL_EXT_Function(ctx_, layer, w.property, 0, 0))
            a.strings[flags++] = w.word;
    }
    if (flags) {
        static const char *const kAttributeSignatures[6] = {"", "S", "S,S", "S,S,S", "S,S,S,S", "S,S,S,S,S"};
        record("Attribute", kAttributeSignatures[flags], a, inner);
    }
    // Any transparency is kept: a file must read back into the same tree.
    DWORD_PTR transparency = TRVXL_EXT_Function(ctx_, layer, TVM_PROP_TRANSPARENCY, 0, 0);
    if (transparency > 0) {
        a.values[0] = (uint32_t)transparency;
        record("Blend", "I", a, inner);
    }
    if (layer->vertexCount > 0 && layer->mode != 0) {
        if (layer->mode == TRVX_MODE_LINES) {
            const float *size = reinterpret_cast<const float *>(
                TRVXL_EXT_Function(ctx_, layer, TVM_PROP_POINT_SIZE, 0, 0));
            a.strings[0] = u"LINE";
            a.reals[1] = size ? *size : 0.0f;
            record("Mode", "S,R", a, inner);
        } else {
            // A mode without a word (the vertex-colour mode) is kept as solid: the geometry
            // would otherwise be lost, and vertex colours are not part of the format.
            const tvm_char *word = tvm_number_word(tvm_mode_words, layer->mode);
            a.strings[0] = word ? word : u"SOLID";
            record("Mode", "S", a, inner);
        }
    }
    int uvSets = 0;
    stages(layer, inner, &uvSets);
    geometry(layer, inner, uvSets);
    for (int i = 0; i < layer->childCount; ++i)
        this->layer(layer->children[i], inner);
    line_.text("}");
    emit(level);
}

} // namespace

DWORD_PTR tvm_write_file(tagTRVX *ctx, TRVXLAYER layer, const wchar_t *fileName)
{
    if (!ctx || !layer || !fileName)
        return 0;
    HANDLE file = CreateFileW(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD_PTR result = 1;
    try {
        Writer writer(ctx, file, count_layers(layer));
        writer.header();
        writer.layer(layer, 0);
        writer.flush();
    } catch (const std::bad_alloc &) {
        result = 0; // the file is incomplete
    }
    CloseHandle(file);
    return result;
}
