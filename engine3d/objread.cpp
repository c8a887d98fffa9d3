// The record reader of the object and atom files: sized and fixed records
// of every format version turned into the in-memory faces, points, objects
// and atoms.
#include <cstring>

#include "engine3d/object.h"
#include "shell/owner.h"
#include "system/file.h"
#include "system/util.h"

namespace {

constexpr int32_t kWorkArea = 1024;  // largest sized record
constexpr uint32_t kV10 = E3D_Tag("v1.0"), kV11 = E3D_Tag("v1.1"), kV20 = E3D_Tag("v2.0");

// Bytes of a stored record that the conversion of each kind reads.
constexpr int32_t kObjectBytes = 34 * 4;
constexpr int32_t kAtomBytes = 15 * 4;
constexpr int32_t kPointBytes = 8 * 4;
constexpr int32_t kOldFaceBytes = 23 * 4;
constexpr int32_t kFaceBytes = 24 * 4;

int32_t MinimumBytes(int32_t kind, uint32_t tag) {
  switch (kind) {
    case VLS_TGRAF: return tag == kV10 ? kOldFaceBytes : kFaceBytes;
    case VLS_TPOINT3D: return kPointBytes;
    case VLS_OBJECT: return kObjectBytes;
    default: return kAtomBytes;
  }
}

uint32_t Word(const uint8_t* record, int32_t n) { return LS_ReadLELong(record + 4 * n); }

void ConvertFace(const uint8_t* r, uint32_t tag, TGRAF* face) {
  const bool old = tag == kV10;
  if (!old && tag != kV11 && tag != kV20) return;
  face->NbPoints = static_cast<int32_t>(Word(r, 0));
  face->Word1 = static_cast<int32_t>(Word(r, 1));
  for (int32_t i = 0; i < 4; ++i) face->Points[i] = static_cast<int32_t>(Word(r, 2 + i));
  for (int32_t i = 0; i < 3; ++i) face->Normal[i] = static_cast<int32_t>(Word(r, 6 + i));
  face->G_TEXTURE = Word(r, 9);
  face->G_TRANSPARENCE = static_cast<int32_t>(Word(r, 11));
  face->G_FLAGS = static_cast<int32_t>(Word(r, 14));
  for (int32_t i = 0; i < 8; ++i) face->G_OFFTEXT[i] = static_cast<int32_t>(Word(r, 15 + i) >> 8);
  face->G_COLOR = old ? Word(r, 10) & 0xFF : 0;
  face->G_TYPE = old ? 7 : static_cast<int32_t>(Word(r, 12));
  face->Word23 = old ? 0 : static_cast<int32_t>(Word(r, 23));
}

void ConvertPoint(const uint8_t* r, TPOINT3D* point) {
  int32_t words[8];
  for (int32_t i = 0; i < 8; ++i) words[i] = static_cast<int32_t>(Word(r, i));
  std::memcpy(point, words, sizeof words);
}

// Copies a stored name of 16 bytes; the record keeps room for a terminator.
void CopyName(char (&name)[E3D_NAMELEN + 1], const uint8_t* stored) {
  std::memcpy(name, stored, E3D_NAMELEN);
  name[E3D_NAMELEN] = 0;
}

// The main atom, the next object and the library entry are left as stored
// indices for the loader to replace.
void ConvertObject(const uint8_t* r, uint32_t tag, OBJECT* object) {
  if (tag != kV11 && tag != kV20) return;
  CopyName(object->Name, r);
  LS_StrUpper(object->Name);
  object->Atoms[OBJ_MAIN] = reinterpret_cast<TATOM*>(uintptr_t{Word(r, 7)});
  for (int32_t i = 0; i < 3; ++i) {
    object->StoredPosition[i] = static_cast<int32_t>(Word(r, 14 + i)) / 60000.0;
    object->StoredPosition2[i] = object->StoredPosition[i];
  }
  object->Next = reinterpret_cast<OBJECT*>(uintptr_t{Word(r, 32)});
  object->Materials = reinterpret_cast<MLIBENTRY*>(uintptr_t{Word(r, 33)});
}

void ConvertAtom(const uint8_t* r, TATOM* atom) {
  CopyName(atom->Name, r);
  atom->Flags = Word(r, 4);
  atom->Word = static_cast<int32_t>(Word(r, 5));
  atom->NbPoints = static_cast<int32_t>(Word(r, 6));
  atom->MaxPoints = static_cast<int32_t>(Word(r, 7));
  atom->NbFaces = static_cast<int32_t>(Word(r, 8));
  atom->MaxFaces = static_cast<int32_t>(Word(r, 9));
  for (int32_t i = 0; i < 3; ++i) atom->Words[i] = static_cast<int32_t>(Word(r, 10 + i));
}

void Convert(const uint8_t* record, void* destination, int32_t kind, uint32_t tag, int32_t index) {
  const bool anyVersion = tag == kV10 || tag == kV11 || tag == kV20;
  switch (kind) {
    case VLS_TGRAF: ConvertFace(record, tag, static_cast<TGRAF*>(destination) + index); break;
    case VLS_TPOINT3D:
      if (anyVersion) ConvertPoint(record, static_cast<TPOINT3D*>(destination) + index);
      break;
    case VLS_OBJECT: ConvertObject(record, tag, static_cast<OBJECT*>(destination) + index); break;
    default:
      if (anyVersion) ConvertAtom(record, static_cast<TATOM*>(destination) + index);
      break;
  }
}

bool ReadSized(int16_t file, uint8_t* work, void* destination, int32_t kind, uint32_t tag, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    uint8_t prefix[4];
    if (LS_Read(file, prefix, 4) != 4) return false;
    const uint32_t length = LS_ReadLELong(prefix);  // counts its own four bytes
    if (length < 4 || length - 4 > kWorkArea) return false;
    const int32_t bytes = static_cast<int32_t>(length - 4);
    if (bytes < MinimumBytes(kind, tag) || LS_Read(file, work, bytes) != bytes) return false;
    Convert(work, destination, kind, tag, i);
  }
  return true;
}

}  // namespace

uint32_t E3D_ForwardTag(uint32_t tag) {
  if ((tag >> 24) != 'v') return tag;
  return (tag >> 24) | ((tag >> 8) & 0xFF00) | ((tag << 8) & 0xFF0000) | (tag << 24);
}

int32_t VLS_Read(int16_t file, void* destination, int32_t size, int32_t kind, uint32_t tag, int32_t count) {
  if (!destination || kind < VLS_TGRAF || kind > VLS_TATOM) return 0;
  tag = E3D_ForwardTag(tag);
  if (count < 1 || kind == VLS_TATOM) count = 1;
  if (size == 0) {
    uint8_t* work = static_cast<uint8_t*>(SB_GetMem(kWorkArea, "VLS_Read"));
    if (!work) return 0;
    const bool read = ReadSized(file, work, destination, kind, tag, count);
    SB_Release(work);
    return read ? 1 : 0;
  }
  const int32_t stride = size & ~3;
  const int64_t total = int64_t{stride} * count;
  if (stride < MinimumBytes(kind, tag) || total > INT32_MAX) return 0;
  uint8_t* work = static_cast<uint8_t*>(SB_GetMem(static_cast<int32_t>(total), "VLS_Read"));
  if (!work) return 0;
  const bool read = LS_Read(file, work, static_cast<int32_t>(total)) == total;
  if (read)
    for (int32_t i = 0; i < count; ++i)
      Convert(work + static_cast<ptrdiff_t>(i) * stride, destination, kind, tag, i);
  SB_Release(work);
  return read ? 1 : 0;
}
