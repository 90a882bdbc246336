#pragma once
#include <QPointF>
#include <QRectF>
#include <QTransform>

// Maps logical drawing coordinates onto device pixels the way window/viewport extents and
// origins do: device = viewportOrg + (logical - windowOrg) * viewportExt / windowExt. A negative
// extent ratio flips the axis, so y can grow upwards.
class LogicalMapping {
public:
  LogicalMapping() = default;
  LogicalMapping(QPointF windowOrg, QSizeF windowExt, QPointF viewportOrg, QSizeF viewportExt);

  // Anisotropic: each axis scales on its own.
  static LogicalMapping Anisotropic(QPointF windowOrg, QSizeF windowExt, QPointF viewportOrg,
                                    QSizeF viewportExt);
  // Isotropic: one scale for both axes; the viewport extent of the axis that would scale more
  // is shrunk, keeping its sign.
  static LogicalMapping Isotropic(QPointF windowOrg, QSizeF windowExt, QPointF viewportOrg,
                                  QSizeF viewportExt);

  QPointF ToDevice(QPointF logical) const;
  QPointF ToLogical(QPointF device) const;
  // Logical length along x or y in device pixels (absolute).
  double DeviceLengthX(double logical) const;
  double DeviceLengthY(double logical) const;
  double LogicalLengthY(double device) const;
  QTransform Transform() const;

  QPointF windowOrg;
  QSizeF windowExt{1, 1};
  QPointF viewportOrg;
  QSizeF viewportExt{1, 1};
};
