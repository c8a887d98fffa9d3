// Fonts and text drawing.
#pragma once

void LS_InitSystemFont();
