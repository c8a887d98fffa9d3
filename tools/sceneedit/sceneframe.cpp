// The scene editor's frame over the race (debug mode 5): its Tools window,
// the selection of cars and camera, the tools that move and turn them and
// pan and zoom the map, their drag feedback, the cursor, and the clean-up.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "shell/gamedraw.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "tools/editors.h"
#include "tools/sceneedit/sceneedit.h"
#include "vehicles/types.h"

namespace {

struct TOOLDEF {
  const char* label;
  int32_t y;
  int32_t cursor;  // the cursor kind over the map while the tool is active
};
constexpr TOOLDEF kTools[SB_NBSCENETOOLS] = {{"Select", 1, 2}, {"Move", 14, 4},  {"RotY", 27, 4},  {"RotX", 40, 4},
                                             {"RotZ", 53, 4},   {"Main", 66, 4},  {"Loupe", 79, 3}, {"Route", 92, 2}};

struct CURSORDEF {
  const char* file;
  int32_t hotX, hotY;
};
constexpr CURSORDEF kCursors[SB_NBEDITORCURSORS] = {{"interfac>cursor.tga", 0, 0},
                                                    {nullptr, 0, 0},
                                                    {"interfac>select.tga", 8, 7},
                                                    {"interfac>loupe.tga", 4, 4},
                                                    {"interfac>hand.tga", 5, 8}};

constexpr double kNoGround = 99999.0;
constexpr int32_t kAngleStep = 200;     // camera angle units per pixel of travel
constexpr double kCarTurnUnits = 37768;  // the car turn's divisor of 200 pi per pixel

bool Outside(TTOOLWINDOW* windows) { return SB_MouseOutsideWindows(windows) == 1; }
int32_t TravelX() { return SB_Var.EditorMouseX - SB_Var.EditorPrevMouseX; }
int32_t TravelY() { return SB_Var.EditorMouseY - SB_Var.EditorPrevMouseY; }

// Starts the drag of Select and Main on a fresh press outside the windows.
void StartDrag(TTOOLWINDOW* windows) {
  if (SB_EditorPressed() && Outside(windows)) {
    SB_Var.DragStartX = SB_Var.EditorMouseX, SB_Var.DragStartY = SB_Var.EditorMouseY;
    SB_Var.DragActive = 1;
  }
}

bool InBox(const BMAP* view, double x, double z, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int32_t px = 0, py = 0;
  SB_WorldToMapView(view, x, 0.0, z, &px, &py);
  return px >= left && px <= right && py >= top && py <= bottom;
}

// The ground height (map units) where neither query finds ground: none.
bool Ground(int32_t x, int32_t z, int32_t* height) {
  *height = SB_GetCameraGroundHeight(x, z);
  return *height < kNoGround;
}

void Rotate(int32_t travel, uint32_t TCAMERA::*field, void (*rotation)(TMATRIX, double)) {
  if (SB_Var.CameraSelected) {
    SB_Var.Camera.*field += static_cast<uint32_t>(travel * kAngleStep);
    SB_UpdateCamera(&SB_Var.Camera, 1.0, 1.0);
    SB_Var.CameraMode = 0;
  }
  TMATRIX turn;
  rotation(turn, -(travel * kAngleStep) * M_PI / kCarTurnUnits);
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (TCAR* car = SB_Var.Cars[i]; car && SB_Var.CarSelected[i] && SB_SceneCarInGame(i))
      E3D_MatMul(car->Orientation, turn, car->Orientation);
}

// A magenta line on a window over the whole view.
struct DRAGPEN {
  _WINDOW window;
  uint32_t colour;
  explicit DRAGPEN(BMAP* view) : colour(SB_ToolPixel(view, 255, 0, 255)) {
    LS_InitWindowFull(view, &window, 12);
    LS_LockWindow(&window);
  }
  ~DRAGPEN() { LS_UnlockWindow(&window); }
  void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { SB_ToolDrawLine(&window, x1, y1, x2, y2, colour); }
};

}  // namespace

bool SB_SceneCarInGame(int32_t car) { return SB_Hooks.IsCarInGame && SB_Hooks.IsCarInGame(car) != 0; }

bool SB_ToolActive(int32_t tool) {
  return SB_Var.ActiveTool != nullptr && SB_Var.ActiveTool == SB_Var.ToolButtons[tool];
}

