// Records and constants of the 3D accelerator library stand-in: the vertex,
// the render context, the render callback's record, texture maps, the
// texture-memory report, the version records and the result codes.
#pragma once
#include <cstddef>
#include <cstdint>

// Results: 0 or more succeeds, a negative value is one of these failures.
constexpr int32_t SGL_OK = 0;
constexpr int32_t SGL_ERR_BAD_ARGUMENT = -1;
constexpr int32_t SGL_ERR_NO_DEVICE = -2;
constexpr int32_t SGL_ERR_UNKNOWN_TEXTURE = -3;
constexpr int32_t SGL_ERR_NOT_IN_FRAME = -4;
constexpr int32_t SGL_ERR_DEVICE_BUSY = -5;     // a screen device already exists
constexpr int32_t SGL_ERR_ABSENT = -6;          // the library is configured absent
constexpr int32_t SGL_ERR_OUT_OF_MEMORY = -7;   // main memory, not the card's
constexpr int32_t SGL_ERR_FRAME_FULL = -8;      // the frame holds a million triangles already
constexpr int32_t SGL_ERR_FRAME_DROPPED = -9;   // a frame began before the last one was rendered
constexpr int32_t SGL_ERR_TEXTURE_MEMORY_FULL = -243;

// Screen devices: colour types, and the largest side.
constexpr int32_t SGL_DEVICE_16BIT = 0;
constexpr int32_t SGL_DEVICE_24BIT = 1;
constexpr int32_t SGL_MAX_DEVICE_SIDE = 2048;

// The render area is cut into square regions of this many pixels.
constexpr int32_t SGL_REGION_SIDE = 32;

// Texture formats: 5-5-5 or 4-4-4-4 texels (transparency in the top
// nibble), each alone or followed by every smaller level down to 1 x 1.
constexpr int32_t SGL_MAP_555 = 0;
constexpr int32_t SGL_MAP_555_LEVELS = 1;
constexpr int32_t SGL_MAP_4444 = 3;
constexpr int32_t SGL_MAP_4444_LEVELS = 4;
// Size codes 0 to 3: sides of 32, 64, 128 and 256 texels.
constexpr int32_t SGL_MIN_MAP_SIDE = 32;
constexpr int32_t SGL_MAX_SIZE_CODE = 3;

// Screen x and y the card takes, either side of 0: a triangle with a
// vertex beyond is dropped and its call fails.
constexpr float SGL_MAX_COORDINATE = 1000000.0f;

// One vertex: screen position, depth term, 1/w (larger is nearer),
// colour 0xAARRGGBB, specular 0xRRGGBB, texture coordinates (1.0 = the
// side).
struct TSGLVERTEX {
  float X;
  float Y;
  float Depth;
  float InvW;
  uint32_t Colour;
  uint32_t Specular;
  float U;
  float V;
};
static_assert(sizeof(TSGLVERTEX) == 32, "the vertex is eight 32-bit words");

