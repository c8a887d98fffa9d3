// Network car states: the driven car's state packed once a frame and sent
// to the other players as game message 13, the states received for the
// remote cars kept with the transit time they took, and a remote car
// extrapolated from its last two states.
#include <cmath>
#include <cstdint>

#include "net/types.h"
#include "netlink/netlink.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/bytes.h"
#include "vehicles/drive.h"
#include "vehicles/physics.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {


bool Finite(const TCARSTATE& s) {
  const float values[] = {s.Speed,       s.RaceDistance, s.Steering,    s.ContactSpeed,
                          s.WheelRoll[0], s.WheelRoll[1], s.WheelRoll[2], s.WheelRoll[3],
                          s.Velocity[0],  s.Velocity[1],  s.Velocity[2],  s.AngularVelocity[0],
                          s.AngularVelocity[1], s.AngularVelocity[2]};
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

double Now() { return static_cast<double>(SB_Var.Time); }

// A remote car placed by t steps of its last two states, P to L.
void PlaceFromStates(TCAR* car, const TCARSTATE& p, const TCARSTATE& l, double t) {
  for (int32_t k = 0; k < 3; ++k) car->Position[k] = SB_Extrapolate(p.Position[k] * 0.001, l.Position[k] * 0.001, t);
  car->Steering = SB_Extrapolate(p.Steering, l.Steering, t);
  car->MaxContactSpeed = SB_Extrapolate(p.ContactSpeed, l.ContactSpeed, t);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) {
    car->Suspension[w] =
        SB_Extrapolate(SB_UnpackByte(p.Suspension[w], 0.2, 0.35), SB_UnpackByte(l.Suspension[w], 0.2, 0.35), t);
    car->WheelRoll[w] = SB_Lerp(p.WheelRoll[w], l.WheelRoll[w], t);
  }
  car->EngineVolume = SB_SaturateInt(SB_Extrapolate(p.EngineVolume, l.EngineVolume, t));
  car->EngineFrequency = SB_SaturateInt(SB_Extrapolate(p.EngineFrequency, l.EngineFrequency, t));
  int32_t angles[3];
  SB_ExtrapolateAngles(p.Orientation, l.Orientation, t, angles);
  SB_SetOrientationFromAngles(car, angles);
  for (int32_t k = 0; k < 3; ++k) {
    car->Velocity[k] = SB_Lerp(p.Velocity[k], l.Velocity[k], t);
    car->AngularVelocity[k] = SB_Lerp(p.AngularVelocity[k], l.AngularVelocity[k], t);
  }
  car->Speed = l.Speed;
  car->Distance = l.RaceDistance;
  car->BrakeOn = l.Flags & 1;
  for (int32_t s = 0; s < SB_NBSURFACEFLAGS; ++s) car->SurfaceFlags[s] = (l.Flags >> (1 + s)) & 1;
  car->EngineStarted = (l.Flags >> 6) & 1;
}

}  // namespace

void SB_WriteCarState(const TCARSTATE& s, uint8_t* out) {
  SB_PutLong(out, s.Time);
  for (int32_t k = 0; k < 3; ++k) SB_PutLong(out + 4 + 4 * k, static_cast<uint32_t>(s.Position[k]));
  SB_PutLong(out + 16, s.Orientation);
  SB_PutWord(out + 20, static_cast<uint16_t>(s.EngineVolume));
  SB_PutWord(out + 22, s.EngineFrequency);
  SB_PutFloat(out + 24, s.Speed);
  SB_PutFloat(out + 28, s.RaceDistance);
  SB_PutFloat(out + 32, s.Steering);
  SB_PutFloat(out + 36, s.ContactSpeed);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) out[40 + w] = s.Suspension[w];
  SB_PutFloats(out + 44, s.WheelRoll, SB_NBWHEELS);
  SB_PutFloats(out + 60, s.Velocity, 3);
  SB_PutFloats(out + 72, s.AngularVelocity, 3);
  out[84] = s.Flags;
  out[85] = out[86] = out[87] = 0;
}

void SB_ReadCarState(const uint8_t* in, TCARSTATE* s) {
  *s = TCARSTATE{};
  s->Time = SB_GetLong(in);
  for (int32_t k = 0; k < 3; ++k) s->Position[k] = static_cast<int32_t>(SB_GetLong(in + 4 + 4 * k));
  s->Orientation = SB_GetLong(in + 16);
  s->EngineVolume = static_cast<int16_t>(SB_GetWord(in + 20));
  s->EngineFrequency = SB_GetWord(in + 22);
  s->Speed = SB_GetFloat(in + 24);
  s->RaceDistance = SB_GetFloat(in + 28);
  s->Steering = SB_GetFloat(in + 32);
  s->ContactSpeed = SB_GetFloat(in + 36);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) s->Suspension[w] = in[40 + w];
  SB_GetFloats(in + 44, s->WheelRoll, SB_NBWHEELS);
  SB_GetFloats(in + 60, s->Velocity, 3);
  SB_GetFloats(in + 72, s->AngularVelocity, 3);
  s->Flags = in[84];
}

