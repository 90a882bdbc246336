#pragma once
#include "data/OutputGuard.h"

#include <QString>

class QImage;

// Pictures of diagrams for reports: the picture as the screen shows it, as PNG or SVG.
namespace diagrampicture {

// Writes `image` to `path`, as SVG when the name ends in ".svg" and as PNG otherwise, where
// `guard` lets it write. An existing file is replaced only once the new picture is complete.
// False with `error` set.
bool Save(const QImage &image, const QString &path, const OutputGuard &guard, QString *error);
// The file filters of the save dialog, PNG first.
QString Filters();
// `path` with the suffix of the chosen filter when it has none of its own.
QString WithSuffix(const QString &path, const QString &selectedFilter);

} // namespace diagrampicture
