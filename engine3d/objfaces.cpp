// Passes over the faces of an object list: material indices to material
// records and back, and the texture-coordinate rescaling of the
// accelerator's card textures.
#include <vector>

#include "engine3d/material.h"

namespace {

bool IsTextured(const TGRAF& face) { return (face.G_TYPE & G_TYPE_TEXTURE) == G_TYPE_TEXTURE; }

// Calls pass once for every atom of the list, however many slots hold it.
template <typename Pass>
void ForEachAtom(OBJECT* list, Pass pass) {
  std::vector<TATOM*> seen;
  for (OBJECT* o = list; o; o = o->Next)
    for (TATOM* atom : o->Atoms) {
      if (!IsAtom(atom)) continue;
      bool done = false;
      for (const TATOM* s : seen) done = done || s == atom;
      if (done) continue;
      seen.push_back(atom);
      pass(atom);
    }
}

MLIB* LibraryOf(const OBJECT* list) { return list && list->Materials ? list->Materials->Library : nullptr; }

}  // namespace

void RemapObjectMaterials(OBJECT* list) {
  MLIB* library = LibraryOf(list);
  if (!library) return;
  ForEachAtom(list, [library](TATOM* atom) {
    for (int32_t i = 0; i < atom->NbFaces; ++i) {
      TGRAF& face = atom->Faces[i];
      TMATERIAL* material = GetMaterial(library, static_cast<uint32_t>(face.G_TEXTURE), nullptr);
      face.G_TEXTURE = reinterpret_cast<uintptr_t>(material);
      // A textured face without its material would be drawn from nothing.
      if (!material && IsTextured(face)) face.G_TYPE &= ~G_TYPE_MAPPED;
    }
  });
}

void UnmapObjectMaterials(OBJECT* list) {
  const MLIB* library = LibraryOf(list);
  if (!library) return;
  ForEachAtom(list, [library](TATOM* atom) {
    for (int32_t i = 0; i < atom->NbFaces; ++i) {
      TGRAF& face = atom->Faces[i];
      const int32_t index = GetMaterialIndex(library, reinterpret_cast<const TMATERIAL*>(face.G_TEXTURE));
      face.G_TEXTURE = static_cast<uint32_t>(index);
    }
  });
}

void ScaleAtomTextureCoords(TATOM* atom, int32_t multiply) {
  if (!IsAtom(atom)) return;
  for (int32_t i = 0; i < atom->NbFaces; ++i) {
    TGRAF& face = atom->Faces[i];
    const TMATERIAL* material = reinterpret_cast<const TMATERIAL*>(face.G_TEXTURE);
    if (!IsTextured(face) || !material || material->Scale == 0x10001) continue;
    const uint32_t halves[2] = {material->Scale >> 16, material->Scale & 0xFFFF};
    for (int32_t c = 0; c < 8; ++c) {
      // A zero half (a material without its picture) leaves its axis alone,
      // as multiplying by it would lose the coordinates for good.
      const uint32_t s = halves[c & 1], value = static_cast<uint32_t>(face.G_OFFTEXT[c]);
      if (s) face.G_OFFTEXT[c] = static_cast<int32_t>(multiply ? value * s : value / s);
    }
  }
}

void ScaleObjectTextureCoords(OBJECT* list, int32_t multiply) {
  ForEachAtom(list, [multiply](TATOM* atom) { ScaleAtomTextureCoords(atom, multiply); });
}

void DoubleAtomTextureCoords(TATOM* atom, int32_t twice) {
  if (!IsAtom(atom)) return;
  for (int32_t i = 0; i < atom->NbFaces; ++i) {
    TGRAF& face = atom->Faces[i];
    if (!IsTextured(face)) continue;
    for (int32_t& c : face.G_OFFTEXT) {
      const uint32_t value = static_cast<uint32_t>(c);
      c = static_cast<int32_t>(twice ? value << 1 : value >> 1);
    }
  }
}

void DoubleObjectTextureCoords(OBJECT* list, int32_t twice) {
  ForEachAtom(list, [twice](TATOM* atom) { DoubleAtomTextureCoords(atom, twice); });
  for (OBJECT* o = list; o; o = o->Next) o->HalvedCoords = twice ? 0 : 1;
}
