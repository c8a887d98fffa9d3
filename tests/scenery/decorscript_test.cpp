// The decor script parser: blocks, commands and parts, every keyword with
// its flag and values, number forms, speeds carried from command to
// command, COPY, TABLE files, the preparation, and bad scripts.
#include <cfloat>
#include <cmath>
#include <functional>

#include "tests/scenery/decor_fixture.h"

namespace {

using scenerytest::DecorTest;

class DecorScriptTest : public DecorTest {};

TEST_F(DecorScriptTest, BracesOpenBlocksThenCommandsAndAPartNameMovesThatPart) {
  LoadOne("; two blocks\r\n{\r\n  {XYZ 1,2,3}\r\n  {TIME 2}\r\n}\r\n{\r\n  {ASPEED 60 0 0}\r\n}:pales\r\n");
  ASSERT_EQ(Entry().NbBlocks, 2);
  EXPECT_EQ(Entry().CurrentBlock, -1);
  EXPECT_EQ(Block(0).NbCommands, 2);
  EXPECT_EQ(Block(0).Object, Entry().Object);
  EXPECT_STREQ(Block(0).Name, "MOULIN");
  EXPECT_EQ(Block(1).NbCommands, 1);
  EXPECT_EQ(Block(1).Object, Part("PALES"));
  EXPECT_STREQ(Block(1).Name, "MOULIN");  // a block bears the object's name whatever it moves
}

TEST_F(DecorScriptTest, ANestedBraceIsIgnoredAndTheFirstClosingBraceEndsTheCommand) {
  // The second "}" ends the block, so the third is stray and its part
  // name is text outside any block.
  LoadOne("{ {XYZ 1 2 3 { TIME 4 } SPEED 9 9 9 } }:PALES\r\n{ {TIME 5} }");
  ASSERT_EQ(Entry().NbBlocks, 2);
  ASSERT_EQ(Block(0).NbCommands, 1);
  EXPECT_EQ(Command(0, 0).Duration, 4.0);
  EXPECT_EQ(Command(0, 0).Speed[0], 0.0);
  EXPECT_EQ(Block(0).Object, Entry().Object);
  EXPECT_EQ(Command(1, 0).Duration, 5.0);
}

TEST_F(DecorScriptTest, EachKeywordSetsItsFlagAndStoresItsValues) {
  struct Row {
    const char* text;
    uint32_t flags;
    std::function<void(const TDECORCMD&)> check;
  };
  const Row rows[] = {
      {"XYZ 1,2,3", 0x1, [](const TDECORCMD& c) { EXPECT_EQ(c.Position[2], 3.0); }},
      {"ANGLE 0 90 0", 0x2, [](const TDECORCMD& c) { EXPECT_EQ(c.Angles[1], 90.0); }},
      {"SPEED 4 5 6", 0x4, [](const TDECORCMD& c) { EXPECT_EQ(c.Speed[0], 4.0); }},
      {"ASPEED 0 0 45", 0x8, [](const TDECORCMD& c) { EXPECT_EQ(c.AngularSpeed[2], 45.0); }},
      {"GOTO 300", 0x10, [](const TDECORCMD& c) { EXPECT_EQ(c.Target, 44); }},
      {"AUTOANGLE", 0x40, nullptr},
      {"AUTOALT 2.5", 0x80, [](const TDECORCMD& c) { EXPECT_EQ(c.Altitude, 2.5f); }},
      {"AUTOPENCHE", 0x100, nullptr},
      {"RIGHTNOW", 0x200, nullptr},
      {"TIME 0.1", 0x400, [](const TDECORCMD& c) { EXPECT_EQ(c.Duration, 0.1); }},
      {"ACC 1 -2 3", 0x800, [](const TDECORCMD& c) { EXPECT_EQ(c.Acceleration[1], -2.0); }},
      {"AACC 7 8 9", 0x1000, [](const TDECORCMD& c) { EXPECT_EQ(c.AngularAcceleration[0], 7.0); }},
      {"VMINMAX -1 2", 0x2000,
       [](const TDECORCMD& c) { EXPECT_EQ(c.SpeedMin, -1.0f); EXPECT_EQ(c.SpeedMax, 2.0f); }},
      {"AVMINMAX -3,4", 0x4000,
       [](const TDECORCMD& c) { EXPECT_EQ(c.AngularSpeedMin, -3.0f); EXPECT_EQ(c.AngularSpeedMax, 4.0f); }},
      {"RANDTIME 3", 0x10000 | 0x400, [](const TDECORCMD& c) { EXPECT_EQ(c.Target, 3); }},
      {"AUTOSPEED", 0x20000, nullptr},  // the last command: no speed is computed
      {"SINEXYZ 4 5 6", 0x40000, [](const TDECORCMD& c) { EXPECT_EQ(c.Position[0], 4.0); }},
      {"XYZ 1 1 1 TIME 1 XYZ 7 8 9", 0x401, [](const TDECORCMD& c) { EXPECT_EQ(c.Position[0], 7.0); }},
      {"GOTO -5", 0x10, [](const TDECORCMD& c) { EXPECT_EQ(c.Target, 251); }},
      {"RANDTIME 1000000000", 0x10400, [](const TDECORCMD& c) { EXPECT_EQ(c.Target, 0); }},
  };
  for (const Row& row : rows) {
    LoadOne(std::string("{ {") + row.text + "} }");
    ASSERT_EQ(Entry().NbBlocks, 1) << row.text;
    ASSERT_EQ(Block(0).NbCommands, 1) << row.text;
    EXPECT_EQ(Command(0, 0).Flags, row.flags | 0x20) << row.text;
    if (row.check) {
      SCOPED_TRACE(row.text);
      row.check(Command(0, 0));
    }
  }
}

TEST_F(DecorScriptTest, TriplesReadTheSameWithCommasBlanksOrBothAtSinglePrecision) {
  for (const char* triple : {"0.1,0.2,0.3", "0.1 0.2 0.3", "0.1 , 0.2 ,0.3", "0.1;c\r0.2;c\n0.3",
                             "1e-1,2e-1,3e-1", "1E-1 2e-1,3E-1"}) {  // either case of exponent
    LoadOne(std::string("{ {XYZ ") + triple + " TIME 0.1} }");
    const TDECORCMD& c = Command(0, 0);
    EXPECT_EQ(c.Position[0], static_cast<double>(0.1f)) << triple;
    EXPECT_EQ(c.Position[1], static_cast<double>(0.2f)) << triple;
    EXPECT_EQ(c.Position[2], static_cast<double>(0.3f)) << triple;
    EXPECT_EQ(c.Duration, 0.1) << triple;  // double precision
  }
}

TEST_F(DecorScriptTest, ANewCommandStartsWithThePreviousCommandsSpeeds) {
  LoadOne("{ {SPEED 1 2 3 ASPEED 4 5 6} {TIME 1} {SPEED 7 0 0} }");
  const TDECORCMD& second = Command(0, 1);
  EXPECT_EQ(second.Speed[2], 3.0);
  EXPECT_EQ(second.AngularSpeed[0], 4.0);
  EXPECT_EQ(second.Flags & 0xC, 0u);  // held, but not used without the keywords
  EXPECT_EQ(Command(0, 2).AngularSpeed[1], 5.0);
}

TEST_F(DecorScriptTest, CopyAppendsEarlierBlocksCommandsWithTheirGotosRebased) {
  LoadOne(
      "{ {XYZ 1 0 0} {GOTO 0} }\r\n"
      "{ {XYZ 2 0 0} {COPY MOULIN XYZ 8 8 8} {XYZ 3 0 0} }\r\n"
      "{ {COPY NOBODY} }");
  ASSERT_EQ(Block(1).NbCommands, 4);
  EXPECT_EQ(Command(1, 0).Position[0], 2.0);
  EXPECT_EQ(Command(1, 1).Position[0], 1.0);
  EXPECT_EQ(Command(1, 2).Target, 1);  // GOTO 0 of the copy that lands at 1
  EXPECT_EQ(Command(1, 3).Position[0], 3.0);
  ASSERT_EQ(Block(2).NbCommands, 1);  // nothing of that name: the command stays, empty
  EXPECT_EQ(Command(2, 0).Flags, 0x20u);
}

TEST_F(DecorScriptTest, AutospeedTakesTheWayToTheNextPointInTheDuration) {
  LoadOne("{ {XYZ 0 0 0 TIME 2 AUTOSPEED} {XYZ 4 2 0 TIME 0 AUTOSPEED} {XYZ 0 0 0 AUTOSPEED} }");
  EXPECT_EQ(Command(0, 0).Speed[0], 2.0);
  EXPECT_EQ(Command(0, 0).Speed[1], 1.0);
  EXPECT_TRUE(Command(0, 0).Flags & 0x4);
  // A duration of 0 gives no speed rather than a division by it.
  EXPECT_EQ(Command(0, 1).Speed[0], 0.0);
  EXPECT_TRUE(Command(0, 1).Flags & 0x4);
  EXPECT_FALSE(Command(0, 2).Flags & 0x4);  // the last command
  for (int32_t k = 0; k < 3; ++k) EXPECT_TRUE(Command(0, k).Flags & 0x20);
  EXPECT_EQ(Block(0).Flags & 0x100, 0u);
}

TEST_F(DecorScriptTest, TableKeepsTheFileWholeAndCountsItsRecords) {
  Write("DECOR/PATH.TAB", datagen::TableBytes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}) + "12345");
  Write("DECOR/SHORT.TAB", std::string(23, 'x'));
  Write("DECOR/EMPTY.TAB", "");
  struct Row {
    const char* text;
    int32_t count;  // -1: no table
  };
  for (const Row& row : {Row{"TABLE \"decor>path.tab\"", 3}, Row{"TABLE decor>path.tab\"", 3},
                         Row{"TABLE \"decor>path.tab\r\nSPEED 1 0 0", 3}, Row{"TABLE \"decor>missing.tab\"", -1},
                         Row{"TABLE \"decor>short.tab\"", 0}, Row{"TABLE \"decor>empty.tab\"", -1},
                         Row{"TABLE \"decor>short.tab\" TABLE \"decor>path.tab\"", 3}}) {
    LoadOne(std::string("{ {") + row.text + "} }");
    const TDECORCMD& c = Command(0, 0);
    EXPECT_EQ(c.Table != nullptr, row.count >= 0) << row.text;
    EXPECT_EQ((c.Flags & 0x8000) != 0, row.count >= 0) << row.text;
    EXPECT_EQ(c.TableCount, row.count < 0 ? 0 : row.count) << row.text;
  }
}

