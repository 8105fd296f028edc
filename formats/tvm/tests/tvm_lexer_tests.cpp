// Native tests of the text model plug-in's portable code: syntax pass, splitter, arguments, word
// tables, record handlers (through a recording builder) and writer lines.
#include "tvm_native.h"

#include <gtest/gtest.h>

#include <math.h>

#include <string>

namespace {

std::u16string widen(const std::string &s) { return std::u16string(s.begin(), s.end()); }

std::string narrow(const tvm_char *s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += (char)s[i];
    return out;
}

struct Pass {
    bool ok;
    TvmSyntax syntax;
    std::string text;
};

// The syntax pass over the bytes as they stand; the pass over the same text widened and the check
// that leaves the bytes in place must agree.
Pass syntax(const std::string &source)
{
    std::string bytes = source;
    Pass p;
    p.ok = tvm_syntax_pass(&bytes[0], &p.syntax);
    p.text = bytes.substr(0, p.syntax.length);

    std::string checked = source;
    TvmSyntax check;
    EXPECT_EQ(tvm_check_syntax(&checked[0], checked.size(), &check), p.ok);
    if (p.ok) {
        EXPECT_EQ(check.braces, p.syntax.braces);
        EXPECT_EQ(check.length, source.find('\0') == std::string::npos ? source.size() : source.find('\0'));
        EXPECT_EQ(checked, source);
    } else {
        EXPECT_EQ(check.line, p.syntax.line);
    }

    std::u16string wide = widen(source);
    TvmSyntax wideSyntax;
    EXPECT_EQ(tvm_syntax_pass(&wide[0], &wideSyntax), p.ok);
    EXPECT_EQ(wideSyntax.line, p.syntax.line);
    EXPECT_EQ(wideSyntax.braces, p.syntax.braces);
    EXPECT_EQ(narrow(wide.c_str(), wideSyntax.length), p.text);
    return p;
}

TvmArgs args(const std::string &inside)
{
    TvmArgs a;
    tvm_read_args(&a, inside.c_str(), inside.c_str() + inside.size(), native_widen);
    return a;
}

TEST(SyntaxPass, CompactsOutsideStringsAndCountsLinesAndBraces)
{
    Pass p = syntax("Layer( \"a b\t[c]\" ) {\r\n\tVertex([1, 2,3],[0,0,1])\r\n\tLayer(\"x\"){}\r\n}\r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.text, "Layer(\"a b\t[c]\"){Vertex(1,2,3,0,0,1)Layer(\"x\"){}}");
    EXPECT_EQ(p.syntax.braces, 2);
    EXPECT_EQ(p.syntax.line, 5);
    // Stray closers at the top level are plain text.
    EXPECT_TRUE(syntax("a)b}c").ok);
}

TEST(SyntaxPass, FailsAtTheLineOfTheWrongCloser)
{
    Pass p = syntax("Layer(\"a\"){\n\tFace(1,2\n}\n)");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 3);
    p = syntax("Layer(\"a\"){\n\n\tx)\n}");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 3);
}

TEST(SyntaxPass, LineBreaksInStringsAreNotCountedAndOpenStringsFail)
{
    Pass p = syntax("Comment(\"two\nlines\")\nx}(");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 2);
    p = syntax("Layer(\"a\"){}\nComment(\"open\n\n");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 2);
}

TEST(SyntaxPass, OpenGroupsAtTheEndFailAtTheLastLine)
{
    Pass p = syntax("(((((");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 1);
    p = syntax("Layer(\"a\"){\r\n\tLayer(\"b\"){\r\n}\r\n");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.syntax.line, 4);
}

TEST(SyntaxPass, DeepNestingIsBoundedNotRecursive)
{
    std::string ok(TVM_MAX_DEPTH, '{');
    ok += std::string(TVM_MAX_DEPTH, '}');
    EXPECT_TRUE(syntax(ok).ok);
    std::string deep(200000, '(');
    deep += std::string(200000, ')');
    EXPECT_FALSE(syntax(deep).ok);
}

TEST(Arguments, KindsSignatureAndSlots)
{
    TvmArgs a = args("\"Velmora CO.,LTD.\",#FF00A0,-12.50x,#ff0000,,7");
    ASSERT_EQ(a.count, 6);
    EXPECT_STREQ(a.signature, "SHRHRR");
    EXPECT_EQ(std::u16string(a.string(1)), u"Velmora CO.,LTD.");
    EXPECT_EQ(a.value(2), 0xFF00A0u);
    EXPECT_FLOAT_EQ(a.real(3), -12.5f);
    EXPECT_EQ(a.value(4), 0u); // lower-case letters end a hexadecimal value
    EXPECT_EQ(a.real(5), 0.0f);
    EXPECT_EQ(a.value(6), 7u);
    // Past the arguments read, every slot reads as empty.
    EXPECT_EQ(a.real(7), 0.0f);
    EXPECT_EQ(a.string(9)[0], 0);
    EXPECT_EQ(args("").count, 0);
}

