// Films: bad files and bad chunks get null or their message, never a
// crash, a leak, an open file left behind, a write outside the frame
// bitmap or a read outside the chunk.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datagen/bytes.h"
#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/system/film_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using datagen::FilmPicture;
using datagen::Put32;

// A chunk with its header, of its true size or of the size given.
Bytes Chunk(uint16_t type, const Bytes& data, uint32_t size = 0) {
  Bytes out;
  Put32(out, size ? size : static_cast<uint32_t>(6 + data.size()));
  datagen::Put16(out, type);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}
Bytes Frame(uint16_t chunks, const Bytes& body, uint16_t type = datagen::kFrameType) {
  Bytes out;
  Put32(out, static_cast<uint32_t>(16 + body.size()));
  datagen::Put16(out, type);
  datagen::Put16(out, chunks);
  out.insert(out.end(), 8, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes With32(Bytes b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  return b;
}

// A film of raw blocks after the header; the header counts frames.
Bytes RawFilm(bool flc, uint16_t frames, const Bytes& blocks) {
  datagen::Film film;
  film.flc = flc;
  film.width = film.height = 4;
  Bytes out = datagen::EncodeFilm(film);
  out[FLI_FRAMES_FIELD] = static_cast<uint8_t>(frames);
  out.insert(out.end(), blocks.begin(), blocks.end());
  return out;
}

// A frame bitmap whose pixels sit between guard bytes, before, after and
// at the end of every row, so that a stray write shows.
struct GuardedFrame {
  static constexpr int kGuard = 16;
  static constexpr uint8_t kMark = 0xEE;
  Bytes store;
  BMAP bmap{};
  GuardedFrame(int32_t width, int32_t height, int32_t format) {
    const int32_t bytes = format == BMAP_PAL8 ? 1 : 2;
    bmap.SizeX = width;
    bmap.SizeY = height;
    bmap.ByteLen = width * bytes + kGuard;
    bmap.Depth = 8 * bytes;
    bmap.Format = format;
    bmap.LockCount = 1;
    store.assign(static_cast<size_t>(2 * kGuard + bmap.ByteLen * height), kMark);
    bmap.Start = store.data() + kGuard;
    for (int32_t y = 0; y < height; ++y) std::fill_n(bmap.Start + y * bmap.ByteLen, width * bytes, 0);
  }
  bool Intact() const {
    const int64_t used = bmap.SizeX * bmap.Depth / 8, end = int64_t{bmap.ByteLen} * bmap.SizeY;
    for (int64_t at = -kGuard; at < static_cast<int64_t>(store.size()) - kGuard; ++at)
      if (!(at >= 0 && at < end && at % bmap.ByteLen < used) && store[static_cast<size_t>(at + kGuard)] != kMark) return false;
    return true;
  }
};

class FliBadInputTest : public ztest::FilmTest {
 protected:
  // A one-frame 7 x 5 film to decode loose chunks with.
  FLI* Host(int32_t format) {
    Put("HOST.FLC", datagen::MakeFilm(true, ztest::FilmPictures(7, 5, 1), ztest::FilmPalette(), 1));
    return LS_OpenFli("HOST.FLC", FLI_MODE_MEMORY, 0, format);
  }
  // Decodes chunks from a block of exactly their size into a guarded
  // frame of the host film.
  static void DecodeGuarded(FLI* fli, GuardedFrame& frame, const Bytes& chunks, uint32_t count) {
    BMAP* own = fli->Bmap;
    fli->Bmap = &frame.bmap;
    std::vector<uint8_t> exact(chunks);
    LS_LockBmap(&frame.bmap);
    LSI_DecodeFliChunks(fli, exact.data(), static_cast<uint32_t>(exact.size()), count);
    LS_UnlockBmap(&frame.bmap);
    fli->Bmap = own;
  }
  // Plays the film in both modes, one frame for each picture given, and
  // checks that each frame shows it: bad blocks and chunks end their
  // frame (the black chunks after them never run) and the film goes on.
  void Plays(const Bytes& film, const std::vector<const FilmPicture*>& shown) {
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      WriteBytes("F.FLC", film);
      FLI* fli = LS_OpenFli("F.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      for (size_t i = 0; i < shown.size(); ++i) {
        LS_PlayFliFrame(fli);
        EXPECT_EQ(Shown(fli), Expected(fli, *shown[i])) << "mode " << mode << " frame " << i;
      }
      LS_CloseFli(fli);
    }
  }
};

TEST_F(FliBadInputTest, BadHeadersAndBlocksOpenNothing) {
  const int files = ztest::OpenDescriptors();
  const Bytes good = RawFilm(true, 1, Frame(0, {}));
  Bytes prefix;
  Put32(prefix, 0);
  datagen::Put16(prefix, datagen::kPrefixType);
  prefix.insert(prefix.end(), 10, 0);
  const std::pair<const char*, Bytes> rows[] = {
      {"header cut short", Bytes(good.begin(), good.begin() + 100)},
      {"wrong magic", [&] { Bytes b = good; b[5] = 0xAE; return b; }()},
      {"width 0", [&] { Bytes b = good; b[FLI_WIDTH_FIELD] = 0; return b; }()},
      {"first frame inside the header", With32(good, FLI_FIRST_FRAME_FIELD, 0x7F)},
      {"first frame past the end", With32(good, FLI_FIRST_FRAME_FIELD, 0xFFFFFFFF)},
      {"first frame cut", With32(good, FLI_FIRST_FRAME_FIELD, static_cast<uint32_t>(good.size() - 15))},
      {"block of size 0", RawFilm(false, 1, Cat({prefix, Frame(0, {})}))},
      {"block past the end", RawFilm(false, 1, Cat({With32(prefix, 0, 1000), Frame(0, {})}))},
      {"no frame", RawFilm(false, 1, {})},
  };
  for (const auto& [what, bytes] : rows)
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      WriteBytes("BAD.FLC", bytes);
      EXPECT_EQ(LS_OpenFli("BAD.FLC", mode, 0, BMAP_PAL8), nullptr) << what;
      EXPECT_EQ(ztest::OpenDescriptors(), files) << what;
    }
  WriteBytes("OK.FLC", good);
  for (int32_t mode : {0, 3}) EXPECT_EQ(LS_OpenFli("OK.FLC", mode, 0, BMAP_PAL8), nullptr);
  EXPECT_EQ(LS_OpenFli("OK.FLC", FLI_MODE_MEMORY, 0, 12345), nullptr);  // no such format
  EXPECT_EQ(ztest::OpenDescriptors(), files);
  EXPECT_EQ(LS_OpenFli("NONE.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8), nullptr);
  EXPECT_EQ(LS_GetLastError(), 4u);
}

TEST_F(FliBadInputTest, BadFramesAreReportedAndPassedOver) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 3), q = ztest::FilmPictureOf(4, 4, 2);
  const Bytes first = Frame(1, Chunk(16, p.pixels)), black = Frame(1, Chunk(13, {}));
  // A second frame of a bad size: the film starts again at the first.
  for (uint32_t size : {0u, 15u, 5000u}) Plays(RawFilm(true, 3, Cat({first, With32(black, 0, size), black})), {&p, &p});
  // A block that is not a frame is passed over; the second frame's offset
  // is not needed to start again.
  const Bytes notFrame = Frame(1, Chunk(13, {}), 0x1234);
  Plays(With32(RawFilm(true, 3, Cat({first, notFrame, Frame(1, Chunk(16, q.pixels))})), FLI_SECOND_FRAME_FIELD,
               0xFFFFFFFF),
        {&p, &p, &q, &p});
  EXPECT_EQ(Logged("Bad .FLC format"), 4 + 2);
  EXPECT_EQ(Logged(".FLC Frame too big (>0ko)"), 2);
}

