// Shared test environment.
#include "tests/support/testenv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "console/hooks.h"
#include "platform/accel/control.h"
#include "platform/clock.h"
#include "platform/config.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/util.h"
#include "system/win/shell.h"

namespace fs = std::filesystem;

namespace ztest {

namespace {
[[noreturn]] void ThrowOnExit(int code) { throw ExitCalled{code}; }
}  // namespace

void WriteFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) { return fs::exists(path); }

void Environment::SetUp() {
  char pattern[] = "/tmp/zentrova-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  ASSERT_NE(made, nullptr);
  temp_ = made;
  root_ = temp_ + "/c";
  config_ = temp_ + "/config";
  fs::create_directories(root_);
  plat::SetConfigDir(config_);
  plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", root_}});
  plat::UseManualClock(true);
  plat::SetManualTime(0);
  plat::SetExitHook(ThrowOnExit);
  plat::SetMessageBoxEcho(false);
  plat::ClearShownMessageBoxes();
  plat::ResetBeepCount();
  plat::ResetWindowState();
  plat::ResetDisplay();
  plat::ResetJoysticks();
  plat::AccelReset();
  LS_ResetVars();
  LSI_ResetVars();
  SB_InstallHooks();
  SB_ResetVars();
  LSI_ResetRand();
  // As the program starts: the windows exist, and their first activation
  // is taken at once, so that a test that empties the queue does not leave
  // the application inactive (every pump would then wait for ever).
  ASSERT_EQ(LSYS_CreateWindows(nullptr, 1), 1);
  LSYS_PumpMessages();
}

void Environment::TearDown() {
  plat::UseManualClock(false);  // as the process started: a test after this one may read the real clock
  plat::SetReadObserver(nullptr);
  plat::SetExitHook(nullptr);
  plat::SetConfigDir("");
  std::error_code ec;
  fs::remove_all(temp_, ec);
}

void Environment::SetDrives(const std::vector<plat::DriveConfig>& drives) {
  plat::ConfigureDrives(drives);
}

void Environment::WriteWinIni(const std::string& text) {
  WriteFile(config_ + "/win.ini", text);
  plat::SetConfigDir(config_);  // forget the cached profile
}

const std::vector<std::string>& Environment::Boxes() const { return plat::ShownMessageBoxes(); }

std::string Environment::ErrorFile() const { return ReadFile(root_ + "/LSDEBUG.ERM"); }

int Environment::Logged(const std::string& text) const {
  const std::string all = ErrorFile();
  int n = 0;
  for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
  return n;
}

void LibraryTest::SetUp() {
  Environment::SetUp();
  LSI_CloseMemory();
}

void LibraryTest::StartLibrary(uint32_t heapSize) {
  ASSERT_EQ(LS_InitZidAde(heapSize), 1);
  started_ = true;
}

void LibraryTest::TearDown() {
  if (started_) LS_CloseZidAde();
  LSI_CloseMemory();
  Environment::TearDown();
}

}  // namespace ztest
