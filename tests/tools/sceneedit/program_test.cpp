// The built program headless, as a new user tries the decor-object and
// scene editors in a race at 16 bits on the accelerator and at 8 bits in
// the software renderer: the trial of editorkeys.h runs clean, nothing is
// left allocated, and the race line laid with Route is saved after the
// race as a metre table the track reads.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/program.h"
#include "tests/support/testenv.h"
#include "tests/tools/sceneedit/editorkeys.h"

namespace fs = std::filesystem;

namespace {

class EditorsProgram : public ztest::Environment, public ::testing::WithParamInterface<int> {};

TEST_P(EditorsProgram, BothEditorsTriedAndTheNewLineSaved) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/TRY.TXT", ztest::EditorTrialStartup(GetParam()));
  ztest::WriteFile(temp_ + "/keys.txt", ztest::EditorTrialKeys());
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "try.txt", temp_ + "/stderr.txt", 240), 0);
  const std::string err = ztest::ReadFile(temp_ + "/stderr.txt");
  EXPECT_EQ(err.find("not released"), std::string::npos) << err;
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find("Bspline meter NEW.BSP saved."), std::string::npos) << console;
  EXPECT_NE(console.find(">QUIT"), std::string::npos);
  for (const char* wrong : {"unusable", "Error", "!!!"}) EXPECT_EQ(console.find(wrong), std::string::npos) << wrong;
  // Four control points 160 m and more apart: hundreds of metres of line,
  // a count and three doubles a point.
  const std::string metres = ztest::ReadFile(tree + "/NEW.BSP");
  ASSERT_GT(metres.size(), 4u);
  int32_t count = 0;
  std::memcpy(&count, metres.data(), 4);
  EXPECT_GT(count, 500);
  EXPECT_EQ(metres.size(), 4 + 24 * static_cast<size_t>(count));
}

INSTANTIATE_TEST_SUITE_P(Modes, EditorsProgram, ::testing::Values(17, 7));

}  // namespace
