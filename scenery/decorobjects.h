// Decor objects: the animated objects of a decor object list, each moved
// by the blocks of its decor script; the list loader, the script parser,
// the per-frame executor and the objects' textures and drawing.
#pragma once
#include <cstdint>

#include "scenery/types.h"

// Reads the decor object list file and loads its decor objects; an
// unreadable file changes nothing.
void LoadObjectScript(const char* name);
// Makes the table of SB_Var.NbDecorObjects entries and loads each listed
// object with its script, then prepares the scripts.
void LoadDecorObjects();

// Parses the script of decor object i into its blocks.
void LoadDecorObjectScript(int32_t i);
// After parsing: every block idle, AUTOSPEED speeds computed, every
// command fresh.
void SB_PrepareDecorScript(TDECOROBJ* entry);
void SB_PrepareDecorScripts();

// Every block of every decor object starts again from its first command
// (the race-state reset), while decor objects are on.
void SB_ResetDecorScripts();
// Starts block j of entry i, or records that none is current (j = -1).
void SB_StartDecorBlock(int32_t i, int32_t j);
// One frame of every running block of one decor object.
void SB_RunDecorScript(TDECOROBJ* entry);

// Makes one decor object's textures again for the current renderer.
void SB_DynRemapObject(TDECOROBJ* entry);
// Gives back the card textures of one decor object's texture bitmaps.
void SB_FreeDecorCardTextures(TDECOROBJ* entry);
