// The arrays of a simple 3D object, taken from the default heap.
#include <cstdint>

#include "system/asm3d/zidade3d.h"
#include "system/heap.h"

namespace {

// Bytes of `count` records of `size` bytes, or -1 when they do not fit the
// heap's 32-bit sizes.
int64_t ArrayBytes(int64_t count, uint32_t size) {
  const int64_t bytes = count * size;
  return bytes > int64_t{UINT32_MAX} ? -1 : bytes;
}

// An empty array stays null; false when the heap refuses.
template <typename T>
bool Take(T*& array, int64_t bytes) {
  array = nullptr;
  if (bytes == 0) return true;
  array = static_cast<T*>(LS_GetMem(static_cast<uint32_t>(bytes)));
  return array != nullptr;
}

template <typename T>
void Give(T*& array) {
  if (array) LS_Release(array);
  array = nullptr;
}

}  // namespace

int32_t LS_AllocObject3D(OBJECT3D* object, int32_t n, int32_t m) {
  if (!object) return 1;
  object->Points = nullptr;
  object->Faces = object->Projected = nullptr;
  object->PointWords = nullptr;
  object->NbPoints = object->NbFaces = 0;
  if (n < 0 || m < 0) return 1;
  const int64_t points = ArrayBytes(int64_t{n} + 1, LS_OBJECT3D_POINTSIZE);
  const int64_t faces = ArrayBytes(m, LS_OBJECT3D_FACESIZE);
  const int64_t projected = ArrayBytes(int64_t{n} + 1, LS_OBJECT3D_PROJECTEDSIZE);
  const int64_t words = ArrayBytes(n, LS_OBJECT3D_WORDSIZE);
  if (points < 0 || faces < 0 || projected < 0 || words < 0) return 1;
  if (Take(object->Points, points) && Take(object->Faces, faces) && Take(object->Projected, projected) &&
      Take(object->PointWords, words))
    return 0;
  LS_FreeObject3D(object);
  return 1;
}

void LS_FreeObject3D(OBJECT3D* object) {
  if (!object) return;
  Give(object->PointWords);
  Give(object->Projected);
  Give(object->Faces);
  Give(object->Points);
}
