// The decor script executor: once a race frame every running block of
// every decor object advances its current command, moving and turning the
// object the block drives, and passes on when the command's time is over.
#include <bit>
#include <cmath>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "scenery/decorobjects.h"
#include "scenery/effects.h"
#include "shell/sbvar.h"
#include "system/util.h"
#include "track/ground.h"

namespace {

constexpr double kDegreesToAngle16 = 182.04444444444445;  // 65536 / 360
constexpr double kGroundToObject = SB_DECORUNITS / 320.0;  // ground heights are in 1/320 m
constexpr double kStill = 0.001;                           // m: less is no motion for AUTOANGLE

// Record k of a TABLE: three little-endian doubles.
void TableRecord(const TDECORCMD& c, int32_t k, double out[3]) {
  const uint8_t* at = c.Table + static_cast<size_t>(k) * SB_DECORTABLERECORD;
  for (int32_t a = 0; a < 3; ++a) {
    const uint64_t bits = static_cast<uint64_t>(LS_ReadLELong(at + 8 * a)) |
                          static_cast<uint64_t>(LS_ReadLELong(at + 8 * a + 4)) << 32;
    out[a] = std::bit_cast<double>(bits);
  }
}

// The block's position into its object, in display units.
void Place(TDECORBLOCK& b) {
  if (!b.Object) return;
  for (int32_t a = 0; a < 3; ++a) b.Object->Position[a] = static_cast<float>(b.Position[a] * SB_DECORUNITS);
}

void Orient(TDECORBLOCK& b, const TMATRIX m) {
  if (!b.Object) return;
  for (int32_t k = 0; k < 9; ++k) b.Object->Orientation[k] = static_cast<float>(m[k]);
}

// Three angles in degrees, turned into the display's axes.
void OrientByAngles(TDECORBLOCK& b, const double degrees[3]) {
  TMATRIX m;
  E3D_MatFromAngles16(m, E3D_TruncToInt32(degrees[0] * kDegreesToAngle16),
                      E3D_TruncToInt32(degrees[1] * kDegreesToAngle16),
                      E3D_TruncToInt32(degrees[2] * kDegreesToAngle16));
  E3D_MatMul(m, SB_Var.CarAxisMatrix, m);
  Orient(b, m);
}

// A value held between a minimum and a maximum, the minimum tested first.
double Limit(double v, float low, float high) {
  if (v < low) return low;
  if (v > high) return high;
  return v;
}

// Follows GOTOs to the command to run; false when the block does nothing
// but redirect (then it stops).
bool FollowGotos(TDECORBLOCK& b) {
  for (int32_t redirects = 0; b.Commands[b.CurrentCommand].Flags & DECOR_GOTO; ++redirects) {
    if (redirects >= b.NbCommands) return false;
    const int32_t target = b.Commands[b.CurrentCommand].Target;
    b.CurrentCommand = target < b.NbCommands ? target : 0;
    b.Commands[b.CurrentCommand].Flags |= DECOR_FRESH;
  }
  return true;
}

// A command's first frame: its duration drawn, its start jumped to, its
// clocks and table cursor started.
void Enter(TDECORBLOCK& b, TDECORCMD& c, uint32_t now) {
  if (c.Flags & DECOR_RANDTIME)
    c.Duration = LS_Random(static_cast<uint16_t>(c.Target * 1000)) * 0.001;
  if (c.Flags & DECOR_AUTOSPEED) {
    for (int32_t a = 0; a < 3; ++a) b.Position[a] = c.Position[a];
    Place(b);
  }
  c.StartTime = static_cast<int32_t>(now);
  c.LastFrameTime = now;
  c.TableCursor = 0.0;
}

// Moves the block by its speed, along the table when it has one; true
// when the table's end is reached.
bool Move(TDECORBLOCK& b, TDECORCMD& c, double dt) {
  const double d[3] = {c.Speed[0] * dt, c.Speed[1] * dt, c.Speed[2] * dt};
  bool ended = false;
  if ((c.Flags & DECOR_TABLE) && c.Table) {
    c.TableCursor += std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (c.TableCursor >= 0.0 && c.TableCursor < c.TableCount - 1) {
      const int32_t k = static_cast<int32_t>(c.TableCursor);
      const double f = c.TableCursor - k;
      double p0[3], p1[3];
      TableRecord(c, k, p0);
      TableRecord(c, k + 1, p1);
      for (int32_t a = 0; a < 3; ++a) b.Position[a] = p0[a] + (p1[a] - p0[a]) * f;
    } else {
      ended = true;
    }
  } else {
    for (int32_t a = 0; a < 3; ++a) b.Position[a] += d[a];
  }
  Place(b);
  return ended;
}

// ASPEED: the block's angles turned and kept within one turn.
void Turn(TDECORBLOCK& b, const TDECORCMD& c, double dt) {
  for (int32_t a = 0; a < 3; ++a) {
    if (c.AngularSpeed[a] == 0.0) continue;
    double angle = b.Angles[a] + c.AngularSpeed[a] * dt;
    if (angle > 360.0) angle = std::fmod(angle, 360.0);
    if (angle < 0.0) angle = std::fmod(angle, 360.0) + 360.0;
    b.Angles[a] = angle;
  }
  OrientByAngles(b, b.Angles);
}

// ACC and AACC change the command's own speeds, within their limits.
void Accelerate(TDECORCMD& c, double dt) {
  for (int32_t a = 0; a < 3; ++a) {
    if ((c.Flags & DECOR_AACC) && c.AngularAcceleration[a] != 0.0) {
      c.AngularSpeed[a] += c.AngularAcceleration[a] * dt;
      if (c.Flags & DECOR_AVMINMAX) c.AngularSpeed[a] = Limit(c.AngularSpeed[a], c.AngularSpeedMin, c.AngularSpeedMax);
    }
  }
  for (int32_t a = 0; a < 3; ++a) {
    if ((c.Flags & DECOR_ACC) && c.Acceleration[a] != 0.0) {
      c.Speed[a] += c.Acceleration[a] * dt;
      if (c.Flags & DECOR_VMINMAX) c.Speed[a] = Limit(c.Speed[a], c.SpeedMin, c.SpeedMax);
    }
  }
}

// AUTOALT: the object's base that high above the ground under the block
// (y grows downward, so the height is taken off the ground's level).
void KeepAboveGround(TDECORBLOCK& b, const TDECORCMD& c) {
  if (!b.Object) return;
  const double ground = SB_GetGroundHeight(E3D_TruncToInt32(b.Position[0] * 320.0),
                                           E3D_TruncToInt32(b.Position[2] * 320.0));
  if (ground == SB_NOGROUND) return;
  b.Object->Position[1] = static_cast<float>(ground * kGroundToObject - c.Altitude * SB_DECORUNITS);
}

// AUTOANGLE: heads the object along its motion, AUTOPENCHE adds its slope;
// motion along an axis alone leaves the orientation.
void HeadAlongMotion(TDECORBLOCK& b, const TDECORCMD& c) {
  const double dx = b.Position[0] - b.PrevPosition[0];
  const double dy = b.Position[1] - b.PrevPosition[1];
  const double dz = b.Position[2] - b.PrevPosition[2];
  if (!(std::fabs(dz) > kStill && std::fabs(dx) > kStill)) return;
  TMATRIX h, axes;
  E3D_MatFromAngles(h, 0.0, std::atan2(dz, dx), 0.0);
  E3D_MatFromAngles16(axes, 16384, 16384, 0);
  if ((c.Flags & DECOR_AUTOPENCHE) && std::fabs(dy) > kStill) {
    TMATRIX pitch;
    E3D_MatFromAngles(pitch, 0.0, 0.0, std::atan2(dy, std::sqrt(dx * dx + dz * dz)));
    E3D_MatMul(pitch, axes, axes);
  }
  E3D_MatMul(h, axes, h);
  Orient(b, h);
}

// One frame of one running block.
void RunBlock(TDECORBLOCK& b, uint32_t now) {
  if (b.NbCommands < 1 || !b.Commands || b.CurrentCommand < 0 || b.CurrentCommand >= b.NbCommands ||
      !FollowGotos(b)) {
    b.Flags &= ~DECOR_RUNNING;
    return;
  }
  TDECORCMD& c = b.Commands[b.CurrentCommand];
  const uint32_t f = c.Flags;
  if (f & DECOR_FRESH) Enter(b, c, now);
  const double elapsed = static_cast<int32_t>(now - static_cast<uint32_t>(c.StartTime)) * 0.001;
  const double dt = (now - c.LastFrameTime) * 0.001;
  // A command of no duration ends at its first frame in which time has
  // passed (0 / 0 is not done, x / 0 is).
  bool done = !(f & DECOR_TABLE) && elapsed / c.Duration >= 1.0;
  if (f & DECOR_SPEED) {
    done |= Move(b, c, dt);
  } else if (f & DECOR_XYZ) {
    for (int32_t a = 0; a < 3; ++a) b.Position[a] = c.Position[a];
    Place(b);
  }
  if (f & DECOR_ANGLE) OrientByAngles(b, c.Angles);
  if (f & DECOR_ASPEED) Turn(b, c, dt);
  Accelerate(c, dt);
  if (f & DECOR_AUTOALT) KeepAboveGround(b, c);
  c.Flags &= ~DECOR_FRESH;
  if ((f & DECOR_AUTOANGLE) && !(f & DECOR_FRESH)) HeadAlongMotion(b, c);
  c.LastFrameTime = now;
  if (done || (f & DECOR_RIGHTNOW)) {
    if (b.CurrentCommand + 1 < b.NbCommands) {
      ++b.CurrentCommand;
      b.Commands[b.CurrentCommand].Flags |= DECOR_FRESH;
    } else {
      b.Flags &= ~DECOR_RUNNING;
    }
  }
  for (int32_t a = 0; a < 3; ++a) b.PrevPosition[a] = b.Position[a];
}

}  // namespace

