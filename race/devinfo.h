// Developer statistics: the scene maxima of a race, the overlay of frame
// statistics (console word DRAWDEVINFO) and the stopwatch around the car
// update.
#pragma once

// Raises the maxima; with the overlay on, draws its lines.
void SB_DrawDevInfo();
void SB_ProfileStart();
void SB_ProfileStop();
