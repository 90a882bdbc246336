#include "FieldExchange.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace fields {

bool ReadFloat(const QLineEdit *edit, const QString &field, float &value, QString &error) {
  bool ok = false;
  const double v = edit->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > 3.4e38) {
    error = QStringLiteral("Please enter a number for %1.").arg(field);
    return false;
  }
  value = float(v);
  return true;
}

bool ReadFloatInRange(const QLineEdit *edit, const QString &field, float &value, float low,
                      float high, QString &error) {
  float v = 0;
  if (!ReadFloat(edit, field, v, error))
    return false;
  if (v < low || v > high) {
    error = QStringLiteral("Please enter a number between %1 and %2 for %3.")
                .arg(FloatText(low), FloatText(high), field);
    return false;
  }
  value = v;
  return true;
}

bool ReadInt(const QLineEdit *edit, const QString &field, int &value, QString &error) {
  bool ok = false;
  const int v = edit->text().trimmed().toInt(&ok);
  if (!ok) {
    error = QStringLiteral("Please enter an integer for %1.").arg(field);
    return false;
  }
  value = v;
  return true;
}

QString FloatText(float value) { return QString::asprintf("%.6g", double(value)); }

void WriteFloat(QLineEdit *edit, float value) {
  const QString text = FloatText(value);
  if (edit->text() != text)
    edit->setText(text);
}

void WriteInt(QLineEdit *edit, int value) {
  const QString text = QString::number(value);
  if (edit->text() != text)
    edit->setText(text);
}

QTime ClockOf(const TimeOfDay &time) {
  return QTime(std::clamp<int>(time.hour, 0, 23), std::clamp<int>(time.minute, 0, 59),
               std::clamp<int>(time.second, 0, 59));
}

TimeOfDay TimeOfDayOf(const QTime &clock) {
  TimeOfDay t;
  t.hour = int16_t(clock.hour());
  t.minute = int16_t(clock.minute());
  t.second = int16_t(clock.second());
  return t;
}

} // namespace fields
