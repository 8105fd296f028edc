// The service as clients meet it: results-server (the checked build) started on a free port over
// the engine of this run, fed the viewer's own address and result file, hostile input, too much
// input and too many submissions; and on PostgreSQL, two copies sharing one database.
#include "server_process.h"
#include "test_database.h"
#include "viewer_address.h"

#include "bench_text.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace results_test;
using nlohmann::json;

namespace {

std::string percent_escape_spaces(std::string query) {
    for (size_t at; (at = query.find(' ')) != std::string::npos;)
        query.replace(at, 1, "%20");
    return query;
}

// The benchmark's button: the result address as a browser sends it (spaces as %20, bytes above
// 0x7F as escapes).
std::string submit_path(const std::u16string &address) {
    std::string query = percent_escape_spaces(sent_query(address)), path = "/benchmark/post_data.php?";
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : query) {
        if (c < 0x80) {
            path += static_cast<char>(c);
        } else {
            path += '%';
            path += hex[c >> 4];
            path += hex[c & 15];
        }
    }
    return path;
}

// A request written byte for byte, for what no client library sends: the answer's status line.
std::string raw_request(const ServerProcess &server, const std::string &request) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server.port()));
    inet_pton(AF_INET, server.host().c_str(), &address.sin_addr);
    std::string answer;
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        char buffer[512];
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n > 0)
            answer.assign(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return answer.substr(0, answer.find("\r\n"));
}

class HttpTest : public testing::Test {
protected:
    void start(std::vector<std::string> extra = {}) {
        std::vector<std::string> options = {"--db", db, "--threads", "4"};
        options.insert(options.end(), extra.begin(), extra.end());
        server = std::make_unique<ServerProcess>(options);
        client = std::make_unique<httplib::Client>(server->host(), server->port());
    }
    void TearDown() override {
        if (server) {
            EXPECT_EQ(server->stop(), 0) << server->output();
            EXPECT_NE(server->output().find("results-server: stopped"), std::string::npos);
        }
    }
    json runs(const std::string &query = "") {
        auto res = client->Get(("/api/runs" + query).c_str());
        EXPECT_TRUE(res);
        return res ? json::parse(res->body) : json();
    }

    std::string db = fresh_database();
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<httplib::Client> client;
};

} // namespace

TEST_F(HttpTest, TheBenchmarksButtonStoresTheRunAndAnswersWithItsPage) {
    start();
    bench::BenchResult result = sample_result();
    std::string path = submit_path(viewer_address(result));
    auto res = client->Get(path.c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 201);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string &page = res->body;
    EXPECT_NE(page.find("結果を受け付けました"), std::string::npos);
    EXPECT_NE(page.find("<th>PCメーカー</th><td>東京電機</td>"), std::string::npos);
    EXPECT_NE(page.find("<th>CLOCK</th><td>3000 MHz</td>"), std::string::npos);
    EXPECT_NE(page.find("RADEON 9800 PRO &amp; friends = 100% &lt;fast&gt;"), std::string::npos);
    EXPECT_NE(page.find("960 * 600  WindowMode  Antialias-none</th><td class=\"num\">FrameRate = 60"), std::string::npos);
    EXPECT_NE(page.find("960 * 600  WindowMode  Antialias-2</th><td class=\"none\">テストなし"), std::string::npos);
    EXPECT_NE(page.find("1280 * 1024  FullScreenMode  Antialias-4"), std::string::npos);
    EXPECT_NE(page.find("全 1 件中 <b>1</b> 位"), std::string::npos);
    EXPECT_NE(page.find("href=\"/\""), std::string::npos);
    EXPECT_NE(page.find("<svg class=\"distribution\""), std::string::npos);

    // A reload is the same run.
    auto again = client->Get(path.c_str());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_NE(again->body.find("すでに登録されています"), std::string::npos);
    json list = runs();
    ASSERT_EQ(list["runs"].size(), 1u);
    EXPECT_EQ(list["runs"][0]["total"], result.total);
    EXPECT_EQ(list["runs"][0]["modes"], json({60, 0, 45, 0}));
}

