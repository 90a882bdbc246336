#include "CalibrationExport.h"

#include "OblatenessPlot.h"
#include "document/CPluvicamDoc.h"
#include "particle/CHydData.h"

#include "data/PartialFile.h"

#include <algorithm>
#include <cstdio>

CalibrationExport::CalibrationExport(const std::array<CalibEntry, 11> &calibEntries, int viewScale)
    : entries(calibEntries), scale(viewScale) {}

bool CalibrationExport::Rewind(CPluvicamDoc &doc) {
  if (!doc.PositionAtStart())
    return false;
  // A run that reached the end of the data leaves that status behind, and forward reads would
  // find nothing: the pass starts afresh.
  doc.SetStatus(CPluvicamDoc::statusRejected);
  return true;
}

void CalibrationExport::Add(const HydRecord &r) {
  const PlotPoint p = OblatenessPlot::Dot(r.diameter, r.oblateness, scale);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].Contains(p))
      continue;
    Range &g = ranges[i];
    g.d0 = std::min(g.d0, r.diameter);
    g.d1 = std::max(g.d1, r.diameter);
    g.o0 = std::min(g.o0, r.oblateness);
    g.o1 = std::max(g.o1, r.oblateness);
    g.v0 = std::min(g.v0, r.velocity);
    g.v1 = std::max(g.v1, r.velocity);
    ++g.count;
  }
}

std::string CalibrationExport::Text() const {
  std::string text = "    Diam      D0      D1      O0      O1      V0      V1      NR\n";
  text += std::string(64, '=') + "\n";
  char line[200];
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].diameter == 0)
      continue;
    const Range &g = ranges[i];
    std::snprintf(line, sizeof line, " %7.1f %7.1f %7.1f %7.1f %7.1f %7.1f %7.1f %7.1d\n",
                  double(entries[i].diameter), double(g.d0), double(g.d1), double(g.o0),
                  double(g.o1), double(g.v0), double(g.v1), int(g.count));
    text += line;
  }
  return text;
}

bool CalibrationExport::WriteFile(const std::string &path, const std::string &text,
                                  const OutputGuard &guard, std::string &error) {
  if (const std::string refusal = guard.Check(path); !refusal.empty()) {
    error = std::string(CREATE_FAILED) + ": " + refusal;
    return false;
  }
  PartialFile file;
  std::string why;
  if (!file.Create(path, &why)) {
    error = std::string(CREATE_FAILED) + ": " + path + ": " + why;
    return false;
  }
  if (!file.Write(text.data(), text.size(), &why) || !file.Commit(&why)) {
    error = std::string(WRITE_FAILED) + ": " + path + ": " + why;
    return false;
  }
  return true;
}
