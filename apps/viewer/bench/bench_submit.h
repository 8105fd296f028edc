// Sending a result to the results service: POST <host>/api/runs with the result file's JSON, and
// what the service's answer means.
#pragma once

#include <string>

namespace bench {

struct Submission {
    bool accepted = false;
    std::u16string runAddress; // where the service shows the run
    std::u16string problem;    // why it was not accepted, for the screen and the console
};

// Posts `json` over HTTP or HTTPS with the platform's own client; waits up to about 30 seconds.
Submission submit_result(const std::u16string &host, const std::string &json);

// The service's answer read: 201 (stored) or 200 (stored before) with the run's address in the
// Location header or the body's "url"; anything else a refusal with the body's "error" or the status.
Submission read_answer(int status, const std::string &location, const std::string &body, const std::u16string &host);

} // namespace bench
