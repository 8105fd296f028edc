// HTML escaping and the page frame.
#include "html.h"

namespace results {

std::string escape(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string page(const std::string &title, const std::string &content) {
    return "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" + escape(title) + " | HX-21 ベンチマーク</title>"
           "<link rel=\"stylesheet\" href=\"/style.css\"></head><body>\n"
           "<header class=\"top\"><a class=\"brand\" href=\"/\">HX-21 ベンチマーク 結果集計</a>"
           "<nav><a href=\"/\">ランキング</a><a href=\"/api/runs\">JSON</a></nav></header>\n"
           "<main>\n" + content + "</main>\n"
           "<footer>HX-21 ベンチマークの結果は、結果画面の「結果を送信」または <code>/submit</code> で送られます。</footer>\n"
           "</body></html>\n";
}

std::string utc_time(std::time_t seconds) {
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
    return text;
}

std::string grouped(long long value) {
    std::string digits = std::to_string(value < 0 ? -value : value), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

} // namespace results