__attribute__((weak)) void SB_StartDecorBlock(int32_t i, int32_t j) {
  if (!SB_Var.DecorObjects || i < 0 || i >= SB_Var.NbDecorObjects) return;
  TDECOROBJ& entry = SB_Var.DecorObjects[i];
  if (j < -1 || j >= entry.NbBlocks || (j >= 0 && !entry.Blocks)) return;
  entry.CurrentBlock = j;
  if (j == -1) return;
  TDECORBLOCK& b = entry.Blocks[j];
  b.Flags = DECOR_RUNNING;
  if (b.NbCommands > 0 && b.Commands) b.Commands[0].Flags |= DECOR_FRESH;
  b.CurrentCommand = 0;
}

__attribute__((weak)) void SB_ResetDecorScripts() {
  if (!SB_Var.DecorObjects || !SB_Var.DecorObjectsOn) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i)
    for (int32_t j = 0; j < SB_Var.DecorObjects[i].NbBlocks; ++j) SB_StartDecorBlock(i, j);
}

__attribute__((weak)) void SB_RunDecorScript(TDECOROBJ* entry) {
  if (!entry || !entry->Blocks) return;
  const uint32_t now = SB_Var.Time;
  for (int32_t j = 0; j < entry->NbBlocks; ++j)
    if (entry->Blocks[j].Flags & DECOR_RUNNING) RunBlock(entry->Blocks[j], now);
}

__attribute__((weak)) void SB_AnimateDecorObjects() {
  if (!SB_Var.DecorObjectsOn || !SB_Var.DecorObjects) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) SB_RunDecorScript(&SB_Var.DecorObjects[i]);
}
