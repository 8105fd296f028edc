// The service's HTTP routes on a cpp-httplib server: pages, the benchmark's result address and the
// JSON API, each refusal answered with its reason.
#pragma once

#include "options.h"
#include "rate_limit.h"
#include "store.h"

namespace httplib {
class Server;
}

namespace results {

void install_routes(httplib::Server &server, Store &store, RateLimiter &limiter, const ServerOptions &options);

} // namespace results
