// Fuzz target of the text model reader: any bytes through the syntax pass and, when it passes, the
// record splitter, argument reader and record handlers, with a builder that refuses every call the
// engine would not survive.
#include "../tests/tvm_native.h"

#include <stdlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The plug-in sees the file as UTF-16 after the code-page conversion; a byte is one character.
    std::vector<tvm_char> text(size + 1);
    for (size_t i = 0; i < size; ++i)
        text[i] = data[i];
    text[size] = 0;
    TvmSyntax syntax;
    if (!tvm_syntax_pass(text.data(), &syntax))
        return 0;
    if (syntax.length > size || text[syntax.length] != 0)
        abort();
    NativeBuilder builder;
    void *parent = size > 0 && (data[0] & 1) ? builder.root() : nullptr;
    tvm_read_text(&builder, parent, text.data(), syntax.length, syntax.braces, native_string_to_real);
    return 0;
}