__attribute__((weak)) void SB_PackCarState(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  TCAR* car = SB_Var.Cars[index];
  TCARSTATE& s = car->OutState;
  s = TCARSTATE{};
  s.Time = SB_Var.Time;
  for (int32_t k = 0; k < 3; ++k) s.Position[k] = SB_SaturateInt(car->Position[k] * 1000.0);
  s.Orientation = SB_PackOrientation(car);
  s.EngineVolume = SB_SaturateShort(car->EngineVolume);
  s.EngineFrequency = SB_SaturateWord(car->EngineFrequency);
  s.Speed = static_cast<float>(car->Speed);
  s.RaceDistance = static_cast<float>(car->Distance);
  s.Steering = static_cast<float>(car->Steering);
  s.ContactSpeed = static_cast<float>(car->MaxContactSpeed);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) {
    s.Suspension[w] = SB_PackByte(car->Suspension[w], 0.2, 0.35);
    s.WheelRoll[w] = static_cast<float>(car->WheelRoll[w]);
  }
  for (int32_t k = 0; k < 3; ++k) {
    s.Velocity[k] = static_cast<float>(car->Velocity[k]);
    s.AngularVelocity[k] = static_cast<float>(car->AngularVelocity[k]);
  }
  uint8_t flags = (car->BrakeOn ? 1 : 0) | (car->EngineStarted ? 64 : 0);
  for (int32_t k = 0; k < SB_NBSURFACEFLAGS; ++k)
    if (car->SurfaceFlags[k]) flags |= static_cast<uint8_t>(2 << k);
  s.Flags = flags;
}

__attribute__((weak)) void SB_SendCarState(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  if (!SB_Hooks.IsCarSimulated || !SB_Hooks.IsCarSimulated(index)) return;
  if (!NET_IsConnected() || SB_Var.XSubState != XSUBSTATE_PLAYING) return;
  const int32_t order = NET_GetMyPlayerOrder();
  if (order != index && !SB_Var.OrderMismatchShown) {
    // Once a race: a box on every frame would stop the race for good.
    SB_Var.OrderMismatchShown = 1;
    SB_ConsolePrintf("XNET_PlayerOrder(%ld)!=SB_PlayerNumberOfCar(%ld)", static_cast<long>(order),
                     static_cast<long>(index));
  }
  uint8_t message[SB_CARSTATEMSGSIZE];
  SB_PutLong(message, SB_CARSTATEMSG);
  SB_PutLong(message + 4, static_cast<uint32_t>(index));
  SB_PutLong(message + 8, 0);
  SB_WriteCarState(SB_Var.Cars[index]->OutState, message + 12);
  NET_SendToAll(message, SB_CARSTATEMSGSIZE, NET_PLAIN);
}

int32_t SB_ReceiveCarState(int32_t index, const TCARSTATE* state) {
  if (!SB_IsValidCarIndex(index)) return 0;
  TCAR* car = SB_Var.Cars[index];
  if (!car || index == SB_Var.DrivenCar || !car->Remote || !state) return 1;
  const double transit = Now() - state->Time;
  // A damaged state, or one whose clock no 32-bit offset reaches, moves nothing.
  if (!Finite(*state) || std::fabs(transit) >= 2147483647.0) return 1;
  ++car->StatesReceived;
  if (car->TransitOffset == SB_TRANSITNONE || transit < car->TransitOffset)
    car->TransitOffset = SB_SaturateInt(transit);
  TCARSTATE s = *state;
  const double local = static_cast<double>(state->Time) + car->TransitOffset;
  s.Time = static_cast<uint32_t>(local < 0 ? 0 : local > 4294967295.0 ? 4294967295.0 : local);
  car->LagResidue = SB_SaturateInt(Now() - s.Time);
  if (std::abs(static_cast<int64_t>(car->LagResidue)) >= SB_LAGLIMIT) {
    car->TransitOffset = SB_TRANSITNONE;  // the next state measures afresh
    car->Stale = 1;
  }
  if (s.Time <= car->LastState.Time) return 1;
  car->PrevState = car->LastState;
  car->LastState = s;
  return 1;
}

__attribute__((weak)) void SB_PlaceRemoteCar(int32_t index, int32_t time) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index] || !SB_Var.Cars[index]->Remote) return;
  TCAR* car = SB_Var.Cars[index];
  if (index == SB_Var.DrivenCar) return;
  // While the transit is unknown the car stays where it is, stale when a
  // lag brought that about.
  if (car->TransitOffset == SB_TRANSITNONE) return;
  car->Stale = 0;
  const TCARSTATE& l = car->LastState;
  // A first state has no predecessor: the car holds at it.
  const TCARSTATE& p = car->PrevState.Time ? car->PrevState : l;
  const double d1 = static_cast<double>(time) - l.Time;
  const double d2 = static_cast<double>(l.Time) - p.Time;
  if (std::fabs(d1) >= SB_LAGLIMIT || d2 >= SB_LAGLIMIT) car->Stale = 1;
  const double t = d2 > 0.0 ? d1 / d2 : 0.0;
  PlaceFromStates(car, p, l, t);
}
