// datagen: the console background it draws into the data tree, and the
// system font's include it makes from the glyph text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/devenv.h"
#include "datagen/sysfont.h"
#include "shell/hud.h"
#include "shell/sbvar.h"
#include "system/file.h"
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
  ASSERT_EQ(RunDatagen("'" + Tree() + "'"), 0);
  const std::string path = Tree() + "/PCX/DEVENV.PCX";
  ASSERT_TRUE(ztest::FileExists(path));
  const std::string file = ztest::ReadFile(path);
  ASSERT_GT(file.size(), 128u + 769u);
  const auto* h = reinterpret_cast<const uint8_t*>(file.data());
  EXPECT_EQ(h[0], 10);  // manufacturer
  EXPECT_EQ(h[1], 5);   // version
  EXPECT_EQ(h[2], 1);   // run-length coded
  EXPECT_EQ(h[3], 8);   // bits
  EXPECT_EQ(h[65], 1);  // planes
  EXPECT_EQ(LS_ReadLEWord(h + 8) - LS_ReadLEWord(h + 4) + 1, 640);
  EXPECT_EQ(LS_ReadLEWord(h + 10) - LS_ReadLEWord(h + 6) + 1, 480);
  const uint8_t* palette = h + file.size() - 768;
  EXPECT_EQ(palette[-1], 12);
  EXPECT_EQ(std::vector<uint8_t>(palette, palette + 3), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(palette + 765, palette + 768), (std::vector<uint8_t>{255, 255, 255}));
  // Dark everywhere: no colour in use is brighter than a third of white.
  BMAP* b = LS_LoadPcx("tree>pcx>devenv.pcx", 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->SizeX, 640);
  EXPECT_EQ(b->SizeY, 480);
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
  EXPECT_GT(colours, 64);  // a picture, not a flat fill
}

TEST_F(DatagenTest, TwoRunsGiveTheSameBytes) {
  ASSERT_EQ(RunDatagen("'" + Tree() + "'"), 0);
  const std::string first = ztest::ReadFile(Tree() + "/PCX/DEVENV.PCX");
  ASSERT_EQ(RunDatagen("'" + Tree() + "2'"), 0);
  EXPECT_EQ(ztest::ReadFile(Tree() + "2/PCX/DEVENV.PCX"), first);
  datagen::Picture8 picture = datagen::DevEnvPicture();
  ASSERT_TRUE(datagen::WritePcx(temp_ + "/again.pcx", picture));
  EXPECT_EQ(ztest::ReadFile(temp_ + "/again.pcx"), first);
}

TEST_F(DatagenTest, PicturesGoOverPlaceholdersOfAnyCase) {
  ztest::WriteFile(Tree() + "/pcx/devenv.pcx", "placeholder");
  ztest::WriteFile(temp_ + "/text/PCX/DEVENV.PCX", "copied placeholder");
  ztest::WriteFile(temp_ + "/text/dat/startup.txt", "echo\n");
  ASSERT_EQ(RunDatagen("'" + Tree() + "' '" + temp_ + "/text'"), 0);
  EXPECT_EQ(ztest::ReadFile(Tree() + "/dat/startup.txt"), "echo\n");
  // One picture, in the folder that was there, whatever its case.
  int found = 0;
  for (const auto& entry : fs::recursive_directory_iterator(Tree()))
    if (entry.is_regular_file() && entry.path().extension().string().size() == 4 &&
        (entry.path().filename() == "devenv.pcx" || entry.path().filename() == "DEVENV.PCX")) {
      ++found;
      EXPECT_GT(fs::file_size(entry.path()), 1000u) << entry.path();
    }
  EXPECT_EQ(found, 1);
}

TEST_F(DatagenTest, TheBuildsDataTreeHoldsThePicture) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  fs::path picture;
  for (const auto& entry : fs::recursive_directory_iterator(data)) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "DEVENV.PCX") picture = entry.path();
  }
  ASSERT_FALSE(picture.empty());
  ASSERT_TRUE(datagen::WritePcx(temp_ + "/fresh.pcx", datagen::DevEnvPicture()));
  EXPECT_EQ(ztest::ReadFile(picture.string()), ztest::ReadFile(temp_ + "/fresh.pcx"));
}

TEST_F(DatagenTest, UsageErrors) {
  EXPECT_NE(RunDatagen(""), 0);
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

// System font ---------------------------------------------------------------

std::string SourceFile(const std::string& relative) {
  return ztest::ReadFile(ZENTROVA_SOURCE_DIR "/" + relative);
}

TEST(SysFontTest, TheCommittedIncludeIsTheGlyphTextsPicture) {
  std::string error;
  const std::vector<uint8_t> picture = datagen::SysFontPicture(SourceFile("datagen/sysfont.txt"), &error);
  ASSERT_EQ(picture.size(), 325u * 24u) << error;
  EXPECT_EQ(datagen::SysFontInclude(picture), SourceFile("system/sysfont.inc"))
      << "regenerate with: datagen --sysfont datagen/sysfont.txt system/sysfont.inc";
  EXPECT_EQ(std::vector<uint8_t>(LSI_SysFontPixels, LSI_SysFontPixels + 325 * 24), picture);
}

TEST(SysFontTest, DatagenWritesTheInclude) {
  char dir[] = "/tmp/zentrova-sysfont-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string out = std::string(dir) + "/sysfont.inc";
  ASSERT_EQ(RunDatagen("--sysfont '" ZENTROVA_SOURCE_DIR "/datagen/sysfont.txt' '" + out + "'"), 0);
  EXPECT_EQ(ztest::ReadFile(out), SourceFile("system/sysfont.inc"));
  fs::remove_all(dir);
}

TEST(SysFontTest, GlyphTextErrors) {
  std::string glyph =
      "\n65\n.#......\n#.#.....\n###.....\n#.#.....\n#.#.....\n........\n........\n........\n";
  std::string error;
  EXPECT_TRUE(datagen::SysFontPicture(glyph, &error).empty());
  EXPECT_NE(error.find("1 glyphs"), std::string::npos) << error;

  const std::string text = SourceFile("datagen/sysfont.txt");
  EXPECT_TRUE(datagen::SysFontPicture(text + glyph, &error).empty());
  EXPECT_NE(error.find("twice"), std::string::npos) << error;
  std::string bad = glyph;
  bad.replace(bad.find(".#......"), 8, ".#.....#");
  EXPECT_TRUE(datagen::SysFontPicture(bad, &error).empty());
  EXPECT_NE(error.find("column 7"), std::string::npos) << error;
  bad = glyph;
  bad.replace(bad.find("###....."), 8, "##X.....");
  EXPECT_TRUE(datagen::SysFontPicture(bad, &error).empty());
  EXPECT_NE(error.find("only"), std::string::npos) << error;
  bad = "\n152\n" + glyph.substr(4);
  EXPECT_TRUE(datagen::SysFontPicture(bad, &error).empty());
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
  EXPECT_TRUE(datagen::SysFontPicture(glyph.substr(0, 40), &error).empty());
  EXPECT_NE(error.find("cut short"), std::string::npos) << error;
}

}  // namespace
