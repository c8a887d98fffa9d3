// The race file's lap counts, read for the race and for the game
// controller alike.
#include "shell/racelaps.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "race/types.h"
#include "shell/textnumber.h"

const char* SB_LapKeyOfMode(int32_t mode) {
  switch (mode) {
    case SB_RACE: return "RACENLAPS";
    case SB_MULTIRACE: return "MULTIRACENLAPS";
    case SB_CONTROLLEDRACE: return "CONTROLLEDRACENLAPS";
    case SB_OFFLINE:
    case SB_TRAINING:
    case SB_STANDALONE: return "OFFLINENLAPS";
    default: return "NLAPS";
  }
}

// A count missing or refused gives the race the shipped file's laps, and
// says so: a race of no laps would be won at the first crossing, and one of
// more laps than the HUD's counter shows has no end a player could see.
int32_t SB_ReadLapCount(TKEYFILE* file, const char* key, char* said, size_t size) {
  said[0] = '\0';
  const std::string text = std::string(key ? key : "") + ": ";
  const char* at = key && key[0] ? SB_FindKeyLine(file, text.c_str()) : nullptr;
  const double value = at ? SB_TextToReal(at) : 0.0;
  if (at && value >= 1.0 && value <= SB_MOSTLAPS) return static_cast<int32_t>(value);
  if (!at)
    std::snprintf(said, size, "%s parameter missing, %ld laps...", key ? key : "", static_cast<long>(SB_FALLBACKLAPS));
  else
    std::snprintf(said, size, "%s parameter %g refused (1 to %ld laps), %ld laps...", key, value,
                  static_cast<long>(SB_MOSTLAPS), static_cast<long>(SB_FALLBACKLAPS));
  return SB_FALLBACKLAPS;
}
