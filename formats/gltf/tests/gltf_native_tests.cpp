// Native tests of the glTF plug-in's portable half: the coordinate rule and the rotation
// conversion, geometry of every component type and topology, materials and images, and trees
// written and read again.
#include "gltf_export.h"
#include "gltf_frame.h"
#include "gltf_image.h"
#include "gltf_test_files.h"

#include <gtest/gtest.h>
#include <math.h>

#include <random>

namespace {

// The engine's Rotate3D, letter by letter as its documentation gives it: an independent check of
// the angles the reader computes.
void engine_rotate(double v[3], const float angles[3], const char *order)
{
    for (const char *p = order; *p; ++p) {
        const double a = angles[*p - 'X'] * 3.1415927f / 180, s = sin(a), c = cos(a);
        const double x = v[0], y = v[1], z = v[2];
        if (*p == 'X')
            v[1] = y * c - z * s, v[2] = y * s + z * c;
        else if (*p == 'Y')
            v[0] = x * c + z * s, v[2] = z * c - x * s;
        else
            v[0] = x * c - y * s, v[1] = x * s + y * c;
    }
}

// A glTF quaternion turning a glTF vector (column vectors, right-handed).
void quaternion_rotate(const double q[4], double v[3])
{
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double t[3] = {2 * (y * v[2] - z * v[1]), 2 * (z * v[0] - x * v[2]), 2 * (x * v[1] - y * v[0])};
    const double r[3] = {v[0] + w * t[0] + (y * t[2] - z * t[1]), v[1] + w * t[1] + (z * t[0] - x * t[2]),
                         v[2] + w * t[2] + (x * t[1] - y * t[0])};
    v[0] = r[0], v[1] = r[1], v[2] = r[2];
}

void expect_rotation_kept(const double q[4])
{
    const double t[3] = {0, 0, 0}, s[3] = {1, 1, 1};
    SceneLayer layer;
    frame_from_gltf_trs(t, q, s, &layer);
    for (int axis = 0; axis < 3; ++axis) {
        double file[3] = {0, 0, 0};
        file[axis] = 1;
        double turned[3] = {file[0], file[1], file[2]};
        quaternion_rotate(q, turned);
        // The same point in the engine's frame, turned by the engine's angles, is the mirror of the
        // point turned in the file.
        double engine[3] = {file[0], file[1], -file[2]};
        engine_rotate(engine, layer.rotate, "ZXY");
        EXPECT_NEAR(engine[0], turned[0], 2e-6);
        EXPECT_NEAR(engine[1], turned[1], 2e-6);
        EXPECT_NEAR(engine[2], -turned[2], 2e-6);
    }
}

TEST(GltfFrame, QuaternionsBecomeTheSameTurnInRotationOrderZXY)
{
    const double h = sqrt(0.5);
    const double cases[][4] = {{0, 0, 0, 1},  {0, h, 0, h},     {h, 0, 0, h},  {0, 0, h, h},    {0, 1, 0, 0},
                               {1, 0, 0, 0},  {0, 0, 1, 0},     {-h, 0, 0, h}, {0.5, 0.5, 0.5, 0.5},
                               {h, h, 0, 0},  {0, 0, -h, h}};
    for (const auto &q : cases)
        expect_rotation_kept(q);
    std::mt19937 random(28);
    std::normal_distribution<double> normal;
    for (int i = 0; i < 2000; ++i) {
        double q[4] = {normal(random), normal(random), normal(random), normal(random)};
        const double n = sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        for (double &c : q)
            c /= n;
        expect_rotation_kept(q);
    }
    // Gimbal lock: the x angle at +-90 degrees, where y and z share an axis.
    for (double about : {-170.0, -45.0, 0.0, 30.0, 179.0}) {
        const double a = about * M_PI / 360, b = M_PI / 4;
        const double q[4] = {sin(b) * cos(a), cos(b) * sin(a), -sin(b) * sin(a), cos(b) * cos(a)};
        expect_rotation_kept(q);
    }
}

TEST(GltfFrame, TheMirrorKeepsAModelsFrontLeftAndUp)
{
    // A glTF node half a turn about Y and 5 m in front (+Z): in the engine it stands 5 m towards -Z
    // (where the engine's models face) and is turned by 180 degrees.
    const double t[3] = {1, 2, 5}, q[4] = {0, 1, 0, 0}, s[3] = {2, 3, 4};
    SceneLayer layer;
    frame_from_gltf_trs(t, q, s, &layer);
    EXPECT_FLOAT_EQ(layer.translate[0], 1);
    EXPECT_FLOAT_EQ(layer.translate[1], 2);
    EXPECT_FLOAT_EQ(layer.translate[2], -5);
    EXPECT_NEAR(fabs(layer.rotate[1]), 180, 1e-4);
    EXPECT_FLOAT_EQ(layer.scale[2], 4);

    // A triangle facing +Z (counter-clockwise seen from +Z) with normals +Z: the engine's vertices are
    // mirrored, its corners reversed, and the engine's own face normal of the reversed corners is the
    // mirrored normal, -Z.
    TestGltf g;
    const int n = g.mesh_node("front", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2});
    (void)n;
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.text(), &tree, &error)) << error;
    const SceneLayer &l = tree.layers[0];
    ASSERT_EQ(l.indices.size(), 3u);
    EXPECT_FLOAT_EQ(l.vertices[l.indices[1]].position[1], 1); // the file's third corner comes second
    EXPECT_FLOAT_EQ(l.vertices[l.indices[2]].position[0], 1);
    const float *a = l.vertices[l.indices[0]].position, *b = l.vertices[l.indices[1]].position,
                *c = l.vertices[l.indices[2]].position;
    const float nz = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    EXPECT_LT(nz, 0);
    EXPECT_FLOAT_EQ(l.vertices[0].normal[2], -1); // flat normal made from the faces
    EXPECT_FALSE(l.normalsGiven);
}

