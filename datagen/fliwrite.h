// Writes Autodesk FLI and FLC films: the 128-byte header, an optional
// prefix block, frames of chunks, the ring frame, and the chunk encoders
// (run-length, word and byte line deltas, palettes, black, copy, stamp)
// that make them from 8-bit pictures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

constexpr uint16_t kFliMagic = 0xAF11;
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFrameType = 0xF1FA;
constexpr uint16_t kPrefixType = 0xF100;
constexpr uint32_t kFilmHeaderSize = 128;
constexpr uint32_t kFrameHeaderSize = 16;
constexpr uint32_t kChunkHeaderSize = 6;
constexpr uint32_t kFirstFrameField = 80;   // FLC: offset of the first frame
constexpr uint32_t kSecondFrameField = 84;  // FLC: offset of the second frame

// Chunk types.
constexpr uint16_t kColor256 = 4;
constexpr uint16_t kDeltaFlc = 7;
constexpr uint16_t kColor64 = 11;
constexpr uint16_t kDeltaFli = 12;
constexpr uint16_t kBlack = 13;
constexpr uint16_t kByteRun = 15;
constexpr uint16_t kFliCopy = 16;
constexpr uint16_t kPostageStamp = 18;

struct FilmChunk {
  uint16_t type = 0;
  std::vector<uint8_t> data;  // what follows the 6-byte chunk header
};

struct FilmFrame {
  uint16_t type = kFrameType;
  std::vector<FilmChunk> chunks;
};

struct Film {
  bool flc = true;  // FLC (speed in ms), else FLI (speed in 1/70 s)
  uint16_t width = 0, height = 0;
  uint32_t speed = 0;
  bool hasPrefix = false;       // a block of type 0xF100 before the first frame
  std::vector<uint8_t> prefix;  // its body, after its 16-byte header
  std::vector<FilmFrame> frames;
  bool hasRing = false;  // a last frame, not counted, that leads back to the first
  FilmFrame ring;
};

// An 8-bit picture: width x height palette indices, row after row.
struct FilmPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// One palette packet: skip, count byte (0 means 256) and count colours of
// three components each.
struct PalettePacket {
  uint8_t skip = 0;
  uint8_t count = 0;
  std::vector<uint8_t> rgb;
};

// The file's bytes: the header gives the frame count (the ring excluded)
// and, for FLC, the offsets of the first and second frames.
std::vector<uint8_t> EncodeFilm(const Film& film);
bool WriteFilm(const std::string& path, const Film& film);

// Chunks. The palette ones take 256 colours of three components (0-255
// for COLOR_256, 0-63 for COLOR_64) and write them as one packet.
FilmChunk Color256Chunk(const std::vector<uint8_t>& rgb);
FilmChunk Color64Chunk(const std::vector<uint8_t>& rgb);
FilmChunk PaletteChunk(uint16_t type, const std::vector<PalettePacket>& packets);
FilmChunk ByteRunChunk(const FilmPicture& picture);
FilmChunk FliCopyChunk(const FilmPicture& picture);
FilmChunk BlackChunk();
// A thumbnail of the picture (at most 16 x 16) as a postage stamp.
FilmChunk StampChunk(const FilmPicture& picture);
// The line deltas from one picture to the next of the same size; false
// when nothing changed (the frame then needs no chunk).
bool DeltaFlcChunk(const FilmPicture& from, const FilmPicture& to, FilmChunk& chunk);
bool DeltaFliChunk(const FilmPicture& from, const FilmPicture& to, FilmChunk& chunk);

// A film of the pictures: the first frame is the palette and a run-length
// picture, each later frame the delta from the one before (DELTA_FLC for
// FLC, DELTA_FLI for FLI), and the ring frame the delta from the last
// picture back to the first. The palette is 256 colours of 0-255
// components, written as COLOR_256 (FLC) or COLOR_64 (FLI, divided by 4).
Film MakeFilm(bool flc, const std::vector<FilmPicture>& pictures, const std::vector<uint8_t>& rgb,
              uint32_t speed);

}  // namespace datagen
