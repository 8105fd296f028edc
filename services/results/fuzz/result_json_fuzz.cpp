// Fuzzes the reading of a posted result file: no input crashes it, and an accepted file's values
// pass their own checks again.
#include "fields.h"
#include "json_run.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string body(reinterpret_cast<const char *>(data), size);
    results::Run run;
    if (results::run_from_result_json(body, run))
        return 0;
    for (const auto &[key, value] : run.pc)
        if (results::pc_value_error(key, value))
            std::abort();
    if (!run.modes || run.details.empty() || run.detailsKey.size() != 64)
        std::abort();
    return 0;
}
