// Text model writer lines (see tvm_line.h).
#include "tvm_line.h"

#include <math.h>
#include <string.h>

void TvmLine::ascii(const char *s)
{
    while (*s)
        put((tvm_char)(unsigned char)*s++);
}

void TvmLine::string(const tvm_char *s)
{
    // The format has no escape for quotes: a quote inside a name would end the string early, so
    // both kinds are written as '_'.
    put(u'"');
    for (; s && *s; ++s)
        put(*s == u'"' || *s == u'\'' ? u'_' : *s);
    put(u'"');
}

static void put_decimal(char *out, long long value)
{
    char digits[24];
    int n = 0;
    unsigned long long magnitude = value < 0 ? 0ull - (unsigned long long)value : (unsigned long long)value;
    do {
        digits[n++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *out++ = '-';
    while (n)
        *out++ = digits[--n];
    *out = 0;
}

void TvmLine::real(float value)
{
    tvm_char buffer[TVM_REAL_CHARS];
    if (!(value == value)) {
        put(u'0');
        return;
    }
    // The engine's formatter stops at six digits; larger magnitudes are written as whole numbers,
    // which the reader takes back (its digit counter is 32 bits wide).
    if (fabsf(value) <= 999999.0f) {
        buffer[0] = 0;
        if (tvm_char *end = real_(buffer, value)) {
            for (tvm_char *c = buffer; c < end && c < buffer + TVM_REAL_CHARS; ++c)
                put(*c);
            return;
        }
    }
    double rounded = floor((double)value + 0.5);
    if (rounded > 2147483647.0)
        rounded = 2147483647.0;
    if (rounded < -2147483647.0)
        rounded = -2147483647.0;
    char text[24];
    put_decimal(text, (long long)rounded);
    ascii(text);
}

void TvmLine::record(const char *name, const char *signature, const TvmOutArgs &args)
{
    length_ = 0;
    ascii(name);
    put(u'(');
    int i = 0;
    char text[24];
    for (const char *s = signature; *s; ++s) {
        switch (*s) {
        case 'S':
            if (i < TVM_MAX_ARGS)
                string(args.strings[i]);
            ++i;
            break;
        case 'H':
        case 'X':
            if (i < TVM_MAX_ARGS) {
                static const char kHex[] = "0123456789ABCDEF";
                put(u'#');
                for (int shift = 28; shift >= 0; shift -= 4)
                    put((tvm_char)kHex[(args.values[i] >> shift) & 15u]);
            }
            ++i;
            break;
        case 'I':
            if (i < TVM_MAX_ARGS) {
                put_decimal(text, (int32_t)args.values[i]);
                ascii(text);
            }
            ++i;
            break;
        case 'R':
            if (i < TVM_MAX_ARGS)
                real(args.reals[i]);
            ++i;
            break;
        default:
            put((tvm_char)(unsigned char)*s);
            break;
        }
    }
    put(u')');
}

void TvmLine::text(const char *text)
{
    length_ = 0;
    ascii(text);
}

void TvmLine::layer(const tvm_char *name)
{
    length_ = 0;
    ascii("Layer(");
    string(name);
    ascii("){");
}

const tvm_char *TvmLine::finish(int level, size_t *length)
{
    // Deep trees would push a line past the limit; the reader ignores TABs, so fewer are written.
    size_t room = length_ < TVM_LINE_LIMIT ? TVM_LINE_LIMIT - length_ : 0;
    size_t tabs = level < 0 ? 0 : (size_t)level;
    if (tabs > room)
        tabs = room;
    size_t n = 0;
    for (; n < tabs; ++n)
        line_[n] = u'\t';
    memcpy(line_ + n, content_, length_ * sizeof(tvm_char));
    n += length_;
    line_[n++] = u'\r';
    line_[n++] = u'\n';
    line_[n] = 0;
    *length = n;
    return line_;
}
