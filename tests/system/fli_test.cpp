// Films: frames decoded from written films equal their pictures, in both
// formats, both modes and every frame format; colours, delays, looping,
// prefix blocks, black and stamp chunks, and the player's messages.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/system/film_fixture.h"

namespace {

using datagen::Film;
using datagen::FilmChunk;
using datagen::FilmPicture;
using ztest::FilmPictures;

// A one-frame film of the chunks, on a frame of zeros copied first.
Film OneFrame(bool flc, std::vector<FilmChunk> chunks, uint16_t width = 4, uint16_t height = 2) {
  Film film;
  film.flc = flc;
  film.width = width;
  film.height = height;
  chunks.push_back(datagen::FliCopyChunk({width, height, std::vector<uint8_t>(size_t{width} * height, 0)}));
  film.frames.push_back({datagen::kFrameType, chunks});
  return film;
}

class FliTest : public ztest::FilmTest {
 protected:
  FLI* Open(const Film& film, int32_t mode = FLI_MODE_MEMORY, int32_t format = BMAP_PAL8) {
    Put("FILM.FLC", film);
    FLI* fli = LS_OpenFli("FILM.FLC", mode, 0, format);
    EXPECT_NE(fli, nullptr);
    return fli;
  }
};

TEST_F(FliTest, FramesEqualTheirPicturesRoundAndRoundAgain) {
  struct Row {
    bool flc;
    int32_t mode;
    int width;
    int32_t format;
  } rows[] = {
      {true, FLI_MODE_MEMORY, 37, BMAP_PAL8}, {false, FLI_MODE_FILE, 1, BMAP_PAL8}, {true, FLI_MODE_FILE, 300, BMAP_PAL8},
      {false, FLI_MODE_FILE, 37, BMAP_RGB555}, {true, FLI_MODE_MEMORY, 2, BMAP_RGB565},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.flc) + " mode " + std::to_string(r.mode) + " width " + std::to_string(r.width));
    const std::vector<FilmPicture> pictures = FilmPictures(r.width, 13, 10);
    FLI* fli = Open(datagen::MakeFilm(r.flc, pictures, ztest::FilmPalette(), 50), r.mode, r.format);
    ASSERT_NE(fli, nullptr);
    EXPECT_EQ((std::tuple{fli->NbFrame, fli->Bmap->Format}), (std::tuple{10, r.format}));
    for (int i = 0; i < 21; ++i) {
      EXPECT_EQ(fli->CurrentFrame, i % 10);
      ASSERT_EQ(LS_PlayFliFrame(fli), 1);
      EXPECT_EQ(Shown(fli), Expected(fli, pictures[static_cast<size_t>(i % 10)])) << "frame " << i;
      EXPECT_EQ(std::exchange(fli->PalChanged, 0), i % 10 == 0);
    }
    // The front end may clear the frame between rounds: the first is whole.
    for (int i = 0; i < 9; ++i) LS_PlayFliFrame(fli);
    LS_ClearBmap(fli->Bmap);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Shown(fli), Expected(fli, pictures[0]));
    EXPECT_EQ(LS_CloseFli(fli), 1);
  }
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, PaletteChunksSetTheColours) {
  std::vector<uint8_t> rgb(768, 0), rgb64(768, 0);
  rgb[0] = 0xFF, rgb[1] = 0x80, rgb[2] = 0x40;
  for (int i = 0; i < 256; ++i) rgb64[i * 3] = rgb64[i * 3 + 1] = rgb64[i * 3 + 2] = static_cast<uint8_t>(i & 63);
  struct Row {
    FilmChunk chunk;
    int32_t format;
    int index;
    uint32_t colour, pixel;
  } rows[] = {
      {datagen::Color256Chunk(rgb), BMAP_RGB565, 0, 0xFF8040, 0xFC08},
      {datagen::Color256Chunk(rgb), BMAP_RGB555, 0, 0xFF8040, 0x7E08},
      {datagen::Color64Chunk(rgb64), BMAP_RGB565, 32, 0x828282, 0x8410},  // six bits scaled to eight
      {datagen::Color64Chunk(rgb64), BMAP_PAL8, 255, 0xFFFFFF, 63},
  };
  for (const Row& r : rows) {
    FLI* fli = Open(OneFrame(r.chunk.type == datagen::kColor256, {r.chunk}), FLI_MODE_FILE, r.format);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(fli->Colors[r.index], r.colour) << r.index;
    // 8-bit frames keep the palette in six bits
    EXPECT_EQ(r.format == BMAP_PAL8 ? fli->Palette.Entry[r.index].Green : fli->Lookup[r.index], r.pixel) << r.index;
    LS_CloseFli(fli);
  }
}

