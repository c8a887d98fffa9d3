// The road-piece dialogue of MAKEROAD: the piece type, then that piece's
// numbers one line at a time on the console, in French, into a fresh
// TROADPARAMS that the construction turns into a file.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "shell/console.h"
#include "shell/hooks.h"
#include "tools/roadgen/roadgen.h"
#include "tools/tools.h"

namespace {

constexpr size_t kLineSize = 256;
constexpr float kTwoOverPi = 0.63661975f;  // scales the altitude of the slope starts and ends
constexpr float kDegree = 0.0055555557f;   // 1 / 180
constexpr float kPi = 3.1415927f;

enum class TBANKROLE { None, Rise, Fall, Hold };

// One piece type: its builder's name, the answers that select it, its
// prompts in order ('1'..'9' for P1..P9, '0' for P10), the smoothings of
// slope, bank and heading, the slope curve, the role of the bank answer,
// and whether the altitude answer is scaled by 2 / pi.
struct TROADPIECE {
  const char* Builder;
  const char* Codes[2];
  const char* Prompts;
  float SlopeSmooth, BankSmooth, HeadingSmooth;
  int32_t SlopeCurve;
  TBANKROLE Bank;
  bool Scaled;
};

constexpr TBANKROLE R = TBANKROLE::Rise, F = TBANKROLE::Fall, H = TBANKROLE::Hold, N = TBANKROLE::None;
constexpr TROADPIECE kPieces[] = {
    {"MakeRoadStraight", {"D", nullptr}, "134", 0, 0, 0, 0, N, false},
    {"MakeRoadBendStart", {"E", nullptr}, "12346", 0, 1, 0, 0, R, false},
    {"MakeRoadBendEnd", {"F", nullptr}, "12346", 0, 1, 0, 0, F, false},
    {"MakeRoadBend", {"V", nullptr}, "123467", 0, 0, 1, 0, H, false},
    {"MakeRoadSlopeStart", {"B", nullptr}, "123458", 1, 0, 0, 1, N, true},
    {"MakeRoadSlopeEnd", {"I", nullptr}, "123458", 1, 0, 0, 2, N, true},
    {"MakeRoadSlope", {"C", nullptr}, "12345", 1, 0, 0, 0, N, false},
    {"MakeRoadSlopeBendStart", {"CE", "EC"}, "1234658", 1, 1, 0, 0, R, false},
    {"MakeRoadSlopeBendEnd", {"CF", "FC"}, "1234658", 1, 1, 0, 0, F, false},
    {"MakeRoadSlopeBend", {"CV", "VC"}, "12346758", 1, 0, 1, 0, H, false},
    {"MakeRoadSlopeStartBendStart", {"BE", "EB"}, "1234658", 1, 1, 0, 1, R, true},
    {"MakeRoadSlopeStartBendEnd", {"BF", "FB"}, "1234658", 1, 1, 0, 1, F, true},
    {"MakeRoadSlopeStartBend", {"BV", "VB"}, "12346758", 1, 0, 1, 1, H, true},
    {"MakeRoadSlopeEndBendStart", {"IE", "EI"}, "1234658", 1, 1, 0, 2, R, true},
    {"MakeRoadSlopeEndBendEnd", {"IF", "FI"}, "1234658", 1, 1, 0, 2, F, true},
    {"MakeRoadSlopeEndBend", {"IV", "VI"}, "12346758", 1, 0, 1, 2, H, true},
    {"MakeRoadGradeChange", {"H", nullptr}, "1234908", 1, 0, 0, 0, N, false},
    {"MakeRoadGradeChangeBendStart", {"HE", "EH"}, "12349086", 1, 1, 0, 0, R, false},
    {"MakeRoadGradeChangeBendEnd", {"HF", "FH"}, "12349086", 1, 1, 0, 0, F, false},
    {"MakeRoadGradeChangeBend", {"HV", "VH"}, "123490867", 1, 0, 1, 0, H, false},
};

// The shipped maps' road textures are rout1 and rout2, one a strip of
// LanesPerStrip lanes: a wider road would name textures no map has.
constexpr int32_t kRoadTextures = 2;

void Ask(const char* prompt, char* line) {
  line[0] = 0;
  if (SB_Hooks.ConsoleInput) SB_Hooks.ConsoleInput(prompt, line);
  line[kLineSize - 1] = 0;
}

// The answer scanned with the format into *value: an answer that begins
// with a number sets it, an empty one keeps the default, and one that
// begins with text is refused with a message. Text after the number is
// not read: the console says which value was taken and what was dropped
// ("0,5" is 0, its ",5" dropped), so that a short reading is not silent.
template <typename T>
bool AskNumber(const char* prompt, const char* format, T* value) {
  char line[kLineSize];
  Ask(prompt, line);
  T read{};
  int used = 0;
  char scan[8];
  std::snprintf(scan, sizeof scan, "%s%%n", format);
  const int scanned = std::sscanf(line, scan, &read, &used);
  if (scanned == 1) {
    *value = read;
    const char* rest = line + used;
    if (rest[std::strspn(rest, " \t")] != 0) {
      if constexpr (std::is_floating_point_v<T>)
        SB_ConsolePrintf("Read %g, dropped '%s' !!!", static_cast<double>(read), rest);
      else
        SB_ConsolePrintf("Read %ld, dropped '%s' !!!", static_cast<long>(read), rest);
    }
    return true;
  }
  if (scanned == EOF) return true;
  SB_ConsolePrintf("Not a number: '%s', no road made !!!", line);
  return false;
}

// The defaults every piece starts from, with the type's fixed settings.
TROADPARAMS Defaults(const char* path, const TROADPIECE& piece) {
  TROADPARAMS p = {};
  p.Path = path;
  p.LaneWidth = 5.0f;
  p.BaseLength = 10.0f;
  p.Length = 100.0f;
  p.TextureLength = 10.0f;
  p.GutterWidth = 2.0f;
  p.NbLanes = 4;
  p.LanesPerStrip = 2;
  p.SlopeSmooth = piece.SlopeSmooth;
  p.BankSmooth = piece.BankSmooth;
  p.HeadingSmooth = piece.HeadingSmooth;
  p.SlopeCurve = piece.SlopeCurve;
  return p;
}

void ApplyBank(TROADPARAMS* p, TBANKROLE role, float h) {
  if (role == TBANKROLE::Rise) p->BankChange = h;
  if (role == TBANKROLE::Fall) p->StartBank = h, p->BankChange = -h;
  if (role == TBANKROLE::Hold) p->StartBank = h;
}

// One prompt of the piece, with its conversion right after its answer;
// false when the answer was refused.
bool AskPrompt(char label, const TROADPIECE& piece, TROADPARAMS* p) {
  switch (label) {
    case '1': {
      long wall = p->SimplifiedWall;
      const bool read = AskNumber("Mur simplifie: ", "%ld", &wall);
      p->SimplifiedWall = wall != 0;
      return read;
    }
    case '2': return AskNumber("Longueur du carre de base: ", "%f", &p->BaseLength);
    case '3': {
      long lanes = p->NbLanes;
      if (!AskNumber("Nombre de voies: ", "%ld", &lanes)) return false;
      const long most = long{kRoadTextures} * p->LanesPerStrip;
      if (lanes < 0 || lanes > most) {
        SB_ConsolePrintf("Lanes: 0 to %ld, the road textures being rout1 and rout2, no road made !!!", most);
        return false;
      }
      p->NbLanes = static_cast<int32_t>(lanes);
      return true;
    }
    case '4': return AskNumber("Longueur de la portion de route: ", "%f", &p->Length);
    case '5': {
      const bool read = AskNumber("Altitude: ", "%f", &p->AltitudeChange);
      if (piece.Scaled) p->AltitudeChange *= kTwoOverPi;
      return read;
    }
    case '6': {
      float h = 0.0f;
      const bool read = AskNumber("Hauteur du virage: ", "%f", &h);
      ApplyBank(p, piece.Bank, h);
      return read;
    }
    case '7': {
      const bool read = AskNumber("Angle du virage: ", "%f", &p->HeadingChange);
      p->HeadingChange = p->HeadingChange * -1.0f * kDegree * kPi;
      return read;
    }
    case '8': return AskNumber("Smooth sur la pente (0.0->1.0): ", "%f", &p->SlopeSmooth);
    case '9': return AskNumber("Pente de debut: ", "%f", &p->StartGradient);
    case '0': {
      const bool read = AskNumber("Pente de fin: ", "%f", &p->GradientChange);
      p->StartGradient = std::atan2(p->StartGradient, p->Length);
      p->GradientChange = std::atan2(p->GradientChange, p->Length);
      return read;
    }
  }
  return true;
}

// Every prompt of the piece is asked, also after a refused answer (the
// lines typed for the later ones are answers, not commands); a refused
// answer makes no piece.
void RunBuilder(const char* path, const TROADPIECE& piece) {
  TROADPARAMS p = Defaults(path, piece);
  bool answered = true;
  for (const char* label = piece.Prompts; *label; ++label) answered = AskPrompt(*label, piece, &p) && answered;
  if (answered) CalcRoadAndSaveAscii(path, &p);
}

const TROADPIECE* FindPiece(const char* answer) {
  for (const TROADPIECE& piece : kPieces)
    for (const char* code : piece.Codes)
      if (code && std::strcmp(code, answer) == 0) return &piece;
  return nullptr;
}

}  // namespace

void MakeRoad(const char* name) {
  char path[kLineSize];
  std::snprintf(path, sizeof path, "..>ASC>%s", name);
  char answer[kLineSize];
  Ask("(D)roite De(b)ut F(i)n (C)ote C(h)ange D(e)but (F)in (V)irage: ", answer);
  for (char* c = answer; *c; ++c)
    if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  if (const TROADPIECE* piece = FindPiece(answer))
    RunBuilder(path, *piece);
  else
    SB_ConsolePrintf("Unknown type of road '%s' !!!", answer);
}
