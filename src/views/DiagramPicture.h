#pragma once
#include "data/OutputGuard.h"

#include <QSize>
#include <QString>
#include <functional>

class QImage;
class QPainter;

// Pictures of diagrams for reports: the picture as the screen shows it, as PNG or SVG.
namespace diagrampicture {

// A picture to be drawn: its size on screen and a painting of it at that size. Painted onto an
// SVG generator it becomes vectors where the painting draws lines, shapes and text.
struct Scene {
  QSize size;
  std::function<void(QPainter &)> paint;
};

// Writes the scene to `path`, as SVG when the name ends in ".svg" and as PNG otherwise, the PNG
// `scale` times the screen size, where `guard` lets it write. An existing file is replaced only
// once the new picture is complete. False with `error` set.
bool Save(const Scene &scene, const QString &path, double scale, const OutputGuard &guard,
          QString *error);
// The same for a finished image, which an SVG then carries as one embedded bitmap.
bool Save(const QImage &image, const QString &path, const OutputGuard &guard, QString *error);
// The scene as an image `scale` times its size; null for an empty size.
QImage Render(const Scene &scene, double scale);
// The file filters of the save dialog, PNG first, then PNG at twice the size for print, then SVG.
QString Filters();
// `path` with the suffix of the chosen filter when it has none of its own.
QString WithSuffix(const QString &path, const QString &selectedFilter);
// The PNG scale the chosen filter asks for.
double ScaleOf(const QString &selectedFilter);

} // namespace diagrampicture
