// The accelerator stand-in's screen device, render callback, error record,
// version texts and settings.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/accel/state.h"

namespace plat::accel {

namespace {

constexpr double kMinCardMegabytes = 0.25, kMaxCardMegabytes = 256;

bool PresentFromEnvironment() {
  const char* value = std::getenv("ZENTROVA_ACCEL");
  return !value || std::strcmp(value, "0") != 0;
}

// Megabytes, whole or with a fraction ("0.5"), down to a quarter, so that
// a small card can be tried; the bytes are a whole number of kilobytes.
uint32_t CardMemoryFromEnvironment() {
  const char* value = std::getenv("ZENTROVA_ACCEL_MB");
  char* end = nullptr;
  const double megabytes = value ? std::strtod(value, &end) : 0;
  if (!value || end == value || *end || !(megabytes >= kMinCardMegabytes && megabytes <= kMaxCardMegabytes))
    return 4u << 20;
  return static_cast<uint32_t>(megabytes * 1024) << 10;
}

State MakeState() {
  State s;
  s.present = PresentFromEnvironment();
  s.cardMemory = CardMemoryFromEnvironment();
  s.threads = ThreadsFromEnvironment();
  return s;
}

}  // namespace

State& Accel() {
  static State state = MakeState();
  return state;
}

int32_t Fail(int32_t code) {
  State& s = Accel();
  if (s.earliest == 0) s.earliest = code;
  s.latest = code;
  return code;
}

}  // namespace plat::accel

using plat::accel::Accel;
using plat::accel::Fail;

int32_t sgl_create_screen_device(int32_t device, int32_t width, int32_t height, int32_t type, int32_t) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (device != 0 || width < 1 || height < 1 || width > SGL_MAX_DEVICE_SIDE || height > SGL_MAX_DEVICE_SIDE ||
      (type != SGL_DEVICE_16BIT && type != SGL_DEVICE_24BIT))
    return Fail(SGL_ERR_BAD_ARGUMENT);
  if (s.hasDevice) return Fail(SGL_ERR_DEVICE_BUSY);
  s.hasDevice = true;
  s.device = s.nextDevice++;
  s.width = width;
  s.height = height;
  s.type = type;
  s.inFrame = false;
  return s.device;
}

int32_t sgl_delete_device(int32_t device) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!s.hasDevice || device != s.device) return Fail(SGL_ERR_BAD_ARGUMENT);
  s.hasDevice = false;
  s.device = -1;
  s.width = s.height = 0;
  s.inFrame = false;
  return SGL_OK;
}

int32_t sgl_use_address_mode(SGL_RENDERCALLBACK callback, uint32_t** status) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!callback || !status) return Fail(SGL_ERR_BAD_ARGUMENT);
  s.callback = callback;
  *status = &s.status;
  return SGL_OK;
}

int32_t sgl_get_errors(int32_t* earliest, int32_t* latest) {
  auto& s = Accel();
  const int32_t last = s.latest;
  if (earliest) *earliest = s.earliest;
  if (latest) *latest = last;
  s.earliest = s.latest = 0;
  return last;
}

const TSGLVERSIONS* sgl_get_versions() {
  static const TSGLVERSIONS kVersions{"Zentrova software accelerator 1.0", "1.0"};
  return Accel().present ? &kVersions : nullptr;
}

const TSGLWINVERSIONS* sgl_get_win_versions() {
  static char megabytes[16];
  static const TSGLWINVERSIONS kVersions{"1.0",  "none (no driver)", "0000", "0000", "0",   "none", "0000",
                                         "1.0", megabytes,          "1.0",  "address", "ok", "in-memory stand-in"};
  if (!Accel().present) return nullptr;
  std::snprintf(megabytes, sizeof megabytes, "%u", static_cast<unsigned>(Accel().cardMemory >> 20));
  return &kVersions;
}

namespace plat {

void AccelReset() {
  auto& s = Accel();
  for (void* block : s.blocks) std::free(block);
  s = accel::MakeState();
  AccelObserveCalls(nullptr);
}

void AccelSetPresent(bool present) { Accel().present = present; }
bool AccelPresent() { return Accel().present; }
void AccelSetCardMemory(uint32_t bytes) { Accel().cardMemory = bytes; }
uint32_t AccelCardMemory() { return Accel().cardMemory; }
void AccelWithholdStatus(bool withhold) { Accel().withholdStatus = withhold; }

void AccelDeviceSize(int32_t* width, int32_t* height) {
  if (width) *width = Accel().width;
  if (height) *height = Accel().height;
}

int32_t AccelFrames() { return Accel().frames; }
int32_t AccelDrawCalls() { return Accel().drawCalls; }

}  // namespace plat
