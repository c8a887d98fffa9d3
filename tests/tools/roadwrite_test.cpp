// The road generator's writer and dialogue: the default straight against
// its stored file, the layout's lines, an empty mesh, and the pieces the
// typed answers make.
#include <cmath>
#include <deque>

#include "race/racerules.h"
#include "racescene/mapinfo.h"
#include "shell/hooks.h"
#include "system/file.h"
#include "tests/tools/road_fixture.h"
#include "tools/tools.h"
#include "vehicles/vparams.h"

namespace {

using Lines = std::vector<std::string>;

// Lines of a CR LF text; false when a line ends otherwise.
bool SplitCrLf(const std::string& text, Lines* lines) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos || text.find('\n', at) < end) return false;
    lines->push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return true;
}

std::deque<std::string> g_answers;
Lines g_prompts;
void Answer(const char* prompt, char* line) {
  g_prompts.push_back(prompt);
  std::snprintf(line, SB_INPUTSIZE, "%s", g_answers.empty() ? "" : g_answers.front().c_str());
  if (!g_answers.empty()) g_answers.pop_front();
}

// Pieces are written to "..>ASC>": the tests run in C:>GAME, so that is C:>ASC.
class Road : public ztest::ToolsTest {
 protected:
  void SetUp() override {
    ztest::ToolsTest::SetUp();
    ztest::WriteFile(Path("GAME/KEEP"), "");
    ztest::WriteFile(Path("ASC/KEEP"), "");
    ASSERT_EQ(LS_SetCurrentDir(">GAME"), 1);
    SB_Hooks.ConsoleInput = Answer;
    g_answers.clear();
    g_prompts.clear();
  }
  void TearDown() override {
    SB_Hooks.ConsoleInput = nullptr;
    ztest::ToolsTest::TearDown();
  }
  // MAKEROAD with the answers; the file written, "" when none.
  std::string Make(const Lines& answers, const char* name = "PIECE.ASC") {
    g_answers.assign(answers.begin(), answers.end());
    g_prompts.clear();
    MakeRoad(name);
    const std::string path = Path(std::string("ASC/") + name);
    return ztest::FileExists(path) ? ztest::ReadFile(path) : "";
  }
  static std::string Golden() { return ztest::ReadFile(ZENTROVA_SOURCE_DIR "/tests/tools/golden/STRAIGHT.ASC"); }
};

TEST_F(Road, TheDefaultStraightIsItsStoredFile) {
  const std::string text = Make({"D"});
  EXPECT_EQ(text, Golden());
  Lines lines;
  ASSERT_TRUE(SplitCrLf(text, &lines));
  ASSERT_EQ(lines.size(), 725u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{"Named object: \"OBJECT0\"", "Tri-mesh, Vertices: 360 Faces: 120", "Mapped", "Vertex list:",
                   "Vertex 0: X:-2.000000 Y:0.000000 Z:1.000000 U:0.000000 V:0.000000"}));
  EXPECT_EQ(lines[364], "Face list:");
  EXPECT_EQ(Lines(lines.begin() + 365, lines.begin() + 368),
            (Lines{"Face 0: A:0 B:1 C:2 AB:1 BC:1 CA:1", "Material: \"mur1 m\"", "Smoothing: 1"}));
  EXPECT_EQ(g_prompts, (Lines{"(D)roite De(b)ut F(i)n (C)ote C(h)ange D(e)but (F)in (V)irage: ", "Mur simplifie: ",
                              "Nombre de voies: ", "Longueur de la portion de route: "}));
  EXPECT_EQ(Printed(), Lines{"Creation du circuit..."});
}

TEST_F(Road, AnEmptyMeshIsItsHeaderAndFaceList) {
  RoadNbVertices = RoadNbFaces = 0;
  SaveRoadAscii("EMPTY.ASC");
  EXPECT_EQ(ztest::ReadFile(Path("GAME/EMPTY.ASC")),
            "Named object: \"OBJECT0\"\r\nTri-mesh, Vertices: 0 Faces: 0\r\nMapped\r\nVertex list:\r\nFace list:\r\n");
}

TEST_F(Road, PieceTypes) {
  EXPECT_EQ(Make({"d"}), Golden());
  Make({"ec"});
  const Lines ec = g_prompts;
  Make({"CE"});
  EXPECT_EQ(g_prompts, ec);
  EXPECT_EQ(ec.size(), 8u);
  EXPECT_EQ(ec[5], "Hauteur du virage: ");
  Printed();
  std::remove(Path("ASC/PIECE.ASC").c_str());
  EXPECT_EQ(Make({"D "}), "");
  EXPECT_EQ(Printed(), Lines{"Unknown type of road 'D ' !!!"});
  EXPECT_EQ(g_prompts.size(), 1u);
}

