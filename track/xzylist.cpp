// The ground queries' lookup lists: the records of the map sorted into X
// entries, Z entries and Y slots, all carved from one zero-filled block, so
// that a column is found in two index steps.
#include <algorithm>
#include <vector>

#include "engine3d/types.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "track/ground.h"

namespace {

constexpr const char* kOwner = "BuildXZYList";
constexpr int32_t kKeys = 256;  // values of a key byte

// The key bytes of a record: its x, y and z numbers (64 the origin).
struct TKEYS {
  int32_t X, Y, Z;
};
TKEYS KeysOf(const TBIGENTITY& r) { return {r.KeyX, r.KeyY, r.KeyZ}; }
TKEYS KeysOf(const TFCUBE10POLY& r) { return {r.X, r.Y, r.Z}; }

struct TRANGE {
  int32_t Min = kKeys, Max = -1;
  void Take(int32_t v) {
    Min = std::min(Min, v);
    Max = std::max(Max, v);
  }
  int32_t Count() const { return Max < Min ? 0 : Max - Min + 1; }
};

// Takes size bytes from the block's cursor.
template <typename T>
T* Carve(char** cursor, int32_t count) {
  T* at = reinterpret_cast<T*>(*cursor);
  *cursor += sizeof(T) * static_cast<size_t>(count);
  return at;
}

template <typename Record>
void BuildList(TXZYLIST<Record>* list, Record* records, int32_t count) {
  using List = TXZYLIST<Record>;
  *list = List{};
  if (!records || count <= 0) return;
  // Pass 1: the bounds, the z range of every x, the y range of every (x, z).
  TRANGE xs, ys, zs;
  std::vector<TRANGE> zOfX(kKeys), yOfXZ(kKeys * kKeys);
  for (int32_t i = 0; i < count; ++i) {
    const TKEYS r = KeysOf(records[i]);
    xs.Take(r.X);
    ys.Take(r.Y);
    zs.Take(r.Z);
    zOfX[r.X].Take(r.Z);
    yOfXZ[r.X * kKeys + r.Z].Take(r.Y);
  }
  size_t bytes = sizeof(typename List::XENTRY) * xs.Count();
  for (int32_t x = xs.Min; x <= xs.Max; ++x) {
    bytes += sizeof(typename List::ZENTRY) * zOfX[x].Count();
    for (int32_t z = zOfX[x].Min; z <= zOfX[x].Max; ++z) bytes += sizeof(Record*) * yOfXZ[x * kKeys + z].Count();
  }
  char* cursor = static_cast<char*>(SB_GetMem(static_cast<int32_t>(bytes), kOwner));
  if (!cursor) return;
  // Pass 2: carve the X entries, then each x's Z entries, then each
  // column's Y slots; then every record into its slot, a later record of
  // the same x, y, z replacing an earlier one.
  list->Block = cursor;
  list->Xs = Carve<typename List::XENTRY>(&cursor, xs.Count());
  list->MinX = xs.Min, list->MaxX = xs.Max, list->MinY = ys.Min, list->MaxY = ys.Max;
  list->MinZ = zs.Min, list->MaxZ = zs.Max;
  for (int32_t x = xs.Min; x <= xs.Max; ++x) {
    if (!zOfX[x].Count()) continue;
    typename List::XENTRY& xe = list->Xs[x - xs.Min];
    xe = {Carve<typename List::ZENTRY>(&cursor, zOfX[x].Count()), zOfX[x].Min, zOfX[x].Count()};
    for (int32_t z = zOfX[x].Min; z <= zOfX[x].Max; ++z) {
      const TRANGE& y = yOfXZ[x * kKeys + z];
      if (y.Count()) xe.Zs[z - xe.FirstZ] = {Carve<Record*>(&cursor, y.Count()), y.Min, y.Count()};
    }
  }
  for (int32_t i = 0; i < count; ++i) {
    const TKEYS r = KeysOf(records[i]);
    typename List::XENTRY& xe = list->Xs[r.X - xs.Min];
    typename List::ZENTRY& ze = xe.Zs[r.Z - xe.FirstZ];
    ze.Slots[r.Y - ze.FirstY] = &records[i];
  }
}

template <typename Record>
void FreeList(TXZYLIST<Record>* list) {
  if (list->Block) SB_Release(list->Block);
  *list = TXZYLIST<Record>{};
}

template <typename Record>
Record** FindColumn(const TXZYLIST<Record>& list, int32_t x, int32_t z, int32_t* count) {
  if (count) *count = 0;
  if (!list.Xs || x < list.MinX || x > list.MaxX) return nullptr;
  const auto& xe = list.Xs[x - list.MinX];
  if (!xe.Zs || z < xe.FirstZ || z - xe.FirstZ >= xe.NbZ) return nullptr;
  const auto& ze = xe.Zs[z - xe.FirstZ];
  if (!ze.Slots) return nullptr;
  if (count) *count = ze.NbY;
  return ze.Slots;
}

}  // namespace

// The race session's set-up and tear-down calls are weak, so that its
// tests can put recording fakes in their place.
__attribute__((weak)) void BuildXZYList() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) BuildList(&SB_Var.XZYList, SB_Var.Decor.Cubes, SB_Var.Decor.NbCubes);
}

void SB_BuildCubeXZYList() {
  if (!SB_Var.XZYList.Block) BuildList(&SB_Var.XZYList, SB_Var.Decor.Cubes, SB_Var.Decor.NbCubes);
}

__attribute__((weak)) void BuildListXZYPoly() {
  if (SB_Var.NbCube10Polys <= 0) LS_Error(0, "BuildListXZYPoly Error - Map with no Cubes10");
  BuildList(&SB_Var.PolyXZYList, SB_Var.Cube10Polys, SB_Var.NbCube10Polys);
}

// Built in the accelerator's renderer only for its editors.
__attribute__((weak)) void SB_FreeXZYList() { FreeList(&SB_Var.XZYList); }

__attribute__((weak)) void SB_FreeListXZYPoly() { FreeList(&SB_Var.PolyXZYList); }

TBIGENTITY** SB_FindCubeInXZList(int32_t x, int32_t z, int32_t* count) {
  return FindColumn(SB_Var.XZYList, x, z, count);
}

TFCUBE10POLY** SB_FindInListXZYPoly(int32_t x, int32_t z, int32_t* count) {
  return FindColumn(SB_Var.PolyXZYList, x, z, count);
}
