#include "ParticleText.h"

#include "document/CPluvicamDoc.h"
#include "particle/CContour.h"
#include "particle/CRainData.h"
#include "particle/ContourBuilder.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>

namespace {
void Tell(std::string *message, const std::string &text) {
  if (message)
    *message = text;
}

// The file is read by other programs: a decimal point whatever the user's locale says.
class ClassicNumbers {
public:
  ClassicNumbers() : c(newlocale(LC_ALL_MASK, "C", nullptr)), old(c ? uselocale(c) : nullptr) {}
  ~ClassicNumbers() {
    if (c) {
      uselocale(old);
      freelocale(c);
    }
  }
  ClassicNumbers(const ClassicNumbers &) = delete;
  ClassicNumbers &operator=(const ClassicNumbers &) = delete;

private:
  locale_t c;
  locale_t old;
};

void Append(std::string &out, const char *format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string &out, const char *format, ...) {
  char text[160];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n > 0)
    out.append(text, size_t(std::min<int>(n, int(sizeof text) - 1)));
}

void AppendLines(std::string &out, const int16_t *left, const int16_t *right, int lines) {
  lines = std::clamp(lines, 0, CRainData::MAXLIN);
  for (int i = 0; i < lines; ++i)
    Append(out, "Line %2d: %3d - %3d\n", i + 1, left[i], right[i]);
}
} // namespace

std::string FormatParticleText(const HydRecord &r, const TimeOfDay &t, const CRainData &edges,
                               const CContour *contourA, const CContour *contourB) {
  const ClassicNumbers numbers;
  std::string out;
  Append(out, "time           = %02d:%02d:%02d.%03d\n", t.hour, t.minute, t.second, t.millisecond);
  Append(out, "eq. diameter   = %6.3f mm\n", double(r.diameter));
  Append(out, "vert. velocity = %6.3f m/s\n", double(r.velocity));
  Append(out, "oblatenes      = %6.3f\n", double(r.oblateness));
  Append(out, "scale system A = %6.3f mm/pixels\n", double(r.scaleSysA));
  Append(out, "scale system B = %6.3f mm/pixels\n", double(r.scaleSysB));
  Append(out, "scale height   = %6.3f mm/line\n", double(r.scaleHeight));
  if (contourA)
    Append(out, "\nSystem A (front view)     Corr.: %.2f mm\n", double(contourA->GetShear()));
  AppendLines(out, edges.leftA, edges.rightA, r.linesA);
  if (contourB)
    Append(out, "\nSystem B (side view)      Corr.: %.2f mm\n", double(contourB->GetShear()));
  AppendLines(out, edges.leftB, edges.rightB, r.linesB);
  out += "\n" + std::string(73, '*') + "\n";
  return out;
}

int BuildParticleText(const CPluvicamDoc &doc, std::string *block, std::string *message) {
  if (doc.IsSno()) {
    Tell(message, "This function is not available for sno-data.");
    return 0;
  }
  const CHydData *particle = doc.GetHydData();
  const auto *rain = dynamic_cast<const CRainData *>(particle);
  if (!rain) {
    Tell(message, "no valid hyd-data available");
    return 0;
  }
  const HydRecord *record = rain->GetHydHeader();
  if (!record) {
    Tell(message, "no valid hydHeader available");
    return 0;
  }
  TimeOfDay time;
  doc.TimToTimeOfDay(record->tim, &time); // no line frequency: midnight
  int validA = 0, validB = 0;
  const CContour *a = doc.GetContour(Camera::A, &validA);
  const CContour *b = doc.GetContour(Camera::B, &validB);
  if (block)
    *block = FormatParticleText(*record, time, *rain, validA ? a : nullptr, validB ? b : nullptr);
  Tell(message, "");
  return 1;
}

std::string ParticleTextPath(const std::string &dataPath) {
  // Only a dot in the file's own name starts its extension, never one of a folder.
  const size_t slash = dataPath.find_last_of('/');
  const size_t dot = dataPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? dataPath.substr(0, dot) : dataPath) + ".txt";
}

int AppendParticleText(const std::string &path, const std::string &block, const OutputGuard &guard,
                       std::string *message) {
  const std::string openFailed = "Could not open textfile because: ";
  if (const std::string refusal = guard.Check(path); !refusal.empty()) {
    Tell(message, openFailed + refusal);
    return 0;
  }
  // Without blocking: a FIFO put in the file's place would wait for a reader for ever.
  const int fd =
      open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    Tell(message, openFailed + (errno == ENXIO ? path + " is not a regular file"
                                               : std::string(std::strerror(errno))));
    return 0;
  }
  if (const std::string refusal = guard.CheckOpened(fd, path); !refusal.empty()) {
    close(fd);
    Tell(message, openFailed + refusal);
    return 0;
  }
  bool written = true;
  for (size_t done = 0; written && done < block.size();) {
    const ssize_t n = write(fd, block.data() + done, block.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    written = n > 0;
    if (written)
      done += size_t(n);
  }
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    Tell(message, "Error occurred: could not read to text file");
    return 0;
  }
  Tell(message, "");
  return 1;
}

int BuildDropContours(CPluvicamDoc &doc, bool correction, std::string *message) {
  const int built = doc.CreateContours(ContourMode::SmoothWithRawFallback, message);
  CContour *a = doc.GetContour(Camera::A);
  CContour *b = doc.GetContour(Camera::B);
  HydRecord *record = doc.GetHydHeader();
  if (built == 1 && a && b && record)
    CorrectContours(*a, *b, *record, correction);
  return built;
}