TEST(GltfFrame, MatricesSplitIntoTheSameMotion)
{
    const double q[4] = {0.1, 0.7, -0.2, 0.67}, t[3] = {3, -4, 7}, s[3] = {1.5, 0.5, 2};
    SceneLayer fromTrs;
    frame_from_gltf_trs(t, q, s, &fromTrs);
    // The same transform as a column-major matrix T R S.
    double r[3][3];
    frame_rotation_matrix(fromTrs.rotate, 1, r); // engine frame; mirror back for the file
    double m[16] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[j * 4 + i] = r[i][j] * s[j] * (((i == 2) != (j == 2)) ? -1 : 1);
    m[12] = t[0], m[13] = t[1], m[14] = t[2], m[15] = 1;
    SceneLayer fromMatrix;
    ASSERT_TRUE(frame_from_gltf_matrix(m, &fromMatrix));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(fromMatrix.translate[i], fromTrs.translate[i], 1e-5);
        EXPECT_NEAR(fromMatrix.rotate[i], fromTrs.rotate[i], 1e-3);
        EXPECT_NEAR(fromMatrix.scale[i], fromTrs.scale[i], 1e-5);
    }
    // A shear has no motion.
    double shear[16] = {1, 0, 0, 0, 0.5, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_FALSE(frame_from_gltf_matrix(shear, &fromMatrix));
}

TEST(GltfFrame, ColoursAndTransparencyTravelExactly)
{
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(frame_linear_to_byte(frame_byte_to_linear((uint8_t)b)), b);
        EXPECT_EQ(frame_transparency_from_alpha(frame_alpha_from_transparency((uint32_t)b)), (uint32_t)b);
    }
    EXPECT_EQ(frame_linear_to_byte(0.5), 188); // a half-bright factor is the colour the modeller showed
}

