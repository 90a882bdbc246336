#include "CalibrationSelection.h"

#include "OblatenessPlot.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

int CalibrationSelection::Preselect(double x) {
  const auto &d = OblatenessPlot::STANDARD_DIAMETERS;
  if (!(x > d.front()))
    return 0;
  if (x > d.back())
    return ENTRIES - 1;
  for (int k = 1; k < ENTRIES; ++k)
    if (x <= d[size_t(k)])
      return std::abs(x - d[size_t(k - 1)]) <= std::abs(x - d[size_t(k)]) ? k - 1 : k;
  return ENTRIES - 1;
}

double CalibrationSelection::CentreDiameter(PlotPoint start, PlotPoint current, int scale) {
  return std::abs(double(start.x) + double(current.x)) / 2.0 / OblatenessPlot::UnitsPerMm(scale);
}

bool CalibrationSelection::Set(int index, PlotPoint start, PlotPoint current) {
  if (index < 0 || index >= ENTRIES)
    return false;
  CalibEntry &e = entries[size_t(index)];
  e.left = start.x;
  e.top = start.y;
  e.right = current.x;
  e.bottom = current.y;
  e.diameter = OblatenessPlot::STANDARD_DIAMETERS[size_t(index)];
  return true;
}

bool CalibrationSelection::Any() const {
  for (const CalibEntry &e : entries)
    if (e.diameter != 0)
      return true;
  return false;
}

std::string CalibrationSelection::SummaryText() const {
  std::string text = "Following Data will be processed\n\n";
  char line[160];
  for (const CalibEntry &e : entries) {
    if (e.diameter == 0)
      continue;
    std::snprintf(line, sizeof line, "Diameter: %.1f\tFrom: (%d,%d)\tTo: (%d,%d)\n",
                  double(e.diameter), int(e.left), int(e.top), int(e.right), int(e.bottom));
    text += line;
  }
  text += "\n Write data to CORR_IN.dat?";
  return text;
}
