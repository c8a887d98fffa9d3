// The loaded race map.
#pragma once

// Releases every array of the loaded map; the next race loads it again.
void SB_FreeDecor();
