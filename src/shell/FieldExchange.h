#pragma once
// Moving values between form fields and their controls, with the checks and messages of the
// standard data exchange: a number that cannot be read is refused with a message that names the
// field ("Please enter a number for Filter Velocity, maximum.").
#include "document/TimeOfDay.h"

#include <QString>
#include <QTime>

class QLineEdit;
class QTimeEdit;

namespace fields {

// Reads a float; false with `error` filled when the text is no finite number.
bool ReadFloat(const QLineEdit *edit, const QString &field, float &value, QString &error);
// Reads a float that must lie in [low, high] ("Please enter a number between 0 and 30 for ...").
bool ReadFloatInRange(const QLineEdit *edit, const QString &field, float &value, float low,
                      float high, QString &error);
bool ReadInt(const QLineEdit *edit, const QString &field, int &value, QString &error);
// Floats are shown with six significant digits, as the data exchange prints them.
QString FloatText(float value);
// Sets the text only when it differs, so that an unchanged field reports no change.
void WriteFloat(QLineEdit *edit, float value);
void WriteInt(QLineEdit *edit, int value);

// Hour, minute and second into a picker (kept inside a day); nothing else is used.
QTime ClockOf(const TimeOfDay &time);
TimeOfDay TimeOfDayOf(const QTime &clock);

} // namespace fields
