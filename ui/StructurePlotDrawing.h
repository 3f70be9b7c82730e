#pragma once

// Draws the population-structure plot (StructurePlot.h) with QPainter, on screen or into an SVG
// or PNG file.

#include "commands/StructureView.h"
#include "core/statistics/StructurePlot.h"

#include <QByteArray>
#include <QImage>
#include <QPainter>

#include <string>

namespace tarnwick {

// The plot at this size, its labels measured in the font they are drawn in.
StructurePlot structurePlotOf(const StructureResult& result, int width, int height);

// Onto a painter whose device is at least the plot's size.
void drawStructurePlot(QPainter& painter, const StructurePlot& plot);

QByteArray structurePlotSvg(const StructurePlot& plot);
QImage structurePlotImage(const StructurePlot& plot);

// Writes the plot as SVG or PNG by the file's extension, replacing the file only once written
// whole. Raises an Error for any other extension or when the file cannot be written.
void saveStructurePlot(const StructureResult& result, const std::string& fileName);

} // namespace tarnwick