TEST(GltfGeometry, EveryComponentTypeAndTopologyReads)
{
    TestGltf g;
    // Quantised positions: unsigned shorts, and normalised signed bytes.
    const uint16_t shorts[] = {0, 0, 0, 2, 0, 0, 0, 2, 0, 2, 2, 0};
    const int8_t bytes[] = {0, 0, 0, 0, 0, 127, 0, 0, 0, 0, 127, 0, -127, 0, 0, 0, 0, 0, -128, 0};
    const uint8_t strip[] = {0, 1, 2, 3};
    const uint32_t fan[] = {0, 1, 3, 2};
    nlohmann::json prims = nlohmann::json::array();
    const int pos16 = g.accessor(g.view(shorts, sizeof shorts), 5123, 4, "VEC3");
    const int pos8 = g.accessor(g.view(bytes, sizeof bytes, 4), 5120, 5, "VEC3", true);
    prims.push_back({{"attributes", {{"POSITION", pos16}}}, {"indices", g.accessor(g.view(strip, 4), 5121, 4, "SCALAR")}, {"mode", 5}});
    prims.push_back({{"attributes", {{"POSITION", pos16}}}, {"indices", g.accessor(g.view(fan, 16), 5125, 4, "SCALAR")}, {"mode", 6}});
    prims.push_back({{"attributes", {{"POSITION", pos8}}}, {"mode", 0}});
    prims.push_back({{"attributes", {{"POSITION", pos8}}}, {"mode", 2}});
    prims.push_back({{"attributes", {{"POSITION", pos8}}}, {"mode", 1}});
    g.doc["meshes"].push_back({{"name", "parts"}, {"primitives", prims}});
    g.node("quantised");
    g.doc["nodes"][0]["mesh"] = 0;
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.glb(), &tree, &error)) << error;
    ASSERT_EQ(tree.layers.size(), 5u); // the node and four pieces; the line list is noted
    const SceneLayer &stripLayer = tree.layers[1], &fanLayer = tree.layers[2], &points = tree.layers[3],
                     &loop = tree.layers[4];
    EXPECT_EQ(stripLayer.name, "parts.1");
    EXPECT_EQ(stripLayer.indices.size(), 6u);
    EXPECT_EQ(fanLayer.indices.size(), 6u);
    EXPECT_FLOAT_EQ(stripLayer.vertices[1].position[1], 2); // corners (0, 2, 1) of the first face
    EXPECT_EQ(points.mode, kSceneModeLines);
    EXPECT_EQ(points.vertices.size(), 5u);
    EXPECT_FLOAT_EQ(points.vertices[1].position[1], 1);    // 127 normalised
    EXPECT_FLOAT_EQ(points.vertices[4].position[2], 1);    // -128 clamps to -1, mirrored
    EXPECT_LT(loop.pointSize, 0);                          // drawn as a line strip
    EXPECT_EQ(loop.vertices.size(), 6u);                   // closed by the first point again
    EXPECT_EQ(scene_skipped_text(tree), "Not shown: line lists.");
    // Every face of the strip and fan faces the same way (the file's faces all face +Z).
    for (const SceneLayer *l : {&stripLayer, &fanLayer})
        for (size_t i = 0; i < l->indices.size(); i += 3) {
            const float *a = l->vertices[l->indices[i]].position, *b = l->vertices[l->indices[i + 1]].position,
                        *c = l->vertices[l->indices[i + 2]].position;
            EXPECT_LT((b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]), 0);
        }
}

TEST(GltfGeometry, ScaledLeafMeshesCarryTheirScaleInTheirVertices)
{
    // A quantised mesh's dequantising scale would reach the driver's lighting as short normals.
    TestGltf g;
    const int a = g.mesh_node("scaled", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2});
    g.doc["nodes"][(size_t)a]["scale"] = {2, 2, -2};
    const int b = g.mesh_node("kept", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2});
    g.doc["nodes"][(size_t)b]["scale"] = {2, 2, 2};
    g.doc["nodes"][(size_t)b]["extras"] = {{"trvx", {{"on", 1}}}}; // written by the plug-in: kept as it is
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.text(), &tree, &error)) << error;
    const SceneLayer &scaled = tree.layers[0], &kept = tree.layers[1];
    EXPECT_FLOAT_EQ(scaled.scale[2], 1);
    float widest = 0;
    for (const SceneVertex &v : scaled.vertices)
        widest = fmaxf(widest, v.position[0]);
    EXPECT_FLOAT_EQ(widest, 2);
    EXPECT_FLOAT_EQ(scaled.vertices[0].normal[2], -1); // unit length again, the mirror in the normal
    EXPECT_FLOAT_EQ(kept.scale[0], 2);
}

