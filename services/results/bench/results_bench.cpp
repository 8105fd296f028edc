// results-bench: how many submissions a second results-server keeps with nothing lost, how long one
// takes (the 99th percentile), and how fast the leaderboard answers over a million runs. It starts
// the server itself on a free port over the database it is given, and prints figures a script can
// read ("name: value" lines).
#include "load.h"
#include "runs.h"
#include "store.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

using namespace results_bench;

namespace {

struct Options {
    std::string db;                 // empty: a new SQLite file
    std::string server = RESULTS_SERVER_PATH;
    int submissions = 20000;        // of each kind (result files, addresses)
    int clients = 8;
    int threads = 16;
    long long fill = 1000000;
    int pageRequests = 200;
};

const char kUsage[] =
    "usage: results-bench [--db URL] [--submissions N] [--clients N] [--threads N] [--fill N] [--server PATH]\n"
    "  --db URL         an empty database (default: a new SQLite file in a temporary folder)\n"
    "  --submissions N  result files and as many addresses to send (default 20000 each; one in ten refused)\n"
    "  --clients N      client threads on keep-alive connections (default 8)\n"
    "  --threads N      the server's threads (default 16)\n"
    "  --fill N         runs in the database before the leaderboard is timed (default 1000000)\n";

struct Server {
    pid_t pid = -1;
    int port = 0;
};

Server start_server(const Options &o, const std::string &db) {
    int pipes[2];
    if (pipe(pipes) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipes[0]);
    std::vector<std::string> args = {o.server, "--db", db, "--port", "0", "--rate-limit", "0", "--threads",
                                     std::to_string(o.threads)};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Server server;
    if (posix_spawn(&server.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "results-bench: cannot start %s\n", o.server.c_str());
        std::exit(1);
    }
    close(pipes[1]);
    std::string out;
    char buffer[512];
    const std::string marker = "serving http://127.0.0.1:";
    while (out.find(marker) == std::string::npos || out.find('/', out.find(marker) + marker.size()) == std::string::npos) {
        pollfd p{pipes[0], POLLIN, 0};
        ssize_t n = poll(&p, 1, 60000) > 0 ? read(pipes[0], buffer, sizeof buffer) : 0;
        if (n <= 0) {
            std::fprintf(stderr, "results-bench: the server did not start:\n%s\n", out.c_str());
            std::exit(1);
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    server.port = std::stoi(out.substr(out.find(marker) + marker.size()));
    return server;
}

void stop_server(Server &server) {
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
}

// CPU seconds a process has used so far (user and system), from /proc: on a machine shared with
// other work, the CPU each submission costs is steadier than the wall time.
double cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            user = std::stoll(field);
        else if (i == 15)
            system = std::stoll(field);
    }
    return static_cast<double>(user + system) / sysconf(_SC_CLK_TCK);
}

// Sends the requests and prints the figures; the answers come back for the check.
std::vector<Answer> submit(const char *name, const Server &server, const std::vector<Request> &requests, int clients) {
    double seconds = 0, serverCpu = cpu_seconds(server.pid), clientCpu = cpu_seconds(getpid());
    std::vector<Answer> answers = run_load("127.0.0.1", server.port, requests, clients, seconds);
    serverCpu = cpu_seconds(server.pid) - serverCpu;
    clientCpu = cpu_seconds(getpid()) - clientCpu;
    int accepted = 0, refused = 0, other = 0;
    std::vector<double> ms;
    for (const Answer &a : answers) {
        ms.push_back(a.ms);
        (a.status == 201 ? accepted : a.status == 400 ? refused : other)++;
    }
    Latency l = latency_of(ms);
    std::printf("%s: %zu sent, %d stored (201), %d refused (400), %d other; %.0f submissions/s, %.0f stored/s; "
                "latency p50 %.2f ms, p99 %.2f ms, max %.1f ms\n",
                name, requests.size(), accepted, refused, other, requests.size() / seconds, accepted / seconds, l.p50,
                l.p99, l.max);
    std::printf("%s: CPU per submission %.0f us in the server, %.0f us in the clients (%.1f s of %.1f s wall on %u "
                "processors)\n",
                name, 1e6 * serverCpu / requests.size(), 1e6 * clientCpu / requests.size(), serverCpu + clientCpu,
                seconds, std::thread::hardware_concurrency());
    return answers;
}

// Every stored run must be in the database with its own values; nothing else may be.
bool check_kept(results::Store &store, const std::vector<Answer> &answers, const std::vector<std::string> &models,
                long long before) {
    long long accepted = 0, missing = 0;
    for (size_t i = 0; i < answers.size(); ++i) {
        if (answers[i].status != 201)
            continue;
        ++accepted;
        std::optional<results::StoredRun> run = store.find(std::stoll(answers[i].location.substr(6)));
        if (!run || run->run.value("o") != models[i])
            ++missing;
    }
    long long counted = store.count() - before;
    std::printf("check: %lld stored runs read back, %lld missing or wrong; %lld runs added to the database "
                "(%s)\n",
                accepted - missing, missing, counted, counted == accepted && missing == 0 ? "nothing lost, nothing refused kept" : "MISMATCH");
    return counted == accepted && missing == 0;
}

void time_pages(const Server &server, const std::vector<std::string> &paths, int repeats) {
    for (const std::string &path : paths) {
        std::vector<Request> requests(repeats, Request{false, path, ""});
        double seconds = 0;
        run_load("127.0.0.1", server.port, {Request{false, path, ""}}, 1, seconds); // warm the caches
        std::vector<Answer> answers = run_load("127.0.0.1", server.port, requests, 1, seconds);
        std::vector<double> ms;
        int bad = 0;
        for (const Answer &a : answers) {
            ms.push_back(a.ms);
            bad += a.status != 200;
        }
        Latency l = latency_of(ms);
        std::printf("page %s: p50 %.2f ms, p99 %.2f ms, max %.1f ms%s\n", path.c_str(), l.p50, l.p99, l.max,
                    bad ? " (SOME ANSWERS WERE NOT 200)" : "");
    }
}

} // namespace

