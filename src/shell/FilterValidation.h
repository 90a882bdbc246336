#pragma once
// The range checks shared by the main control panel and the Options dialog. Each check may
// overwrite `message`, so only the last finding is reported; an order error (max < min)
// corrects nothing, a value outside the limits is set back to the nearer end's default.
#include <string>

namespace filtercheck {

// "max. NAME must be greater or equal than min. NAME", "min. NAME must be between LOW and HIGH",
// "max. NAME must be between LOW and HIGH" with the limits as a user would type them ("0", "30",
// "0.1"); min is corrected to `low`, max to `high`.
void CheckFloatRange(const char *name, float &min, float &max, float low, float high,
                     std::string &message);
// The same with "%d" limits, for the pixel ranges.
void CheckIntRange(const char *name, int &min, int &max, int low, int high, std::string &message);

// The shortest text that reads back as `value`, independent of the C locale.
std::string FormatLimit(float value);

} // namespace filtercheck
