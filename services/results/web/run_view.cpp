// The result screen's tables in HTML. The labels, units and mode descriptions are the viewer's own.
#include "run_view.h"

#include "bench_modes.h"
#include "bench_pcinfo.h"
#include "bench_text.h"
#include "fields.h"
#include "html.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace results {

namespace {

std::string figure(const nlohmann::json &stats, const char *key) {
    auto it = stats.find(key);
    if (it == stats.end() || !it->is_number())
        return "—";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", it->get<double>());
    return text;
}

std::string shot_row(const std::string &label, const nlohmann::json &stats, const std::string &rate) {
    return "<tr><td>" + label + "</td><td class=\"num\">" + rate + "</td><td class=\"num\">" +
           escape(stats.contains("frames") ? stats["frames"].dump() : "—") + "</td><td class=\"num\">" +
           figure(stats, "average_fps") + "</td><td class=\"num\">" + figure(stats, "low_1_percent_fps") +
           "</td><td class=\"num\">" + figure(stats, "low_0_1_percent_fps") + "</td><td class=\"num\">" +
           figure(stats, "max_frame_ms") + "</td></tr>";
}

std::string text_of(const nlohmann::json &object, const char *key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : "";
}

} // namespace

std::string mode_description(const Run &run, int mode) {
    long long width = 0, height = 0;
    const std::string &screen = run.value("q");
    size_t dash = screen.find('-');
    if (dash != std::string::npos) {
        parse_decimal(screen.substr(0, dash), 0, kPixelLimit, width);
        parse_decimal(screen.substr(dash + 1), 0, kPixelLimit, height);
    }
    std::string text =
        bench::mode_description(bench::benchmark_mode(mode, static_cast<int>(width), static_cast<int>(height)));
    // Mode 4 runs at the screen's size; a run that did not send it (or a heading) names it instead.
    const std::string unknownSize = "0 * 0";
    if (text.compare(0, unknownSize.size(), unknownSize) == 0)
        text.replace(0, unknownSize.size(), "現在の解像度");
    return text;
}

std::string pc_table_html(const Run &run) {
    std::string html = "<table class=\"pc\"><tbody>";
    for (bench::InfoRow row : bench::pc_info_rows(bench::PcInfo{})) {
        auto it = run.pc.find(row.key);
        std::string shown;
        if (it == run.pc.end()) {
            shown = "<span class=\"tested-none\">（送られていません）</span>";
        } else {
            row.value = bench::widen(it->second);
            // row_text applies the screen's rule: a value "0" or "1" reads 不可.
            std::u16string line = bench::row_text(row);
            std::u16string prefix = row.label + u"：　";
            shown = escape(bench::utf8(line.substr(prefix.size())));
        }
        html += "<tr><th>" + escape(bench::utf8(row.label)) + "</th><td>" + shown + "</td></tr>";
    }
    return html + "</tbody></table>";
}

std::string mode_rows_html(const Run &run) {
    std::string html = "<table class=\"modes\"><tbody>";
    for (int k = 1; k <= kModeCount; ++k) {
        html += "<tr><th>" + escape(mode_description(run, k)) + "</th>";
        if (!run.modes)
            html += "<td class=\"none\">（送られていません）</td>";
        else if ((*run.modes)[k - 1] <= 0)
            html += "<td class=\"none\">テストなし</td>";
        else
            html += "<td class=\"num\">FrameRate = " + std::to_string((*run.modes)[k - 1]) + "</td>";
        html += "</tr>";
    }
    html += "<tr><th>総合スコア</th><td class=\"num\"><b>" + grouped(run.total) + " Point</b></td></tr>";
    return html + "</tbody></table>";
}

std::string details_html(const Run &run) {
    if (run.details.empty())
        return "";
    nlohmann::json root = nlohmann::json::parse(run.details, nullptr, false);
    if (!root.is_object() || !root.contains("modes") || !root["modes"].is_array())
        return "";
    std::string html = "<section class=\"card\"><h2>フレームの記録（結果ファイルより）</h2>";
    std::string started = text_of(root, "started");
    if (!started.empty())
        html += "<p class=\"note\">測定開始: " + escape(started) + "（測定した PC の時刻）</p>";
    for (const nlohmann::json &mode : root["modes"]) {
        if (!mode.is_object() || !mode.value("tested", false))
            continue;
        const nlohmann::json &ran = mode.contains("ran") ? mode["ran"] : mode;
        html += "<h3>モード" + std::to_string(mode.value("mode", 0)) + ": " + escape(text_of(ran, "description")) + "</h3>";
        std::string note = text_of(mode, "note");
        if (!note.empty())
            html += "<p class=\"note\">" + escape(note) + "</p>";
        html += "<table><thead><tr><th>ショット</th><th class=\"num\">レート</th><th class=\"num\">フレーム数</th>"
                "<th class=\"num\">平均 fps</th><th class=\"num\">1% low fps</th><th class=\"num\">0.1% low fps</th>"
                "<th class=\"num\">最長フレーム ms</th></tr></thead><tbody>";
        if (mode.contains("shots") && mode["shots"].is_array())
            for (const nlohmann::json &shot : mode["shots"])
                html += shot_row("ショット " + escape(shot.value("shot", nlohmann::json()).dump()), shot,
                                 escape(shot.value("rate", nlohmann::json()).dump()));
        if (mode.contains("frames"))
            html += shot_row("<b>全体</b>", mode["frames"], escape(mode.value("score", nlohmann::json()).dump()));
        html += "</tbody></table>";
    }
    return html + "</section>";
}

} // namespace results
