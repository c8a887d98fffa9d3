// The accelerator stand-in's render set-up: each recorded triangle becomes
// exact edge functions and planes of 1/w and of each attribute x 1/w, with
// its texture level chosen, and is listed in every tile it touches (the
// translucent ones in drawing order); each volume becomes planes of 1/w.
// The triangles are set up and binned in batches on the render's threads;
// each batch bins into its own lists, read batch after batch, so that a
// tile's list keeps the order of one thread.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "platform/accel/raster.h"
#include "platform/accel/state.h"

namespace plat::accel {

namespace {

// Floor of n / d for d > 0, and the ceiling.
int64_t FloorDiv(int64_t n, int64_t d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }

// Planes through three points (x, y) of a triangle, one per set of values
// f at its corners: the triangle's shape is solved once.
class PlaneSolver {
 public:
  PlaneSolver(const double x[3], const double y[3]) : x0_(x[0]), y0_(y[0]) {
    const double d1x = x[1] - x[0], d1y = y[1] - y[0], d2x = x[2] - x[0], d2y = y[2] - y[0];
    const double inverse = 1.0 / (d1x * d2y - d1y * d2x);
    k_[0] = d2y * inverse, k_[1] = -d1y * inverse, k_[2] = -d2x * inverse, k_[3] = d1x * inverse;
  }
  Plane Through(const double f[3]) const {
    const double f1 = f[1] - f[0], f2 = f[2] - f[0];
    Plane p;
    p.bx = f1 * k_[0] + f2 * k_[1];
    p.by = f1 * k_[2] + f2 * k_[3];
    p.a = f[0] - p.bx * x0_ - p.by * y0_;
    return p;
  }

