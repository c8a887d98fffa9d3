// The road-piece dialogue of MAKEROAD: the piece type, then that piece's
// numbers one line at a time on the console, in French, into a fresh
// TROADPARAMS that the construction turns into a file.
#include <cmath>
#include <cstdio>
#include <cstring>

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

void Ask(const char* prompt, char* line) {
  line[0] = 0;
  if (SB_Hooks.ConsoleInput) SB_Hooks.ConsoleInput(prompt, line);
  line[kLineSize - 1] = 0;
}

// The answer read as "%f", or the field left as it was.
void AskFloat(const char* prompt, float* field) {
  char line[kLineSize];
  Ask(prompt, line);
  std::sscanf(line, "%f", field);
}

long AskLong(const char* prompt, long value) {
  char line[kLineSize];
  Ask(prompt, line);
  std::sscanf(line, "%ld", &value);
  return value;
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

// One prompt of the piece, with its conversion right after its answer.
void AskPrompt(char label, const TROADPIECE& piece, TROADPARAMS* p) {
  switch (label) {
    case '1': p->SimplifiedWall = AskLong("Mur simplifie: ", p->SimplifiedWall) != 0; break;
    case '2': AskFloat("Longueur du carre de base: ", &p->BaseLength); break;
    case '3': {
      // Out of 0..100 the construction refuses the piece, rather than
      // wrap the count into the 32-bit field.
      const long lanes = AskLong("Nombre de voies: ", p->NbLanes);
      p->NbLanes = lanes < 0 || lanes > SB_MAXROADLANES ? -1 : static_cast<int32_t>(lanes);
      break;
    }
    case '4': AskFloat("Longueur de la portion de route: ", &p->Length); break;
    case '5':
      AskFloat("Altitude: ", &p->AltitudeChange);
      if (piece.Scaled) p->AltitudeChange *= kTwoOverPi;
      break;
    case '6': {
      float h = 0.0f;
      AskFloat("Hauteur du virage: ", &h);
      ApplyBank(p, piece.Bank, h);
      break;
    }
    case '7':
      AskFloat("Angle du virage: ", &p->HeadingChange);
      p->HeadingChange = p->HeadingChange * -1.0f * kDegree * kPi;
      break;
    case '8': AskFloat("Smooth sur la pente (0.0->1.0): ", &p->SlopeSmooth); break;
    case '9': AskFloat("Pente de debut: ", &p->StartGradient); break;
    case '0':
      AskFloat("Pente de fin: ", &p->GradientChange);
      p->StartGradient = std::atan2(p->StartGradient, p->Length);
      p->GradientChange = std::atan2(p->GradientChange, p->Length);
      break;
  }
}

void RunBuilder(const char* path, const TROADPIECE& piece) {
  TROADPARAMS p = Defaults(path, piece);
  for (const char* label = piece.Prompts; *label; ++label) AskPrompt(*label, piece, &p);
  CalcRoadAndSaveAscii(path, &p);
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
