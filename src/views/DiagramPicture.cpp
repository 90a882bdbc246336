#include "DiagramPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace diagrampicture {

namespace {
const QString PNG_FILTER = QStringLiteral("PNG picture (*.png)");
const QString SVG_FILTER = QStringLiteral("SVG picture (*.svg)");
} // namespace

QString Filters() { return PNG_FILTER + QStringLiteral(";;") + SVG_FILTER; }

QString WithSuffix(const QString &path, const QString &selectedFilter) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
    return path;
  return path + (selectedFilter == SVG_FILTER ? QStringLiteral(".svg") : QStringLiteral(".png"));
}

bool Save(const QImage &image, const QString &path, const OutputGuard &guard, QString *error) {
  auto fail = [&](const QString &why) {
    if (error)
      *error = QStringLiteral("Could not save the picture %1: %2").arg(path, why);
    return false;
  };
  if (image.isNull())
    return fail(QStringLiteral("the diagram has no picture"));
  if (const std::string refusal = guard.Check(QFile::encodeName(path).toStdString());
      !refusal.empty())
    return fail(QFile::decodeName(refusal.c_str()));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(file.errorString());
  if (QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0) {
    // Several diagrams gather their points into the picture during a run and could not draw
    // them again, so the SVG carries the picture exactly as shown.
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(image.size());
    svg.setViewBox(QRect(QPoint(0, 0), image.size()));
    svg.setTitle(QFileInfo(path).completeBaseName());
    svg.setDescription(QStringLiteral("Pluvicam diagram"));
    QPainter p;
    if (!p.begin(&svg))
      return fail(QStringLiteral("the SVG could not be started"));
    p.drawImage(0, 0, image);
    p.end();
  } else if (!image.save(&file, "PNG")) {
    file.cancelWriting();
    return fail(file.errorString());
  }
  if (!file.commit())
    return fail(file.errorString());
  return true;
}

} // namespace diagrampicture
