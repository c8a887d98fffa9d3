// Loading object lists and their atoms: the ".OBC" file's objects linked by
// their stored indices, each naming an ".ATM" mesh of the same directory,
// and the faces attached to the object's material library.
#include "engine3d/object.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine3d/material.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "system/error.h"
#include "system/file.h"
#include "system/util.h"

E3D_OBJECTLOADER E3D_ObjectLoader;

namespace {

constexpr int32_t kHeader = 48;
constexpr uint32_t kNoIndex = 0xFFFFFFFF;
constexpr uint32_t kNoLibrary = E3D_Tag("----");
constexpr int32_t kSmallestObject = 4 + 34 * 4;  // a stored object with its length word
constexpr int32_t kLibraryName = 256;
constexpr int32_t kAtomNameBytes = 16;
constexpr uint32_t kAtomLoadFlag = 1u << 10;
constexpr size_t kAtomPathName = 15;  // characters of the path an unnamed atom keeps

// An open object or atom file with its size and header.
struct MODELFILE {
  int16_t Handle = -1;
  int64_t Size = 0;
  uint8_t Header[kHeader] = {};
  uint32_t Tag = 0;
};

void CloseModel(MODELFILE* file) {
  if (file->Handle >= 0) LS_Close(file->Handle);
  file->Handle = -1;
}

// Opens the file and checks its header against "POLDEX ---- " + kind, the
// version tag standing in the dashes.
bool OpenModel(const char* path, const char* kind, MODELFILE* file) {
  if (!LS_FileExists(path)) return false;
  file->Handle = LS_Open(path, LS_O_RDONLY | LS_O_BINARY);
  if (file->Handle < 0) return false;
  file->Size = std::max<int32_t>(LS_Seek(file->Handle, 0, 2), 0);
  if (LS_Seek(file->Handle, 0, 0) != 0 || LS_Read(file->Handle, file->Header, kHeader) != kHeader)
    return false;
  file->Tag = E3D_ForwardTag(LS_ReadLELong(file->Header + 7));
  char magic[16];
  std::memcpy(magic, file->Header, sizeof magic);
  std::memcpy(magic + 7, "----", 4);
  return std::memcmp(magic, "POLDEX ---- ", 12) == 0 && std::memcmp(magic + 12, kind, 4) == 0;
}

uint32_t HeaderWord(const MODELFILE& file, int32_t offset) { return LS_ReadLELong(file.Header + offset); }

int64_t Remaining(const MODELFILE& file) {
  return file.Size - std::max<int32_t>(LS_Seek(file.Handle, 0, 1), 0);
}

void Release(void* block) {
  if (block) SB_Release(block);
}

// --- Atoms -----------------------------------------------------------------

// Step 5 of the atom load: faces lose their material index for a material
// record, or become untextured.
void AttachFaces(TATOM* atom) {
  MLIB* library = E3D_ObjectLoader.Library;
  for (int32_t i = 0; i < atom->NbFaces; ++i) {
    TGRAF* face = &atom->Faces[i];
    face->G_FLAGS &= ~G_FLAGS_LOADCLEARED;
    if (face->G_TEXTURE == kNoIndex) {
      face->G_TEXTURE = 0;
      face->G_TYPE &= ~G_TYPE_MAPPED;
    } else if (!library) {
      face->G_TEXTURE = 0;
      face->G_TYPE &= ~G_TYPE_MAPPED;
      face->G_FLAGS |= G_FLAGS_NOLIBRARY;
    } else if ((face->G_TYPE & G_TYPE_TEXTURE) == G_TYPE_TEXTURE) {
      int32_t* place = nullptr;
      TMATERIAL* material = GetMaterial(library, static_cast<uint32_t>(face->G_TEXTURE), &place);
      face->G_TEXTURE = reinterpret_cast<uintptr_t>(material);
      if (!material) face->G_TYPE &= ~G_TYPE_MAPPED;
      for (int32_t c = 0; material && c < 8; ++c)
        face->G_OFFTEXT[c] = static_cast<int32_t>(static_cast<uint32_t>(face->G_OFFTEXT[c]) +
                                                  static_cast<uint32_t>(place[c & 1]) * 256u);
    }
  }
}

// One stored array of fixed records: capacity entries (at least one).
template <typename Record>
Record* ReadArray(const MODELFILE& file, int32_t capacity, int32_t stride, int32_t kind, const char* tag) {
  const int32_t n = std::max(capacity, 1);
  Record* records = static_cast<Record*>(SB_GetMem(static_cast<int32_t>(n * sizeof(Record)), tag));
  if (records && !VLS_Read(file.Handle, records, stride, kind, file.Tag, n)) {
    SB_Release(records);
    return nullptr;
  }
  return records;
}

// The atom's points and faces, after their counts were checked against the
// bytes left in the file.
bool ReadMesh(const MODELFILE& file, TATOM* atom, const char* name) {
  if (atom->NbPoints < 0 || atom->MaxPoints < 0 || atom->NbFaces < 0 || atom->MaxFaces < 0) return false;
  atom->MaxPoints = std::max(atom->MaxPoints, atom->NbPoints);
  atom->MaxFaces = std::max(atom->MaxFaces, atom->NbFaces);
  const int32_t faceStride = static_cast<int32_t>(HeaderWord(file, 32));
  const int32_t pointStride = static_cast<int32_t>(HeaderWord(file, 36));
  if ((faceStride & ~3) <= 0 || (pointStride & ~3) <= 0) return false;
  const int64_t points = std::max(atom->MaxPoints, 1), faces = std::max(atom->MaxFaces, 1);
  if (points * (pointStride & ~3) + faces * (faceStride & ~3) > Remaining(file)) return false;
  if (faces * static_cast<int64_t>(sizeof(TGRAF)) > INT32_MAX) return false;
  atom->Points = ReadArray<TPOINT3D>(file, atom->MaxPoints, pointStride, VLS_TPOINT3D,
                                     MakeAllocTag("LoadAtom TPOINT3D", name));
  if (!atom->Points) return false;
  atom->Faces =
      ReadArray<TGRAF>(file, atom->MaxFaces, faceStride, VLS_TGRAF, MakeAllocTag("LoadAtom TGRAF", name));
  return atom->Faces != nullptr;
}

TATOM* ReadAtom(const MODELFILE& file, const char* name, const char* path) {
  TATOM* atom = static_cast<TATOM*>(SB_GetMem(sizeof(TATOM), MakeAllocTag("LoadAtom", name)));
  if (!atom) return nullptr;
  if (!VLS_Read(file.Handle, atom, 0, VLS_TATOM, file.Tag, 1) || !ReadMesh(file, atom, name)) {
    Release(atom->Points);
    SB_Release(atom);
    return nullptr;
  }
  atom->RecordSize = 64;
  AttachFaces(atom);
  atom->Flags &= ~kAtomLoadFlag;
  if (!atom->Name[0]) {
    const size_t length = std::strlen(path);
    std::strcpy(atom->Name, path + (length > kAtomPathName ? length - kAtomPathName : 0));
  }
  return atom;
}

// --- Object lists ----------------------------------------------------------

// What one object load holds until it returns.
struct OBJECTLOAD {
  const char* Path;
  MODELFILE File;
  uint32_t NbObjects = 0;
  OBJECT** Objects = nullptr;
  uint32_t NbAtoms = 0;
  TATOM** Atoms = nullptr;
  MLIBENTRY* Entry = nullptr;  // the entry this load made
};

// Gives back the tables, and on failure everything taken so far.
OBJECT* EndLoad(OBJECTLOAD* load, bool failed) {
  CloseModel(&load->File);
  OBJECT* first = nullptr;
  if (failed) {
    for (uint32_t i = 0; load->Objects && i < load->NbObjects; ++i) Release(load->Objects[i]);
    for (uint32_t i = 0; load->Atoms && i < load->NbAtoms; ++i) FreeAtom(load->Atoms[i]);
    ReleaseMLIBEntry(load->Entry);
  } else {
    first = load->Objects[0];
    if (!first) ReleaseMLIBEntry(load->Entry);  // the first object was a hole: nothing holds the entry
  }
  Release(load->Objects);
  Release(load->Atoms);
  E3D_ObjectLoader.Library = nullptr;
  return first;
}

OBJECT* RefuseLoad(OBJECTLOAD* load, const char* message) {
  ReportLoadError(message, load->Path);
  return EndLoad(load, true);
}

// Step 5: the library of the file, none, or the caller's entry.
bool ChooseLibrary(OBJECTLOAD* load, intptr_t materials) {
  if (materials == MLIB_NONE) return true;
  if (materials != MLIB_FROMFILE) {
    E3D_ObjectLoader.Library = reinterpret_cast<MLIBENTRY*>(materials)->Library;
    return true;
  }
  const uint32_t offset = HeaderWord(load->File, 44);
  if (offset == 0 || offset == kNoLibrary) return true;
  if (int64_t{offset} + kLibraryName > load->File.Size) return false;
  char name[kLibraryName + 1] = {};
  if (LS_Seek(load->File.Handle, static_cast<int32_t>(offset), 0) < 0 ||
      LS_Read(load->File.Handle, name, kLibraryName) != kLibraryName ||
      LS_Seek(load->File.Handle, kHeader, 0) < 0)
    return false;
  load->Entry = NewMLIBEntry(name);
  if (!load->Entry) return false;
  E3D_ObjectLoader.Library = load->Entry->Library;
  return true;
}

// Step 7: every atom named in the atom-name table.
bool LoadAtoms(OBJECTLOAD* load) {
  load->NbAtoms = HeaderWord(load->File, 32);
  const uint32_t offset = HeaderWord(load->File, 36);
  if (load->NbAtoms == 0) return true;
  if (int64_t{offset} + int64_t{load->NbAtoms} * kAtomNameBytes > load->File.Size) return false;
  load->Atoms = static_cast<TATOM**>(SB_GetMem(static_cast<int32_t>(load->NbAtoms * sizeof(TATOM*)),
                                               MakeAllocTag("LoadObject ATOMES", load->Path)));
  if (!load->Atoms || LS_Seek(load->File.Handle, static_cast<int32_t>(offset), 0) < 0) return false;
  for (uint32_t i = 0; i < load->NbAtoms; ++i) {
    char name[kAtomNameBytes + 1] = {};
    if (LS_Read(load->File.Handle, name, kAtomNameBytes) != kAtomNameBytes) return false;
    const int32_t next = LS_Seek(load->File.Handle, 0, 1);
    load->Atoms[i] = LoadAtomByName(name);
    if (next < 0 || LS_Seek(load->File.Handle, next, 0) != next) return false;
  }
  return true;
}

// Step 8: the stored indices become pointers; any index beyond its table
// refuses the file, as does a list that runs back into itself. An object
// that could not be allocated is a hole: an index naming it gives null, so
// the list ends before it. Objects the list never reaches, and atoms no
// object of the list uses, would never be freed: they go now.
bool LinkObjects(OBJECTLOAD* load) {
  auto atomOf = [](const OBJECT* o) { return o ? reinterpret_cast<uintptr_t>(o->Atoms[OBJ_MAIN]) : kNoIndex; };
  auto nextOf = [load](const OBJECT* o) {
    const uintptr_t next = o ? reinterpret_cast<uintptr_t>(o->Next) : kNoIndex;
    return next != kNoIndex && next < load->NbObjects && !load->Objects[next] ? kNoIndex : next;
  };
  for (uint32_t i = 0; i < load->NbObjects; ++i) {
    const OBJECT* object = load->Objects[i];
    const uintptr_t atom = atomOf(object), next = object ? reinterpret_cast<uintptr_t>(object->Next) : kNoIndex;
    if ((atom != kNoIndex && atom >= load->NbAtoms) || (next != kNoIndex && next >= load->NbObjects))
      return false;
  }
  std::vector<bool> reached(load->NbObjects), used(load->NbAtoms);
  for (uintptr_t i = load->Objects[0] ? 0 : kNoIndex; i != kNoIndex; i = nextOf(load->Objects[i])) {
    if (reached[i]) return false;
    reached[i] = true;
    if (atomOf(load->Objects[i]) != kNoIndex) used[atomOf(load->Objects[i])] = true;
  }
  for (uint32_t i = 0; i < load->NbObjects; ++i) {
    OBJECT* object = load->Objects[i];
    if (!object) continue;
    const uintptr_t atom = atomOf(object), next = nextOf(object);
    std::fill(std::begin(object->Atoms), std::end(object->Atoms), nullptr);
    object->Atoms[OBJ_MAIN] = atom == kNoIndex ? nullptr : load->Atoms[atom];
    object->Next = next == kNoIndex ? nullptr : load->Objects[next];
  }
  for (uint32_t i = 0; i < load->NbObjects; ++i)
    if (!reached[i]) Release(load->Objects[i]), load->Objects[i] = nullptr;
  for (uint32_t i = 0; i < load->NbAtoms; ++i)
    if (!used[i]) FreeAtom(load->Atoms[i]);
  return true;
}

// Moves past one sized record (its length word counts itself).
bool SkipSizedRecord(const MODELFILE& file) {
  uint8_t prefix[4];
  if (LS_Read(file.Handle, prefix, 4) != 4) return false;
  const uint32_t length = LS_ReadLELong(prefix);
  if (length < 4 || length - 4 > static_cast<uint64_t>(std::max<int64_t>(Remaining(file), 0))) return false;
  return LS_Seek(file.Handle, static_cast<int32_t>(length - 4), 1) >= 0;
}

// Steps 4 and 6: the object table and one record per object.
const char* ReadObjects(OBJECTLOAD* load) {
  load->NbObjects = HeaderWord(load->File, 16);
  if (load->NbObjects == 0 || int64_t{load->NbObjects} * kSmallestObject > load->File.Size - kHeader)
    return "Unable to load OBC %s";
  load->Objects = static_cast<OBJECT**>(SB_GetMem(static_cast<int32_t>(load->NbObjects * sizeof(OBJECT*)),
                                                  MakeAllocTag("LoadObject OBJECTS", load->Path)));
  if (!load->Objects) return "Unable to load OBC %s";
  for (uint32_t i = 0; i < load->NbObjects; ++i) {
    OBJECT* object =
        static_cast<OBJECT*>(SB_GetMem(sizeof(OBJECT), MakeAllocTag("LoadObject OBJECT", load->Path)));
    if (!object) {
      // A hole in the table; the load goes on with the next object.
      ReportLoadError("unable to allocate OBC %s", load->Path);
      if (!SkipSizedRecord(load->File)) return "Unable to load OBC %s";
      continue;
    }
    load->Objects[i] = object;
    if (!VLS_Read(load->File.Handle, object, 0, VLS_OBJECT, load->File.Tag, 1))
      return "Unable to load OBC %s";
    object->Materials = load->Entry;
  }
  return nullptr;
}

bool IsObjectTag(uint32_t tag) { return tag == E3D_Tag("v1.1") || tag == E3D_Tag("v2.0"); }

}  // namespace

