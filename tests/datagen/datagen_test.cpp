// datagen: the pictures it draws into the data tree (the console
// background, the HUD's and the interface's fonts, the arrow...), and the
// system font's include it makes from the glyph text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "datagen/devenv.h"
#include "datagen/sysfont.h"
#include "frontend/menu.h"
#include "race/hud.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/fli.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "system/util.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

int RunDatagen(const std::string& arguments) {
  const std::string command = "'" ZENTROVA_DATAGEN "' " + arguments + " 2>/dev/null";
  return std::system(command.c_str());
}

class DatagenTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    ztest::LibraryTest::SetUp();
    StartLibrary(8u << 20);
  }
  std::string Tree() const { return root_ + "/tree"; }
};

TEST_F(DatagenTest, WritesTheConsoleBackground) {
  ASSERT_EQ(RunDatagen(std::string("'").append(Tree()).append("'")), 0);
  const std::string file = ztest::ReadFile(Tree() + "/PCX/DEVENV.PCX");
  ASSERT_GT(file.size(), 128u + 769u);
  const auto* h = reinterpret_cast<const uint8_t*>(file.data());
  // Manufacturer, version, run-length coded, bits, planes; 640 x 480.
  EXPECT_EQ((std::vector<uint8_t>{h[0], h[1], h[2], h[3], h[65]}), (std::vector<uint8_t>{10, 5, 1, 8, 1}));
  EXPECT_EQ(std::pair(LS_ReadLEWord(h + 8) - LS_ReadLEWord(h + 4) + 1,
                      LS_ReadLEWord(h + 10) - LS_ReadLEWord(h + 6) + 1),
            std::pair(640, 480));
  // The palette after its marker 12: entry 0 black, 255 white.
  const uint8_t* palette = h + file.size() - 768;
  EXPECT_EQ((std::vector<uint8_t>{palette[-1], palette[0], palette[1], palette[2], palette[765], palette[766],
                                  palette[767]}),
            (std::vector<uint8_t>{12, 0, 0, 0, 255, 255, 255}));
  // Dark everywhere: no colour in use is brighter than a third of white.
  BMAP* b = LS_LoadPcx("tree>pcx>devenv.pcx", 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(std::pair(b->SizeX, b->SizeY), std::pair(640, 480));
  std::vector<bool> used(256, false);
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) used[LS_GetPixel(b, x, y)] = true;
  LS_FreeBmap(b);
  EXPECT_FALSE(used[255]);
  int colours = 0;
  for (int i = 0; i < 256; ++i) {
    if (!used[static_cast<size_t>(i)]) continue;
    ++colours;
    for (int k = 0; k < 3; ++k) EXPECT_LE(palette[i * 3 + k], 85) << i;
  }
  EXPECT_GT(colours, 32);  // a picture, not a flat fill
}

// Pictures remapped into the console's palette, as VIEWIMAGE shows them,
// keep their colours: each 2 x 2 block of one colour averages within a
// few steps of it.
TEST_F(DatagenTest, PicturesRemappedIntoTheConsolePaletteKeepTheirColours) {
  ASSERT_TRUE(datagen::WritePcx(root_ + "/DEVENV.PCX", datagen::DevEnvPicture()));
  PALETTE* console = LS_LoadPcxPalette("devenv.pcx");
  ASSERT_NE(console, nullptr);
  const LS_RGB colours[] = {{63, 0, 0},   {0, 63, 0},   {0, 0, 63},   {63, 32, 0}, {63, 63, 0},
                            {63, 63, 63}, {32, 32, 32}, {40, 10, 50}, {6, 11, 22}};
  const int32_t n = static_cast<int32_t>(std::size(colours));
  PALETTE own{};
  BMAP* picture = LS_CreateBmap(2 * n, 2, 8, 0);
  BMAP* shown = LS_CreateBmap(2 * n, 2, 8, 0);
  for (int32_t i = 0; i < n; ++i) {
    own.Entry[i] = colours[i];
    LS_FillRect(picture, 2 * i, 0, 2 * i + 1, 1, static_cast<uint32_t>(i));
  }
  SB_RemapBmap(picture, &own, shown, console);
  for (int32_t i = 0; i < n; ++i) {
    int32_t sum[3] = {};
    for (int32_t k = 0; k < 4; ++k) {
      const LS_RGB& c = console->Entry[LS_GetPixel(shown, 2 * i + k % 2, k / 2)];
      sum[0] += c.Red, sum[1] += c.Green, sum[2] += c.Blue;
    }
    EXPECT_NEAR(sum[0], 4 * colours[i].Red, 16) << i;
    EXPECT_NEAR(sum[1], 4 * colours[i].Green, 16) << i;
    EXPECT_NEAR(sum[2], 4 * colours[i].Blue, 16) << i;
  }
  LS_FreeBmap(shown);
  LS_FreeBmap(picture);
  LS_FreePalette(console);
}

