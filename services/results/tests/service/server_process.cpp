// Starting and stopping results-server.
#include "server_process.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace results_test {

namespace {

constexpr int kStartSeconds = 60; // a first start migrates the database; sanitizers slow it
constexpr int kStopSeconds = 30;

// The server under test: the checked build beside the test programs (RESULTS_SERVER overrides).
std::string server_path() {
    const char *chosen = std::getenv("RESULTS_SERVER");
    return chosen ? chosen : RESULTS_SERVER_PATH;
}

pid_t spawn(const std::vector<std::string> &args, int &out) {
    int pipes[2];
    if (pipe(pipes) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipes[0]);
    std::vector<std::string> all = {server_path()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipes[1]);
    if (rc != 0) {
        close(pipes[0]);
        throw std::runtime_error("cannot start " + all[0]);
    }
    out = pipes[0];
    return pid;
}

// Reads what is there within the wait; false at the end of the output.
bool read_some(int fd, std::string &into, int waitMs) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0)
        return true;
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    into.append(buffer, static_cast<size_t>(n));
    return true;
}

} // namespace

ServerProcess::ServerProcess(const std::vector<std::string> &options) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"--port", "0"});
    pid_ = spawn(args, out_);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStartSeconds);
    const std::string marker = "serving http://";
    auto ready = [&] {
        size_t at = output_.find(marker);
        return at != std::string::npos && output_.find('\n', at) != std::string::npos;
    };
    while (!ready()) {
        if (!read_some(out_, output_, 100) || std::chrono::steady_clock::now() > deadline) {
            stop();
            throw std::runtime_error("results-server did not start:\n" + output_);
        }
    }
    size_t start = output_.find(marker) + marker.size();
    size_t colon = output_.find(':', start), slash = output_.find('/', colon);
    host_ = output_.substr(start, colon - start);
    port_ = std::stoi(output_.substr(colon + 1, slash - colon - 1));
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0)
        stop();
}

int ServerProcess::stop() {
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStopSeconds);
    while (read_some(out_, output_, 100)) {
        if (std::chrono::steady_clock::now() > deadline) {
            output_ += "\n(the test killed the server: it did not stop within " + std::to_string(kStopSeconds) + " s)\n";
            kill(pid_, SIGKILL);
            deadline = std::chrono::steady_clock::time_point::max();
        }
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    close(out_);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int run_server(const std::vector<std::string> &args, std::string &output) {
    int out;
    pid_t pid = spawn(args, out);
    while (read_some(out, output, 1000)) {
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace results_test
