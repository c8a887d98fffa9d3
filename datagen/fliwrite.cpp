// FLI/FLC film writer: the header, blocks, frames and chunk encoders.
#include "datagen/fliwrite.h"
#include "datagen/bytes.h"

#include <algorithm>
#include <fstream>

namespace datagen {
namespace {

constexpr int kMaxRun = 127;          // longest run or copy of one packet
constexpr int kMaxSkipLines = 16384;  // most lines one DELTA_FLC skip word passes
constexpr int kFlcWordsMerged = 2;    // unchanged words kept inside a packet run
constexpr int kFliBytesMerged = 3;    // unchanged bytes kept inside a DELTA_FLI span
constexpr size_t kStampMax = 16;      // largest postage-stamp side

void Set16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  Set16(out, at, v & 0xFFFF);
  Set16(out, at + 2, v >> 16);
}

void PutChunk(std::vector<uint8_t>& out, const FilmChunk& chunk) {
  Put32(out, static_cast<uint32_t>(kChunkHeaderSize + chunk.data.size()));
  Put16(out, chunk.type);
  out.insert(out.end(), chunk.data.begin(), chunk.data.end());
}

// A 16-byte block header (size, type, chunk count, 8 bytes of zero).
void PutBlockHeader(std::vector<uint8_t>& out, uint32_t size, uint16_t type, uint16_t chunks) {
  Put32(out, size);
  Put16(out, type);
  Put16(out, chunks);
  out.insert(out.end(), 8, 0);
}

void PutFrame(std::vector<uint8_t>& out, const FilmFrame& frame) {
  uint32_t size = kFrameHeaderSize;
  for (const FilmChunk& c : frame.chunks) size += static_cast<uint32_t>(kChunkHeaderSize + c.data.size());
  PutBlockHeader(out, size, frame.type, static_cast<uint16_t>(frame.chunks.size()));
  for (const FilmChunk& c : frame.chunks) PutChunk(out, c);
}

// Length of the run of equal values from i, at most limit.
template <typename T>
int RunLength(const std::vector<T>& v, size_t i, size_t end, int limit) {
  int n = 1;
  while (i + n < end && n < limit && v[i + n] == v[i]) ++n;
  return n;
}

// Run-length packets of bytes [begin, end): a run is count c > 0 and the
// byte; a copy is -c and c bytes. Returns the packets written.
int BytePacketsRunFirst(const std::vector<uint8_t>& v, size_t begin, size_t end, std::vector<uint8_t>& out) {
  int packets = 0;
  for (size_t i = begin; i < end;) {
    const int run = RunLength(v, i, end, kMaxRun);
    if (run >= 3 || (run == 2 && i + 2 == end)) {
      out.push_back(static_cast<uint8_t>(run));
      out.push_back(v[i]);
      i += static_cast<size_t>(run);
    } else {
      size_t j = i;
      while (j < end && static_cast<int>(j - i) < kMaxRun && RunLength(v, j, end, 3) < 3) ++j;
      out.push_back(static_cast<uint8_t>(-static_cast<int>(j - i)));
      out.insert(out.end(), v.begin() + static_cast<ptrdiff_t>(i), v.begin() + static_cast<ptrdiff_t>(j));
      i = j;
    }
    ++packets;
  }
  return packets;
}

// DELTA_FLI's packets of one span: a copy is c > 0 and c bytes, a run -c
// and the byte; the first packet carries the skip.
int DeltaFliPackets(const std::vector<uint8_t>& v, size_t begin, size_t end, uint8_t skip,
                    std::vector<uint8_t>& out) {
  int packets = 0;
  for (size_t i = begin; i < end; ++packets) {
    out.push_back(packets == 0 ? skip : 0);
    const int run = RunLength(v, i, end, kMaxRun);
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(-run));
      out.push_back(v[i]);
      i += static_cast<size_t>(run);
    } else {
      size_t j = i;
      while (j < end && static_cast<int>(j - i) < kMaxRun && RunLength(v, j, end, 3) < 3) ++j;
      out.push_back(static_cast<uint8_t>(j - i));
      out.insert(out.end(), v.begin() + static_cast<ptrdiff_t>(i), v.begin() + static_cast<ptrdiff_t>(j));
      i = j;
    }
  }
  return packets;
}

// DELTA_FLC's packets of words [begin, end) of a line; the first carries
// the skip in pixels.
int DeltaFlcPackets(const std::vector<uint16_t>& words, size_t begin, size_t end, uint8_t skip,
                    std::vector<uint8_t>& out) {
  int packets = 0;
  for (size_t i = begin; i < end; ++packets) {
    out.push_back(packets == 0 ? skip : 0);
    const int run = RunLength(words, i, end, kMaxRun);
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(-run));
      Put16(out, words[i]);
      i += static_cast<size_t>(run);
    } else {
      size_t j = i;
      while (j < end && static_cast<int>(j - i) < kMaxRun && RunLength(words, j, end, 2) < 2) ++j;
      out.push_back(static_cast<uint8_t>(j - i));
      for (size_t k = i; k < j; ++k) Put16(out, words[k]);
      i = j;
    }
  }
  return packets;
}

