// The first accelerated race frame: what a race sets up (640 x 480 x 16 on
// the accelerator, the data view, the map's textures, the ring map, a car
// model written by datagen and a follow camera), the frame's view steps
// run twice, and the screenshot compared with a reviewed golden picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "datagen/carmodels.h"
#include "datagen/tgawrite.h"
#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "engine3d/powertextures.h"
#include "engine3d/race3d.h"
#include "engine3d/texcache.h"
#include "engine3d/videotable.h"
#include "engine3d/views.h"
#include "platform/window.h"
#include "race/raceframe.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "tests/support/testenv.h"
#include "tests/support/testmap.h"
#include "vehicles/types.h"

namespace {

namespace fs = std::filesystem;

class FirstFrameTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(64u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LS_InitSinTable();
  }
  void TearDown() override {
    SB_FreeDataView();
    POWER_DeleteScreenDevice();
    SB_Free3dScreen();
    ztest::FreeRingMap();
    LibraryTest::TearDown();
  }
  // The car model's pictures as card textures, its materials pointing at them.
  static void CardTextures(OBJECT* object) {
    MLIB* library = object->Materials ? object->Materials->Library : nullptr;
    ASSERT_NE(library, nullptr);
    std::vector<int32_t> slots(library->NbTextures, 0);
    for (uint32_t t = 0; t < library->NbTextures; ++t) {
      BMAP* picture = SB_LoadTga(library->Textures[t].Name);
      if (!picture) continue;
      int32_t side = 32;
      while (side < std::max(picture->SizeX, picture->SizeY) && side < 256) side *= 2;
      slots[t] = POWER_CreateTextureFromBmap(picture, side, 0, 2, 0);
      SB_FreeBmap(picture);
    }
    for (uint32_t m = 0; m < library->NbMaterials; ++m) {
      TMATERIAL& material = library->Materials[m];
      if (material.Texture >= 0 && static_cast<uint32_t>(material.Texture) < library->NbTextures)
        material.CardTexture = slots[material.Texture];
    }
  }
  // Every part at the car's place: model x (the roof) up, y (the front)
  // along +z, z (the left side) along -x.
  static void Place(OBJECT* object, const TCAR& car) {
    static constexpr float kAxes[9] = {0, -1, 0, 0, 0, 1, -1, 0, 0};
    for (OBJECT* part = object; part; part = part->Next) {
      std::memcpy(part->Orientation, kAxes, sizeof kAxes);
      const double* s = part->StoredPosition;
      const double offset[3] = {-s[2], -s[0], s[1]};
      for (int32_t k = 0; k < 3; ++k)
        part->Position[k] = static_cast<float>((car.Position[k] + offset[k]) * 60800.0);
    }
  }
};