void SB_InitToolsWindow() {
  if (SB_Var.ToolsWindow) return;
  TTOOLWINDOW* window = SB_CreateToolWindow(10, 10, 64, 256, "Tools", nullptr);
  SB_Var.ToolsWindow = window;
  if (!window) return;
  for (int32_t i = 0; i < SB_NBSCENETOOLS; ++i)
    SB_Var.ToolButtons[i] = SB_AddToolButton(window, 1, kTools[i].y, 58, 12, kTools[i].label);
  SB_DrawToolWindow(window);
}

void SB_ToolSelect(TTOOLWINDOW* windows, BMAP* view) {
  if (!SB_ToolActive(SB_TOOLSELECT)) return;
  if (SB_Var.EditorButtons != 0) {
    StartDrag(windows);
    return;
  }
  if (SB_Var.DragActive) {
    const int32_t left = std::min(SB_Var.DragStartX, SB_Var.EditorMouseX);
    const int32_t right = std::max(SB_Var.DragStartX, SB_Var.EditorMouseX);
    const int32_t top = std::min(SB_Var.DragStartY, SB_Var.EditorMouseY);
    const int32_t bottom = std::max(SB_Var.DragStartY, SB_Var.EditorMouseY);
    SB_Var.CameraSelected = InBox(view, SB_Var.Camera.PosX, SB_Var.Camera.PosZ, left, top, right, bottom);
    for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
      if (const TCAR* car = SB_Var.Cars[i]; car && SB_SceneCarInGame(i))
        SB_Var.CarSelected[i] = InBox(view, car->Position[0], car->Position[2], left, top, right, bottom);
  }
  SB_Var.DragActive = 0;
}

void SB_ToolMove(TTOOLWINDOW* windows) {
  if (!SB_ToolActive(SB_TOOLMOVE) || SB_Var.EditorButtons == 0 || !Outside(windows)) return;
  const double scale = SB_Var.MapScale, tx = TravelX(), ty = TravelY();
  if (SB_Var.CameraSelected) {
    TCAMERA& camera = SB_Var.Camera;
    const int32_t du = static_cast<int32_t>(tx * scale * 320), dv = static_cast<int32_t>(ty * scale * 320);
    camera.CurrentX += du, camera.CurrentZ -= dv;
    camera.TargetX += du, camera.TargetZ -= dv;
    if (int32_t h = 0; Ground(camera.TargetX, camera.TargetZ, &h)) camera.TargetY = h - 352;
    SB_UpdateCamera(&camera, 1.0, 1.0);
    SB_Var.CameraMode = 0;
  }
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    TCAR* car = SB_Var.Cars[i];
    if (!car || !SB_Var.CarSelected[i] || !SB_SceneCarInGame(i)) continue;
    car->Position[0] += tx * scale;
    car->Position[2] -= ty * scale;
    const int32_t ix = static_cast<int32_t>(car->Position[0] * 320), iz = static_cast<int32_t>(car->Position[2] * 320);
    if (int32_t h = 0; Ground(ix, iz, &h)) car->Position[1] = (h - 260) * 0.003125;
  }
}

void SB_ToolRotY(TTOOLWINDOW* windows) {
  if (SB_ToolActive(SB_TOOLROTY) && SB_Var.EditorButtons != 0 && Outside(windows))
    Rotate(TravelX(), &TCAMERA::TargetAngleY, E3D_MatRotY);
}

void SB_ToolRotX(TTOOLWINDOW* windows) {
  if (SB_ToolActive(SB_TOOLROTX) && SB_Var.EditorButtons != 0 && Outside(windows))
    Rotate(TravelY(), &TCAMERA::TargetAngleX, E3D_MatRotX);
}

void SB_ToolRotZ(TTOOLWINDOW* windows) {
  if (SB_ToolActive(SB_TOOLROTZ) && SB_Var.EditorButtons != 0 && Outside(windows))
    Rotate(TravelX(), &TCAMERA::TargetAngleZ, E3D_MatRotZ);
}

void SB_ToolHand(TTOOLWINDOW* windows) {
  if (!SB_ToolActive(SB_TOOLMAIN)) return;
  if (SB_Var.EditorButtons != 0) {
    StartDrag(windows);
    return;
  }
  if (SB_Var.DragActive) {
    SB_Var.MapOriginX += (SB_Var.DragStartX - SB_Var.EditorMouseX) * SB_Var.MapScale;
    SB_Var.MapOriginZ += (SB_Var.EditorMouseY - SB_Var.DragStartY) * SB_Var.MapScale;
    SB_Var.MapDirty = 1;
  }
  SB_Var.DragActive = 0;
}

