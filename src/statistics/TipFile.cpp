#include "TipFileReader.h"
#include "data/RegularInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Digits only, at most five of them (no field of a time or date needs more).
bool Digits(const char *&s, int &value) {
  int n = 0;
  value = 0;
  for (; *s >= '0' && *s <= '9'; ++s, ++n) {
    if (n == 5)
      return false;
    value = value * 10 + (*s - '0');
  }
  return n > 0;
}

bool Expect(const char *&s, char c) {
  if (*s != c)
    return false;
  ++s;
  return true;
}

struct TipTime {
  int hour = 0, minute = 0, second = 0, hundredths = 0;
};

// hour:minute:second.hundredths; the hour may carry a sign (version 1.0 marks the next day with
// a negative hour). Every field within its range.
bool ReadTime(const char *&s, int version, TipTime &t) {
  while (Blank(*s))
    ++s;
  bool negative = false;
  if (*s == '+' || *s == '-')
    negative = *s++ == '-';
  if (!Digits(s, t.hour) || !Expect(s, ':') || !Digits(s, t.minute) || !Expect(s, ':') ||
      !Digits(s, t.second) || !Expect(s, '.') || !Digits(s, t.hundredths))
    return false;
  if (negative) {
    if (version != 0)
      return false;
    t.hour = -t.hour;
  }
  return t.hour >= -23 && t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.hundredths <= 99;
}

// The date behind an M line's time: one character, "-", one character, day/month/year.
bool ReadDate(const char *&s) {
  if (!*s || !*++s || *s++ != '-' || !*s++)
    return false;
  int day = 0, month = 0, year = 0;
  return Digits(s, day) && Expect(s, '/') && Digits(s, month) && Expect(s, '/') &&
         Digits(s, year) && day >= 1 && day <= 31 && month >= 1 && month <= 12;
}

bool OnlyBlanks(const char *s) {
  while (Blank(*s))
    ++s;
  return *s == '\0';
}

// A tip or M line: its type, one separator, the time, for an M line optionally its date, and
// nothing else.
bool ParseLine(const std::string &line, int version, TipTime &t) {
  if (line.size() < 2 || std::strlen(line.c_str()) != line.size())
    return false;
  const char *s = line.c_str() + 2;
  if (!ReadTime(s, version, t))
    return false;
  if (OnlyBlanks(s))
    return true;
  return line[0] == 'M' && ReadDate(s) && OnlyBlanks(s);
}

// "%s": a word after blanks.
std::string Word(const char *&s) {
  while (*s && Blank(*s))
    ++s;
  const char *start = s;
  while (*s && !Blank(*s))
    ++s;
  return std::string(start, s);
}

std::string LineList(const std::vector<long> &lines) {
  std::string text;
  for (long n : lines)
    text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

} // namespace

std::string TipFilePath(const std::string &dataPath) {
  const size_t dot = dataPath.rfind('.');
  return (dot == std::string::npos ? std::string() : dataPath.substr(0, dot)) + ".tip";
}

std::string BadTipLinesNote(const TipFileResult &result) {
  if (result.badLines.empty())
    return {};
  return "tip-file: " + std::string(result.badLines.size() == 1 ? "line " : "lines ") +
         LineList(result.badLines) + (result.badLines.size() == 1 ? " is" : " are") +
         " not a tip line; skipped";
}

int TipFileReader::Fail(std::string *message, const std::string &text) {
  reading = false;
  if (message)
    *message = text;
  return 0;
}

int TipFileReader::Open(const std::string &path, std::string *message) {
  result = TipFileResult{};
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0)
    return Fail(message, "no tip-file available");
  const RegularInput in = RegularInput::Open(path);
  if (in.fd < 0)
    return Fail(message,
                "Could not open tip-file because:" +
                    (in.err != 0 ? std::string(std::strerror(in.err)).substr(0, 255) : in.problem));
  std::string content;
  bool failed = in.size > MAX_TIP_FILE_SIZE;
  if (!failed) {
    // Room for the file as it was examined and one byte more; a file that grew since gets more
    // room, up to one byte more than allowed, which tells a file too large.
    const size_t limit = size_t(MAX_TIP_FILE_SIZE) + 1;
    content.resize(std::min(size_t(in.size) + 1, limit));
    size_t got = 0;
    for (;;) {
      const ssize_t n = ::read(in.fd, content.data() + got, content.size() - got);
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0) {
        ::close(in.fd);
        return Fail(message, "Error: could not read from tip-file");
      }
      if (n == 0)
        break;
      got += size_t(n);
      if (got == content.size()) {
        if (got == limit)
          break;
        content.resize(std::min(2 * got, limit));
      }
    }
    failed = got > size_t(MAX_TIP_FILE_SIZE);
    content.resize(got);
  }
  ::close(in.fd);
  if (failed)
    return Fail(message, "TIP-file error: the file is larger than " +
                             std::to_string(MAX_TIP_FILE_SIZE >> 20) + " MiB !");
  return OpenText(content, message);
}

