// Building the pages.
#include "pages.h"

#include "html.h"
#include "run_view.h"
#include "svg.h"

namespace results {

namespace {

constexpr int kPagerReach = 3; // page links on each side of the current one

const char *const kSortLabels[] = {"総合スコア", "モード1", "モード2", "モード3", "モード4"};
const SortKey kSortKeys[] = {SortKey::Total, SortKey::Mode1, SortKey::Mode2, SortKey::Mode3, SortKey::Mode4};

std::string link(const ListQuery &query) {
    std::string q = list_query_string(query);
    return q.empty() ? "/" : "/?" + q;
}

// A name cell that filters the list by that name.
std::string name_cell(const ListQuery &current, std::string ListQuery::*field, const std::string &name) {
    if (name.empty())
        return "<td class=\"name none\">—</td>";
    ListQuery filtered = current;
    filtered.*field = name;
    filtered.page = 1;
    return "<td class=\"name\"><a href=\"" + escape(link(filtered)) + "\" title=\"この名前で絞り込む\">" + escape(name) +
           "</a></td>";
}

std::string filter_form(const ListQuery &query) {
    std::string html = "<form class=\"filters\" method=\"get\" action=\"/\">";
    if (query.sort != SortKey::Total)
        html += "<input type=\"hidden\" name=\"sort\" value=\"" + std::string(sort_name(query.sort)) + "\">";
    const struct {
        const char *name, *label;
        const std::string &value;
    } inputs[] = {{"chip", "Videoチップ", query.chip}, {"cpu", "CPU", query.cpu}, {"os", "OS", query.os}};
    for (const auto &input : inputs)
        html += "<label>" + std::string(input.label) + "<input type=\"text\" name=\"" + input.name + "\" value=\"" +
                escape(input.value) + "\" placeholder=\"名前（完全一致）\"></label>";
    html += "<button type=\"submit\">絞り込む</button>";
    if (!query.chip.empty() || !query.cpu.empty() || !query.os.empty()) {
        ListQuery all;
        all.sort = query.sort;
        html += "<a class=\"clear\" href=\"" + escape(link(all)) + "\">条件を外す</a>";
    }
    return html + "</form>";
}

std::string pager(const ListQuery &query, long long matching) {
    int last = last_page(matching, query.limit);
    if (last == 1)
        return "";
    auto page_link = [&](int page, const std::string &text) {
        ListQuery target = query;
        target.page = page;
        return "<a href=\"" + escape(link(target)) + "\">" + text + "</a>";
    };
    std::string html = "<nav class=\"pager\">";
    if (query.page > 1)
        html += page_link(query.page - 1, "« 前へ");
    for (int p = 1; p <= last; ++p) {
        bool near = p == 1 || p == last || (p >= query.page - kPagerReach && p <= query.page + kPagerReach);
        if (!near) {
            html += "<span class=\"gap\">…</span>";
            p = p < query.page ? query.page - kPagerReach - 1 : last - 1;
            continue;
        }
        html += p == query.page ? "<span class=\"current\">" + std::to_string(p) + "</span>"
                                : page_link(p, std::to_string(p));
    }
    if (query.page < last)
        html += page_link(query.page + 1, "次へ »");
    return html + "</nav>";
}

std::string mode_cell(const std::optional<ModeRates> &modes, int mode) {
    if (!modes || (*modes)[mode - 1] <= 0)
        return "<td class=\"num none\">—</td>";
    return "<td class=\"num\">" + std::to_string((*modes)[mode - 1]) + "</td>";
}

std::string run_table(const ListQuery &query, const ListPage &list) {
    std::string html = "<table class=\"runs\"><thead><tr><th class=\"num\">順位</th>";
    for (int i = 0; i < 5; ++i) {
        ListQuery sorted = query;
        sorted.sort = kSortKeys[i];
        sorted.page = 1;
        std::string title = i == 0 ? "総合スコア順" : mode_description(Run{}, i) + " のフレームレート順";
        html += "<th class=\"num\"><a href=\"" + escape(link(sorted)) + "\" title=\"" + escape(title) + "\"" +
                (query.sort == kSortKeys[i] ? " class=\"sorted\"" : "") + ">" + kSortLabels[i] + "</a></th>";
    }
    html += "<th>Videoチップ</th><th>CPU</th><th>OS</th><th>登録日時</th></tr></thead><tbody>";
    for (const ListedRun &run : list.runs) {
        html += "<tr><td class=\"num rank\">" + grouped(run.rank) + "</td><td class=\"num total\"><a href=\"/runs/" +
                std::to_string(run.id) + "\">" + grouped(run.total) + "</a></td>";
        for (int k = 1; k <= kModeCount; ++k)
            html += mode_cell(run.modes, k);
        html += name_cell(query, &ListQuery::chip, run.chip) + name_cell(query, &ListQuery::cpu, run.cpu) +
                name_cell(query, &ListQuery::os, run.os) + "<td class=\"num\">" + utc_time(run.createdAt) + "</td></tr>";
    }
    return html + "</tbody></table>";
}

std::string standing_html(const StoredRun &stored, const Standing &standing) {
    std::string html = "<div class=\"standing\"><span>全 " + grouped(standing.runs) + " 件中 <b>" +
                       grouped(standing.rank) + "</b> 位</span>";
    const std::string &chip = stored.run.value(kChipKey);
    if (standing.chipRuns > 0) {
        ListQuery sameChip;
        sameChip.chip = chip;
        html += "<span>同じVideoチップ（<a href=\"" + escape(link(sameChip)) + "\">" + escape(chip) + "</a>）の " +
                grouped(standing.chipRuns) + " 件中 <b>" + grouped(standing.chipRank) + "</b> 位</span>";
    }
    return html + "</div>";
}

} // namespace

std::string leaderboard_page(const ListQuery &query, const ListPage &list, const Distribution &all) {
    bool filtered = !query.chip.empty() || !query.cpu.empty() || !query.os.empty();
    std::string html = "<h1>ランキング</h1><p class=\"lead\">全 " + grouped(all.runs) + " 件の結果";
    if (filtered)
        html += "、条件に合うもの " + std::string(list.matching > kDeepestRow ? grouped(kDeepestRow) + " 件以上" : grouped(list.matching) + " 件");
    if (sort_mode(query.sort))
        html += "（" + escape(mode_description(Run{}, sort_mode(query.sort))) + " をテストした結果をフレームレート順に表示）";
    html += "</p>";
    html += "<section class=\"card\"><h2>総合スコアの分布</h2>" + distribution_svg(all) + "</section>";
    html += "<section class=\"card\">" + filter_form(query) + "</section>";
    html += "<section class=\"card\">";
    if (list.runs.empty())
        html += "<p>" + std::string(filtered || query.page > 1 ? "条件に合う結果がありません。" : "まだ結果がありません。") + "</p>";
    else
        html += run_table(query, list) + pager(query, list.matching);
    html += "</section>";
    std::string title = "ランキング";
    if (filtered)
        title += "（" + (query.chip.empty() ? query.cpu.empty() ? query.os : query.cpu : query.chip) + "）";
    return page(title, html);
}

std::string run_page(const StoredRun &stored, const Standing &standing, const Distribution &all, Arrival arrival) {
    std::string html;
    if (arrival == Arrival::Stored)
        html += "<div class=\"banner\">結果を受け付けました。ご参加ありがとうございます。</div>";
    else if (arrival == Arrival::AlreadyStored)
        html += "<div class=\"banner known\">この結果はすでに登録されています。</div>";
    html += "<h1>結果 #" + std::to_string(stored.id) + "</h1><p class=\"lead\">" + utc_time(stored.createdAt) + " 登録・" +
            (stored.run.details.empty() ? "結果画面の「結果を送信」から" : "結果ファイルから") + "</p>";
    html += "<section class=\"card\"><div class=\"score\">" + grouped(stored.run.total) + "<small>Point</small></div>" +
            standing_html(stored, standing) + "</section>";
    html += "<div class=\"grid\"><section class=\"card\"><h2>● ＰＣの情報</h2>" + pc_table_html(stored.run) +
            "</section><section class=\"card\"><h2>● ベンチマーク結果</h2>" + mode_rows_html(stored.run) +
            "<p class=\"note\">600 Point 以上ならば推奨スペックを満たしています。最低500 Point 程度のスペックが必要です。</p>"
            "</section></div>";
    html += "<section class=\"card\"><h2>総合スコアの分布</h2>" + distribution_svg(all) + "</section>";
    html += details_html(stored.run);
    html += "<p><a href=\"/\">« ランキングへ</a></p>";
    return page("結果 #" + std::to_string(stored.id), html);
}

std::string refusal_page(int status, const std::string &reason) {
    const char *heading = status == 404   ? "ページが見つかりません"
                          : status == 429 ? "送信が多すぎます"
                          : status >= 500 ? "サーバーで問題が起きました"
                                          : "結果を受け付けられませんでした";
    std::string html = "<div class=\"banner error\">" + std::string(heading) + "</div>";
    html += "<section class=\"card\"><h2>理由</h2><p class=\"reason\">" + escape(reason) + "</p>";
    if (status == 429)
        html += "<p>しばらく待ってから、もう一度お試しください。</p>";
    html += "<p><a href=\"/\">« ランキングへ</a></p></section>";
    return page(heading, html);
}

} // namespace results