TEST(Arguments, ExcessArgumentsAndLongStringsAreDropped)
{
    std::string many;
    for (int i = 1; i <= 20; ++i)
        many += (i > 1 ? "," : "") + std::to_string(i);
    TvmArgs a = args(many + ",\"x\"");
    EXPECT_EQ(a.count, TVM_MAX_ARGS);
    EXPECT_EQ(a.real(14), 14.0f);
    EXPECT_EQ(std::string(a.signature), std::string(14, 'R'));

    std::string name(100, 'n');
    a = args("\"" + name + "\",5");
    EXPECT_EQ(tvm_strlen(a.string(1)), (size_t)TVM_STRING_CHARS - 1);
    EXPECT_EQ(a.real(2), 5.0f);
}

TEST(WordTables, EveryWordMapsBothWaysWithTheFormatsSpellings)
{
    const TvmTable *tables[] = {&tvm_mode_words, &tvm_rotation_words, &tvm_transform_words, &tvm_blend_words,
                                &tvm_address_words, &tvm_filter_words, &tvm_mapping_words};
    for (const TvmTable *t : tables) {
        for (int i = 0; i < t->count; ++i) {
            EXPECT_EQ(tvm_word_number(*t, t->words[i].word), t->words[i].number);
            EXPECT_TRUE(tvm_streq(tvm_number_word(*t, t->words[i].number), t->words[i].word));
        }
    }
    EXPECT_EQ(tvm_word_number(tvm_blend_words, u"SUTRACT"), 0x0308u);
    EXPECT_EQ(tvm_word_number(tvm_blend_words, u"SUBTRACT"), TVM_NO_WORD);
    EXPECT_EQ(tvm_word_number(tvm_mapping_words, u"Unkown"), 0u);
    EXPECT_EQ(tvm_word_number(tvm_rotation_words, u"XYZ"), 5u);
    EXPECT_EQ(tvm_word_number(tvm_transform_words, u"TRS"), 6u);
    EXPECT_EQ(tvm_word_number(tvm_mode_words, u"solid"), TVM_NO_WORD);
    EXPECT_EQ(tvm_rotation_words.count, 16);
    EXPECT_EQ(tvm_transform_words.count, 16);
}

TEST(Reader, LayersTopLevelResultAndProgress)
{
    NativeBuilder b;
    void *last = native_read(&b, nullptr, "Layer(\"a\"){}\r\nLayer(\"b\"){Layer(\"c\"){}}\r\n");
    ASSERT_EQ(b.tops.size(), 2u);
    EXPECT_EQ(last, b.tops[1]);
    EXPECT_EQ(b.tops[0]->name, u"a");
    ASSERT_EQ(b.tops[1]->children.size(), 1u);
    EXPECT_EQ(b.tops[1]->children[0]->name, u"c");
    EXPECT_EQ(b.percents, (std::vector<int>{33, 66, 100}));
    // A layer record without any brace still creates its layer; progress stays in range.
    NativeBuilder nb;
    EXPECT_NE(native_read(&nb, nullptr, "Layer(\"solo\")"), nullptr);
    EXPECT_EQ(nb.percents, (std::vector<int>{100}));
}

TEST(Reader, GeometryNeedsModeAndVerticesAndGetsOnlyValidFaces)
{
    NativeBuilder b;
    native_read(&b, nullptr,
                "Layer(\"none\"){Vertex([0,0,0],[0,0,1])Face(0,0,0)}"
                "Layer(\"mesh\"){Mode(\"TEXTURE3\")Face(0,1,2)Face(0,1,7)Face(-1,0,1)"
                "Vertex([1,2,3],[0,0,1])Vertex([1,2,3],[0,1,0],[0.5,0.25],[1,2],[3,4])Vertex([0,0,0],[1,0,0])}");
    EXPECT_EQ(b.tops[0]->geometryCalls, 0);
    NativeLayer *mesh = b.tops[1];
    ASSERT_EQ(mesh->geometryCalls, 1);
    EXPECT_EQ(mesh->mode, 0x80340003u);
    ASSERT_EQ(mesh->faces.size(), 1u);
    ASSERT_EQ(mesh->vertices.size(), 3u);
    const TvmVertex &v0 = mesh->vertices[0], &v1 = mesh->vertices[1];
    EXPECT_EQ(v0.position.z, 3.0f);
    EXPECT_EQ(v0.normal.z, 1.0f);
    EXPECT_EQ(v0.u[0], 0.0f);
    EXPECT_EQ(v1.u[0], 0.5f);
    EXPECT_EQ(v1.v[0], 0.25f);
    EXPECT_EQ(v1.u[2], 3.0f);
    EXPECT_EQ(v1.v[2], 4.0f);
    EXPECT_EQ(v1.u[3], 0.0f);
    EXPECT_EQ(v1.position.w, 0.0f);
}