// Two runs give the same bytes, those of the picture written afresh, over
// placeholders of any case; the build's data tree holds them too.
TEST_F(DatagenTest, RunsGiveTheSameBytesOverPlaceholdersOfAnyCase) {
  ASSERT_TRUE(datagen::WritePcx(temp_ + "/fresh.pcx", datagen::DevEnvPicture()));
  const std::string fresh = ztest::ReadFile(temp_ + "/fresh.pcx");
  ASSERT_EQ(RunDatagen(std::string("'").append(Tree()).append("2'")), 0);
  EXPECT_EQ(ztest::ReadFile(Tree() + "2/PCX/DEVENV.PCX"), fresh);
  ztest::WriteFile(Tree() + "/pcx/devenv.pcx", "placeholder");
  ztest::WriteFile(temp_ + "/text/PCX/DEVENV.PCX", "copied placeholder");
  ztest::WriteFile(temp_ + "/text/dat/startup.txt", "echo\n");
  ASSERT_EQ(RunDatagen(std::string("'").append(Tree()).append("' '").append(temp_).append("/text'")), 0);
  EXPECT_EQ(ztest::ReadFile(Tree() + "/dat/startup.txt"), "echo\n");
  // One picture, in the folder that was there, whatever its case.
  for (const fs::path& tree : {fs::path(Tree()), fs::path(ZENTROVA_EXE).parent_path() / "data"}) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
      std::string name = entry.path().filename().string();
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (entry.is_regular_file() && name == "DEVENV.PCX") found.push_back(entry.path());
    }
    ASSERT_EQ(found.size(), 1u) << tree;
    EXPECT_EQ(ztest::ReadFile(found[0].string()), fresh) << found[0];
  }
  // The films and the race's pictures come out byte for byte the same.
  for (const char* name : {"INTRO/TAMRISK.FLC", "INTRO/ZENTRACE.FLC", "INTRO/TALOGO.WAV", "COMDEX/LOGO.TGA",
                           "COMDEX/CHOOSE.TGA", "INTER/BMAPS/AUTOBOX.TGA", "MISCPICT/RADAR.TGA"})
    EXPECT_EQ(ztest::ReadFile(Tree() + "2/" + name),
              ztest::ReadFile((fs::path(ZENTROVA_EXE).parent_path() / "data" / name).string()))
        << name;
  EXPECT_NE(RunDatagen(""), 0);  // usage errors
  EXPECT_NE(RunDatagen("--sysfont '" + temp_ + "/none.txt' '" + temp_ + "/out.inc'"), 0);
}

