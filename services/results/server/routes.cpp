// Request handlers: read, check, store, answer.
#include "routes.h"

#include "address_run.h"
#include "api.h"
#include "embedded.h"
#include "json_run.h"
#include "pages.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace results {

namespace {

constexpr char kHtml[] = "text/html; charset=utf-8";
constexpr char kJson[] = "application/json; charset=utf-8";
constexpr size_t kHostLimit = 255;

double steady_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string raw_query(const httplib::Request &req) {
    size_t mark = req.target.find('?');
    return mark == std::string::npos ? "" : req.target.substr(mark + 1);
}

bool is_api(const httplib::Request &req) { return req.path.rfind("/api/", 0) == 0; }

void refuse(const httplib::Request &req, httplib::Response &res, int status, const std::string &reason) {
    res.status = status;
    if (is_api(req))
        res.set_content(error_json(reason), kJson);
    else
        res.set_content(refusal_page(status, reason), kHtml);
}

// The "/runs/ID" id, or 0 when it is not one (too long for an id).
int64_t id_of(const std::string &digits) {
    if (digits.size() > 18)
        return 0;
    return std::stoll(digits);
}

class Routes : public std::enable_shared_from_this<Routes> {
public:
    Routes(Store &store, RateLimiter &limiter, const ServerOptions &options)
        : store_(store), limiter_(limiter), options_(options) {}

    void install(httplib::Server &server) {
        // The pages run no script and load nothing but the style sheet: a name that slipped past
        // escaping still could not act.
        server.set_default_headers({{"Content-Security-Policy", "default-src 'none'; style-src 'self'; "
                                                                "form-action 'self'; frame-ancestors 'none'; base-uri 'none'"},
                                    {"X-Content-Type-Options", "nosniff"},
                                    {"Referrer-Policy", "same-origin"}});
        // Every handler holds the routes, so they live as long as the server.
        std::shared_ptr<Routes> self = shared_from_this();
        server.Get("/", [self](const httplib::Request &req, httplib::Response &res) { self->leaderboard(req, res); });
        server.Get("/style.css", [](const httplib::Request &, httplib::Response &res) {
            for (const EmbeddedFile &file : web_asset_files())
                if (std::strcmp(file.name, "style.css") == 0)
                    res.set_content(file.text, "text/css; charset=utf-8");
            res.set_header("Cache-Control", "max-age=3600");
        });
        server.Get(R"(/runs/(\d+))", [self](const httplib::Request &req, httplib::Response &res) { self->run(req, res); });
        server.Get("/benchmark/post_data.php",
                   [self](const httplib::Request &req, httplib::Response &res) { self->submit_address(req, res); });
        server.Post("/api/runs", [self](const httplib::Request &req, httplib::Response &res) { self->submit_file(req, res); });
        server.Get("/api/runs", [self](const httplib::Request &req, httplib::Response &res) { self->leaderboard(req, res); });
        server.Get(R"(/api/runs/(\d+))", [self](const httplib::Request &req, httplib::Response &res) { self->run(req, res); });

        // Errors httplib answers itself (no route, a body too large, a request it cannot read) get a reason too.
        server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request &req, httplib::Response &res) {
            if (!res.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            std::string reason = res.status == 404   ? "there is no page at " + req.path.substr(0, 200)
                                 : res.status == 413 ? "the body is larger than " +
                                                           std::to_string(kResultFileLimit / 1024) + " KiB"
                                 : res.status == 414 ? "the address is longer than this server reads (8192 bytes)"
                                 : res.status == 405 ? "this address does not take that method"
                                                     : "the request could not be read (HTTP " +
                                                           std::to_string(res.status) + ")";
            refuse(req, res, res.status, reason);
            return httplib::Server::HandlerResponse::Handled;
        }));
        server.set_exception_handler([](const httplib::Request &req, httplib::Response &res, std::exception_ptr error) {
            std::string what = "unknown error";
            bool database = false;
            try {
                std::rethrow_exception(error);
            } catch (const StoreError &e) {
                what = e.what();
                database = true;
            } catch (const std::exception &e) {
                what = e.what();
            } catch (...) {
            }
            std::fprintf(stderr, "results-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(), what.c_str());
            refuse(req, res, database ? 503 : 500,
                   database ? "the database cannot be reached; try again later" : "the server failed on this request");
        });
    }

private:
    std::string client_address(const httplib::Request &req) const {
        if (options_.behindProxy && req.has_header("X-Forwarded-For")) {
            std::string chain = req.get_header_value("X-Forwarded-For");
            std::string last = chain.substr(chain.rfind(',') == std::string::npos ? 0 : chain.rfind(',') + 1);
            size_t start = last.find_first_not_of(' '), end = last.find_last_not_of(' ');
            if (start != std::string::npos)
                return last.substr(start, end - start + 1);
        }
        return req.remote_addr;
    }

