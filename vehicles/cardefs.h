// Car definitions: the local vehicle setups as a readable text file, one
// definition per setup, and the definitions read back from one.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

constexpr int32_t SB_MAXCARDEFINITIONS = 9;  // more than one per local setup would never be used

// One definition (owner tag "SB_GetTCARDEFINITION"); its stickers are
// copies held through a pointer array grown one at a time (owner tag
// "SB_AddStickerToTCARDEFINITION").
struct TCARDEFINITION {
  int32_t NbStickers;
  TSTICKER** Stickers;
  double HDelta;  // 0..255
  double SDelta;  // -255..255
  double VDelta;  // -255..255
  char Name[24];
  char Prototype[64];
};

// The definitions read or built (array owner tag "SB_ReadTCARDEFINITION").
extern TCARDEFINITION** SB_CarDefinitions;
extern int32_t SB_NbCarDefinitions;

// A new empty definition named "NAME", or null.
TCARDEFINITION* SB_GetTCARDEFINITION();
// Appends a copy of the sticker; 0 when memory is refused.
int32_t SB_AddStickerToTCARDEFINITION(TCARDEFINITION* definition, const TSTICKER& sticker);
void SB_FreeTCARDEFINITION(TCARDEFINITION* definition);