// The mesh of the written piece: lane boundary k's vertices of sample i
// as the road strips carry them (U k / 2, V i).
TROADVERTEX Lane(const std::vector<TROADVERTEX>& vertices, int k, int i) {
  for (const TROADVERTEX& v : vertices)
    if (std::fabs(v.U - k / 2.0) < 1e-9 && std::fabs(v.V - i) < 1e-9) return v;
  return {NAN, NAN, NAN, NAN, NAN};
}

TEST_F(Road, TheAnswersShapeThePiece) {
  // A turn of 90 degrees to the left: at its end the lanes lie along +Y.
  auto v = ztest::StripVertices(Make({"V", "", "10", "4", "100", "0.1", "90"}));
  TROADVERTEX a = Lane(v, 0, 10), b = Lane(v, 4, 10);
  EXPECT_NEAR(b.X - a.X, 20 * std::cos(-M_PI / 2), 1e-5);
  EXPECT_NEAR(b.Y - a.Y, -20 * std::sin(-M_PI / 2), 1e-5);
  EXPECT_NEAR(b.Z - a.Z, 20 * std::tan(0.1), 1e-5);  // banked, the right-hand side up
  // The start of a slope: a quarter-cosine rise.
  v = ztest::StripVertices(Make({"B", "", "10", "", "100", "10", "1.0"}));
  for (int i = 0; i <= 10; ++i) EXPECT_NEAR(Lane(v, 0, i).Z, 6.3661975 * (1 - std::cos(i * M_PI / 20)), 2e-6) << i;
  // A change of gradient from 10 over 100 to nothing more: a constant slope.
  v = ztest::StripVertices(Make({"H", "", "10", "", "100", "10", "0", "1"}));
  for (int i = 0; i <= 10; ++i) EXPECT_NEAR(Lane(v, 0, i).Z, i * 1.0, 1e-5) << i;
}

