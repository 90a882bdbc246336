#include "LogicalMapping.h"

#include <cmath>

LogicalMapping::LogicalMapping(QPointF wOrg, QSizeF wExt, QPointF vOrg, QSizeF vExt)
    : windowOrg(wOrg), windowExt(wExt), viewportOrg(vOrg), viewportExt(vExt) {
  // A zero window extent would divide by zero; it maps everything onto the origin instead.
  if (windowExt.width() == 0)
    windowExt.setWidth(1);
  if (windowExt.height() == 0)
    windowExt.setHeight(1);
}

LogicalMapping LogicalMapping::Anisotropic(QPointF wOrg, QSizeF wExt, QPointF vOrg, QSizeF vExt) {
  return LogicalMapping(wOrg, wExt, vOrg, vExt);
}

LogicalMapping LogicalMapping::Isotropic(QPointF wOrg, QSizeF wExt, QPointF vOrg, QSizeF vExt) {
  LogicalMapping m(wOrg, wExt, vOrg, vExt);
  const double sx = std::abs(m.viewportExt.width() / m.windowExt.width());
  const double sy = std::abs(m.viewportExt.height() / m.windowExt.height());
  const double s = std::min(sx, sy);
  auto sign = [](double v) { return v < 0 ? -1.0 : 1.0; };
  // The viewport keeps its signs: a window extent of the other sign still flips its axis.
  m.viewportExt = QSizeF(sign(m.viewportExt.width()) * s * std::abs(m.windowExt.width()),
                         sign(m.viewportExt.height()) * s * std::abs(m.windowExt.height()));
  return m;
}

QPointF LogicalMapping::ToDevice(QPointF l) const {
  return {viewportOrg.x() + (l.x() - windowOrg.x()) * viewportExt.width() / windowExt.width(),
          viewportOrg.y() + (l.y() - windowOrg.y()) * viewportExt.height() / windowExt.height()};
}

QPointF LogicalMapping::ToLogical(QPointF d) const {
  const double vx = viewportExt.width() == 0 ? 1 : viewportExt.width();
  const double vy = viewportExt.height() == 0 ? 1 : viewportExt.height();
  return {windowOrg.x() + (d.x() - viewportOrg.x()) * windowExt.width() / vx,
          windowOrg.y() + (d.y() - viewportOrg.y()) * windowExt.height() / vy};
}

double LogicalMapping::DeviceLengthX(double logical) const {
  return std::abs(logical * viewportExt.width() / windowExt.width());
}

double LogicalMapping::DeviceLengthY(double logical) const {
  return std::abs(logical * viewportExt.height() / windowExt.height());
}

double LogicalMapping::LogicalLengthY(double device) const {
  const double vy = viewportExt.height() == 0 ? 1 : viewportExt.height();
  return std::abs(device * windowExt.height() / vy);
}

QTransform LogicalMapping::Transform() const {
  const double sx = viewportExt.width() / windowExt.width();
  const double sy = viewportExt.height() / windowExt.height();
  return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                    viewportOrg.y() - windowOrg.y() * sy);
}
