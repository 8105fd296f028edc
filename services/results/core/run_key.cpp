// Keys of runs, through OpenSSL's SHA-256.
#include "run_key.h"

#include <openssl/evp.h>

namespace results {

std::string sha256_hex(const std::string &bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

std::string address_key(const Run &run) {
    // '\n' cannot occur in a value (control characters are refused), so the joined form is unambiguous.
    std::string joined;
    for (const char *key : pc_keys()) {
        auto it = run.pc.find(key);
        joined += key;
        joined += it == run.pc.end() ? "\n" : "=" + it->second + "\n";
    }
    joined += kModesKey;
    if (run.modes) {
        joined += '=';
        for (int k = 0; k < kModeCount; ++k)
            joined += (k ? " " : "") + std::to_string((*run.modes)[k]);
    }
    joined += "\n";
    joined += std::string(kTotalKey) + "=" + std::to_string(run.total);
    return sha256_hex(joined);
}

} // namespace results
