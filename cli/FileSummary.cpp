#include "FileSummary.h"

#include "CliCommon.h"

#include <sstream>

bool FileSummary::Of(const std::string &file, FileSummary &s, CHydException &openFailure,
                     std::ostream &errors, bool nameFailures) {
  CHydDataHandler handler;
  if (!handler.Open(file, CInputFile::modeRead, &openFailure))
    return false;
  if (!handler.OpenNotice().empty())
    errors << file << ": " << handler.OpenNotice() << "\n";
  s.file = handler.GetHydFile().GetFileName();
  s.snow = handler.IsSno();
  s.format = handler.GetFormat();
  s.length = handler.GetHydFile().GetLength();
  s.indexedMinutes = 0;
  for (int m = 1; m <= HeaderInfo::SLOTS; ++m)
    s.indexedMinutes += handler.GetHeaderInfo().GetMinutePosition(m) != -1;
  s.mainHeaders.clear();
  for (const MainTimEntry &entry : handler.GetTimeIndex())
    s.mainHeaders.push_back(entry.mainHeader);
  s.particles = s.failures = 0;
  s.rain = 0;
  std::ostringstream failures;
  s.status = cli::Walk(
      handler, true, s.failures,
      [&](CHydData &p, int32_t) {
        const HydRecord &r = *p.GetHydHeader();
        ++s.particles;
        if (r.area > 0)
          s.rain += r.volume / r.area;
      },
      failures);
  std::istringstream lines(failures.str());
  for (std::string failure; std::getline(lines, failure);)
    errors << (nameFailures ? file + ": " : std::string()) << failure << '\n';
  if (s.particles == 0 && s.failures == 0)
    cli::ReportNoParticles(handler, file, errors);
  return true;
}