TEST(GltfGeometry, LargeMeshesSplitIntoPiecesOf16BitIndices)
{
    const size_t quads = 20000; // 80000 vertices
    std::vector<float> positions;
    std::vector<uint32_t> indices;
    for (size_t q = 0; q < quads; ++q) {
        const float x = (float)q;
        const uint32_t base = (uint32_t)(positions.size() / 3);
        positions.insert(positions.end(), {x, 0, 0, x + 1, 0, 0, x + 1, 1, 0, x, 1, 0});
        indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    std::vector<float> normals(positions.size(), 0);
    for (size_t i = 2; i < normals.size(); i += 3)
        normals[i] = 1;
    TestGltf g;
    nlohmann::json primitive = {
        {"attributes",
         {{"POSITION", g.accessor(g.view(positions.data(), positions.size() * 4), 5126, positions.size() / 3, "VEC3")},
          {"NORMAL", g.accessor(g.view(normals.data(), normals.size() * 4), 5126, normals.size() / 3, "VEC3")}}},
        {"indices", g.accessor(g.view(indices.data(), indices.size() * 4), 5125, indices.size(), "SCALAR")}};
    g.doc["meshes"].push_back({{"name", "big"}, {"primitives", {primitive}}});
    g.node("big");
    g.doc["nodes"][0]["mesh"] = 0;
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.glb(), &tree, &error)) << error;
    size_t vertices = 0, faces = 0;
    ASSERT_EQ(tree.layers.size(), 3u);
    for (size_t i = 1; i < tree.layers.size(); ++i) {
        EXPECT_LE(tree.layers[i].vertices.size(), kSceneMaxVertices);
        vertices += tree.layers[i].vertices.size();
        faces += tree.layers[i].indices.size() / 3;
        EXPECT_FLOAT_EQ(tree.layers[i].vertices[0].normal[2], -1);
    }
    EXPECT_GE(vertices, quads * 4); // shared vertices stay shared, but for a few at the cut
    EXPECT_LE(vertices, quads * 4 + 6);
    EXPECT_EQ(faces, quads * 2);
}

// A small textured model written by the plug-in's writer and read back by its reader.
SceneTree sample_tree()
{
    SceneTree t;
    SceneImage hull;
    hull.name = "hull.bmp";
    hull.bytes = test_bitmap(4, 4, 30, 60, 200);
    hull.mask = test_bitmap(4, 4, 0, 0, 128);
    t.images.push_back(hull);
    SceneLayer root;
    root.name = "HX-21";
    root.rotate[1] = 90;
    root.rotationOrder = 14; // "Y"
    root.translate[2] = -3;
    root.children = {1, 2};
    SceneLayer body;
    body.name = "Body";
    body.mode = kSceneModeTextured1;
    body.hasMaterial = true;
    body.material.diffuse = 0x336699;
    body.material.ambient = 0x112233;
    body.material.specular = 0x808080;
    body.material.dullness = 200;
    body.material.attributes = kSceneAttrBothSides | 0x0002;
    body.stage.image = 0;
    body.stage.addressing = SCENE_CLAMP;
    body.rotate[0] = 10, body.rotate[1] = 20, body.rotate[2] = 30;
    body.rotationOrder = 5; // "XYZ"
    body.scale[0] = -1;     // a mirroring layer
    for (int i = 0; i < 3; ++i) {
        SceneVertex v = {};
        v.position[0] = (float)(i == 1), v.position[1] = (float)(i == 2), v.position[2] = 0.25f;
        v.normal[2] = -1;
        v.u[0] = 0.5f * i, v.v[0] = 0.25f;
        body.vertices.push_back(v);
    }
    body.indices = {0, 1, 2};
    SceneLayer lamp;
    lamp.name = "Lamp";
    lamp.on = false;
    lamp.mode = kSceneModeLines;
    lamp.pointSize = 4;
    lamp.vertices.resize(1);
    lamp.vertices[0].position[1] = 5;
    lamp.hasMaterial = true;
    lamp.material.transparency = 100;
    t.layers = {root, body, lamp};
    t.roots = {0};
    return t;
}

