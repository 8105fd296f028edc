// Text model reader: record handlers and the per-body state (see tvm_read.h).
#include "tvm_read.h"

#include <string.h>

#include <vector>

const TvmAttributeWord tvm_attribute_words[5] = {
    {u"BackFace", TVM_PROP_BACK_FACE}, {u"NoFog", TVM_PROP_NO_FOG}, {u"WireFrame", TVM_PROP_WIREFRAME},
    {u"ZNoWrite", TVM_PROP_NO_ZWRITE}, {u"Screen", TVM_PROP_SCREEN},
};

namespace {

enum RecordKind {
    R_UNKNOWN, R_VERTEX, R_FACE, R_LAYER, R_SWITCH, R_MATRIX, R_TRANSLATE, R_ROTATE, R_SCALE, R_RANGE,
    R_COLOR, R_MATERIAL, R_ATTRIBUTE, R_BLEND, R_MODE, R_STAGE, R_INFORMATION, R_COMMENT,
};

struct RecordName {
    const char *name;
    size_t length;
    RecordKind kind;
};

#define RECORD(word, kind) {word, sizeof(word) - 1, kind}
// The most frequent records first.
const RecordName kRecords[] = {
    RECORD("Vertex", R_VERTEX),       RECORD("Face", R_FACE),           RECORD("Layer", R_LAYER),
    RECORD("Stage", R_STAGE),         RECORD("Mode", R_MODE),           RECORD("Material", R_MATERIAL),
    RECORD("Switch", R_SWITCH),       RECORD("Matrix", R_MATRIX),       RECORD("Translate", R_TRANSLATE),
    RECORD("Rotate", R_ROTATE),       RECORD("Scale", R_SCALE),         RECORD("Range", R_RANGE),
    RECORD("Color", R_COLOR),         RECORD("Attribute", R_ATTRIBUTE), RECORD("Blend", R_BLEND),
    RECORD("Information", R_INFORMATION), RECORD("Comment", R_COMMENT),
};
#undef RECORD

template <class Char> bool same_name(const char *word, const Char *name, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if ((Char)word[i] != name[i])
            return false;
    }
    return true;
}

template <class Char> RecordKind record_kind(const Char *name, size_t length)
{
    for (const RecordName &r : kRecords) {
        if (r.length == length && same_name(r.name, name, length))
            return r.kind;
    }
    return R_UNKNOWN;
}

// A name in the file's bytes may hold ignored characters ("Vertex (" reads as "Vertex(").
RecordKind record_kind(const char *name, size_t length)
{
    RecordKind kind = record_kind<char>(name, length);
    if (kind != R_UNKNOWN)
        return kind;
    char word[16];
    size_t kept = 0;
    for (size_t i = 0; i < length; ++i) {
        if (tvm_ignored(name[i]))
            continue;
        if (kept == sizeof word)
            return R_UNKNOWN; // longer than any record name
        word[kept++] = name[i];
    }
    return record_kind<char>(word, kept);
}

// The state of one body being read: its layer and the geometry that is set when it ends.
struct Body {
    void *layer;
    std::vector<TvmFace> faces;
    std::vector<TvmVertex> vertices;
    int stage;      // next texture stage index
    uint32_t mode;  // pending drawing mode, 0 = none
};

template <class Char> class Reader {
public:
    Reader(TvmBuilder *builder, TvmWiden widen, int layersInFile)
        : builder_(builder), widen_(widen), total_(layersInFile) {}

    void *read(void *parent, const Char *text, size_t length);

private:
    void begin(void *layer);
    void finish();
    void *layer_record();
    void handle(RecordKind kind);
    TvmVector vector3() const { return TvmVector{args_.real(1), args_.real(2), args_.real(3), 0.0f}; }

    TvmBuilder *builder_;
    TvmWiden widen_;
    int total_;        // layers in the file
    int created_ = 0;  // layers created so far
    TvmArgs args_;
    std::vector<Body> bodies_; // bodies_[0 .. depth_-1] are open; the rest are kept for reuse
    size_t depth_ = 0;
};

