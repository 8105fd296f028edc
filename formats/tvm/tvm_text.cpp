// Text model lexer: syntax pass, record splitter, argument reader and word tables (see tvm_text.h).
#include "tvm_text.h"

#include "number_text.h"

#include <limits.h>

#include <string>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// What the syntax pass does with each character. Plain characters, dropped ones and line feeds
// take no branch; only the few that open or close something do.
enum : uint8_t {
    S_KEEP = 1,     // copied
    S_LINE = 2,     // counts a line
    S_SPECIAL = 4,  // handled apart; its kind in the bits above
};
enum : uint8_t { K_QUOTE = 1, K_OPEN_PAREN, K_OPEN_BRACE, K_CLOSE, K_END };

struct SyntaxClasses {
    uint8_t of[256];
};

static constexpr SyntaxClasses make_syntax_classes()
{
    SyntaxClasses t{};
    // Bytes outside ASCII are copied like any other character, as their UTF-16 units would be.
    for (int i = 0; i < 256; ++i)
        t.of[i] = S_KEEP;
    const char dropped[] = " \t\r[]";
    for (int i = 0; dropped[i]; ++i)
        t.of[(unsigned char)dropped[i]] = 0;
    t.of[(unsigned char)'\n'] = S_LINE;
    t.of[0] = S_SPECIAL | K_END << 3;
    t.of[(unsigned char)'"'] = S_SPECIAL | K_QUOTE << 3;
    t.of[(unsigned char)'('] = S_SPECIAL | K_OPEN_PAREN << 3;
    t.of[(unsigned char)'{'] = S_SPECIAL | K_OPEN_BRACE << 3;
    t.of[(unsigned char)')'] = t.of[(unsigned char)'}'] = S_SPECIAL | K_CLOSE << 3;
    return t;
}

static constexpr SyntaxClasses kSyntaxClasses = make_syntax_classes();

static inline uint8_t syntax_class(char c) { return kSyntaxClasses.of[(unsigned char)c]; }
static inline uint8_t syntax_class(tvm_char c) { return c < 256 ? kSyntaxClasses.of[c] : (uint8_t)S_KEEP; }

// White space and [ ]: the syntax pass drops them from a UTF-16 text, and the lexer steps over
// them in the file's bytes. A compacted text holds none.
template <class Char> static inline bool ignored(Char c)
{
    if constexpr (std::is_same<Char, char>::value)
        return (syntax_class(c) & (S_KEEP | S_SPECIAL)) == 0;
    else
        return false;
}

bool tvm_ignored(char c) { return ignored(c); }

template <class Char> static inline const Char *skip_ignored(const Char *p, const Char *end)
{
    while (p < end && ignored(*p))
        ++p;
    return p;
}

template <class Char> bool tvm_syntax_pass(Char *text, TvmSyntax *out)
{
    Char closers[TVM_MAX_DEPTH]; // the character that ends each open level
    int depth = 0;
    int line = 1, braces = 0;
    const Char *r = text;
    Char *w = text;
    bool ok = true;
    for (;;) {
        Char c = *r++;
        uint8_t cls = syntax_class(c);
        *w = c; // the output never runs ahead of the input
        w += cls & S_KEEP;
        line += (cls & S_LINE) >> 1;
        if (!(cls & S_SPECIAL))
            continue;
        uint8_t kind = cls >> 3;
        if (kind == K_END) {
            // A ( or { still open here would make the splitter look past the end of the text.
            ok = depth == 0;
            break;
        }
        if (kind == K_QUOTE) {
            *w++ = c;
            while (*r && *r != '"')
                *w++ = *r++;
            if (!*r) {
                ok = false;
                break;
            }
            *w++ = *r++;
            continue;
        }
        if (kind == K_OPEN_PAREN || kind == K_OPEN_BRACE) {
            if (kind == K_OPEN_BRACE)
                ++braces;
            if (depth == TVM_MAX_DEPTH) {
                ok = false;
                break;
            }
            closers[depth++] = kind == K_OPEN_PAREN ? ')' : '}';
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

static inline bool syntax_mark(char c) { return (syntax_class(c) & S_SPECIAL) != 0; }

// The first character at or after `p` that opens or closes something (a quote, a bracket of
// either kind, a 0), or `end`. Lines of numbers hold few of them: the search takes 16 bytes a step.
static inline const char *next_syntax_mark(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"'), paren = _mm_set1_epi8(')'), one = _mm_set1_epi8(1);
    const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), zero = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        // '(' and ')' differ in the lowest bit only.
        __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(chunk, one), paren), _mm_cmpeq_epi8(chunk, quote));
        marks = _mm_or_si128(marks, _mm_or_si128(_mm_cmpeq_epi8(chunk, open), _mm_cmpeq_epi8(chunk, close)));
        marks = _mm_or_si128(marks, _mm_cmpeq_epi8(chunk, zero));
        if (int mask = _mm_movemask_epi8(marks))
            return p + __builtin_ctz((unsigned)mask);
    }