TEST_F(HttpTest, TheResultFileIsStoredOnceWithItsDetails) {
    start();
    bench::BenchResult result = sample_result();
    viewer_address(result);
    std::string body = bench::result_json(result);
    auto res = client->Post("/api/runs", body, "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 201) << res->body;
    json answer = json::parse(res->body);
    EXPECT_TRUE(answer["stored"]);
    std::string url = answer["url"];
    EXPECT_EQ(url, "http://" + server->host() + ":" + std::to_string(server->port()) + "/runs/" +
                       std::to_string(answer["id"].get<int>()));
    EXPECT_EQ(res->get_header_value("Location"), "/runs/" + std::to_string(answer["id"].get<int>()));

    auto twice = client->Post("/api/runs", body, "application/json");
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->status, 200);
    EXPECT_EQ(json::parse(twice->body)["id"], answer["id"]);

    auto page = client->Get(("/runs/" + std::to_string(answer["id"].get<int>())).c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("フレームの記録"), std::string::npos);
    EXPECT_NE(page->body.find("ショット 6"), std::string::npos);
    auto detail = client->Get(("/api/runs/" + std::to_string(answer["id"].get<int>())).c_str());
    ASSERT_TRUE(detail);
    json run = json::parse(detail->body);
    EXPECT_EQ(run["details"]["modes"][0]["shots"][0]["rate"], 61);
    EXPECT_EQ(run["pc"]["n"], "東京電機");
    EXPECT_EQ(run["standing"]["rank"], 1);
}

TEST_F(HttpTest, RefusedInputGetsItsReasonAndStoresNothing) {
    start();
    bench::BenchResult result = sample_result();
    viewer_address(result);
    json file = json::parse(bench::result_json(result));
    file["total_score"] = 99999;
    const struct {
        const char *method;
        std::string path, body;
        int status;
        const char *reason;
    } cases[] = {
        {"GET", "/benchmark/post_data.php", "", 400, "parameter r) is missing"},
        {"GET", "/benchmark/post_data.php?a=%A9%A1&r=5", "", 400, "invalid EUC-JP sequence %A9%A1"},
        {"GET", "/benchmark/post_data.php?c=fast&r=5", "", 400, "parameter c is not a whole number"},
        {"GET", "/benchmark/post_data.php?a=" + std::string(300, 'x') + "&r=5", "", 400, "longer than 80"},
        {"GET", "/benchmark/post_data.php?r=5&r=6", "", 400, "given twice"},
        {"GET", "/benchmark/post_data.php?" + std::string(7000, 'a'), "", 400, "longer than the benchmark writes"},
        {"GET", "/benchmark/post_data.php?" + std::string(9000, 'a'), "", 414, "longer than this server reads"},
        {"POST", "/api/runs", "{not json", 400, "not JSON"},
        {"POST", "/api/runs", file.dump(), 400, "the mode scores give"},
        {"POST", "/api/runs", std::string(70 * 1024, ' '), 413, "larger than 64 KiB"},
        {"GET", "/api/runs?sort=speed", "", 400, "parameter sort"},
        {"GET", "/?page=100000", "", 400, "parameter page"},
        {"GET", "/runs/99999999999999999999999", "", 404, "there is no run"},
        {"GET", "/runs/7", "", 404, "there is no run 7"},
        {"GET", "/admin", "", 404, "there is no page"},
    };
    for (const auto &c : cases) {
        auto res = std::string(c.method) == "GET" ? client->Get(c.path.c_str())
                                                  : client->Post(c.path.c_str(), c.body, "application/json");
        ASSERT_TRUE(res) << c.path.substr(0, 60);
        EXPECT_EQ(res->status, c.status) << c.path.substr(0, 60) << "\n" << res->body.substr(0, 300);
        EXPECT_NE(res->body.find(c.reason), std::string::npos) << c.path.substr(0, 60) << "\n" << res->body.substr(0, 600);
    }
    // A request line with raw spaces is not HTTP: refused before any handler.
    EXPECT_EQ(raw_request(*server, "GET /benchmark/post_data.php?a=Windows XP&r=5 HTTP/1.1\r\nHost: x\r\n\r\n"),
              "HTTP/1.1 400 Bad Request");
    EXPECT_EQ(runs()["runs"].size(), 0u);
}

TEST_F(HttpTest, AHostileChipNameIsTextOnEveryPage) {
    start();
    const std::string hostile = "<script>alert(1)</script>";
    auto res = client->Get("/benchmark/post_data.php?a=Win&e=%3Cscript%3Ealert(1)%3C/script%3E&b=%22%3E%3Cimg%20"
                           "src=x%20onerror=alert(2)%3E&m=1%202%203%204&r=777");
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 201) << res->body;
    for (const std::string &path : {std::string("/"), std::string("/runs/1"), std::string("/?chip=%3Cscript%3Ealert(1)%3C%2Fscript%3E")}) {
        auto page = client->Get(path.c_str());
        ASSERT_TRUE(page);
        EXPECT_EQ(page->body.find("<script"), std::string::npos) << path;
        EXPECT_EQ(page->body.find("<img"), std::string::npos) << path;
        EXPECT_NE(page->body.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos) << path;
    }
    EXPECT_EQ(runs()["runs"][0]["chip"], hostile);
    // And were one ever to slip through, the pages allow no script to run.
    EXPECT_NE(client->Get("/")->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);
}

