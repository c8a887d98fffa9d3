// The start-vertex codes of the software map faces: which corner the
// fillers start from, chosen so that its two edges are as long as can be.
#include <cstdint>

#include "racescene/views.h"
#include "shell/sbvar.h"
#include "track/decor.h"

namespace {

struct Corner {
  int64_t x, y, z;
};

// The corner triples in the order of their codes.
constexpr uint8_t kTriples[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {1, 2, 3}, {2, 3, 0}, {3, 0, 1}};

int32_t CodeOf(int32_t i, int32_t j, int32_t m) {
  for (int32_t code = 0; code < 6; ++code)
    if (kTriples[code][0] == i && kTriples[code][1] == j && kTriples[code][2] == m) return code;
  return 6;
}

// Bit 7 of bytes 9, 11 and 13 (the high bytes of the first corner's u and
// v and of the second corner's u) carry bits 0, 1 and 2 of the code.
void StoreCode(TMAPFACE& face, int32_t code) {
  for (int32_t bit = 0; bit < 3; ++bit) {
    uint16_t& word = face.TextureCoords[bit];
    word = static_cast<uint16_t>((word & 0x7FFF) | ((code >> bit) & 1) << 15);
  }
}

// A face whose vertex indices leave the cube's run is left alone.
template <typename Vertex>
void MarkFace(TMAPFACE& face, const Vertex* vertices, int32_t count) {
  const int32_t n = face.Vertex[3] == 255 ? 3 : 4;
  Corner c[4];
  for (int32_t k = 0; k < n; ++k) {
    if (face.Vertex[k] >= count) return;
    const Vertex& v = vertices[face.Vertex[k]];
    c[k] = {v.X, v.Y, v.Z};
  }
  int64_t length[4];
  for (int32_t i = 0; i < n; ++i) {
    const Corner& a = c[i];
    const Corner& b = c[(i + 1) % n];
    length[i] = (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z);
  }
  int32_t best[3] = {0, 1, 2};
  int64_t bestShort = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = (i + 1) % n, m = (j + 1) % n;
    const int64_t shorter = length[i] < length[j] ? length[i] : length[j];
    if (shorter > bestShort) {
      bestShort = shorter;
      best[0] = i, best[1] = j, best[2] = m;
    }
  }
  StoreCode(face, CodeOf(best[0], best[1], best[2]));
}

template <typename Vertex>
void MarkRun(uint32_t faceOffset, int32_t nbFaces, const Vertex* vertices, int32_t nbVertices) {
  TMAPFACE* faces = SB_DecorFaceRun(faceOffset, nbFaces);
  if (!faces || !vertices) return;
  for (int32_t f = 0; f < nbFaces; ++f) MarkFace(faces[f], vertices, nbVertices);
}

}  // namespace

void SB_InitFaceStartVertices() {
  if (SB_Var.Renderer == SB_RENDERER_PVR || !SB_Var.Decor.NewlyLoaded) return;
  TDECOR& d = SB_Var.Decor;
  for (int32_t b = 0; b < d.NbBigEntitys; ++b) {
    const TBIGENTITY& big = d.BigEntitys[b];
    MarkRun(big.Faces, big.NbFaces, SB_DecorWordVertexRun(big.WordVertices, big.NbWordVertices),
            big.NbWordVertices);
    const TSMALLENTITY* smalls = SB_DecorSmallEntityRun(big.SmallEntitys, big.NbSmallEntitys);
    for (int32_t s = 0; smalls && s < big.NbSmallEntitys; ++s)
      MarkRun(smalls[s].Faces, smalls[s].NbFaces, SB_DecorVertexRun(smalls[s].Vertices, smalls[s].NbVertices),
              smalls[s].NbVertices);
  }
}
