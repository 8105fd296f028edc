// The results service's answers.
#include "bench_submit.h"

#include "bench_text.h"

#include <nlohmann/json.hpp>

namespace bench {

namespace {

const int kCreated = 201, kOk = 200;

// "/runs/42" on the service becomes the whole address; a whole address stays as it is.
std::u16string absolute(const std::u16string &host, const std::string &address) {
    std::u16string wide = widen(address);
    if (wide.rfind(u"http://", 0) == 0 || wide.rfind(u"https://", 0) == 0)
        return wide;
    std::u16string base = host;
    while (!base.empty() && base.back() == u'/')
        base.pop_back();
    return base + (wide.empty() || wide[0] != u'/' ? u"/" : u"") + wide;
}

std::string field(const std::string &body, const char *name) {
    nlohmann::json json = nlohmann::json::parse(body, nullptr, false);
    if (json.is_object() && json.contains(name) && json[name].is_string())
        return json[name].get<std::string>();
    return {};
}

} // namespace

Submission read_answer(int status, const std::string &location, const std::string &body, const std::u16string &host) {
    Submission s;
    if (status == kCreated || status == kOk) {
        std::string address = !location.empty() ? location : field(body, "url");
        if (!address.empty()) {
            s.accepted = true;
            s.runAddress = absolute(host, address);
            return s;
        }
        s.problem = u"the service stored the run but did not say where";
        return s;
    }
    std::string reason = field(body, "error");
    s.problem = u"the service answered " + decimal(status) + (reason.empty() ? u"" : u": " + widen(reason));
    return s;
}

} // namespace bench
