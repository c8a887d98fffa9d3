// Films at game level: placement with and without zoom, the 66 ms pace
// and the wave, Escape, the colour conversion and the x2 blit, the
// preloaded film through the race overlay, and damaged films.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datagen/fliwrite.h"
#include "datagen/wavwrite.h"
#include "frontend/media.h"
#include "platform/audio.h"
#include "platform/window.h"
#include "shell/gameclock.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/fli.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "tests/support/pixels.h"
#include "tests/support/testenv.h"

namespace ztest {
namespace {

// Index i grey i x white / 255: 0 black.
std::vector<uint8_t> Palette(int white) {
  std::vector<uint8_t> rgb(768, 0);
  for (int i = 1; i < 256; ++i) rgb[i * 3] = rgb[i * 3 + 1] = rgb[i * 3 + 2] = static_cast<uint8_t>(i * white / 255);
  return rgb;
}

datagen::FilmPicture Flat(int w, int h, uint8_t index) {
  return {w, h, std::vector<uint8_t>(static_cast<size_t>(w) * static_cast<size_t>(h), index)};
}

// Frames k = 0.. of w x h, frame k all of index 30 + 20 k.
datagen::Film FilmOf(int w, int h, int frames, uint32_t speed = 5) {
  std::vector<datagen::FilmPicture> pictures;
  for (int k = 0; k < frames; ++k) pictures.push_back(Flat(w, h, static_cast<uint8_t>(30 + 20 * k)));
  return datagen::MakeFilm(true, pictures, Palette(255), speed);
}

class FilmsTest;
FilmsTest* g_test = nullptr;

class FilmsTest : public LibraryTest {
 public:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(plat::audio::AttachOutput(11025, 1), plat::audio::kOk);
    StartLibrary(32u << 20);
    LS_SetErrorMode(LS_ERRMODE_LOG);
    const SOUNDFORMAT format = {11025, 1, 8};
    SetSoundFormat(&format);
    LSYS_SetVideoMode(640, 480, 16, 1);
    ASSERT_NE(LS_Var.Screen, nullptr);
    g_test = this;
    plat::SetMessageSource([] { g_test->Poll(); });
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    plat::ReleaseAllKeys();
    if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.TextScreen = nullptr;
    SB_DiscardFli();
    LibraryTest::TearDown();
  }
  void Poll();

 protected:
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFile(root_ + "/" + name, std::string(bytes.begin(), bytes.end()));
  }
  void PutWave(const std::string& name, uint32_t frames) {
    datagen::Wave wave;
    wave.samples = datagen::ConstantSamples(wave, 200, frames);
    Put(name, datagen::EncodeWave(wave));
  }
  std::vector<bool> soundingAt_;
  std::vector<uint32_t> shownAt_;
  uint32_t lastCentre_ = 0;
  std::function<void()> onPoll_;
  bool renderAudio_ = false;
  uint32_t rendered_ = 0;
};

// Each pump: the audio rendered when asked; when the screen shows a new
// frame (its centre's pixel changed), the time and whether sound played;
// then the test's own step.
void FilmsTest::Poll() {
  if (!LS_Var.Screen) return;
  // The sound of the time gone by since the last pump.
  bool sounding = false;
  const uint32_t now = LSYS_GetTime();
  if (renderAudio_) {
    std::vector<int16_t> out(static_cast<size_t>(now - rendered_) * 11025 / 1000 + 16);
    plat::audio::Render(out.data(), static_cast<uint32_t>(out.size()));
    for (int16_t v : out) sounding = sounding || v != 0;
  }
  rendered_ = now;
  const uint32_t centre = ztest::PixelsOf(LS_Var.Screen)[240 * 640 + 320];
  if (centre != lastCentre_) {
    shownAt_.push_back(LSYS_GetTime());
    soundingAt_.push_back(sounding);
    lastCentre_ = centre;
  }
  if (onPoll_) onPoll_();
}

uint32_t At(int32_t x, int32_t y) { return ztest::PixelsOf(LS_Var.Screen)[static_cast<size_t>(y * 640 + x)]; }

