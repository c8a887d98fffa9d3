// Films: bad files and bad chunks get null or their message, never a
// crash, a leak, an open file left behind, a write outside the frame
// bitmap or a read outside the chunk.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/system/film_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using datagen::FilmPicture;

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A chunk with its header, of its true size or of the size given.
Bytes Chunk(uint16_t type, const Bytes& data) {
  Bytes out;
  Put32(out, static_cast<uint32_t>(6 + data.size()));
  Put16(out, type);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}
Bytes ChunkSized(uint32_t size, uint16_t type, const Bytes& data) {
  Bytes out;
  Put32(out, size);
  Put16(out, type);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}
Bytes Frame(uint16_t chunks, const Bytes& body, uint16_t type = datagen::kFrameType) {
  Bytes out;
  Put32(out, static_cast<uint32_t>(16 + body.size()));
  Put16(out, type);
  Put16(out, chunks);
  out.insert(out.end(), 8, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A film of raw blocks after the header; the header counts frames.
Bytes RawFilm(bool flc, uint16_t width, uint16_t height, uint16_t frames, const Bytes& blocks) {
  datagen::Film film;
  film.flc = flc;
  film.width = width;
  film.height = height;
  Bytes out = datagen::EncodeFilm(film);
  out[6] = static_cast<uint8_t>(frames);
  out[7] = static_cast<uint8_t>(frames >> 8);
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
    const int32_t used = bmap.SizeX * bmap.Depth / 8;
    for (size_t i = 0; i < store.size(); ++i) {
      const auto at = static_cast<int64_t>(i) - kGuard;
      const bool pixel = at >= 0 && at < static_cast<int64_t>(bmap.ByteLen) * bmap.SizeY && at % bmap.ByteLen < used;
      if (!pixel && store[i] != kMark) return false;
    }
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
  // Decodes one chunk from a block of exactly its size into a guarded
  // frame of the host film.
  void DecodeGuarded(FLI* fli, GuardedFrame& frame, const Bytes& chunks, uint32_t count) {
    BMAP* own = fli->Bmap;
    fli->Bmap = &frame.bmap;
    auto* exact = new uint8_t[chunks.size() ? chunks.size() : 1];
    std::copy(chunks.begin(), chunks.end(), exact);
    LS_LockBmap(&frame.bmap);
    LSI_DecodeFliChunks(fli, exact, static_cast<uint32_t>(chunks.size()), count);
    LS_UnlockBmap(&frame.bmap);
    delete[] exact;
    fli->Bmap = own;
  }
};

TEST_F(FliBadInputTest, MissingFileIsErrorFour) {
  EXPECT_EQ(LS_OpenFli("NONE.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8), nullptr);
  EXPECT_EQ(LS_GetLastError(), 4u);
  EXPECT_NE(ErrorFile().find("File not found"), std::string::npos);
}

TEST_F(FliBadInputTest, BadHeadersOpenNothing) {
  const int files = ztest::OpenDescriptors();
  const int16_t bitmaps = LSI_Var.NbBmap;
  Bytes good = RawFilm(true, 4, 4, 1, Frame(0, {}));
  auto refused = [&](const Bytes& bytes, int32_t mode = FLI_MODE_MEMORY) {
    WriteBytes("BAD.FLC", bytes);
    EXPECT_EQ(LS_OpenFli("BAD.FLC", mode, 0, BMAP_PAL8), nullptr);
    EXPECT_EQ(LSI_Var.NbBmap, bitmaps);
    EXPECT_EQ(ztest::OpenDescriptors(), files);
  };
  for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
    SCOPED_TRACE(mode);
    refused(Bytes(good.begin(), good.begin() + 100), mode);  // header cut short
    Bytes b = good;
    b[5] = 0xAE;  // wrong magic
    refused(b, mode);
    b = good;
    b[8] = 0;  // width 0
    refused(b, mode);
    b = good;
    b[10] = 0;  // height 0
    refused(b, mode);
    for (uint32_t offset : {0x7Fu, 0x1000u, 0xFFFFFFFFu, static_cast<uint32_t>(good.size() - 15)}) {
      b = good;
      for (int i = 0; i < 4; ++i) b[80 + i] = static_cast<uint8_t>(offset >> (8 * i));
      refused(b, mode);  // first frame outside the file
    }
  }
  WriteBytes("OK.FLC", good);
  for (int32_t mode : {0, 3, -1}) EXPECT_EQ(LS_OpenFli("OK.FLC", mode, 0, BMAP_PAL8), nullptr);
  EXPECT_EQ(ztest::OpenDescriptors(), files);
  EXPECT_EQ(LS_OpenFli("OK.FLC", FLI_MODE_MEMORY, 0, 12345), nullptr);  // no such format
  EXPECT_EQ(ztest::OpenDescriptors(), files);
}

TEST_F(FliBadInputTest, BadBlocksBeforeTheFirstFrameOpenNothing) {
  const int files = ztest::OpenDescriptors();
  const Bytes frame = Frame(0, {});
  for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE})
    for (uint32_t size : {0u, 8u, 15u, 1000u, 0xFFFFFFFFu}) {
      Bytes block;
      Put32(block, size);
      Put16(block, datagen::kPrefixType);
      block.insert(block.end(), 10, 0);
      WriteBytes("BLK.FLI", RawFilm(false, 4, 4, 1, Cat({block, frame})));
      EXPECT_EQ(LS_OpenFli("BLK.FLI", mode, 0, BMAP_PAL8), nullptr) << size;
      EXPECT_EQ(ztest::OpenDescriptors(), files);
    }
  WriteBytes("NOFRAME.FLI", RawFilm(false, 4, 4, 1, {}));
  EXPECT_EQ(LS_OpenFli("NOFRAME.FLI", FLI_MODE_FILE, 0, BMAP_PAL8), nullptr);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliBadInputTest, SecondFrameOffsetIsNotNeeded) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 2);
  Bytes film = datagen::EncodeFilm(datagen::MakeFilm(true, {p, p}, ztest::FilmPalette(), 1));
  for (int i = 0; i < 4; ++i) film[84 + i] = 0xFF;
  WriteBytes("SEC.FLC", film);
  FLI* fli = LS_OpenFli("SEC.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  for (int i = 0; i < 3; ++i) LS_PlayFliFrame(fli);
  EXPECT_EQ(Pixels(fli->Bmap), Expected(p, BMAP_PAL8, {}));
  LS_CloseFli(fli);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliBadInputTest, BadFrameSizesAreReportedAndTheFilmStartsAgain) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 3);
  const Bytes first = Frame(1, Chunk(16, p.pixels));
  for (uint32_t size : {0u, 8u, 15u, 5000u})
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      Bytes second = Frame(1, Chunk(13, {}));
      for (int i = 0; i < 4; ++i) second[i] = static_cast<uint8_t>(size >> (8 * i));
      WriteBytes("FS.FLC", RawFilm(true, 4, 4, 3, Cat({first, second, Frame(0, {})})));
      FLI* fli = LS_OpenFli("FS.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      LS_PlayFliFrame(fli);
      LS_PlayFliFrame(fli);
      EXPECT_EQ(fli->CurrentFrame, 0) << size;
      EXPECT_EQ(Pixels(fli->Bmap), Expected(p, BMAP_PAL8, {}));  // the black chunk never ran
      LS_PlayFliFrame(fli);
      EXPECT_EQ(fli->CurrentFrame, 1);
      LS_CloseFli(fli);
    }
  const std::string bad = Reports({"Bad .FLC format"});
  const std::string big = Reports({".FLC Frame too big (>0ko)"});
  EXPECT_EQ(ErrorFile(), bad + bad + bad + bad + bad + bad + big + big);
}

