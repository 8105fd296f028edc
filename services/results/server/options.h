// The command line of results-server.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace results {

constexpr int kDefaultPort = 8021;

struct ServerOptions {
    int port = kDefaultPort;          // 0: any free port
    std::string bind = "127.0.0.1";
    std::string db = "sqlite:results.db";
    int threads = 16;                 // requests served at once
    int rateLimit = 60;               // submissions an hour per client address; 0: no limit
    bool behindProxy = false;         // the client address is the last X-Forwarded-For entry
    bool help = false;
};

// The options of the arguments (without the program name), or the reason they are refused.
std::optional<std::string> parse_server_options(const std::vector<std::string> &args, ServerOptions &options);
// What --help prints.
std::string server_usage();

} // namespace results