void expect_same_tree(const SceneTree &a, const SceneTree &b)
{
    ASSERT_EQ(a.layers.size(), b.layers.size());
    for (size_t i = 0; i < a.layers.size(); ++i) {
        const SceneLayer &x = a.layers[i], &y = b.layers[i];
        SCOPED_TRACE(x.name);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.on, y.on);
        EXPECT_EQ(x.children, y.children);
        EXPECT_EQ(x.rotationOrder, y.rotationOrder);
        EXPECT_EQ(x.transformOrder, y.transformOrder);
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(x.translate[k], y.translate[k]);
            EXPECT_FLOAT_EQ(x.rotate[k], y.rotate[k]);
            EXPECT_FLOAT_EQ(x.scale[k], y.scale[k]);
        }
        EXPECT_EQ(x.mode, y.mode);
        EXPECT_EQ(x.indices, y.indices);
        ASSERT_EQ(x.vertices.size(), y.vertices.size());
        for (size_t v = 0; v < x.vertices.size(); ++v)
            for (int k = 0; k < 3; ++k)
                EXPECT_FLOAT_EQ(x.vertices[v].position[k], y.vertices[v].position[k]);
        if (x.mode == kSceneModeLines) {
            EXPECT_EQ(x.pointSize, y.pointSize);
        } else if (x.mode) {
            EXPECT_FLOAT_EQ(x.vertices[0].u[0], y.vertices[0].u[0]);
            EXPECT_FLOAT_EQ(x.vertices[0].v[0], y.vertices[0].v[0]);
            EXPECT_FLOAT_EQ(x.vertices[0].normal[2], y.vertices[0].normal[2]);
        }
        if (x.hasMaterial) {
            EXPECT_EQ(x.material.diffuse, y.material.diffuse);
            EXPECT_EQ(x.material.ambient, y.material.ambient);
            EXPECT_EQ(x.material.specular, y.material.specular);
            EXPECT_EQ(x.material.dullness, y.material.dullness);
            EXPECT_EQ(x.material.emissive, y.material.emissive);
            EXPECT_EQ(x.material.transparency, y.material.transparency);
            EXPECT_EQ(x.material.attributes, y.material.attributes);
            EXPECT_EQ(x.stage.image >= 0, y.stage.image >= 0);
            EXPECT_EQ(x.stage.addressing, y.stage.addressing);
        }
    }
}

TEST(GltfRoundTrip, WrittenTreesReadBackTheSameAsGltfAndGlb)
{
    const SceneTree tree = sample_tree();
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "glb" : "gltf");
        std::vector<ExportFile> files;
        std::vector<std::string> skipped;
        std::string error;
        ASSERT_TRUE(gltf_export(tree, binary ? "plane.glb" : "plane.gltf", binary, &files, &skipped, &error)) << error;
        EXPECT_TRUE(skipped.empty());
        ASSERT_EQ(files.size(), binary ? 1u : 3u); // .gltf, .bin and the texture as PNG
        TestFolder folder;
        for (const ExportFile &f : files)
            folder.files[f.name] = f.bytes;
        if (!binary) {
            EXPECT_EQ(files[1].name, "plane.bin");
            EXPECT_EQ(files[2].name, "hull.png");
        }
        SceneTree back;
        ASSERT_TRUE(test_import(files[0].bytes, &back, &error, &folder)) << error;
        expect_same_tree(tree, back);
        // The bitmap's mask became the PNG's alpha: the material blends, and the texture is the file's.
        ASSERT_EQ(back.images.size(), 1u);
        bool alpha = false;
        const SceneImage &img = back.images[0];
        if (binary)
            EXPECT_TRUE(image_check(img.bytes.data(), img.bytes.size(), &alpha));
        else
            EXPECT_EQ(img.file, "hull.png");
        EXPECT_EQ(back.layers[1].material.alpha, SceneMaterial::ALPHA_BLEND);
    }
}