 private:
  double x0_, y0_, k_[4];
};

uint32_t Byte(uint32_t word, int shift) { return word >> shift & 0xFF; }

// The held level drawn: half the log2 of the triangle's texel area over its
// screen area, plus the call's bias, within the levels the card holds.
int32_t ChooseLevel(const CardTexture& t, const RecordedTriangle& r, double screenArea2, int32_t bias) {
  if (t.levels <= 1) return 0;
  const auto& v = r.v;
  const double uvArea2 = std::fabs((double{v[1].U} - v[0].U) * (double{v[2].V} - v[0].V) -
                                   (double{v[1].V} - v[0].V) * (double{v[2].U} - v[0].U));
  const double ratio = uvArea2 * t.side * t.side / screenArea2;
  double level = t.first;
  if (ratio > 0.0 && std::isfinite(ratio)) level = std::floor(0.5 * std::log2(ratio) + bias);
  level = std::clamp<double>(level, t.first, t.first + t.levels - 1);
  return static_cast<int32_t>(level) - t.first;
}

// Sets up one triangle; false when it covers no pixel of its call's area.
bool SetUpTriangle(const RecordedTriangle& r, const CallState& call, const CardTexture* texture, SetupTriangle& t) {
  int64_t X[3], Y[3];
  for (int k = 0; k < 3; ++k) {
    X[k] = std::llround(double{r.v[k].X} * 256.0);
    Y[k] = std::llround(double{r.v[k].Y} * 256.0);
  }
  const int64_t area2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (Y[1] - Y[0]) * (X[2] - X[0]);
  if (area2 == 0) return false;
  const int64_t sign = area2 > 0 ? 1 : -1;
  t.small = true;
  for (int k = 0; k < 3; ++k) {
    const int n = (k + 1) % 3;
    t.a[k] = -(Y[n] - Y[k]) * sign;
    t.b[k] = (X[n] - X[k]) * sign;
    t.c[k] = -(t.a[k] * X[k] + t.b[k] * Y[k]);
    t.bias[k] = t.a[k] > 0 || (t.a[k] == 0 && t.b[k] > 0) ? 0 : 1;
    t.small = t.small && std::llabs(t.a[k]) < (1 << 25) && std::llabs(t.b[k]) < (1 << 25);
  }
  // Pixels whose centres (256 x + 128) lie within the vertices' extent.
  const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
  const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  t.x0 = static_cast<int32_t>(std::max<int64_t>(call.x0, -FloorDiv(128 - minX, 256)));
  t.x1 = static_cast<int32_t>(std::min<int64_t>(call.x1, FloorDiv(maxX - 128, 256) + 1));
  t.y0 = static_cast<int32_t>(std::max<int64_t>(call.y0, -FloorDiv(128 - minY, 256)));
  t.y1 = static_cast<int32_t>(std::min<int64_t>(call.y1, FloorDiv(maxY - 128, 256) + 1));
  if (t.x0 >= t.x1 || t.y0 >= t.y1) return false;

  // Planes over pixel indices (pixel (i, j) has its centre at (i + 0.5,
  // j + 0.5)) through the vertices as given, or as snapped when those are
  // in one line.
  double x[3], y[3], f[3];
  for (int k = 0; k < 3; ++k) x[k] = double{r.v[k].X} - 0.5, y[k] = double{r.v[k].Y} - 0.5;
  if ((x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]) == 0.0)
    for (int k = 0; k < 3; ++k) x[k] = static_cast<double>(X[k]) / 256.0 - 0.5, y[k] = static_cast<double>(Y[k]) / 256.0 - 0.5;
  t.vertexTransparent = false;
  const PlaneSolver solver(x, y);
  for (int attribute = 0; attribute < kAttributes; ++attribute) {
    for (int k = 0; k < 3; ++k) {
      const TSGLVERTEX& v = r.v[k];
      double value = 1.0;
      switch (attribute) {
        case kU: value = v.U; break;
        case kV: value = v.V; break;
        case kRed: value = Byte(v.Colour, 16); break;
        case kGreen: value = Byte(v.Colour, 8); break;
        case kBlue: value = Byte(v.Colour, 0); break;
        case kTrans: value = Byte(v.Colour, 24); break;
        case kSpecRed: value = Byte(v.Specular, 16); break;
        case kSpecGreen: value = Byte(v.Specular, 8); break;
        case kSpecBlue: value = Byte(v.Specular, 0); break;
        default: break;
      }
      f[k] = value * v.InvW;
    }
    t.plane[attribute] = solver.Through(f);
  }
  for (const TSGLVERTEX& v : r.v) t.vertexTransparent = t.vertexTransparent || (v.Colour >> 24) != 0;
  t.call = r.call;
  t.texture = texture;
  t.level = texture ? ChooseLevel(*texture, r, std::fabs(static_cast<double>(area2)) / 65536.0, call.levelBias) : 0;
  t.texels = texture ? DecodedLevel(*texture, t.level) : nullptr;
  t.side = texture ? texture->side >> (texture->first + t.level) : 0;
  t.keyed = texture && texture->keyed;
  t.blended = t.vertexTransparent || (texture && texture->translucent);
  return true;
}

// Lists the triangle in every tile of its box that it touches, marking the
// tiles it covers whole. A tile is missed when, for some edge, its four
// corner pixels all lie outside.
void Bin(const SetupTriangle& t, uint32_t index, const FrameSetup& frame, Bins& bins) {
  const int32_t firstX = t.x0 / kTile, lastX = (t.x1 - 1) / kTile;
  const int32_t firstY = t.y0 / kTile, lastY = (t.y1 - 1) / kTile;
  for (int32_t ty = firstY; ty <= lastY; ++ty)
    for (int32_t tx = firstX; tx <= lastX; ++tx) {
      const int64_t px0 = int64_t{tx} * kTile * 256 + 128, py0 = int64_t{ty} * kTile * 256 + 128;
      const int64_t span = (kTile - 1) * 256;
      bool missed = false, whole = true;
      for (int k = 0; k < 3 && !missed; ++k) {
        const int64_t e = t.a[k] * px0 + t.b[k] * py0 + t.c[k] - t.bias[k];
        const int64_t ax = t.a[k] * span, by = t.b[k] * span;
        const int64_t high = e + std::max<int64_t>(ax, 0) + std::max<int64_t>(by, 0);
        const int64_t low = e + std::min<int64_t>(ax, 0) + std::min<int64_t>(by, 0);
        missed = high < 0;
        whole = whole && low >= 0;
      }
      if (missed) continue;
      // Whole only when the tile's pixels are all within the triangle's area.
      whole = whole && t.x0 <= tx * kTile && t.y0 <= ty * kTile && t.x1 >= (tx + 1) * kTile &&
              t.y1 >= (ty + 1) * kTile;
      const uint64_t tile = static_cast<uint64_t>(ty) * static_cast<uint64_t>(frame.tilesX) + static_cast<uint64_t>(tx);
      bins.binned.push_back(tile << 32 | index | (whole ? kWholeTile : 0));
    }
}

void SetUpVolume(const RecordedVolume& r, const Recording& recording, FrameSetup& frame) {
  if ((r.kind != 1 && r.kind != 2) || r.x0 >= r.x1 || r.y0 >= r.y1) return;
  SetupVolume volume{r.kind, r.light, r.x0, r.y0, r.x1, r.y1, static_cast<int32_t>(frame.planes.size()), 0};
  for (int32_t i = r.first; i < r.first + r.count; ++i) {
    const auto& v = recording.volumePlanes[i];
    double x[3], y[3], q[3];
    for (int k = 0; k < 3; ++k) x[k] = double{v[k].X} - 0.5, y[k] = double{v[k].Y} - 0.5, q[k] = v[k].InvW;
    const double cross = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    if (std::fabs(cross) < 1e-9) continue;  // seen edge-on
    frame.planes.push_back({PlaneSolver(x, y).Through(q), cross < 0});
  }
  volume.count = static_cast<int32_t>(frame.planes.size()) - volume.first;
  if (volume.count >= 4) frame.volumes.push_back(volume);
  else frame.planes.resize(volume.first);
}

// Sorts a batch's binned entries by tile, keeping their order within each
// tile (a counting sort).
void Finish(Bins& bins, size_t tiles) {
  bins.start.assign(tiles + 2, 0);
  for (const uint64_t b : bins.binned) ++bins.start[(b >> 32) + 2];
  for (size_t k = 2; k < bins.start.size(); ++k) bins.start[k] += bins.start[k - 1];
  bins.entries.resize(bins.binned.size());
  for (const uint64_t b : bins.binned) bins.entries[bins.start[(b >> 32) + 1]++] = static_cast<uint32_t>(b);
  bins.binned.clear();
}

// Batches for `items` of work: one on one thread, else a few per thread of
// at least kMinBatch items each.
constexpr size_t kMinBatch = 16;
int32_t Batches(size_t items) {
  const int32_t threads = RenderThreads();
  if (items == 0) return 0;
  if (threads == 1) return 1;
  return static_cast<int32_t>(std::min<size_t>((items + kMinBatch - 1) / kMinBatch, size_t{4} * threads));
}

// The first item of a batch of `batches` over `items`.
size_t BatchStart(size_t items, int32_t batch, int32_t batches) {
  return items * static_cast<size_t>(batch) / static_cast<size_t>(batches);
}

// Each call's texture, decoded when the frame first needs it; gives the
// number of textured calls whose texture is unknown.
int32_t CallTextures(const Recording& recording, std::vector<CardTexture*>& callTextures) {
  auto& textures = Accel().textures;
  callTextures.assign(recording.calls.size(), nullptr);
  int32_t unknown = 0;
  for (size_t i = 0; i < recording.calls.size(); ++i) {
    const CallState& call = recording.calls[i];
    if (!(call.flags & 4) || call.texture == -1) continue;
    const bool known = call.texture >= 0 && static_cast<size_t>(call.texture) < textures.size() &&
                       textures[call.texture].live;
    if (!known) {
      ++unknown;
      continue;
    }
    CardTexture& texture = textures[call.texture];
    if (!texture.decoded) DecodeTexture(texture);
    callTextures[i] = &texture;
  }
  return unknown;
}

}  // namespace

