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
const QString PNG_PRINT_FILTER = QStringLiteral("PNG picture, twice the size for print (*.png)");
const QString SVG_FILTER = QStringLiteral("SVG picture (*.svg)");

bool IsSvg(const QString &path) {
  return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}
} // namespace

QString Filters() { return QStringList{PNG_FILTER, PNG_PRINT_FILTER, SVG_FILTER}.join(";;"); }

QString WithSuffix(const QString &path, const QString &selectedFilter) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
    return path;
  return path + (selectedFilter == SVG_FILTER ? QStringLiteral(".svg") : QStringLiteral(".png"));
}

double ScaleOf(const QString &selectedFilter) { return selectedFilter == PNG_PRINT_FILTER ? 2 : 1; }

QImage Render(const Scene &scene, double scale) {
  if (scene.size.isEmpty() || !(scale > 0))
    return {};
  QImage image(scene.size * scale, QImage::Format_RGB32);
  if (image.isNull())
    return {};
  // The painting keeps to screen coordinates; the ratio makes every pixel `scale` pixels.
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  QPainter p(&image);
  scene.paint(p);
  p.end();
  image.setDevicePixelRatio(1);
  return image;
}

bool Save(const Scene &scene, const QString &path, double scale, const OutputGuard &guard,
          QString *error) {
  auto fail = [&](const QString &why) {
    if (error)
      *error = QStringLiteral("Could not save the picture %1: %2").arg(path, why);
    return false;
  };
  if (scene.size.isEmpty())
    return fail(QStringLiteral("the diagram has no picture"));
  if (const std::string refusal = guard.Check(QFile::encodeName(path).toStdString());
      !refusal.empty())
    return fail(QFile::decodeName(refusal.c_str()));
  QImage image;
  if (!IsSvg(path)) {
    // Drawn before the file is touched: a picture too large to hold leaves the old file alone.
    image = Render(scene, scale);
    if (image.isNull())
      return fail(QStringLiteral("the picture is too large"));
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(file.errorString());
  if (IsSvg(path)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(scene.size);
    svg.setViewBox(QRect(QPoint(0, 0), scene.size));
    svg.setTitle(QFileInfo(path).completeBaseName());
    svg.setDescription(QStringLiteral("Pluvicam diagram"));
    QPainter p;
    if (!p.begin(&svg))
      return fail(QStringLiteral("the SVG could not be started"));
    scene.paint(p);
    p.end();
  } else if (!image.save(&file, "PNG")) {
    file.cancelWriting();
    return fail(file.errorString());
  }
  if (!file.commit())
    return fail(file.errorString());
  return true;
}

bool Save(const QImage &image, const QString &path, const OutputGuard &guard, QString *error) {
  return Save(Scene{image.size(), [&image](QPainter &p) { p.drawImage(0, 0, image); }}, path, 1,
              guard, error);
}

} // namespace diagrampicture
