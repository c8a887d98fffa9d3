// The accelerator's rescaling of texture coordinates: scale and back,
// halve and double, the cars' passes and the race session's order.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "datagen/tgawrite.h"
#include "racescene/race3d.h"
#include "tests/engine3d/model_fixture.h"
#include "vehicles/types.h"

namespace {

class RescaleTest : public ztest::ModelTest {
 protected:
  // The sample with a 64 x 128 picture (scale halves 4 and 2) and an odd
  // coordinate on the body's first face.
  OBJECT* LoadSample(bool shareAtoms = false) {
    ztest::SampleModel s;
    s.atoms[0].faces[0].coords[0] = 0x101;
    if (shareAtoms) s.model.objects[1].atom = 0;
    std::filesystem::create_directories(root_ + "/M");
    EXPECT_TRUE(datagen::WriteTga(root_ + "/M/SAMPLE.TGA", datagen::Picture24(64, 128)));
    return Load(PutSample("M", s), MLIB_FROMFILE);
  }
  static std::vector<int32_t> Coords(const OBJECT* list) {
    std::vector<int32_t> all;
    for (const OBJECT* o = list; o; o = o->Next)
      for (int32_t i = 0; i < o->Atoms[OBJ_MAIN]->NbFaces; ++i)
        all.insert(all.end(), o->Atoms[OBJ_MAIN]->Faces[i].G_OFFTEXT,
                   o->Atoms[OBJ_MAIN]->Faces[i].G_OFFTEXT + 8);
    return all;
  }
};

TEST_F(RescaleTest, ScalingAndHalvingComeBack) {
  OBJECT* list = LoadSample(true);
  ASSERT_NE(list, nullptr);
  const TGRAF& face = list->Atoms[OBJ_MAIN]->Faces[0];
  const std::vector<int32_t> before = Coords(list);
  ScaleObjectTextureCoords(list, 1);  // the shared atom is scaled once
  EXPECT_EQ(face.G_OFFTEXT[0], 0x101 * 4 + 3 * 256 * 4);
  EXPECT_EQ(face.G_OFFTEXT[1], 5 * 256 * 2);
  EXPECT_EQ(list->Atoms[OBJ_MAIN]->Faces[1].G_OFFTEXT[2], before[8 + 2]);  // untextured
  ScaleObjectTextureCoords(list, 0);
  EXPECT_EQ(Coords(list), before);

  DoubleObjectTextureCoords(list, 0);
  EXPECT_EQ(list->HalvedCoords + list->Next->HalvedCoords, 2u);
  DoubleObjectTextureCoords(list, 1);
  EXPECT_EQ(list->HalvedCoords + list->Next->HalvedCoords, 0u);
  std::vector<int32_t> even = before;
  for (int32_t& c : even) c &= ~1;  // only the body's first face holds an odd one
  EXPECT_EQ(Coords(list), even);

  // A material at full size, or without its picture, leaves the face alone.
  for (const uint32_t scale : {0x10001u, 0u}) {
    for (int i = 0; i < 2; ++i) list->Materials->Library->Materials[i].Scale = scale;
    ScaleAtomTextureCoords(list->Atoms[OBJ_MAIN], 1);
    EXPECT_EQ(Coords(list), even);
  }
  FreeObject(list);
}

TEST_F(RescaleTest, CarPassesFollowTheRendererAndTheReduction) {
  OBJECT* prototype = LoadSample();
  ASSERT_NE(prototype, nullptr);
  const std::vector<int32_t> before = Coords(prototype);
  TCAR cars[3] = {};
  for (int i = 0; i < 3; ++i) {
    cars[i].Object = DupObject(prototype, 1);
    SB_Var.Cars[i] = &cars[i];
  }
  SB_Var.Cars[3] = nullptr;  // an empty slot
  SB_Var.NbCars = 4;
  SB_Var.DrivenCar = 0;
  SB_Var.ReplayCar = 2;
  SB_Var.TextureReduction = 1;
  SB_Var.Renderer = 0;
  SB_ScaleCarsTextureCoords(1);
  SB_DoubleCarsTextureCoords(0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Coords(cars[i].Object), before) << i;

  // The race session's order on the accelerator: scale, halve; double, scale back.
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_ScaleCarsTextureCoords(1);
  SB_DoubleCarsTextureCoords(0);
  EXPECT_EQ(std::vector<uint32_t>(
                {cars[0].Object->HalvedCoords, cars[1].Object->HalvedCoords, cars[2].Object->HalvedCoords}),
            (std::vector<uint32_t>{0, 1, 0}));
  EXPECT_EQ(cars[1].Object->Atoms[OBJ_MAIN]->Faces[0].G_OFFTEXT[1], 5 * 256 * 2 / 2);
  SB_Var.TextureReduction = 0;
  SB_DoubleCarsTextureCoords(1);
  EXPECT_EQ(cars[1].Object->HalvedCoords, 1u);
  SB_Var.TextureReduction = 1;
  SB_DoubleCarsTextureCoords(1);
  SB_ScaleCarsTextureCoords(0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Coords(cars[i].Object), before) << i;
    FreeObject(cars[i].Object);
  }
  FreeObject(prototype);
}

}  // namespace
