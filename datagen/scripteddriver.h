// A scripted driver for the driven car: joystick 1 in control mode 0 with
// linear input. It takes the automatic gearbox at the gearbox choice,
// starts the engine after "GO" with a fresh press of accelerate, shifts
// into first once the engine has cranked, then steers toward the centre
// line some 15 m ahead, or a line beside it, and holds a speed chosen by
// the bend ahead.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace datagen {

struct DriverInput {
  double x = 0, y = 0;  // stick: x right, y down (down brakes, up accelerates)
  uint32_t buttons = 0;  // bit 0 gear up
};

class ScriptedDriver {
 public:
  double straightSpeed = 42.0, bendSpeed = 27.0;  // m/s
  double lineOffset = 0.0;  // m: the line driven, to the right of the centre line (left below 0)

  // The stick for this frame, at the sequencer's step.
  DriverInput Frame(const TCAR& car, int32_t step) {
    DriverInput in;
    ++frame_;
    if (step == 5) {
      in.y = frame_ % 2 ? -1.0 : 0.0;  // accelerate alone, pressed afresh: the automatic gearbox
      return in;
    }
    if (step < 15) return in;
    if (++racing_ == 1) return in;  // released after "GO", so that the next press starts the engine
    const double speed = std::sqrt(car.Velocity[0] * car.Velocity[0] + car.Velocity[2] * car.Velocity[2]);
    const double wanted = Bend(car, 25, 60) > 0.15 ? bendSpeed : straightSpeed;
    in.y = speed > wanted + 1.0 ? 0.6 : speed > wanted ? 0.0 : -1.0;
    in.x = std::clamp(Aim(car, 15, lineOffset) * 3.0, -1.0, 1.0);
    if (car.Gear == 0 && car.EngineStartTimer >= 2.0 && racing_ % 2) in.buttons = 1;
    return in;
  }

 private:
  int32_t frame_ = 0, racing_ = 0;

  static const TVECTOR& Point(int32_t i) {
    const int32_t n = SB_Var.NbBsplinePoints;
    return SB_Var.BsplinePoints[((i % n) + n) % n];
  }
  // The angle (rad, positive to the right) from the car's heading to the
  // point of the line driven ahead metres away: the centre line's point
  // moved offset metres across it.
  static double Aim(const TCAR& car, int32_t ahead, double offset) {
    const int32_t i = car.CenterLineIndex + ahead;
    const TVECTOR &p = Point(i), &q = Point(i + 1);
    const double tx = q.x - p.x, tz = q.z - p.z, length = std::hypot(tx, tz);
    const double across = length > 0 ? offset / length : 0.0;
    const double dx = p.x + tz * across - car.Position[0], dz = p.z - tx * across - car.Position[2];
    const double* m = car.Orientation;  // column 0 the car's right, column 2 its forward
    return std::atan2(dx * m[0] + dz * m[2], dx * m[6] + dz * m[8]);
  }
  // How much the centre line turns between from and to metres ahead.
  static double Bend(const TCAR& car, int32_t from, int32_t to) {
    const int32_t i = car.CenterLineIndex;
    const TVECTOR &a = Point(i), &b = Point(i + from), &c = Point(i + to);
    const double h1 = std::atan2(b.x - a.x, b.z - a.z), h2 = std::atan2(c.x - b.x, c.z - b.z);
    return std::fabs(std::remainder(h2 - h1, 2 * M_PI));
  }
};

}  // namespace datagen
