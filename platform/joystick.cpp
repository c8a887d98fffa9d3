// The joystick stand-in: scripted devices, or the back end's real ones.
#include "platform/joystick.h"

namespace plat {
namespace {

struct Device {
  bool plugged = false;
  JoyCaps caps;
  JoyPosition position;
};

struct Joysticks {
  const JoystickBackend* backend = nullptr;
  Device devices[kJoystickCount];
};

Joysticks& J() {
  static Joysticks joysticks;
  return joysticks;
}

bool ValidId(int32_t id) { return id >= 0 && id < kJoystickCount; }

}  // namespace

JoyResult GetJoyCaps(int32_t id, JoyCaps* caps) {
  if (!ValidId(id) || !caps) return kJoyBadId;
  if (J().backend) return J().backend->caps(id, caps);
  const Device& d = J().devices[id];
  if (!d.plugged) return kJoyUnplugged;
  *caps = d.caps;
  return kJoyOk;
}

JoyResult GetJoyPosition(int32_t id, JoyPosition* position) {
  if (!ValidId(id) || !position) return kJoyBadId;
  if (J().backend) return J().backend->position(id, position);
  const Device& d = J().devices[id];
  if (!d.plugged) return kJoyUnplugged;
  *position = d.position;
  return kJoyOk;
}

void SetJoystickBackend(const JoystickBackend* backend) { J().backend = backend; }

void ResetJoysticks() {
  for (Device& d : J().devices) d = Device{};
}

void PlugJoystick(int32_t id, const JoyCaps& caps) {
  if (!ValidId(id)) return;
  Device& d = J().devices[id];
  d.plugged = true;
  d.caps = caps;
  d.position.x = caps.xMin + (caps.xMax - caps.xMin) / 2;
  d.position.y = caps.yMin + (caps.yMax - caps.yMin) / 2;
  d.position.buttons = 0;
}

void UnplugJoystick(int32_t id) {
  if (ValidId(id)) J().devices[id].plugged = false;
}

void SetJoystickPosition(int32_t id, const JoyPosition& position) {
  if (ValidId(id)) J().devices[id].position = position;
}

}  // namespace plat
