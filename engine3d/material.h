// Material libraries: loading a library's textures and materials, material
// records by index, faces switched between material indices and pointers,
// and the accelerator's rescaling of texture coordinates.
#pragma once
#include <cstdint>

#include "engine3d/object.h"

// The library at the path, or null (missing file, bad magic, counts beyond
// the file). The path is a buffer of E3D_MLIBNAMELEN bytes; when writable it
// is rewritten with the path the library was found at.
MLIB* LoadMaterialLibrary(char* path, int32_t writable);
void FreeMaterialLibrary(MLIB* library);
// The material of that index and the address of its place (x, y); null for
// a null library or an index at or beyond the material count.
TMATERIAL* GetMaterial(MLIB* library, uint32_t index, int32_t** place);
// -1 when the record is none of the library's.
int32_t GetMaterialIndex(const MLIB* library, const TMATERIAL* material);
// Every face of the list's atoms from material index to material record
// and back, with the library of the first object's entry.
void RemapObjectMaterials(OBJECT* list);
void UnmapObjectMaterials(OBJECT* list);
// The path after its last '\', ':' or '>' (not counting its first character).
void GetBaseFileName(char* path);

// Textured faces' coordinates multiplied by their material's scale halves
// (multiply 1) or divided by them (0); doubled (twice 1) or halved (0). An
// atom shared by objects of a list is changed once.
void ScaleAtomTextureCoords(TATOM* atom, int32_t multiply);
void ScaleObjectTextureCoords(OBJECT* list, int32_t multiply);
void DoubleAtomTextureCoords(TATOM* atom, int32_t twice);
void DoubleObjectTextureCoords(OBJECT* list, int32_t twice);