OBJECT* LoadObject(const char* path, int32_t reserved, intptr_t materials) {
  if (!path) return nullptr;
  E3D_ObjectLoader.Reserved = reserved;
  OBJECTLOAD load;
  load.Path = path;
  if (!LS_FileExists(path)) return nullptr;
  std::snprintf(E3D_ObjectLoader.Directory, sizeof E3D_ObjectLoader.Directory, "%s", GetFileDirectory(path));
  const size_t length = std::strlen(E3D_ObjectLoader.Directory);
  if (length > 0 && length + 1 < sizeof E3D_ObjectLoader.Directory)
    std::strcat(E3D_ObjectLoader.Directory, ">");
  if (!OpenModel(path, "OBJC", &load.File)) {
    if (load.File.Handle < 0) return EndLoad(&load, true);
    return RefuseLoad(&load, "Unable to load OBC %s");
  }
  if (!IsObjectTag(load.File.Tag) || !ChooseLibrary(&load, materials))
    return RefuseLoad(&load, "Unable to load OBC %s");
  if (const char* message = ReadObjects(&load)) return RefuseLoad(&load, message);
  if (!LoadAtoms(&load) || !LinkObjects(&load)) return RefuseLoad(&load, "Unable to load OBC %s");
  return EndLoad(&load, false);
}