// The HUD's pictures, read by the game from the build's data tree.
TEST_F(DatagenTest, TheHudPicturesLoadInTheGame) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  fs::copy(data / "MISCPICT", root_ + "/MISCPICT");
  PALETTE palette{};  // any palette keeping the strips' background last
  for (int i = 0; i < 255; ++i)
    palette.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>(i >> 2), 20};
  palette.Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
  SB_Var.Pal3d = &palette;
  SB_InitFonts();
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) {
    const TSBFONT& f = SB_Fonts[slot];
    ASSERT_EQ(f.Loaded, 1) << slot;
    EXPECT_EQ(f.Bmap->SizeY, SB_FONTHEIGHTS[slot]);
    // Every glyph found, the first at column 0 and the last at the end:
    // glyphs hold ink in every column and are parted by background.
    EXPECT_EQ(f.Spans[0].First, 0);
    EXPECT_EQ(f.Spans[f.NbGlyphs - 1].Last, f.Bmap->SizeX - 1) << slot;
    for (int32_t g = 0; g < f.NbGlyphs; ++g) EXPECT_GT(f.Glyphs[g].Count, 0) << slot << " " << g;
  }
  SB_DisposeFonts();
  BMAP* dial = LS_LoadTga("MISCPICT>COMPTEUR.TGA", 0);
  ASSERT_NE(dial, nullptr);
  // Room for both needles about their centres; transparent around them.
  EXPECT_GE(dial->SizeX, SB_SPEEDNEEDLEX + SB_NEEDLELENGTH + 1);
  EXPECT_GE(dial->SizeY, SB_NEEDLEY + SB_NEEDLELENGTH + 1);
  EXPECT_GE(SB_REVNEEDLEX, SB_NEEDLELENGTH);
  EXPECT_EQ(LS_GetPixel(dial, 0, 0), 0u);
  EXPECT_NE(LS_GetPixel(dial, SB_SPEEDNEEDLEX, SB_NEEDLEY), 0u);
  LS_FreeBmap(dial);
  for (int car = 1; car <= SB_NBCARPICTURES; ++car) {
    BMAP* picture = LS_LoadTga(("MISCPICT>CARCOT" + std::to_string(car) + ".TGA").c_str(), 0);
    ASSERT_NE(picture, nullptr) << car;
    EXPECT_EQ(LS_GetPixel(picture, 0, 0), 0u);
    LS_FreeBmap(picture);
  }
}

// The interface's fonts and arrow: the same bytes from a second run as in
// the build's data tree, loaded by the game with the cells the interface
// gives them.
TEST_F(DatagenTest, TheInterfaceFontsAndArrowLoadInTheGame) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  ASSERT_EQ(RunDatagen("'" + root_ + "'"), 0);
  struct Font {
    const char* name;
    int32_t cellWidth, cellHeight, count;
  };
  const Font fonts[] = {{"NETBIG.TGA", 32, 36, 59},
                        {"NETSMALL.TGA", 10, 11, 94},
                        {"NETSMAL2.TGA", 10, 11, 94},
                        {"NETSMAL3.TGA", 10, 11, 94}};
  std::vector<uint32_t> colours;
  for (const Font& f : fonts) {
    const std::string path = std::string("INTER/FONTES/") + f.name;
    EXPECT_EQ(ztest::ReadFile(root_ + "/" + path), ztest::ReadFile((data / path).string())) << f.name;
    FONT* font = LS_LoadFont(("INTER>FONTES>" + std::string(f.name)).c_str(), f.cellWidth, f.cellHeight, 32,
                             f.count, 1, 45, 0);
    ASSERT_NE(font, nullptr) << f.name;
    BMAP* b = font->Picture;
    EXPECT_EQ(b->Depth, 32);
    EXPECT_GE(font->CellsPerRow * (b->SizeY / f.cellHeight), f.count) << f.name;
    // Ink in one colour with its coverage as alpha, and nothing but 0 off
    // the ink; each glyph but the space starts at its cell's left edge.
    uint32_t colour = 0;
    for (int32_t y = 0; y < b->SizeY; ++y)
      for (int32_t x = 0; x < b->SizeX; ++x) {
        const uint32_t pixel = LS_GetPixel(b, x, y);
        if (!(pixel >> 24)) {
          ASSERT_EQ(pixel, 0u) << f.name << " " << x << "," << y;
          continue;
        }
        if (!colour) colour = pixel & 0xFFFFFF;
        ASSERT_EQ(pixel & 0xFFFFFF, colour) << f.name << " " << x << "," << y;
      }
    colours.push_back(colour);
    for (int32_t c = 1; c < f.count; ++c) {
      const int32_t left = c % font->CellsPerRow * f.cellWidth, top = c / font->CellsPerRow * f.cellHeight;
      bool inkAtLeft = false;
      for (int32_t y = top; y < top + f.cellHeight; ++y) inkAtLeft |= LS_GetPixel(b, left, y) != 0;
      EXPECT_TRUE(inkAtLeft) << f.name << " character " << 32 + c;
    }
    EXPECT_EQ(LS_GetStringWidth(font, " "), f.cellWidth / 2 + 2);  // the space: no ink
    EXPECT_GT(LS_GetStringWidth(font, "W"), LS_GetStringWidth(font, "I"));
    LS_FreeFont(font);
  }
  EXPECT_NE(colours[1], colours[2]);
  EXPECT_NE(colours[2], colours[3]);
  EXPECT_NE(colours[1], colours[3]);
  EXPECT_EQ(ztest::ReadFile(root_ + "/INTER/BMAPS/CURSOR.TGA"),
            ztest::ReadFile((data / "INTER/BMAPS/CURSOR.TGA").string()));
  BMAP* arrow = LS_LoadTga("INTER>BMAPS>CURSOR.TGA", 0);
  ASSERT_NE(arrow, nullptr);
  // The point where the menus' hit test looks, below the pointer's
  // position: clear (black) above it, a dark grey edge at it, white inside,
  // black beside it.
  const int32_t tip = SB_MENUHITDROP;
  for (int32_t y = 0; y < tip; ++y)
    for (int32_t x = 0; x < arrow->SizeX; ++x) ASSERT_EQ(LS_GetPixel(arrow, x, y) & 0xFFFFFF, 0u) << x << "," << y;
  const uint32_t edge = LS_GetPixel(arrow, 0, tip) & 0xFFFFFF, inside = LS_GetPixel(arrow, 1, tip + 4) & 0xFFFFFF;
  EXPECT_EQ(edge & 0xFF, (edge >> 8) & 0xFF);
  EXPECT_GT(edge & 0xFF, 0u);
  EXPECT_LT(edge & 0xFF, 0x80u);
  EXPECT_EQ(inside, 0xFFFFFFu);
  EXPECT_EQ(LS_GetPixel(arrow, arrow->SizeX - 1, tip) & 0xFFFFFF, 0u);
  LS_FreeBmap(arrow);
}