TEST_F(FliBadInputTest, BlockThatIsNotAFrameIsPassedOver) {
  const FilmPicture a = ztest::FilmPictureOf(4, 4, 1), b = ztest::FilmPictureOf(4, 4, 2);
  const Bytes blocks = Cat({Frame(1, Chunk(16, a.pixels)), Frame(1, Chunk(13, {}), 0x1234), Frame(1, Chunk(16, b.pixels))});
  WriteBytes("NF.FLC", RawFilm(true, 4, 4, 3, blocks));
  for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
    FLI* fli = LS_OpenFli("NF.FLC", mode, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(a, BMAP_PAL8, {}));
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(b, BMAP_PAL8, {}));
    LS_CloseFli(fli);
  }
  EXPECT_EQ(ErrorFile(), Reports({"Bad .FLC format", "Bad .FLC format"}));
}

TEST_F(FliBadInputTest, BadChunkSizesAndCountsEndTheFrame) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 5);
  const Bytes copy = Chunk(16, p.pixels);
  const std::vector<Bytes> frames = {
      Frame(3, copy),                                     // more chunks counted than held
      Frame(2, Cat({copy, ChunkSized(0, 13, {})})),       // size 0
      Frame(2, Cat({copy, ChunkSized(5, 13, {0, 0})})),   // size 5
      Frame(2, Cat({copy, ChunkSized(0xFFFFFFFF, 13, {})})),
      Frame(2, Cat({copy, ChunkSized(100, 13, {1, 2})})),  // past the frame
      Frame(2, Cat({copy, {1, 2, 3}})),                    // a header cut short
  };
  for (const Bytes& frame : frames)
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      WriteBytes("CS.FLC", RawFilm(true, 4, 4, 1, frame));
      FLI* fli = LS_OpenFli("CS.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      LS_PlayFliFrame(fli);
      EXPECT_EQ(Pixels(fli->Bmap), Expected(p, BMAP_PAL8, {}));  // the black chunk never ran
      LS_CloseFli(fli);
    }
  std::string all;
  for (size_t i = 0; i < 2 * frames.size(); ++i) all += Reports({"Bad .FLC format"});
  EXPECT_EQ(ErrorFile(), all);
}

