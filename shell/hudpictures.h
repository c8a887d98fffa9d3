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
