#pragma once
// Moving values between form fields and their controls, with the checks and messages of the
// standard data exchange: a number that cannot be read is refused with its message.
#include "document/TimeOfDay.h"

#include <QString>
#include <QTime>

class QLineEdit;
class QTimeEdit;

namespace fields {

inline const char *const ENTER_NUMBER = "Please enter a number.";
inline const char *const ENTER_INTEGER = "Please enter an integer.";

// Reads a float; false with `error` filled when the text is no finite number.
bool ReadFloat(const QLineEdit *edit, float &value, QString &error);
// Reads a float that must lie in [low, high] ("Please enter a number between %1 and %2.").
bool ReadFloatInRange(const QLineEdit *edit, float &value, float low, float high, QString &error);
bool ReadInt(const QLineEdit *edit, int &value, QString &error);
// Floats are shown with six significant digits, as the data exchange prints them.
QString FloatText(float value);
// Sets the text only when it differs, so that an unchanged field reports no change.
void WriteFloat(QLineEdit *edit, float value);
void WriteInt(QLineEdit *edit, int value);

// Hour, minute and second into a picker (kept inside a day); nothing else is used.
QTime ClockOf(const TimeOfDay &time);
TimeOfDay TimeOfDayOf(const QTime &clock);

} // namespace fields
