// The race tests' fixture and the recording fakes in place of the weak
// stubs of the other subsystems.
#include "tests/race/race_fixture.h"

#include <cstdio>

#include "engine3d/race3d.h"
#include "engine3d/videomode.h"
#include "engine3d/videotable.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "system/error.h"
#include "tests/support/cartable.h"
#include "system/lsvar.h"

namespace ztest {

SessionFakes& Session() {
  static SessionFakes fakes;
  return fakes;
}

void Trace(const std::string& call) {
  SessionFakes& s = Session();
  const std::vector<std::string>& lines = SB_PrintedLines();
  for (; s.linesSeen < lines.size(); ++s.linesSeen) s.trace.push_back("\"" + lines[s.linesSeen] + "\"");
  if (!call.empty()) s.trace.push_back(call);
}

const std::vector<std::string>& Traced() {
  Trace("");
  return Session().trace;
}

std::vector<std::string> TracedWith(const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& t : Traced())
    if (t.rfind(prefix, 0) == 0) out.push_back(t);
  return out;
}

std::string ViewName(const TSOFTSCENE* view) {
  if (!view) return "null";
  if (view == SB_Var.UserView[0]) return "v0";
  return view == SB_Var.UserView[1] ? "v1" : "other";
}

void SessionTest::SetUp() {
  LibraryTest::SetUp();
  StartLibrary(8 << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  Session() = SessionFakes{};
  SB_ClearPrintedLines();
  Session().onFrame = [this] { ++frames_; };
}

void SessionTest::StartDisplay() {
  SB_SetDisplayMode(640, 480, 16);
  SB_InitVideoModes();
  SB_Var.VideoModeIndex = 17;
}

void SessionTest::MakeCars(int32_t n) {
  MakeCarTable(cars_, n);
}

void SessionTest::MakeRaceScreen() {
  StartDisplay();
  SB_CreateDataView();
  ASSERT_EQ(SB_ApplyVideoMode(), 1);
  Session().trace.clear();
}

void SessionTest::AtFrame(int32_t frames, std::function<void()> f) {
  frames_ = 0;
  Session().onFrame = [this, frames, f] {
    if (frames_++ == frames) f();
  };
}

void SessionTest::Baseline() {
  nbAlloc_ = LSI_Var.NbAlloc;
  nbBmap_ = LSI_Var.NbBmap;
  nbPal_ = LSI_Var.NbPal;
}

void SessionTest::ExpectNothingLeft() {
  EXPECT_EQ(SB_Var.NbMemOwners, 0) << "owner records left";
  EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "bitmap owner records left";
  EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_) << "heap blocks left";
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_) << "bitmaps left";
  EXPECT_EQ(LSI_Var.NbPal, nbPal_) << "palettes left";
}

void SessionTest::TearDown() {
  SB_Free3dScreen();
  SB_FreeDataView();
  SB_FreePalette3d();
  if (LS_Var.Screen) LS_FreeBmap(LS_Var.Screen);
  LS_Var.Screen = nullptr;
  LibraryTest::TearDown();
}

}  // namespace ztest

using ztest::Session;
using ztest::Trace;
using ztest::ViewName;

namespace {

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

int32_t CarIndex(const TCAR* car) {
  for (int32_t i = 0; i < SB_MAXCARS; ++i)
    if (SB_Var.Cars[i] == car) return i;
  return -1;
}

}  // namespace