TEST_F(Road, BadAnswersGiveTheirDefaultOrNoFile) {
  const std::string long79(78 - std::strlen("Longueur de la portion de route: "), '5');
  const std::string longText(long79.size(), 'x'), longRefusal = "Not a number: '" + longText + "', no road made !!!";
  const char* kLanes = "Lanes: 0 to 4, the road textures being rout1 and rout2, no road made !!!";
  const char* kLanesAndText = "Lanes: 0 to 4, the road textures being rout1 and rout2, no road made !!!\n"
                              "Not a number: 'far', no road made !!!";
  const struct {
    const char* what;
    Lines answers;
    const char* message;  // null: the default straight; "": another piece
  } rows[] = {
      {"empty lines", {"D", "", "", ""}, nullptr},
      {"blanks, and text after numbers", {"D", "  ", " 4 lanes", "100m"}, nullptr},
      {"walls: text", {"D", "abc", "", ""}, "Not a number: 'abc', no road made !!!"},
      {"base: text", {"C", "", "ten", "", "", ""}, "Not a number: 'ten', no road made !!!"},
      {"lanes: text", {"D", "", "x4", ""}, "Not a number: 'x4', no road made !!!"},
      {"length: text", {"D", "", "", "."}, "Not a number: '.', no road made !!!"},
      {"altitude: text", {"C", "", "", "", "", "up"}, "Not a number: 'up', no road made !!!"},
      {"bank: text", {"E", "", "", "", "", "-"}, "Not a number: '-', no road made !!!"},
      {"angle: text", {"V", "", "", "", "", "", "left"}, "Not a number: 'left', no road made !!!"},
      {"smoothing: text", {"B", "", "", "", "", "", "half"}, "Not a number: 'half', no road made !!!"},
      {"start gradient: text", {"H", "", "", "", "", "a", "0", ""}, "Not a number: 'a', no road made !!!"},
      {"end gradient: text", {"H", "", "", "", "", "0", "b", ""}, "Not a number: 'b', no road made !!!"},
      {"text at the line's limit", {"D", "", "", longText}, longRefusal.c_str()},
      {"length not a number", {"D", "", "", "nan"}, "Nombre invalide !!!"},
      {"infinite length", {"D", "", "", "inf"}, "Nombre invalide !!!"},
      {"length -inf", {"D", "", "", "-inf"}, "Nombre invalide !!!"},
      {"length 1e30", {"D", "", "", "1e30"}, "Portion de route trop grande !!!"},
      {"length -5", {"D", "", "", "-5"}, "Un segment minumum !!!"},
      {"base 0.5", {"C", "", "0.5", "", "", ""}, "Un metre de base mimimum !!!"},
      {"base 0", {"C", "", "0", "", "", ""}, "Un metre de base mimimum !!!"},
      // Two lanes a strip, one texture a strip: rout1 and rout2 cover 4.
      {"lanes 99999999999", {"D", "", "99999999999", ""}, kLanes},
      {"lanes 4294967300", {"D", "", "4294967300", ""}, kLanes},
      {"lanes -5", {"D", "", "-5", ""}, kLanes},
      {"lanes 5", {"D", "", "5", ""}, kLanes},
      {"lanes 4", {"D", "", "4", ""}, nullptr},
      {"lanes 3", {"D", "", "3", ""}, ""},
      {"lanes 0", {"D", "", "0", ""}, ""},
      {"lanes 5 and a text length", {"D", "", "5", "far"}, kLanesAndText},
      {"a length at the line's limit, beyond a float", {"D", "", "", long79}, "Nombre invalide !!!"},
      {"altitude nan", {"C", "", "", "", "", "nan"}, "Nombre invalide !!!"},
      {"altitude inf", {"C", "", "", "", "", "inf"}, "Nombre invalide !!!"},
      {"altitude -inf", {"B", "", "", "", "", "-inf", ""}, "Nombre invalide !!!"},
      {"altitude 1e38", {"C", "", "", "", "", "1e38"}, "Portion de route hors de la carte !!!"},
      {"altitude -20", {"I", "", "", "", "", "-20", ""}, ""},
      {"smoothing inf", {"B", "", "", "", "", "10", "inf"}, "Nombre invalide !!!"},
      {"smoothing -1", {"B", "", "", "", "", "10", "-1"}, "Smooth entre 0.0 et 1.0 !!!"},
      {"bank 1.5707963", {"V", "", "", "", "", "1.5707963", "90"}, "Virage trop incline !!!"},
      {"bank -1.5707963", {"E", "", "", "", "", "-1.5707963"}, "Virage trop incline !!!"},
      {"bank -0.2", {"F", "", "", "", "", "-0.2"}, ""},
      {"radius 0: a bend of no length", {"V", "", "", "", "0", "0.1", "90"}, "Un segment minumum !!!"},
      {"angle 1e9", {"V", "", "", "", "100", "0.1", "1e9"}, "Virage trop serre !!!"},
      {"angle -180 in 50 m", {"V", "", "", "", "50", "0", "-180"}, "Virage trop serre !!!"},
      {"angle 0", {"V", "", "", "", "100", "0.1", "0"}, ""},
      {"gradient 1e38", {"H", "", "", "", "100", "1e38", "0", "1"}, "Pente trop forte !!!"},
      {"gradient nan", {"H", "", "", "", "100", "nan", "0", "1"}, "Nombre invalide !!!"},
  };
  for (const auto& r : rows) {
    std::remove(Path("ASC/PIECE.ASC").c_str());
    Printed();
    const std::string text = Make(r.answers);
    EXPECT_EQ(g_prompts.size(), r.answers.size()) << r.what;  // every prompt asked, also after a refusal
    Lines printed = Printed();
    for (size_t k = 1; k < printed.size(); ++k) printed[0] += "\n" + printed[k];
    printed.resize(std::min<size_t>(printed.size(), 1));
    if (!r.message) {
      EXPECT_EQ(text, Golden()) << r.what;
    } else if (!*r.message) {
      EXPECT_EQ(printed, Lines{"Creation du circuit..."}) << r.what;
      EXPECT_NE(text, "") << r.what;
    } else {
      EXPECT_EQ(text, "") << r.what;
      EXPECT_EQ(printed, Lines{r.message}) << r.what;
    }
  }
}