template <class Char> void Reader<Char>::begin(void *layer)
{
    if (depth_ == bodies_.size())
        bodies_.emplace_back();
    Body &body = bodies_[depth_++];
    body.layer = layer;
    body.faces.clear();
    body.vertices.clear();
    body.stage = 0;
    body.mode = 0;
}

template <class Char> void Reader<Char>::finish()
{
    Body &body = bodies_[--depth_];
    if (!body.layer || body.mode == 0 || body.vertices.empty())
        return;
    // A face that names a vertex the body does not have would make the driver read past the
    // layer's vertex buffer: such faces are dropped.
    const size_t vertexCount = body.vertices.size();
    size_t kept = 0;
    for (const TvmFace &f : body.faces) {
        if (f.index[0] < vertexCount && f.index[1] < vertexCount && f.index[2] < vertexCount)
            body.faces[kept++] = f;
    }
    body.faces.resize(kept);
    builder_->set_geometry(body.layer, body.faces.data(), (int)kept, body.vertices.data(), (int)vertexCount,
                           body.mode);
}

template <class Char> void *Reader<Char>::layer_record()
{
    ++created_;
    long long percent = total_ > 0 ? (long long)created_ * 100 / total_ : 100;
    builder_->progress(percent > 100 ? 100 : (int)percent);
    return builder_->create_layer(bodies_[depth_ - 1].layer, args_.string(1));
}

template <class Char> void *Reader<Char>::read(void *parent, const Char *text, size_t length)
{
    const Char *p = text;
    const Char *end = text + length;
    void *last = nullptr;
    begin(parent);
    for (;;) {
        TvmRecord<Char> record;
        if (!tvm_record_name(&p, end, depth_ > 1, &record)) {
            if (depth_ > 1 && p < end) { // the '}' that ends the current layer's body
                finish();
                ++p;
                continue;
            }
            break;
        }
        RecordKind kind = record_kind(record.name, record.nameLength);
        // Vertex and Face, nearly every record of a model, read nothing but reals.
        tvm_record_args(&p, end, &record, &args_, widen_, kind == R_VERTEX || kind == R_FACE);
        if (kind == R_LAYER) {
            void *layer = layer_record();
            if (depth_ == 1 && layer)
                last = layer;
            if (record.body && layer) {
                begin(layer);
                p = record.body;
                continue;
            }
        } else if (bodies_[depth_ - 1].layer) {
            handle(kind);
        }
        if (record.body)
            p = tvm_skip_body(record.body, end);
    }
    while (depth_ > 0)
        finish();
    return last;
}

