// The player's settings kept in the registry, as a race reads them.
#pragma once

// Reads the race-start settings (keys, input device, detail, shadows).
void SB_ReadSettings();
// Releases the heap texts the read put into the options menu's items.
void SB_FreeMenuItemTexts();
