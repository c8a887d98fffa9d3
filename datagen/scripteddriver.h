// A scripted driver for the driven car: joystick 1 in control mode 0 with
// linear input. It takes the automatic gearbox at the gearbox choice,
// starts the engine after "GO" with a fresh press of accelerate, shifts
// into first once the engine has cranked, then steers toward the centre
// line some 15 m ahead, or a line beside it, and holds a speed chosen by
// the bend ahead. A car standing ahead on or near its line is passed on
// the line's side of it, 5 m from centre to centre.
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
    in.x = std::clamp(Aim(car, 15, LineBeside(car)) * 3.0, -1.0, 1.0);
    if (car.Gear == 0 && car.EngineStartTimer >= 2.0 && racing_ % 2) in.buttons = 1;
    return in;
  }

 private:
  int32_t frame_ = 0, racing_ = 0;

  static constexpr double kStanding = 1.0;   // m/s: below it a car stands
  static constexpr double kPassWidth = 5.0;  // m between the centres of a car passed and the passer
  static constexpr int32_t kPassAhead = 60, kPassBehind = 8;  // m along the line: a standing car looked at

  // The line driven: lineOffset, or beside a car standing from 60 m ahead
  // until 8 m behind whose centre lies nearer the line than kPassWidth.
  double LineBeside(const TCAR& car) const {
    const int32_t n = SB_Var.NbBsplinePoints;
    double offset = lineOffset;
    for (int32_t j = 0; j < SB_Var.NbCars && j < SB_MAXCARS; ++j) {
      const TCAR* other = SB_Var.Cars[j];
      if (!other || other == &car || std::hypot(other->Velocity[0], other->Velocity[2]) >= kStanding)
        continue;
      const int32_t ahead = ((other->CenterLineIndex - car.CenterLineIndex) % n + n + n / 2) % n - n / 2;
      if (ahead < -kPassBehind || ahead > kPassAhead) continue;
      const double across = Across(other->CenterLineIndex, other->Position);
      if (std::fabs(across - offset) < kPassWidth)
        offset = across + (lineOffset >= across ? kPassWidth : -kPassWidth);
    }
    return offset;
  }
  // Metres from the centre line at point i to the position, to the right.
  static double Across(int32_t i, const double* position) {
    const TVECTOR &p = Point(i), &q = Point(i + 1);
    const double tx = q.x - p.x, tz = q.z - p.z, length = std::hypot(tx, tz);
    return length > 0 ? ((position[0] - p.x) * tz - (position[2] - p.z) * tx) / length : 0.0;
  }

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
