// The road mesh written as a 3D-Studio ASCII scene: one named tri-mesh
// object, its mapped vertex list, then its faces, each with its material
// and smoothing group 1; every line ends with CR LF.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "tools/roadgen/roadgen.h"

namespace {

constexpr size_t kLineSize = 256;

void Line(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Line(std::string* out, const char* format, ...) {
  char line[kLineSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  *out += line;
  *out += "\r\n";
}

std::string MeshText() {
  std::string out;
  Line(&out, "Named object: \"OBJECT%ld\"", 0L);
  Line(&out, "Tri-mesh, Vertices: %ld Faces: %ld", long(RoadNbVertices), long(RoadNbFaces));
  Line(&out, "Mapped");
  Line(&out, "Vertex list:");
  for (int32_t i = 0; i < RoadNbVertices; ++i) {
    const TROADVERTEX& v = RoadVertices[i];
    Line(&out, "Vertex %ld: X:%f Y:%f Z:%f U:%f V:%f", long(i), v.X, v.Y, v.Z, v.U, v.V);
  }
  Line(&out, "Face list:");
  for (int32_t i = 0; i < RoadNbFaces; ++i) {
    const TROADFACE& f = RoadFaces[i];
    Line(&out, "Face %ld: A:%ld B:%ld C:%ld AB:1 BC:1 CA:1", long(i), long(f.A), long(f.B), long(f.C));
    Line(&out, "Material: \"%.*s\"", SB_ROADMATERIALSIZE - 1, f.Material);
    Line(&out, "Smoothing: 1");
  }
  return out;
}

}  // namespace

void SaveRoadAscii(const char* path) {
  const std::string text = MeshText();
  // A name the user typed that cannot be made is reported, and the
  // console goes on.
  SB_KeepFileErrors keep;
  const int32_t file = SB_OpenFile(path, SB_OPEN_CREATE);
  if (!file) {
    SB_ConsolePrintf("Error creating file %s !!!", path);
    return;
  }
  const int32_t size = static_cast<int32_t>(text.size());
  const bool written = SB_WriteFile(file, text.data(), size) == size;
  SB_CloseFile(file);
  if (!written) SB_ConsolePrintf("Error creating file %s !!!", path);
}
