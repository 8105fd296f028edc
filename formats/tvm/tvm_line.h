// Text model writer lines: a record name with its arguments formatted by signature letter, the
// indentation and CR LF. Portable code: no Windows headers.
#pragma once

#include "tvm_text.h"

enum {
    TVM_LINE_LIMIT = 253,     // characters of a written line, indentation included, CR LF not
    TVM_CONTENT_CHARS = 512,  // room for one record without indentation
    TVM_REAL_CHARS = 16,      // room that a real formatter may use, terminator included
};

// Writes `value` at `buffer` and returns the pointer to the terminating 0, or null when the value
// is out of the formatter's range (the engine's TRVX_RealToString).
typedef tvm_char *(*TvmRealFormatter)(tvm_char *buffer, float value);

// Arguments of one record for tvm_format_record: slot i (from 1) serves argument i.
struct TvmOutArgs {
    const tvm_char *strings[TVM_MAX_ARGS];
    uint32_t values[TVM_MAX_ARGS];  // 'H' as #%08X, 'I' as a signed decimal
    float reals[TVM_MAX_ARGS];
};

class TvmLine {
public:
    explicit TvmLine(TvmRealFormatter real) : real_(real) {}

    // A record line: name, "(", the arguments as the signature says, ")". Letters S, H (and X),
    // I and R take the next argument; any other signature character is copied.
    void record(const char *name, const char *signature, const TvmOutArgs &args);
    // A line that is copied as it stands.
    void text(const char *text);
    // A "Layer(name){" line.
    void layer(const tvm_char *name);

    // The finished line: TABs for `level` (fewer when the line would pass TVM_LINE_LIMIT), the
    // content, CR LF and a terminating 0. Valid until the next line is started.
    const tvm_char *finish(int level, size_t *length);

private:
    void ascii(const char *s);
    void put(tvm_char c) { if (length_ < TVM_CONTENT_CHARS) content_[length_++] = c; }
    void string(const tvm_char *s);
    void real(float value);

    TvmRealFormatter real_;
    size_t length_ = 0;
    tvm_char content_[TVM_CONTENT_CHARS];
    tvm_char line_[TVM_LINE_LIMIT + TVM_CONTENT_CHARS + 3];
};