std::vector<uint8_t> Row(const FilmPicture& p, int y) {
  const auto* at = p.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width);
  return std::vector<uint8_t>(at, at + p.width);
}

// One line of DELTA_FLC, from its words (pixel pairs 2k, 2k + 1): the
// packet count word and the packets; returns false when no word changed.
// Gaps longer than a skip byte holds are crossed by copying one word.
bool FlcLinePackets(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, std::vector<uint8_t>& out) {
  const size_t pairs = b.size() / 2;
  std::vector<uint16_t> words(pairs);
  std::vector<bool> changed(pairs);
  for (size_t k = 0; k < pairs; ++k) {
    words[k] = static_cast<uint16_t>(b[2 * k] | b[2 * k + 1] << 8);
    changed[k] = a[2 * k] != b[2 * k] || a[2 * k + 1] != b[2 * k + 1];
  }
  std::vector<uint8_t> packets;
  int count = 0;
  size_t word = 0;  // next word not yet passed
  for (size_t k = 0; k < pairs;) {
    while (k < pairs && !changed[k]) ++k;
    if (k == pairs) break;
    while (2 * (k - word) > 255) {  // skip 254 pixels, then copy one word
      count += DeltaFlcPackets(words, word + 127, word + 128, 254, packets);
      word += 128;
    }
    size_t end = k + 1;
    for (size_t m = end; m < pairs && m - end < static_cast<size_t>(kFlcWordsMerged) + 1; ++m)
      if (changed[m]) end = m + 1;
    count += DeltaFlcPackets(words, k, end, static_cast<uint8_t>(2 * (k - word)), packets);
    word = k = end;
  }
  if (count == 0) return false;
  Put16(out, static_cast<uint32_t>(count));
  out.insert(out.end(), packets.begin(), packets.end());
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeFilm(const Film& film) {
  std::vector<uint8_t> out(kFilmHeaderSize, 0);
  Set16(out, 4, film.flc ? kFlcMagic : kFliMagic);
  Set16(out, 6, static_cast<uint32_t>(film.frames.size()));
  Set16(out, 8, film.width);
  Set16(out, 10, film.height);
  Set16(out, 12, 8);
  if (film.flc) {
    Set16(out, 14, 3);
    Set32(out, 16, film.speed);
  } else {
    Set16(out, 16, film.speed);
  }
  if (film.hasPrefix) {
    PutBlockHeader(out, static_cast<uint32_t>(kFrameHeaderSize + film.prefix.size()), kPrefixType, 0);
    out.insert(out.end(), film.prefix.begin(), film.prefix.end());
  }
  std::vector<uint32_t> offsets;
  for (const FilmFrame& frame : film.frames) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    PutFrame(out, frame);
  }
  offsets.push_back(static_cast<uint32_t>(out.size()));
  if (film.hasRing) PutFrame(out, film.ring);
  if (film.flc) {
    Set32(out, kFirstFrameField, offsets[0]);
    Set32(out, kSecondFrameField, offsets[std::min<size_t>(1, offsets.size() - 1)]);
  }
  Set32(out, 0, static_cast<uint32_t>(out.size()));
  return out;
}

