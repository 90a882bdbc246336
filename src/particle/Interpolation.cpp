#include "Interpolation.h"

int Interpolation::SetData(const CPointD *dataPoints, int count, std::string *message) {
  if (dataPoints == nullptr || count < 0) {
    if (message)
      *message = "SetData: dataPoints = NULL";
    points.clear();
    return 0;
  }
  points.assign(dataPoints, dataPoints + count);
  return 1;
}