TEST(Reader, ParentGeometryIsSetAfterItsChildren)
{
    NativeBuilder b;
    native_read(&b, nullptr,
                "Layer(\"p\"){Mode(\"SOLID\")Vertex([0,0,0],[0,0,1])Layer(\"c\"){Mode(\"LINE\",2)Vertex([1,1,1],[0,0,0])}}");
    NativeLayer *p = b.tops[0], *c = p->children[0];
    EXPECT_EQ(p->mode, 0x80140000u);
    EXPECT_EQ(c->mode, 0x80010000u);
    EXPECT_EQ(c->pointSize, 2.0f);
}

TEST(Reader, MotionOrdersAndRange)
{
    NativeBuilder b;
    native_read(&b, nullptr,
                "Layer(\"a\"){Translate(1,-2,3.5)Rotate(10,20,30,\"\")Scale(2,2,2)Matrix(\"TRS\")Range(5,900)}"
                "Layer(\"b\"){Rotate(0,0,0,\"XYZ\")Matrix(\"SRT\")}"
                "Layer(\"c\"){Rotate(1,2,3,\"QQQ\")Matrix(\"QQQ\")}");
    NativeLayer *a = b.tops[0], *bb = b.tops[1], *c = b.tops[2];
    EXPECT_EQ(a->translate.y, -2.0f);
    EXPECT_EQ(a->rotate.z, 30.0f);
    EXPECT_EQ(a->rotationOrder, 1);
    EXPECT_EQ(a->scale.x, 2.0f);
    EXPECT_EQ(a->transformOrder, 6);
    EXPECT_EQ(a->farLimit, 900.0f);
    EXPECT_EQ(bb->rotationOrder, 5);
    EXPECT_EQ(bb->transformOrder, 1);
    // Words the tables do not know keep the orders the layer had.
    EXPECT_EQ(c->rotationOrder, 1);
    EXPECT_EQ(c->transformOrder, 1);
    EXPECT_EQ(c->rotate.y, 2.0f);
}

TEST(Reader, MaterialColourAttributesBlendAndSwitch)
{
    NativeBuilder b;
    native_read(&b, nullptr,
                "Layer(\"a\"){Switch(0)Material(#00112233,#00445566,12,#00778899,#00AABBCC)"
                "Attribute(\"BackFace\",\"Screen\",\"Nope\")Blend(128)}"
                "Layer(\"b\"){Switch(5)Color(#ff0000)Attribute(1,\"NoFog\")Blend(999)}"
                "Layer(\"c\"){Color(#FF0000)Blend(-3)}");
    NativeLayer *a = b.tops[0], *bb = b.tops[1], *c = b.tops[2];
    EXPECT_FALSE(a->on);
    EXPECT_EQ(a->material.specular, 0x445566u);
    EXPECT_EQ(a->material.dullness, 12.0f);
    EXPECT_EQ(a->material.emissive, 0xAABBCCu);
    EXPECT_EQ(a->attributes[TVM_PROP_BACK_FACE], 1);
    EXPECT_EQ(a->attributes[TVM_PROP_SCREEN], 1);
    EXPECT_EQ(a->attributes[TVM_PROP_NO_FOG], 0);
    EXPECT_EQ(a->transparency, 128u);
    EXPECT_TRUE(bb->on);
    EXPECT_EQ(bb->material.diffuse, 0u);
    EXPECT_EQ(bb->attributes[TVM_PROP_NO_FOG], 0); // the scan stops at the number
    EXPECT_EQ(bb->transparency, 255u);
    EXPECT_EQ(c->material.diffuse, 0xFF0000u);
    EXPECT_EQ(c->material.ambient, 0xFF0000u);
    EXPECT_EQ(c->transparency, 0u);
}

