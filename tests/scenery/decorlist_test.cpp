// The decor object list: its scan (comments, separators, icon codes, the
// icon picture), the objects loaded upright at the origin with their
// scripts, lists replacing lists, the console lines, the owners' blocks
// given back, and bad lists.
#include <cstring>

#include "datagen/pcxwrite.h"
#include "tests/scenery/decor_fixture.h"

namespace {

using scenerytest::DecorTest;

class DecorListTest : public DecorTest {
 protected:
  void LoadList(const std::string& text) {
    Write("DECOR/LIST.TXT", text);
    LoadObjectScript("decor>list.txt");
  }
  static int32_t Owned(const char* owner) {
    int32_t n = 0;
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i)
      if (std::strcmp(SB_MemOwners[i].Owner, owner) == 0) ++n;
    return n;
  }
};

TEST_F(DecorListTest, ObjectLinesGiveNamesAndIconsWhateverTheSeparators) {
  struct Row {
    const char* line;
    const char* object;
    const char* script;
    int32_t icon;
  };
  const Row rows[] = {
      {"OBJECT \"a.obc\",\"b.scr\",258", "a.obc", "b.scr", 258},
      {"OBJECT \"a.obc\" \"b.scr\" 3", "a.obc", "b.scr", 3},
      {"OBJECT\t\"a.obc\",,\"b.scr\"\t,\"7", "a.obc", "b.scr", 7},
      {"OBJECT a.obc\" , b.scr\"", "a.obc", "b.scr", 0},
      {"XOBJECT \"a.obc\",\"b.scr\",1", "a.obc", "b.scr", 1},
      {"; OBJECT \"x\",\"y\",9\rOBJECT \"a.obc\",\"b.scr\",2", "a.obc", "b.scr", 2},
      {"; OBJECT \"x\",\"y\",9\nOBJECT \"a.obc\",\"b.scr\",2", "a.obc", "b.scr", 2},
  };
  for (const Row& row : rows) {
    LoadList(row.line);
    ASSERT_EQ(SB_Var.NbDecorObjects, 1) << row.line;
    EXPECT_STREQ(SB_Var.DecorObjectNames[0], row.object) << row.line;
    EXPECT_STREQ(SB_Var.DecorScriptNames[0], row.script) << row.line;
    EXPECT_EQ(SB_Var.DecorIconCodes[0], row.icon) << row.line;
    EXPECT_EQ(Entry().Object, nullptr);  // no such file: not drawn
  }
}

TEST_F(DecorListTest, ObjectsLoadAtTheOriginUprightWithTheirScriptsAndSaySo) {
  Write("DECOR/MILL.SCR", "{ {TIME 1} } { {TIME 2} }:PALES");
  SB_ClearPrintedLines();
  LoadList(
      "OBJECT \"obc>decor>moulin.obc\",\"decor>mill.scr\",1\r\n"
      "OBJECT \"obc>decor>missing.obc\",\"decor>none.scr\",2\r\n");
  ASSERT_EQ(SB_Var.NbDecorObjects, 2);
  const std::vector<std::string> expected = {"Loading object 'obc>decor>moulin.obc'\n", "        script 'decor>mill.scr'\n",
                                             "Loading object 'obc>decor>missing.obc'\n", "        script 'decor>none.scr'\n"};
  EXPECT_EQ(SB_PrintedLines(), expected);
  ASSERT_NE(Entry(0).Object, nullptr);
  EXPECT_EQ(Entry(0).NbBlocks, 2);
  EXPECT_EQ(Entry(1).Object, nullptr);
  EXPECT_EQ(Entry(1).NbBlocks, 0);
  EXPECT_EQ(Entry(1).CurrentBlock, -1);
  // Every part stands upright: its x axis (the roof) points up, y down.
  for (OBJECT* part = Entry(0).Object; part; part = part->Next) {
    EXPECT_NEAR(part->Orientation[1], -1.0f, 1e-6) << part->Name;
    EXPECT_NEAR(part->Orientation[0] * part->Orientation[0] + part->Orientation[2] * part->Orientation[2], 0.0, 1e-9);
  }
  for (float v : Entry(0).Object->Position) EXPECT_EQ(v, 0.0f);
}

