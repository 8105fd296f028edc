// Text model lexer: syntax pass, record splitter, argument reader and word tables (see tvm_text.h).
#include "tvm_text.h"

#include <limits.h>

// Character classes of the syntax pass; everything else is copied as it stands.
enum : uint8_t { C_COPY, C_DROP, C_LINE, C_QUOTE, C_OPEN_PAREN, C_OPEN_BRACE, C_CLOSE, C_END };

struct SyntaxClasses {
    uint8_t of[128];
};

static constexpr SyntaxClasses make_syntax_classes()
{
    SyntaxClasses t{};
    t.of[0] = C_END;
    const char dropped[] = " \t\r[]";
    for (int i = 0; dropped[i]; ++i)
        t.of[(unsigned char)dropped[i]] = C_DROP;
    t.of[(unsigned char)'\n'] = C_LINE;
    t.of[(unsigned char)'"'] = C_QUOTE;
    t.of[(unsigned char)'('] = C_OPEN_PAREN;
    t.of[(unsigned char)'{'] = C_OPEN_BRACE;
    t.of[(unsigned char)')'] = t.of[(unsigned char)'}'] = C_CLOSE;
    return t;
}

static constexpr SyntaxClasses kSyntaxClasses = make_syntax_classes();

bool tvm_syntax_pass(tvm_char *text, TvmSyntax *out)
{
    const uint8_t *classes = kSyntaxClasses.of;
    tvm_char closers[TVM_MAX_DEPTH]; // the character that ends each open level
    int depth = 0;
    int line = 1, braces = 0;
    const tvm_char *r = text;
    tvm_char *w = text;
    bool ok = true;
    for (;;) {
        tvm_char c = *r++;
        uint8_t kind = c < 128 ? classes[c] : (uint8_t)C_COPY;
        if (kind == C_COPY) {
            *w++ = c;
            continue;
        }
        if (kind == C_END) {
            // A ( or { still open here would make the splitter look past the end of the text.
            ok = depth == 0;
            break;
        }
        if (kind == C_DROP)
            continue;
        if (kind == C_LINE) {
            ++line;
            continue;
        }
        if (kind == C_QUOTE) {
            *w++ = c;
            while (*r && *r != u'"')
                *w++ = *r++;
            if (!*r) {
                ok = false;
                break;
            }
            *w++ = *r++;
            continue;
        }
        if (kind == C_OPEN_PAREN || kind == C_OPEN_BRACE) {
            if (kind == C_OPEN_BRACE)
                ++braces;
            if (depth == TVM_MAX_DEPTH) {
                ok = false;
                break;
            }
            closers[depth++] = kind == C_OPEN_PAREN ? u')' : u'}';
            *w++ = c;
            continue;
        }
        // A closing character: stray ones at the top level are plain text.
        if (depth > 0) {
            if (c != closers[depth - 1]) {
                ok = false;
                break;
            }
            --depth;
        }
        *w++ = c;
    }
    *w = 0;
    out->line = line;
    out->braces = braces;
    out->length = (size_t)(w - text);
    return ok;
}

// Just after the string that starts at the quote `p`, or `end`.
static const tvm_char *skip_string(const tvm_char *p, const tvm_char *end)
{
    for (++p; p < end; ++p) {
        if (*p == u'"')
            return p + 1;
    }
    return end;
}

// The closing character of the group that opens at `p`, or `end` when it never closes.
static const tvm_char *group_close(const tvm_char *p, const tvm_char *end)
{
    int depth = 0;
    while (p < end) {
        tvm_char c = *p;
        if (c == u'"') {
            p = skip_string(p, end);
            continue;
        }
        if (c == u'(' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u'}') {
            if (--depth == 0)
                return p;
        }
        ++p;
    }
    return end;
}

static const tvm_char *skip_group(const tvm_char *p, const tvm_char *end)
{
    const tvm_char *close = group_close(p, end);
    return close < end ? close + 1 : end;
}

bool tvm_next_record(const tvm_char **cursor, const tvm_char *end, bool nested, TvmRecord *record)
{
    const tvm_char *p = *cursor;
    const tvm_char *name = p;
    // The name runs to the first '(' of this level; strings and brace groups in it belong to it.
    while (p < end && *p != u'(') {
        tvm_char c = *p;
        if (nested && c == u'}')
            break;
        if (c == u'"')
            p = skip_string(p, end);
        else if (c == u'{')
            p = skip_group(p, end);
        else
            ++p;
    }
    if (p >= end || *p != u'(') {
        *cursor = p;
        return false;
    }
    record->name = name;
    record->nameLength = (size_t)(p - name);
    const tvm_char *close = group_close(p, end);
    record->args = p + 1;
    record->argsLength = (size_t)(close - (p + 1));
    p = close < end ? close + 1 : end;
    record->body = p < end && *p == u'{' ? p + 1 : nullptr;
    *cursor = p;
    return true;
}

const tvm_char *tvm_skip_body(const tvm_char *body, const tvm_char *end)
{
    return skip_group(body - 1, end);
}

int tvm_truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value < -2147483648.0f)
        return INT_MIN;
    return (int)value;
}

