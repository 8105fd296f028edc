// Fuzz target of the text model reader: any bytes through the syntax pass and, when it passes, the
// record splitter, argument reader and record handlers, with a builder that refuses every call the
// engine would not survive. The bytes are read both as they stand and widened first, and both
// reads must build the same tree.
#include "../tests/tvm_native.h"

#include <stdlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    TvmSyntax syntax;
    bool ok = tvm_syntax_pass(bytes.data(), &syntax);
    if (ok && (syntax.length > size || bytes[syntax.length] != 0))
        abort();
    bool asWide = size > 0 && (data[0] & 2);
    NativeBuilder builder, widened;
    void *parent = size > 0 && (data[0] & 1) ? builder.root() : nullptr;
    void *wideParent = parent ? widened.root() : nullptr;
    int line = 0, wideLine = 0;
    void *last = native_read(&builder, parent, text, &line);
    if (!asWide)
        return 0;
    void *wideLast = native_read_wide(&widened, wideParent, text, &wideLine);
    if (line != wideLine || (last == nullptr) != (wideLast == nullptr) || !native_same_tree(builder, widened))
        abort();
    return 0;
}
