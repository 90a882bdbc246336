#include "SeriesFiles.h"

#include "data/FileIdentity.h"
#include "document/CHydDataHandler.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>

namespace {

std::string UtcText(int64_t seconds) {
  const std::time_t t = std::time_t(seconds);
  std::tm tm{};
  char text[32] = "?";
  if (gmtime_r(&t, &tm))
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

struct SeriesFile {
  std::string name;
  int64_t first = INT64_MAX; // time of the first and last main header; none: INT64_MAX
  int64_t last = INT64_MAX;
  std::string Span() const { return UtcText(first) + " to " + UtcText(last) + " UTC"; }
};

} // namespace

SeriesFiles SeriesFiles::Order(const std::vector<std::string> &names, UserMessages &messages) {
  SeriesFiles series;
  std::vector<std::pair<FileIdentity, std::string>> seen;
  std::vector<SeriesFile> opened;
  for (const std::string &name : names) {
    if (const auto identity = FileIdentity::Of(name)) {
      const auto same = std::find_if(seen.begin(), seen.end(),
                                     [&](const auto &s) { return s.first == *identity; });
      if (same != seen.end()) {
        messages.Show(name + ": the same file as " + same->second + "; read once");
        continue;
      }
      seen.emplace_back(*identity, name);
    }
    CHydDataHandler handler;
    CHydException e;
    if (!handler.Open(name, CInputFile::modeRead, &e)) {
      messages.Show(name + ": " + e.message);
      series.complete = false;
      continue;
    }
    SeriesFile file{name};
    const auto &index = handler.GetTimeIndex();
    if (!index.empty()) {
      file.first = int64_t(index.front().mainHeader.time);
      file.last = int64_t(index.back().mainHeader.time);
    }
    opened.push_back(file);
  }
  std::stable_sort(opened.begin(), opened.end(),
                   [](const SeriesFile &a, const SeriesFile &b) { return a.first < b.first; });
  const SeriesFile *previous = nullptr;
  for (const SeriesFile &file : opened) {
    if (previous && file.first != INT64_MAX && file.first <= previous->last) {
      messages.Show(file.name + " (" + file.Span() + ") overlaps " + previous->name + " (" +
                    previous->Span() + "); left out, as the series' time must increase");
      series.complete = false;
      continue;
    }
    series.files.push_back(file.name);
    if (file.first != INT64_MAX)
      previous = &file;
  }
  return series;
}
