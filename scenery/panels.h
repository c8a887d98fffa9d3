// Trackside LED panels and the start lights, as the race phases drive them.
#pragma once
#include <cstdint>

constexpr int32_t SB_NBLEDPANELS = 5;

// Scrolls a text on a panel: speed in LED sub-columns per second, redraw
// interval in ms, mode 0 (scrolling).
void SB_SetPanelScrollText(int32_t panel, const char* text, int32_t speed, int32_t interval, int32_t mode);
// Writes a fixed text from sub-column start (below 0: always, from 0).
void SB_PanelPrintText(int32_t panel, const char* text, int32_t start);
void SB_ClearPanel(int32_t panel);
// Stops the panel's scrolling; on the accelerator writes six blanks always.
void SB_BlankPanel(int32_t panel);
// 1 when the texture's name up to its first blank or zero (8 characters
// at most) is the pattern.
int32_t SB_MatchPageName(const char* name, const char* pattern);
// Lights the countdown lamps (non-zero) or restores the unlit ones.
void SB_SetCountdownLights(int32_t lit);
void SB_SetGoLights();
