// Objects, atoms and material libraries in memory, and the object and atom
// library: ".OBC" object lists naming ".ATM" meshes, loaded in every format
// version, copied, searched and freed.
#pragma once
#include <cstddef>
#include <cstdint>

#include "system/lsvar.h"

struct BMAP;
struct MLIBENTRY;
struct TATOM;

constexpr int32_t E3D_NAMELEN = 16;       // stored bytes of an object or atom name
constexpr int32_t E3D_TEXNAMELEN = 256;   // bytes of a texture entry's name
constexpr int32_t E3D_MLIBNAMELEN = 256;  // a library's file name with its terminator

// The atom slots of an object: the main atom, then the level slots.
enum : int32_t { OBJ_MAIN, OBJ_SIMPLIFIED, OBJ_BURNED, OBJ_REDUCED1, OBJ_REDUCED2, OBJ_NBATOMS };

// One entry of an object list.
struct OBJECT {
  char Name[E3D_NAMELEN + 1];  // upper-cased at load
  TATOM* Atoms[OBJ_NBATOMS];
  OBJECT* Next;
  MLIBENTRY* Materials;  // the shared library entry, null without one
  float Orientation[9];  // set by the code that places the object
  float Position[3];
  int32_t Spare;
  double StoredPosition[3];  // the stored integer position / 60000
  double StoredPosition2[3];
  uint32_t HalvedCoords;  // 1 while the texture coordinates are halved
  uint32_t SharedAtoms;   // a copy that uses its original's atoms: freeing it leaves them
};

// One vertex, eight words as stored; the last two are the object display's.
struct TPOINT3D {
  int32_t X, Y, Z;
  int32_t Normal[3];
  int32_t Transformed;
  uint32_t WorkFlags;
};
static_assert(sizeof(TPOINT3D) == 32, "eight 32-bit words a point");

// Face type bits: both set make a textured face.
constexpr int32_t G_TYPE_TEXTURE = 0x4 | 0x8;
constexpr int32_t G_TYPE_MAPPED = 0x8;
// Face flag bits the loader writes: bit 18 marks a face loaded without a
// material library; bit 17 is cleared with it.
constexpr int32_t G_FLAGS_NOLIBRARY = 1 << 18;
constexpr int32_t G_FLAGS_LOADCLEARED = (1 << 17) | (1 << 18);

// One face: the drawing library's face record with one word more.
struct TGRAF {
  int32_t NbPoints;
  int32_t Word1;
  int32_t Points[4];  // indices into the atom's points
  int32_t Normal[3];
  uintptr_t G_TEXTURE;  // material index, or the TMATERIAL's address once attached
  uint32_t G_COLOR;
  int32_t G_TRANSPARENCE;
  int32_t G_TYPE;
  int32_t G_LUM;
  int32_t G_FLAGS;
  int32_t G_OFFTEXT[8];  // X1, Y1 .. X4, Y4 in texels x 256
  int32_t Word23;
  int32_t Word24;
};

// One mesh.
struct TATOM {
  int32_t RecordSize;  // 64
  char Name[E3D_NAMELEN + 1];
  uint32_t Flags;
  int32_t Word;
  int32_t NbPoints, MaxPoints;
  int32_t NbFaces, MaxFaces;
  int32_t Words[3];
  TPOINT3D* Points;
  TGRAF* Faces;
};

// One texture of a material library.
struct MLIBTEXTURE {
  char Name[E3D_TEXNAMELEN + 1];  // the picture's file name
  int32_t CardTexture;            // the accelerator's texture slot, cleared at load
  BMAP* Bitmap;                   // 8-bit work bitmap 256 wide, later at display depth
  BMAP* Picture;                  // the picture at 24 bits
  int32_t Width;                  // the picture's width
  int32_t Word272;
};

// One material: a texture and the place it takes in its page.
struct TMATERIAL {
  BMAP* Bitmap;  // the texture's work bitmap
  int32_t CardTexture;
  uint8_t* Pixels;  // the work bitmap's pixels
  int32_t Words12[3];
  uint32_t Scale;     // 256 / width << 16 | 256 / height; 0x10001 is no scaling
  uint32_t Position;  // place x << 16 | place y
  int32_t Words32[4];
  int32_t Place[2];  // x, y in texels
  int32_t Words56[2];
  uint32_t Flags;   // bit 0: no texture
  int32_t Texture;  // index of its texture entry
};
constexpr uint32_t MATERIAL_UNTEXTURED = 1;

