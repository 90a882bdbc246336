#include "TipFileReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each read takes at most this many characters; a longer line arrives in pieces.
constexpr size_t PIECE = 49;

// Where the pieces come from: a file or text in memory, read the same way.
class TextSource : public TipFileReader::PieceSource {
public:
  explicit TextSource(std::string text) : text(std::move(text)) {}
  bool Next(std::string &piece, bool &error) override {
    error = false;
    if (at >= text.size())
      return false;
    size_t n = 0;
    while (n < PIECE && at + n < text.size() && text[at + n] != '\n')
      ++n;
    if (n < PIECE && at + n < text.size())
      ++n; // the newline itself
    piece.assign(text, at, n);
    at += n;
    piece.resize(std::strlen(piece.c_str()));
    return true;
  }

private:
  std::string text;
  size_t at = 0;
};

class FileSource : public TipFileReader::PieceSource {
public:
  explicit FileSource(std::FILE *file) : file(file) {}
  ~FileSource() override { std::fclose(file); }
  bool Next(std::string &piece, bool &error) override {
    char buffer[PIECE + 1];
    if (!std::fgets(buffer, sizeof buffer, file)) {
      error = std::ferror(file) != 0;
      return false;
    }
    error = false;
    piece.assign(buffer);
    return true;
  }

private:
  std::FILE *file;
};

// A "%hd" conversion: blanks, an optional sign, at least one digit. Values beyond 16 bits wrap
// the way a short takes them; the digits never overflow anything.
bool ShortField(const char *&s, int16_t &value) {
  const char *p = s;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = *p++ == '-';
  if (*p < '0' || *p > '9')
    return false;
  uint64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    magnitude = magnitude < (uint64_t(1) << 60) ? magnitude * 10 + uint64_t(*p - '0') : magnitude;
  const uint64_t bits = negative ? uint64_t(0) - magnitude : magnitude;
  value = int16_t(uint16_t(bits & 0xffff));
  s = p;
  return true;
}

// hour:minute:second.hundredths from the start of `s`, as far as it goes: fields that cannot be
// read keep their values. Returns how many were read.
int TimeFields(const char *s, int16_t fields[4]) {
  static const char separators[] = {':', ':', '.'};
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (*s != separators[i - 1])
        return i;
      ++s;
    }
    if (!ShortField(s, fields[i]))
      return i;
  }
  return 4;
}

// "%s": a word after blanks.
std::string Word(const char *&s) {
  while (*s && std::strchr(" \t\n\v\f\r", *s))
    ++s;
  const char *start = s;
  while (*s && !std::strchr(" \t\n\v\f\r", *s))
    ++s;
  return std::string(start, s);
}

// The time fields start at the line's third character.
const char *Values(const std::string &line) { return line.size() >= 2 ? line.c_str() + 2 : ""; }

} // namespace

std::string TipFilePath(const std::string &dataPath) {
  const size_t dot = dataPath.rfind('.');
  return (dot == std::string::npos ? std::string() : dataPath.substr(0, dot)) + ".tip";
}

TipFileReader::PieceSource::~PieceSource() = default;

TipFileReader::TipFileReader() = default;
TipFileReader::~TipFileReader() = default;

int TipFileReader::Fail(std::string *message, const std::string &text) {
  source.reset();
  if (message)
    *message = text;
  return 0;
}

int TipFileReader::Open(const std::string &path, std::string *message) {
  result = TipFileResult{};
  source.reset();
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0)
    return Fail(message, "no tip-file available");
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  int openError = fd < 0 ? errno : 0;
  // A folder of that name opens but cannot be read as text.
  if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
    openError = EISDIR;
  std::FILE *file = openError == 0 ? ::fdopen(fd, "r") : nullptr;
  if (!file) {
    if (openError == 0)
      openError = errno;
    if (fd >= 0)
      ::close(fd);
    return Fail(message, std::string("Could not open tip-file because:") +
                             std::string(std::strerror(openError)).substr(0, 255));
  }
  source = std::make_unique<FileSource>(file);
  return Head(message);
}

int TipFileReader::OpenText(const std::string &text, std::string *message) {
  result = TipFileResult{};
  source = std::make_unique<TextSource>(text);
  return Head(message);
}

int TipFileReader::Head(std::string *message) {
  if (message)
    message->clear();
  std::string line;
  bool error = false;
  if (!source->Next(line, error))
    return Fail(message, error ? "Error: could not read from tip-file"
                               : "TIP-file error: the file is empty !");
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
  fields[0] = fields[1] = fields[2] = fields[3] = 0;
  dayOffset = 0;
  if (result.version == 1 && source->Next(line, error)) {
    // The head of a 1.1 file: the second line, and a third when the second is an M line.
    std::string third;
    if (line[0] == 'M' && source->Next(third, error))
      line = third;
    TimeFields(Values(line), fields);
  }
  if (error)
    return Fail(message, "Error: could not read from tip-file");
  return 1;
}

int TipFileReader::Read(long maxLines, std::string *message) {
  if (!source)
    return 1;
  std::string line;
  bool error = false;
  for (long n = 0; n < maxLines; ++n) {
    if (!source->Next(line, error)) {
      source.reset();
      if (error)
        return Fail(message, "Error: could not read from tip-file");
      return 1;
    }
    const char type = line[0];
    // A line without any time (a blank line, the rest of an over-long line) is no tip: taking
    // the previous line's time again would count a tip that never was.
    if (TimeFields(Values(line), fields) == 0) {
      ++result.skippedLines;
      continue;
    }
    if (result.version == 0) {
      if (fields[0] < 0)
        dayOffset += 86400;
    } else if (type == 'M' && fields[0] == 0 && fields[1] == 0 && fields[2] == 0 &&
               fields[3] == 0) {
      dayOffset += 86400;
      continue;
    }
    const double time =
        fields[3] * 0.01 + fields[0] * 3600.0 + fields[1] * 60.0 + fields[2] + double(dayOffset);
    try {
      result.tips.push_back(float(time));
    } catch (const std::bad_alloc &) {
      return Fail(message, "CBigRainIntensityView::ReadTipFile: Allocation error!");
    }
  }
  return 2;
}

void TipFileReader::Stop() {
  if (source)
    result.stopped = true;
  source.reset();
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
