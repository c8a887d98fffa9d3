// The accelerator stand-in's draw calls: each copies its triangles'
// vertices (the callers reuse their arrays within a frame) and the context
// words that matter into the frame's recording, for the render to draw.
#include <algorithm>
#include <cmath>

#include "platform/accel/sgl.h"
#include "platform/accel/control.h"
#include "platform/accel/state.h"

using plat::accel::Accel;
using plat::accel::CallState;
using plat::accel::Fail;
using plat::accel::Recording;

namespace {

bool Finite(float value) { return std::isfinite(value); }

// A vertex that can be drawn: finite, in front of the eye, within range.
bool GoodVertex(const TSGLVERTEX& v) {
  return Finite(v.X) && Finite(v.Y) && Finite(v.U) && Finite(v.V) && Finite(v.InvW) && v.InvW > 0.0f &&
         std::fabs(v.X) <= plat::accel::kMaxCoordinate && std::fabs(v.Y) <= plat::accel::kMaxCoordinate;
}

// The pixels of the regions the words name, within the device; false when
// the words reach outside the device (what lies inside is still drawn).
bool RegionPixels(const SGLCONTEXT& c, int32_t width, int32_t height, CallState& call) {
  const int64_t lastX = (width + SGL_REGION_SIDE - 1) / SGL_REGION_SIDE - 1;
  const int64_t lastY = (height + SGL_REGION_SIDE - 1) / SGL_REGION_SIDE - 1;
  auto pixels = [](int64_t region, int32_t limit) {
    return static_cast<int32_t>(std::clamp<int64_t>(region * SGL_REGION_SIDE, 0, limit));
  };
  call.x0 = pixels(c.FirstXRegion, width);
  call.x1 = std::max(call.x0, pixels(int64_t{c.LastXRegion} + 1, width));
  call.y0 = pixels(c.FirstYRegion, height);
  call.y1 = std::max(call.y0, pixels(int64_t{c.LastYRegion} + 1, height));
  return c.FirstXRegion >= 0 && c.FirstYRegion >= 0 && c.LastXRegion <= lastX && c.LastYRegion <= lastY &&
         c.FirstXRegion <= c.LastXRegion && c.FirstYRegion <= c.LastYRegion;
}

// Opens a call: checks the frame and the arrays, snapshots the context.
// Gives the call's index, or a failure.
int32_t BeginCall(const SGLCONTEXT* context, int32_t count, const void* faces, const void* vertices,
                  bool othersGiven, int64_t load, bool& badRegions) {
  if (const int32_t result = plat::accel::CheckFrame(context); result < 0) return result;
  auto& s = Accel();
  if (count < 1 || count > plat::accel::kMaxFrameTriangles || !faces || !vertices || !othersGiven)
    return Fail(SGL_ERR_BAD_ARGUMENT);
  Recording& r = s.recording;
  if (r.load + load > plat::accel::kMaxFrameTriangles) return Fail(SGL_ERR_FRAME_FULL);
  CallState call;
  call.word0 = context->FogOn;
  call.flags = context->Flags;
  call.texture = context->TextureName;
  call.sortDepth = context->SortDepth;
  call.shade = std::isfinite(context->ShadeFactor) ? std::clamp(context->ShadeFactor, 0.0f, 1.0f) : 1.0f;
  call.levelBias = context->LevelBias;
  badRegions = !RegionPixels(*context, s.width, s.height, call);
  r.calls.push_back(call);
  r.load += load;
  ++s.drawCalls;
  return static_cast<int32_t>(r.calls.size()) - 1;
}

// Records the triangles (i0, i1, i2) the index function gives; a triangle
// with a bad vertex is dropped and the call then reports it.
template <typename Index>
int32_t RecordTriangles(const SGLCONTEXT* context, int32_t count, int32_t perItem, const void* items,
                        const TSGLVERTEX* vertices, Index index) {
  bool badRegions = false;
  const int32_t call = BeginCall(context, count, items, vertices, true, int64_t{count} * perItem, badRegions);
  if (call < 0) return call;
  auto& triangles = Accel().recording.triangles;
  bool dropped = false;
  for (int32_t i = 0; i < count; ++i)
    for (int32_t k = 0; k < perItem; ++k) {
      const auto [i0, i1, i2] = index(i, k);
      const TSGLVERTEX &a = vertices[i0], &b = vertices[i1], &c = vertices[i2];
      if (!GoodVertex(a) || !GoodVertex(b) || !GoodVertex(c)) {
        dropped = true;
        continue;
      }
      triangles.push_back({{a, b, c}, call});
    }
  return dropped || badRegions ? Fail(SGL_ERR_BAD_ARGUMENT) : SGL_OK;
}

struct Triple {
  uint32_t i0, i1, i2;
};

}  // namespace