// The film's frame, white, lands where the screen's corners say.
TEST_F(FilmsTest, AFilmIsCentredZoomedOrNot) {
  Put("INTRO/F.FLC", datagen::EncodeFilm(FilmOf(320, 200, 1)));
  struct Row {
    int32_t zoom, x1, y1, x2, y2;
  };
  for (const Row& r : {Row{1, 0, 40, 639, 439}, Row{0, 160, 140, 479, 339}}) {
    LS_ClearBmap(LS_Var.Screen);
    EXPECT_EQ(SB_PlayFli("INTRO>F.FLC", "INTRO>NONE.WAV", FLI_MODE_FILE, r.zoom), 1);
    EXPECT_NE(At(r.x1, r.y1), 0u) << r.zoom;
    EXPECT_NE(At(r.x2, r.y2), 0u) << r.zoom;
    if (r.x1 > 0) {
      EXPECT_EQ(At(r.x1 - 1, r.y1), 0u) << r.zoom;
    }
    EXPECT_EQ(At(r.x1, r.y1 - 1), 0u) << r.zoom;
    EXPECT_EQ(At(r.x2, r.y2 + 1), 0u) << r.zoom;
    if (r.x2 < 639) {
      EXPECT_EQ(At(r.x2 + 1, r.y2), 0u) << r.zoom;
    }
  }
  EXPECT_EQ(SB_PlayFli("INTRO>MISSING.FLC", "", FLI_MODE_FILE, 1), 0);
  LSYS_SetVideoMode(512, 384, 16, 1);
  EXPECT_EQ(SB_PlayFli("INTRO>F.FLC", "", FLI_MODE_FILE, 1), 0);
}