TEST(GltfMaterials, AlphaModesMeetTheEnginesDrawing)
{
    // A 2x1 PNG with alpha 100 and 200 on a MASK material cut at 0.5, and on an OPAQUE material.
    std::vector<uint8_t> png;
    ASSERT_TRUE(image_bitmap_to_png(test_bitmap(2, 1, 0, 0, 255), test_bitmap(2, 1, 0, 0, 100), false, &png));
    TestGltf g;
    g.doc["images"] = {{{"uri", "data:image/png;base64," + base64(png)}}};
    g.doc["textures"] = {{{"source", 0}}};
    g.doc["materials"] = {
        {{"alphaMode", "MASK"}, {"alphaCutoff", 0.5}, {"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}},
        {{"doubleSided", true}, {"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}, {"baseColorFactor", {0.5, 0.5, 0.5, 1}}}}},
        {{"alphaMode", "BLEND"}, {"pbrMetallicRoughness", {{"baseColorFactor", {1, 0, 0, 0.5}}}}},
        {{"alphaMode", "MASK"}, {"pbrMetallicRoughness", {{"baseColorFactor", {1, 1, 1, 0.25}}}}}};
    for (int m = 0; m < 4; ++m)
        g.mesh_node("m" + std::to_string(m), {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, -1, m);
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.text(), &tree, &error)) << error;
    ASSERT_EQ(tree.layers.size(), 4u);
    EXPECT_EQ(tree.layers[0].stage.option, 1); // alpha tested
    EXPECT_EQ(tree.layers[1].stage.option, 0);
    EXPECT_EQ(tree.layers[1].material.attributes, kSceneAttrBothSides);
    EXPECT_EQ(tree.layers[1].material.diffuse, 0xBCBCBCu);
    EXPECT_EQ(tree.layers[1].mode, kSceneModeTextured1);
    EXPECT_EQ(tree.layers[2].material.transparency, 127u);
    EXPECT_EQ(tree.layers[2].material.diffuse, 0x0000FFu);
    EXPECT_EQ(tree.layers[3].material.transparency, 255u); // below its cut-off: not drawn
    ASSERT_EQ(tree.images.size(), 2u);                      // the cut copy and the opaque copy
    for (int i = 0; i < 2; ++i) {
        bool alpha;
        const SceneImage &img = tree.images[(size_t)tree.layers[(size_t)i].stage.image];
        ASSERT_TRUE(image_check(img.bytes.data(), img.bytes.size(), &alpha));
    }
}

TEST(GltfMaterials, MissingAndForeignTexturesAreNotedNotFatal)
{
    TestGltf g;
    g.doc["images"] = {{{"uri", "missing%20file.png"}}, {{"uri", "picture.webp"}}};
    g.doc["textures"] = {{{"source", 0}}, {{"source", 1}}};
    g.doc["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}},
                          {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 1}}}}}}};
    g.mesh_node("a", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, -1, 0);
    g.mesh_node("b", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, -1, 1);
    g.doc["animations"] = {{{"channels", nlohmann::json::array()}, {"samplers", nlohmann::json::array()}}};
    g.doc["nodes"][0]["skin"] = 0;
    g.doc["skins"] = {{{"joints", {1}}}};
    TestFolder folder;
    folder.files["picture.webp"] = {'R', 'I', 'F', 'F'};
    SceneTree tree;
    std::string error;
    ASSERT_TRUE(test_import(g.text(), &tree, &error, &folder)) << error;
    EXPECT_EQ(folder.asked.front(), "missing file.png");
    EXPECT_EQ(tree.layers[0].stage.image, -1);
    EXPECT_EQ(tree.layers[0].mode, kSceneModeSolid);
    EXPECT_EQ(scene_skipped_text(tree), "Not shown: skins, missing texture files, textures that do not decode as "
                                        "PNG or JPEG and 1 animation.");
}

} // namespace
