// The runs of map records behind the byte offsets the map records hold,
// checked against their arrays.
#include "track/decor.h"

#include "shell/sbvar.h"

namespace {

template <typename Record>
Record* Run(Record* array, int32_t size, uint32_t offset, int32_t count) {
  if (!array || count < 0 || offset % sizeof(Record) != 0) return nullptr;
  const int64_t first = offset / sizeof(Record);
  if (first + count > size) return nullptr;
  return array + first;
}

}  // namespace

TMAPFACE* SB_DecorFaceRun(uint32_t offset, int32_t count) {
  return Run(SB_Var.Decor.Faces, SB_Var.Decor.NbFaces, offset, count);
}

TWORDVERTEX* SB_DecorWordVertexRun(uint32_t offset, int32_t count) {
  return Run(SB_Var.Decor.WordVertices, SB_Var.Decor.NbWordVertices, offset, count);
}

TMAPVERTEX* SB_DecorVertexRun(uint32_t offset, int32_t count) {
  return Run(SB_Var.Decor.Vertices, SB_Var.Decor.NbVertices, offset, count);
}

TSMALLENTITY* SB_DecorSmallEntityRun(uint32_t offset, int32_t count) {
  return Run(SB_Var.Decor.SmallEntitys, SB_Var.Decor.NbSmallEntitys, offset, count);
}
