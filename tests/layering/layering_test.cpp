// Holds the tree to its floors (cmake/floors.txt): every include runs down
// a floor or stays on its own, data-only headers include only data, and no
// object file needs a function or variable that only a higher floor
// defines (an extern written by hand gets past the include check, not
// past this one).
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Floors {
  std::map<std::string, int> floor;                       // folder -> floor
  std::set<std::pair<std::string, std::string>> allowed;  // (folder, symbol) exceptions
};

Floors ReadFloors() {
  Floors f;
  std::ifstream in(std::string(ZENTROVA_SOURCE_DIR) + "/cmake/floors.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first, second, third;
    words >> first >> second >> third;
    if (first.empty() || first[0] == '#') continue;
    if (first == "exception")
      f.allowed.insert({second, third});
    else
      f.floor[first] = std::stoi(second);
  }
  return f;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find('/')); }

bool IsDataOnly(const std::string& header) { return fs::path(header).filename() == "types.h"; }

TEST(Layering, IncludesRunDownward) {
  const Floors floors = ReadFloors();
  ASSERT_GT(floors.floor.size(), 10u);
  const fs::path root = ZENTROVA_SOURCE_DIR;
  const std::regex include(R"(^\s*#\s*include\s+\"([^\"]+)\")");
  int files = 0;
  for (const auto& [folder, floor] : floors.floor) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension();
      if (ext != ".cpp" && ext != ".h" && ext != ".inc") continue;
      ++files;
      const std::string file = fs::relative(entry.path(), root);
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        const std::string target = m[1];
        const auto to = floors.floor.find(FolderOf(target));
        if (to == floors.floor.end()) continue;  // the standard library, SDL, generated files
        const std::string where = file + ":" + std::to_string(number) + " includes " + target;
        if (IsDataOnly(file))
          EXPECT_TRUE(IsDataOnly(target) || to->second <= floors.floor.at("system"))
              << where << ": a data-only header includes only data, system/ and the standard library";
        else
          EXPECT_TRUE(IsDataOnly(target) || to->second <= floor) << where << ", a higher floor";
      }
    }
  }
  EXPECT_GT(files, 100);
}

struct Symbols {
  std::set<std::string> defined, needed;
};

// The global symbols of each object file, from one run of nm over all of
// them ("file: name type ..." lines).
std::map<std::string, Symbols> SymbolsOf(const std::vector<std::string>& objects) {
  std::map<std::string, Symbols> symbols;
  std::string command = "nm -P -A";
  for (const auto& object : objects) command += " '" + object + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  EXPECT_TRUE(pipe) << command;
  if (!pipe) return symbols;
  char buffer[8192];
  while (fgets(buffer, sizeof buffer, pipe.get())) {
    std::string line = buffer;
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    std::istringstream words(line.substr(colon + 2));
    std::string name, type;
    words >> name >> type;
    Symbols& s = symbols[line.substr(0, colon)];
    if (type == "U")
      s.needed.insert(name);
    else if (type.size() == 1 && std::isupper(static_cast<unsigned char>(type[0])))
      s.defined.insert(name);  // global definitions, weak ones (W, V) included
  }
  return symbols;
}

std::string Demangled(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                              std::free);
  return status == 0 ? text.get() : name;
}

TEST(Layering, ObjectsNeedNothingFromAbove) {
  const Floors floors = ReadFloors();
  // Lines "<folder> <object file>", written by CMake at configure time.
  std::ifstream list(LAYERING_OBJECTS);
  std::vector<std::pair<std::string, std::string>> objects;  // folder, object file
  std::vector<std::string> files;
  std::string folder, object;
  while (list >> folder >> object) {
    objects.push_back({folder, object});
    files.push_back(object);
  }
  const auto symbols = SymbolsOf(files);
  std::map<std::string, int> lowestDefinition;  // symbol -> lowest floor defining it
  for (const auto& [folder, object] : objects) {
    const int floor = floors.floor.at(folder);
    if (!symbols.count(object)) continue;
    for (const auto& name : symbols.at(object).defined) {
      auto [it, added] = lowestDefinition.emplace(name, floor);
      if (!added && floor < it->second) it->second = floor;
    }
  }
  ASSERT_GT(objects.size(), 100u);
  for (const auto& [folder, object] : objects) {
    const int floor = floors.floor.at(folder);
    if (!symbols.count(object)) continue;
    for (const auto& needed : symbols.at(object).needed) {
      const auto definition = lowestDefinition.find(needed);
      if (definition == lowestDefinition.end() || definition->second <= floor) continue;
      const std::string readable = Demangled(needed);
      if (floors.allowed.count({folder, readable.substr(0, readable.find('('))})) continue;
      ADD_FAILURE() << object << " needs " << readable << ", defined only on floor " << definition->second;
    }
  }
}

}  // namespace
