// The outside programs the tests run (scripts/programs.txt) are all there:
// one missing is told here, by its name and the package that brings it,
// before the tests that need it run (CTest runs them after this one and
// reports them as not run when it fails).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string name, package;
};

// The list's rows: a program, its package, an optional comment.
std::vector<Program> ReadList(std::istream& in) {
  std::vector<Program> list;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    Program p;
    if (words >> p.name >> p.package) list.push_back(p);
  }
  return list;
}

bool Executable(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Where the shell would find a program: a path as it stands, a name in the
// folders of `path` (the PATH variable's value). Empty when nowhere.
std::string Find(const std::string& program, const std::string& path) {
  if (program.find('/') != std::string::npos) return Executable(program) ? program : "";
  std::istringstream folders(path);
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && Executable(folder + "/" + program)) return folder + "/" + program;
  return "";
}

// One line per missing program, naming it and its package.
std::vector<std::string> Missing(const std::vector<Program>& list, const std::string& path) {
  std::vector<std::string> lines;
  for (const Program& p : list)
    if (Find(p.name, path).empty())
      lines.push_back(p.name + " is missing: install the Debian package " + p.package +
                      " (scripts/setup.sh installs it)");
  return lines;
}

TEST(OutsidePrograms, AreAllOnThePath) {
  std::ifstream in(std::string(ZENTROVA_SOURCE_DIR) + "/scripts/programs.txt");
  ASSERT_TRUE(in) << "scripts/programs.txt cannot be read";
  const std::vector<Program> list = ReadList(in);
  ASSERT_GT(list.size(), 10u);
  const char* path = std::getenv("PATH");
  for (const std::string& line : Missing(list, path ? path : "")) ADD_FAILURE() << line;
}

// The check itself, on a folder of its own standing for the PATH: a program
// found there or by its path passes; one hidden is named with its package.
TEST(OutsidePrograms, AMissingOneIsNamedWithItsPackage) {
  char pattern[] = "/tmp/zentrova-programs-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  std::ofstream(folder + "/here") << "#!/bin/sh\n";
  std::ofstream(folder + "/unrunnable") << "#!/bin/sh\n";
  chmod((folder + "/here").c_str(), 0755);
  std::filesystem::create_directory(folder + "/afolder");
  std::istringstream text(
      "# program  package\n\nhere  pkg-here  # a comment\n" + folder +
      "/here  pkg-path\nunrunnable  pkg-mode\nafolder  pkg-folder\ngone  pkg-gone\n" + folder + "/gone  pkg-gonepath\n");
  const std::vector<Program> list = ReadList(text);
  ASSERT_EQ(list.size(), 6u);
  const std::vector<std::string> expected = {
      "unrunnable is missing: install the Debian package pkg-mode (scripts/setup.sh installs it)",
      "afolder is missing: install the Debian package pkg-folder (scripts/setup.sh installs it)",
      "gone is missing: install the Debian package pkg-gone (scripts/setup.sh installs it)",
      folder + "/gone is missing: install the Debian package pkg-gonepath (scripts/setup.sh installs it)"};
  EXPECT_EQ(Missing(list, "/nonexistent:" + folder), expected);
  EXPECT_EQ(Missing(list, "").size(), 5u);  // an empty PATH finds only the path
  std::filesystem::remove_all(folder);
}

}  // namespace