#endif
    while (p < end && !syntax_mark(*p))
        ++p;
    return p;
}

bool tvm_check_syntax(char *text, size_t length, TvmSyntax *out)
{
    char closers[TVM_MAX_DEPTH];
    int depth = 0, braces = 0;
    const char *end = text + length;
    const char *p = text;
    bool ok;
    for (;;) {
        p = next_syntax_mark(p, end);
        char c = *p;
        if (c == 0) {
            ok = depth == 0;
            break;
        }
        if (c == '"') {
            for (++p; *p && *p != '"'; ++p) {
            }
            if (!*p) {
                ok = false;
                break;
            }
            ++p;
            continue;
        }
        if (c == '(' || c == '{') {
            if (depth == TVM_MAX_DEPTH) {
                ok = false;
                break;
            }
            braces += c == '{';
            closers[depth++] = c == '(' ? ')' : '}';
        } else if (depth > 0) { // stray closers at the top level are plain text
            if (c != closers[depth - 1]) {
                ok = false;
                break;
            }
            --depth;
        }
        ++p;
    }
    // Errors are rare and their line must be counted exactly as the syntax pass counts it (line
    // feeds inside strings do not count): the pass itself finds it.
    if (!ok)
        return tvm_syntax_pass(text, out);
    out->line = 0;
    out->braces = braces;
    out->length = (size_t)(p - text);
    return true;
}

bool tvm_is_ascii(const char *text, size_t length)
{
    unsigned char seen = 0;
    for (size_t i = 0; i < length; ++i)
        seen |= (unsigned char)text[i];
    return seen < 0x80;
}

// Just after the string that starts at the quote `p`, or `end`.
template <class Char> static const Char *skip_string(const Char *p, const Char *end)
{
    for (++p; p < end; ++p) {
        if (*p == '"')
            return p + 1;
    }
    return end;
}

// Characters that open or close groups or strings: the only ones the group scan stops at.
struct GroupMarks {
    bool of[128];
};

static constexpr GroupMarks make_group_marks()
{
    GroupMarks t{};
    t.of[(unsigned char)'"'] = t.of[(unsigned char)'('] = t.of[(unsigned char)')'] = true;
    t.of[(unsigned char)'{'] = t.of[(unsigned char)'}'] = true;
    return t;
}

static constexpr GroupMarks kGroupMarks = make_group_marks();

template <class Char> static inline bool group_mark(Char c)
{
    typedef typename std::make_unsigned<Char>::type Unit;
    Unit u = (Unit)c;
    return u < 128 && kGroupMarks.of[u];
}

// The closing character of the group that opens at `p`, or `end` when it never closes.
template <class Char> static const Char *group_close(const Char *p, const Char *end)
{
    int depth = 0;
    while (p < end) {
        Char c = *p;
        if (!group_mark(c)) {
            ++p;
            continue;
        }
        if (c == '"') {
            p = skip_string(p, end);
            continue;
        }
        if (c == '(' || c == '{') {
            ++depth;
        } else if (--depth == 0) {
            return p;
        }
        ++p;
    }
    return end;
}

