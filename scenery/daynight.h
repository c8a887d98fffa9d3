// The day/night cycle: the light level between day (0) and night (12), the
// track's timetable that moves it, and the light colour, tables, sky
// colour, sun height, stars, headlights and shadows it gives the scene.
#pragma once
#include <cstdint>

// Restarts the cycle at day.
void SB_ResetDayNight();
// The level's target (12, 0 or 5) and its rate in level units per ms.
void SB_FadeToNight(double rate);
void SB_FadeToDay(double rate);
void SB_FadeToTwilight(double rate);
// Once per race frame, accelerator only: the developer keys F7 (night),
// F6 (day) and F8 (twilight), the timetable, then the level's step.
void SB_UpdateDayNight();
// Starts a fade as the cycle's clock passes a time of the timetable.
void SB_DayNightCycle();
// Moves the level by the frame's time and sets every output from it.
void SB_StepLightLevel();
// Each channel of 0xRRGGBB from a toward b by f, rounded, held to 0..255.
uint32_t SB_LerpColor(uint32_t a, uint32_t b, double f);
