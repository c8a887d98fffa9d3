// The 3D-Studio ASCII scene reader: lines, material names and objects.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "track/scene.h"

void SB_InitAsciiReader(TASCIIREADER* reader, const char* text) {
  reader->Text = text;
  reader->Pos = text;
  reader->Line[0] = 0;
  reader->Unread = 0;
  reader->TooLong = 0;
}

void SB_CleanAsciiLine(char* line) {
  char* out = line;
  for (const char* in = line; *in; ++in) {
    const char c = *in == '\t' ? ' ' : *in;
    if (c == ' ' && (out == line || out[-1] == ' ')) continue;
    *out++ = c;
  }
  *out = 0;
}

int32_t SB_ReadAsciiLine(TASCIIREADER* reader) {
  if (reader->Unread) {
    reader->Unread = 0;
    return 1;
  }
  const char* p = reader->Pos;
  if (!*p) return 0;
  const char* end = p;
  while (*end && *end != '\r' && *end != '\n') ++end;
  if (end - p >= SB_SCENELINESIZE) {
    reader->TooLong = 1;
    reader->Pos = p + std::strlen(p);
    return 0;
  }
  std::memcpy(reader->Line, p, end - p);
  reader->Line[end - p] = 0;
  while (*end == '\r' || *end == '\n') ++end;
  reader->Pos = end;
  SB_CleanAsciiLine(reader->Line);
  return 1;
}

void SB_UnreadAsciiLine(TASCIIREADER* reader) { reader->Unread = 1; }

void SB_ParseMaterialName(char* entry) {
  char text[16] = {};
  std::memcpy(text, entry, 15);
  char name[8] = {}, flags[8] = {};
  int32_t n = 0;
  while (n < 15 && n < 8 && text[n] && text[n] != ' ' && text[n] != '"') {
    name[n] = text[n];
    ++n;
  }
  const char* blank = static_cast<const char*>(std::memchr(text, ' ', 15));
  int32_t nf = 0;
  if (blank) {
    for (const char* p = blank + 1; p < text + 15 && nf < 7; ++p) {
      const bool letter = (*p >= '0' && *p <= '9') || (*p >= 'A' && *p <= 'Z');
      if (*p == ' ') continue;
      if (!letter) break;
      flags[nf++] = *p;
    }
  }
  std::sort(flags, flags + nf);
  std::memcpy(entry, name, 8);
  std::memcpy(entry + 8, flags, 7);
}