TEST_F(FliTest, CountZeroSetsAllColoursAndEveryPaletteChunkRaisesTheFlag) {
  for (uint16_t type : {datagen::kColor256, datagen::kColor64}) {
    Film film;
    film.width = film.height = 2;
    film.frames.push_back({datagen::kFrameType, {datagen::PaletteChunk(type, {{0, 0, std::vector<uint8_t>(768, 9)}})}});
    film.frames.push_back({datagen::kFrameType, {datagen::FliCopyChunk({2, 2, {1, 2, 3, 4}})}});
    film.frames.push_back({datagen::kFrameType, {datagen::PaletteChunk(type, {{5, 1, {1, 2, 3}}})}});
    FLI* fli = Open(film, FLI_MODE_FILE);
    ASSERT_NE(fli, nullptr);
    for (int frame : {1, 0, 1}) {
      LS_PlayFliFrame(fli);
      EXPECT_EQ(std::exchange(fli->PalChanged, 0), frame);
    }
    EXPECT_EQ(fli->Palette.Entry[255].Blue, type == datagen::kColor256 ? 2 : 9);
    EXPECT_EQ(fli->Palette.Entry[4].Red, fli->Palette.Entry[255].Red);  // skipped by the packet
    EXPECT_NE(fli->Colors[5], fli->Colors[4]);
    LS_CloseFli(fli);
  }
}

TEST_F(FliTest, DelayIsMillisecondsForFlcAndSeventiethsForFli) {
  for (auto [flc, speed, delay] : {std::tuple{true, 66, 66}, {false, 5, 71}}) {
    Film film = OneFrame(flc, {});
    film.speed = static_cast<uint32_t>(speed);
    FLI* fli = Open(film);
    EXPECT_EQ((std::tuple{fli->Delay, fli->IsFlc}), (std::tuple{delay, int32_t{flc}}));
    LS_CloseFli(fli);
  }
}

