#pragma once
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

// Standard output of a shell command; `status` gets its exit status, -1 when it did not exit.
inline std::string CaptureOutput(const std::string &command, int &status) {
  std::string out;
  status = -1;
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe)
    return out;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0)
    out.append(chunk, got);
  const int raw = pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

inline std::string ReadWholeFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> TextLines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The cells of a CSV line; a trailing comma ends with an empty cell.
inline std::vector<std::string> CsvCells(const std::string &line) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, ','))
    cells.push_back(cell);
  if (!line.empty() && line.back() == ',')
    cells.emplace_back();
  return cells;
}

// The rows after the header line, as column name → cell.
inline std::vector<std::map<std::string, std::string>>
CsvRows(const std::vector<std::string> &lines) {
  std::vector<std::map<std::string, std::string>> rows;
  if (lines.empty())
    return rows;
  const std::vector<std::string> header = CsvCells(lines[0]);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> cells = CsvCells(lines[i]);
    std::map<std::string, std::string> row;
    for (size_t c = 0; c < header.size() && c < cells.size(); ++c)
      row[header[c]] = cells[c];
    rows.push_back(row);
  }
  return rows;
}

#ifdef PLUVICAM_CLI
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// `pluvicam-cli ARGUMENTS`, its standard error kept in `errPath`.
inline CliRun RunCli(const std::string &arguments, const std::string &errPath) {
  CliRun run;
  run.out =
      CaptureOutput(std::string(PLUVICAM_CLI) + " " + arguments + " 2>" + errPath, run.status);
  run.err = ReadWholeFile(errPath);
  return run;
}
#endif
