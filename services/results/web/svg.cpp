// Drawing the distribution picture.
#include "svg.h"

#include "html.h"

#include <cstdio>

namespace results {

namespace {

constexpr int kWidth = 720, kHeight = 150;           // viewBox units
constexpr int kLeft = 44, kRight = 12, kTop = 22, kBottom = 28;
constexpr int kTicks = 4;                             // labels along the bottom, besides the ends

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

std::string distribution_svg(const Distribution &d) {
    if (d.bars.empty() || d.tallest == 0)
        return "<p class=\"note\">まだ結果がありません。</p>";
    const double plotWidth = kWidth - kLeft - kRight, plotHeight = kHeight - kTop - kBottom;
    const double barWidth = plotWidth / d.bars.size();
    std::string svg = "<svg class=\"distribution\" viewBox=\"0 0 " + std::to_string(kWidth) + " " +
                      std::to_string(kHeight) + "\" role=\"img\" aria-label=\"総合スコアの分布\">";
    for (size_t i = 0; i < d.bars.size(); ++i) {
        const Bar &bar = d.bars[i];
        double height = plotHeight * bar.runs / d.tallest;
        if (bar.runs > 0 && height < 1)
            height = 1; // a bar with runs is always seen
        bool marked = static_cast<int>(i) == d.markedBar;
        svg += "<rect class=\"bar" + std::string(marked ? " marked" : "") + "\" x=\"" +
               number(kLeft + i * barWidth + 1) + "\" y=\"" + number(kTop + plotHeight - height) + "\" width=\"" +
               number(barWidth - 2 > 1 ? barWidth - 2 : 1) + "\" height=\"" + number(height) + "\"><title>" +
               grouped(bar.from) + "〜" + grouped(bar.to - 1) + " Point: " + grouped(bar.runs) + " 件</title></rect>";
        if (marked)
            svg += "<text x=\"" + number(kLeft + (i + 0.5) * barWidth) + "\" y=\"" +
                   number(kTop + plotHeight - height - 6) + "\" text-anchor=\"middle\" class=\"marked\">この結果</text>";
    }
    svg += "<line class=\"axis\" x1=\"" + std::to_string(kLeft) + "\" y1=\"" + number(kTop + plotHeight) + "\" x2=\"" +
           std::to_string(kWidth - kRight) + "\" y2=\"" + number(kTop + plotHeight) + "\"/>";
    // Each label is centred on its bar's start, except at the ends, where it would be cut off.
    for (int t = 0; t <= kTicks; ++t) {
        size_t index = t * (d.bars.size() - 1) / kTicks;
        const char *anchor = t == 0 ? "start" : t == kTicks ? "end" : "middle";
        svg += "<text x=\"" + number(kLeft + index * barWidth) + "\" y=\"" + std::to_string(kHeight - 8) +
               "\" text-anchor=\"" + anchor + "\">" + grouped(d.bars[index].from) + "</text>";
    }
    svg += "<text x=\"0\" y=\"" + std::to_string(kTop + 4) + "\">" + grouped(d.tallest) + " 件</text>";
    svg += "<text x=\"0\" y=\"" + number(kTop + plotHeight) + "\">0</text>";
    return svg + "</svg>";
}

} // namespace results