#define FAKE(name) \
  void name() { Trace(#name); }
#define FAKE_VIEW(name) \
  void name(TSOFTSCENE* view) { Trace(#name " " + ViewName(view)); }

// Vehicles.
FAKE(SB_SetControlMap)
FAKE(SB_PrintPlayerOrder)
FAKE(SB_FindDrivenCar)
FAKE(SB_StartRace)
FAKE(SB_StopCarSounds)
FAKE(SB_FreeCars)
FAKE(SB_FreeCarPvrTextures)
FAKE(SB_RaceTeardown)
FAKE(SB_RefreshCarSetups)
FAKE(SB_UpdateCars)
FAKE(SB_UpdateCarSounds)
FAKE(SB_CommitCarSounds)
FAKE(SB_MuteCarSoundsNow)
FAKE(SB_DrawPhysicsMeters)
FAKE(SB_VParamsEditorFrame)
void SB_SnapshotControls() {
  Trace("SB_SnapshotControls");
  if (Session().onFrame) Session().onFrame();
}
void SB_AssignCarSetups(TVEHICLESETUP*) { Trace("SB_AssignCarSetups"); }
void SB_SendLocalCarSetup(TVEHICLESETUP*) { Trace("SB_SendLocalCarSetup"); }
int32_t SB_LoadCars(TVEHICLESETUP*, int32_t flag) {
  Trace("SB_LoadCars " + std::to_string(flag));
  return 1;
}
void SB_RegenerateChangedCarTextures(TVEHICLESETUP*) { Trace("SB_RegenerateChangedCarTextures"); }
void SB_SendCarState(TCAR* car) { Trace("SB_SendCarState " + std::to_string(CarIndex(car))); }
int32_t SB_VParamsMouseMoved() { return Session().mouseMoved; }

// Scenery and effects.
FAKE(TransBackObc)
FAKE(DisposeBackObc)
FAKE(SB_RemapDecorObjects)
FAKE(SB_FreeObjectsExtraTextures)
FAKE(SB_InitPanel)
FAKE(SB_RemapPanel)
FAKE(SB_DisposePanel)
FAKE(POWER_InitShadow)
FAKE(POWER_CloseShadow)
FAKE(POWER_InitPhare)
FAKE(POWER_ClosePhare)
FAKE(SB_InitWindShield)
FAKE(SB_DisposeWindShield)
FAKE(SB_InitFumeeBmapGame)
FAKE(SB_FreeFumeeBmapGame)
FAKE(SB_InitCielBmapGame)
FAKE(SB_FreeCielBmapGame)
FAKE(SB_InitLensFlare)
FAKE(SB_DisposeLensFlare)
FAKE(SB_InitExplosionBmapGame)
FAKE(SB_FreeExplosionBmapGame)
FAKE(SB_InitRoadLights)
FAKE(SB_EndRoadLights)
FAKE(SB_LoadBackgrounds)
FAKE(SB_FreeBackgrounds)
FAKE(SB_RemapScratch)
FAKE(SB_SelectBackground)
FAKE(SB_AnimateDecorObjects)
FAKE(SB_MoveFumee)
FAKE(SB_AnimateExplosions)
FAKE(SB_UpdateLensFlare)
FAKE(SB_UpdateSunGlare)
FAKE(SB_UpdateDayNight)
FAKE(SB_Show3dScreen)
FAKE(SB_Copy3dScreen)
FAKE_VIEW(SB_DrawDecorObjects)
// The race overlay as the scenery makes it, unless told to fail.
int32_t SB_Create3dScreen(int32_t width, int32_t height, int32_t depth) {
  Trace("SB_Create3dScreen " + std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth));
  if (!Session().overlayFails) SB_Var.TextScreen = SB_CreateBmap(width, height, depth, BMAP_VIDEOMEM, "sb3dscr");
  if (!SB_Var.TextScreen) SB_ConsolePrintf("Not enough video ram !!!");
  if (SB_Var.TextScreen) LS_ClearBmap(SB_Var.TextScreen);
  return SB_Var.TextScreen ? 1 : 0;
}
void SB_SetLightTint(float r, float, float) { Trace("SB_SetLightTint " + Number(r)); }
void SB_DrawBackground(TCAMERA*) { Trace("SB_DrawBackground"); }
void SB_DrawFumee(TSOFTSCENE* view, _WINDOW*) { Trace("SB_DrawFumee " + ViewName(view)); }
void SB_DrawFireAndExplosions(TSOFTSCENE* view, _WINDOW*) { Trace("SB_DrawFireAndExplosions " + ViewName(view)); }
void POWER_BuildCarShadow(TSOFTSCENE*, TCAMERA*, TCAR*, int32_t i) { Trace("Shadow " + std::to_string(i)); }
void POWER_BuildPhareVolume(TCAMERA*, TCAR*, int32_t i) { Trace("Beam " + std::to_string(i)); }

// Track.
FAKE(SB_CheckFacePoints)
FAKE(SB_EvolutionPrepare)
FAKE(BuildListXZYPoly)
FAKE(BuildXZYList)
FAKE(SB_FreeXZYList)
FAKE(SB_FreeListXZYPoly)
FAKE(SB_FreeDecor)
int32_t SB_LoadMapInfo(const char*) {
  Trace("SB_LoadMapInfo");
  return Session().mapInfo;
}

// Editors.
FAKE(SB_Edit)
FAKE(SB_FreeEdit)
FAKE(SB_EnterEdit)
FAKE(SB_UpdateEdit)
FAKE(SB_InitDecorEditor)
FAKE(SB_FreeDecorEditor)
FAKE(SB_UpdateDecorEditor)
FAKE(SB_TxtAnimEditor)
FAKE(SB_FreeSceneEditor)
FAKE_VIEW(SB_ResetPageAnims)
FAKE_VIEW(SB_InspectPolygons)
void SB_UpdateSceneEditor(BMAP* b) { Trace(b && b == SB_Var.TextScreen ? "SB_UpdateSceneEditor overlay" : "SB_UpdateSceneEditor"); }

// 3D engine and renderers.
FAKE(POWER_LoadScarsTexture)
FAKE(POWER_FreeScarsTexture)
FAKE(SB_UpdateCameraZoneFactor)
FAKE(POWER_WaitRenderDone)
int32_t SB_LoadMap() {
  Trace("SB_LoadMap");
  return Session().loadMap;
}
void SB_ScaleCarsTextureCoords(int32_t n) { Trace("SB_ScaleCarsTextureCoords " + std::to_string(n)); }
void SB_DoubleCarsTextureCoords(int32_t n) { Trace("SB_DoubleCarsTextureCoords " + std::to_string(n)); }
void SB_UpdateRaceCamera(TCAMERA*) { Trace("SB_UpdateRaceCamera"); }
void SB_SetView(TSOFTSCENE* view, TCAMERA*, _WINDOW*, int32_t, int32_t, int32_t) { Trace("SB_SetView " + ViewName(view)); }
void POWER_BeginFrame(_WINDOW*, TSOFTSCENE* view) { Trace("POWER_BeginFrame " + ViewName(view)); }
void POWER_ClipViewPolygons(_WINDOW*, TSOFTSCENE* view) { Trace("POWER_ClipViewPolygons " + ViewName(view)); }
int32_t POWER_DrawPolygonOutlines(TSOFTSCENE* view) {
  Trace("POWER_DrawPolygonOutlines " + ViewName(view));
  return 0;
}
void POWER_RenderMap(TSOFTSCENE* view, TCAMERA*, _WINDOW*) { Trace("RenderMap " + ViewName(view)); }
void POWER_RenderFrame(_WINDOW*, TSOFTSCENE* view) { Trace("RenderFrame " + ViewName(view)); }
void E3D_SoftRenderMap(TSOFTSCENE* view, TCAMERA*, _WINDOW*) { Trace("RenderMap " + ViewName(view)); }
void E3D_SoftDrawScene(_WINDOW*, TSOFTSCENE* view) { Trace("RenderFrame " + ViewName(view)); }
void SB_DrawObject(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, const double*, int32_t detail, int32_t index,
                   uint32_t colour) {
  char text[64];
  std::snprintf(text, sizeof text, "SB_DrawObject %d %d %06x", index, detail, colour);
  Trace(text);
}
void SB_DrawObjectDirect(TSOFTSCENE*, _WINDOW*, OBJECT*, TCAMERA*, TCAR*, int32_t) { Trace("SB_DrawObjectDirect"); }
void E3D_StartTimer() {}
uint64_t E3D_ElapsedTime() { return Session().ticks; }

// Front end, network, settings.
FAKE(SB_UpdateOptionsFade)
FAKE(POWER_LoadHudTextures)
FAKE(POWER_FreeHudTextures)
FAKE(SB_LoadOptionPicts)
void NET_UpdateEvent() { ++Session().netUpdates; }
FAKE(NET_RequestVehicleSetups)
FAKE(SB_ReadSettings)
FAKE(SB_FreeMenuItemTexts)
int32_t SB_StartCdMusic() {
  Trace("SB_StartCdMusic");
  return 1;
}
int32_t SB_StopCdMusic() {
  Trace("SB_StopCdMusic");
  return 1;
}
int32_t SB_PlayFli(const char* film, const char* sound, int32_t mode, int32_t flag) {
  Trace(std::string("SB_PlayFli ") + film + " " + sound + " " + std::to_string(mode) + " " + std::to_string(flag));
  return 1;
}
int32_t NET_SetControllerStatus(XSTATE state, int32_t) {
  Trace("NET_SetControllerStatus " + std::to_string(state));
  return Session().controllerAnswer;
}
