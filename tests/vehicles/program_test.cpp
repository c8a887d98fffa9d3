// The built program headless on a copy of the default data tree: a race of
// four cars on the accelerator path, left with Esc and F1, with no message
// box and no leak.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/testenv.h"

namespace {

class ProgramCarsTest : public ztest::Environment {};

TEST_F(ProgramCarsTest, FourCarsRaceAndAreFreed) {
  const std::string tree = temp_ + "/tree";
  std::filesystem::copy(std::filesystem::path(ZENTROVA_EXE).parent_path() / "data", tree,
                        std::filesystem::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/CARS.TXT",
                   "OUTPUT 1\r\nUSINGCARS 1\r\nNUMBEROFCARS 4\r\nVIDEOMODE 17\r\nMODE PVR\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", "300 27 down\n2 27 up\n3 112 down\n5 112 up\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree + "' ZENTROVA_CONFIG_DIR='" +
                              config_ + "' ZENTROVA_INPUT_SCRIPT='" + temp_ + "/keys.txt' '" ZENTROVA_EXE
                              "' -S:cars.txt 2>'" + temp_ + "/stderr.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  size_t at = console.find("Duplicating user cars...");
  for (const char* car : {"0", "1", "2", "3"}) {
    at = console.find(std::string("...Generating textures for car n: ") + car, at);
    ASSERT_NE(at, std::string::npos) << car;
  }
  EXPECT_NE(console.find("DisposeVehicles...", at), std::string::npos);
  EXPECT_EQ(console.find("missing"), std::string::npos);
}

}  // namespace
