// The race tests' fixture and the recording fakes in place of the weak
// stubs of the other subsystems.
#include "tests/race/race_fixture.h"

#include <cstdio>
#include <filesystem>

#include "datagen/palette3d.h"
#include "engine3d/videotable.h"
#include "platform/window.h"
#include "race/session.h"
#include "racescene/mapinfo.h"
#include "racescene/race3d.h"
#include "racescene/racecamera.h"
#include "racescene/videomode.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "system/error.h"
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
  // The 3D palette a race loads, from the texture path (empty here).
  std::filesystem::create_directories(root_ + "/TXT");
  ASSERT_TRUE(datagen::WritePcx(root_ + "/TXT/PALETTE.PCX", datagen::TexturePalettePicture()));
  SB_ClearPrintedLines();
  Session().onFrame = [this] { ++frames_; };
  plat::SetMessageSource([] {});  // the test is the keyboard: keys may come
}

void SessionTest::StartDisplay() {
  SB_SetDisplayMode(640, 480, 16);
  SB_InitVideoModes();
  SB_Var.VideoModeIndex = 17;
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

std::tuple<int16_t, int16_t, int16_t> SessionTest::Counts() {
  return {LSI_Var.NbAlloc, LSI_Var.NbBmap, LSI_Var.NbPal};
}

void SessionTest::ExpectNothingLeft() {
  EXPECT_EQ(std::tuple(SB_Var.NbMemOwners, SB_Var.NbBmapOwners), std::tuple(0, 0)) << "owner records left";
  EXPECT_EQ(Counts(), counts_) << "heap blocks, bitmaps or palettes left";
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

// Traces the call and gives the answer.
int32_t Answer(const std::string& call, int32_t answer) {
  Trace(call);
  return answer;
}


}  // namespace

// FAKES(FAKE, a, b, ...) defines a(), b(), ... each tracing its name;
// FAKES(FAKE_VIEW, ...) takes a view and traces its name too.
#define FAKE(name) \
  void name() { Trace(#name); }
#define FAKE_VIEW(name) \
  void name(TSOFTSCENE* view) { Trace(#name " " + ViewName(view)); }
#define FAKES_PARENS ()
#define FAKES_EXPAND(...) FAKES_EXPAND3(FAKES_EXPAND3(FAKES_EXPAND3(FAKES_EXPAND3(__VA_ARGS__))))
#define FAKES_EXPAND3(...) FAKES_EXPAND2(FAKES_EXPAND2(FAKES_EXPAND2(FAKES_EXPAND2(__VA_ARGS__))))
#define FAKES_EXPAND2(...) FAKES_EXPAND1(FAKES_EXPAND1(FAKES_EXPAND1(FAKES_EXPAND1(__VA_ARGS__))))
#define FAKES_EXPAND1(...) __VA_ARGS__
#define FAKES(macro, ...) __VA_OPT__(FAKES_EXPAND(FAKES_NEXT(macro, __VA_ARGS__)))
#define FAKES_NEXT(macro, name, ...) macro(name) __VA_OPT__(FAKES_AGAIN FAKES_PARENS(macro, __VA_ARGS__))
#define FAKES_AGAIN() FAKES_NEXT

// Vehicles.
FAKES(FAKE, SB_SetControlMap, SB_PrintPlayerOrder, SB_FindDrivenCar, SB_StartRace, SB_StopCarSounds,
      SB_FreeCars, SB_FreeCarPvrTextures, SB_RaceTeardown, SB_RefreshCarSetups, SB_UpdateCars,
      SB_UpdateCarSounds, SB_CommitCarSounds, SB_MuteCarSoundsNow, SB_DrawPhysicsMeters,
      SB_VParamsEditorFrame)
void SB_SnapshotControls() {
  Trace("SB_SnapshotControls");
  if (Session().onFrame) Session().onFrame();
}
void SB_AssignCarSetups(TVEHICLESETUP*) { Trace("SB_AssignCarSetups"); }
void SB_SendLocalCarSetup(TVEHICLESETUP*) { Trace("SB_SendLocalCarSetup"); }
int32_t SB_LoadCars(TVEHICLESETUP*, int32_t flag) { return Answer("SB_LoadCars " + std::to_string(flag), 1); }
void SB_RegenerateChangedCarTextures(TVEHICLESETUP*) { Trace("SB_RegenerateChangedCarTextures"); }
void SB_SendCarState(int32_t index) { Trace("SB_SendCarState " + std::to_string(index)); }
int32_t SB_VParamsMouseMoved() { return Session().mouseMoved; }

// Scenery and effects.
FAKES(FAKE, TransBackObc, DisposeBackObc, SB_RemapDecorObjects, SB_FreeObjectsExtraTextures, SB_InitPanel,
      SB_RemapPanel, SB_DisposePanel, POWER_InitShadow, POWER_CloseShadow, POWER_InitPhare, POWER_ClosePhare,
      SB_InitWindShield, SB_DisposeWindShield, SB_InitFumeeBmapGame, SB_FreeFumeeBmapGame,
      SB_InitCielBmapGame, SB_FreeCielBmapGame, SB_InitLensFlare, SB_DisposeLensFlare,
      SB_InitExplosionBmapGame, SB_FreeExplosionBmapGame, SB_InitRoadLights, SB_EndRoadLights,
      SB_LoadBackgrounds, SB_FreeBackgrounds, SB_RemapScratch, SB_SelectBackground, SB_AnimateDecorObjects,
      SB_MoveFumee, SB_AnimateExplosions, SB_UpdateLensFlare, SB_UpdateSunGlare, SB_UpdateDayNight,
      SB_Show3dScreen, SB_Copy3dScreen)
FAKES(FAKE_VIEW, SB_DrawDecorObjects)
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
FAKES(FAKE, SB_CheckFacePoints, SB_EvolutionPrepare, BuildListXZYPoly, BuildXZYList, SB_FreeXZYList,
      SB_FreeListXZYPoly, SB_FreeDecor)
int32_t SB_LoadMapInfo(const char*) { return Answer("SB_LoadMapInfo", Session().mapInfo); }

// Editors.
FAKES(FAKE, SB_Edit, SB_FreeEdit, SB_EnterEdit, SB_UpdateEdit, SB_InitDecorEditor, SB_FreeDecorEditor,
      SB_UpdateDecorEditor, SB_TxtAnimEditor, SB_FreeSceneEditor)
FAKES(FAKE_VIEW, SB_ResetPageAnims, SB_InspectPolygons)
void SB_UpdateSceneEditor(BMAP* b) { Trace(b && b == SB_Var.TextScreen ? "SB_UpdateSceneEditor overlay" : "SB_UpdateSceneEditor"); }

// 3D engine and renderers.
FAKES(FAKE, POWER_FreeScarsTexture, SB_UpdateCameraZoneFactor, POWER_WaitRenderDone)
void POWER_LoadScarsTexture() { Trace(SB_Var.InsetOn ? "POWER_LoadScarsTexture inset on" : "POWER_LoadScarsTexture"); }
int32_t SB_LoadMap() { return Answer("SB_LoadMap", Session().loadMap); }
void SB_ScaleCarsTextureCoords(int32_t n) { Trace("SB_ScaleCarsTextureCoords " + std::to_string(n)); }
void SB_DoubleCarsTextureCoords(int32_t n) { Trace("SB_DoubleCarsTextureCoords " + std::to_string(n)); }
int32_t SB_UpdateRaceCamera(TCAMERA*) {
  Trace("SB_UpdateRaceCamera");
  return 0;
}
void SB_SetView(TSOFTSCENE* view, TCAMERA*, _WINDOW*, int32_t, int32_t, int32_t) { Trace("SB_SetView " + ViewName(view)); }
void POWER_BeginFrame(_WINDOW*, TSOFTSCENE* view) { Trace("POWER_BeginFrame " + ViewName(view)); }
void POWER_ClipViewPolygons(_WINDOW*, TSOFTSCENE* view) { Trace("POWER_ClipViewPolygons " + ViewName(view)); }
int32_t POWER_DrawPolygonOutlines(TSOFTSCENE* view) {
  return Answer("POWER_DrawPolygonOutlines " + ViewName(view), 0);
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
uint64_t E3D_StartTimer() { return 0; }
uint64_t E3D_ElapsedTime() { return Session().ticks; }

// Front end, network, settings.
FAKES(FAKE, SB_UpdateOptionsFade, POWER_LoadHudTextures, POWER_FreeHudTextures, SB_LoadOptionPicts)
void NET_UpdateEvent() { ++Session().netUpdates; }
int32_t NET_RequestVehicleSetups() {
  Trace("NET_RequestVehicleSetups");
  return 1;
}
// The menus reach the rest of the settings; faked too, so that the
// settings file stays out of this program.
FAKES(FAKE, SB_ReadSettings, SB_FreeMenuItemTexts, SB_LoadSettings, SB_SaveSettings, SB_ApplySettings)
int32_t SB_StartCdMusic() { return Answer("SB_StartCdMusic", 1); }
int32_t SB_StopCdMusic() { return Answer("SB_StopCdMusic", 1); }
int32_t SB_PlayFli(const char* film, const char* sound, int32_t mode, int32_t flag) {
  return Answer(std::string("SB_PlayFli ") + film + " " + sound + " " + std::to_string(mode) + " " +
                    std::to_string(flag),
                1);
}
int32_t NET_SetControllerStatus(XSTATE state, int32_t) {
  return Answer("NET_SetControllerStatus " + std::to_string(state), Session().controllerAnswer);
}