// An answer is read as far as its number goes ("%ld" for the walls and the
// lanes, "%f" for the rest); text after the number is dropped and said.
// Each answer at each question of three pieces that between them ask all
// ten makes what its number alone makes, written whole or refused, with
// the line first.
TEST_F(Road, TextAfterANumberIsDroppedAndSaid) {
  const std::string x5000 = "12" + std::string(4998, 'x'), x77(SB_INPUTSIZE - 3, 'x');
  const struct {
    std::string answer;
    const char* whole;  // the value a whole-number question takes
    const char* real;   // the value the others take
    std::string droppedWhole, droppedReal;
  } rows[] = {
      {"12abc", "12", "12", "abc", "abc"},
      {"0,5", "0", "0", ",5", ",5"},
      {"2.5m", "2", "2.5", ".5m", "m"},
      {"1e3", "1", "1000", "e3", ""},
      {" 12", "12", "12", "", ""},
      {"12 ", "12", "12", "", ""},
      {"+4", "4", "4", "", ""},
      {"", "", "", "", ""},
      {x5000, "12", "12", x77, x77},  // the console's line holds SB_INPUTSIZE - 1 characters
  };
  const auto made = [this](const Lines& answers, Lines* printed) {
    std::remove(Path("ASC/PIECE.ASC").c_str());  // a refused piece leaves no file
    const std::string text = Make(answers);
    *printed = Printed();
    return text;
  };
  Printed();
  // The prompts' labels in order: '1' walls, '3' lanes, the rest "%f".
  for (const auto& [code, labels] : {std::pair<const char*, std::string>{"D", "134"}, {"HV", "123490867"},
                                     {"BV", "12346758"}})
    for (size_t k = 0; k < labels.size(); ++k) {
      const bool whole = labels[k] == '1' || labels[k] == '3';
      for (const auto& r : rows) {
        const char* value = whole ? r.whole : r.real;
        const std::string& dropped = whole ? r.droppedWhole : r.droppedReal;
        Lines answers(labels.size() + 1, ""), printed, expected;
        answers[0] = code;
        answers[k + 1] = r.answer;
        const std::string text = made(answers, &printed);
        const size_t asked = g_prompts.size();
        answers[k + 1] = value;
        if (!dropped.empty()) expected.push_back("Read " + std::string(value) + ", dropped '" + dropped + "' !!!");
        Lines alone;
        EXPECT_EQ(text, made(answers, &alone)) << code << " " << labels[k] << " " << r.answer.substr(0, 8);
        expected.insert(expected.end(), alone.begin(), alone.end());
        EXPECT_EQ(printed, expected) << code << " " << labels[k] << " " << r.answer.substr(0, 8);
        EXPECT_EQ(asked, labels.size() + 1) << code << " " << labels[k];  // the type's prompt, then every one
      }
    }
}

// The scene's height (Z) of the road strips under the scene point (X, Y),
// or NAN off them (over a gutter, a wall or beyond).
double StripHeight(const std::vector<TROADVERTEX>& strips, double X, double Y) {
  for (size_t f = 0; f + 2 < strips.size(); f += 3) {
    const TROADVERTEX &a = strips[f], &b = strips[f + 1], &c = strips[f + 2];
    const double d = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
    if (d == 0) continue;
    const double v = ((X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (Y - a.Y)) / d;
    const double w = ((b.X - a.X) * (Y - a.Y) - (X - a.X) * (b.Y - a.Y)) / d;
    if (v >= -1e-9 && w >= -1e-9 && v + w <= 1 + 1e-9) return a.Z + v * (b.Z - a.Z) + w * (c.Z - a.Z);
  }
  return NAN;
}

// The README's bend of 4 lanes banked at 0.1 and its start grid: the four
// cars of the shipped start-up are placed from the map information as a
// race places them, and each stands over a lane, its wheels at or above
// the road (the grid has one height, that of its highest lane). The grid
// 5 m further right puts its third car beyond the road.
TEST_F(Road, TheReadmesBendGridPutsFourCarsOnTheRoad) {
  const std::vector<TROADVERTEX> strips = ztest::StripVertices(Make({"V", "", "10", "4", "400", "0.1", "-8"}));
  ASSERT_FALSE(strips.empty());
  const struct {
    const char* start;
    int cars;  // on the road
  } rows[] = {{"-8.9,-8.36,13.6", 4}, {"-3.9,-8.36,13.6", 3}};
  SB_SetGameMode(SB_TRAINING);  // the console's race: a grid of six lanes a row
  for (const auto& r : rows) {
    ztest::WriteFile(Path("GAME/TXT/BEND.TXT"), std::string("BSPLINENAME: TXT>BEND.BSP\r\nFIRSTCAROFF: ") + r.start +
                                               "\r\nCARINITANGLEY: 0.0\r\n");
    ASSERT_EQ(SB_LoadMapInfo("TXT>BEND.TXT"), 1);
    SB_Var.CurStartSlots = &SB_Var.StartSlots[0];
    SB_Var.GridCount = 0;
    int onRoad = 0;
    for (int32_t i = 0; i < 4; ++i) {
      TCAR car{};  // no wheel offset: its position is its wheels' height
      SB_PlaceCarOnGrid(&car, i);
      // The race's world is the scene's: x = X - 6.4, y = -Z - 6.4, z = Y - 6.4.
      const double road = StripHeight(strips, car.Position[0] + 6.4, car.Position[2] + 6.4);
      onRoad += -car.Position[1] - 6.4 >= road - 1e-3;  // NAN (off the road) never is
    }
    EXPECT_EQ(onRoad, r.cars) << r.start;
  }
}

TEST_F(Road, AFileThatCannotBeMadeIsReportedAndTheToolGoesOn) {
  ztest::WriteFile(Path("ASC/DIR/KEEP"), "");
  for (const char* name : {"NOWHERE>X.ASC", "DIR"}) {
    Printed();
    Make({"D"}, name);
    EXPECT_EQ(Printed(),
              (Lines{"Creation du circuit...", std::string("Error creating file ..>ASC>") + name + " !!!"}));
  }
}

}  // namespace