// Frame i shows 66 ms x i after frame 0, whatever the film's own speed;
// the wave starts with frame 0, and the player waits for its end.
TEST_F(FilmsTest, FramesComeEvery66MsAndTheWaveIsWaitedFor) {
  Put("INTRO/F.FLC", datagen::EncodeFilm(FilmOf(320, 200, 5, 500)));
  PutWave("INTRO/W.WAV", 11025 * 2);
  renderAudio_ = true;
  const uint32_t start = LSYS_GetTime();
  EXPECT_EQ(SB_PlayFli("INTRO>F.FLC", "INTRO>W.WAV", FLI_MODE_MEMORY, 1), 1);
  ASSERT_EQ(shownAt_.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(shownAt_[i] - shownAt_[0], 66u * i) << i;
  EXPECT_EQ(shownAt_[0], start);
  EXPECT_TRUE(soundingAt_[0]);
  // The 2 s wave is waited for (the pumps take a little more sound than
  // the time they stand for), far beyond the film's 264 ms.
  EXPECT_GE(LSYS_GetTime() - start, 1000u);
  EXPECT_LE(LSYS_GetTime() - start, 2100u);
}

// Escape during the third frame ends the film and the wave at once.
TEST_F(FilmsTest, EscapeStopsTheFilmAndItsWave) {
  Put("INTRO/F.FLC", datagen::EncodeFilm(FilmOf(320, 200, 8)));
  PutWave("INTRO/W.WAV", 11025 * 20);
  onPoll_ = [&] {
    if (shownAt_.size() == 3) plat::SetKeyState(27, true);
  };
  const uint32_t start = LSYS_GetTime();
  EXPECT_EQ(SB_PlayFli("INTRO>F.FLC", "INTRO>W.WAV", FLI_MODE_FILE, 1), 1);
  EXPECT_EQ(shownAt_.size(), 3u);
  EXPECT_EQ(LSYS_GetTime() - start, 132u);
}

TEST_F(FilmsTest, ThePaletteBecomesTwoPixelsPerWord) {
  FLI fli{};
  struct Row {
    uint32_t rgb;
    int32_t format;
    uint32_t entry;
  };
  for (const Row& r : {Row{0xFFFFFF, BMAP_RGB555, 0x7FFF7FFF}, Row{0xFFFFFF, BMAP_RGB565, 0xFFFFFFFF},
                       Row{0x081018, BMAP_RGB555, 0x04430443}, Row{0x081018, BMAP_RGB565, 0x08830883},
                       Row{0x081018, BMAP_PAL8, 0x12345678}}) {
    fli.Colors[9] = r.rgb;
    SB_Var.FliColours[9] = 0x12345678;
    EXPECT_EQ(ConvertFliPalette(&fli, r.format), 1);
    EXPECT_EQ(SB_Var.FliColours[9], r.entry) << std::hex << r.rgb << " " << r.format;
  }
  EXPECT_EQ(Logged("Unsupported Format"), 0);
  ConvertFliPalette(&fli, BMAP_RGB888);
  EXPECT_EQ(Logged("Unsupported Format"), 1);
}

TEST_F(FilmsTest, TheZoomWritesTwoByTwoBlocks) {
  BMAP* frame = FilledBmap(2, 1, 8, {3, 200});
  frame->Format = BMAP_PAL8;
  SB_Var.FliColours[3] = 0x11111111;
  SB_Var.FliColours[200] = 0xABCDABCD;
  BMAP* d8 = LS_CreateBmap(5, 3, 8, 0);
  BMAP* d16 = LS_CreateBmap(4, 2, 16, 0);
  EXPECT_EQ(BlitFliFrame(frame, d8), 1);
  EXPECT_EQ(PixelsOf(d8), (std::vector<uint32_t>{3, 3, 200, 200, 0, 3, 3, 200, 200, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(BlitFliFrame(frame, d16), 1);
  EXPECT_EQ(PixelsOf(d16), (std::vector<uint32_t>{0x1111, 0x1111, 0xABCD, 0xABCD, 0x1111, 0x1111, 0xABCD, 0xABCD}));
  EXPECT_EQ(BlitFliFrame(d16, d8), 0);
  for (BMAP* b : {frame, d8, d16}) LS_FreeBmap(b);
}

// The preloaded film plays through the overlay, twice, each time leaving
// the overlay as it was and the game clock reset; a film larger than the
// overlay is refused.
TEST_F(FilmsTest, APreloadedFilmPlaysThroughTheOverlayAgainAndAgain) {
  Put("INTRO/ZENTRACE.FLC", datagen::EncodeFilm(FilmOf(320, 200, 3)));
  EXPECT_EQ(SB_PlayPreloadedFli(), 0);
  ASSERT_EQ(SB_PreloadFli("INTRO>ZENTRACE.FLC", "INTRO>NONE.WAV"), 1);
  EXPECT_EQ(SB_PlayPreloadedFli(), 0);  // no overlay
  SB_Var.TextScreen = SB_CreateBmap(640, 480, 16, BMAP_VIDEOMEM, "overlay");
  SB_Var.TextScreen->Format = LS_Var.Screen->Format;
  const BMAP before = *SB_Var.TextScreen;
  for (int play = 0; play < 2; ++play) {
    shownAt_.clear();
    lastCentre_ = 0;
    SB_Var.Time = 1;
    EXPECT_EQ(SB_PlayPreloadedFli(), 1) << play;
    EXPECT_EQ(shownAt_.size(), 3u) << play;
    EXPECT_EQ(SB_Var.TextScreen->SizeX, 640);
    EXPECT_EQ(SB_Var.TextScreen->Start, before.Start);
    EXPECT_EQ(SB_Var.Time, SB_GetTime()) << play;
  }
  SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.TextScreen = SB_CreateBmap(300, 200, 16, BMAP_VIDEOMEM, "overlay");
  shownAt_.clear();
  const uint32_t now = LSYS_GetTime();
  EXPECT_EQ(SB_PlayPreloadedFli(), 0);
  EXPECT_EQ(std::pair(shownAt_.size(), LSYS_GetTime()), std::pair(size_t{0}, now));
}

// Damaged films play what they can and leave nothing behind.
TEST_F(FilmsTest, DamagedFilmsNeitherCrashNorLeak) {
  const std::vector<uint8_t> good = datagen::EncodeFilm(FilmOf(320, 200, 3));
  std::vector<uint8_t> badMagic = good;
  badMagic[4] = 0x34;
  std::vector<uint8_t> noFrames = good;
  noFrames[6] = noFrames[7] = 0;
  datagen::Film changing = FilmOf(320, 200, 3);
  changing.frames[1].chunks.push_back(datagen::Color256Chunk(Palette(80)));
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const std::vector<Row> rows = {{"truncated", std::vector<uint8_t>(good.begin(), good.begin() + 700)},
                                 {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 128)},
                                 {"wrong signature", badMagic},
                                 {"no frames", noFrames},
                                 {"palette changes", datagen::EncodeFilm(changing)},
                                 {"larger than the screen", datagen::EncodeFilm(FilmOf(400, 300, 2))}};
  // As in the program, a library error would end the run.
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  const int16_t allocs = LSI_Var.NbAlloc, bmaps = LSI_Var.NbBmap;
  for (const Row& r : rows)
    for (int32_t zoom : {0, 1}) {
      Put("INTRO/BAD.FLC", r.bytes);
      EXPECT_EQ(SB_PlayFli("INTRO>BAD.FLC", "", FLI_MODE_FILE, zoom), 1) << r.what;
      EXPECT_EQ(SB_PlayFli("INTRO>BAD.FLC", "", FLI_MODE_MEMORY, zoom), 1) << r.what;
      EXPECT_EQ(std::pair(LSI_Var.NbAlloc, LSI_Var.NbBmap), std::pair(allocs, bmaps)) << r.what;
    }
  // The zoomed 400 x 300 film covers the screen from (-80, -60).
  EXPECT_NE(At(0, 0), 0u);
  EXPECT_NE(At(639, 479), 0u);
}

}  // namespace
}  // namespace ztest