TEST_F(FliBadInputTest, BadChunkSizesAndCountsEndTheFrame) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 5);
  const Bytes copy = Chunk(16, p.pixels);
  for (const Bytes& frame : {
           Frame(3, copy),                                  // more chunks counted than held
           Frame(2, Cat({copy, Chunk(13, {0, 0}, 5)})),     // size 5
           Frame(2, Cat({copy, Chunk(13, {}, 0xFFFFFFFF)})),
           Frame(2, Cat({copy, Chunk(13, {1, 2}, 100)})),   // past the frame
           Frame(2, Cat({copy, {1, 2, 3}})),                 // a header cut short
       })
    Plays(RawFilm(true, 1, frame), {&p});
  EXPECT_EQ(Logged("Bad .FLC format"), 10);
}

TEST_F(FliBadInputTest, UnknownChunkIsReportedAndSkipped) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 6);
  const Bytes chunks = Cat({Chunk(99, {1, 2, 3, 4, 5}), Chunk(0x7123, {}), Chunk(15, datagen::ByteRunChunk(p).data)});
  Plays(RawFilm(true, 1, Frame(3, chunks)), {&p});
  EXPECT_EQ(Logged("Unrecognized Chunk 0x63") + Logged("Unrecognized Chunk 0x7123"), 4);
}

