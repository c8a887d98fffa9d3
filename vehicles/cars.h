// The vehicle prototype set and the cars made from it: selecting and
// loading the set, one car record copied from it, the per-frame placing of
// a car's pose in its display object, and the cars' own materials and
// textures.
#pragma once
#include <cstdint>

struct MLIBENTRY;
struct OBJECT;
struct TCAR;
struct TVEHICLESETUP;

// The set a setup names, unless it is the one last selected; an empty or
// null name does nothing. When the named set cannot be loaded, the default
// set is loaded again, so that cars can still be made.
void SB_SelectVehiclePrototype(const char* name);
// For a known set: its variant names, SB_Var.GlassLayout and
// SB_Var.KnownPrototype = 1; an unknown name keeps the layout and clears
// the flag.
void SB_SelectPrototypeSet(const char* name);

// One car record (owner tag "Load Vehicle") copied from the loaded set,
// with its body, wheels, wheel offsets and radius; null without a set, a
// body part or memory.
TCAR* LoadVehicle();
// Frees the car's display object and record, and empties the table slots
// that held it; null does nothing.
void SB_FreeVehicle(TCAR* car);
// Extent in metres of a part's mesh along its first coordinate; -2e9 for a
// part without points.
double SB_GetAtomExtent(const OBJECT* part);
// The car's pose into its display object and its wheels' parts; nothing
// for a null car or one out of the race.
void SB_PlaceCarObject(TCAR* car);

// Gives the object list another material library: the faces go back from
// material records to indices, the list takes the entry, and the indices
// become records of the new library. Nothing when either is null.
void SB_SetObjectMaterials(OBJECT* object, MLIBENTRY* entry);
// The display-depth copy of a library (the colour conversion's).
MLIBENTRY* SB_DupMaterialLibraryFrom16to256(MLIBENTRY* entry, int32_t depth, int32_t format);

// The prototype's pictures converted to HSV in place, once per load.
void SB_ObjectBmapsRGBtoHSV(OBJECT* object);
// The textures of car index from its setup; marks the car's textures ready.
void SB_GenerateCarTextures(TVEHICLESETUP* setups, int32_t index);