bool WriteFilm(const std::string& path, const Film& film) {
  const std::vector<uint8_t> bytes = EncodeFilm(film);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

FilmChunk PaletteChunk(uint16_t type, const std::vector<PalettePacket>& packets) {
  FilmChunk chunk{type, {}};
  Put16(chunk.data, static_cast<uint32_t>(packets.size()));
  for (const PalettePacket& p : packets) {
    chunk.data.push_back(p.skip);
    chunk.data.push_back(p.count);
    chunk.data.insert(chunk.data.end(), p.rgb.begin(), p.rgb.end());
  }
  return chunk;
}

FilmChunk Color256Chunk(const std::vector<uint8_t>& rgb) {
  return PaletteChunk(kColor256, {{0, 0, rgb}});
}

FilmChunk Color64Chunk(const std::vector<uint8_t>& rgb) {
  return PaletteChunk(kColor64, {{0, 0, rgb}});
}

FilmChunk ByteRunChunk(const FilmPicture& picture) {
  FilmChunk chunk{kByteRun, {}};
  for (int y = 0; y < picture.height; ++y) {
    std::vector<uint8_t> packets;
    const int count = BytePacketsRunFirst(Row(picture, y), 0, static_cast<size_t>(picture.width), packets);
    chunk.data.push_back(static_cast<uint8_t>(std::min(count, 255)));
    chunk.data.insert(chunk.data.end(), packets.begin(), packets.end());
  }
  return chunk;
}

FilmChunk FliCopyChunk(const FilmPicture& picture) { return {kFliCopy, picture.pixels}; }

FilmChunk BlackChunk() { return {kBlack, {}}; }

FilmChunk StampChunk(const FilmPicture& picture) {
  FilmPicture thumb;
  thumb.width = static_cast<int>(std::min<size_t>(kStampMax, static_cast<size_t>(picture.width)));
  thumb.height = static_cast<int>(std::min<size_t>(kStampMax, static_cast<size_t>(picture.height)));
  for (int y = 0; y < thumb.height; ++y)
    for (int x = 0; x < thumb.width; ++x)
      thumb.pixels.push_back(picture.pixels[static_cast<size_t>(y * picture.height / thumb.height) *
                                                static_cast<size_t>(picture.width) +
                                            static_cast<size_t>(x * picture.width / thumb.width)]);
  FilmChunk chunk{kPostageStamp, {}};
  Put16(chunk.data, static_cast<uint32_t>(thumb.height));
  Put16(chunk.data, static_cast<uint32_t>(thumb.width));
  Put16(chunk.data, 1);  // colours translated to the six-cube
  PutChunk(chunk.data, ByteRunChunk(thumb));
  return chunk;
}

bool DeltaFlcChunk(const FilmPicture& from, const FilmPicture& to, FilmChunk& chunk) {
  chunk = {kDeltaFlc, {0, 0}};
  const bool oddWidth = to.width % 2 != 0;
  uint32_t lines = 0;
  int skipped = 0;
  for (int y = 0; y < to.height; ++y) {
    const std::vector<uint8_t> a = Row(from, y), b = Row(to, y);
    std::vector<uint8_t> line;
    const bool words = FlcLinePackets(a, b, line);
    const bool last = oddWidth && a.back() != b.back();
    if (!words && !last) {
      ++skipped;
      continue;
    }
    for (; skipped > 0; skipped -= std::min(skipped, kMaxSkipLines))
      Put16(chunk.data, static_cast<uint16_t>(-std::min(skipped, kMaxSkipLines)));
    if (last) Put16(chunk.data, 0x8000u | b.back());
    if (!words) Put16(chunk.data, 0);
    chunk.data.insert(chunk.data.end(), line.begin(), line.end());
    ++lines;
  }
  Set16(chunk.data, 0, lines);
  return lines > 0;
}

bool DeltaFliChunk(const FilmPicture& from, const FilmPicture& to, FilmChunk& chunk) {
  int first = -1, last = -1;
  for (int y = 0; y < to.height; ++y)
    if (Row(from, y) != Row(to, y)) {
      if (first < 0) first = y;
      last = y;
    }
  if (first < 0) return false;
  chunk = {kDeltaFli, {}};
  Put16(chunk.data, static_cast<uint32_t>(first));
  Put16(chunk.data, static_cast<uint32_t>(last - first + 1));
  for (int y = first; y <= last; ++y) {
    const std::vector<uint8_t> a = Row(from, y), b = Row(to, y);
    std::vector<uint8_t> packets;
    int count = 0;
    size_t x = 0;
    for (size_t k = 0; k < b.size();) {
      while (k < b.size() && a[k] == b[k]) ++k;
      if (k == b.size()) break;
      for (; k - x > 255; x += 255, ++count) packets.insert(packets.end(), {255, 0});
      size_t end = k + 1;
      for (size_t m = end; m < b.size() && m - end < static_cast<size_t>(kFliBytesMerged) + 1; ++m)
        if (a[m] != b[m]) end = m + 1;
      count += DeltaFliPackets(b, k, end, static_cast<uint8_t>(k - x), packets);
      x = k = end;
    }
    if (count > 255) {  // too many small changes: copy the row whole instead
      packets.clear();
      count = DeltaFliPackets(b, 0, b.size(), 0, packets);
    }
    chunk.data.push_back(static_cast<uint8_t>(count));
    chunk.data.insert(chunk.data.end(), packets.begin(), packets.end());
  }
  return true;
}

Film MakeFilm(bool flc, const std::vector<FilmPicture>& pictures, const std::vector<uint8_t>& rgb,
              uint32_t speed) {
  Film film;
  film.flc = flc;
  if (pictures.empty()) return film;
  film.width = static_cast<uint16_t>(pictures[0].width);
  film.height = static_cast<uint16_t>(pictures[0].height);
  film.speed = speed;
  std::vector<uint8_t> rgb64(rgb.size());
  std::transform(rgb.begin(), rgb.end(), rgb64.begin(), [](uint8_t c) { return static_cast<uint8_t>(c >> 2); });
  FilmFrame first;
  first.chunks.push_back(flc ? Color256Chunk(rgb) : Color64Chunk(rgb64));
  first.chunks.push_back(ByteRunChunk(pictures[0]));
  film.frames.push_back(first);
  auto delta = [flc](const FilmPicture& a, const FilmPicture& b) {
    FilmFrame frame;
    FilmChunk chunk;
    if (flc ? DeltaFlcChunk(a, b, chunk) : DeltaFliChunk(a, b, chunk)) frame.chunks.push_back(chunk);
    return frame;
  };
  for (size_t i = 1; i < pictures.size(); ++i) film.frames.push_back(delta(pictures[i - 1], pictures[i]));
  film.hasRing = true;
  film.ring = delta(pictures.back(), pictures.front());
  return film;
}

}  // namespace datagen