TEST_F(FirstFrameTest, MatchesTheGoldenPicture) {
  // The video mode and the accelerator, as the race's set-up makes them.
  SB_Var.Renderer = SB_Var.RequestedRenderer = SB_RENDERER_PVR;
  SB_Var.DrawDistance = 300;
  ASSERT_EQ(POWER_InstallRenderCallback(), 1);
  POWER_InitTextureCache();
  ASSERT_EQ(SB_SetVideoMode(640, 480, 16, 400, 0, 0, 640, 480), 1);
  ASSERT_EQ(SB_Var.RenderMap, POWER_RenderMap);
  SB_Var.SglContext.BackRed = 0.35f, SB_Var.SglContext.BackGreen = 0.55f, SB_Var.SglContext.BackBlue = 0.85f;
  SB_Var.SglContext.FogRed = 0.35f, SB_Var.SglContext.FogGreen = 0.55f, SB_Var.SglContext.FogBlue = 0.85f;

  // The ring map with its pictures, and the data view that loads them.
  std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "RING>");
  ztest::WriteRingTextures(root_ + "/TXT/RING");
  fs::create_directories(root_ + "/BNK");
  std::snprintf(SB_Var.BankFile, sizeof SB_Var.BankFile, "BNK>RING.BNK");
  ztest::BuildRingMap();
  SB_CreateDataView();
  SB_Var.DetailDistance = SB_Var.DrawDistance * 320;

  // A car of the datagen models on the road, followed by the camera.
  const datagen::CarModel model = datagen::CarModels()[0];
  ASSERT_TRUE(datagen::WriteCarModel(root_, model));
  std::string path = model.path;
  std::replace(path.begin(), path.end(), '/', '>');
  OBJECT* object = LoadObject(path.c_str(), 0, MLIB_FROMFILE);
  ASSERT_NE(object, nullptr);
  CardTextures(object);
  TCAR car{};
  car.Position[0] = 150.0, car.Position[1] = -0.6, car.Position[2] = 0.0;
  for (int32_t k = 0; k < 9; ++k) car.Orientation[k] = car.InsetMatrix[k] = k % 4 == 0 ? 1.0 : 0.0;
  car.Object = object;
  car.TexturesReady = 1;
  Place(object, car);
  SB_Var.Cars[0] = &car;
  SB_Var.NbCars = 1, SB_Var.DrivenCar = 0, SB_Var.UsingCars = 1;
  SB_Var.CameraMode = SB_CAMERA_FOLLOW;
  SB_Hooks.IsCarInGame = [](int32_t) { return 1; };
  SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
  SB_Var.LightColor = 0xFFFFFF;
  SB_Var.Light = 1;

  for (int32_t frame = 0; frame < 2; ++frame) {
    _WINDOW* window = &SB_Var.ScreenWindow;
    SB_StartPvrFrame(window, SB_Var.PreviousView);  // step 7
    SB_RenderPvrFrame(window, SB_Var.PreviousView);
    SB_UpdateRaceCamera(&SB_Var.Camera);  // 12
    SB_UpdateCameraZoneFactor();          // 15
    TSOFTSCENE* view = SB_Var.CurrentView;
    SB_SetView(view, &SB_Var.Camera, window, SB_Var.Focal, SB_Var.DetailDistance, 0);  // 17
    SB_Var.RenderMap(view, &SB_Var.Camera, window);                                    // 18
    SB_DrawWorldObjects(&SB_Var.Camera, view);                                         // 19
    SB_DrawCarEffects(&SB_Var.Camera, view);                                           // 20
    POWER_ClipViewPolygons(window, view);                                              // 22
    SB_FinishFrameRender(window, view);                                                // 23
    SB_SwapViewBuffers();                                                              // 33
  }
  LSI_Var.Master = 0;
  plat::SetKeyState(18, true), plat::SetKeyState(83, true);  // Alt+S
  SB_ScreenShot(SB_Var.TextScreen);
  plat::SetKeyState(18, false), plat::SetKeyState(83, false);
  FreeObject(object);

  BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
  ASSERT_NE(shot, nullptr);
  // ZENTROVA_UPDATE_GOLDEN=1 writes the picture (run-length coded) for review.
  const std::string golden = std::string(ZENTROVA_SOURCE_DIR) + "/tests/engine3d/accel/golden/frame1.tga";
  if (std::getenv("ZENTROVA_UPDATE_GOLDEN")) {
    datagen::TgaImage image{shot->SizeX, shot->SizeY, 24, {}, {}};
    for (int32_t y = 0; y < shot->SizeY; ++y)
      image.pixels.insert(image.pixels.end(), shot->Start + y * shot->ByteLen,
                          shot->Start + y * shot->ByteLen + shot->SizeX * 3);
    const std::vector<uint8_t> bytes = datagen::EncodeTga(image, true);
    std::ofstream(golden, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  fs::copy_file(golden, root_ + "/GOLDEN.TGA");
  BMAP* expected = LS_LoadTga("GOLDEN.TGA", 0);
  ASSERT_NE(expected, nullptr);
  ASSERT_EQ(std::vector<int32_t>({shot->SizeX, shot->SizeY, shot->ByteLen}),
            std::vector<int32_t>({expected->SizeX, expected->SizeY, expected->ByteLen}));
  EXPECT_EQ(std::memcmp(shot->Start, expected->Start, static_cast<size_t>(shot->ByteLen) * shot->SizeY), 0);
  LS_FreeBmap(shot);
  LS_FreeBmap(expected);
}

}  // namespace
