// Reading the command line.
#include "options.h"

#include "fields.h"

namespace results {

namespace {

constexpr int kPortLimit = 65535, kThreadLimit = 1024, kRateLimitMax = 100000000;

} // namespace

std::string server_usage() {
    return "usage: results-server [--port N] [--db URL] [options]\n"
           "\n"
           "The HX-21 benchmark's results service: keeps the runs the benchmark sends, ranks them and\n"
           "shows the leaderboard. It prints the address it serves once it is ready and stops cleanly on\n"
           "SIGTERM or Ctrl-C.\n"
           "\n"
           "  --port N          port to listen on (default 8021; 0 takes any free port)\n"
           "  --db URL          the database (default sqlite:results.db):\n"
           "                      sqlite:PATH                      an SQLite file, made when missing\n"
           "                      postgresql://user@host:port/db   a PostgreSQL 15 database; several copies\n"
           "                                                       of the service may share it\n"
           "                    the schema is brought up to date at start\n"
           "  --bind ADDRESS    address to listen on (default 127.0.0.1; 0.0.0.0 for every interface)\n"
           "  --threads N       requests served at once (default 16)\n"
           "  --rate-limit N    submissions an hour from one client address (default 60; 0: no limit)\n"
           "  --behind-proxy    take the client address from the last X-Forwarded-For entry and the\n"
           "                    scheme from X-Forwarded-Proto (only behind a proxy that sets them)\n"
           "  --help            this text\n"
           "\n"
           "Pages: /  (leaderboard)   /runs/ID   /benchmark/post_data.php?a=…&r=…  (the benchmark's button)\n"
           "API:   POST /api/runs (the result file)   GET /api/runs?sort=&chip=&cpu=&os=&page=   GET /api/runs/ID\n";
}

std::optional<std::string> parse_server_options(const std::vector<std::string> &args, ServerOptions &options) {
    options = ServerOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--behind-proxy") {
            options.behindProxy = true;
            continue;
        }
        if (arg != "--port" && arg != "--db" && arg != "--bind" && arg != "--threads" && arg != "--rate-limit")
            return "unknown option " + arg;
        if (i + 1 == args.size())
            return arg + " needs a value";
        const std::string &value = args[++i];
        long long number = 0;
        if (arg == "--db") {
            options.db = value;
        } else if (arg == "--bind") {
            options.bind = value;
        } else if (arg == "--port") {
            if (!parse_decimal(value, 0, kPortLimit, number))
                return "--port takes a port from 0 to " + std::to_string(kPortLimit);
            options.port = static_cast<int>(number);
        } else if (arg == "--threads") {
            if (!parse_decimal(value, 1, kThreadLimit, number))
                return "--threads takes a number from 1 to " + std::to_string(kThreadLimit);
            options.threads = static_cast<int>(number);
        } else {
            if (!parse_decimal(value, 0, kRateLimitMax, number))
                return "--rate-limit takes a number from 0 to " + std::to_string(kRateLimitMax);
            options.rateLimit = static_cast<int>(number);
        }
    }
    return std::nullopt;
}

} // namespace results