void SB_ToolLoupe(TTOOLWINDOW* windows, BMAP* view) {
  if (!SB_ToolActive(SB_TOOLLOUPE) || !view || !Outside(windows) || SB_Var.EditorPrevButtons != 0) return;
  if (SB_Var.EditorButtons & 1) {
    SB_Var.MapOriginX += (SB_Var.EditorMouseX - view->SizeX / 2) * SB_Var.MapScale;
    SB_Var.MapOriginZ += (view->SizeY / 2 - SB_Var.EditorMouseY) * SB_Var.MapScale;
    SB_Var.MapScale *= 0.6666666666666666;
    SB_Var.MapDirty = 1;
  }
  if (SB_Var.EditorButtons & 2) {
    SB_Var.MapScale *= 1.5;
    SB_Var.MapDirty = 1;
  }
}

void SB_DrawHandDrag(BMAP* view) {
  if (!view || !SB_ToolActive(SB_TOOLMAIN) || !SB_Var.DragActive) return;
  DRAGPEN pen(view);
  const int32_t sx = SB_Var.DragStartX, sy = SB_Var.DragStartY, mx = SB_Var.EditorMouseX, my = SB_Var.EditorMouseY;
  pen.Line(sx, sy, mx, my);
  const double dx = mx - sx, dy = my - sy;
  if (dx * dx + dy * dy <= 100) return;
  const double theta = std::atan2(dy, dx);
  for (double side : {0.3, -0.3})
    pen.Line(mx, my, mx - static_cast<int32_t>(16 * std::cos(theta + side)),
             my - static_cast<int32_t>(16 * std::sin(theta + side)));
}

void SB_DrawSelectBox(BMAP* view) {
  if (!view || !SB_ToolActive(SB_TOOLSELECT) || !SB_Var.DragActive) return;
  DRAGPEN pen(view);
  const int32_t sx = SB_Var.DragStartX, sy = SB_Var.DragStartY, mx = SB_Var.EditorMouseX, my = SB_Var.EditorMouseY;
  pen.Line(sx, sy, mx, sy);
  pen.Line(sx, sy, sx, my);
  pen.Line(mx, sy, mx, my);
  pen.Line(sx, my, mx, my);
}

void SB_DrawEditorCursor(BMAP* view, TTOOLWINDOW* windows) {
  int32_t kind = 0;
  if (Outside(windows))
    for (int32_t i = 0; i < SB_NBSCENETOOLS; ++i)
      if (SB_ToolActive(i)) kind = kTools[i].cursor;
  SB_Var.EditorCursor = kind;
  const CURSORDEF& c = kCursors[kind];
  SB_DrawCursorPicture(&SB_Var.CursorBmaps[kind], view, c.file, c.hotX, c.hotY);
}

void SB_UpdateSceneEditor(BMAP* view) {
  if (!view) return;
  SB_InitToolsWindow();
  SB_ReadEditorMouse(view);
  TTOOLWINDOW* windows = SB_Var.ToolWindows;
  SB_ToolHand(windows);
  SB_ToolLoupe(windows, view);
  SB_ToolSelect(windows, view);
  SB_ToolMove(windows);
  SB_ToolRotY(windows);
  SB_ToolRotX(windows);
  SB_ToolRotZ(windows);
  SB_DragToolWindow(windows);
  SB_UpdateToolHover(windows);
  SB_UpdateToolClick(windows);
  SB_ToolRoute(windows, view);
  if (SB_Var.MapDirty) {
    E3D_CalcMap(view);
    SB_Var.MapDirty = 0;
  }
  SB_DrawMapView(view);
  SB_DrawMapBspline(view);
  SB_SelectRoutePoints(windows, view);
  displayobject(view);
  SB_DrawHandDrag(view);
  SB_DrawSelectBox(view);
  SB_BlitToolWindows(windows, view);
  SB_DrawEditorCursor(view, windows);
}

void SB_FreeSceneEditor() {
  for (BMAP*& cursor : SB_Var.CursorBmaps)
    if (cursor) SB_FreeBmap(cursor), cursor = nullptr;
  SB_FreeToolWindow(SB_Var.ToolsWindow);
  SB_Var.ToolsWindow = nullptr;
  for (TTOOLBUTTON*& button : SB_Var.ToolButtons) SB_FreeToolButton(button), button = nullptr;
  for (BMAP** bmap : {&SB_Var.MapBmap, &SB_Var.CarMarker, &SB_Var.CameraMarker})
    if (*bmap) SB_FreeBmap(*bmap), *bmap = nullptr;
  SB_Var.MapDirty = 1;
}