int TipFileReader::OpenText(const std::string &content, std::string *message) {
  result = TipFileResult{};
  text = content;
  at = 0;
  lineNumber = 0;
  reading = true;
  return Head(message);
}

bool TipFileReader::NextLine(std::string &line) {
  if (at >= text.size())
    return false;
  size_t end = text.find('\n', at);
  if (end == std::string::npos)
    end = text.size();
  line.assign(text, at, end - at);
  at = end + 1;
  ++lineNumber;
  return true;
}

int TipFileReader::Head(std::string *message) {
  if (message)
    message->clear();
  std::string line;
  if (!NextLine(line))
    return Fail(message, "TIP-file error: the file is empty !");
  // "name version": the name, one character, the version.
  const char *s = line.c_str();
  Word(s);
  if (*s)
    ++s;
  const std::string version = Word(s);
  if (version == "1.0") {
    result.version = 0;
  } else if (version == "1.1") {
    result.version = 1;
  } else {
    return Fail(message, "TIP-file error: unknown version " + version + " !");
  }
  dayOffset = 0;
  // The head of a 1.1 file: the second line, and a third when the second is an M line; they
  // are no tips.
  if (result.version == 1 && NextLine(line) && line[0] == 'M')
    NextLine(line);
  return 1;
}

int TipFileReader::Read(long maxLines, std::string *message) {
  if (!reading)
    return 1;
  std::string line;
  for (long n = 0; n < maxLines; ++n) {
    if (!NextLine(line)) {
      reading = false;
      return 1;
    }
    if (OnlyBlanks(line.c_str()) && std::strlen(line.c_str()) == line.size()) {
      ++result.skippedLines;
      continue;
    }
    TipTime t;
    if (!ParseLine(line, result.version, t)) {
      result.badLines.push_back(lineNumber);
      if (result.badLines.size() > MAX_BAD_TIP_LINES)
        return Fail(message, "TIP-file error: more than " + std::to_string(MAX_BAD_TIP_LINES) +
                                 " lines are not tip lines (lines " + LineList(result.badLines) +
                                 ") !");
      continue;
    }
    if (result.version == 0) {
      if (t.hour < 0)
        dayOffset += 86400;
    } else if (line[0] == 'M' && t.hour == 0 && t.minute == 0 && t.second == 0 &&
               t.hundredths == 0) {
      dayOffset += 86400;
      continue;
    }
    const double time =
        t.hundredths * 0.01 + t.hour * 3600.0 + t.minute * 60.0 + t.second + double(dayOffset);
    try {
      result.tips.push_back(float(time));
    } catch (const std::bad_alloc &) {
      return Fail(message, "CBigRainIntensityView::ReadTipFile: Allocation error!");
    }
  }
  return 2;
}

void TipFileReader::Stop() {
  if (reading)
    result.stopped = true;
  reading = false;
}

namespace {
int ReadAll(TipFileReader &reader, TipFileResult &result, std::string *message,
            const std::function<bool()> &keepGoing) {
  int status = 0;
  while ((status = reader.Read(256, message)) == 2) {
    if (keepGoing && !keepGoing()) {
      reader.Stop();
      status = 1;
      break;
    }
  }
  result = reader.Result();
  return status;
}
} // namespace

int ReadTipFile(const std::string &path, TipFileResult &result, std::string *message,
                const std::function<bool()> &keepGoing) {
  TipFileReader reader;
  if (!reader.Open(path, message)) {
    result = reader.Result();
    return 0;
  }
  return ReadAll(reader, result, message, keepGoing);
}

int ParseTipText(const std::string &text, TipFileResult &result, std::string *message,
                 const std::function<bool()> &keepGoing) {
  TipFileReader reader;
  if (!reader.OpenText(text, message)) {
    result = reader.Result();
    return 0;
  }
  return ReadAll(reader, result, message, keepGoing);
}
