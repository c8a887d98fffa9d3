// The race session's entry points used by the program's run phase.
#pragma once
#include <cstdint>

void SB_ShowPleaseWait();
int32_t SB_RunConsole();
// The logo picture and film shown by the console word INTRO.
void SB_PlayLogoIntro();
