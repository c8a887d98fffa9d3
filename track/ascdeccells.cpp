// Filing polygon faces into the loaded map's cells of 512 units: each cell
// holds its wheel-contact, body-contact and ground faces as three runs, in
// that order, and its own shared offsets and texture pairs. Every output
// is checked against its room: a full one is reported and stops the
// conversion.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "shell/console.h"
#include "shell/sbvar.h"
#include "track/polymap.h"

int32_t SB_ConversionOutputFull;

namespace {

constexpr int32_t kCellBias = 64;
constexpr uint32_t kMaxCellCount = 65535;
constexpr uint32_t kMaxCorners = 255;
// Where the runs lie inside a cell's faces: wheel, body, then ground.
constexpr int32_t kRunOrder[SB_CELLRUNS] = {SB_WHEELRUN, SB_BODYRUN, SB_GROUNDRUN};

int32_t Full(const char* name) {
  SB_ConversionOutputFull = 1;
  SB_ConsolePrintf("Map conversion error: %s full !!!", name);
  return 0;
}

uint16_t Stored(double value, double scale, double bias) {
  const double v = std::floor(value * scale + bias);
  return static_cast<uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
}

// Appends count records to an output array of the given room.
template <typename Record>
bool Fits(int32_t count, int32_t more, int32_t room) {
  return int64_t{count} + more <= room;
}

int32_t FirstFace(const TFCUBE10POLY& c) {
  return static_cast<int32_t>(c.FaceRuns[SB_WHEELRUN] / sizeof(TFFACEPOLY));
}
int32_t CellFaces(const TFCUBE10POLY& c) { return c.NbFaces[0] + c.NbFaces[1] + c.NbFaces[2]; }

// A cell's runs end at the arrays' ends, so that it can grow in place.
bool AtEnds(const TFCUBE10POLY& c) {
  const TDECOR& d = SB_Var.Decor;
  return FirstFace(c) + CellFaces(c) == d.NbFacePolys &&
         c.PointOffsets / sizeof(TFPOINTOFFSET) + c.NbPointOffsets ==
             static_cast<uint32_t>(d.NbPointOffsets) &&
         c.PointTextures / sizeof(TFPOINTTEXTURE) + c.NbPointTextures ==
             static_cast<uint32_t>(d.NbPointTextures) &&
         c.PPointOffsets / 4 + c.NbPPointOffsets == static_cast<uint32_t>(d.NbPPointOffsets) &&
         c.PPointTextures / 4 + c.NbPPointTextures == static_cast<uint32_t>(d.NbPPointTextures);
}

// Copies count records from first to the end of the array; the byte
// distance they moved.
template <typename Record>
uint32_t MoveToEnd(Record* array, int32_t* total, uint32_t firstByte, int32_t count) {
  const uint32_t first = firstByte / sizeof(Record);
  std::memmove(array + *total, array + first, sizeof(Record) * static_cast<size_t>(count));
  const uint32_t moved = static_cast<uint32_t>((*total - static_cast<int32_t>(first)) * sizeof(Record));
  *total += count;
  return moved;
}

// A cell met again after others were made (a face lying on a cell border
// is filed from both sides) is copied whole to the arrays' ends, so that
// its runs stay contiguous; its old records stay behind unused.
int32_t MoveCellToEnds(TFCUBE10POLY& c) {
  TDECOR& d = SB_Var.Decor;
  const TMAPCONVERSIONLIMITS& room = SB_ConversionLimits;
  if (!Fits<TFFACEPOLY>(d.NbFacePolys, CellFaces(c), room.FacePolys)) return Full("TFFACEPOLY");
  if (!Fits<TFPOINTOFFSET>(d.NbPointOffsets, c.NbPointOffsets, room.PointOffsets))
    return Full("TFPOINTOFFSET");
  if (!Fits<TFPOINTTEXTURE>(d.NbPointTextures, c.NbPointTextures, room.PointTextures))
    return Full("TFPOINTTEXTURE");
  if (!Fits<uint32_t>(d.NbPPointOffsets, c.NbPPointOffsets, room.PPointOffsets))
    return Full("TFPPOINTOFFSET");
  if (!Fits<uint32_t>(d.NbPPointTextures, c.NbPPointTextures, room.PPointTextures))
    return Full("TFPPOINTTEXTURE");
  const int32_t firstFace = d.NbFacePolys, firstPPO = d.NbPPointOffsets, firstPPT = d.NbPPointTextures;
  const uint32_t faces = MoveToEnd(d.FacePolys, &d.NbFacePolys, c.FaceRuns[SB_WHEELRUN], CellFaces(c));
  const uint32_t offsets = MoveToEnd(d.PointOffsets, &d.NbPointOffsets, c.PointOffsets, c.NbPointOffsets);
  const uint32_t textures =
      MoveToEnd(d.PointTextures, &d.NbPointTextures, c.PointTextures, c.NbPointTextures);
  const uint32_t ppo = MoveToEnd(d.PPointOffsets, &d.NbPPointOffsets, c.PPointOffsets, c.NbPPointOffsets);
  const uint32_t ppt = MoveToEnd(d.PPointTextures, &d.NbPPointTextures, c.PPointTextures, c.NbPPointTextures);
  for (int32_t i = firstPPO; i < d.NbPPointOffsets; ++i) d.PPointOffsets[i] += offsets;
  for (int32_t i = firstPPT; i < d.NbPPointTextures; ++i) d.PPointTextures[i] += textures;
  for (int32_t i = firstFace; i < d.NbFacePolys; ++i)
    d.FacePolys[i].PointOffsets += ppo, d.FacePolys[i].PointTextures += ppt;
  for (uint32_t& run : c.FaceRuns) run += faces;
  c.PointOffsets += offsets, c.PointTextures += textures, c.PPointOffsets += ppo, c.PPointTextures += ppt;
  return 1;
}

// Each cell's shared entries by value, so that finding one does not scan
// the cell (the denser the map, the more entries a cell holds). Entries are
// only appended to a cell lying at the array's end; a cell moved there is
// indexed again under its new start. Emptied when a conversion starts (the
// array empty or another one).
template <typename Record>
class TSHAREDINDEX {
 public:
  // The cell's first entry equal to the value, or -1.
  int32_t Find(const Record* array, int32_t total, uint32_t cellStart, uint16_t cellCount, const Record& value) {
    if (array != array_ || total == 0) cells_.clear(), array_ = array;
    const int32_t first = static_cast<int32_t>(cellStart / sizeof(Record));
    TCELL& cell = cells_[cellStart];
    if (cell.Indexed > cellCount) cell = {};
    for (; cell.Indexed < cellCount; ++cell.Indexed)
      cell.First.emplace(Key(array[first + cell.Indexed]), first + cell.Indexed);
    const auto at = cell.First.find(Key(value));
    return at == cell.First.end() ? -1 : at->second;
  }

