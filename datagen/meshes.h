// Procedural meshes for the model writer: a box, a wedge, a flat card and a
// cylinder, their faces textured with one material and coordinates that
// cover a texture of the given size; and a textured box written whole.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

#include "datagen/modelwrite.h"

namespace datagen {

// Sizes are half-extents in the atom's units; the texture is w x h texels.
struct MeshSpec {
  std::string name;
  int32_t size = 1000;
  uint32_t material = 0;
  int32_t textureWidth = 64, textureHeight = 64;
};

// A face over the given points of the atom, with the unit normal (16384
// long) of its first three; material, coordinates and flags are left to
// the caller.
ModelFace FaceOver(const ModelAtom& atom, std::initializer_list<int32_t> corners);

ModelAtom BoxMesh(const MeshSpec& spec);
ModelAtom WedgeMesh(const MeshSpec& spec);
ModelAtom CardMesh(const MeshSpec& spec);
ModelAtom CylinderMesh(const MeshSpec& spec, int32_t segments);

// Writes NAME.OBC (one object NAME over the atom NAME), NAME.ATM, the
// library NAME.MTL ("v1.3", one texture NAME.TGA and one material) and the
// picture NAME.TGA, a w x h checker, into the folder.
bool WriteTexturedBox(const std::string& folder, const std::string& name, int32_t w, int32_t h);

}  // namespace datagen