// A material library: its stored header, with the path in the name field.
struct MLIB {
  uint8_t Head[16];
  char Name[E3D_MLIBNAMELEN];
  uint8_t Rest[56];
  uint32_t NbMaterials;
  uint32_t NbTextures;
  uint8_t Words336[8];
  TMATERIAL* Materials;
  MLIBTEXTURE* Textures;
};

// One loaded library, shared by the object lists that use it.
struct MLIBENTRY {
  MLIBENTRY* Prev;
  MLIBENTRY* Next;
  MLIB* Library;
  int32_t RefCount;
  char FileName[E3D_MLIBNAMELEN];
};

// The object loaders' shared state: the directory of the object file being
// loaded (with its closing ">"), the library its atoms attach to, and the
// reserved word of the last load. The list of loaded libraries.
struct E3D_OBJECTLOADER {
  char Directory[LS_PATHSIZE];
  MLIB* Library;
  int32_t Reserved;
};
extern E3D_OBJECTLOADER E3D_ObjectLoader;
extern MLIBENTRY* E3D_MlibEntries;

// Material choices of LoadObject besides an entry: the file's library, none.
constexpr intptr_t MLIB_FROMFILE = 0;
constexpr intptr_t MLIB_NONE = -1;
// An atom slot may hold -1 for no atom, as null.
inline bool IsAtom(const TATOM* atom) { return atom && reinterpret_cast<intptr_t>(atom) != -1; }

// The list in the file, or null (missing file, bad header, bad record).
OBJECT* LoadObject(const char* path, int32_t reserved, intptr_t materials);
// The main list with the variants' main atoms in its level slots; any path
// but the first may be null.
OBJECT* LoadObjectAndVariants(const char* path, const char* simplified, const char* burned,
                              const char* reduced1, const char* reduced2);
// An atom file of the current object directory, or null.
TATOM* LoadAtom(const char* name);
// The atom named in an object file: ".ATM" added to its last 8 characters
// unless it has a '.'.
TATOM* LoadAtomByName(const char* name);
// Reads count records (at least one) of a kind into the array: a stored
// size of 0 reads sized records, else fixed ones at that stride. 1 when
// read; 0 for a short file or a record of a refused length or stride.
enum : int32_t { VLS_TGRAF, VLS_TPOINT3D, VLS_OBJECT, VLS_TATOM };
int32_t VLS_Read(int16_t file, void* destination, int32_t size, int32_t kind, uint32_t tag, int32_t count);

OBJECT* DupObject(const OBJECT* list, int32_t copyAtoms);
// A copy with its own points and faces; null for null or -1.
TATOM* DupAtom(const TATOM* atom);
void FreeObject(OBJECT* list);
void FreeAtom(TATOM* atom);
// The first object of that name; the name is upper-cased in place.
OBJECT* SB_FindObjectByName(OBJECT* list, char* name);
// A new entry at the end of the list, reference count 1, its library loaded.
MLIBENTRY* NewMLIBEntry(const char* name);
// Takes one reference; at the last the library is freed and the entry unlinked.
void ReleaseMLIBEntry(MLIBENTRY* entry);

// "%s-%s" of a function and a file name, in one buffer reused by every call.
const char* MakeAllocTag(const char* function, const char* name);
// The path cut at its last ':', '>' or '\' (a ':' is kept), in a static buffer.
const char* GetFileDirectory(const char* path);
// The four characters from the first '.' as one little-endian word, or 0.
uint32_t HasFileExtension(const char* name);
// Raises library error 0 with the formatted text.
void ReportLoadError(const char* format, const char* name);

// Format version tags as words of their four bytes in file order.
constexpr uint32_t E3D_Tag(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}
// The tag in its forward form: a tag ending with 'v' is read reversed.
uint32_t E3D_ForwardTag(uint32_t tag);