// The pictures around a race and the placeholder map, read by the game.
TEST_F(DatagenTest, ThePicturesAroundARaceLoadInTheGame) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  fs::copy(data, root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  struct Picture {
    const char* name;
    int32_t width, height, depth;
  };
  for (const Picture& p : {Picture{"MISCPICT>PLEASEWA.TGA", 320, 64, 24}, Picture{"MISCPICT>TAMRISK.TGA", 640, 480, 24},
                           Picture{"MISCPICT>INFO.TGA", 480, 240, 24}, Picture{"PCX>VOATU.PCX", 108, 111, 8}}) {
    BMAP* b = p.depth == 8 ? LS_LoadPcx(p.name, 0) : LS_LoadTga(p.name, 0);
    ASSERT_NE(b, nullptr) << p.name;
    EXPECT_EQ(b->SizeX, p.width) << p.name;
    EXPECT_EQ(b->SizeY, p.height) << p.name;
    EXPECT_EQ(b->Depth, p.depth) << p.name;
    EXPECT_NE(LS_GetPixel(b, p.width / 2, p.height / 2), 0u) << p.name;
    LS_FreeBmap(b);
  }
  PALETTE* palette = LS_LoadPcxPalette("PCX>VOATU.PCX");
  EXPECT_NE(palette, nullptr);
  LS_FreePalette(palette);
  EXPECT_EQ(LS_FileExists("DEC>NETRACE.DEC"), 1);
}

