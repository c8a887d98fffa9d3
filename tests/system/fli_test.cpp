// Films: frames decoded from written films equal their pictures, in both
// formats, both modes and every frame format; colours, delays, looping,
// prefix blocks, black and stamp chunks, and the player's messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/system/film_fixture.h"

namespace {

using datagen::Film;
using datagen::FilmChunk;
using datagen::FilmFrame;
using datagen::FilmPicture;
using ztest::FilmPictures;

class FliTest : public ztest::FilmTest {
 protected:
  // Plays a 10-picture film twice round in the format and checks every
  // frame, the frame number and, at the start, the palette flag.
  void PlaysPictures(bool flc, int32_t mode, int width, int32_t format) {
    SCOPED_TRACE(std::string(flc ? "FLC" : "FLI") + " mode " + std::to_string(mode) + " width " +
                 std::to_string(width) + " format " + std::to_string(format));
    const std::vector<FilmPicture> pictures = FilmPictures(width, 13, 10);
    const std::vector<uint8_t> rgb = ztest::FilmPalette();
    Put("FILM.FLC", datagen::MakeFilm(flc, pictures, rgb, 50));
    FLI* fli = LS_OpenFli("FILM.FLC", mode, 0, format);
    ASSERT_NE(fli, nullptr);
    EXPECT_EQ(fli->NbFrame, 10);
    EXPECT_EQ(fli->Bmap->SizeX, width);
    EXPECT_EQ(fli->Bmap->SizeY, 13);
    EXPECT_EQ(fli->Bmap->Format, format);
    for (int i = 0; i < 21; ++i) {
      EXPECT_EQ(fli->CurrentFrame, i % 10);
      ASSERT_EQ(LS_PlayFliFrame(fli), 1);
      EXPECT_EQ(Pixels(fli->Bmap), Expected(pictures[static_cast<size_t>(i % 10)], format, rgb)) << "frame " << i;
      if (i == 0) {
        EXPECT_EQ(fli->PalChanged, 1);
      }
      fli->PalChanged = 0;
    }
    EXPECT_EQ(LS_CloseFli(fli), 1);
  }
};

TEST_F(FliTest, EightBitFramesEqualTheirPictures) {
  for (bool flc : {true, false})
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE})
      for (int width : {1, 2, 37, 40, 300}) PlaysPictures(flc, mode, width, BMAP_PAL8);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, SixteenBitFramesAreTheColoursOfEachIndex) {
  for (int32_t format : {BMAP_RGB555, BMAP_RGB565})
    for (bool flc : {true, false})
      for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE})
        for (int width : {37, 40}) PlaysPictures(flc, mode, width, format);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, EightBitFramesKeepThePaletteInSixBits) {
  const std::vector<uint8_t> rgb = ztest::FilmPalette();
  for (bool flc : {true, false}) {
    Put("P.FLC", datagen::MakeFilm(flc, FilmPictures(8, 8, 2), rgb, 50));
    FLI* fli = LS_OpenFli("P.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(fli->Palette.Entry[i].Red, rgb[i * 3] >> 2) << i;
      EXPECT_EQ(fli->Palette.Entry[i].Green, rgb[i * 3 + 1] >> 2) << i;
      EXPECT_EQ(fli->Palette.Entry[i].Blue, rgb[i * 3 + 2] >> 2) << i;
    }
    if (flc) {
      EXPECT_EQ(fli->Colors[7], (7u << 16) | (248u << 8) | ((7 * 37 + 11) & 0xFF));
    }
    LS_CloseFli(fli);
  }
}

// A one-frame film of the chunks, on a frame of zeros copied first.
Film OneFrame(bool flc, std::vector<FilmChunk> chunks, uint16_t width = 4, uint16_t height = 2) {
  Film film;
  film.flc = flc;
  film.width = width;
  film.height = height;
  FilmPicture zero{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 0)};
  chunks.push_back(datagen::FliCopyChunk(zero));
  film.frames.push_back({datagen::kFrameType, chunks});
  return film;
}

