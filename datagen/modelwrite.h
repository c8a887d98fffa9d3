// Writes the 3D model files: ".OBC" object lists, ".ATM" atoms and
// material libraries, in any version tag, forward or byte-reversed. Every
// stored count, index, stride and offset can be set by hand, so that the
// loaders' tests can make deliberately bad files too.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace datagen {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kNoIndex = 0xFFFFFFFF;

// The version tag of a file and whether its four bytes are stored reversed.
struct ModelFormat {
  std::string tag = "v1.1";
  bool reversed = false;
};

struct ModelPoint {
  int32_t x = 0, y = 0, z = 0;
  int32_t normal[3] = {};
};

struct ModelFace {
  int32_t nbPoints = 3;
  int32_t points[4] = {};
  int32_t normal[3] = {};
  uint32_t material = kNoIndex;  // index into the library
  uint32_t colour = 0;
  int32_t transparency = 0;
  int32_t type = 0xC;  // bits 2 and 3: textured
  int32_t flags = 0;
  int32_t coords[8] = {};  // x1, y1 .. x4, y4 in texels x 256 of the texture
  int32_t word23 = 0;
};

struct ModelAtom {
  std::string name;  // stored name, at most 16 bytes
  uint32_t flags = 0;
  std::vector<ModelPoint> points;
  std::vector<ModelFace> faces;
  std::optional<int32_t> pointCapacity, faceCapacity;  // stored capacities, else the counts
  // Header and record fields, for bad files.
  std::optional<int32_t> pointStride, faceStride;  // else 32 and 92 (v1.0) or 96
  std::optional<uint32_t> recordLength;            // the sized record's length word
};

struct ModelObject {
  std::string name;          // at most 16 bytes
  uint32_t atom = kNoIndex;  // index into the atom-name table
  int32_t position[3] = {};  // 60000 to the metre
  uint32_t next = kNoIndex;  // index of the next object of the list
};

struct Model {
  std::vector<ModelObject> objects;
  std::vector<std::string> atomNames;  // the atom-name table, 16 bytes each
  std::string library;                 // the material library's file name; empty: none
  // Header fields, for bad files.
  std::optional<uint32_t> objectCount, atomCount, atomTableOffset, libraryOffset, recordLength;
};

struct ModelTexture {
  std::string name;  // the picture's file name, cut to the version's name field
  int32_t width = 0;
  int32_t word272 = 0;
};

struct ModelMaterial {
  int32_t place[2] = {};  // x, y of the texture's place, in texels
  uint32_t flags = 0;     // bit 0: no texture
  int32_t texture = 0;
  std::string name = {};  // bytes 32 to 47 of the record, zero-padded (the paint finds lamps by name)
};

struct MaterialLibrary {
  std::string name;  // stored in the header's name field
  std::vector<ModelTexture> textures;
  std::vector<ModelMaterial> materials;
  std::string matr = "MATR";  // reversed files store it reversed
  std::optional<uint32_t> textureCount, materialCount;
};

Bytes ObcBytes(const Model& model, const ModelFormat& format);
Bytes AtmBytes(const ModelAtom& atom, const ModelFormat& format);
Bytes MaterialBytes(const MaterialLibrary& library, const ModelFormat& format);
bool WriteBytes(const std::string& path, const Bytes& bytes);

}  // namespace datagen
