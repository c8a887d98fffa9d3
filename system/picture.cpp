// Picture files: the type of a name, the dispatch to the readers, and what
// the readers share (file image, bitmap creation within the heap's means).
#include "system/picture.h"

#include <bit>
#include <cctype>
#include <cstring>

#include "system/file.h"
#include "system/heap.h"
#include "system/picture_io.h"
#include "system/util.h"

namespace {

// Where a file's bytes start in their block.
constexpr uintptr_t kFileAlign = 64;

// Bytes a block of `size` takes in a heap, its header included.
uint64_t HeapFootprint(uint64_t size) { return ((size + 15) & ~uint64_t{15}) + LS_HEAP_HEADER; }

bool IsSurfaceKind(uintptr_t kind) {
  return kind == BMAP_FRONTSCREEN || kind == BMAP_BACKSCREEN || kind == BMAP_VIDEOMEM || kind == BMAP_SYSMEM;
}

}  // namespace

int32_t LS_GetPictureType(const char* name) {
  if (!name) return LS_PIC_NONE;
  const char* dot = std::strchr(name, '.');
  if (!dot) return LS_PIC_NONE;
  char extension[4] = {};
  for (int i = 0; i < 3 && dot[1 + i]; ++i)
    extension[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(dot[1 + i])));
  static const struct {
    const char* Text;
    int32_t Type;
  } kTypes[] = {{"PCX", LS_PIC_PCX},
                {"LBM", LS_PIC_LBM},
                {"GIF", LS_PIC_GIF},
                {"TGA", LS_PIC_TGA},
                {"BMA", LS_PIC_BMA}};
  for (const auto& row : kTypes)
    if (std::strcmp(extension, row.Text) == 0) return row.Type;
  return LS_PIC_NONE;
}

BMAP* LS_LoadPicture(const char* name, int32_t type, uintptr_t heap) {
  switch (type) {
    case LS_PIC_PCX: return LS_LoadPcx(name, heap);
    case LS_PIC_LBM: return LS_LoadIff(name, heap);
    case LS_PIC_TGA: return LS_LoadTga(name, heap);
    case LS_PIC_BMA: return LS_LoadBmapFile(name, heap);
    default: return nullptr;
  }
}

bool LSI_LoadPictureFile(const char* name, LSI_PICFILE* file) {
  *file = LSI_PICFILE{nullptr, 0, nullptr};
  if (!name) return false;
  const int32_t size = LS_GetFileSize(name);
  if (size <= 0) return false;
  const uint64_t blockSize = uint64_t{static_cast<uint32_t>(size)} + kFileAlign - 1;
  if (blockSize > UINT32_MAX ||
      HeapFootprint(blockSize) > LSI_GetHeapMaxFree(LSI_GetHeapOf(LS_DefaultHeap)))
    return false;
  LS_FlipHeapDirection(LS_DefaultHeap);
  void* block = LS_GetMem(static_cast<uint32_t>(blockSize));
  LS_FlipHeapDirection(LS_DefaultHeap);
  if (!block) return false;
  const uintptr_t address = reinterpret_cast<uintptr_t>(block);
  auto* data = static_cast<uint8_t*>(block) + ((kFileAlign - address % kFileAlign) % kFileAlign);
  const int16_t handle = LS_Open(name, LS_O_BINARY);
  const int32_t got = handle < 0 ? 0 : LS_Read(handle, data, size);
  if (handle >= 0) LS_Close(handle);
  if (got != size) {
    LS_Release(block);
    return false;
  }
  *file = LSI_PICFILE{data, static_cast<uint32_t>(size), block};
  return true;
}

void LSI_FreePictureFile(LSI_PICFILE* file) {
  if (file->Block) LS_Release(file->Block);
  *file = LSI_PICFILE{nullptr, 0, nullptr};
}

uint64_t LSI_MostUnpacked(uint64_t available, uint32_t cost, uint32_t yield) {
  return (available + cost - 1) / cost * yield;
}

BMAP* LSI_EndPicturePass(BMAP* bmap, bool read) {
  LS_UnlockBmap(bmap);
  if (read) return bmap;
  LS_FreeBmap(bmap);
  return nullptr;
}

BMAP* LSI_CreatePictureBmap(int64_t width, int64_t height, int32_t depth, uintptr_t kind, bool cleared) {
  if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) return nullptr;
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) return nullptr;
  const uint64_t pixels =
      static_cast<uint64_t>(depth / 8) * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (!IsSurfaceKind(kind)) {
    // The record and the pixels: both fit when the largest gap holds the two.
    HEAP* heap = LSI_GetHeapOf(kind > 8 ? kind : LS_DefaultHeap);
    if (!heap || pixels > UINT32_MAX) return nullptr;
    if (HeapFootprint(sizeof(BMAP)) + HeapFootprint(pixels) > LSI_GetHeapMaxFree(heap)) return nullptr;
  }
  const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
  return cleared ? LS_CreateBmap(w, h, depth, kind) : LSI_CreateBmapUncleared(w, h, depth, kind);
}

void LSI_LEPixelsToNative(uint8_t* pixels, int32_t count, int32_t bytesPerPixel) {
  if constexpr (std::endian::native == std::endian::little) return;
  for (int32_t i = 0; i < count; ++i, pixels += bytesPerPixel) {
    if (bytesPerPixel == 2) {
      const uint16_t value = LS_ReadLEWord(pixels);
      std::memcpy(pixels, &value, 2);
    } else if (bytesPerPixel == 4) {
      const uint32_t value = LS_ReadLELong(pixels);
      std::memcpy(pixels, &value, 4);
    }
  }
}

void LSI_NativePixelsToLE(uint8_t* pixels, int32_t count, int32_t bytesPerPixel) {
  // Byte reversal is its own inverse.
  LSI_LEPixelsToNative(pixels, count, bytesPerPixel);
}

void LSI_InitRunSource(LSI_RUNSOURCE* source, const uint8_t* data, const uint8_t* end) {
  std::memset(source, 0, sizeof *source);
  source->Next = data;
  source->End = end;
}
