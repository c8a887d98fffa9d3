// The console's picture tools: icons with a soft shadow, colours divided
// by their alpha, and 16-bit copies of TGA pictures.
#pragma once

struct BMAP;

// The source TGA in a picture 100 pixels wider and higher, at (50, 50),
// over its own alpha blurred at half strength and offset 7 pixels right
// and 10 down; colours divided by alpha; written as a TGA.
void SB_MakeIcone(const char* source, const char* destination);
// The source TGA placed at (75, 25) in a picture 100 pixels wider and
// higher, colours divided by alpha, written as a TGA.
void SB_UnAlpha(const char* source, const char* destination);
// The source TGA converted to 16 bits and written as a TGA.
void SB_BmapTo16(const char* source, const char* destination);

// The icon's shadow pass: each pixel of the 32-bit icon takes, over its own
// alpha a, the sum s of the picture's alpha over the 11 x 11 pixels of
// rows y - 65 to y - 55 and columns x - 62 to x - 52 (0 outside): its
// alpha becomes 255 - ((255 - s / 242) x (255 - a)) / 255.
void SB_IconeShadow(const BMAP* picture, BMAP* icon);
