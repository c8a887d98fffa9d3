// The binary map file "Map file v1.07": a 256-byte header, then fifteen
// sections of counted records, written and read as they lie in memory
// (little-endian); the load checks every count against the bytes left and
// the fixed tables, and every link of the map (track/decorcheck.cpp),
// before anything is published.
#include <bit>
#include <cstring>

#include "engine3d/types.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "track/decor.h"
#include "track/decorcheck.h"

static_assert(std::endian::native == std::endian::little, "map records are copied as little-endian bytes");

namespace {

constexpr const char* kOwner = "SB_LoadDecor";
constexpr int32_t kCubeSections = 7;  // sections 1 to 7: the cube map

// Reaching one array of the loaded map by its member.
template <auto Member>
void* GetArray() {
  return SB_Var.Decor.*Member;
}
template <auto Member>
void SetArray(void* array) {
  using Pointer = std::remove_reference_t<decltype(SB_Var.Decor.*Member)>;
  SB_Var.Decor.*Member = static_cast<Pointer>(array);
}

// One section of the file, in file order: the word of its "Loading %ld
// %s..." line and of its error, the record size, the count (null: the
// small-entity count, not stored again), and either the array or the fixed
// name table it is read into.
struct TMAPSECTION {
  const char* Word;
  uint32_t Size;
  int32_t* Count;
  void* (*Get)();
  void (*Set)(void*);
  char (*Table)[SB_TEXTURENAMESIZE];
};

#define MAP_ARRAY(member) GetArray<&TDECOR::member>, SetArray<&TDECOR::member>, nullptr
const TMAPSECTION kSections[] = {
    {"big entitys", sizeof(TBIGENTITY), &SB_Var.Decor.NbBigEntitys, MAP_ARRAY(BigEntitys)},
    {"small entitys", sizeof(TSMALLENTITY), &SB_Var.Decor.NbSmallEntitys, MAP_ARRAY(SmallEntitys)},
    {"vertices", sizeof(TMAPVERTEX), &SB_Var.Decor.NbVertices, MAP_ARRAY(Vertices)},
    {"wordvertices", sizeof(TWORDVERTEX), &SB_Var.Decor.NbWordVertices, MAP_ARRAY(WordVertices)},
    {"faces", sizeof(TMAPFACE), &SB_Var.Decor.NbFaces, MAP_ARRAY(Faces)},
    {"seenentitys", sizeof(uint32_t), nullptr, MAP_ARRAY(SeenEntitys)},
    {"seenentityslist", sizeof(uint16_t), &SB_Var.Decor.NbSeenEntitysList, MAP_ARRAY(SeenEntitysList)},
    {"names", SB_TEXTURENAMESIZE, &SB_Var.NbTextures, nullptr, nullptr, SB_Var.TextureNames},
    {"TFPPOINTOFFSET", sizeof(uint32_t), &SB_Var.Decor.NbPPointOffsets, MAP_ARRAY(PPointOffsets)},
    {"TFPPOINTTEXTURE", sizeof(uint32_t), &SB_Var.Decor.NbPPointTextures, MAP_ARRAY(PPointTextures)},
    {"TFPOINTOFFSET", sizeof(TFPOINTOFFSET), &SB_Var.Decor.NbPointOffsets, MAP_ARRAY(PointOffsets)},
    {"TFPOINTTEXTURE", sizeof(TFPOINTTEXTURE), &SB_Var.Decor.NbPointTextures, MAP_ARRAY(PointTextures)},
    {"TFFACEPOLY", sizeof(TFFACEPOLY), &SB_Var.Decor.NbFacePolys, MAP_ARRAY(FacePolys)},
    {"TFCUBE10POLY", sizeof(TFCUBE10POLY), &SB_Var.Decor.NbCube10Polys, MAP_ARRAY(Cube10Polys)},
    {"names2", SB_TEXTURENAMESIZE, &SB_Var.Decor.NbNames2, nullptr, nullptr, SB_Var.Decor.Names2},
};
#undef MAP_ARRAY

int32_t RecordsOf(const TMAPSECTION& s) { return s.Count ? *s.Count : SB_Var.Decor.NbSmallEntitys; }
const void* BytesOf(const TMAPSECTION& s) { return s.Table ? static_cast<const void*>(s.Table) : s.Get(); }

// Releases every array and zeroes every count (the published copies
// with them).
void ReleaseArrays() {
  for (const TMAPSECTION& s : kSections) {
    if (s.Get && s.Get()) SB_Release(s.Get());
    if (s.Set) s.Set(nullptr);
    if (s.Count) *s.Count = 0;
  }
  SB_PublishDecor();
}

// ---------------------------------------------------------------------------
// Saving.
// ---------------------------------------------------------------------------

// Creates the file without raising the library's error: a map that cannot
// be saved is reported on the console and the game goes on.
int32_t CreateQuietly(const char* name) {
  const uint32_t mode = LSI_Var.ErrorMode;
  LSI_Var.ErrorMode = LS_ERRMODE_IGNORE;
  const int32_t file = SB_OpenFile(name, SB_OPEN_CREATE);
  LSI_Var.ErrorMode = mode;
  return file;
}

bool WriteAll(int32_t file, const void* bytes, int64_t size) {
  static const char kZeros[4096] = {};
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const int32_t piece = size < (1 << 20) ? static_cast<int32_t>(size) : (1 << 20);
    // An array that was never made (a map without visibility sets) is
    // stored as zeros.
    const int32_t chunk = at ? piece : (piece < 4096 ? piece : 4096);
    if (SB_WriteFile(file, at ? at : kZeros, chunk) != chunk) return false;
    if (at) at += chunk;
    size -= chunk;
  }
  return true;
}

