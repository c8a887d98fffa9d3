// The accelerator stand-in's frames: the start writes the render area's
// regions, and the render draws the recorded calls into the game's memory
// through the callback, over the background colour.
#include <algorithm>
#include <cstdint>

#include "platform/accel/sgl.h"
#include "platform/accel/state.h"

using plat::accel::Accel;
using plat::accel::Fail;

namespace {

int32_t Regions(int32_t pixels) { return (pixels + SGL_REGION_SIDE - 1) / SGL_REGION_SIDE; }

uint32_t Channel(float value) {
  if (!(value > 0.0f)) return 0;  // NaN too
  return value >= 1.0f ? 255 : static_cast<uint32_t>(value * 255.0f);
}

// The callback's answer must name memory for the whole device.
bool TargetFits(const SGLRENDERTARGET& target, int32_t width) {
  const int32_t bytes = target.BitsPerPixel == 24 ? 3 : 2;
  const bool depthKnown = target.BitsPerPixel == 15 || target.BitsPerPixel == 16 || target.BitsPerPixel == 24;
  return target.FirstPixel && depthKnown && target.BytesPerLine >= width * bytes;
}

}  // namespace

namespace plat::accel {

int32_t CheckFrame(const SGLCONTEXT* context) {
  const auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!context) return Fail(SGL_ERR_BAD_ARGUMENT);
  if (!s.hasDevice) return Fail(SGL_ERR_NO_DEVICE);
  if (!s.inFrame) return Fail(SGL_ERR_NOT_IN_FRAME);
  return SGL_OK;
}

}  // namespace plat::accel

// A frame begun over one not yet rendered drops that one.
int32_t sgltri_startofframe(SGLCONTEXT* context) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!context) return Fail(SGL_ERR_BAD_ARGUMENT);
  if (!s.hasDevice) return Fail(SGL_ERR_NO_DEVICE);
  const bool dropped = s.inFrame;
  s.recording.Clear();
  s.inFrame = true;
  s.status &= ~1u;
  context->FirstXRegion = context->FirstYRegion = 0;
  context->LastXRegion = Regions(s.width) - 1;
  context->LastYRegion = Regions(s.height) - 1;
  context->XRegionsPerPixel = context->YRegionsPerPixel = 1.0f / SGL_REGION_SIDE;
  return dropped ? Fail(SGL_ERR_FRAME_DROPPED) : SGL_OK;
}

// The frame ends whatever happens, and the status word says so. The
// recorded calls are drawn over the background colour; a texture unknown
// by then draws its triangles untextured, and the render reports it.
int32_t sgltri_render(SGLCONTEXT* context) {
  if (const int32_t result = plat::accel::CheckFrame(context); result < 0) return result;
  auto& s = Accel();
  s.inFrame = false;
  int32_t result = SGL_OK;
  SGLRENDERTARGET target{};
  if (!s.callback) {
    result = Fail(SGL_ERR_NO_DEVICE);
  } else if (s.callback(&target) != 0 || !TargetFits(target, s.width)) {
    result = Fail(SGL_ERR_BAD_ARGUMENT);
  } else {
    auto& frame = s.setup;
    frame.width = s.width;
    frame.height = s.height;
    frame.target = target;
    frame.background = Channel(context->BackRed) << 16 | Channel(context->BackGreen) << 8 | Channel(context->BackBlue);
    if (plat::accel::SetUpFrame(s.recording, frame) > 0) result = Fail(SGL_ERR_UNKNOWN_TEXTURE);
    plat::accel::DrawTiles(frame);
    ++s.frames;
  }
  s.recording.Clear();
  if (!s.withholdStatus) s.status |= 1u;
  return result;
}
