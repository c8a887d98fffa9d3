// Joystick stand-in: five devices, ids 0 to 4, each with its calibration
// and its position. Without a back end the devices are scripted by tests;
// the SDL back end reads real ones.
#pragma once
#include <cstdint>

namespace plat {

constexpr int32_t kJoystickCount = 5;

enum JoyResult : int32_t {
  kJoyOk = 0,
  kJoyUnplugged,  // no device answers at this id
  kJoyBadId,
};

// The range of each axis and the number of buttons.
struct JoyCaps {
  uint32_t xMin = 0, xMax = 65535;
  uint32_t yMin = 0, yMax = 65535;
  uint32_t buttons = 0;
};

// Raw axis values within the caps' ranges; bit n of buttons is button n + 1.
struct JoyPosition {
  uint32_t x = 0, y = 0;
  uint32_t buttons = 0;
};

JoyResult GetJoyCaps(int32_t id, JoyCaps* caps);
JoyResult GetJoyPosition(int32_t id, JoyPosition* position);

struct JoystickBackend {
  JoyResult (*caps)(int32_t id, JoyCaps* caps);
  JoyResult (*position)(int32_t id, JoyPosition* position);
};
void SetJoystickBackend(const JoystickBackend* backend);

// Test controls: unplug every scripted device; plug one with its caps
// (centred); set its position.
void ResetJoysticks();
void PlugJoystick(int32_t id, const JoyCaps& caps);
void UnplugJoystick(int32_t id);
void SetJoystickPosition(int32_t id, const JoyPosition& position);

}  // namespace plat