TEST_F(DecorScriptTest, BadScriptsEndWithinTheirRecords) {
  Write("DECOR/NAN.TAB", datagen::TableBytes({{NAN, 0, 0}, {1, 0, 0}}));
  const std::string word(100000, 'Q');
  const std::string name100(100, 'N'), part200(200, 'P');
  const std::string scripts[] = {
      "}}}{{{",
      "{ {XYZ 1 2 3",
      "{ {XYZ 1 2",
      "{ {TIME",
      "{ {" + word + " XYZ 1 2 3} }",
      "TIME 3 XYZ 1 2 3 { TIME 4 {} } TIME 5",
      "{ {XYZ nan 1e999 - } {XYZ 1E999 - 5} {TIME 1e999} }",
      "{ {COPY " + name100 + "} {COPY} }",
      "{ {XYZ 1 1 1 COPY MOULIN} } { {COPY MOULIN TABLE \"decor>nan.tab\"} } { {COPY MOULIN} }",
      "{ {TABLE \"decor>nan.tab\" COPY X} } { {COPY MOULIN} }",
      "{ {TIME 1} }:" + part200,
      "{ {TABLE \"" + name100 + name100 + name100 + "\"} }",
      std::string("{ {XYZ 1\0 2 3} }", 17),
  };
  for (const std::string& script : scripts) {
    LoadOne(script);
    ASSERT_NE(SB_Var.DecorObjects, nullptr);
    for (int32_t j = 0; j < Entry().NbBlocks; ++j)
      for (int32_t k = 0; k < Block(j).NbCommands; ++k)
        for (double v : Command(j, k).Position) EXPECT_TRUE(std::isfinite(v)) << script.substr(0, 40);
  }
  // The number forms: "nan" and a value beyond the range read as 0, "-"
  // alone as 0 and passed.
  LoadOne(scripts[6]);
  EXPECT_EQ(Command(0, 0).Position[0], 0.0);
  EXPECT_EQ(Command(0, 1).Position[2], 5.0);
  EXPECT_EQ(Command(0, 2).Duration, 0.0);
  // A block of COPYs of COPYs stays within its bound.
  std::string doubling;
  for (int32_t j = 0; j < 14; ++j) doubling += "{ {XYZ 1 1 1} {COPY MOULIN} }";
  LoadOne(doubling);
  ASSERT_EQ(Entry().NbBlocks, 14);
  EXPECT_EQ(Block(8).NbCommands, 3 << 7);  // 1 + all before: 2, 3, 6, 12 ...
  EXPECT_EQ(Block(13).NbCommands, 4096);
}

}  // namespace
