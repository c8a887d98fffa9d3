// The accelerator stand-in's state, shared by its device, frame and texture
// files (not for the game).
#pragma once
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "platform/accel/raster.h"
#include "platform/accel/types.h"

namespace plat::accel {

// A texture on the card: levels first .. first + levels - 1 of its map.
struct CardTexture {
  bool live = false;
  char kind = 0;       // the processed map's format digit
  int32_t side = 0;    // of the map's level 0
  int32_t first = 0;   // the largest level held
  int32_t levels = 0;  // held, down to 1 x 1 when the map has levels
  uint32_t bytes = 0;  // card memory taken
  std::vector<uint16_t> texels;
  // Filled by the renderer from the texels when a frame first needs them.
  bool decoded = false;
  bool keyed = false;        // some texel is not opaque
  bool translucent = false;  // some texel is partly transparent
  std::vector<uint32_t> rgba;  // every held level, row after row
};

struct State {
  bool present = true;
  uint32_t cardMemory = 4u << 20;
  uint32_t usedMemory = 0;
  bool withholdStatus = false;

  bool hasDevice = false;
  int32_t device = -1;
  int32_t nextDevice = 0;
  int32_t width = 0, height = 0, type = 0;

  SGL_RENDERCALLBACK callback = nullptr;
  uint32_t status = 1;  // bit 0: no render pending
  bool inFrame = false;

  int32_t earliest = 0, latest = 0;
  std::vector<CardTexture> textures;  // by name
  std::unordered_set<void*> blocks;   // processed blocks alive
  int32_t frames = 0, drawCalls = 0;
  Recording recording;  // the open frame's calls
  FrameSetup setup;     // the render's work, kept between frames
  std::vector<CardTexture*> callTextures;  // per recorded call, at the render
  std::vector<uint32_t> blendOrder;        // the translucent triangles, sorted
  int32_t threads = 0;  // workers of a render, 0 for the machine's cores
};

State& Accel();
// Records a failing call's code and returns it.
int32_t Fail(int32_t code);
// A frame must be open on a device, with the caller's context.
int32_t CheckFrame(const SGLCONTEXT* context);

}  // namespace plat::accel