 private:
  static uint64_t Key(const Record& r) {
    static_assert(sizeof(Record) <= sizeof(uint64_t));
    uint64_t k = 0;
    std::memcpy(&k, &r, sizeof r);
    return k;
  }
  struct TCELL {
    uint16_t Indexed = 0;
    std::unordered_map<uint64_t, int32_t> First;
  };
  const Record* array_ = nullptr;
  std::unordered_map<uint32_t, TCELL> cells_;  // by the cell's start in bytes
};

// The cell's entry equal to the value, or a new one; -1 when full.
template <typename Record>
int32_t SharedEntry(Record* array, int32_t* total, int32_t room, uint32_t cellStart, uint16_t* cellCount,
                    const Record& value) {
  static TSHAREDINDEX<Record> index;
  const int32_t found = index.Find(array, *total, cellStart, *cellCount, value);
  if (found >= 0) return found;
  if (*total >= room || *cellCount >= kMaxCellCount) return -1;
  array[*total] = value;
  ++*cellCount;
  return (*total)++;
}

int32_t AddPointLink(uint32_t* links, int32_t* total, int32_t room, uint16_t* cellCount,
                     uint32_t byteOffset) {
  if (*total >= room || *cellCount >= kMaxCellCount) return 0;
  links[(*total)++] = byteOffset;
  ++*cellCount;
  return 1;
}

int32_t AddCube10Point(const TPOLYPOINT& p, TFFACEPOLY& face, TFCUBE10POLY& c) {
  TDECOR& d = SB_Var.Decor;
  const TFPOINTOFFSET offset = {Stored(p.X, 32.0, 0.5), Stored(p.Y, 32.0, 0.5), Stored(p.Z, 32.0, 0.5)};
  const int32_t at = SharedEntry(d.PointOffsets, &d.NbPointOffsets, SB_ConversionLimits.PointOffsets,
                                 c.PointOffsets, &c.NbPointOffsets, offset);
  if (at < 0) return Full("TFPOINTOFFSET");
  if (!AddPointLink(d.PPointOffsets, &d.NbPPointOffsets, SB_ConversionLimits.PPointOffsets,
                    &c.NbPPointOffsets, static_cast<uint32_t>(at * sizeof(TFPOINTOFFSET))))
    return Full("TFPPOINTOFFSET");
  for (int32_t k : {0, 2}) {
    const uint16_t v = k == 0 ? offset.X : offset.Z;
    face.Box[k] = std::min<uint16_t>(face.Box[k], v);
    face.Box[k + 1] = std::max<uint16_t>(face.Box[k + 1], v);
  }
  return 1;
}

int32_t AddCube10PointTextured(const TPOLYPOINT& p, TFFACEPOLY& face, TFCUBE10POLY& c) {
  if (!AddCube10Point(p, face, c)) return 0;
  TDECOR& d = SB_Var.Decor;
  const TFPOINTTEXTURE texture = {Stored(p.U, 8191.875, 0.5), Stored(p.V, 8191.875, 0.5), 0};
  const int32_t at = SharedEntry(d.PointTextures, &d.NbPointTextures, SB_ConversionLimits.PointTextures,
                                 c.PointTextures, &c.NbPointTextures, texture);
  if (at < 0) return Full("TFPOINTTEXTURE");
  if (!AddPointLink(d.PPointTextures, &d.NbPPointTextures, SB_ConversionLimits.PPointTextures,
                    &c.NbPPointTextures, static_cast<uint32_t>(at * sizeof(TFPOINTTEXTURE))))
    return Full("TFPPOINTTEXTURE");
  return 1;
}

// Files one face at the end of its run, the later runs of the cell moving
// one face on.
int32_t AddFace(const TLMAPPOLY* poly, int32_t index, TFCUBE10POLY& c, int32_t run) {
  TDECOR& d = SB_Var.Decor;
  const TPOLYFACE& f = poly->Faces[index];
  if (f.NbPoints > kMaxCorners || d.NbFacePolys >= SB_ConversionLimits.FacePolys ||
      c.NbFaces[run] >= kMaxCellCount)
    return Full("TFFACEPOLY");
  const int32_t at = static_cast<int32_t>(c.FaceRuns[run] / sizeof(TFFACEPOLY)) + c.NbFaces[run];
  std::memmove(d.FacePolys + at + 1, d.FacePolys + at,
               sizeof(TFFACEPOLY) * static_cast<size_t>(d.NbFacePolys - at));
  bool later = false;
  for (int32_t r : kRunOrder) {
    if (later) c.FaceRuns[r] += sizeof(TFFACEPOLY);
    later = later || r == run;
  }
  ++d.NbFacePolys;
  ++c.NbFaces[run];
  TFFACEPOLY& face = d.FacePolys[at];
  face = {};
  face.PointOffsets = static_cast<uint32_t>(d.NbPPointOffsets * sizeof(uint32_t));
  face.PointTextures = static_cast<uint32_t>(d.NbPPointTextures * sizeof(uint32_t));
  face.Material = static_cast<uint16_t>(f.Material);
  face.Normal[0] = Stored(f.NormalX, 8192.0, 8256.5);
  face.Normal[1] = Stored(f.NormalY, 8192.0, 8256.5);
  face.Normal[2] = Stored(f.NormalZ, 8192.0, 8256.5);
  face.Box[0] = face.Box[2] = 65535;  // every stored offset is below the start values
  face.NbCorners = static_cast<uint8_t>(f.NbPoints);
  for (int32_t k = 0; k < f.NbPoints; ++k) {
    const TPOLYPOINT& p = poly->Points[f.FirstPoint + k];
    if (!(run == SB_GROUNDRUN ? AddCube10PointTextured(p, face, c) : AddCube10Point(p, face, c))) return 0;
  }
  return 1;
}

int32_t AddCell(TLMAPPOLY* poly, int32_t run) {
  if (!poly || poly->NbFaces < 1 || poly->NbPoints < 1) return 1;
  double sum[3] = {0, 0, 0};
  int64_t count = 0;
  for (int32_t i = 0; i < poly->NbFaces; ++i)
    for (int32_t k = 0; k < poly->Faces[i].NbPoints; ++k, ++count) {
      const TPOLYPOINT& p = poly->Points[poly->Faces[i].FirstPoint + k];
      sum[0] += p.X, sum[1] += p.Y, sum[2] += p.Z;
    }
  if (count == 0) return 1;
  int32_t number[3];
  for (int32_t a = 0; a < 3; ++a) {
    const double n = std::floor(sum[a] / static_cast<double>(count) / SB_POLYCELLSIZE);
    if (!(n >= -kCellBias && n <= 255 - kCellBias)) return Full("TFCUBE10POLY");
    number[a] = static_cast<int32_t>(n);
  }
  for (int32_t i = 0; i < poly->NbPoints; ++i) {
    TPOLYPOINT& p = poly->Points[i];
    p.X -= SB_POLYCELLSIZE * number[0], p.Y -= SB_POLYCELLSIZE * number[1],
        p.Z -= SB_POLYCELLSIZE * number[2];
  }
  int32_t cell = SB_FindCube10Poly(number[0], number[1], number[2]);
  if (cell < 0 && (cell = SB_NewCube10Poly(number[0], number[1], number[2])) < 0) return Full("TFCUBE10POLY");
  TFCUBE10POLY& c = SB_Var.Decor.Cube10Polys[cell];
  if (!AtEnds(c) && !MoveCellToEnds(c)) return 0;
  for (int32_t i = 0; i < poly->NbFaces; ++i)
    if (poly->Faces[i].NbPoints >= 3 && !AddFace(poly, i, c, run)) return 0;
  return 1;
}

}  // namespace