TEST_F(HttpTest, SubmissionsPastTheLimitAreRefusedUntilTheHourAllows) {
    start({"--rate-limit", "2"});
    for (int i = 0; i < 2; ++i) {
        auto res = client->Get(("/benchmark/post_data.php?a=Win&r=" + std::to_string(100 + i)).c_str());
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 201);
    }
    auto refused = client->Get("/benchmark/post_data.php?a=Win&r=102");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 429);
    EXPECT_EQ(refused->get_header_value("Retry-After"), "1800");
    auto refusedFile = client->Post("/api/runs", json::parse(bench::result_json([] {
                                                     bench::BenchResult r = sample_result();
                                                     viewer_address(r);
                                                     return r;
                                                 }()))
                                                     .dump(),
                                     "application/json");
    ASSERT_TRUE(refusedFile);
    EXPECT_EQ(refusedFile->status, 429);
    EXPECT_NE(json::parse(refusedFile->body)["error"].get<std::string>().find("submissions an hour"), std::string::npos);
    EXPECT_EQ(runs()["runs"].size(), 2u);
    // Reading is never limited.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(client->Get("/")->status, 200);
}

TEST_F(HttpTest, SortingFilteringAndPagesOfTheLeaderboard) {
    start();
    for (int i = 0; i < 60; ++i) {
        std::string chip = i % 3 == 0 ? "Chip%20Three" : "Chip%20Other";
        auto res = client->Get(("/benchmark/post_data.php?a=Win&e=" + chip + "&m=" + std::to_string(100 - i) + "%200%200%200&r=" +
                                std::to_string(1000 + i))
                                   .c_str());
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 201);
    }
    json first = runs();
    EXPECT_EQ(first["pages"], 2);
    EXPECT_EQ(first["runs"][0]["total"], 1059);
    EXPECT_EQ(runs("?page=2")["runs"][9]["total"], 1000);
    EXPECT_EQ(runs("?sort=mode1")["runs"][0]["modes"][0], 100);
    json three = runs("?chip=Chip%20Three");
    EXPECT_EQ(three["matching"], 20);
    EXPECT_EQ(three["runs"][0]["total"], 1059 - 2);
    auto page = client->Get("/?chip=Chip%20Three&sort=mode1&page=1");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("条件に合うもの 20 件"), std::string::npos);
    EXPECT_NE(page->body.find("class=\"sorted\">モード1"), std::string::npos);
    auto board = client->Get("/");
    EXPECT_NE(board->body.find("href=\"/?page=2\">次へ"), std::string::npos);
}

TEST(ServerCommandLine, HelpBadOptionsAndAnUnreachableDatabase) {
    std::string output;
    EXPECT_EQ(run_server({"--help"}, output), 0);
    EXPECT_NE(output.find("--db URL"), std::string::npos);
    output.clear();
    EXPECT_EQ(run_server({"--port", "x"}, output), 2);
    EXPECT_NE(output.find("--port takes a port"), std::string::npos);
    output.clear();
    EXPECT_EQ(run_server({"--db", "postgresql://results@127.0.0.1:1/none?connect_timeout=5", "--port", "0"}, output), 1);
    EXPECT_NE(output.find("cannot connect"), std::string::npos) << output;
}

TEST(TwoCopies, ShareOnePostgresDatabase) {
    if (!on_postgres())
        GTEST_SKIP() << "two copies of the service share a PostgreSQL database, not an SQLite file";
    std::string db = fresh_database();
    ServerProcess one({"--db", db, "--threads", "4"}), two({"--db", db, "--threads", "4"});
    httplib::Client a(one.host(), one.port()), b(two.host(), two.port());
    // Runs sent to either copy, and the same run to both at once: every run once, on both lists.
    std::vector<std::thread> senders;
    for (int i = 0; i < 20; ++i)
        (i % 2 ? a : b).Get(("/benchmark/post_data.php?a=Win&e=Shared&r=" + std::to_string(500 + i)).c_str());
    for (httplib::Client *client : {&a, &b})
        senders.emplace_back([client] {
            for (int i = 0; i < 10; ++i)
                client->Get(("/benchmark/post_data.php?a=Both&r=" + std::to_string(900 + i)).c_str());
        });
    for (std::thread &t : senders)
        t.join();
    for (httplib::Client *client : {&a, &b}) {
        json list = json::parse(client->Get("/api/runs?limit=100")->body);
        EXPECT_EQ(list["matching"], 30);
        EXPECT_EQ(list["runs"][0]["total"], 909);
    }
    auto page = a.Get(("/runs/" + json::parse(b.Get("/api/runs?limit=1")->body)["runs"][0]["id"].dump()).c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("全 30 件中 <b>1</b> 位"), std::string::npos);
    EXPECT_EQ(one.stop(), 0);
    EXPECT_EQ(two.stop(), 0);
}
