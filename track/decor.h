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
