// Text model lexer: the syntax check, the record splitter, the argument reader and the word tables
// of the format. The format's syntax is ASCII, so the lexer reads either the file's bytes as they
// stand (Char = char) or a text already widened to UTF-16 (Char = tvm_char); string arguments come
// out as UTF-16 either way. Outside strings the format ignores white space and [ ]: the bytes are
// read with those characters in place, stepping over them, while a UTF-16 text is first compacted
// by the syntax pass. Portable code: no Windows headers, so that it is also built natively for
// unit tests and the fuzzer.
#pragma once

#include <stddef.h>
#include <stdint.h>

// One UTF-16 code unit; the engine's wchar_t on Windows.
typedef char16_t tvm_char;

enum {
    TVM_MAX_ARGS = 14,      // argument slots of each kind
    TVM_STRING_CHARS = 64,  // one string slot, terminator included
    TVM_MAX_DEPTH = 1024,   // nesting of ( and { that the syntax pass accepts
};

// Outcome of the syntax pass.
struct TvmSyntax {
    int line;       // line counter where the pass ended or failed (first line 1)
    int braces;     // number of '{' met: the layer count of the file
    size_t length;  // characters of the compacted text
};

// True when the text is well formed. The text is compacted in place (white space and [ ] outside
// strings dropped) and stays zero-terminated. Fails on a closing character that belongs to another
// level, a string left open, a ( or { left open at the end, and nesting deeper than TVM_MAX_DEPTH.
template <class Char> bool tvm_syntax_pass(Char *text, TvmSyntax *out);

// The same verdict and brace count for the file's bytes, which it leaves as they are when they are
// well formed; `text[length]` is 0, and an earlier 0 ends the text as well (out->length). The line
// is only set on failure, when the bytes are compacted to find it as tvm_syntax_pass does.
bool tvm_check_syntax(char *text, size_t length, TvmSyntax *out);

// True when no byte of the text lies outside ASCII.
bool tvm_is_ascii(const char *text, size_t length);

// One record of a compacted text: name(args){body}. Ranges point into the text.
template <class Char> struct TvmRecord {
    const Char *name;
    size_t nameLength;
    const Char *args;  // inside the parentheses
    size_t argsLength;
    const Char *body;  // just after '{', null when the record has no body
};

// Converts `count` bytes of a string argument, at least one of them outside ASCII, from the file's
// code page to UTF-16 exactly as the engine converts whole texts; `out` has room for `count` units
// (no code page makes more units than bytes). Returns the units written.
typedef size_t (*TvmWiden)(tvm_char *out, const char *bytes, size_t count);

// The argument slots of one record. Argument i (from 1) lands in slot i of every kind; the
// accessors give 0 or an empty string beyond the arguments that were read.
struct TvmArgs {
    int count;                            // arguments stored, at most TVM_MAX_ARGS
    char signature[TVM_MAX_ARGS + 1];     // 'S', 'H' or 'R' per argument, zero-terminated
    tvm_char strings[TVM_MAX_ARGS][TVM_STRING_CHARS];
    uint32_t values[TVM_MAX_ARGS];
    float reals[TVM_MAX_ARGS];

    const tvm_char *string(int i) const { return i >= 1 && i <= count ? strings[i - 1] : u""; }
    uint32_t value(int i) const { return i >= 1 && i <= count ? values[i - 1] : 0; }
    float real(int i) const { return i >= 1 && i <= count ? reals[i - 1] : 0.0f; }
};

// Reads the arguments between `begin` and `end` (the compacted text inside the parentheses).
// Arguments past the fourteenth are skipped and string characters past the 63rd are dropped. Reals
// are read as the engine's TRVX_StringToReal reads them. `widen` converts strings of bytes outside
// ASCII (without it bytes widen one to one); it is not used for UTF-16 text.
template <class Char>
void tvm_read_args(TvmArgs *args, const Char *begin, const Char *end, TvmWiden widen = nullptr);

// Splitting a record is two steps. The first finds the next record's name and its '(' (record->args
// points just after it) and leaves *cursor there. `end` is the end of the text, `nested` says that
// a '}' closes the current body. Returns false at the end of the body or text, leaving *cursor
// there. Text before a '(' that never comes is skipped. In the file's bytes the name starts after
// the ignored characters before it, but may still hold some (tvm_ignored).
template <class Char> bool tvm_record_name(const Char **cursor, const Char *end, bool nested, TvmRecord<Char> *record);

// The second reads the arguments into *args as tvm_read_args does, sets the record's argument length
// and body and moves *cursor past the arguments. A record's body is not consumed: the caller either
// reads it or skips it with tvm_skip_body. With `realsOnly`, for records whose handlers read nothing
// but reals, arguments that are all plain numbers set only the count and the reals.
template <class Char>
void tvm_record_args(const Char **cursor, const Char *end, TvmRecord<Char> *record, TvmArgs *args, TvmWiden widen,
                     bool realsOnly = false);

// The position just after the '}' that closes a body starting at `body`.
template <class Char> const Char *tvm_skip_body(const Char *body, const Char *end);

// True for white space and [ ], which the format ignores outside strings.
bool tvm_ignored(char c);

// A real truncated toward zero, clamped to the int range (NaN gives 0).
int tvm_truncate(float value);

// --- Word tables -------------------------------------------------------------------------------
struct TvmWord {
    const tvm_char *word;
    uint32_t number;
};
struct TvmTable {
    const TvmWord *words;
    int count;
};

extern const TvmTable tvm_mode_words;       // drawing modes
extern const TvmTable tvm_rotation_words;   // rotation orders 1 to 16
extern const TvmTable tvm_transform_words;  // transform orders 1 to 16
extern const TvmTable tvm_blend_words;      // stage blend modes
extern const TvmTable tvm_address_words;    // texture addressing
extern const TvmTable tvm_filter_words;     // texture filters
extern const TvmTable tvm_mapping_words;    // texture mapping kinds

#define TVM_NO_WORD 0xFFFFFFFFu

// The number of the first entry whose word equals `word`, or TVM_NO_WORD.
uint32_t tvm_word_number(const TvmTable &table, const tvm_char *word);
// The word of the first entry with `number`, or null.
const tvm_char *tvm_number_word(const TvmTable &table, uint32_t number);

size_t tvm_strlen(const tvm_char *s);
bool tvm_streq(const tvm_char *a, const tvm_char *b);
