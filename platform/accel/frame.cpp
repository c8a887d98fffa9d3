// The accelerator stand-in's frames: the start writes the render area's
// regions, the draw calls are checked and counted, and the render hands
// the frame to the game's memory through the callback, cleared to the
// background colour.
#include <algorithm>
#include <cstdint>

#include "platform/accel/sgl.h"
#include "platform/accel/state.h"

using plat::accel::Accel;
using plat::accel::Fail;

namespace {

int32_t Regions(int32_t pixels) { return (pixels + SGL_REGION_SIDE - 1) / SGL_REGION_SIDE; }

// A frame must be open on a device, with the caller's context.
int32_t CheckFrame(const SGLCONTEXT* context) {
  const auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!context) return Fail(SGL_ERR_BAD_ARGUMENT);
  if (!s.hasDevice) return Fail(SGL_ERR_NO_DEVICE);
  if (!s.inFrame) return Fail(SGL_ERR_NOT_IN_FRAME);
  return SGL_OK;
}

int32_t CountDrawCall(const SGLCONTEXT* context, int32_t count, const void* faces, const void* vertices,
                      bool othersGiven = true) {
  if (const int32_t result = CheckFrame(context); result < 0) return result;
  if (count < 1 || !faces || !vertices || !othersGiven) return Fail(SGL_ERR_BAD_ARGUMENT);
  ++Accel().drawCalls;
  return SGL_OK;
}

uint32_t Channel(float value) {
  if (!(value > 0.0f)) return 0;  // NaN too
  return value >= 1.0f ? 255 : static_cast<uint32_t>(value * 255.0f);
}

// Each bytes-per-pixel case fills width pixels of every row.
void Clear(const SGLRENDERTARGET& target, int32_t width, int32_t height, uint32_t r, uint32_t g, uint32_t b) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = target.FirstPixel + static_cast<size_t>(y) * target.BytesPerLine;
    if (target.BitsPerPixel == 24) {
      for (int32_t x = 0; x < width; ++x) {
        row[3 * x] = static_cast<uint8_t>(b);
        row[3 * x + 1] = static_cast<uint8_t>(g);
        row[3 * x + 2] = static_cast<uint8_t>(r);
      }
      continue;
    }
    const uint16_t pixel = target.BitsPerPixel == 15
                               ? static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
                               : static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    if (reinterpret_cast<uintptr_t>(row) % alignof(uint16_t) == 0) {
      std::fill_n(reinterpret_cast<uint16_t*>(row), width, pixel);
      continue;
    }
    for (int32_t x = 0; x < width; ++x) {  // an odd pitch: little-endian bytes
      row[2 * x] = static_cast<uint8_t>(pixel);
      row[2 * x + 1] = static_cast<uint8_t>(pixel >> 8);
    }
  }
}

// The callback's answer must name memory for the whole device.
bool TargetFits(const SGLRENDERTARGET& target, int32_t width) {
  const int32_t bytes = target.BitsPerPixel == 24 ? 3 : 2;
  const bool depthKnown = target.BitsPerPixel == 15 || target.BitsPerPixel == 16 || target.BitsPerPixel == 24;
  return target.FirstPixel && depthKnown && target.BytesPerLine >= width * bytes;
}

}  // namespace

int32_t sgltri_startofframe(SGLCONTEXT* context) {
  auto& s = Accel();
  if (!s.present) return Fail(SGL_ERR_ABSENT);
  if (!context) return Fail(SGL_ERR_BAD_ARGUMENT);
  if (!s.hasDevice) return Fail(SGL_ERR_NO_DEVICE);
  s.inFrame = true;
  s.status &= ~1u;
  context->FirstXRegion = context->FirstYRegion = 0;
  context->LastXRegion = Regions(s.width) - 1;
  context->LastYRegion = Regions(s.height) - 1;
  context->XRegionsPerPixel = context->YRegionsPerPixel = 1.0f / SGL_REGION_SIDE;
  return SGL_OK;
}

int32_t sgltri_triangles(SGLCONTEXT* context, int32_t count, const uint16_t (*faces)[4], const TSGLVERTEX* vertices) {
  return CountDrawCall(context, count, faces, vertices);
}

int32_t sgltri_quads(SGLCONTEXT* context, int32_t count, const uint32_t (*quads)[4], const TSGLVERTEX* vertices) {
  return CountDrawCall(context, count, quads, vertices);
}

int32_t sgltri_shadow(SGLCONTEXT* context, int32_t count, const int32_t (*faces)[3], const TSGLVERTEX* vertices,
                      const float* box) {
  return CountDrawCall(context, count, faces, vertices, box != nullptr);
}

// The frame ends whatever happens, and the status word says so.
int32_t sgltri_render(SGLCONTEXT* context) {
  if (const int32_t result = CheckFrame(context); result < 0) return result;
  auto& s = Accel();
  s.inFrame = false;
  int32_t result = SGL_OK;
  SGLRENDERTARGET target{};
  if (!s.callback) {
    result = Fail(SGL_ERR_NO_DEVICE);
  } else if (s.callback(&target) != 0 || !TargetFits(target, s.width)) {
    result = Fail(SGL_ERR_BAD_ARGUMENT);
  } else {
    Clear(target, s.width, s.height, Channel(context->BackRed), Channel(context->BackGreen),
          Channel(context->BackBlue));
    ++s.frames;
  }
  if (!s.withholdStatus) s.status |= 1u;
  return result;
}
