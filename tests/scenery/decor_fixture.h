// Fixture of the decor object tests: the scenery fixture with the default
// data tree's props written under drive C:, decor objects switched on, the
// display axes the vehicles set, the random generator restarted, and a
// list of one object loaded with a script the test writes. Whatever was
// loaded is freed and checked given back.
#pragma once
#include <numbers>
#include <string>

#include "datagen/decorprops.h"
#include "engine3d/matrix.h"
#include "scenery/decorobjects.h"
#include "scenery/devenv.h"
#include "system/util.h"
#include "tests/scenery/scenery_fixture.h"
#include "tests/support/testenv.h"

namespace scenerytest {

class DecorTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    E3D_MatFromAngles(SB_Var.CarAxisMatrix, std::numbers::pi / 2, std::numbers::pi / 2, 0.0);
    LSI_ResetRand();
    SB_Var.Time = 0;
    SB_Var.Renderer = 0;
    SB_Var.DecorObjectsOn = 1;
    for (const datagen::CarModel& prop : datagen::DecorProps()) ASSERT_TRUE(datagen::WriteCarModel(root_, prop));
  }
  void TearDown() override {
    SB_FreeDecorNames();
    SB_FreeDecorObjects();
    SB_Var.DecorObjectsOn = 0;
    SceneryTest::TearDown();
  }
  void Write(const std::string& name, const std::string& text) { ztest::WriteFile(root_ + "/" + name, text); }
  // A list of one object (the windmill, parts MOULIN and PALES, unless
  // another is named) with this script, loaded.
  void LoadOne(const std::string& script, const std::string& object = "obc>decor>moulin.obc") {
    Write("DECOR/T.SCR", script);
    Write("DECOR/LIST.TXT", "OBJECT \"" + object + "\",\"decor>t.scr\",0\r\n");
    LoadObjectScript("decor>list.txt");
  }
  static TDECOROBJ& Entry(int32_t i = 0) { return SB_Var.DecorObjects[i]; }
  static TDECORBLOCK& Block(int32_t j, int32_t i = 0) { return Entry(i).Blocks[j]; }
  static TDECORCMD& Command(int32_t j, int32_t k, int32_t i = 0) { return Block(j, i).Commands[k]; }
  // The part of the loaded object that bears the name.
  static OBJECT* Part(const char* name, int32_t i = 0) {
    for (OBJECT* p = Entry(i).Object; p; p = p->Next)
      if (std::string(p->Name) == name) return p;
    return nullptr;
  }
  // One race frame at the game clock's time.
  static void Frame(uint32_t ms) {
    SB_Var.Time = ms;
    SB_AnimateDecorObjects();
  }
};

}  // namespace scenerytest
