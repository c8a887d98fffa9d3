// Model file writer: the 48-byte header of object and atom files, sized
// object and atom records, fixed point and face records, and the material
// library's magic, header, texture entries and materials.
#include "datagen/modelwrite.h"

#include <algorithm>
#include <fstream>

#include "datagen/bytes.h"

namespace datagen {

namespace {

constexpr size_t kHeader = 48;
constexpr uint32_t kObjectWords = 34;
constexpr uint32_t kAtomWords = 15;
constexpr uint32_t kLibraryName = 256;
// A stored capacity above this is written as it stands, its records not:
// the file claims more than it holds.
constexpr int32_t kMostWrittenRecords = 4096;

int32_t RecordsWritten(int32_t capacity, int32_t count) {
  return std::max({count, 1, capacity <= kMostWrittenRecords ? capacity : 0});
}

// Records are written at the stored stride, unless it is beyond any real
// record: then at the usual one.
constexpr int32_t kLongestRecord = 4096;
int32_t WrittenStride(int32_t stride, int32_t usual) { return stride <= kLongestRecord ? stride : usual; }

std::string TagOf(const ModelFormat& format) {
  std::string tag = format.tag;
  tag.resize(4, ' ');
  if (format.reversed) std::reverse(tag.begin(), tag.end());
  return tag;
}

// Text of exactly n bytes: cut, or padded with zeros.
void PutText(Bytes& out, const std::string& text, size_t n) {
  for (size_t i = 0; i < n; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void Set32(Bytes& out, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes Header(const ModelFormat& format, const char* kind) {
  Bytes out;
  PutText(out, "POLDEX " + TagOf(format) + " " + kind, 16);
  out.resize(kHeader, 0);
  return out;
}

void PutWords(Bytes& out, const std::vector<uint32_t>& words) {
  for (uint32_t w : words) Put32(out, w);
}

// A sized record: its length word (counting itself), then the words.
void PutSized(Bytes& out, const std::vector<uint32_t>& words, std::optional<uint32_t> length) {
  Put32(out, length.value_or(static_cast<uint32_t>(4 + 4 * words.size())));
  PutWords(out, words);
}

// The first four words of a record: a name of 16 bytes.
void NameWords(std::vector<uint32_t>& words, const std::string& name) {
  Bytes text;
  PutText(text, name, 16);
  for (size_t i = 0; i < 4; ++i)
    words[i] = text[4 * i] | text[4 * i + 1] << 8 | text[4 * i + 2] << 16 |
               static_cast<uint32_t>(text[4 * i + 3]) << 24;
}

std::vector<uint32_t> ObjectWords(const ModelObject& object) {
  std::vector<uint32_t> words(kObjectWords, 0);
  NameWords(words, object.name);
  words[7] = object.atom;
  for (int i = 0; i < 3; ++i) words[14 + i] = static_cast<uint32_t>(object.position[i]);
  words[32] = object.next;
  return words;
}

void PutRecord(Bytes& out, std::vector<uint32_t> words, int32_t stride) {
  words.resize(static_cast<size_t>(std::max(stride, 0)) / 4, 0);
  PutWords(out, words);
  out.resize(out.size() + static_cast<size_t>(std::max(stride, 0)) % 4, 0);
}

std::vector<uint32_t> FaceWords(const ModelFace& f, bool old) {
  std::vector<uint32_t> w(old ? 23 : 24, 0);
  w[0] = static_cast<uint32_t>(f.nbPoints);
  for (int i = 0; i < 4; ++i) w[2 + i] = static_cast<uint32_t>(f.points[i]);
  for (int i = 0; i < 3; ++i) w[6 + i] = static_cast<uint32_t>(f.normal[i]);
  w[9] = f.material;
  w[10] = f.colour;
  w[11] = static_cast<uint32_t>(f.transparency);
  w[12] = static_cast<uint32_t>(f.type);
  w[14] = static_cast<uint32_t>(f.flags);
  for (int i = 0; i < 8; ++i) w[15 + i] = static_cast<uint32_t>(f.coords[i]) << 8;
  if (!old) w[23] = static_cast<uint32_t>(f.word23);
  return w;
}

}  // namespace

Bytes ObcBytes(const Model& model, const ModelFormat& format) {
  Bytes out = Header(format, "OBJC");
  for (const ModelObject& object : model.objects) PutSized(out, ObjectWords(object), model.recordLength);
  const uint32_t table = static_cast<uint32_t>(out.size());
  for (const std::string& name : model.atomNames) PutText(out, name, 16);
  const uint32_t library = static_cast<uint32_t>(out.size());
  if (!model.library.empty()) PutText(out, model.library, kLibraryName);
  Set32(out, 16, model.objectCount.value_or(static_cast<uint32_t>(model.objects.size())));
  Set32(out, 32, model.atomCount.value_or(static_cast<uint32_t>(model.atomNames.size())));
  Set32(out, 36, model.atomTableOffset.value_or(table));
  Set32(out, 44, model.libraryOffset.value_or(model.library.empty() ? 0x2D2D2D2D : library));
  return out;
}

Bytes AtmBytes(const ModelAtom& atom, const ModelFormat& format) {
  const bool old = format.tag == "v1.0";
  const int32_t pointStride = atom.pointStride.value_or(32);
  const int32_t faceStride = atom.faceStride.value_or(old ? 92 : 96);
  Bytes out = Header(format, "ATOM");
  Set32(out, 32, static_cast<uint32_t>(faceStride));
  Set32(out, 36, static_cast<uint32_t>(pointStride));
  const int32_t nbPoints = static_cast<int32_t>(atom.points.size()),
                nbFaces = static_cast<int32_t>(atom.faces.size());
  const int32_t pointCapacity = atom.pointCapacity.value_or(nbPoints);
  const int32_t faceCapacity = atom.faceCapacity.value_or(nbFaces);
  std::vector<uint32_t> words(kAtomWords, 0);
  NameWords(words, atom.name);
  words[4] = atom.flags;
  words[6] = static_cast<uint32_t>(nbPoints);
  words[7] = static_cast<uint32_t>(pointCapacity);
  words[8] = static_cast<uint32_t>(nbFaces);
  words[9] = static_cast<uint32_t>(faceCapacity);
  PutSized(out, words, atom.recordLength);
  // Capacity records follow the counts; a capacity of 0 still has one.
  for (int32_t i = 0; i < RecordsWritten(pointCapacity, nbPoints); ++i) {
    const ModelPoint p = i < nbPoints ? atom.points[static_cast<size_t>(i)] : ModelPoint{};
    PutRecord(out,
              {static_cast<uint32_t>(p.x), static_cast<uint32_t>(p.y), static_cast<uint32_t>(p.z),
               static_cast<uint32_t>(p.normal[0]), static_cast<uint32_t>(p.normal[1]),
               static_cast<uint32_t>(p.normal[2]), 0, 0},
              WrittenStride(pointStride, 32));
  }
  for (int32_t i = 0; i < RecordsWritten(faceCapacity, nbFaces); ++i)
    PutRecord(out, FaceWords(i < nbFaces ? atom.faces[static_cast<size_t>(i)] : ModelFace{}, old),
              WrittenStride(faceStride, old ? 92 : 96));
  return out;
}

Bytes MaterialBytes(const MaterialLibrary& library, const ModelFormat& format) {
  Bytes out;
  std::string matr = library.matr;
  if (format.reversed) std::reverse(matr.begin(), matr.end());
  PutText(out, "POLDEX " + TagOf(format) + " " + matr + std::string(16, '-'), 32);
  Bytes header(352, 0);
  for (size_t i = 0; i < library.name.size() && i < kLibraryName - 1; ++i)
    header[16 + i] = static_cast<uint8_t>(library.name[i]);
  Set32(header, 328, library.materialCount.value_or(static_cast<uint32_t>(library.materials.size())));
  Set32(header, 332, library.textureCount.value_or(static_cast<uint32_t>(library.textures.size())));
  out.insert(out.end(), header.begin(), header.end());
  const size_t nameBytes = format.tag == "v1.1" ? 13 : format.tag == "v1.2" ? 16 : 256;
  for (const ModelTexture& texture : library.textures) {
    PutText(out, texture.name, nameBytes);
    PutWords(out, {0, 0, 0, static_cast<uint32_t>(texture.width), static_cast<uint32_t>(texture.word272)});
  }
  if (format.tag == "v1.1") return out;
  for (const ModelMaterial& m : library.materials) {
    std::vector<uint32_t> words(18, 0);
    for (size_t i = 0; i < m.name.size() && i < 16; ++i)
      words[8 + i / 4] |= static_cast<uint32_t>(static_cast<uint8_t>(m.name[i])) << (8 * (i % 4));
    words[12] = static_cast<uint32_t>(m.place[0]);
    words[13] = static_cast<uint32_t>(m.place[1]);
    words[16] = m.flags;
    words[17] = static_cast<uint32_t>(m.texture);
    PutWords(out, words);
  }
  return out;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace datagen