TATOM* LoadAtom(const char* name) {
  if (!name) return nullptr;
  char path[LS_PATHSIZE];
  MODELFILE file;
  TATOM* atom = nullptr;
  const int written = std::snprintf(path, sizeof path, "%s%s", E3D_ObjectLoader.Directory, name);
  if (written > 0 && static_cast<size_t>(written) < sizeof path && OpenModel(path, "ATOM", &file))
    atom = ReadAtom(file, name, path);
  CloseModel(&file);
  if (!atom) ReportLoadError("unable to load ATOM %s", name);
  return atom;
}

TATOM* LoadAtomByName(const char* name) {
  if (!name) return nullptr;
  char file[E3D_NAMELEN + 5];
  const size_t length = strnlen(name, E3D_NAMELEN);
  if (std::memchr(name, '.', length)) {
    std::snprintf(file, sizeof file, "%.*s", static_cast<int>(length), name);
  } else {
    const size_t keep = std::min<size_t>(length, 8);
    std::snprintf(file, sizeof file, "%.*s.ATM", static_cast<int>(keep), name + (length - keep));
  }
  return LoadAtom(file);
}

namespace {

// Moves the variant's main atom into the main object's slot and frees the
// rest of the variant.
void TakeVariant(OBJECT* list, int32_t slot, const char* path, const char* kind) {
  if (!path) return;
  const intptr_t materials = list->Materials ? reinterpret_cast<intptr_t>(list->Materials) : MLIB_NONE;
  OBJECT* variant = LoadObject(path, 0, materials);
  if (!variant) {
    SB_ConsolePrintf("No %s object %s", kind, path);
    return;
  }
  TATOM* atom = variant->Atoms[OBJ_MAIN];
  list->Atoms[slot] = atom;
  for (OBJECT* o = variant; o; o = o->Next)
    if (o->Atoms[OBJ_MAIN] == atom) o->Atoms[OBJ_MAIN] = nullptr;
  variant->Materials = nullptr;
  FreeObject(variant);
}

}  // namespace

