// Object lists after loading: copies with or without their own atoms,
// freeing with shared atoms freed once, search by name, and the list of
// loaded material libraries that object lists share.
#include <cstring>

#include "engine3d/material.h"
#include "engine3d/object.h"
#include "shell/owner.h"
#include "system/file.h"

MLIBENTRY* E3D_MlibEntries = nullptr;

namespace {

constexpr int32_t kIndexPerObject = 111;  // atoms the free index has room for, per object

template <typename Record>
Record* CopyArray(const Record* from, int32_t capacity, int32_t count, const char* tag) {
  const int32_t n = capacity > 1 ? capacity : 1;
  Record* to = static_cast<Record*>(SB_GetMem(static_cast<int32_t>(n * sizeof(Record)), tag));
  if (to && from && count > 0) std::memcpy(to, from, static_cast<size_t>(count) * sizeof(Record));
  return to;
}

// Frees an atom unless the index already holds it; adds it otherwise.
void FreeOnce(TATOM* atom, TATOM** index, int32_t* count) {
  if (!IsAtom(atom)) return;
  for (int32_t i = 0; i < *count; ++i)
    if (index[i] == atom) return;
  index[(*count)++] = atom;
  FreeAtom(atom);
}

// The atom index, with room for every atom the list can name; null when
// there is no room (the atoms are then left, rather than one freed twice).
TATOM** NewAtomIndex(const OBJECT* list) {
  int32_t objects = 0;
  for (const OBJECT* o = list; o; o = o->Next) ++objects;
  const int64_t bytes = int64_t{objects} * kIndexPerObject * static_cast<int64_t>(sizeof(TATOM*));
  return bytes > INT32_MAX ? nullptr
                           : static_cast<TATOM**>(SB_GetMem(static_cast<int32_t>(bytes), "InitAtomeIndex"));
}

}  // namespace

TATOM* DupAtom(const TATOM* atom) {
  if (!IsAtom(atom)) return nullptr;
  TATOM* copy = static_cast<TATOM*>(SB_GetMem(sizeof(TATOM), MakeAllocTag("DupAtom TATOM", atom->Name)));
  if (!copy) return nullptr;
  *copy = *atom;
  // The arrays keep the source's capacities, so that the copy may grow as
  // far as its capacity says.
  copy->Points =
      CopyArray(atom->Points, atom->MaxPoints, atom->NbPoints, MakeAllocTag("DupAtom TPOINT3D", atom->Name));
  copy->Faces =
      CopyArray(atom->Faces, atom->MaxFaces, atom->NbFaces, MakeAllocTag("DupAtom TGRAF", atom->Name));
  if (copy->Points && copy->Faces) return copy;
  if (copy->Points) SB_Release(copy->Points);
  if (copy->Faces) SB_Release(copy->Faces);
  SB_Release(copy);
  return nullptr;
}

OBJECT* DupObject(const OBJECT* list, int32_t copyAtoms) {
  if (!list) return nullptr;
  if (list->Materials) ++list->Materials->RefCount;
  OBJECT* first = nullptr;
  OBJECT* last = nullptr;
  for (const OBJECT* o = list; o; o = o->Next) {
    OBJECT* copy = static_cast<OBJECT*>(SB_GetMem(sizeof(OBJECT), MakeAllocTag("DupObject", o->Name)));
    if (!copy) break;
    *copy = *o;
    copy->Next = nullptr;
    copy->SharedAtoms = copyAtoms ? 0 : 1;
    bool copied = true;
    for (int32_t slot = 0; copyAtoms && slot < OBJ_NBATOMS; ++slot) {
      copy->Atoms[slot] = copied ? DupAtom(o->Atoms[slot]) : nullptr;
      copied = copied && (copy->Atoms[slot] || !IsAtom(o->Atoms[slot]));
    }
    (last ? last->Next : first) = copy;
    last = copy;
    if (!copied) break;
    if (!o->Next) return first;
  }
  if (first) {
    FreeObject(first);
  } else if (list->Materials) {
    --list->Materials->RefCount;
  }
  return nullptr;
}

void FreeAtom(TATOM* atom) {
  if (!IsAtom(atom) || !atom->Points || !atom->Faces) return;
  SB_Release(atom->Points);
  SB_Release(atom->Faces);
  SB_Release(atom);
}

void FreeObject(OBJECT* list) {
  if (!list) return;
  ReleaseMLIBEntry(list->Materials);
  TATOM** index = list->SharedAtoms ? nullptr : NewAtomIndex(list);
  int32_t count = 0;
  for (int32_t slot = OBJ_SIMPLIFIED; index && slot < OBJ_NBATOMS; ++slot)
    FreeOnce(list->Atoms[slot], index, &count);
  while (list) {
    OBJECT* next = list->Next;
    if (index) FreeOnce(list->Atoms[OBJ_MAIN], index, &count);
    SB_Release(list);
    list = next;
  }
  if (index) SB_Release(index);
}

OBJECT* SB_FindObjectByName(OBJECT* list, char* name) {
  if (!name) return nullptr;
  LS_StrUpper(name);
  for (OBJECT* o = list; o; o = o->Next)
    if (std::strcmp(o->Name, name) == 0) return o;
  return nullptr;
}

MLIBENTRY* NewMLIBEntry(const char* name) {
  if (!name) return nullptr;
  MLIBENTRY* entry =
      static_cast<MLIBENTRY*>(SB_GetMem(sizeof(MLIBENTRY), MakeAllocTag("NewMLIBEntry", name)));
  if (!entry) return nullptr;
  entry->RefCount = 1;
  const size_t length = strnlen(name, E3D_MLIBNAMELEN);
  if (length >= 1 && length < E3D_MLIBNAMELEN) {
    std::memcpy(entry->FileName, name, length);
    char path[E3D_MLIBNAMELEN];
    std::memcpy(path, name, length + 1);
    entry->Library = LoadMaterialLibrary(path, 1);
  }
  MLIBENTRY** end = &E3D_MlibEntries;
  while (*end) {
    entry->Prev = *end;
    end = &(*end)->Next;
  }
  *end = entry;
  return entry;
}

void ReleaseMLIBEntry(MLIBENTRY* entry) {
  if (!entry || --entry->RefCount > 0) return;
  FreeMaterialLibrary(entry->Library);
  if (entry->Prev)
    entry->Prev->Next = entry->Next;
  else if (E3D_MlibEntries == entry)
    E3D_MlibEntries = entry->Next;
  if (entry->Next) entry->Next->Prev = entry->Prev;
  SB_Release(entry);
}
