// Reads ".PLG" polygon files field by field, every count checked against
// the bytes the file still holds before anything is allocated for it.
#include "scenery/plg.h"

#include <cstring>

#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr uint32_t kMinIndices = 3;

// The file's bytes still to read, and whether every read so far was whole.
struct Reader {
  int16_t handle;
  int64_t left;
  bool good = true;

  bool Bytes(void* out, int64_t n) {
    if (!good || n < 0 || n > left || LS_Read(handle, out, static_cast<int32_t>(n)) != n) return good = false;
    left -= n;
    return true;
  }
  uint32_t U32() {
    uint8_t b[4] = {};
    Bytes(b, 4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // A count of records of the size that the rest of the file can hold.
  bool Fits(uint32_t count, int64_t size) { return good && static_cast<int64_t>(count) * size <= left; }
};

void* Take(uint64_t bytes) { return bytes ? LS_GetMem(static_cast<uint32_t>(bytes)) : nullptr; }

bool ReadPolygon(Reader& r, TPLGPOLY& p, uint32_t nbVertices) {
  p.NbIndices = r.U32();
  for (int32_t& v : p.Vector) v = r.I32();
  if (p.NbIndices < kMinIndices || !r.Fits(p.NbIndices, 4)) return false;
  p.Indices = static_cast<uint32_t*>(Take(uint64_t{p.NbIndices} * 4));
  if (!p.Indices) return false;
  for (uint32_t k = 0; k < p.NbIndices; ++k) {
    p.Indices[k] = r.U32();
    if (p.Indices[k] >= nbVertices) return false;
  }
  return r.good;
}

bool ReadPlg(Reader& r, TPLG& plg) {
  plg.NbVertices = r.U32();
  if (!r.Fits(plg.NbVertices, 12)) return false;
  plg.Vertices = static_cast<int32_t(*)[3]>(Take(uint64_t{plg.NbVertices} * 12));
  if (plg.NbVertices && !plg.Vertices) return false;
  for (uint32_t i = 0; i < plg.NbVertices; ++i)
    for (int32_t& c : plg.Vertices[i]) c = r.I32();
  const uint32_t count = r.U32();
  // A polygon takes at least its count, its vector and three indices.
  if (!r.Fits(count, 4 + 12 + 4 * kMinIndices)) return false;
  plg.Polygons = static_cast<TPLGPOLY*>(Take(uint64_t{count} * sizeof(TPLGPOLY)));
  if (count && !plg.Polygons) return false;
  if (count) std::memset(plg.Polygons, 0, count * sizeof(TPLGPOLY));
  plg.NbPolygons = count;
  for (uint32_t p = 0; p < count; ++p)
    if (!ReadPolygon(r, plg.Polygons[p], plg.NbVertices)) return false;
  return r.good && r.left == 0;
}

}  // namespace

TPLG* LoadPlg(const char* path) {
  if (!path || !LS_FileExists(path)) return nullptr;
  const int32_t size = LS_GetFileSize(path);
  const int16_t handle = LS_Open(path, LS_O_BINARY);
  if (handle < 0) return nullptr;
  auto* plg = static_cast<TPLG*>(LS_GetMem(sizeof(TPLG)));
  if (plg) {
    std::memset(plg, 0, sizeof(TPLG));
    Reader r{handle, size};
    if (!ReadPlg(r, *plg)) {
      FreePlg(plg);
      plg = nullptr;
    }
  }
  LS_Close(handle);
  return plg;
}

int32_t FreePlg(TPLG* plg) {
  if (!plg) return 0;
  for (uint32_t p = 0; plg->Polygons && p < plg->NbPolygons; ++p)
    if (plg->Polygons[p].Indices) LS_Release(plg->Polygons[p].Indices);
  if (plg->Vertices) LS_Release(plg->Vertices);
  if (plg->Polygons) LS_Release(plg->Polygons);
  LS_Release(plg);
  return 1;
}