TEST_F(FliTest, PrefixBlockIsSkippedAndMissingOffsetsAreSearched) {
  const std::vector<FilmPicture> pictures = FilmPictures(6, 5, 3);
  for (bool flc : {true, false})
    for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
      Film film = datagen::MakeFilm(flc, pictures, ztest::FilmPalette(), 10);
      film.hasPrefix = true;
      film.prefix.assign(40, 0xFA);  // looks like frame types inside
      std::vector<uint8_t> bytes = datagen::EncodeFilm(film);
      if (flc && mode == FLI_MODE_FILE)  // no frame offsets: found as in an FLI
        for (uint32_t i = 0; i < 8; ++i) bytes[datagen::kFirstFrameField + i] = 0;
      WriteBytes("PRE.FLC", bytes);
      FLI* fli = LS_OpenFli("PRE.FLC", mode, 0, BMAP_PAL8);
      ASSERT_NE(fli, nullptr);
      EXPECT_EQ(fli->FirstFrame, datagen::kFilmHeaderSize + 56);
      for (int i = 0; i < 4; ++i) {
        LS_PlayFliFrame(fli);
        EXPECT_EQ(Shown(fli), Expected(fli, pictures[static_cast<size_t>(i % 3)]));
      }
      LS_CloseFli(fli);
    }
  EXPECT_EQ(ErrorFile(), "");
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
    FLI* fli = Open(film, FLI_MODE_MEMORY, format);
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Shown(fli), Expected(fli, picture));
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Shown(fli), std::vector<uint32_t>(63, 0));
    LS_CloseFli(fli);
  }
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, DeltasWithSkipWordsLastPixelsAndWideGaps) {
  FilmPicture a{5, 4, std::vector<uint8_t>(20, 1)};
  FilmPicture b = a;
  b.pixels[2 * 5 + 4] = 0x33;                    // line 2's last pixel
  b.pixels[3 * 5 + 0] = b.pixels[3 * 5 + 1] = 7;  // and a word at line 3
  FilmChunk chunk;
  ASSERT_TRUE(datagen::DeltaFlcChunk(a, b, chunk));
  EXPECT_EQ(chunk.data, (std::vector<uint8_t>{2, 0, 0xFE, 0xFF, 0x33, 0x80, 0, 0, 1, 0, 0, 1, 7, 7}));
  // Changes 300 pixels apart (longer than one skip byte), every other
  // pixel of a line changed.
  FilmPicture c{640, 3, std::vector<uint8_t>(640 * 3, 5)};
  FilmPicture d = c;
  d.pixels[0] = d.pixels[300] = d.pixels[601] = d.pixels[639] = 9;
  for (int x = 0; x < 640; x += 2) d.pixels[static_cast<size_t>(640 * 2 + x)] = static_cast<uint8_t>(x);
  for (bool flc : {true, false})
    for (const auto& [from, to] : {std::pair{a, b}, {c, d}}) {
      FLI* fli = Open(datagen::MakeFilm(flc, {from, to}, ztest::FilmPalette(), 1), FLI_MODE_FILE);
      for (const FilmPicture* p : {&from, &to, &from}) {
        LS_PlayFliFrame(fli);
        EXPECT_EQ(Shown(fli), Expected(fli, *p)) << flc;
      }
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
  FLI* fli = Open(film, FLI_MODE_FILE);
  for (int i = 0; i < 2; ++i) {
    LS_PlayFliFrame(fli);
    EXPECT_EQ(Shown(fli), Expected(fli, picture));
  }
  LS_CloseFli(fli);
  EXPECT_EQ(ErrorFile(), "");
}

TEST_F(FliTest, FramesGoToTheBitmapTheCallerPutsInPlace) {
  const std::vector<FilmPicture> pictures = FilmPictures(12, 6, 3);
  FLI* fli = Open(datagen::MakeFilm(true, pictures, ztest::FilmPalette(), 1));
  LS_PlayFliFrame(fli);
  BMAP* own = fli->Bmap;
  BMAP* other = Make(12, 6, 8);
  LS_Bitmove(own, other, 0, 0, 11, 5, 0, 0, LS_BLIT_OPAQUE);
  LS_ClearBmap(own);
  fli->Bmap = other;
  LS_PlayFliFrame(fli);
  EXPECT_EQ(Shown(fli), Expected(fli, pictures[1]));
  fli->Bmap = own;
  EXPECT_EQ(Shown(fli), std::vector<uint32_t>(72, 0));
  LS_CloseFli(fli);
}

TEST_F(FliTest, MessagesGoToTheErrorFile) {
  Film film = OneFrame(true, {{0x63, {1, 2, 3}}, {datagen::kDeltaFlc, {1, 0, 0x00, 0x40}}});
  film.frames.push_back({0x1234, {}});
  FLI* fli = Open(film);
  LS_PlayFliFrame(fli);
  LS_PlayFliFrame(fli);
  LS_CloseFli(fli);
  fli = Open(OneFrame(true, {datagen::Color256Chunk(std::vector<uint8_t>(768, 0))}), FLI_MODE_MEMORY, BMAP_RGB888);
  LS_PlayFliFrame(fli);
  LS_CloseFli(fli);
  for (const char* text : {"Unrecognized Chunk 0x63", "Unwanted code in delta flc", "Bad .FLC format",
                           "Unsupported render depth for .FLI"})
    EXPECT_EQ(Logged(text), 1) << text;
}

TEST_F(FliTest, EmptyFilmSaysEndOfFli) {
  std::vector<uint8_t> bytes = datagen::EncodeFilm(OneFrame(false, {}));
  bytes[FLI_FRAMES_FIELD] = 0;
  WriteBytes("E.FLI", bytes);
  FLI* fli = LS_OpenFli("E.FLI", FLI_MODE_FILE, 0, BMAP_PAL8);
  ASSERT_NE(fli, nullptr);
  EXPECT_EQ(LS_PlayFliFrame(fli), 1);
  EXPECT_EQ(Logged("End Of FLI !"), 1);
  LS_CloseFli(fli);
  EXPECT_EQ(LS_PlayFliFrame(nullptr) + LS_CloseFli(nullptr), 0);
  LSI_SeekFli(nullptr, 0);
}

TEST_F(FliTest, FrameRunningPastTheEndIsTooBig) {
  const std::vector<FilmPicture> pictures = FilmPictures(80, 60, 2);
  std::vector<uint8_t> bytes = datagen::EncodeFilm(datagen::MakeFilm(true, pictures, ztest::FilmPalette(), 1));
  bytes.resize(datagen::kFilmHeaderSize + 16 + 2100);  // the first frame cut after 2100 of its bytes
  WriteBytes("T.FLC", bytes);
  for (int32_t mode : {FLI_MODE_MEMORY, FLI_MODE_FILE}) {
    FLI* fli = LS_OpenFli("T.FLC", mode, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr);
    LS_PlayFliFrame(fli);
    LS_PlayFliFrame(fli);  // back at the first frame, which is still cut
    EXPECT_EQ(fli->CurrentFrame, 0);
    LS_CloseFli(fli);
  }
  EXPECT_EQ(Logged(".FLC Frame too big (>2ko)"), 4);
}

}  // namespace
