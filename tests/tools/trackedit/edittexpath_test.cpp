// The texture-path entry of the track editor on a copy of the default
// circuit: typing and its bounds, an unchanged path, a reload with another
// texture set that rewrites the map file as the same map, and a missing
// set or a map that does not load leaving the file and the path alone.
#include <filesystem>
#include <string>
#include <vector>

#include "engine3d/texpages.h"
#include "engine3d/textures.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "system/file.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

namespace fs = std::filesystem;

class TexturePath : public ztest::TrackEditor {
 protected:
  uint32_t HeapSize() const override { return 64u << 20; }
  void SetUp() override {
    TrackEditor::SetUp();
    const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
    fs::create_directories(Path("DEC")), fs::create_directories(Path("TXT"));
    fs::copy_file(data / "DEC" / "NETRACE.DEC", Path("DEC/NETRACE.DEC"));
    fs::copy(data / "txt" / "TRAVUN", Path("TXT/TRAVUN"), fs::copy_options::recursive);
    fs::copy(data / "txt" / "TRAVUN", Path("TXT/OTHER"), fs::copy_options::recursive);
    LSI_InitDirectory();
    std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>NETRACE.DEC");
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "TRAVUN>");
    SB_Var.Renderer = 1;
    SB_Var.Pal3d = nullptr;
    ASSERT_EQ(SB_LoadMap(), 1);
    BuildXZYList();
    ASSERT_EQ(SB_LoadPalette3d(nullptr), 1);
    SB_LoadMapTextures();
    SB_Edit();
    SB_EnterEdit();
    SB_Var.EditTool = 3;
    decBytes_ = ztest::ReadFile(Path("DEC/NETRACE.DEC"));
    faces_ = SB_Var.Decor.NbFaces;
    Printed();
  }
  void TearDown() override {
    SB_FreeEdit();
    SB_FreeXZYList();
    SB_FreeTextures();
    SB_FreePalette3d();
    SB_FreeMap();
    TrackEditor::TearDown();
  }
  // The characters typed, one a frame.
  static void Type(const std::string& keys) {
    for (char c : keys) {
      LSI_PutKey(static_cast<uint8_t>(c));
      Frame({}, 320, 300);
    }
  }
  // The lines printed that report a failure.
  static std::vector<std::string> Errors() {
    std::vector<std::string> errors;
    for (const std::string& line : Printed())
      if (line.find("!!!") != std::string::npos) errors.push_back(line);
    return errors;
  }
  std::string decBytes_;
  int32_t faces_ = 0;
};

TEST_F(TexturePath, AnUnchangedPathGainsItsMarkAndDoesNothing) {
  Type(std::string(7, '\b') + "TRAVUN\r");
  EXPECT_STREQ(SB_Var.TexturePath, "TRAVUN>");
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(ztest::ReadFile(Path("DEC/NETRACE.DEC")), decBytes_);
}

TEST_F(TexturePath, TypingKeepsThirtyPrintableCharactersAndBackspaceStopsAtEmpty) {
  Type(std::string(10, '\b'));
  EXPECT_STREQ(SB_Var.TexturePath, "");
  Type(std::string("AB\x01\x1b") + std::string(40, 'X'));
  EXPECT_EQ(std::string(SB_Var.TexturePath), "AB" + std::string(28, 'X'));
  SB_Var.EditTool = 2;  // another tool: the keys are eaten
  Type("YZ");
  SB_Var.EditTool = 3;
  Type("\b");
  EXPECT_EQ(std::string(SB_Var.TexturePath), "AB" + std::string(27, 'X'));
}

TEST_F(TexturePath, ANewSetReloadsAndRewritesTheMapAsTheSameMap) {
  Type(std::string(7, '\b') + "OTHER\r");
  EXPECT_STREQ(SB_Var.TexturePath, "OTHER>");
  EXPECT_STREQ(SB_Var.EditEntryTexturePath, "OTHER>");
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(SB_Var.Decor.NbFaces, faces_);
  ASSERT_NE(SB_Var.Pal3d, nullptr);
  EXPECT_NE(SB_Var.XZYList.Xs, nullptr);
  // The file written loads as the same map.
  SB_FreeXZYList();
  SB_FreeMap();
  ASSERT_EQ(SB_LoadDecor("DEC>NETRACE.DEC"), 1);
  EXPECT_EQ(SB_Var.Decor.NbFaces, faces_);
  BuildXZYList();
  Type("\r");  // the same again: nothing
  EXPECT_TRUE(Errors().empty());
}

TEST_F(TexturePath, AMissingSetOrAMapThatDoesNotLoadLeavesFileAndPath) {
  Type(std::string(7, '\b') + "NOPE\r");
  EXPECT_EQ(Errors(), std::vector<std::string>{"Texture path NOPE> not found !!!"});
  EXPECT_STREQ(SB_Var.TexturePath, "TRAVUN>");
  std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>GONE.DEC");
  Type(std::string(7, '\b') + "OTHER\r");
  EXPECT_EQ(Errors(), std::vector<std::string>{"Map DEC>GONE.DEC not reloaded, nothing saved !!!"});
  EXPECT_STREQ(SB_Var.TexturePath, "TRAVUN>");
  EXPECT_STREQ(SB_Var.EditEntryTexturePath, "TRAVUN>");
  EXPECT_FALSE(fs::exists(Path("DEC/GONE.DEC")));
  EXPECT_EQ(ztest::ReadFile(Path("DEC/NETRACE.DEC")), decBytes_);
}

}  // namespace