// The films: 320 x 200 FLC files whose first frame holds the palette and
// a run-length picture and whose later frames are line deltas, with their
// waves; and the pictures shown over a race at their depths and sizes.
TEST_F(DatagenTest, TheFilmsAndTheRacePicturesLoadInTheGame) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  fs::copy(data, root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  struct Film {
    const char* name;
    const char* wave;
    int32_t minFrames, maxFrames;
  };
  for (const Film& f : {Film{"INTRO>TAMRISK.FLC", "INTRO/TALOGO.WAV", 40, 50},
                        Film{"INTRO>ZENTRACE.FLC", "INTRO/RACE22.WAV", 25, 35}}) {
    FLI* fli = LS_OpenFli(f.name, FLI_MODE_MEMORY, 0, BMAP_PAL8);
    ASSERT_NE(fli, nullptr) << f.name;
    EXPECT_EQ(std::pair(fli->Bmap->SizeX, fli->Bmap->SizeY), std::pair(320, 200)) << f.name;
    EXPECT_GE(fli->NbFrame, f.minFrames) << f.name;
    EXPECT_LE(fli->NbFrame, f.maxFrames) << f.name;
    const uint8_t* frame = fli->Buffer + fli->FirstFrame;
    EXPECT_EQ(LS_ReadLEWord(frame + 16 + 4), FLI_COLOR_256) << f.name;
    EXPECT_EQ(LS_ReadLEWord(frame + 16 + LS_ReadLELong(frame + 16) + 4), FLI_BYTE_RUN) << f.name;
    int32_t deltas = 0;  // frames that change nothing have no chunk
    for (int32_t k = 1; k < fli->NbFrame; ++k) {
      frame += LS_ReadLELong(frame);
      if (LS_ReadLEWord(frame + 6) == 0) continue;
      EXPECT_EQ(LS_ReadLEWord(frame + 16 + 4), FLI_DELTA_FLC) << f.name << " " << k;
      ++deltas;
    }
    EXPECT_GE(deltas, f.minFrames / 5) << f.name;
    LS_CloseFli(fli);
    EXPECT_GT(ztest::ReadFile(root_ + "/" + f.wave).size(), 11025u) << f.wave;
  }
  struct Picture {
    const char* name;
    int32_t maxWidth, maxHeight, depth;
    bool square;
  };
  for (const Picture& p :
       {Picture{"COMDEX>FASTER.TGA", 640, 480, 24, false}, Picture{"COMDEX>SMOOTHER.TGA", 640, 480, 24, false},
        Picture{"COMDEX>MORE.TGA", 640, 480, 24, false}, Picture{"COMDEX>ZENTROVA.TGA", 640, 480, 24, false},
        Picture{"COMDEX>LOGO.TGA", 640, 480, 24, false}, Picture{"COMDEX>ACCELERA.TGA", 640, 240, 32, false},
        Picture{"COMDEX>CHOOSE.TGA", 640, 240, 32, false}, Picture{"COMDEX>ACCEPLAY.TGA", 640, 240, 32, false},
        Picture{"INTER>BMAPS>AUTOBOX.TGA", 200, 110, 32, false}, Picture{"INTER>BMAPS>MANUBOX.TGA", 200, 110, 32, false},
        Picture{"MISCPICT>BOX.TGA", 256, 256, 32, true}, Picture{"MISCPICT>RADAR.TGA", 256, 256, 32, true}}) {
    BMAP* b = LS_LoadTga(p.name, 0);
    ASSERT_NE(b, nullptr) << p.name;
    EXPECT_LE(b->SizeX, p.maxWidth) << p.name;
    EXPECT_LE(b->SizeY, p.maxHeight) << p.name;
    EXPECT_EQ(b->Depth, p.depth) << p.name;
    if (p.depth == 32) {
      EXPECT_EQ(b->Format, BMAP_ARGB8888) << p.name;
    }
    if (p.square) {
      EXPECT_EQ(b->SizeX, b->SizeY) << p.name;
      EXPECT_EQ(b->SizeX & (b->SizeX - 1), 0) << p.name;
    }
    EXPECT_NE(LS_GetPixel(b, b->SizeX / 2, b->SizeY / 2), 0u) << p.name;
    LS_FreeBmap(b);
  }
}

// The road, its kerbed verge and the walls, as the game reads them in both
// formats: of one size, and no texel of one picture equal to the same
// texel of another.
TEST_F(DatagenTest, TheThreeRoadPicturesDifferTexelForTexel) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  fs::copy(data, root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  for (const char* extension : {".TGA", ".PCX"}) {
    std::vector<BMAP*> pictures;
    for (const char* name : {"TXT>TRAVUN>ROAD    ", "TXT>TRAVUN>ROUT1", "TXT>TRAVUN>MUR1"}) {
      const std::string path = std::string(name) + extension;
      pictures.push_back(extension[1] == 'T' ? LS_LoadTga(path.c_str(), 0) : LS_LoadPcx(path.c_str(), 0));
      ASSERT_NE(pictures.back(), nullptr) << path;
      EXPECT_EQ(std::vector<int32_t>({pictures.back()->SizeX, pictures.back()->SizeY}),
                std::vector<int32_t>({64, 64})) << path;
    }
    for (size_t a = 0; a < 3; ++a)
      for (size_t b = a + 1; b < 3; ++b) {
        int32_t equal = 0;
        for (int32_t y = 0; y < 64; ++y)
          for (int32_t x = 0; x < 64; ++x) equal += LS_GetPixel(pictures[a], x, y) == LS_GetPixel(pictures[b], x, y);
        EXPECT_EQ(equal, 0) << extension << " " << a << " " << b;
      }
    for (BMAP* b : pictures) LS_FreeBmap(b);
  }
}

