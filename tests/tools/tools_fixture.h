// What the tools' tests share: the library started in its normal error
// mode (a file error the tools do not hold would end the test), the console
// lines printed, the race line cleared and its metre table freed at the end
// with no block left.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"
#include "tools/bsplines.h"

namespace ztest {

class ToolsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(HeapSize());
    LS_SetErrorMode(LS_ERRMODE_FATAL);  // as the program runs
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_FreeBsplinesMeters();
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    LibraryTest::TearDown();
  }
  virtual uint32_t HeapSize() const { return 16 << 20; }
  static std::vector<std::string> Printed() {
    std::vector<std::string> lines = SB_PrintedLines();
    SB_ClearPrintedLines();
    return lines;
  }
  static void SetLine(const std::vector<TVECTOR>& points) {
    for (size_t i = 0; i < points.size(); ++i) SB_Var.RaceLinePoints[i] = points[i];
    SB_Var.NbRaceLinePoints = static_cast<int32_t>(points.size());
  }
  std::string Path(const std::string& name) const { return root_ + "/" + name; }
};

}  // namespace ztest