template <class Char> static const Char *skip_group(const Char *p, const Char *end)
{
    const Char *close = group_close(p, end);
    return close < end ? close + 1 : end;
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

template <class Char> static int hex_digit(Char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A string argument's characters, the 63rd the last one kept.
static int copy_string(tvm_char *slot, const tvm_char *begin, const tvm_char *end, TvmWiden)
{
    int length = 0;
    for (const tvm_char *p = begin; p < end && length < TVM_STRING_CHARS - 1; ++p)
        slot[length++] = *p;
    return length;
}

// Without a converter bytes widen one to one.
static int copy_string(tvm_char *slot, const char *begin, const char *end, TvmWiden widen)
{
    size_t count = (size_t)(end - begin);
    if (!widen || tvm_is_ascii(begin, count)) {
        int length = 0;
        for (const char *p = begin; p < end && length < TVM_STRING_CHARS - 1; ++p)
            slot[length++] = (tvm_char)(unsigned char)*p;
        return length;
    }
    // No character takes more than four bytes: 256 bytes make at least the 63 units kept, and a
    // character cut at their end lands past those.
    tvm_char wide[256];
    size_t units = widen(wide, begin, count < 256 ? count : 256);
    int length = units < (size_t)TVM_STRING_CHARS - 1 ? (int)units : TVM_STRING_CHARS - 1;
    for (int i = 0; i < length; ++i)
        slot[i] = wide[i];
    return length;
}

// Reads argument `n` at `p` into its slots; returns the first character not used.
template <class Char> static const Char *read_arg(TvmArgs *args, int n, const Char *p, const Char *end, TvmWiden widen)
{
    if (p < end && *p == '"') {
        const Char *first = p + 1, *last = first;
        while (last < end && *last != '"')
            ++last;
        int length = copy_string(args->strings[n], first, last, widen);
        args->strings[n][length] = 0;
        args->signature[n] = 'S';
        args->values[n] = 0;
        args->reals[n] = 0.0f;
        return last < end ? last + 1 : end;
    }
    args->strings[n][0] = 0;
    if (p < end && *p == '#') {
        uint32_t value = 0;
        int digit;
        for (++p; p < end && (digit = hex_digit(*p)) >= 0; ++p)
            value = value * 16u + (uint32_t)digit;
        args->signature[n] = 'H';
        args->values[n] = value;
        args->reals[n] = (float)value;
        return p;
    }
    float value = 0.0f;
    if (p < end) {
        const Char *next = parse_number(&value, p);
        if (next > p && next <= end)
            p = next;
    }
    args->signature[n] = 'R';
    args->reals[n] = value;
    args->values[n] = (uint32_t)tvm_truncate(value);
    return p;
}

static void finish_args(TvmArgs *args, int n)
{
    args->count = n < TVM_MAX_ARGS ? n : TVM_MAX_ARGS;
    args->signature[args->count] = 0;
}

template <class Char> void tvm_read_args(TvmArgs *args, const Char *p, const Char *end, TvmWiden widen)
{
    int n = 0;
    args->count = 0;
    args->signature[0] = 0;
    if (p >= end)
        return;
    for (;;) {
        if (n < TVM_MAX_ARGS)
            p = read_arg(args, n, p, end, widen);
        ++n;
        // Whatever follows an argument up to the next separator is not part of it.
        while (p < end && *p != ',') {
            if (*p == '"')
                p = skip_string(p, end);
            else if (*p == '(' || *p == '{')
                p = skip_group(p, end);
            else
                ++p;
        }
        if (p >= end)
            break;
        ++p;
    }
    finish_args(args, n);
}

// Reads the arguments that start at `p`, just after a record's '(', in the same pass that finds
// the ')' closing them, and returns that close (or `end`) just as group_close would. An argument
// that holds a group of its own is left to the group scan: null.
template <class Char>
static const Char *read_args_to_close(TvmArgs *args, const Char *p, const Char *end, TvmWiden widen)
{
    args->count = 0;
    args->signature[0] = 0;
    if (p >= end || *p == ')' || *p == '}')
        return p < end ? p : end;
    int n = 0;
    for (;;) {
        // Arguments never read past a closing character: strings end before it, numbers stop at it.
        if (n < TVM_MAX_ARGS)
            p = read_arg(args, n, p, end, widen);
        ++n;
        for (;;) {
            if (p >= end) {
                finish_args(args, n);
                return end;
            }
            Char c = *p;
            if (c == ',')
                break;
            if (c == ')' || c == '}') {
                finish_args(args, n);
                return p;
            }
            if (c == '(' || c == '{')
                return nullptr;
            p = c == '"' ? skip_string(p, end) : p + 1;
        }
        ++p;
    }
}

template <class Char> bool tvm_record_name(const Char **cursor, const Char *end, bool nested, TvmRecord<Char> *record)
{
    const Char *p = skip_ignored(*cursor, end);
    const Char *name = p;
    // The name runs to the first '(' of this level; strings and brace groups in it belong to it.
    while (p < end && *p != '(') {
        Char c = *p;
        if (nested && c == '}')
            break;
        if (c == '"')
            p = skip_string(p, end);
        else if (c == '{')
            p = skip_group(p, end);
        else
            ++p;
    }
    if (p >= end || *p != '(') {
        *cursor = p;
        return false;
    }
    record->name = name;
    record->nameLength = (size_t)(p - name);
    record->args = p + 1;
    *cursor = p + 1;
    return true;
}

template <class Char> static inline bool starts_number(Char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

// The reals of a record whose arguments are all plain numbers, and their close; null for anything
// else, which the general reader then takes.
template <class Char> static const Char *read_plain_reals(TvmArgs *args, const Char *p, const Char *end)
{
    // In the file's bytes a number followed by ignored characters and then more of a number (as in
    // "1 5", which reads 15) is left to the general reader.
    for (int n = 0; n < TVM_MAX_ARGS;) {
        p = skip_ignored(p, end);
        if (p >= end || !starts_number(*p))
            return nullptr;
        p = skip_ignored(parse_number(&args->reals[n++], p), end);
        if (p >= end)
            return nullptr;
        if (*p == ',') {
            ++p;
            continue;
        }
        if (*p != ')' && *p != '}')
            return nullptr;
        args->count = n;
        return p;
    }
    return nullptr;
}

// A record's arguments in the file's bytes as the syntax pass would leave them: ignored characters
// outside strings dropped. Only records that are not plain numbers come here, a few per layer.
static std::string compact_args(const char *p, const char *end)
{
    std::string out;
    out.reserve((size_t)(end - p));
    while (p < end) {
        if (*p == '"') {
            const char *after = skip_string(p, end);
            out.append(p, after);
            p = after;
        } else {
            if (!ignored(*p))
                out += *p;
            ++p;
        }
    }
    return out;
}

template <class Char>
void tvm_record_args(const Char **cursor, const Char *end, TvmRecord<Char> *record, TvmArgs *args, TvmWiden widen,
                     bool realsOnly)
{
    const Char *open = record->args - 1;
    const Char *close = realsOnly ? read_plain_reals(args, record->args, end) : nullptr;
    if (!close) {
        if constexpr (std::is_same<Char, char>::value) {
            close = group_close(open, end);
            std::string compacted = compact_args(record->args, close);
            tvm_read_args(args, compacted.data(), compacted.data() + compacted.size(), widen);
        } else {
            close = read_args_to_close(args, record->args, end, widen);
            if (!close) {
                close = group_close(open, end);
                tvm_read_args(args, record->args, close, widen);
            }
        }
    }
    record->argsLength = (size_t)(close - record->args);
    const Char *p = close < end ? close + 1 : end;
    const Char *brace = skip_ignored(p, end);
    record->body = brace < end && *brace == '{' ? brace + 1 : nullptr;
    *cursor = p;
}

template <class Char> const Char *tvm_skip_body(const Char *body, const Char *end)
{
    return skip_group(body - 1, end);
}

template bool tvm_syntax_pass(char *, TvmSyntax *);
template bool tvm_syntax_pass(tvm_char *, TvmSyntax *);
template bool tvm_record_name(const char **, const char *, bool, TvmRecord<char> *);
template bool tvm_record_name(const tvm_char **, const tvm_char *, bool, TvmRecord<tvm_char> *);
template void tvm_record_args(const char **, const char *, TvmRecord<char> *, TvmArgs *, TvmWiden, bool);
template void tvm_record_args(const tvm_char **, const tvm_char *, TvmRecord<tvm_char> *, TvmArgs *, TvmWiden, bool);
template const char *tvm_skip_body(const char *, const char *);
template const tvm_char *tvm_skip_body(const tvm_char *, const tvm_char *);
template void tvm_read_args(TvmArgs *, const char *, const char *, TvmWiden);
template void tvm_read_args(TvmArgs *, const tvm_char *, const tvm_char *, TvmWiden);

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
