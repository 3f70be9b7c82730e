#include "io/StructurePlotPainting.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>

namespace tarnwick {
namespace {

constexpr PlotColour kWhite{255, 255, 255};
constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kFrame{120, 120, 120};
constexpr PlotColour kZeroLine{190, 190, 190};
constexpr PlotColour kPointFill{70, 130, 180, 150};
constexpr PlotColour kPointEdge{25, 60, 100};
constexpr PlotColour kCaption{70, 70, 70};

constexpr PlotFont kSmall{11, false}; // labels, ticks, the caption
constexpr PlotFont kAxisTitle{12, false};
constexpr PlotFont kTitle{13, true};

// The labels' widths in their font.
class LabelWidths : public TextWidths {
public:
    explicit LabelWidths(const CairoFonts& fonts) : fonts_(fonts) {}
    double widthOf(std::string_view text) const override { return fonts_.width(text, kSmall); }

private:
    const CairoFonts& fonts_;
};

// The baseline of a line of text centred in a box from top, this high.
double centredBaseline(const CairoFonts& fonts, const PlotFont& font, double top, double height) {
    const FontExtents extents = fonts.extents(font);
    return top + (height - extents.ascent - extents.descent) / 2 + extents.ascent;
}

// The words of the text in lines no wider than this (a longer word stands alone).
std::vector<std::string> wrapped(const CairoFonts& fonts, const PlotFont& font,
                                 const std::string& text, double width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t space = std::min(text.find(' ', start), text.size());
        const std::string_view word = std::string_view(text).substr(start, space - start);
        start = space + 1;
        std::string longer = line;
        if (!longer.empty())
            longer += ' ';
        longer += word;
        if (!line.empty() && fonts.width(longer, font) > width) {
            lines.push_back(std::move(line));
            longer = word;
        }
        line = std::move(longer);
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void paintAxes(PlotCanvas& canvas, const StructurePlot& plot, const CairoFonts& fonts) {
    if (plot.zeroX)
        canvas.line(*plot.zeroX, plot.top, *plot.zeroX, plot.bottom, kZeroLine, true);
    if (plot.zeroY)
        canvas.line(plot.left, *plot.zeroY, plot.right, *plot.zeroY, kZeroLine, true);
    canvas.rectangleOutline(plot.left, plot.top, plot.right, plot.bottom, kFrame);
    const double xTickBaseline = centredBaseline(fonts, kSmall, plot.bottom + 5, 14);
    for (const PlotTick& tick : plot.xTicks) {
        canvas.line(tick.position, plot.bottom, tick.position, plot.bottom + 4, kBlack, false);
        canvas.text(tick.text, tick.position, xTickBaseline, kSmall, TextAnchor::Middle, kBlack);
    }
    for (const PlotTick& tick : plot.yTicks) {
        canvas.line(plot.left - 4, tick.position, plot.left, tick.position, kBlack, false);
        canvas.text(tick.text, plot.left - 6, centredBaseline(fonts, kSmall, tick.position - 7, 14),
                    kSmall, TextAnchor::End, kBlack);
    }
    canvas.text(plot.xTitle, (plot.left + plot.right) / 2,
                centredBaseline(fonts, kAxisTitle, plot.bottom + 20, 16), kAxisTitle,
                TextAnchor::Middle, kBlack);
    // Turned a quarter about (12, the frame's middle), centred across a band 16 pixels wide.
    canvas.text(plot.yTitle, 12 + centredBaseline(fonts, kAxisTitle, -8, 16),
                (plot.top + plot.bottom) / 2, kAxisTitle, TextAnchor::Middle, kBlack, true);
    canvas.text(plot.title, plot.width / 2, centredBaseline(fonts, kTitle, 6, 18), kTitle,
                TextAnchor::Middle, kBlack);
    const FontExtents caption = fonts.extents(kSmall);
    double baseline = plot.bottom + 40 + caption.ascent;
    for (const std::string& line : wrapped(fonts, kSmall, plot.caption, plot.width - 8)) {
        canvas.text(line, plot.width / 2, baseline, kSmall, TextAnchor::Middle, kCaption);
        baseline += caption.lineHeight;
    }
}

void paintPoints(PlotCanvas& canvas, const StructurePlot& plot, const CairoFonts& fonts) {
    // The largest circles first, so that none hides a smaller one.
    std::vector<std::size_t> order(plot.points.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return plot.points[a].radius > plot.points[b].radius;
    });
    for (const std::size_t p : order)
        canvas.circle(plot.points[p].x, plot.points[p].y, plot.points[p].radius, kPointFill,
                      kPointEdge);
    for (const PlotPoint& point : plot.points)
        canvas.text(point.label, point.labelLeft,
                    centredBaseline(fonts, kSmall, point.labelTop, point.labelHeight), kSmall,
                    TextAnchor::Start, kBlack);
}

} // namespace

StructurePlot structurePlotIn(const CairoFonts& fonts,
                              const std::vector<StructurePopulation>& populations,
                              const ClassicalScaling& scaling, StructureDistance distance,
                              double width, double height) {
    const FontExtents label = fonts.extents(kSmall);
    return structurePlot(populations, scaling, distance, width, height, LabelWidths(fonts),
                         label.ascent + label.descent + 2);
}

void paintStructurePlot(PlotCanvas& canvas, const StructurePlot& plot, const CairoFonts& fonts) {
    canvas.fillAll(kWhite);
    paintAxes(canvas, plot, fonts);
    paintPoints(canvas, plot, fonts);
}

} // namespace tarnwick