int32_t SetUpFrame(const Recording& recording, FrameSetup& frame) {
  frame.tilesX = (frame.width + kTile - 1) / kTile;
  frame.tilesY = (frame.height + kTile - 1) / kTile;
  const size_t tiles = static_cast<size_t>(frame.tilesX) * frame.tilesY;
  frame.calls = &recording.calls;
  frame.planes.clear();
  frame.volumes.clear();
  std::vector<CardTexture*>& callTextures = Accel().callTextures;
  const int32_t unknown = CallTextures(recording, callTextures);

  // The triangles by batches of the recorded order: set up, the opaque
  // ones binned, the translucent ones noted.
  const size_t count = recording.triangles.size();
  frame.triangles.resize(count);
  frame.opaqueBatches = Batches(count);
  if (frame.opaque.size() < static_cast<size_t>(frame.opaqueBatches)) frame.opaque.resize(frame.opaqueBatches);
  ForEachItem(frame.opaqueBatches, [&](int32_t batch) {
    Bins& bins = frame.opaque[batch];
    bins.binned.clear();
    bins.blended.clear();
    const size_t end = BatchStart(count, batch + 1, frame.opaqueBatches);
    for (size_t i = BatchStart(count, batch, frame.opaqueBatches); i < end; ++i) {
      const RecordedTriangle& r = recording.triangles[i];
      SetupTriangle& t = frame.triangles[i];
      t.drawn = SetUpTriangle(r, recording.calls[r.call], callTextures[r.call], t);
      if (!t.drawn) continue;
      const uint32_t index = static_cast<uint32_t>(i);
      t.order = static_cast<int32_t>(index);
      if (!t.vertexTransparent) Bin(t, index, frame, bins);
      if (t.blended) bins.blended.push_back(index);
    }
    Finish(bins, tiles);
  });

  // The translucent triangles by their calls' sort value, ties in call
  // order; a value that is no number comes last.
  std::vector<uint32_t>& blended = Accel().blendOrder;
  blended.clear();
  for (int32_t batch = 0; batch < frame.opaqueBatches; ++batch)
    blended.insert(blended.end(), frame.opaque[batch].blended.begin(), frame.opaque[batch].blended.end());
  auto key = [&](uint32_t i) {
    const float depth = recording.calls[frame.triangles[i].call].sortDepth;
    return std::isnan(depth) ? INFINITY : depth;
  };
  std::sort(blended.begin(), blended.end(), [&](uint32_t a, uint32_t b) {
    const float ka = key(a), kb = key(b);
    return ka < kb || (ka == kb && a < b);  // no buffer, as a stable sort would take
  });
  frame.translucentBatches = Batches(blended.size());
  if (frame.translucent.size() < static_cast<size_t>(frame.translucentBatches))
    frame.translucent.resize(frame.translucentBatches);
  ForEachItem(frame.translucentBatches, [&](int32_t batch) {
    Bins& bins = frame.translucent[batch];
    bins.binned.clear();
    const size_t end = BatchStart(blended.size(), batch + 1, frame.translucentBatches);
    for (size_t k = BatchStart(blended.size(), batch, frame.translucentBatches); k < end; ++k)
      Bin(frame.triangles[blended[k]], blended[k], frame, bins);
    Finish(bins, tiles);
  });

  for (const RecordedVolume& volume : recording.volumes) SetUpVolume(volume, recording, frame);
  return unknown;
}

}  // namespace plat::accel
