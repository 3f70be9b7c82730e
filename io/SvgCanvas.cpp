#include "io/SvgCanvas.h"

#include "io/CairoFonts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace tarnwick {
namespace {

// Two decimals are a hundredth of a pixel; trailing zeros go.
std::string number(double value) {
    if (std::abs(value) < 0.005)
        value = 0;
    std::array<char, 64> digits{};
    char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                              std::chars_format::fixed, 2)
                    .ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.')
        --end;
    return {digits.data(), end};
}

std::string colourValue(PlotColour colour) {
    constexpr const char* kHex = "0123456789abcdef";
    std::string value = "#";
    for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
        value += kHex[channel >> 4];
        value += kHex[channel & 15];
    }
    return value;
}

// fill="..." or stroke="...", with its opacity when the colour is not opaque.
std::string paint(const char* what, PlotColour colour) {
    std::string attributes = std::string(" ") + what + "=\"" + colourValue(colour) + "\"";
    if (colour.alpha != 255)
        attributes += std::string(" ") + what + "-opacity=\"" + number(colour.alpha / 255.0) + "\"";
    return attributes;
}

std::string attribute(const char* name, double value) {
    return std::string(" ") + name + "=\"" + number(value) + "\"";
}

} // namespace

std::string xmlEscaped(std::string_view text) {
    const std::string utf8 = drawableText(text);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (c == '"')
            escaped += "&quot;";
        else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r')
            continue; // no control character is allowed in XML 1.0
        else if (byte == 0xEF && i + 2 < utf8.size() && utf8[i + 1] == '\xBF' &&
                 (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF'))
            i += 2; // nor U+FFFE, U+FFFF
        else
            escaped += c;
    }
    return escaped;
}

SvgCanvas::SvgCanvas(double width, double height, std::string_view title)
    : width_(width), height_(height) {
    svg_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"" +
           attribute("width", width) + attribute("height", height) + " viewBox=\"0 0 " +
           number(width) + " " + number(height) + "\">\n<title>" + xmlEscaped(title) + "</title>\n";
}

void SvgCanvas::fillAll(PlotColour colour) {
    svg_ += "<rect x=\"0\" y=\"0\"";
    svg_ +=
        attribute("width", width_) + attribute("height", height_) + paint("fill", colour) + "/>\n";
}

void SvgCanvas::line(double x1, double y1, double x2, double y2, PlotColour colour, bool dashed) {
    svg_ += "<line";
    svg_ += attribute("x1", x1) + attribute("y1", y1) + attribute("x2", x2) + attribute("y2", y2) +
            paint("stroke", colour) + " stroke-width=\"1\"" +
            (dashed ? " stroke-dasharray=\"4 2\"" : "") + "/>\n";
}

void SvgCanvas::rectangleOutline(double left, double top, double right, double bottom,
                                 PlotColour colour) {
    svg_ += "<rect";
    svg_ += attribute("x", left) + attribute("y", top) + attribute("width", right - left) +
            attribute("height", bottom - top) + " fill=\"none\"" + paint("stroke", colour) +
            " stroke-width=\"1\"/>\n";
}

void SvgCanvas::circle(double x, double y, double radius, PlotColour fill, PlotColour edge) {
    svg_ += "<circle";
    svg_ += attribute("cx", x) + attribute("cy", y) + attribute("r", radius) + paint("fill", fill) +
            paint("stroke", edge) + " stroke-width=\"1\"/>\n";
}

void SvgCanvas::text(std::string_view text, double x, double y, const PlotFont& font,
                     TextAnchor anchor, PlotColour colour, bool upright) {
    svg_ += "<text";
    svg_ += attribute("x", x) + attribute("y", y) + " font-family=\"" + kPlotFontFamily +
            ", sans-serif\"" + attribute("font-size", font.pixels) +
            (font.bold ? " font-weight=\"bold\"" : "") +
            (anchor == TextAnchor::Middle ? " text-anchor=\"middle\""
             : anchor == TextAnchor::End  ? " text-anchor=\"end\""
                                          : "") +
            paint("fill", colour);
    if (upright) {
        svg_ += " transform=\"rotate(-90 ";
        svg_ += number(x) + " " + number(y) + ")\"";
    }
    svg_ += ">";
    svg_ += xmlEscaped(text) + "</text>\n";
}

std::string SvgCanvas::finish() {
    svg_ += "</svg>\n";
    return std::move(svg_);
}

} // namespace tarnwick
