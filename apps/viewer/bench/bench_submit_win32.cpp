// Posting a result with WinHTTP, the platform's own HTTP client (proxies and certificates as the
// system has them).
#include "bench_submit.h"

#include <windows.h>
#include <winhttp.h>

#include <memory>

namespace bench {

namespace {

const DWORD kTimeoutMs = 10000; // each of resolve, connect, send and receive
const size_t kAnswerLimit = 64 * 1024;

struct InternetHandle {
    HINTERNET handle;
    explicit InternetHandle(HINTERNET h) : handle(h) {}
    ~InternetHandle() {
        if (handle)
            WinHttpCloseHandle(handle);
    }
    InternetHandle(const InternetHandle &) = delete;
    InternetHandle &operator=(const InternetHandle &) = delete;
};

std::u16string last_error(const char16_t *step) {
    wchar_t text[64];
    swprintf(text, 64, L" failed (error %lu)", GetLastError());
    return step + std::u16string(reinterpret_cast<const char16_t *>(text));
}

std::string header(HINTERNET request, DWORD which) {
    wchar_t value[2048];
    DWORD size = sizeof value;
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value, &size, WINHTTP_NO_HEADER_INDEX))
        return {};
    char narrow[2048];
    int n = WideCharToMultiByte(CP_UTF8, 0, value, (int)(size / sizeof(wchar_t)), narrow, sizeof narrow, nullptr,
                                nullptr);
    return std::string(narrow, n > 0 ? (size_t)n : 0);
}

std::string read_body(HINTERNET request) {
    std::string body;
    char chunk[4096];
    DWORD got = 0;
    while (body.size() < kAnswerLimit && WinHttpReadData(request, chunk, sizeof chunk, &got) && got > 0)
        body.append(chunk, got);
    return body;
}

} // namespace

Submission submit_result(const std::u16string &host, const std::string &json) {
    Submission failed;
    std::wstring address(host.begin(), host.end());
    while (!address.empty() && address.back() == L'/')
        address.pop_back();
    address += L"/api/runs";

    URL_COMPONENTS url = {sizeof url};
    wchar_t name[256], path[1024];
    url.lpszHostName = name;
    url.dwHostNameLength = ARRAYSIZE(name);
    url.lpszUrlPath = path;
    url.dwUrlPathLength = ARRAYSIZE(path);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &url)) {
        failed.problem = u"the result host is not an address";
        return failed;
    }
    InternetHandle session(WinHttpOpen(L"hx21app benchmark", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.handle)
        return failed.problem = last_error(u"starting the HTTP client"), failed;
    WinHttpSetTimeouts(session.handle, kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
    InternetHandle connection(WinHttpConnect(session.handle, name, url.nPort, 0));
    if (!connection.handle)
        return failed.problem = last_error(u"connecting"), failed;
    DWORD secure = url.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    InternetHandle request(WinHttpOpenRequest(connection.handle, L"POST", path, nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, secure));
    if (!request.handle)
        return failed.problem = last_error(u"opening the request"), failed;
    const wchar_t headers[] = L"Content-Type: application/json; charset=utf-8\r\n";
    if (!WinHttpSendRequest(request.handle, headers, (DWORD)-1L, (void *)json.data(), (DWORD)json.size(),
                            (DWORD)json.size(), 0) ||
        !WinHttpReceiveResponse(request.handle, nullptr))
        return failed.problem = last_error(u"reaching the results service"), failed;

    DWORD status = 0, size = sizeof status;
    WinHttpQueryHeaders(request.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    std::string location = header(request.handle, WINHTTP_QUERY_LOCATION);
    return read_answer((int)status, location, read_body(request.handle), host);
}

} // namespace bench