bool WriteSections(int32_t file, bool cubes) {
  uint8_t header[SB_MAPHEADERSIZE] = {};
  std::memcpy(header, SB_MAPFILEVERSION, std::strlen(SB_MAPFILEVERSION) + 1);
  header[15] = cubes ? SB_MAPWITHCUBES : SB_MAPWITHOUTCUBES;
  if (!WriteAll(file, header, sizeof header)) return false;
  for (int32_t i = cubes ? 0 : kCubeSections; i < static_cast<int32_t>(std::size(kSections)); ++i) {
    const TMAPSECTION& s = kSections[i];
    const uint32_t count = static_cast<uint32_t>(RecordsOf(s) > 0 ? RecordsOf(s) : 0);
    if (s.Count && !WriteAll(file, &count, sizeof count)) return false;
    if (!WriteAll(file, BytesOf(s), int64_t{count} * s.Size)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Loading.
// ---------------------------------------------------------------------------

// Reads the file front to back and knows how many bytes are left, so that
// no count can ask for more than the file holds.
class MapReader {
 public:
  MapReader(int32_t file, int64_t size) : file_(file), left_(size) {}
  int64_t Left() const { return left_; }
  bool Read(void* to, int64_t size) {
    char* at = static_cast<char*>(to);
    while (size > 0) {
      const int32_t piece = size < (1 << 30) ? static_cast<int32_t>(size) : (1 << 30);
      if (piece > left_ || SB_ReadFile(file_, at, piece) != piece) return false;
      left_ -= piece;
      at += piece;
      size -= piece;
    }
    return true;
  }

 private:
  int32_t file_;
  int64_t left_;
};

// What a failed read leaves to say: the section's word, and whether it was
// the memory rather than the file.
struct TLOADFAULT {
  const char* Word = nullptr;
  bool Memory = false;
};

// Reads one section into its place; its record count goes to *count.
TLOADFAULT ReadSection(MapReader& in, const TMAPSECTION& s, uint32_t* count) {
  if (s.Count && !in.Read(count, sizeof *count)) return {s.Word};
  const int64_t limit = s.Table ? SB_MAXTEXTURES : in.Left() / s.Size;
  if (*count > limit || int64_t{*count} * s.Size > in.Left()) return {s.Word};
  const int64_t bytes = int64_t{*count} * s.Size;
  if (*count == 0) return {};
  SB_ConsolePrintf("Loading %ld %s...", static_cast<long>(*count), s.Word);
  void* to = s.Table;
  if (!to) {
    if (bytes > INT32_MAX || !(to = SB_GetMem(static_cast<int32_t>(bytes), kOwner))) return {s.Word, true};
    s.Set(to);
  }
  if (s.Count) *s.Count = static_cast<int32_t>(*count);
  return in.Read(to, bytes) ? TLOADFAULT{} : TLOADFAULT{s.Word};
}

// The sections after the header. Sections 1 to 7 (the cube map) are read
// when the file has them, in every renderer: the accelerator's editors
// draw them. The seen entitys have no count of their own: there is one per
// small entity.
TLOADFAULT ReadSections(MapReader& in, bool cubesInFile) {
  uint32_t smallCount = 0;
  for (int32_t i = cubesInFile ? 0 : kCubeSections; i < static_cast<int32_t>(std::size(kSections)); ++i) {
    const TMAPSECTION& s = kSections[i];
    uint32_t count = s.Count ? 0 : smallCount;
    const TLOADFAULT fault = ReadSection(in, s, &count);
    if (fault.Word) return fault;
    if (s.Count == &SB_Var.Decor.NbSmallEntitys) smallCount = count;
  }
  return {};
}

}  // namespace

void SB_PublishDecor() {
  TDECOR& d = SB_Var.Decor;
  d.Cubes = d.BigEntitys;
  d.NbCubes = d.NbBigEntitys;
  d.NbMapFaces = d.NbFaces;
  SB_Var.Cube10Polys = d.Cube10Polys;
  SB_Var.NbCube10Polys = d.NbCube10Polys;
}

// Weak, like the other map calls the race set-up makes, so that tests can
// record them.
__attribute__((weak)) void SB_SaveDecor(const char* name) {
  if (!SB_Var.Decor.Loaded) return;
  const int32_t file = CreateQuietly(name);
  // The cube map goes with the polygons whenever the map has it; only a
  // map the accelerator loaded from a file without it is saved without.
  const bool cubes = SB_Var.Renderer != SB_RENDERER_PVR || SB_Var.Decor.BigEntitys != nullptr;
  const bool written = file && WriteSections(file, cubes);
  SB_CloseFile(file);
  if (!written) SB_ConsolePrintf("Map error: cannot write %s !!!", name ? name : "");
}

__attribute__((weak)) int32_t SB_LoadDecor(const char* name) {
  TDECOR& d = SB_Var.Decor;
  if (d.Loaded) {
    d.NewlyLoaded = 0;
    return 1;
  }
  ReleaseArrays();
  d.NewlyLoaded = 1;
  const int32_t file = SB_OpenFile(name, SB_OPEN_READ);
  if (!file) return 0;
  MapReader in(file, LS_GetFileSize(name));
  uint8_t header[SB_MAPHEADERSIZE] = {};
  const int64_t got = in.Left() < SB_MAPHEADERSIZE ? in.Left() : SB_MAPHEADERSIZE;
  const bool whole = in.Read(header, got) && got == SB_MAPHEADERSIZE;
  if (std::memcmp(header, SB_MAPFILEVERSION, std::strlen(SB_MAPFILEVERSION) + 1) != 0 ||
      header[15] > SB_MAPWITHOUTCUBES) {
    SB_CloseFile(file);
    SB_ConsolePrintf("Map error: old map format !!!");
    return 0;
  }
  const bool pvr = SB_Var.Renderer == SB_RENDERER_PVR;
  if (!pvr && header[15] == SB_MAPWITHOUTCUBES) {
    SB_CloseFile(file);
    SB_ConsolePrintf("Map error: map file has no cube data !!!");
    return 0;
  }
  const bool cubesInFile = header[15] == SB_MAPWITHCUBES || (header[15] == 0 && !pvr);
  TLOADFAULT fault = whole ? ReadSections(in, cubesInFile) : TLOADFAULT{"header"};
  SB_CloseFile(file);
  if (!fault.Word) fault.Word = SB_CheckDecorLinks();
  if (fault.Word) {
    if (fault.Memory)
      SB_ConsolePrintf("Map error: not enough memory (%s) !!!", fault.Word);
    else
      SB_ConsolePrintf("Map error: corrupt map file (%s) !!!", fault.Word);
    ReleaseArrays();
    return 0;
  }
  SB_PublishDecor();
  d.FacesRescaled = 0;
  d.Loaded = 1;
  return 1;
}

// Weak, as the other entry points the race session and the console tests
// replace with recording fakes.
__attribute__((weak)) void SB_FreeDecor() {
  TDECOR& d = SB_Var.Decor;
  ReleaseArrays();
  if (SB_Hooks.ReleaseMapTextures) SB_Hooks.ReleaseMapTextures();
  d.FacesRescaled = 0;
  d.Loaded = 0;
  if (SB_Var.GameHeap) {
    LS_ReleaseHeap(SB_Var.GameHeap);
    SB_Var.GameHeap = 0;
  }
}