template <class Char> void Reader<Char>::handle(RecordKind kind)
{
    Body &body = bodies_[depth_ - 1];
    void *layer = body.layer;
    switch (kind) {
    case R_VERTEX: {
        TvmVertex v;
        v.position = vector3();
        v.normal = TvmVector{args_.real(4), args_.real(5), args_.real(6), 0.0f};
        for (int set = 0; set < 4; ++set) {
            v.u[set] = args_.real(7 + 2 * set);
            v.v[set] = args_.real(8 + 2 * set);
        }
        v.colour = 0;
        body.vertices.push_back(v);
        break;
    }
    case R_FACE: {
        TvmFace f;
        for (int i = 0; i < 3; ++i)
            f.index[i] = (uint16_t)((uint32_t)tvm_truncate(args_.real(i + 1)) & 0xFFFFu);
        body.faces.push_back(f);
        break;
    }
    case R_SWITCH:
        builder_->switch_layer(layer, tvm_truncate(args_.real(1)) != 0);
        break;
    case R_COLOR:
        builder_->set_property(layer, TVM_PROP_COLOUR, args_.value(1));
        break;
    case R_MATERIAL: {
        TvmMaterial m = {args_.value(1), args_.value(2), args_.real(3), args_.value(4), args_.value(5)};
        builder_->set_property(layer, TVM_PROP_MATERIAL, (uintptr_t)&m);
        break;
    }
    case R_MODE: {
        body.mode = tvm_word_number(tvm_mode_words, args_.string(1));
        float pointSize = args_.real(2);
        builder_->set_property(layer, TVM_PROP_POINT_SIZE, (uintptr_t)&pointSize);
        break;
    }
    case R_STAGE: {
        // A layer has four stages; further Stage records are not loaded at all.
        if (body.stage >= 4)
            break;
        TvmStage stage;
        memset(&stage, 0, sizeof stage);
        stage.blend = tvm_word_number(tvm_blend_words, args_.string(1));
        if (args_.string(2)[0]) {
            int texture = builder_->read_texture(args_.string(2), tvm_truncate(args_.real(3)));
            if (texture) {
                stage.owner = layer;
                stage.texture = texture;
                stage.addressing = tvm_word_number(tvm_address_words, args_.string(4));
                stage.filter = tvm_word_number(tvm_filter_words, args_.string(5));
                stage.mapping = tvm_word_number(tvm_mapping_words, args_.string(6));
                stage.offset = TvmVector{args_.real(7), args_.real(8), 0.0f, 0.0f};
                stage.angles = TvmVector{args_.real(9), 0.0f, 0.0f, 0.0f};
                stage.size = TvmVector{args_.real(10), args_.real(11), 0.0f, 0.0f};
            }
        }
        builder_->set_stage(layer, body.stage++, &stage);
        break;
    }
    case R_TRANSLATE: {
        TvmVector t = vector3();
        builder_->move_layer(layer, &t, nullptr, nullptr, 0);
        break;
    }
    case R_ROTATE: {
        TvmVector r = vector3();
        const tvm_char *word = args_.string(4);
        uint32_t order = word[0] ? tvm_word_number(tvm_rotation_words, word) : 1;
        // An order word the table does not know keeps the layer's order.
        builder_->move_layer(layer, nullptr, &r, nullptr, order == TVM_NO_WORD ? 0 : (int)order);
        break;
    }
    case R_SCALE: {
        TvmVector s = vector3();
        builder_->move_layer(layer, nullptr, nullptr, &s, 0);
        break;
    }
    case R_RANGE:
        builder_->set_range(layer, args_.real(1), args_.real(2));
        break;
    case R_MATRIX: {
        uint32_t order = tvm_word_number(tvm_transform_words, args_.string(1));
        if (order != TVM_NO_WORD)
            builder_->set_transform_order(layer, (int)order);
        break;
    }
    case R_ATTRIBUTE:
        for (int i = 1; i <= args_.count && args_.signature[i - 1] == 'S'; ++i) {
            for (const TvmAttributeWord &a : tvm_attribute_words) {
                if (tvm_streq(a.word, args_.string(i))) {
                    builder_->set_property(layer, a.property, 1);
                    break;
                }
            }
        }
        break;
    case R_BLEND: {
        int transparency = tvm_truncate(args_.real(1));
        transparency = transparency < 0 ? 0 : transparency > 255 ? 255 : transparency;
        builder_->set_property(layer, TVM_PROP_TRANSPARENCY, (uintptr_t)transparency);
        break;
    }
    default: // Information, Comment and names the format does not know
        break;
    }
}

} // namespace

void *tvm_read_text(TvmBuilder *builder, void *parent, const char *text, size_t length, int layersInFile,
                    TvmWiden widen)
{
    Reader<char> reader(builder, widen, layersInFile);
    return reader.read(parent, text, length);
}

void *tvm_read_text(TvmBuilder *builder, void *parent, const tvm_char *text, size_t length, int layersInFile)
{
    Reader<tvm_char> reader(builder, nullptr, layersInFile);
    return reader.read(parent, text, length);
}