TEST_F(DecorListTest, TheLastIconFileWinsAndAMissingOneLeavesNoPicture) {
  datagen::Picture8 icons{42, 20, std::vector<uint8_t>(42 * 20, 3), std::vector<uint8_t>(768, 0)};
  Write("DECOR/README", "");
  ASSERT_TRUE(datagen::WritePcx(root_ + "/DECOR/ICONS.PCX", icons));
  LoadList("ICONFILE \"decor>missing.pcx\"\r\nICONFILE decor>icons.pcx extra\r\nOBJECT \"a\",\"b\"");
  ASSERT_NE(SB_Var.DecorIconBmap, nullptr);
  EXPECT_EQ(SB_Var.DecorIconBmap->SizeX, 42);
  LoadList("ICONFILE decor>icons.pcx\r\nICONFILE \"decor>missing.pcx\"\r\nOBJECT \"a\",\"b\"");
  EXPECT_EQ(SB_Var.DecorIconBmap, nullptr);
}

TEST_F(DecorListTest, AListReplacesTheLoadedOneWhateverTheCountsAndCommentsOnlyClearIt) {
  const std::string line = "OBJECT \"obc>decor>moulin.obc\",\"decor>none\",0\r\n";
  LoadList(line + line + line);
  EXPECT_EQ(SB_Var.NbDecorObjects, 3);
  LoadList(line);
  EXPECT_EQ(SB_Var.NbDecorObjects, 1);
  LoadList(line + line);
  EXPECT_EQ(SB_Var.NbDecorObjects, 2);
  LoadObjectScript("decor>nothing.txt");  // unreadable: nothing changes
  EXPECT_EQ(SB_Var.NbDecorObjects, 2);
  LoadList("; OBJECT \"obc>decor>moulin.obc\",\"x\",0\r\n;\r\n");
  EXPECT_EQ(SB_Var.NbDecorObjects, 0);
  EXPECT_EQ(SB_Var.DecorObjects, nullptr);
  EXPECT_EQ(SB_Var.DecorObjectNames, nullptr);
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(DecorListTest, TheTwoFreesGiveBackEveryBlockOfTheLoaders) {
  Write("DECOR/MILL.SCR", "{ {TIME 1} {TIME 2} }");
  LoadList("OBJECT \"obc>decor>moulin.obc\",\"decor>mill.scr\",0\r\n");
  EXPECT_EQ(Owned("LoadObjectScript"), 3);
  EXPECT_EQ(Owned("LoadDecorObjects"), 1);
  EXPECT_EQ(Owned("LoadDecorObjectScript"), 2);
  SB_FreeDecorNames();
  SB_FreeDecorObjects();
  for (const char* owner : {"LoadObjectScript", "LoadDecorObjects", "LoadDecorObjectScript"})
    EXPECT_EQ(Owned(owner), 0) << owner;
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(DecorListTest, BadListsStayWithinTheirTables) {
  std::string many;
  for (int32_t i = 0; i < 10000; ++i) many += "OBJECT \"o" + std::to_string(i) + "\",\"s\",1\n";
  LoadList(many);
  EXPECT_EQ(SB_Var.NbDecorObjects, 256);
  EXPECT_STREQ(SB_Var.DecorObjectNames[255], "o255");

  LoadList("OBJECT \"" + std::string(300, 'n') + "\",\"" + std::string(300, 's') + "\",12");
  ASSERT_EQ(SB_Var.NbDecorObjects, 1);
  EXPECT_EQ(std::string(SB_Var.DecorObjectNames[0]), std::string(63, 'n'));
  EXPECT_EQ(std::string(SB_Var.DecorScriptNames[0]), std::string(63, 's'));
  EXPECT_EQ(SB_Var.DecorIconCodes[0], 12);

  LoadList("OBJECT \"no closing quote at all");
  ASSERT_EQ(SB_Var.NbDecorObjects, 1);
  EXPECT_STREQ(SB_Var.DecorObjectNames[0], "no closing quote at all");
  EXPECT_STREQ(SB_Var.DecorScriptNames[0], "");

  std::string binary;
  for (int32_t i = 0; i < 4096; ++i) binary.push_back(static_cast<char>(i * 37 % 256));
  LoadList(binary + std::string("\r\0OBJECT \"a\0b\",\"c\",99999999999", 31));
  ASSERT_EQ(SB_Var.NbDecorObjects, 1);
  EXPECT_EQ(SB_Var.DecorIconCodes[0], INT32_MAX);

  Write("OBC/DECOR/BAD.OBC", "POLDEX ---- OBJC garbage");
  LoadList("OBJECT \"obc>decor>bad.obc\",\"x\",0\nICONFILE \"obc>decor>bad.obc\"");
  EXPECT_EQ(Entry().Object, nullptr);
}

}  // namespace