int32_t SB_FindCube10Poly(int32_t x, int32_t y, int32_t z) {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbCube10Polys; ++i) {
    const TFCUBE10POLY& c = d.Cube10Polys[i];
    if (c.X - kCellBias == x && c.Y - kCellBias == y && c.Z - kCellBias == z) return i;
  }
  return -1;
}

int32_t SB_NewCube10Poly(int32_t x, int32_t y, int32_t z) {
  TDECOR& d = SB_Var.Decor;
  if (d.NbCube10Polys >= SB_ConversionLimits.Cells) return -1;
  TFCUBE10POLY& c = d.Cube10Polys[d.NbCube10Polys];
  c = {};
  c.X = static_cast<uint8_t>(x + kCellBias), c.Y = static_cast<uint8_t>(y + kCellBias);
  c.Z = static_cast<uint8_t>(z + kCellBias);
  for (uint32_t& run : c.FaceRuns) run = static_cast<uint32_t>(d.NbFacePolys * sizeof(TFFACEPOLY));
  c.PointTextures = static_cast<uint32_t>(d.NbPointTextures * sizeof(TFPOINTTEXTURE));
  c.PointOffsets = static_cast<uint32_t>(d.NbPointOffsets * sizeof(TFPOINTOFFSET));
  c.PPointTextures = static_cast<uint32_t>(d.NbPPointTextures * sizeof(uint32_t));
  c.PPointOffsets = static_cast<uint32_t>(d.NbPPointOffsets * sizeof(uint32_t));
  return d.NbCube10Polys++;
}

int32_t SB_AddGroundCell(TLMAPPOLY* poly) { return AddCell(poly, SB_GROUNDRUN); }
int32_t SB_AddWheelCell(TLMAPPOLY* poly) { return AddCell(poly, SB_WHEELRUN); }
int32_t SB_AddBodyCell(TLMAPPOLY* poly) { return AddCell(poly, SB_BODYRUN); }