// The render context every frame and draw call receives. The game sets the
// words it uses and leaves the spare ones 0; the library fills the region
// words at the start of each frame.
struct SGLCONTEXT {
  uint32_t FogOn;          // 1; 0 around the flare and the ground
  float FogRed;
  float FogGreen;
  float FogBlue;
  uint32_t Spare16;
  uint32_t Spare20;
  uint32_t Flags;          // rendering flag bits
  int32_t TextureName;     // of the next call, -1 untextured
  float SortDepth;         // per call: orders the translucent surfaces
  uint32_t Option36;       // 1
  float BackRed;           // background colour, 0.0 to 1.0
  float BackGreen;
  float BackBlue;
  uint32_t Option52;       // 1
  float ShadeFactor;       // 0.5 or 1.0 per texture
  uint32_t Spare60;
  uint32_t Spare64;
  uint32_t Option68;       // 1
  int32_t FirstXRegion;    // the render area, in regions, both ends included
  int32_t LastXRegion;
  int32_t FirstYRegion;
  int32_t LastYRegion;
  float XRegionsPerPixel;
  float YRegionsPerPixel;
  uint32_t Spare96;
  int32_t LevelBias;       // per texture: -3, or 0
  uint32_t VolumeKind;     // of the next volume: 1 shadow, 2 light
  uint32_t LightColour;    // 0xRRGGBB added inside a light volume
  uint32_t Spare[8];
};
static_assert(sizeof(SGLCONTEXT) == 144, "the context is 36 words");
static_assert(offsetof(SGLCONTEXT, FogOn) == 0 && offsetof(SGLCONTEXT, FogRed) == 4 &&
              offsetof(SGLCONTEXT, FogGreen) == 8 && offsetof(SGLCONTEXT, FogBlue) == 12 &&
              offsetof(SGLCONTEXT, Spare16) == 16 && offsetof(SGLCONTEXT, Spare20) == 20 &&
              offsetof(SGLCONTEXT, Flags) == 24 && offsetof(SGLCONTEXT, TextureName) == 28 &&
              offsetof(SGLCONTEXT, SortDepth) == 32 && offsetof(SGLCONTEXT, Option36) == 36 &&
              offsetof(SGLCONTEXT, BackRed) == 40 && offsetof(SGLCONTEXT, BackGreen) == 44 &&
              offsetof(SGLCONTEXT, BackBlue) == 48 && offsetof(SGLCONTEXT, Option52) == 52 &&
              offsetof(SGLCONTEXT, ShadeFactor) == 56 && offsetof(SGLCONTEXT, Spare60) == 60 &&
              offsetof(SGLCONTEXT, Spare64) == 64 && offsetof(SGLCONTEXT, Option68) == 68 &&
              offsetof(SGLCONTEXT, FirstXRegion) == 72 && offsetof(SGLCONTEXT, LastXRegion) == 76 &&
              offsetof(SGLCONTEXT, FirstYRegion) == 80 && offsetof(SGLCONTEXT, LastYRegion) == 84 &&
              offsetof(SGLCONTEXT, XRegionsPerPixel) == 88 && offsetof(SGLCONTEXT, YRegionsPerPixel) == 92 &&
              offsetof(SGLCONTEXT, Spare96) == 96 && offsetof(SGLCONTEXT, LevelBias) == 100 &&
              offsetof(SGLCONTEXT, VolumeKind) == 104 && offsetof(SGLCONTEXT, LightColour) == 108 &&
              offsetof(SGLCONTEXT, Spare) == 112,
              "the context's words at their offsets");

// What the render callback fills: where the frame goes.
struct SGLRENDERTARGET {
  uint8_t* FirstPixel;
  uint16_t BytesPerLine;
  uint8_t BitsPerPixel;  // 15 (5-5-5), 16 (5-6-5) or 24 (bytes blue, green, red)
};
// Called once inside each render; returns 0.
using SGL_RENDERCALLBACK = int32_t (*)(SGLRENDERTARGET* target);

// A texture map. The source form: the bytes "IMAP", the sides and 32-bit
// texels (red in the low byte, transparency in the top byte, 0 opaque),
// row after row. The processed form: "ZT", the format's digit, the number
// of levels below the first one, the side of level 0 and 16-bit texels,
// every level twiddled (texel (x, y) at (x's bits spread to the odd bits) |
// (y's bits spread to the even bits)), level after level. A processed
// block holds no address of its own, so it may be moved.
struct SGLMAP {
  char Id[4];
  int32_t XSize;
  int32_t YSize;
  void* Pixels;
};

// Free texture memory: how many square textures of 32, 64, 128 and 256
// texels would fit, at 8 bits per texel, at 16 bits, and at 16 bits with
// their smaller levels; then the free bytes and the largest free block.
struct SGLTEXMEMINFO {
  uint32_t TotalMemory;
  uint16_t FreeTextures[3][4];
  uint32_t FreeMemory;
  uint32_t LargestBlock;
};
static_assert(sizeof(SGLTEXMEMINFO) == 36 && offsetof(SGLTEXMEMINFO, FreeMemory) == 28,
              "a word, twelve 16-bit counts, two words");

// The library's version texts.
struct TSGLVERSIONS {
  const char* library;
  const char* required_header;
};

// The board's and its driver's version texts.
struct TSGLWINVERSIONS {
  const char* required_sglwin32_header;
  const char* sgl_vxd_rev;
  const char* pci_bridge_vendor_id;
  const char* pci_bridge_device_id;
  const char* pci_bridge_rev;
  const char* pci_bridge_irq;
  const char* pci_bridge_io_base;
  const char* tsp_rev;
  const char* tsp_mem_size;  // megabytes
  const char* isp_rev;
  const char* mode;
  const char* status;
  const char* build_info;
};