namespace {

bool Begins(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

void ObjectError(const char* object, const char* what) {
  SB_ConsolePrintf("......Map error object \"%s\": %s !!!", object, what);
}

bool ValidCoordinate(double v) { return std::isfinite(v) && v >= SB_MINMAPCOORD && v <= SB_MAXMAPCOORD; }

// "VERTEX %ld: X:%lf Y:%lf Z:%lf U:%lf V:%lf" in map units; 0 when the
// index or a coordinate is missing or out of range, 2 without u and v.
int32_t ParseVertex(const char* line, long* index, TLMAPVERTEX* v) {
  double x, y, z, u = 0, w = 0;
  const int32_t got = std::sscanf(line, "VERTEX %ld: X:%lf Y:%lf Z:%lf U:%lf V:%lf", index, &x, &y, &z, &u, &w);
  if (got < 4) return 0;
  *v = {10 * x, -10 * z, 10 * y, got == 6 ? u : 0.0, got == 6 ? -w : 0.0};
  if (!ValidCoordinate(v->X) || !ValidCoordinate(v->Y) || !ValidCoordinate(v->Z)) return 0;
  return got == 6 ? 1 : 2;
}

// The material line: "MATERIAL:" with any blanks, then the quoted words.
void ParseMaterialLine(const char* line, char* entry) {
  const char* p = line + std::strlen("MATERIAL:");
  while (*p == ' ') ++p;
  std::memset(entry, 0, 15);
  if (*p != '"') {
    std::memcpy(entry, "DEFAULT", 7);
    return;
  }
  char first[SB_SCENELINESIZE] = {}, second[SB_SCENELINESIZE] = {};
  const int32_t words = std::sscanf(p + 1, "%255s %255s", first, second);
  char joined[2 * SB_SCENELINESIZE + 2] = {};
  std::snprintf(joined, sizeof joined, words == 2 ? "%s %s" : "%s", first, second);
  // The name field is 15 bytes, zero-filled, with no terminator of its own.
  std::memset(entry, 0, 15);
  std::memcpy(entry, joined, std::min<size_t>(std::strlen(joined), 15));
  SB_ParseMaterialName(entry);
}

struct ObjectState {
  char name[SB_SCENELINESIZE];
  long nv, nf;
  int32_t withoutMapping, illegalMapping;  // printed once per object
};

// Ends the face being read: its material, or the fixed mapping when it
// has none or an illegal one.
void CloseFace(ObjectState& o, TLMAPFACE* f, bool hasMaterial, bool illegal) {
  if (!f) return;
  if (!hasMaterial && !o.withoutMapping) {
    o.withoutMapping = 1;
    ObjectError(o.name, "face without mapping");
  }
  if (illegal && hasMaterial && !o.illegalMapping) {  // an unmapped face is reported as such
    o.illegalMapping = 1;
    ObjectError(o.name, "face with illegal mapping");
  }
  if (!hasMaterial || illegal) {
    static const double kFixed[3][2] = {{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.5}};
    for (int k = 0; k < 3; ++k) f->V[k].U = kFixed[k][0], f->V[k].V = kFixed[k][1];
  }
}

// Appends the object's faces to the map; false when the map is full or the
// block cannot be had.
bool AddObjectFaces(TLMAP* map, const TSCENEWORK* work, const ObjectState& o) {
  if (static_cast<int64_t>(map->NbFaces) + o.nf > SB_MAXMAPFACES) {
    SB_ConsolePrintf("......Map error object \"%s\": more than %ld faces in the map !!!", o.name,
                     static_cast<long>(SB_MAXMAPFACES));
    return false;
  }
  const uint32_t need = map->NbFaces + static_cast<uint32_t>(o.nf);
  if (need > map->Capacity) {
    const uint32_t capacity = std::min<uint32_t>(std::max(need, map->Capacity * 2), SB_MAXMAPFACES);
    // In the map heap when a map is being built, which has room for the
    // construction's copies of these faces: a large scene does not crowd
    // the default heap.
    auto* const take = SB_Var.GameHeap ? SB_GetMemHeap : SB_GetMem;
    auto* faces = static_cast<TLMAPFACE*>(
        take(static_cast<int32_t>(capacity * sizeof(TLMAPFACE)), "SB_ReadANewObject map faces"));
    if (!faces) {
      ObjectError(o.name, "not enough memory");
      return false;
    }
    if (map->NbFaces) std::memcpy(faces, map->Faces, map->NbFaces * sizeof(TLMAPFACE));
    if (map->Faces) SB_Release(map->Faces);
    map->Faces = faces;
    map->Capacity = capacity;
  }
  std::memcpy(map->Faces + map->NbFaces, work->Faces, o.nf * sizeof(TLMAPFACE));
  map->NbFaces = need;
  return true;
}

bool FaceTooLarge(const TLMAPFACE& f) {
  static const int kPairs[3][2] = {{0, 1}, {1, 2}, {0, 2}};
  for (const auto& p : kPairs) {
    const TLMAPVERTEX &a = f.V[p[0]], &b = f.V[p[1]];
    if (std::fabs(a.X - b.X) > SB_MAXFACESPAN || std::fabs(a.Y - b.Y) > SB_MAXFACESPAN ||
        std::fabs(a.Z - b.Z) > SB_MAXFACESPAN)
      return true;
  }
  return false;
}

bool IllegalMapping(const TLMAPFACE& f) {
  for (const TLMAPVERTEX& v : f.V)
    if (!(std::fabs(v.U) <= SB_MAXMAPPING) || !(std::fabs(v.V) <= SB_MAXMAPPING)) return true;
  return false;
}

// The vertex list; -1 end of text, 0 object abandoned, 1 read.
int32_t ReadVertices(TASCIIREADER* r, TSCENEWORK* w, ObjectState& o) {
  for (;;) {
    if (!SB_ReadAsciiLine(r)) return ObjectError(o.name, "no vertice list"), -1;
    if (Begins(r->Line, "NAMED OBJECT")) return SB_UnreadAsciiLine(r), ObjectError(o.name, "no vertice list"), 0;
    if (Begins(r->Line, "VERTEX LIST")) break;
  }
  std::memset(w->VertexDefined, 0, o.nv);
  for (long defined = 0; defined < o.nv;) {
    if (!SB_ReadAsciiLine(r)) return ObjectError(o.name, "truncated vertice list"), -1;
    if (Begins(r->Line, "NAMED OBJECT")) return SB_UnreadAsciiLine(r), ObjectError(o.name, "truncated vertice list"), 0;
    if (!Begins(r->Line, "VERTEX")) continue;
    long index = -1;
    TLMAPVERTEX v;
    const int32_t kind = ParseVertex(r->Line, &index, &v);
    if (!kind || index < 0 || index >= o.nv) return ObjectError(o.name, "invalid vertice defined"), 0;
    if (w->VertexDefined[index]) return ObjectError(o.name, "vertice defined twice"), 0;
    w->Vertices[index] = v;
    w->VertexDefined[index] = static_cast<uint8_t>(kind);
    ++defined;
  }
  return 1;
}

// The face list with the materials; -1 end of text, 0 abandoned, 1 read.
int32_t ReadFaces(TASCIIREADER* r, TSCENEWORK* w, ObjectState& o) {
  for (;;) {
    if (!SB_ReadAsciiLine(r)) return ObjectError(o.name, "no faces list"), -1;
    if (Begins(r->Line, "NAMED OBJECT")) return SB_UnreadAsciiLine(r), ObjectError(o.name, "no faces list"), 0;
    if (Begins(r->Line, "FACE LIST")) break;
  }
  std::memset(w->FaceDefined, 0, o.nf);
  TLMAPFACE* face = nullptr;
  bool hasMaterial = false, illegal = false, unmapped = false;
  long defined = 0;
  for (;;) {
    const bool more = SB_ReadAsciiLine(r);
    const bool named = more && Begins(r->Line, "NAMED OBJECT");
    const bool faceLine = more && !named && Begins(r->Line, "FACE");
    if (!more || named || faceLine) {
      // A corner without u and v leaves the face unmapped whatever its material.
      CloseFace(o, face, hasMaterial && !unmapped, illegal);
      face = nullptr;
      if (!more || named || defined == o.nf) {
        if (named) SB_UnreadAsciiLine(r);
        if (defined < o.nf) return ObjectError(o.name, "truncated faces list"), more ? 0 : -1;
        return more ? 1 : -2;  // -2: complete, then the end of the text
      }
      long index = -1, a = -1, b = -1, c = -1;
      if (std::sscanf(r->Line, "FACE %ld: A:%ld B:%ld C:%ld", &index, &a, &b, &c) != 4 || index < 0 ||
          index >= o.nf)
        return ObjectError(o.name, "invalid face defined"), 0;
      if (w->FaceDefined[index]) return ObjectError(o.name, "face defined twice"), 0;
      for (long k : {a, b, c})
        if (k < 0 || k >= o.nv) return ObjectError(o.name, "face uses undefined vertex"), 0;
      face = &w->Faces[index];
      *face = TLMAPFACE{};
      face->V[0] = w->Vertices[a], face->V[1] = w->Vertices[b], face->V[2] = w->Vertices[c];
      std::memcpy(face->Material, "DEFAULT", 7);
      w->FaceDefined[index] = 1;
      ++defined;
      if (FaceTooLarge(*face)) return ObjectError(o.name, "illegal face size"), 0;
      hasMaterial = false;
      illegal = IllegalMapping(*face);
      unmapped = false;
      for (long k : {a, b, c})
        if (w->VertexDefined[k] == 2) unmapped = true;
      continue;
    }
    if (face && !hasMaterial && Begins(r->Line, "MATERIAL")) {
      ParseMaterialLine(r->Line, face->Material);
      hasMaterial = true;
    }
  }
}

}  // namespace

int32_t SB_ReadANewObject(TLMAP* map, TASCIIREADER* reader, TSCENEWORK* work) {
  ObjectState o{};
  for (;;) {
    if (!SB_ReadAsciiLine(reader)) return 0;
    if (Begins(reader->Line, "NAMED OBJECT")) break;
  }
  std::sscanf(reader->Line, "NAMED OBJECT: \"%255[^\"]", o.name);
  ++work->Objects;
  const bool chain = o.name[0] == '$';
  if (chain) {
    // A chained name too long for its field is not followed.
    const int length = std::snprintf(work->NextFile, sizeof work->NextFile, "%s", o.name + 1);
    work->HasNext = length >= 0 && length < static_cast<int>(sizeof work->NextFile) ? 1 : 0;
  }
  for (;;) {
    if (!SB_ReadAsciiLine(reader)) return 0;
    if (Begins(reader->Line, "NAMED OBJECT")) return SB_UnreadAsciiLine(reader), 1;
    if (Begins(reader->Line, "TRI-MESH")) break;
  }
  o.nv = o.nf = 0;
  std::sscanf(reader->Line, "TRI-MESH, VERTICES: %ld FACES: %ld", &o.nv, &o.nf);
  if (chain && (o.nv < 1 || o.nf < 1)) return 1;
  if (o.nv < 1) return ObjectError(o.name, "no vertices"), 1;
  if (o.nf < 1) return ObjectError(o.name, "no faces"), 1;
  if (o.nv > SB_MAXOBJECTVERTICES) {
    SB_ConsolePrintf("......Map error object \"%s\": more than %ld vertices !!!", o.name,
                     static_cast<long>(SB_MAXOBJECTVERTICES));
    return 1;
  }
  if (o.nf > SB_MAXOBJECTFACES) {
    SB_ConsolePrintf("......Map error object \"%s\": more than %ld faces !!!", o.name,
                     static_cast<long>(SB_MAXOBJECTFACES));
    return 1;
  }
  const int32_t vertices = ReadVertices(reader, work, o);
  if (vertices <= 0) return vertices == 0 ? 1 : 0;
  const int32_t faces = ReadFaces(reader, work, o);
  if (faces == 0 || faces == -1) return faces == 0 ? 1 : 0;
  AddObjectFaces(map, work, o);
  return faces == 1 ? 1 : 0;
}