namespace {
plat::AccelCallObserver g_observer = nullptr;
}  // namespace

void plat::AccelObserveCalls(AccelCallObserver observer) { g_observer = observer; }

int32_t sgltri_triangles(SGLCONTEXT* context, int32_t count, const uint16_t (*faces)[4], const TSGLVERTEX* vertices) {
  if (g_observer) g_observer(context, 0, count, faces, vertices);
  return RecordTriangles(context, count, 1, faces, vertices, [faces](int32_t i, int32_t) {
    return Triple{faces[i][0], faces[i][1], faces[i][2]};
  });
}

// A quad is the triangles (0, 1, 2) and (0, 2, 3).
int32_t sgltri_quads(SGLCONTEXT* context, int32_t count, const uint32_t (*quads)[4], const TSGLVERTEX* vertices) {
  if (g_observer) g_observer(context, 1, count, quads, vertices);
  return RecordTriangles(context, count, 2, quads, vertices, [quads](int32_t i, int32_t k) {
    return Triple{quads[i][0], quads[i][1 + k], quads[i][2 + k]};
  });
}

// A volume keeps the planes of its good triangles; fewer than four, or a
// box that is not one, leaves nothing of it.
int32_t sgltri_shadow(SGLCONTEXT* context, int32_t count, const int32_t (*faces)[3], const TSGLVERTEX* vertices,
                      const float* box) {
  if (g_observer) g_observer(context, 2, count, faces, vertices);
  bool badRegions = false;
  const int32_t call = BeginCall(context, count, faces, vertices, box != nullptr, count, badRegions);
  if (call < 0) return call;
  auto& s = Accel();
  Recording& r = s.recording;
  const bool boxGood = Finite(box[0]) && Finite(box[1]) && Finite(box[2]) && Finite(box[3]) && box[0] <= box[2] &&
                       box[1] <= box[3];
  const size_t first = r.volumePlanes.size();
  bool dropped = false;
  for (int32_t i = 0; i < count && boxGood; ++i) {
    const TSGLVERTEX &a = vertices[faces[i][0]], &b = vertices[faces[i][1]], &c = vertices[faces[i][2]];
    if (GoodVertex(a) && GoodVertex(b) && GoodVertex(c)) r.volumePlanes.push_back({a, b, c});
    else dropped = true;
  }
  const int32_t planes = static_cast<int32_t>(r.volumePlanes.size() - first);
  if (!boxGood || planes < 4) {
    r.volumePlanes.resize(first);
    return Fail(SGL_ERR_BAD_ARGUMENT);
  }
  // The box covers the pixels whose centres it holds.
  auto from = [](float v, int32_t limit) {
    return static_cast<int32_t>(std::clamp<double>(std::ceil(double{v} - 0.5), 0, limit));
  };
  auto to = [](float v, int32_t limit) {
    return static_cast<int32_t>(std::clamp<double>(std::floor(double{v} - 0.5) + 1, 0, limit));
  };
  const CallState& state = r.calls[call];
  plat::accel::RecordedVolume volume{};
  volume.kind = context->VolumeKind;
  volume.light = context->LightColour & 0xFFFFFF;
  volume.x0 = std::max(from(box[0], s.width), state.x0);
  volume.y0 = std::max(from(box[1], s.height), state.y0);
  volume.x1 = std::min(to(box[2], s.width), state.x1);
  volume.y1 = std::min(to(box[3], s.height), state.y1);
  volume.first = static_cast<int32_t>(first);
  volume.count = planes;
  r.volumes.push_back(volume);
  return dropped || badRegions ? Fail(SGL_ERR_BAD_ARGUMENT) : SGL_OK;
}
