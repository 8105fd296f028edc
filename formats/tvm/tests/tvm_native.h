// Native stand-ins for the engine behind the portable text model code: the number conversions
// and a builder that records the tree it is asked to build and checks every call it gets.
#pragma once

#include "tvm_line.h"
#include "tvm_read.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The engine's number conversions (TRVX_StringToReal, TRVX_RealToString) on UTF-16 text.
const tvm_char *native_string_to_real(float *out, const tvm_char *text);
tvm_char *native_real_to_string(tvm_char *buffer, float value);

// A stand-in for a UTF-8 system code page: well-formed sequences decode, every other byte outside
// ASCII becomes U+FFFD. Like every code page whose syntax bytes never belong to another character,
// a string converted alone gives what converting the whole text gives for it.
size_t native_widen(tvm_char *out, const char *bytes, size_t count);
std::u16string native_widen(const std::string &bytes);

struct NativeLayer {
    std::u16string name;
    NativeLayer *parent = nullptr;
    std::vector<NativeLayer *> children;
    bool on = true;
    TvmMaterial material = {0xFFFFFF, 0, 0.0f, 0xFFFFFF, 0};
    int attributes[32] = {};      // by property code
    uint32_t transparency = 0;
    float pointSize = 0;
    TvmVector translate = {0, 0, 0, 0}, rotate = {0, 0, 0, 0}, scale = {1, 1, 1, 0};
    int rotationOrder = 1, transformOrder = 1;
    float nearLimit = 0, farLimit = 0;
    TvmStage stages[4] = {};
    int stageCalls[4] = {};
    std::vector<TvmFace> faces;
    std::vector<TvmVertex> vertices;
    uint32_t mode = 0;
    int geometryCalls = 0;
};

// Records what the reader builds. Any call that the engine would not survive (a layer it never
// made, a stage index past 3, a face past the vertices) aborts, which the fuzzer reports.
class NativeBuilder : public TvmBuilder {
public:
    void *create_layer(void *parent, const tvm_char *name) override;
    void switch_layer(void *layer, bool on) override;
    void set_property(void *layer, int property, uintptr_t value) override;
    void move_layer(void *layer, const TvmVector *translate, const TvmVector *rotate, const TvmVector *scale,
                    int rotationOrder) override;
    void set_range(void *layer, float nearLimit, float farLimit) override;
    void set_transform_order(void *layer, int order) override;
    int read_texture(const tvm_char *fileName, int option) override;
    void set_stage(void *layer, int stage, const TvmStage *record) override;
    void set_geometry(void *layer, const TvmFace *faces, int faceCount, const TvmVertex *vertices, int vertexCount,
                      uint32_t mode) override;
    void progress(int percent) override;

    NativeLayer *root();  // a parent layer for reads that need one
    std::vector<std::unique_ptr<NativeLayer>> layers;
    std::vector<NativeLayer *> tops;       // layers created without parent
    std::vector<std::u16string> textures;  // files asked for; slot = index + 1
    std::vector<std::pair<std::u16string, int>> textureOptions;
    std::vector<int> percents;

private:
    NativeLayer *check(void *layer);
    NativeLayer *root_ = nullptr;
    std::unordered_set<const void *> known_;
};

// True when both builders made the same layers in the same order with the same contents.
bool native_same_tree(const NativeBuilder &a, const NativeBuilder &b);

// Syntax check and read of the text's bytes as the plug-in reads a file; returns the read's result,
// or null with *line set when the check failed (*line is 0 otherwise).
void *native_read(NativeBuilder *builder, void *parent, const std::string &text, int *line = nullptr);
// The same through the text widened first (native_widen), as the plug-in reads a file whose
// code page may hide syntax bytes inside its characters.
void *native_read_wide(NativeBuilder *builder, void *parent, const std::string &text, int *line = nullptr);
