// Fuzzes the reading of the result address: any query either becomes a run whose values pass their
// own checks again, or is refused with a reason.
#include "address_run.h"
#include "fields.h"
#include "utf8.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string query(reinterpret_cast<const char *>(data), size);
    results::Run run;
    std::optional<std::string> error = results::run_from_address(query, run);
    if (error) {
        if (error->empty())
            std::abort();
        return 0;
    }
    for (const auto &[key, value] : run.pc)
        if (results::pc_value_error(key, value) || !results::valid_utf8(value))
            std::abort();
    if (run.addressKey.size() != 64)
        std::abort();
    return 0;
}
