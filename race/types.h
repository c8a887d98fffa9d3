// Records and constants of the race that other floors hold: game modes,
// race rules, the sequencer's steps, and the pictures the HUD loads.
//
// The pictures the HUD loads: the race fonts' strips (one row of glyphs
// each, in the order of the character map, on one reserved background
// colour), the finishing list's car pictures and the dial. Shared by the HUD
// and by the tools that draw the pictures.
#pragma once
#include <cstdint>

constexpr int32_t SB_NBFONTS = 3;
constexpr const char* SB_FONTFILES[SB_NBFONTS] = {"MISCPICT>FONT.TGA", "MISCPICT>FONT2.TGA",
                                                  "MISCPICT>FONT3.TGA"};
constexpr int32_t SB_FONTGLYPHS[SB_NBFONTS] = {48, 48, 45};
constexpr int32_t SB_FONTHEIGHTS[SB_NBFONTS] = {31, 20, 10};
constexpr int32_t SB_FONTSPACING[SB_NBFONTS] = {4, 2, 4};
// Glyph i of every font shows character i of this text; capital and small
// letters share a glyph.
constexpr char SB_FONTCHARS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.:,/'!?&-+()";
static_assert(sizeof SB_FONTCHARS - 1 == 48, "48 glyphs at most");

// The strips' background: a colour no glyph uses, which the 3D palette
// keeps at its last entry so that the strip converted to 8 bits shows it
// as that index. Components 0..255; the palette holds them divided by 4.
constexpr uint8_t SB_FONTBACK_RED = 255;
constexpr uint8_t SB_FONTBACK_GREEN = 0;
constexpr uint8_t SB_FONTBACK_BLUE = 255;
constexpr int32_t SB_FONTBACKINDEX = 255;

// The car pictures of the finishing list: "MISCPICT>CARCOT1.TGA" to
// "MISCPICT>CARCOT8.TGA", black being transparent.
constexpr int32_t SB_NBCARPICTURES = 8;
constexpr const char* SB_CARPICTUREFORMAT = "MISCPICT>CARCOT%ld.TGA";

// The dial picture, black being transparent, and where its needles turn.
constexpr const char* SB_COUNTERFILE = "MISCPICT>COMPTEUR.TGA";
constexpr int32_t SB_SPEEDNEEDLEX = 128;
constexpr int32_t SB_REVNEEDLEX = 55;
constexpr int32_t SB_NEEDLEY = 56;
constexpr int32_t SB_NEEDLELENGTH = 47;

// Game modes (SB_Var.GameMode).
constexpr int32_t SB_TRAINING = 0;
constexpr int32_t SB_FREERACE = 1;
constexpr int32_t SB_RACE = 2;
constexpr int32_t SB_MULTIRACE = 3;
constexpr int32_t SB_CONTROLLEDRACE = 4;
constexpr int32_t SB_OFFLINE = 5;
constexpr int32_t SB_STANDALONE = 6;
constexpr int32_t SB_DEMO = 7;
constexpr int32_t SB_NBGAMEMODES = 8;

// A time that is no time: shown as blanks.
constexpr int32_t SB_NOTIME = 1000000000;

// Time extensions: entry 0 is the lap line, 1 to 3 the checkpoints.
constexpr int32_t SB_NBTIMEEXTENDS = 4;
struct TTIMEEXTEND {
  double StartDistance;  // centre-line metres; moves on by a track length when it fires
  double EndDistance;    // start + 100.0
  int32_t Extension;     // ms added to the remaining time
  int32_t Number;
};

// Player names read from the race parameters, by player order.
constexpr int32_t SB_MAXPLAYERNAMES = 32;
constexpr int32_t SB_PLAYERNAMESIZE = 64;

// The finishing list.
constexpr int32_t SB_MAXSCORES = 32;
constexpr int32_t SB_SCORENAMESIZE = 32;
struct TSCORE {
  int32_t Id;            // player order, which is the car index
  int32_t RaceTime;      // ms
  int32_t BestLap;       // ms
  double NotClassified;  // 0.0 finished, 1.0 out of time or out of the race
  char Name[SB_SCORENAMESIZE];
  int32_t Used;
  int32_t Shown;
};

// Gap tables: per car, for each lap and checkpoint (every 50 centre-line
// points) the race time at which the car first passed it, -1 not yet.
constexpr int32_t SB_GAPSTEP = 50;

// A race's laps: at most what the HUD's counter shows, two digits; a count
// missing or refused in the race parameters gives the shipped file's 3.
constexpr int32_t SB_MOSTLAPS = 99;
constexpr int32_t SB_FALLBACKLAPS = 3;

// The race-phase sequencer's steps.
using TGAMESTEP = int32_t;
constexpr TGAMESTEP SB_STEP_RACING = 15;
constexpr TGAMESTEP SB_STEP_END = 20;  // ends a list