TEST_F(FliBadInputTest, PaletteRunningPastTheLastColourStopsThere) {
  FLI* fli = Host(BMAP_RGB565);
  ASSERT_NE(fli, nullptr);
  GuardedFrame frame(7, 5, BMAP_RGB565);
  const uint32_t lookup200 = fli->Lookup[200];
  Bytes data{2, 0, 250, 10};
  data.insert(data.end(), 30, 0x7F);
  data.insert(data.end(), {200, 0});  // second packet: never reached
  DecodeGuarded(fli, frame, Chunk(4, data), 1);
  EXPECT_EQ((std::tuple{fli->Colors[250], fli->Colors[255], fli->Lookup[200]}), (std::tuple{0x7F7F7Fu, 0x7F7F7Fu, lookup200}));
  // Counts and skips that run out of data, and empty chunks.
  DecodeGuarded(fli, frame, Cat({Chunk(4, {0xFF, 0xFF, 0, 0, 1, 2, 3, 4}), Chunk(11, {}), Chunk(4, {5})}), 3);
  EXPECT_EQ((std::tuple{fli->Colors[0], fli->Colors[1]}), (std::tuple{0x010203u, 0u}));  // the second not reached
  LS_CloseFli(fli);
  EXPECT_TRUE(frame.Intact());
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliBadInputTest, RunsAndDeltasAreClippedToTheFrameAndTheChunk) {
  const std::vector<Bytes> chunks = {
      Chunk(15, {0, 127, 1, 0, 0x81, 2, 3}),                        // run past the row, copy past the chunk
      Chunk(15, {0, 5, 3, 0, 3}),                                    // a row cut short
      Chunk(16, Bytes(3, 4)),                                        // copy: fewer bytes than a picture
      Chunk(16, Bytes(500, 5)),                                      // copy: more
      Chunk(12, {0xFF, 0xFF, 5, 0}),                                 // first line past the frame
      Chunk(12, {3, 0, 100, 0, 2, 250, 3, 1, 2, 3, 0, 0x80, 6}),     // lines past the last, skip past the row
      Chunk(12, {0, 0, 1, 0, 1, 2, 127, 1}),                         // copy past the chunk
      Chunk(7, {0xE8, 0x03, 0x00, 0xC0, 0x00, 0xC0}),                // skips past the last line
      Chunk(7, {3, 0, 1, 0, 250, 2, 1, 2, 3, 4, 0x09, 0x80, 1, 0}),  // skip past the row, last pixel
      Chunk(7, {2, 0, 2, 0, 0, 0x80, 7, 8, 0, 127, 1, 2}),           // run past the row, copy past the chunk
      Chunk(7, {0x10, 0, 0xFF, 0xFF, 0x01, 0x40, 0x00, 0x40, 0x05, 0x80}),  // unwanted codes, cut short
      Chunk(7, {1, 0, 1, 0, 0, 0}),                                  // count 0 without its word
  };
  for (int32_t format : {BMAP_PAL8, BMAP_RGB555}) {
    FLI* fli = Host(format);
    ASSERT_NE(fli, nullptr);
    GuardedFrame frame(7, 5, format);
    for (const Bytes& c : chunks) DecodeGuarded(fli, frame, c, 1);
    EXPECT_TRUE(frame.Intact()) << format;
    LS_CloseFli(fli);
  }
}

TEST_F(FliBadInputTest, RandomChunksNeverWriteOutsideTheFrame) {
  std::mt19937 random(20240611);
  const uint16_t types[] = {4, 7, 11, 12, 13, 15, 16, 18};
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  for (int32_t format : {BMAP_PAL8, BMAP_RGB565}) {
    FLI* fli = Host(format);
    ASSERT_NE(fli, nullptr);
    for (auto [width, height] : {std::pair{7, 5}, std::pair{1, 1}, std::pair{16, 3}}) {
      GuardedFrame frame(width, height, format);
      for (int i = 0; i < 2000; ++i) {
        Bytes data(random() % 64);
        for (uint8_t& b : data) b = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random());
        DecodeGuarded(fli, frame, Chunk(types[random() % 8], data), 1 + random() % 3);
      }
      EXPECT_TRUE(frame.Intact()) << format << " " << width;
    }
    LS_CloseFli(fli);
  }
}

TEST_F(FliBadInputTest, FileCutWhilePlayingInFileMode) {
  const Bytes film =
      datagen::EncodeFilm(datagen::MakeFilm(true, ztest::FilmPictures(40, 30, 6), ztest::FilmPalette(), 1));
  WriteBytes("CUT.FLC", film);
  FLI* fli = LS_OpenFli("CUT.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  LS_PlayFliFrame(fli);
  std::filesystem::resize_file(root_ + "/CUT.FLC", static_cast<uintmax_t>(film.size() / 2));
  for (int i = 0; i < 12; ++i) LS_PlayFliFrame(fli);
  EXPECT_GT(Logged("Frame too big"), 0);
  EXPECT_LT(fli->CurrentFrame, 6);
  LS_CloseFli(fli);
}

}  // namespace