// System font ---------------------------------------------------------------

std::string SourceFile(const std::string& relative) {
  return ztest::ReadFile(ZENTROVA_SOURCE_DIR "/" + relative);
}

// The committed include is the glyph text's picture, as the library has it
// and as datagen writes it.
TEST(SysFontTest, TheCommittedIncludeIsTheGlyphTextsPicture) {
  std::string error;
  const std::vector<uint8_t> picture = datagen::SysFontPicture(SourceFile("datagen/sysfont.txt"), &error);
  ASSERT_EQ(picture.size(), 325u * 24u) << error;
  EXPECT_EQ(datagen::SysFontInclude(picture), SourceFile("system/sysfont.inc"))
      << "regenerate with: datagen --sysfont datagen/sysfont.txt system/sysfont.inc";
  EXPECT_EQ(std::vector<uint8_t>(LSI_SysFontPixels, LSI_SysFontPixels + 325 * 24), picture);
  char dir[] = "/tmp/zentrova-sysfont-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string out = std::string(dir) + "/sysfont.inc";
  ASSERT_EQ(RunDatagen("--sysfont '" ZENTROVA_SOURCE_DIR "/datagen/sysfont.txt' '" + out + "'"), 0);
  EXPECT_EQ(ztest::ReadFile(out), SourceFile("system/sysfont.inc"));
  fs::remove_all(dir);
}

TEST(SysFontTest, GlyphTextErrors) {
  const std::string glyph =
      "\n65\n.#......\n#.#.....\n###.....\n#.#.....\n#.#.....\n........\n........\n........\n";
  const auto changed = [&](const char* from, const char* to) {
    std::string bad = glyph;
    return bad.replace(bad.find(from), 8, to);
  };
  const std::pair<std::string, const char*> cases[] = {
      {glyph, "1 glyphs"},                                   // too few
      {SourceFile("datagen/sysfont.txt") + glyph, "twice"},  // 'A' again
      {changed(".#......", ".#.....#"), "column 7"},         // ink in the blank column
      {changed("###.....", "##X....."), "only"},             // neither "#" nor "."
      {"\n152\n" + glyph.substr(4), "outside"},              // past the code page's letters
      {glyph.substr(0, 40), "cut short"},
  };
  for (const auto& [text, message] : cases) {
    std::string error;
    EXPECT_TRUE(datagen::SysFontPicture(text, &error).empty()) << message;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

}  // namespace

// Every sticker the sample car definitions name is a picture the game
// reads, with its background (the corner) black and its middle drawn.
TEST_F(DatagenTest, TheSampleCarDefinitionsStickersLoadInTheGame) {
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_, fs::copy_options::recursive);
  const std::string defs = ztest::ReadFile(root_ + "/dat/CARDEFS.TXT");
  int stickers = 0;
  for (size_t at = defs.find("STICKER: "); at != std::string::npos; at = defs.find("STICKER: ", at + 1), ++stickers) {
    const size_t name = defs.rfind(',', defs.find('\r', at)) + 1;
    const std::string path = "interfac>sticker>" + defs.substr(name, defs.find('\r', at) - name);
    BMAP* picture = LS_LoadTga(path.c_str(), 0);
    ASSERT_NE(picture, nullptr) << path;
    EXPECT_EQ(LS_GetPixel(picture, 0, 0) & 0xFFFFFF, 0u) << path;
    EXPECT_NE(LS_GetPixel(picture, picture->SizeX / 2, picture->SizeY / 2) & 0xFFFFFF, 0u) << path;
    LS_FreeBmap(picture);
  }
  EXPECT_EQ(stickers, 27);
}
