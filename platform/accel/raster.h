// The accelerator stand-in's rasteriser, inside the library (not for the
// game): the frame's recorded calls, their triangles set up once and
// binned into 32 x 32 tiles, and the per-tile passes (visibility, shading,
// volumes, translucency, conversion) shared among a small pool of threads.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/accel/types.h"

namespace plat::accel {

struct CardTexture;

constexpr int32_t kTile = SGL_REGION_SIDE;      // the tiles are the render regions
constexpr int32_t kTilePixels = kTile * kTile;
constexpr int64_t kMaxFrameTriangles = 1000000;  // triangles and planes of one frame
constexpr float kMaxCoordinate = SGL_MAX_COORDINATE;  // pixels either side of the origin
constexpr int32_t kMaxThreads = 64;

// What a draw call's triangles keep of the context at the time of the call.
struct CallState {
  uint32_t word0 = 0;      // recorded, no effect
  uint32_t flags = 0;      // bit 2: textured
  int32_t texture = -1;    // card texture name, -1 untextured
  float sortDepth = 0.0f;  // orders the translucent triangles
  float shade = 1.0f;      // what a shadow multiplies this call's surfaces by
  int32_t levelBias = 0;   // added to the chosen texture level
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // pixels it may draw: the regions within the device, half-open
};

// A recorded triangle: copies of its vertices and the call it came from.
struct RecordedTriangle {
  std::array<TSGLVERTEX, 3> v;
  int32_t call;
};

// A recorded volume: its planes' triangles are volumePlanes[first, first + count).
struct RecordedVolume {
  uint32_t kind;    // 1 shadow, 2 light
  uint32_t light;   // 0xRRGGBB added by a light volume
  int32_t x0, y0, x1, y1;  // its box as pixels, half-open, within the device
  int32_t first, count;
};

// One frame's recording; the vectors keep their storage between frames.
struct Recording {
  std::vector<CallState> calls;
  std::vector<RecordedTriangle> triangles;
  std::vector<RecordedVolume> volumes;
  std::vector<std::array<TSGLVERTEX, 3>> volumePlanes;
  int64_t load = 0;  // triangles and planes recorded, against the frame's cap
  void Clear() {
    calls.clear();
    triangles.clear();
    volumes.clear();
    volumePlanes.clear();
    load = 0;
  }
};

// A plane of a value over the screen: value(x, y) = a + bx x + by y at the
// centre of pixel (x, y).
struct Plane {
  double a = 0.0, bx = 0.0, by = 0.0;
  double At(double x, double y) const { return a + bx * x + by * y; }
};

// The attributes interpolated perspective-correct, each as a plane of
// attribute x 1/w, after the plane of 1/w itself.
enum Attribute { kInvW, kU, kV, kRed, kGreen, kBlue, kTrans, kSpecRed, kSpecGreen, kSpecBlue, kAttributes };

// A triangle set up for drawing. Its edge functions are exact integers over
// pixel centres in 1/256 pixel: E(px, py) = a px + b py + c with px =
// 256 x + 128, and a pixel is inside when every E >= bias (0 on top and left
// edges, 1 on the others), so triangles sharing an edge cover each pixel once.
struct SetupTriangle {
  int64_t a[3], b[3], c[3];
  int32_t bias[3];
  int32_t x0, y0, x1, y1;  // pixels to visit: bounding box within the call's area, half-open
  int32_t call;
  int32_t order;   // position in the frame, for ties of 1/w
  bool drawn;      // covers a pixel of its call's area: set up and binned
  bool small;      // every |a|, |b| below 2^25: tile-relative edge sums fit 32 bits
  bool keyed;      // texels with transparency are discarded from the visibility pass
  bool blended;    // has a translucent part (its vertices, or partly transparent texels)
  bool vertexTransparent;
  Plane plane[kAttributes];    // the visibility pass reads the first, 1/w
  const CardTexture* texture;  // null: untextured
  int32_t level;   // of the texture's held levels
  const uint32_t* texels;  // that level decoded, row after row
  int32_t side;    // of that level
};

// A volume set up for drawing: its planes of 1/w, each facing the viewer or
// not, and its pixel box.
struct VolumePlane {
  Plane q;
  bool facing;
};
struct SetupVolume {
  uint32_t kind, light;
  int32_t x0, y0, x1, y1;
  int32_t first, count;  // into the frame's volume planes
};

// One batch's triangles listed by tile: the tile's entries are
// entries[start[tile], start[tile + 1]), in the batch's order. An entry is
// a triangle's index, its top bit set when the triangle covers the whole
// tile.
struct Bins {
  std::vector<uint64_t> binned;   // tile << 32 | entry, as binned
  std::vector<int32_t> start;     // tiles + 2 of them
  std::vector<uint32_t> entries;
  std::vector<uint32_t> blended;  // the batch's triangles with a translucent part, in order
};

// Everything the tiles of one render read.
struct FrameSetup {
  int32_t width = 0, height = 0, tilesX = 0, tilesY = 0;
  uint32_t background = 0;  // 0xRRGGBB
  std::vector<CallState> const* calls = nullptr;
  std::vector<SetupTriangle> triangles;  // by recorded place; `drawn` false for the ones left out
  std::vector<VolumePlane> planes;
  std::vector<SetupVolume> volumes;
  // The opaque triangles by batches of the recorded order, and the
  // translucent ones by batches of their drawing order, each batch binned
  // by tile; a tile's list is its entries of each batch, batch after batch.
  std::vector<Bins> opaque, translucent;
  int32_t opaqueBatches = 0, translucentBatches = 0;  // in use
  SGLRENDERTARGET target{};
};

constexpr uint32_t kWholeTile = 0x80000000u;

// Sets up the recording's triangles and volumes and bins them; gives the
// number of triangles whose texture was unknown.
int32_t SetUpFrame(const Recording& recording, FrameSetup& frame);
// Draws one tile into the target.
void DrawTile(const FrameSetup& frame, int32_t tile);
// Draws every tile with the configured number of threads.
void DrawTiles(const FrameSetup& frame);
// ZENTROVA_ACCEL_THREADS, or 0 for the machine's cores.
int32_t ThreadsFromEnvironment();
// The threads a render uses: the configured count, or the machine's cores.
int32_t RenderThreads();
// work(0) to work(items - 1) on the render's threads, in any order and at
// once; returns when all are done.
void ForEachItem(int32_t items, const std::function<void(int32_t)>& work);

// The decoded texels of a card texture's level, row after row, as
// 0xTTRRGGBB (TT the transparency, 0 opaque, 255 invisible); decoded again
// after every upload.
const uint32_t* DecodedLevel(const CardTexture& texture, int32_t level);
void DecodeTexture(CardTexture& texture);

}  // namespace plat::accel