int main(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc || arg == "--help") {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
        std::string value = argv[++i];
        if (arg == "--db") o.db = value;
        else if (arg == "--server") o.server = value;
        else if (arg == "--submissions") o.submissions = std::stoi(value);
        else if (arg == "--clients") o.clients = std::stoi(value);
        else if (arg == "--threads") o.threads = std::stoi(value);
        else if (arg == "--fill") o.fill = std::stoll(value);
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    std::string folder;
    if (o.db.empty()) {
        folder = (std::filesystem::temp_directory_path() / "results-bench.XXXXXX").string();
        if (!mkdtemp(folder.data()))
            return 1;
        o.db = "sqlite:" + folder + "/bench.db";
    }
    std::signal(SIGPIPE, SIG_IGN);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is measured, also into a file
    Server server = start_server(o, o.db);
    std::unique_ptr<results::Store> store = results::open_store(o.db, 2);
    std::printf("database: %s; server threads %d, %d clients, %u processors\n", store->describe().c_str(), o.threads,
                o.clients, std::thread::hardware_concurrency());
    bool ok = true;

    // Result files (one in ten with a wrong total), then result addresses, each run unique.
    std::vector<Request> files, addresses;
    std::vector<std::string> fileModels, addressModels;
    for (int i = 0; i < o.submissions; ++i) {
        bool refused = i % 10 == 9;
        files.push_back({true, "/api/runs", refused ? refused_file(i) : result_file(i)});
        fileModels.push_back("Bench " + std::to_string(i));
        uint64_t n = 10000000 + i;
        addresses.push_back({false, refused ? address_path(n) + "&c=fast" : address_path(n), ""});
        addressModels.push_back("Bench " + std::to_string(n));
    }
    long long before = store->count();
    ok &= check_kept(*store, submit("submit result file", server, files, o.clients), fileModels, before);
    before = store->count();
    ok &= check_kept(*store, submit("submit address", server, addresses, o.clients), addressModels, before);

    // Fill to the size the leaderboard is timed at.
    auto fillStart = std::chrono::steady_clock::now();
    const long long kBatch = 20000;
    for (long long have = store->count(); have < o.fill;) {
        std::vector<results::Run> batch;
        for (long long i = 0; i < kBatch && have + i < o.fill; ++i)
            batch.push_back(filler_run(static_cast<uint64_t>(have + i)));
        store->import(batch);
        have += static_cast<long long>(batch.size());
        std::fprintf(stderr, "\rfill: %lld of %lld runs", have, o.fill);
    }
    std::fprintf(stderr, "\n");
    std::printf("fill: %lld runs in the database (%.0f s)\n", store->count(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count());

    results::ListQuery middle;
    middle.page = 100;
    std::string middleRun = "/runs/" + std::to_string(store->list(middle).runs.at(0).id);
    time_pages(server,
               {"/", "/?page=200", "/?sort=mode2", "/?chip=GeForce%20FX%205900", "/?chip=RADEON%209800%20PRO&sort=mode1&page=50",
                "/api/runs", middleRun, "/runs/1"},
               o.pageRequests);

    stop_server(server);
    store.reset();
    if (!folder.empty())
        std::filesystem::remove_all(folder);
    std::printf("result: %s\n", ok ? "nothing lost" : "RUNS LOST OR KEPT WRONGLY");
    return ok ? 0 : 1;
}
