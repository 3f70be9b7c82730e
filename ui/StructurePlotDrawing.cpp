#include "ui/StructurePlotDrawing.h"

#include "core/Error.h"
#include "io/ReplacingFile.h"
#include "ui/QtTextMeasurer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSvgGenerator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace tarnwick {
namespace {

const QColor kFrame(120, 120, 120);
const QColor kZeroLine(190, 190, 190);
const QColor kPointFill(70, 130, 180, 150);
const QColor kPointEdge(25, 60, 100);

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

constexpr int kLabelPixels = 11;

QFont plotFont(int pixelSize, bool bold = false) {
    QFont font("DejaVu Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont labelFont() {
    return plotFont(kLabelPixels);
}

void drawAxes(QPainter& painter, const StructurePlot& plot) {
    const QRectF frame(QPointF(plot.left, plot.top), QPointF(plot.right, plot.bottom));
    painter.setPen(QPen(kZeroLine, 1, Qt::DashLine));
    if (plot.zeroX)
        painter.drawLine(QPointF(*plot.zeroX, plot.top), QPointF(*plot.zeroX, plot.bottom));
    if (plot.zeroY)
        painter.drawLine(QPointF(plot.left, *plot.zeroY), QPointF(plot.right, *plot.zeroY));
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.setFont(plotFont(11));
    painter.setPen(Qt::black);
    for (const PlotTick& tick : plot.xTicks) {
        painter.drawLine(QPointF(tick.position, plot.bottom),
                         QPointF(tick.position, plot.bottom + 4));
        painter.drawText(QRectF(tick.position - 40, plot.bottom + 5, 80, 14), Qt::AlignCenter,
                         text(tick.text));
    }
    for (const PlotTick& tick : plot.yTicks) {
        painter.drawLine(QPointF(plot.left - 4, tick.position), QPointF(plot.left, tick.position));
        painter.drawText(QRectF(plot.left - 50, tick.position - 7, 44, 14),
                         Qt::AlignRight | Qt::AlignVCenter, text(tick.text));
    }
    painter.setFont(plotFont(12));
    painter.drawText(QRectF(plot.left, plot.bottom + 20, plot.right - plot.left, 16),
                     Qt::AlignCenter, text(plot.xTitle));
    painter.save();
    painter.translate(12, (plot.top + plot.bottom) / 2);
    painter.rotate(-90);
    painter.drawText(QRectF(-(plot.bottom - plot.top) / 2, -8, plot.bottom - plot.top, 16),
                     Qt::AlignCenter, text(plot.yTitle));
    painter.restore();
    painter.setFont(plotFont(13, true));
    painter.drawText(QRectF(0, 6, plot.width, 18), Qt::AlignCenter, text(plot.title));
    painter.setFont(plotFont(11));
    painter.setPen(QColor(70, 70, 70));
    painter.drawText(QRectF(4, plot.bottom + 40, plot.width - 8, 36),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text(plot.caption));
}

void drawPoints(QPainter& painter, const StructurePlot& plot) {
    // The largest circles first, so that none hides a smaller one.
    std::vector<std::size_t> order(plot.points.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return plot.points[a].radius > plot.points[b].radius;
    });
    painter.setPen(QPen(kPointEdge, 1));
    painter.setBrush(kPointFill);
    for (const std::size_t p : order) {
        const PlotPoint& point = plot.points[p];
        painter.drawEllipse(QPointF(point.x, point.y), point.radius, point.radius);
    }
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    for (const PlotPoint& point : plot.points)
        painter.drawText(
            QRectF(point.labelLeft, point.labelTop, point.labelWidth + 2, point.labelHeight),
            Qt::AlignLeft | Qt::AlignVCenter, text(point.label));
}

void writeWhole(const QByteArray& bytes, const std::string& fileName) {
    ReplacingFile file(fileName);
    file.write({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    file.commit();
}

} // namespace

StructurePlot structurePlotOf(const StructureResult& result, int width, int height) {
    const QtTextMeasurer labels(labelFont());
    return structurePlot(result.populations, result.scaling, result.settings.distance, width,
                         height, labels, QFontMetrics(labelFont()).height() + 2);
}

void drawStructurePlot(QPainter& painter, const StructurePlot& plot) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(0, 0, plot.width, plot.height), Qt::white);
    drawAxes(painter, plot);
    drawPoints(painter, plot);
}

QByteArray structurePlotSvg(const StructurePlot& plot) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    const QSize size(static_cast<int>(plot.width), static_cast<int>(plot.height));
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(text(plot.title));
    QPainter painter(&generator);
    drawStructurePlot(painter, plot);
    painter.end();
    return bytes;
}

QImage structurePlotImage(const StructurePlot& plot) {
    QImage image(static_cast<int>(plot.width), static_cast<int>(plot.height),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawStructurePlot(painter, plot);
    painter.end();
    return image;
}

void saveStructurePlot(const StructureResult& result, const std::string& fileName) {
    const QString suffix = QFileInfo(text(fileName)).suffix().toLower();
    const StructurePlot plot = structurePlotOf(result, kSavedPlotWidth, kSavedPlotHeight);
    if (suffix == "svg") {
        writeWhole(structurePlotSvg(plot), fileName);
        return;
    }
    if (suffix == "png") {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!structurePlotImage(plot).save(&buffer, "PNG"))
            throw Error(QCoreApplication::translate("tarnwick::StructurePlot",
                                                    "Cannot encode the plot as PNG for \"%1\".")
                            .arg(text(fileName))
                            .toStdString());
        writeWhole(bytes, fileName);
        return;
    }
    throw Error(QCoreApplication::translate(
                    "tarnwick::StructurePlot",
                    "Cannot save the plot as \"%1\": give a name ending in .svg or .png.")
                    .arg(text(fileName))
                    .toStdString());
}

} // namespace tarnwick