TEST(Reader, StagesTakeTheirIndicesEvenWithoutTexture)
{
    NativeBuilder b;
    native_read(&b, nullptr,
                "Layer(\"a\"){Stage(\"ADD\",\"\")Stage(\"SUTRACT\",\"wall.bmp\",3,\"MIRROR\",\"MIPMAPLINEAR\",\"YFACE\","
                "[1,2],45,[8,9])Stage(\"NORMAL\",\"missing.bmp\",0,\"CLAMP\",\"POINT\",\"Unkown\")"
                "Stage(\"MASK\",\"d.bmp\",0,\"REPEAT\",\"LINEAR\",\"Unkown\")Stage(\"BLEND\",\"e.bmp\")}");
    NativeLayer *a = b.tops[0];
    EXPECT_EQ(a->stages[0].blend, 0x0302u);
    EXPECT_EQ(a->stages[0].texture, 0);
    const TvmStage &s1 = a->stages[1];
    EXPECT_EQ(s1.blend, 0x0308u);
    EXPECT_NE(s1.texture, 0);
    EXPECT_EQ(s1.owner, (void *)a);
    EXPECT_EQ(s1.addressing, 1u);
    EXPECT_EQ(s1.filter, 0x201u);
    EXPECT_EQ(s1.mapping, 0x11u);
    EXPECT_EQ(s1.offset.y, 2.0f);
    EXPECT_EQ(s1.angles.x, 45.0f);
    EXPECT_EQ(s1.size.y, 9.0f);
    EXPECT_EQ(b.textureOptions[0].second, 3);
    // The texture that did not load leaves only the blend mode.
    EXPECT_EQ(a->stages[2].blend, 0x0101u);
    EXPECT_EQ(a->stages[2].texture, 0);
    EXPECT_EQ(a->stages[2].owner, nullptr);
    EXPECT_EQ(a->stages[2].addressing, 0u);
    EXPECT_EQ(a->stageCalls[3], 1);
    // A fifth stage is neither loaded nor assigned.
    EXPECT_EQ(b.textures.size(), 3u);
}

TEST(Reader, TopLevelRecordsWithoutParentAreIgnoredAndWithParentApplyToIt)
{
    const std::string text = "Mode(\"SOLID\")Vertex([0,0,0],[0,0,1])Switch(0)Blend(9)Layer(\"a\"){}";
    NativeBuilder b;
    EXPECT_NE(native_read(&b, nullptr, text), nullptr);
    NativeBuilder withParent;
    NativeLayer *root = withParent.root();
    native_read(&withParent, root, text);
    EXPECT_FALSE(root->on);
    EXPECT_EQ(root->geometryCalls, 1);
    EXPECT_EQ(root->children.size(), 1u);
}

TEST(Reader, OddNamesAndBodiesOfOtherRecordsAreSkipped)
{
    NativeBuilder b;
    void *last = native_read(&b, nullptr,
                             "Information(\"T\",\"M\",\"5.0\")Comment(\"x(y){z}\")Face(1,2,3){Layer(\"hidden\"){}}"
                             "Bogus{Layer(\"alsohidden\"){}}(1)Layer(\"a(b)\"){}trailing");
    ASSERT_EQ(b.tops.size(), 1u);
    EXPECT_EQ(b.tops[0]->name, u"a(b)");
    EXPECT_EQ(last, b.tops[0]);
}

// The bytes are read with white space and [ ] in place: wherever they stand outside strings, the
// tree is the one their removal gives.
TEST(Reader, IgnoredCharactersAnywhereOutsideStrings)
{
    const std::string text = "La yer\t(\"a [b]\" ) \r\n {\n Mode ( \"SOL ID\" , 2 )Mode(\"SOLID\",[2 .5])\n"
                             "  Ver[tex]([1 5,-[2],.5 ],\t[0,0\n,1])Vertex(1,2,3)Vertex( 4 , 5 , 6 ) [\n"
                             "Face([0,1,2])Face(1 ,2,0)Face(0,1)\n Scale(1.5.5,2)\n}Layer(\"b\")\n\t{Switch( 0 )}";
    NativeBuilder bytes, widened;
    ASSERT_NE(native_read(&bytes, nullptr, text), nullptr);
    ASSERT_NE(native_read_wide(&widened, nullptr, text), nullptr);
    EXPECT_TRUE(native_same_tree(bytes, widened));
    ASSERT_EQ(bytes.tops.size(), 2u);
    const NativeLayer *a = bytes.tops[0];
    EXPECT_EQ(a->name, u"a [b]");
    EXPECT_EQ(a->pointSize, 2.5f);
    ASSERT_EQ(a->vertices.size(), 3u);
    EXPECT_EQ(a->vertices[0].position.x, 15.0f);
    EXPECT_EQ(a->vertices[0].position.y, -2.0f);
    EXPECT_EQ(a->vertices[0].normal.z, 1.0f);
    EXPECT_EQ(a->vertices[2].position.z, 6.0f);
    EXPECT_EQ(a->faces.size(), 3u);
    EXPECT_FALSE(bytes.tops[1]->on);
}

