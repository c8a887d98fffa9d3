// Material libraries: every version's layout, the textures' pictures and
// work bitmaps, the materials' scale and place, records by index, faces
// switched between indices and records, and libraries found beside their
// object.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "tests/engine3d/model_fixture.h"

namespace {

class MaterialTest : public ztest::ModelTest {
 protected:
  void Picture(const std::string& name, int w, int h) {
    std::filesystem::create_directories(root_ + "/L");
    ASSERT_TRUE(datagen::WriteTga(root_ + "/L/" + name, datagen::Picture24(w, h, 9, 8, 7)));
  }
  static std::string BmapOwner(const BMAP* bmap) {
    for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i)
      if (SB_BmapOwners[i].Block == bmap) return SB_BmapOwners[i].Owner;
    return "";
  }
};

TEST_F(MaterialTest, EveryVersionLoadsItsTexturesAndMaterials) {
  Picture("A.TGA", 128, 64);
  Picture("B.TGA", 256, 256);
  Put("L>B.PCX", {1});
  Put("L>C.XYZ", {1});
  const datagen::MaterialLibrary written{"stored name",
                                         {{"l>a.tga", 0, 0}, {"L>B.PCX", 0, 0}, {"L>C.XYZ", 0, 0}},
                                         {{{3, 5}, 0, 0}, {{0, 0}, 0, 1}, {{7, 7}, MATERIAL_UNTEXTURED, 0}},
                                         "MATR",
                                         {},
                                         {}};
  for (const char* tag : {"v1.1", "v1.2", "v1.3"})
    for (const bool reversed : {false, true}) {
      const std::string at = std::string(tag) + (reversed ? " reversed" : "");
      char path[E3D_MLIBNAMELEN] = "l>lib.mtl";
      Put("L>LIB.MTL", datagen::MaterialBytes(written, {tag, reversed}));
      MLIB* library = LoadMaterialLibrary(path, 1);
      ASSERT_NE(library, nullptr) << at;
      EXPECT_STREQ(library->Name, "L>LIB.MTL") << at;
      ASSERT_EQ(library->NbTextures, 3u) << at;
      ASSERT_EQ(library->NbMaterials, 3u) << at;
      const MLIBTEXTURE* t = library->Textures;
      ASSERT_TRUE(t[0].Picture && t[0].Bitmap && t[1].Picture) << at;
      EXPECT_EQ(std::vector<int32_t>({t[0].Picture->SizeX, t[0].Picture->Depth, t[0].Width,
                                      t[0].Bitmap->SizeX, t[0].Bitmap->SizeY, t[0].Bitmap->Depth}),
                (std::vector<int32_t>{128, 24, 128, 256, 64, 8}))
          << at;
      EXPECT_EQ(BmapOwner(t[0].Bitmap), "Load material") << at;
      EXPECT_STREQ(t[1].Name, "L>B.TGA") << at;  // a ".PCX" name loads the TGA picture
      EXPECT_EQ(t[2].Picture, nullptr) << at;
      EXPECT_EQ(t[2].Bitmap, nullptr) << at;

      // "v1.1" stores no materials: each is textured from texture 0 at (0, 0).
      const bool stored = std::string(tag) != "v1.1";
      const TMATERIAL* m = library->Materials;
      for (int i = 0; i < 3; ++i) {
        const bool textured = !stored || i < 2;
        const MLIBTEXTURE& texture = t[stored ? written.materials[i].texture : 0];
        EXPECT_EQ(m[i].Bitmap, textured ? texture.Bitmap : nullptr) << at << " " << i;
        EXPECT_EQ(m[i].Pixels, textured ? texture.Bitmap->Start : nullptr) << at << " " << i;
      }
      EXPECT_EQ(m[0].Scale, 0x20004u) << at;
      EXPECT_EQ(m[0].Position, stored ? 0x30005u : 0u) << at;
      EXPECT_EQ(m[1].Scale, stored ? 0x10001u : 0x20004u) << at;
      int32_t* place = nullptr;
      EXPECT_EQ(GetMaterial(library, 2, &place), &m[2]) << at;
      EXPECT_EQ(place, m[2].Place) << at;
      EXPECT_EQ(GetMaterial(library, 3, &place), nullptr) << at;
      FreeMaterialLibrary(library);
    }
}