TEST_F(FliBadInputTest, UnknownChunkIsReportedAndSkipped) {
  const FilmPicture p = ztest::FilmPictureOf(4, 4, 6);
  const Bytes chunks = Cat({Chunk(99, {1, 2, 3, 4, 5}), Chunk(0x7123, {}), Chunk(15, datagen::ByteRunChunk(p).data)});
  WriteBytes("UK.FLC", RawFilm(true, 4, 4, 1, Frame(3, chunks)));
  for (uint32_t mode : {LS_ERRMODE_LOG, LS_ERRMODE_KEEP}) {
    LS_SetErrorMode(mode);
    FLI* fli = LS_OpenFli("UK.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(p, BMAP_PAL8, {}));
    LS_CloseFli(fli);
  }
  EXPECT_EQ(ErrorFile(), Reports({"Unrecognized Chunk 0x63", "Unrecognized Chunk 0x7123"}));
}

TEST_F(FliBadInputTest, ErrorsEndTheProgramInTheFatalMode) {
  WriteBytes("UK.FLC", RawFilm(true, 4, 4, 1, Frame(1, Chunk(99, {}))));
  FLI* fli = LS_OpenFli("UK.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([&] { LS_PlayFliFrame(fli); }), 1);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  // The exit left the frame bitmap locked; the test gives the lock back.
  LS_UnlockBmap(fli->Bmap);
  LS_CloseFli(fli);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_NE(Boxes().back().find("Unrecognized Chunk 0x63"), std::string::npos);
}

TEST_F(FliBadInputTest, PaletteRunningPastTheLastColourStopsThere) {
  FLI* fli = Host(BMAP_RGB565);
  ASSERT_NE(fli, nullptr);
  GuardedFrame frame(7, 5, BMAP_RGB565);
  const uint32_t lookup200 = fli->Lookup[200];
  Bytes rgb(30 * 3, 0x7F);
  Bytes data{2, 0, 250, 10};
  data.insert(data.end(), rgb.begin(), rgb.begin() + 30);
  data.insert(data.end(), {200, 0});  // second packet: never reached
  DecodeGuarded(fli, frame, Chunk(4, data), 1);
  for (int i = 250; i < 256; ++i) EXPECT_EQ(fli->Colors[i], 0x7F7F7Fu) << i;
  EXPECT_EQ(fli->Lookup[200], lookup200);
  EXPECT_EQ(fli->PalChanged, 1);
  // Counts and skips that run out of data, and empty chunks.
  DecodeGuarded(fli, frame, Cat({Chunk(4, {0xFF, 0xFF, 0, 0, 1, 2, 3, 4}), Chunk(11, {}), Chunk(4, {5})}), 3);
  EXPECT_EQ(fli->Colors[0], 0x010203u);
  EXPECT_EQ(fli->Colors[1], 0u);  // not reached
  LS_CloseFli(fli);
  EXPECT_TRUE(frame.Intact());
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliBadInputTest, RunsAndDeltasAreClippedToTheFrameAndTheChunk) {
  for (int32_t format : {BMAP_PAL8, BMAP_RGB555}) {
    FLI* fli = Host(format);
    ASSERT_NE(fli, nullptr);
    GuardedFrame frame(7, 5, format);
    const std::vector<Bytes> chunks = {
        Chunk(15, {0, 127, 1, 0, 0x81, 2, 3}),                       // run past the row, copy past the chunk
        Chunk(15, {0, 5, 3, 0, 3}),                                   // a row cut short
        Chunk(16, Bytes(3, 4)),                                       // copy: fewer bytes than a picture
        Chunk(16, Bytes(500, 5)),                                     // copy: more
        Chunk(12, {0xFF, 0xFF, 5, 0}),                                // first line past the frame
        Chunk(12, {3, 0, 100, 0, 2, 250, 3, 1, 2, 3, 0, 0x80, 6}),    // lines past the last, skip past the row
        Chunk(12, {0, 0, 1, 0, 1, 2, 127, 1}),                        // copy past the chunk
        Chunk(7, {0xE8, 0x03, 0x00, 0xC0, 0x00, 0xC0}),               // skips past the last line
        Chunk(7, {3, 0, 1, 0, 250, 2, 1, 2, 3, 4, 0x09, 0x80, 1, 0}), // skip past the row, last pixel
        Chunk(7, {2, 0, 2, 0, 0, 0x80, 7, 8, 0, 127, 1, 2}),          // run past the row, copy past the chunk
        Chunk(7, {0x10, 0, 0xFF, 0xFF, 0x01, 0x40, 0x00, 0x40, 0x05, 0x80}),  // unwanted codes, cut short
        Chunk(7, {1, 0, 1, 0, 0, 0}),                                  // count 0 without its word
    };
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
      for (int i = 0; i < 3000; ++i) {
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
  const std::vector<FilmPicture> pictures = ztest::FilmPictures(40, 30, 6);
  const Bytes film = datagen::EncodeFilm(datagen::MakeFilm(true, pictures, ztest::FilmPalette(), 1));
  WriteBytes("CUT.FLC", film);
  FLI* fli = LS_OpenFli("CUT.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  LS_PlayFliFrame(fli);
  std::filesystem::resize_file(root_ + "/CUT.FLC", static_cast<uintmax_t>(film.size() / 2));
  for (int i = 0; i < 12; ++i) LS_PlayFliFrame(fli);
  EXPECT_NE(ErrorFile().find("Frame too big"), std::string::npos);
  EXPECT_LT(fli->CurrentFrame, 6);
  LS_CloseFli(fli);
}

}  // namespace