// The plug-in reads a file's bytes, converting only strings that hold bytes outside ASCII; read
// after widening the whole text first, the same file must build the same tree.
TEST(Reader, BytesAndWidenedTextBuildTheSameTree)
{
    const std::string cut = std::string(62, 'a') + "\xF0\x9F\x98\x80"; // 64 units: cut inside the pair
    std::string longName;
    for (int i = 0; i < 150; ++i)
        longName += i % 3 ? "\xC3\xA9" : "\xE2\x80\x94"; // 350 bytes, cut at 63 units
    const std::string text = "Layer(\"\xE6\xA9\x9F\xE4\xBD\x93\"){\n\tStage(\"NORMAL\",\"" + cut +
                             "\",0,\"REPEAT\",\"LINEAR\",\"XFACE\",[1.5,-2],3,[4,5])\n"
                             "\tMode(\"SOLID\")Vertex([1,2,3],[0,0,1])Face(0,0,0)\n}\n"
                             "Layer(\"x\xC3 \xFF\")\n{Vertex(\"\xE2\x80\x94\",#0A,2)Mode(\"LINE\",2.5)}\n"
                             "Layer(\"" + longName + "\")";
    NativeBuilder bytes, widened;
    ASSERT_NE(native_read(&bytes, nullptr, text), nullptr);
    ASSERT_NE(native_read_wide(&widened, nullptr, text), nullptr);
    EXPECT_TRUE(native_same_tree(bytes, widened));
    ASSERT_EQ(bytes.tops.size(), 3u);
    EXPECT_EQ(bytes.tops[2]->name.size(), 63u);
    EXPECT_EQ(bytes.tops[0]->name, u"\u6A5F\u4F53");
    EXPECT_EQ(bytes.tops[1]->name, u"x\uFFFD \uFFFD");
    ASSERT_EQ(bytes.textures.size(), 1u);
    EXPECT_EQ(bytes.textures[0].size(), 63u);
    EXPECT_EQ(bytes.textures[0].back(), (tvm_char)0xD83D);
    ASSERT_EQ(bytes.tops[1]->vertices.size(), 1u);
    EXPECT_EQ(bytes.tops[1]->vertices[0].position.y, 10.0f); // a string argument reads as 0, hex as its value

    int line = 0, wideLine = 0;
    const std::string bad = "Layer(\"\xE6\xA9\x9F\n\"){\n\xE4\xBD\x93\n)";
    EXPECT_EQ(native_read(&bytes, nullptr, bad, &line), nullptr);
    EXPECT_EQ(native_read_wide(&widened, nullptr, bad, &wideLine), nullptr);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(wideLine, 3);
}

TEST(Lines, SignatureFormattingQuotesAndIndentation)
{
    TvmLine line(native_real_to_string);
    TvmOutArgs a = {};
    a.strings[0] = u"it's \"x\"";
    a.values[1] = 0xAB;
    a.values[2] = (uint32_t)-5;
    a.reals[3] = 1.5f;
    a.reals[4] = 12345678.0f;
    line.record("Rec", "S,H,I,[R,R]", a);
    size_t n;
    const tvm_char *text = line.finish(2, &n);
    EXPECT_EQ(narrow(text, n), "\t\tRec(\"it_s _x_\",#000000AB,-5,[1.5,12345678])\r\n");

    line.layer(u"deep");
    text = line.finish(10000, &n);
    EXPECT_EQ(n, (size_t)TVM_LINE_LIMIT + 2);
    EXPECT_EQ(narrow(text + n - 16, 16), "Layer(\"deep\"){\r\n");
}

TEST(Lines, RealsReadBackThroughTheReaderRules)
{
    TvmLine line(native_real_to_string);
    const float values[] = {0.0f, 1.5f, -0.25f, 123456.7f, 0.001234567f, 999999.0f, 2.0e9f, -3.0e7f};
    for (float v : values) {
        TvmOutArgs a = {};
        a.reals[0] = v;
        line.record("R", "R", a);
        size_t n;
        const tvm_char *text = line.finish(0, &n);
        float back = 0;
        native_string_to_real(&back, text + 2);
        EXPECT_NEAR(back, v, fabsf(v) * 1e-5f + 1e-5f) << narrow(text, n);
    }
}

} // namespace
