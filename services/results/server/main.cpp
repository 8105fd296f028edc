// results-server: the HX-21 benchmark's results service. Opens the database (migrating it), serves
// until SIGTERM or SIGINT, then finishes the requests in hand and stops.
#include "json_run.h"
#include "options.h"
#include "rate_limit.h"
#include "routes.h"
#include "store.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>

using namespace results;

namespace {

constexpr int kListenBacklog = 1024;      // httplib's own is 5: a burst of new connections would wait seconds
constexpr time_t kKeepAliveSeconds = 2;   // an idle keep-alive connection holds a thread this long
constexpr size_t kKeepAliveRequests = 1000;
constexpr time_t kReadSeconds = 5, kWriteSeconds = 5;

std::string served_address(const ServerOptions &options, int port) {
    std::string host = options.bind == "0.0.0.0" ? "127.0.0.1" : options.bind == "::" ? "::1" : options.bind;
    if (host.find(':') != std::string::npos)
        host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(port) + "/";
}

} // namespace

int main(int argc, char **argv) {
    ServerOptions options;
    if (auto error = parse_server_options(std::vector<std::string>(argv + 1, argv + argc), options)) {
        std::fprintf(stderr, "results-server: %s\n\n%s", error->c_str(), server_usage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(server_usage().c_str(), stdout);
        return 0;
    }

    // Only the waiting thread below takes the stop signals; every other thread (the server's pool
    // included) starts with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<Store> store;
    try {
        // One connection per server thread; one more for the pages that need two queries at once.
        store = open_store(options.db, options.threads + 1);
    } catch (const StoreError &error) {
        std::fprintf(stderr, "results-server: %s\n", error.what());
        return 1;
    }
    RateLimiter limiter(options.rateLimit);

    httplib::Server server;
    int listening = -1;
    server.set_socket_options([&listening](socket_t sock) {
        int on = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        listening = sock;
    });
    server.new_task_queue = [&options] { return new httplib::ThreadPool(options.threads); };
    server.set_tcp_nodelay(true);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_keep_alive_max_count(kKeepAliveRequests);
    server.set_read_timeout(kReadSeconds, 0);
    server.set_write_timeout(kWriteSeconds, 0);
    server.set_payload_max_length(kResultFileLimit);
    install_routes(server, *store, limiter, options);

    int port = options.port;
    bool bound = port == 0 ? (port = server.bind_to_any_port(options.bind)) > 0 : server.bind_to_port(options.bind, port);
    if (!bound) {
        std::fprintf(stderr, "results-server: cannot listen on %s port %d (in use, or not an address of this machine)\n",
                     options.bind.c_str(), options.port);
        return 1;
    }
    if (listening >= 0)
        listen(listening, kListenBacklog); // a second listen() only enlarges the queue

    std::thread stopper([&server, &stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    std::printf("results-server: serving %s (database %s)\n", served_address(options, port).c_str(),
                store->describe().c_str());
    std::fflush(stdout);
    bool served = server.listen_after_bind();
    if (!served)
        kill(getpid(), SIGTERM); // wakes the waiting thread
    stopper.join();
    store.reset();
    std::printf("results-server: stopped\n");
    return served ? 0 : 1;
}
