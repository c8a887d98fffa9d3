// The loaded race map: its file, its construction from a scene, and the
// runs of records that the map records point to.
#pragma once
#include <cstdint>

#include "track/types.h"

// Reads the binary map file; 1 on success or when a map is loaded already.
int32_t SB_LoadDecor(const char* path);
// Writes the loaded map to the file.
void SB_SaveDecor(const char* path);
// Builds the map from a 3D-Studio ASCII scene; 1 on success.
int32_t SB_LoadAndBuildMap(const char* path);
// Releases every array of the loaded map; the next race loads it again.
void SB_FreeDecor();

// The count records that a map record's byte offset points to in its
// array of SB_Var.Decor; null when the offset is off a record boundary or
// the run leaves the array.
TMAPFACE* SB_DecorFaceRun(uint32_t offset, int32_t count);
TWORDVERTEX* SB_DecorWordVertexRun(uint32_t offset, int32_t count);
TMAPVERTEX* SB_DecorVertexRun(uint32_t offset, int32_t count);
TSMALLENTITY* SB_DecorSmallEntityRun(uint32_t offset, int32_t count);

// The map file "Map file v1.07". SB_SaveDecor writes nothing when no map is
// loaded, and a file that cannot be created or written prints "Map error:
// cannot write %s !!!". SB_LoadDecor refuses, keeping nothing: a missing
// file (no message), another format ("Map error: old map format !!!"), a
// file without the cube map in the software renderer ("Map error: map file
// has no cube data !!!") and a damaged one ("Map error: corrupt map file
// (%s) !!!" with its section's word). SB_FreeDecor also releases the map's
// textures and the map construction's heap, and zeroes every count and
// published copy.
constexpr const char* SB_MAPFILEVERSION = "Map file v1.07";
constexpr int32_t SB_MAPHEADERSIZE = 256;
// Header byte 15: which sections the writer stored.
constexpr uint8_t SB_MAPWITHCUBES = 1;     // sections 1 to 7 (the cube map) are there
constexpr uint8_t SB_MAPWITHOUTCUBES = 2;  // no cube map: a map the accelerator loaded without one

// Refreshes the published copies: SB_Var.Decor.Cubes, SB_Var.Cube10Polys,
// their counts and SB_Var.Decor.NbMapFaces.
void SB_PublishDecor();

// The texture number of a cube face (an index into SB_Var.TextureNames and
// SB_Var.TexturePlaces), before or after the software texture rescale.
int32_t SB_MapFaceTexture(const TMAPFACE* face);
// The list of small cubes hidden from small entity i, ended by 65535; null
// when it has none.
uint16_t* SB_SeenList(int32_t smallEntity);
// The polygon side, unchecked (a loaded map is checked as a whole): a
// cell's face run, and corner k of a face with its texture point.
TFFACEPOLY* SB_CellFaces(const TFCUBE10POLY* cell, int32_t run);
const TFPOINTOFFSET* SB_FacePolyPoint(const TFFACEPOLY* face, int32_t k);
const TFPOINTTEXTURE* SB_FacePolyTexturePoint(const TFFACEPOLY* face, int32_t k);
