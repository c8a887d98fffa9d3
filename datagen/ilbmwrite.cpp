// ILBM writer: BMHD, CMAP and a BODY of bit-plane rows, raw or ByteRun1.
#include "datagen/ilbmwrite.h"

#include <string>

namespace datagen {
namespace {

void PutBE16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  PutBE16(out, v >> 16);
  PutBE16(out, v & 0xFFFF);
}

void PutChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& data) {
  out.insert(out.end(), id, id + 4);
  PutBE32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
}

// Runs of three or more as (257 - n, value), the rest as literal packets.
std::vector<uint8_t> ByteRun1(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out;
  const size_t size = raw.size();
  auto runAt = [&](size_t i) { return i + 2 < size && raw[i] == raw[i + 1] && raw[i] == raw[i + 2]; };
  for (size_t i = 0; i < size;) {
    if (runAt(i)) {
      size_t run = 3;
      while (i + run < size && run < 128 && raw[i + run] == raw[i]) ++run;
      out.push_back(static_cast<uint8_t>(257 - run));
      out.push_back(raw[i]);
      i += run;
      continue;
    }
    size_t n = 1;
    while (i + n < size && n < 128 && !runAt(i + n)) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), raw.begin() + static_cast<long>(i), raw.begin() + static_cast<long>(i + n));
    i += n;
  }
  return out;
}

std::vector<uint8_t> Planes(const Picture8& picture, int planes) {
  const int rowBytes = (picture.width + 15) / 16 * 2;
  std::vector<uint8_t> body;
  body.reserve(static_cast<size_t>(rowBytes) * planes * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const uint8_t* row = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
    for (int p = 0; p < planes; ++p)
      for (int i = 0; i < rowBytes; ++i) {
        uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
          const int x = i * 8 + bit;
          if (x < picture.width && ((row[x] >> p) & 1)) byte = static_cast<uint8_t>(byte | (0x80 >> bit));
        }
        body.push_back(byte);
      }
  }
  return body;
}

}  // namespace

std::vector<uint8_t> EncodeIlbm(const Picture8& picture, int planes, bool compress) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 65535 || picture.height > 65535 ||
      planes < 1 || planes > 8 || picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height ||
      picture.palette.size() != 768)
    return {};
  std::vector<uint8_t> bmhd;
  PutBE16(bmhd, static_cast<uint32_t>(picture.width));
  PutBE16(bmhd, static_cast<uint32_t>(picture.height));
  PutBE32(bmhd, 0);  // position
  bmhd.push_back(static_cast<uint8_t>(planes));
  bmhd.push_back(0);  // no mask
  bmhd.push_back(compress ? 1 : 0);
  bmhd.push_back(0);
  PutBE16(bmhd, 0);  // transparent colour
  bmhd.push_back(10);  // aspect
  bmhd.push_back(11);
  PutBE16(bmhd, static_cast<uint32_t>(picture.width));
  PutBE16(bmhd, static_cast<uint32_t>(picture.height));
  const std::vector<uint8_t> cmap(picture.palette.begin(), picture.palette.begin() + (3 << planes));
  const std::vector<uint8_t> raw = Planes(picture, planes);
  std::vector<uint8_t> inner{'I', 'L', 'B', 'M'};
  PutChunk(inner, "BMHD", bmhd);
  PutChunk(inner, "CMAP", cmap);
  PutChunk(inner, "BODY", compress ? ByteRun1(raw) : raw);
  std::vector<uint8_t> out{'F', 'O', 'R', 'M'};
  PutBE32(out, static_cast<uint32_t>(inner.size()));
  out.insert(out.end(), inner.begin(), inner.end());
  return out;
}

}  // namespace datagen