static int hex_digit(tvm_char c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

void tvm_read_args(TvmArgs *args, const tvm_char *p, const tvm_char *end, TvmRealParser parse)
{
    int n = 0;
    args->count = 0;
    args->signature[0] = 0;
    if (p >= end)
        return;
    for (;;) {
        if (n < TVM_MAX_ARGS) {
            tvm_char *s = args->strings[n];
            s[0] = 0;
            if (p < end && *p == u'"') {
                int length = 0;
                for (++p; p < end && *p != u'"'; ++p) {
                    if (length < TVM_STRING_CHARS - 1)
                        s[length++] = *p;
                }
                s[length] = 0;
                if (p < end)
                    ++p;
                args->signature[n] = 'S';
                args->values[n] = 0;
                args->reals[n] = 0.0f;
            } else if (p < end && *p == u'#') {
                uint32_t value = 0;
                int digit;
                for (++p; p < end && (digit = hex_digit(*p)) >= 0; ++p)
                    value = value * 16u + (uint32_t)digit;
                args->signature[n] = 'H';
                args->values[n] = value;
                args->reals[n] = (float)value;
            } else {
                float value = 0.0f;
                if (p < end) {
                    const tvm_char *next = parse(&value, p);
                    if (next > p && next <= end)
                        p = next;
                }
                args->signature[n] = 'R';
                args->reals[n] = value;
                args->values[n] = (uint32_t)tvm_truncate(value);
            }
        }
        ++n;
        // Whatever follows an argument up to the next separator is not part of it.
        while (p < end && *p != u',') {
            if (*p == u'"')
                p = skip_string(p, end);
            else if (*p == u'(' || *p == u'{')
                p = skip_group(p, end);
            else
                ++p;
        }
        if (p >= end)
            break;
        ++p;
    }
    args->count = n < TVM_MAX_ARGS ? n : TVM_MAX_ARGS;
    args->signature[args->count] = 0;
}

// --- Word tables -------------------------------------------------------------------------------
// The spellings are the format's own ("SUTRACT", "Unkown"); files depend on them.

#define TVM_TABLE(name, ...)                                                   \
    static const TvmWord name##_entries[] = {__VA_ARGS__};                     \
    const TvmTable name = {name##_entries, (int)(sizeof(name##_entries) / sizeof(TvmWord))};

TVM_TABLE(tvm_mode_words, {u"LINE", 0x80010000u}, {u"SOLID", 0x80140000u}, {u"TEXTURE1", 0x80340001u},
          {u"TEXTURE2", 0x80340002u}, {u"TEXTURE3", 0x80340003u}, {u"TEXTURE4", 0x80340004u})
TVM_TABLE(tvm_rotation_words, {u"ZXY", 1}, {u"ZYX", 2}, {u"YXZ", 3}, {u"YZX", 4}, {u"XYZ", 5}, {u"XZY", 6},
          {u"ZX", 7}, {u"ZY", 8}, {u"YX", 9}, {u"YZ", 10}, {u"XY", 11}, {u"XZ", 12}, {u"Z", 13}, {u"Y", 14},
          {u"X", 15}, {u"NoRotate", 16})
TVM_TABLE(tvm_transform_words, {u"SRT", 1}, {u"STR", 2}, {u"RST", 3}, {u"RTS", 4}, {u"TSR", 5}, {u"TRS", 6},
          {u"SR", 7}, {u"ST", 8}, {u"RS", 9}, {u"RT", 10}, {u"TS", 11}, {u"TR", 12}, {u"S", 13}, {u"R", 14},
          {u"T", 15}, {u"NoOrder", 16})
TVM_TABLE(tvm_blend_words, {u"NONE", 0}, {u"SHADE", 0x8000}, {u"NORMAL", 0x0101}, {u"NORMAL_SHADE", 0x8101},
          {u"BLEND", 0x0102}, {u"ADD", 0x0302}, {u"ADDSHADE", 0x8302}, {u"SUTRACT", 0x0308}, {u"MASK", 0x0301},
          {u"MASK_SHADE", 0x8301}, {u"FLASH", 0x0304}, {u"FLASH_COLOR", 0x8304})
TVM_TABLE(tvm_address_words, {u"REPEAT", 0}, {u"MIRROR", 1}, {u"CLAMP", 2})
TVM_TABLE(tvm_filter_words, {u"POINT", 0x100}, {u"LINEAR", 0x200}, {u"ANISOTROPIC", 0x400},
          {u"MIPMAPPOINT", 0x101}, {u"MIPMAPLINEAR", 0x201}, {u"MIPMAPANISOTROPIC", 0x401})
TVM_TABLE(tvm_mapping_words, {u"Unkown", 0}, {u"XFACE", 0x10}, {u"YFACE", 0x11}, {u"ZFACE", 0x12},
          {u"XAXIS", 0x20}, {u"YAXIS", 0x21}, {u"ZAXIS", 0x22})

size_t tvm_strlen(const tvm_char *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

bool tvm_streq(const tvm_char *a, const tvm_char *b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

uint32_t tvm_word_number(const TvmTable &table, const tvm_char *word)
{
    for (int i = 0; i < table.count; ++i) {
        if (tvm_streq(table.words[i].word, word))
            return table.words[i].number;
    }
    return TVM_NO_WORD;
}

const tvm_char *tvm_number_word(const TvmTable &table, uint32_t number)
{
    for (int i = 0; i < table.count; ++i) {
        if (table.words[i].number == number)
            return table.words[i].word;
    }
    return nullptr;
}