    // "http://host:port" for links in JSON answers, from the request; "" when the Host header is odd.
    std::string base_url(const httplib::Request &req) const {
        std::string host = req.get_header_value("Host");
        if (host.empty() || host.size() > kHostLimit ||
            host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-:[]") != std::string::npos)
            return "";
        bool https = options_.behindProxy && req.get_header_value("X-Forwarded-Proto") == "https";
        return (https ? "https://" : "http://") + host;
    }

    bool admitted(const httplib::Request &req, httplib::Response &res) {
        int wait = limiter_.admit(client_address(req), steady_seconds());
        if (wait == 0)
            return true;
        res.set_header("Retry-After", std::to_string(wait));
        refuse(req, res, 429,
               "more than " + std::to_string(options_.rateLimit) + " submissions an hour from this address; the next "
               "one is taken in " + std::to_string(wait) + " s");
        return false;
    }

    void leaderboard(const httplib::Request &req, httplib::Response &res) {
        ListQuery query;
        if (auto error = parse_list_query(raw_query(req), query))
            return refuse(req, res, 400, *error);
        if (!is_api(req))
            query.limit = kPageSize;
        ListPage list = store_.list(query);
        if (is_api(req))
            res.set_content(list_json(query, list), kJson);
        else
            res.set_content(leaderboard_page(query, list, distribution(store_.buckets(), std::nullopt)), kHtml);
    }

    void run(const httplib::Request &req, httplib::Response &res) {
        std::optional<StoredRun> stored = store_.find(id_of(req.matches[1]));
        if (!stored)
            return refuse(req, res, 404, "there is no run " + std::string(req.matches[1]).substr(0, 20));
        answer_run(req, res, *stored, Arrival::None);
    }

    void answer_run(const httplib::Request &req, httplib::Response &res, const StoredRun &stored, Arrival arrival) {
        Standing standing = store_.standing(stored);
        if (is_api(req))
            res.set_content(run_json(stored, standing, base_url(req)), kJson);
        else
            res.set_content(run_page(stored, standing, distribution(store_.buckets(), stored.run.total), arrival), kHtml);
    }

    void submit_address(const httplib::Request &req, httplib::Response &res) {
        Run run;
        if (auto error = run_from_address(raw_query(req), run))
            return refuse(req, res, 400, *error);
        if (!admitted(req, res))
            return;
        Submission submission = store_.submit(run);
        std::optional<StoredRun> stored = store_.find(submission.id);
        if (!stored)
            throw StoreError("a run just kept cannot be read back");
        res.status = submission.stored ? 201 : 200;
        res.set_header("Location", "/runs/" + std::to_string(submission.id));
        answer_run(req, res, *stored, submission.stored ? Arrival::Stored : Arrival::AlreadyStored);
    }

    void submit_file(const httplib::Request &req, httplib::Response &res) {
        Run run;
        if (auto error = run_from_result_json(req.body, run))
            return refuse(req, res, 400, *error);
        if (!admitted(req, res))
            return;
        Submission submission = store_.submit(run);
        res.status = submission.stored ? 201 : 200;
        res.set_header("Location", "/runs/" + std::to_string(submission.id));
        res.set_content(submission_json(submission, base_url(req)), kJson);
    }

    Store &store_;
    RateLimiter &limiter_;
    const ServerOptions &options_;
};

} // namespace

void install_routes(httplib::Server &server, Store &store, RateLimiter &limiter, const ServerOptions &options) {
    std::make_shared<Routes>(store, limiter, options)->install(server);
}

} // namespace results
