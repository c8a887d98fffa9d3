// Fixture of the model tests: a started library that keeps its errors,
// model files written with the project's writer under drive C:, a sample
// list of two objects with its library, and a check that every test gives
// back each block, bitmap and library entry it took.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "datagen/meshes.h"
#include "datagen/modelwrite.h"
#include "engine3d/material.h"
#include "engine3d/object.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "tests/system/bmap_fixture.h"

namespace ztest {

// Two objects, "body" at (60000, -30000, 0) and "wheel", over the atoms
// BODY and WHEEL (boxes), and a library of two materials whose second sits
// at (3, 5). The body's faces: 0 textured with material 1, 1 untextured
// with index 1, 2 textured without material.
struct SampleModel {
  datagen::Model model;
  std::vector<datagen::ModelAtom> atoms;
  datagen::MaterialLibrary library;

  SampleModel() {
    model.objects = {{"body", 0, {60000, -30000, 0}, 1}, {"wheel", 1, {0, 0, 120000}, datagen::kNoIndex}};
    model.atomNames = {"BODY", "WHEEL"};
    model.library = "SAMPLE.MTL";
    atoms = {datagen::BoxMesh({"BODY", 500, 0, 32, 32}), datagen::WedgeMesh({"WHEEL", 200, 0, 16, 16})};
    datagen::ModelFace& f = atoms[0].faces[0];
    f.material = 1;
    f.colour = 0x1234;
    f.flags = 1 << 17 | 1 << 18 | 1 << 5;
    f.word23 = 77;
    f.coords[7] = 0x00800000;
    atoms[0].faces[1].type = 0;
    atoms[0].faces[1].material = 1;
    atoms[0].faces[2].material = datagen::kNoIndex;
    atoms[0].pointCapacity = 12;
    library = {"SAMPLE.MTL", {{"SAMPLE.TGA", 32, 0}}, {{{0, 0}, 0, 0}, {{3, 5}, 0, 0}}, "MATR", {}, {}};
  }
};

class ModelTest : public BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  void TearDown() override {
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
    EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "bitmaps left";
    EXPECT_EQ(E3D_MlibEntries, nullptr) << "library entries left";
    BmapTest::TearDown();
  }

  // Writes the bytes at a path relative to drive C: ("OBC>BOX.OBC"); returns it.
  std::string Put(const std::string& path, const datagen::Bytes& bytes) {
    std::string physical = path;
    std::replace(physical.begin(), physical.end(), '>', '/');
    WriteFile(root_ + "/" + physical, std::string(bytes.begin(), bytes.end()));
    return path;
  }

  // Writes the sample into the folder; the path of its object file.
  std::string PutSample(const std::string& folder, const SampleModel& s, const datagen::ModelFormat& obc = {},
                        const datagen::ModelFormat& atm = {},
                        const datagen::ModelFormat& lib = {"v1.2", false}) {
    for (size_t i = 0; i < s.atoms.size(); ++i)
      Put(folder + ">" + s.model.atomNames[i] + ".ATM", datagen::AtmBytes(s.atoms[i], atm));
    Put(folder + ">" + s.library.name, datagen::MaterialBytes(s.library, lib));
    return Put(folder + ">SAMPLE.OBC", datagen::ObcBytes(s.model, obc));
  }

  static OBJECT* Load(const std::string& path, intptr_t materials) {
    return LoadObject(path.c_str(), 0, materials);
  }

  // The owner tags now registered.
  static std::vector<std::string> Owners() {
    std::vector<std::string> tags;
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i) tags.push_back(SB_MemOwners[i].Owner);
    return tags;
  }
  static bool Has(const std::vector<std::string>& tags, const std::string& tag) {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
  }
};

}  // namespace ztest