OBJECT* LoadObjectAndVariants(const char* path, const char* simplified, const char* burned,
                              const char* reduced1, const char* reduced2) {
  if (!path || !LS_FileExists(path)) {
    SB_ConsolePrintf("Main Object %s not found", path ? path : "");
    return nullptr;
  }
  if (simplified && !LS_FileExists(simplified)) {
    SB_ConsolePrintf("Simplified Object %s not found", simplified);
    return nullptr;
  }
  if (burned && !LS_FileExists(burned)) {
    SB_ConsolePrintf("Burned Object %s not found", burned);
    return nullptr;
  }
  OBJECT* list = LoadObject(path, 0, MLIB_FROMFILE);
  if (!list) return nullptr;
  TakeVariant(list, OBJ_SIMPLIFIED, simplified, "simplified");
  TakeVariant(list, OBJ_BURNED, burned, "burned");
  TakeVariant(list, OBJ_REDUCED1, reduced1, "simplified");
  TakeVariant(list, OBJ_REDUCED2, reduced2, "simplified");
  return list;
}

const char* MakeAllocTag(const char* function, const char* name) {
  static char tag[256];
  std::snprintf(tag, sizeof tag, "%s-%s", function ? function : "", name ? name : "");
  return tag;
}

const char* GetFileDirectory(const char* path) {
  static char directory[LS_PATHSIZE];
  directory[0] = 0;
  if (!path) return directory;
  const char* cut = nullptr;
  for (const char* c = path; *c; ++c)
    if (*c == ':' || *c == '>' || *c == '\\') cut = c;
  if (!cut) return directory;
  std::snprintf(directory, sizeof directory, "%.*s", static_cast<int>(cut - path), path);
  return directory;
}

uint32_t HasFileExtension(const char* name) {
  const char* dot = name ? std::strchr(name, '.') : nullptr;
  if (!dot) return 0;
  uint32_t word = 0;
  for (int32_t i = 0; i < 4 && dot[i]; ++i)
    word |= static_cast<uint32_t>(static_cast<uint8_t>(dot[i])) << (8 * i);
  return word;
}

void ReportLoadError(const char* format, const char* name) {
  char text[LS_PATHSIZE + 64];
  std::snprintf(text, sizeof text, format, name ? name : "");
  LS_Error(0, "%s", text);
}
