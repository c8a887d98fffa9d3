// WIN.INI stand-in: a small INI file in the configuration directory.
#include "platform/profile.h"

#include <optional>
#include <strings.h>
#include <vector>

#include "platform/config.h"
#include "platform/textlines.h"

namespace plat {
namespace {

struct Entry {
  std::string key, value;
};
struct Section {
  std::string name;     // without its outer blanks, for matching
  std::string written;  // between the brackets as read, for writing back
  std::vector<Entry> entries;
};

std::optional<std::vector<Section>> g_sections;

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Parses the file; returns false when a line had to be dropped.
bool Parse(const std::string& text, std::vector<Section>& sections) {
  bool clean = true;
  Section* current = nullptr;
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (!IsPrintableText(line)) {
      clean = false;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) {
        clean = false;
        current = nullptr;
        continue;
      }
      const std::string inner = line.substr(1, line.size() - 2);
      sections.push_back({Trim(inner), inner, {}});
      current = &sections.back();
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || !current) {
      clean = false;
      continue;
    }
    current->entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
  return clean;
}

std::string Format(const std::vector<Section>& sections) {
  std::string text;
  for (const Section& section : sections) {
    text += "[" + section.written + "]\n";
    for (const Entry& entry : section.entries) text += entry.key + "=" + entry.value + "\n";
  }
  return text;
}

const std::vector<Section>& Load() {
  if (!g_sections) {
    g_sections.emplace();
    std::string text;
    const std::string path = ConfigFile("win.ini");
    if (ReadWholeFile(path, text) && !Parse(text, *g_sections))
      WriteFileAtomically(path, Format(*g_sections));
  }
  return *g_sections;
}

}  // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& fallback) {
  for (const Section& s : Load()) {
    if (!SameName(s.name, Trim(section))) continue;
    for (const Entry& e : s.entries)
      if (SameName(e.key, key)) return e.value;
  }
  return fallback;
}

void ProfileForget() { g_sections.reset(); }

}  // namespace plat
