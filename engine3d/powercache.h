// The accelerator's texture cache as the vehicles and effects use it: card
// textures made from bitmaps (engine3d/powertextures.h) and cache slots
// added, marked and given back (engine3d/texcache.h).
#pragma once
#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
