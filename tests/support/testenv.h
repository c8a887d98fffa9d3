// Test environment: a temporary folder holding the drives and the user's
// configuration, the manual clock, headless message boxes, a process exit
// that throws instead of ending the test, fresh global records, and the
// program's windows made and active.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs.h"

namespace ztest {

// Thrown by the exit hook in place of ending the process.
struct ExitCalled {
  int code;
};

// Runs f and returns the exit code it ended with, or -999 when it returned.
template <typename F>
int ExitCodeOf(F&& f) {
  try {
    f();
  } catch (const ExitCalled& e) {
    return e.code;
  }
  return -999;
}

// Writes a whole file, creating its folders.
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

class Environment : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Folder standing for drive C: and the configuration folder.
  std::string root_, config_, temp_;

  // Replaces the drives; C: stays the first fixed drive unless given.
  void SetDrives(const std::vector<plat::DriveConfig>& drives);
  // Writes WIN.INI in the configuration folder.
  void WriteWinIni(const std::string& text);
  // The message boxes shown so far.
  const std::vector<std::string>& Boxes() const;
  // The library's error file on drive C:, and how many of its reports
  // hold the text.
  std::string ErrorFile() const;
  int Logged(const std::string& text) const;
};

// Starts the library as the program does (heap of the given size) and
// closes it at the end of each test.
class LibraryTest : public Environment {
 protected:
  void SetUp() override;
  void TearDown() override;
  void StartLibrary(uint32_t heapSize = 1 << 20);
  bool started_ = false;
};

}  // namespace ztest
