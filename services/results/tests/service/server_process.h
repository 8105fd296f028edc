// results-server started by a test on a free port, as a person starts it, and stopped with SIGTERM.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace results_test {

class ServerProcess {
public:
    // Starts the server built beside the tests with these options (--port 0 is added) and waits for
    // the address it prints. Throws when it does not start.
    explicit ServerProcess(const std::vector<std::string> &options);
    // Stops it if still running.
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    const std::string &host() const { return host_; } // "127.0.0.1"
    int port() const { return port_; }
    // Sends SIGTERM and waits: the exit status, and everything the server printed.
    int stop();
    const std::string &output() const { return output_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string host_, output_;
    int port_ = 0;
};

// Runs the server to completion with these arguments: its exit status and output.
int run_server(const std::vector<std::string> &args, std::string &output);

} // namespace results_test
