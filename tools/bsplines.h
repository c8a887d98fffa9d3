// What the console's tear-down uses of the editors: the centre line's
// per-metre table.
#pragma once

// Releases the per-metre centre-line table when it exists.
void SB_FreeBsplinesMeters();
