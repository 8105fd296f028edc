// Fuzz target of the text model reader: any bytes through the syntax check and, when it passes,
// the record splitter, argument reader and record handlers, with a builder that refuses every call
// the engine would not survive. The check of the bytes as they stand must agree with the pass that
// compacts them; the bytes are read both as they stand and widened and compacted first, and both
// reads must build the same tree.
#include "../tests/tvm_native.h"

#include <stdlib.h>
#include <string.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    std::vector<char> compacted = bytes;
    TvmSyntax syntax, pass;
    bool ok = tvm_check_syntax(bytes.data(), size, &syntax);
    bool passed = tvm_syntax_pass(compacted.data(), &pass);
    if (ok != passed || (ok && syntax.braces != pass.braces) || (!ok && syntax.line != pass.line))
        abort();
    if (ok && (syntax.length != strlen(bytes.data()) || memcmp(bytes.data(), text.data(), size) != 0))
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
