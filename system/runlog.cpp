// The run log "LS1.CFG": a run counter, then one line per run that is
// marked "*****" with its end time when the run closes normally. The file
// is rewritten whole each time, so an interrupted write never leaves it
// half updated; a missing or garbled file starts again at run 1.
#include <cctype>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/config.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "system/error.h"

namespace {

constexpr uint32_t kMaxRun = 99999;  // the counter has five digits
constexpr size_t kEndMarkLength = 12;  // " - HH:MM:SS\n", in place of 11 blanks and "\n"

std::string LogPath() { return plat::ConfigFile("LS1.CFG"); }

bool FiveDigits(const std::string& text) {
  if (text.size() < 5) return false;
  for (size_t i = 0; i < 5; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// Splits keeping each line's newline.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// A run line of an earlier run: its number or "*****", then a blank.
bool IsRunLine(const std::string& line) {
  return line.size() > 6 && line.back() == '\n' && line[5] == ' ' &&
         (FiveDigits(line) || line.compare(0, 5, "*****") == 0);
}

std::string UserName() {
  std::string name = "Unknown";
  if (plat::RegKey key = plat::RegOpenKey("Network\\Logon")) {
    char buffer[256];
    uint32_t size = sizeof buffer - 1;
    uint32_t type = 0;
    if (plat::RegQueryValue(key, "username", &type, buffer, &size)) {
      buffer[size] = 0;
      name = buffer;
    }
    plat::RegCloseKey(key);
  }
  return name;
}

std::string LocalTime(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

}  // namespace

void LSI_StartRunLog() {
  std::string text;
  std::vector<std::string> kept;
  uint32_t run = 1;
  if (plat::ReadWholeFile(LogPath(), text)) {
    std::vector<std::string> lines = Lines(text);
    if (!lines.empty() && lines[0].size() == 6 && FiveDigits(lines[0]) && lines[0][5] == '\n') {
      run = static_cast<uint32_t>(std::stoul(lines[0].substr(0, 5)));
      if (run == 0 || run > kMaxRun) run = 1;
    }
    // Earlier runs' lines are kept; anything garbled is dropped.
    for (size_t i = 1; i < lines.size(); ++i)
      if (IsRunLine(lines[i])) kept.push_back(lines[i]);
  }
  char counter[16];
  std::snprintf(counter, sizeof counter, "%05u\n", run == kMaxRun ? 1u : run + 1);
  char line[1024];
  std::snprintf(line, sizeof line, "%05u %-50s : %-9s > %s           \n", run, plat::ProgramPath().c_str(),
                UserName().c_str(), LocalTime("%d/%m/%Y : %H:%M:%S").c_str());
  std::string updated = counter;
  for (const std::string& l : kept) updated += l;
  updated += line;
  if (plat::WriteFileAtomically(LogPath(), updated)) LSI_Var.RunNumber = run;
}

void LSI_EndRunLog() {
  if (!LSI_Var.RunNumber) return;
  std::string text;
  if (!plat::ReadWholeFile(LogPath(), text)) return;
  std::vector<std::string> lines = Lines(text);
  char number[16];
  std::snprintf(number, sizeof number, "%05u ", LSI_Var.RunNumber);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string& l = lines[i];
    if (l.compare(0, 6, number) != 0 || l.size() < 6 + kEndMarkLength || l.back() != '\n') continue;
    l.replace(0, 5, "*****");
    l.replace(l.size() - kEndMarkLength, kEndMarkLength, LocalTime(" - %H:%M:%S\n"));
    std::string updated;
    for (const std::string& each : lines) updated += each;
    plat::WriteFileAtomically(LogPath(), updated);
    break;
  }
  LSI_Var.RunNumber = 0;
}