TEST_F(MaterialTest, MissingPictureIsReported) {
  LogErrors();
  Put("L>A.PCX", {1});
  char path[E3D_MLIBNAMELEN] = "L>LIB.MTL";
  Put(path,
      datagen::MaterialBytes({"", {{"L>A.PCX", 0, 0}}, {{{0, 0}, 0, 0}}, "MATR", {}, {}}, {"v1.2", false}));
  MLIB* library = LoadMaterialLibrary(path, 1);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->Textures[0].Picture, nullptr);
  EXPECT_EQ(library->Materials[0].Bitmap, nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"tga not found L>A.TGA"});
  EXPECT_EQ(Logged("ITEMFILE ERROR"), 1);
  FreeMaterialLibrary(library);
}

TEST_F(MaterialTest, IndicesAndRecordsTurnIntoEachOther) {
  ztest::SampleModel s;
  OBJECT* list = Load(PutSample("M", s), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  MLIB* library = list->Materials->Library;
  const TMATERIAL foreign{};
  MLIB empty{};
  EXPECT_EQ(GetMaterialIndex(library, &library->Materials[1]), 1);
  EXPECT_EQ(GetMaterialIndex(library, &foreign), -1);
  EXPECT_EQ(GetMaterialIndex(library, reinterpret_cast<const TMATERIAL*>(
                                          reinterpret_cast<const char*>(library->Materials) + 4)),
            -1);
  EXPECT_EQ(GetMaterialIndex(nullptr, &library->Materials[1]), -1);
  EXPECT_EQ(GetMaterialIndex(&empty, &library->Materials[1]), -1);

  auto textures = [list] {
    std::vector<uintptr_t> all;
    for (const OBJECT* o = list; o; o = o->Next)
      for (int32_t i = 0; i < o->Atoms[OBJ_MAIN]->NbFaces; ++i)
        all.push_back(o->Atoms[OBJ_MAIN]->Faces[i].G_TEXTURE);
    return all;
  };
  UnmapObjectMaterials(list);
  const std::vector<uintptr_t> indices = textures();
  EXPECT_EQ(indices[0], 1u);
  RemapObjectMaterials(list);
  EXPECT_EQ(textures()[0], reinterpret_cast<uintptr_t>(&library->Materials[1]));
  UnmapObjectMaterials(list);
  EXPECT_EQ(textures(), indices);
  FreeObject(list);
}

TEST_F(MaterialTest, LibrariesAndPicturesAreFoundBesideTheirObject) {
  ztest::SampleModel s;
  s.model.library = "D:\\ART\\SAMPLE.MTL";
  s.library.textures[0].name = "D:\\ART\\T.TGA";
  Picture("T.TGA", 32, 32);
  OBJECT* list = Load(PutSample("L", s), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->Materials->Library, nullptr);
  EXPECT_STREQ(list->Materials->Library->Name, "L>SAMPLE.MTL");
  EXPECT_STREQ(list->Materials->Library->Textures[0].Name, "L>T.TGA");
  EXPECT_NE(list->Materials->Library->Textures[0].Picture, nullptr);
  FreeObject(list);
}

TEST_F(MaterialTest, TheDatagenBoxLoadsWithItsTexture) {
  ASSERT_TRUE(datagen::WriteTexturedBox(root_, "BOX", 64, 32));
  OBJECT* list = LoadObject("BOX.OBC", 0, MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  const MLIB* library = list->Materials->Library;
  ASSERT_NE(library->Textures[0].Picture, nullptr);
  EXPECT_EQ(library->Materials[0].Scale, 0x40008u);
  const TATOM* atom = list->Atoms[OBJ_MAIN];
  ASSERT_EQ(atom->NbFaces, 6);
  for (int32_t i = 0; i < atom->NbFaces; ++i)
    EXPECT_EQ(atom->Faces[i].G_TEXTURE, reinterpret_cast<uintptr_t>(&library->Materials[0])) << i;
  FreeObject(list);
}

}  // namespace