TEST_F(FliTest, ExactColoursOfBothSixteenBitFormats) {
  std::vector<uint8_t> rgb(768, 0);
  rgb[0] = 0xFF, rgb[1] = 0x80, rgb[2] = 0x40;
  Put("C.FLC", OneFrame(true, {datagen::Color256Chunk(rgb)}));
  for (auto [format, want] : {std::pair{BMAP_RGB565, 0xFC08u}, std::pair{BMAP_RGB555, 0x7E08u}}) {
    FLI* fli = LS_OpenFli("C.FLC", FLI_MODE_FILE, 0, format);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(fli->Colors[0], 0xFF8040u);
    EXPECT_EQ(fli->Lookup[0], want);
    EXPECT_EQ(Pixels(fli->Bmap), std::vector<uint32_t>(8, want));
    LS_CloseFli(fli);
  }
}

TEST_F(FliTest, SixBitColoursAreScaledToEightBits) {
  std::vector<uint8_t> rgb(768, 0);
  for (int i = 0; i < 256; ++i) rgb[i * 3] = rgb[i * 3 + 1] = rgb[i * 3 + 2] = static_cast<uint8_t>(i & 63);
  Put("W.FLI", OneFrame(false, {datagen::Color64Chunk(rgb)}));
  FLI* fli = LS_OpenFli("W.FLI", FLI_MODE_MEMORY, 0, BMAP_RGB565);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  EXPECT_EQ(fli->Colors[63], 0xFFFFFFu);
  EXPECT_EQ(fli->Lookup[63], 0xFFFFu);
  EXPECT_EQ(fli->Colors[255], 0xFFFFFFu);  // a count of 0 set all 256
  EXPECT_EQ(fli->Colors[32], 0x828282u);
  LS_CloseFli(fli);
  fli = LS_OpenFli("W.FLI", FLI_MODE_MEMORY, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(fli->Palette.Entry[i].Green, i & 63) << i;
  LS_CloseFli(fli);
}

TEST_F(FliTest, CountZeroSetsAllColoursAndEveryPaletteChunkRaisesTheFlag) {
  for (uint16_t type : {datagen::kColor256, datagen::kColor64}) {
    std::vector<uint8_t> rgb(768, 9);
    Film film;
    film.width = film.height = 2;
    film.frames.push_back({datagen::kFrameType, {datagen::PaletteChunk(type, {{0, 0, rgb}})}});
    film.frames.push_back({datagen::kFrameType, {datagen::FliCopyChunk({2, 2, {1, 2, 3, 4}})}});
    film.frames.push_back({datagen::kFrameType, {datagen::PaletteChunk(type, {{5, 1, {1, 2, 3}}})}});
    Put("Z.FLC", film);
    FLI* fli = LS_OpenFli("Z.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(fli->PalChanged, 1);
    EXPECT_EQ(fli->Palette.Entry[255].Blue, type == datagen::kColor256 ? 2 : 9);
    fli->PalChanged = 0;
    LS_PlayFliFrame(fli);
    EXPECT_EQ(fli->PalChanged, 0);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(fli->PalChanged, 1);
    EXPECT_EQ(fli->Palette.Entry[4].Red, fli->Palette.Entry[255].Red);
    EXPECT_NE(fli->Colors[5], fli->Colors[4]);
    LS_CloseFli(fli);
  }
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, DelayIsMillisecondsForFlcAndSeventiethsForFli) {
  Film film = OneFrame(true, {});
  film.speed = 66;
  Put("S.FLC", film);
  film.flc = false;
  film.speed = 5;
  Put("S.FLI", film);
  FLI* flc = LS_OpenFli("S.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
  FLI* fli = LS_OpenFli("S.FLI", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_TRUE(flc && fli);
  EXPECT_EQ(flc->Delay, 66);
  EXPECT_EQ(fli->Delay, 71);
  EXPECT_EQ(flc->IsFlc, 1);
  EXPECT_EQ(fli->IsFlc, 0);
  LS_CloseFli(flc);
  LS_CloseFli(fli);
}

TEST_F(FliTest, PrefixBlockIsSkipped) {
  const std::vector<FilmPicture> pictures = FilmPictures(6, 5, 3);
  const std::vector<uint8_t> rgb = ztest::FilmPalette();
  for (bool flc : {true, false})
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      Film film = datagen::MakeFilm(flc, pictures, rgb, 10);
      film.hasPrefix = true;
      film.prefix.assign(40, 0xFA);  // looks like frame types inside
      Put("PRE.FLC", film);
      FLI* fli = LS_OpenFli("PRE.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      EXPECT_EQ(fli->FirstFrame, datagen::kFilmHeaderSize + 56);
      for (int i = 0; i < 4; ++i) {
        LS_PlayFliFrame(fli);
        EXPECT_EQ(Pixels(fli->Bmap), Expected(pictures[static_cast<size_t>(i % 3)], BMAP_PAL8, rgb));
      }
      LS_CloseFli(fli);
    }
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, FlcWithoutFrameOffsetsIsSearchedLikeAnFli) {
  const std::vector<FilmPicture> pictures = FilmPictures(6, 5, 2);
  const std::vector<uint8_t> rgb = ztest::FilmPalette();
  Film film = datagen::MakeFilm(true, pictures, rgb, 10);
  film.hasPrefix = true;
  std::vector<uint8_t> bytes = datagen::EncodeFilm(film);
  for (uint32_t i = 0; i < 8; ++i) bytes[datagen::kFirstFrameField + i] = 0;
  WriteBytes("NOOFS.FLC", bytes);
  FLI* fli = LS_OpenFli("NOOFS.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  EXPECT_EQ(Pixels(fli->Bmap), Expected(pictures[0], BMAP_PAL8, rgb));
  LS_CloseFli(fli);
}

TEST_F(FliTest, TenFramesPlayThenStartAgainFromTheFirst) {
  const std::vector<FilmPicture> pictures = FilmPictures(10, 4, 10);
  const std::vector<uint8_t> rgb = ztest::FilmPalette();
  for (bool flc : {true, false})
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      Put("TEN.FLC", datagen::MakeFilm(flc, pictures, rgb, 10));
      FLI* fli = LS_OpenFli("TEN.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      for (int i = 0; i < 10; ++i) LS_PlayFliFrame(fli);
      EXPECT_EQ(fli->CurrentFrame, 0);
      // The front end may clear the frame between rounds: frame 1 is whole.
      LS_ClearBmap(fli->Bmap);
      LS_PlayFliFrame(fli);
      EXPECT_EQ(Pixels(fli->Bmap), Expected(pictures[0], BMAP_PAL8, rgb));
      EXPECT_EQ(fli->CurrentFrame, 1);
      LS_CloseFli(fli);
    }
}

TEST_F(FliTest, BlackClearsTheFrameAndStampsAreSkipped) {
  const FilmPicture picture = ztest::FilmPictureOf(9, 7, 1);
  Film film;
  film.width = 9;
  film.height = 7;
  film.frames.push_back({datagen::kFrameType, {datagen::Color256Chunk(ztest::FilmPalette()),
                                                datagen::StampChunk(picture), datagen::FliCopyChunk(picture)}});
  film.frames.push_back({datagen::kFrameType, {datagen::BlackChunk(), datagen::StampChunk(picture)}});
  for (int32_t format : {BMAP_PAL8, BMAP_RGB565}) {
    Put("B.FLC", film);
    FLI* fli = LS_OpenFli("B.FLC", FLI_MODE_MEMORY, 0, format);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(picture, format, ztest::FilmPalette()));
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), std::vector<uint32_t>(63, 0));
    LS_CloseFli(fli);
  }
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, DeltaFlcWritesSkipWordsAndLastPixels) {
  FilmPicture a{5, 4, std::vector<uint8_t>(20, 1)};
  FilmPicture b = a;
  b.pixels[2 * 5 + 4] = 0x33;  // only line 2's last pixel
  FilmChunk chunk;
  ASSERT_TRUE(datagen::DeltaFlcChunk(a, b, chunk));
  EXPECT_EQ(chunk.data, (std::vector<uint8_t>{1, 0, 0xFE, 0xFF, 0x33, 0x80, 0, 0}));
  b.pixels[3 * 5 + 0] = b.pixels[3 * 5 + 1] = 7;  // and a word at line 3
  ASSERT_TRUE(datagen::DeltaFlcChunk(a, b, chunk));
  EXPECT_EQ(chunk.data, (std::vector<uint8_t>{2, 0, 0xFE, 0xFF, 0x33, 0x80, 0, 0, 1, 0, 0, 1, 7, 7}));
  FilmChunk none;
  EXPECT_FALSE(datagen::DeltaFlcChunk(a, a, none));

  Film film;
  film.width = 5;
  film.height = 4;
  film.frames.push_back({datagen::kFrameType, {datagen::FliCopyChunk(a)}});
  film.frames.push_back({datagen::kFrameType, {chunk}});
  Put("D.FLC", film);
  FLI* fli = LS_OpenFli("D.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  LS_PlayFliFrame(fli);
  EXPECT_EQ(Pixels(fli->Bmap), Expected(b, BMAP_PAL8, {}));
  LS_CloseFli(fli);
}

TEST_F(FliTest, WideGapsAndDenseChangesRoundTrip) {
  // Changes 300 pixels apart (longer than one skip byte) and every other
  // pixel of a line changed.
  const int width = 640;
  FilmPicture a{width, 3, std::vector<uint8_t>(width * 3, 5)};
  FilmPicture b = a;
  b.pixels[0] = b.pixels[300] = b.pixels[601] = b.pixels[639] = 9;
  for (int x = 0; x < width; x += 2) b.pixels[static_cast<size_t>(width * 2 + x)] = static_cast<uint8_t>(x);
  for (bool flc : {true, false}) {
    Film film = datagen::MakeFilm(flc, {a, b}, ztest::FilmPalette(), 1);
    Put("G.FLC", film);
    FLI* fli = LS_OpenFli("G.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(b, BMAP_PAL8, {}));
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(a, BMAP_PAL8, {}));
    LS_CloseFli(fli);
  }
}

TEST_F(FliTest, UncompressedFirstFrameFitsInFileMode) {
  // Palette and a whole uncompressed picture: more bytes than one picture.
  const FilmPicture picture = ztest::FilmPictureOf(32, 20, 4);
  Film film;
  film.width = 32;
  film.height = 20;
  film.frames.push_back({datagen::kFrameType, {datagen::Color256Chunk(ztest::FilmPalette()),
                                                datagen::FliCopyChunk(picture)}});
  Put("U.FLC", film);
  FLI* fli = LS_OpenFli("U.FLC", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  for (int i = 0; i < 3; ++i) {
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Pixels(fli->Bmap), Expected(picture, BMAP_PAL8, {}));
  }
  EXPECT_GE(fli->BufferSize, 32u * 20 + 6 + 2 + 2 + 768 + 6);
  LS_CloseFli(fli);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, FramesGoToTheBitmapTheCallerPutsInPlace) {
  const std::vector<FilmPicture> pictures = FilmPictures(12, 6, 3);
  Put("R.FLC", datagen::MakeFilm(true, pictures, ztest::FilmPalette(), 1));
  FLI* fli = LS_OpenFli("R.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  BMAP* own = fli->Bmap;
  BMAP* other = LS_CreateBmap(12, 6, 8, 0);
  other->Format = BMAP_PAL8;
  LS_Bitmove(own, other, 0, 0, 11, 5, 0, 0, LS_BLIT_OPAQUE);
  LS_ClearBmap(own);
  fli->Bmap = other;
  LS_PlayFliFrame(fli);
  fli->Bmap = own;
  EXPECT_EQ(Pixels(other), Expected(pictures[1], BMAP_PAL8, {}));
  EXPECT_EQ(Pixels(own), std::vector<uint32_t>(72, 0));
  LS_FreeBmap(other);
  LS_CloseFli(fli);
}

TEST_F(FliTest, MessagesGoToTheErrorFile) {
  FilmChunk unknown{0x63, {1, 2, 3}};
  FilmChunk unwanted{datagen::kDeltaFlc, {1, 0, 0x00, 0x40}};
  Film film = OneFrame(true, {unknown, unwanted});
  film.frames.push_back({0x1234, {}});
  Put("M.FLC", film);
  FLI* fli = LS_OpenFli("M.FLC", FLI_MODE_MEMORY, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  LS_PlayFliFrame(fli);
  EXPECT_EQ(ErrorFile(), Reports({"Unrecognized Chunk 0x63", "Unwanted code in delta flc"}));
  LS_PlayFliFrame(fli);
  EXPECT_EQ(ErrorFile(), Reports({"Unrecognized Chunk 0x63", "Unwanted code in delta flc", "Bad .FLC format"}));
  LS_CloseFli(fli);

  std::vector<uint8_t> rgb(768, 0);
  Put("M.FLC", OneFrame(true, {datagen::Color256Chunk(rgb)}));
  fli = LS_OpenFli("M.FLC", FLI_MODE_MEMORY, 0, BMAP_RGB888);
  ASSERT_NE(fli, nullptr);
  EXPECT_EQ(fli->Bmap->Depth, 24);
  LS_PlayFliFrame(fli);
  LS_CloseFli(fli);
  EXPECT_EQ(Logged("Unsupported render depth for .FLI"), 1);
}

TEST_F(FliTest, EmptyFilmSaysEndOfFli) {
  Film film = OneFrame(false, {});
  std::vector<uint8_t> bytes = datagen::EncodeFilm(film);
  bytes[datagen::kFilmHeaderSize - 122] = 0;  // frame count 0
  WriteBytes("E.FLI", bytes);
  FLI* fli = LS_OpenFli("E.FLI", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  EXPECT_EQ(fli->NbFrame, 0);
  EXPECT_EQ(LS_PlayFliFrame(fli), 1);
  EXPECT_EQ(ErrorFile(), Reports({"End Of FLI !"}));
  LS_CloseFli(fli);
}

TEST_F(FliTest, FrameRunningPastTheEndIsTooBig) {
  const std::vector<FilmPicture> pictures = FilmPictures(80, 60, 2);
  std::vector<uint8_t> bytes = datagen::EncodeFilm(datagen::MakeFilm(true, pictures, ztest::FilmPalette(), 1));
  const uint32_t first = datagen::kFilmHeaderSize;
  const uint32_t size = bytes[first] | bytes[first + 1] << 8;
  bytes.resize(first + 16 + 2100);  // the first frame cut after 2100 of its bytes
  ASSERT_GT(size, 16u + 2100 + 1024);
  WriteBytes("T.FLC", bytes);
  for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
    FLI* fli = LS_OpenFli("T.FLC", mode, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    LS_PlayFliFrame(fli);  // back at the first frame, which is still cut
    EXPECT_EQ(fli->CurrentFrame, 0);
    LS_CloseFli(fli);
  }
  const std::string line = Reports({".FLC Frame too big (>2ko)"});
  EXPECT_EQ(ErrorFile(), line + line + line + line);
}

TEST_F(FliTest, NullFilmIsRefused) {
  EXPECT_EQ(LS_PlayFliFrame(nullptr), 0);
  EXPECT_EQ(LS_CloseFli(nullptr), 0);
  LSI_SeekFli(nullptr, 0);
}

}  // namespace
