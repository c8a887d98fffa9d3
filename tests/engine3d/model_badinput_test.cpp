// Damaged object, atom and material-library files: each is refused with a
// null result and gives back everything it took; the odd but readable ones
// load what they can.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/engine3d/model_fixture.h"
#include "tests/system/picture_fixture.h"

namespace {

using datagen::Bytes;

class BadModelTest : public ztest::ModelTest {
 protected:
  // Each file of the list is refused and leaves no block behind.
  template <typename Load>
  void Refused(const std::vector<std::pair<std::string, Bytes>>& files, const std::string& path, Load load) {
    for (const auto& [what, bytes] : files) {
      Put(path, bytes);
      EXPECT_FALSE(load(path)) << what;
      EXPECT_EQ(SB_Var.NbMemOwners, 0) << what;
      EXPECT_EQ(E3D_MlibEntries, nullptr) << what;
    }
  }
  static std::vector<std::pair<std::string, Bytes>> EveryCut(const Bytes& whole) {
    std::vector<std::pair<std::string, Bytes>> cuts;
    for (size_t n = 0; n < whole.size(); ++n)
      cuts.push_back({"cut at " + std::to_string(n), Bytes(whole.begin(), whole.begin() + n)});
    return cuts;
  }
};

bool LoadsObject(const std::string& path) {
  OBJECT* list = LoadObject(path.c_str(), 0, MLIB_FROMFILE);
  FreeObject(list);
  return list != nullptr;
}

TEST_F(BadModelTest, ObjectFiles) {
  const ztest::SampleModel s;
  PutSample("M", s);
  auto with = [&s](std::function<void(datagen::Model&)> change, datagen::ModelFormat format = {}) {
    datagen::Model model = s.model;
    change(model);
    return datagen::ObcBytes(model, format);
  };
  Bytes badMagic = with([](datagen::Model&) {});
  badMagic[12] = 'X';
  std::vector<std::pair<std::string, Bytes>> files = EveryCut(with([](datagen::Model&) {}));
  files.insert(
      files.end(),
      {
          {"magic", badMagic},
          {"tag v1.0", with([](datagen::Model&) {}, {"v1.0", false})},
          {"tag 0.1v", with([](datagen::Model&) {}, {"v1.0", true})},
          {"unknown tag", with([](datagen::Model&) {}, {"v9.9", false})},
          {"no objects", with([](datagen::Model& m) { m.objectCount = 0; })},
          {"huge object count", with([](datagen::Model& m) { m.objectCount = 0x7FFFFFFF; })},
          {"huge atom count", with([](datagen::Model& m) { m.atomCount = 0x7FFFFFFF; })},
          {"atom names beyond the file", with([](datagen::Model& m) { m.atomTableOffset = 0xFFFFFFF0; })},
          {"library name beyond the file", with([](datagen::Model& m) { m.libraryOffset = 0x7FFFFF00; })},
          {"main atom index of the atom count", with([](datagen::Model& m) { m.objects[1].atom = 2; })},
          {"next index of the object count", with([](datagen::Model& m) { m.objects[1].next = 2; })},
          {"a list that runs back", with([](datagen::Model& m) { m.objects[1].next = 0; })},
      });
  for (const uint32_t length : {0u, 1u, 2u, 3u, 4u + 135u, 4u + 1025u})
    files.push_back({"record length " + std::to_string(length),
                     with([length](datagen::Model& m) { m.recordLength = length; })});
  Refused(files, "M>BAD.OBC", LoadsObject);
}

TEST_F(BadModelTest, AtomFiles) {
  const ztest::SampleModel s;
  auto with = [&s](std::function<void(datagen::ModelAtom&)> change, datagen::ModelFormat format = {}) {
    datagen::ModelAtom atom = s.atoms[0];
    change(atom);
    return datagen::AtmBytes(atom, format);
  };
  Bytes badMagic = with([](datagen::ModelAtom&) {});
  std::memcpy(badMagic.data() + 12, "OBJC", 4);
  std::vector<std::pair<std::string, Bytes>> files = EveryCut(with([](datagen::ModelAtom&) {}));
  files.insert(
      files.end(),
      {
          {"magic", badMagic},
          {"huge point capacity", with([](datagen::ModelAtom& a) { a.pointCapacity = 0x7FFFFFFF; })},
          {"huge face capacity", with([](datagen::ModelAtom& a) { a.faceCapacity = 0x7FFFFFFF; })},
          {"negative capacity", with([](datagen::ModelAtom& a) { a.faceCapacity = -1; })},
          {"point stride 0", with([](datagen::ModelAtom& a) { a.pointStride = 0; })},
          {"point stride 28", with([](datagen::ModelAtom& a) { a.pointStride = 28; })},
          {"huge point stride", with([](datagen::ModelAtom& a) { a.pointStride = 0x7FFFFFF0; })},
          {"face stride 92 after v1.0", with([](datagen::ModelAtom& a) { a.faceStride = 92; })},
          {"face stride 88 in v1.0", with([](datagen::ModelAtom& a) { a.faceStride = 88; }, {"v1.0", false})},
      });
  for (const uint32_t length : {0u, 1u, 2u, 3u, 4u + 59u, 4u + 1025u})
    files.push_back({"record length " + std::to_string(length),
                     with([length](datagen::ModelAtom& a) { a.recordLength = length; })});
  Refused(files, "A>BAD.ATM", [](const std::string& path) {
    std::strcpy(E3D_ObjectLoader.Directory, "A>");
    TATOM* atom = LoadAtom(path.substr(2).c_str());
    FreeAtom(atom);
    return atom != nullptr;
  });

  // An unknown tag leaves the records zero: an empty atom named after its path.
  Put("A>ODD.ATM", with([](datagen::ModelAtom&) {}, {"v9.9", false}));
  TATOM* atom = LoadAtom("ODD.ATM");
  ASSERT_NE(atom, nullptr);
  EXPECT_STREQ(atom->Name, "A>ODD.ATM");
  EXPECT_EQ(atom->NbPoints + atom->NbFaces + atom->MaxPoints + atom->MaxFaces, 0);
  FreeAtom(atom);
}

TEST_F(BadModelTest, LongPathsAndUnterminatedNames) {
  ztest::SampleModel s;
  s.model.objects[0].name = "ABCDEFGHIJKLMNOPQ";  // 16 stored bytes, no terminator
  s.atoms[0].name = "0123456789ABCDEFG";
  std::string folder = "M";
  while (folder.size() < 290) folder += ">D123456789";
  OBJECT* list = Load(PutSample(folder, s).c_str(), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(list->Name, "ABCDEFGHIJKLMNOP");
  EXPECT_STREQ(list->Atoms[OBJ_MAIN]->Name, "0123456789ABCDEF");
  // The library, looked for beside the object, would need a path over 255
  // characters: the faces load without it.
  ASSERT_NE(list->Materials, nullptr);
  EXPECT_EQ(list->Materials->Library, nullptr);
  EXPECT_EQ(list->Atoms[OBJ_MAIN]->Faces[0].G_FLAGS & (1 << 18), 1 << 18);
  FreeObject(list);
}

TEST_F(BadModelTest, MaterialLibraries) {
  const ztest::SampleModel s;
  auto with = [&s](std::function<void(datagen::MaterialLibrary&)> change,
                   datagen::ModelFormat format = {"v1.2", false}) {
    datagen::MaterialLibrary library = s.library;
    change(library);
    return datagen::MaterialBytes(library, format);
  };
  std::vector<std::pair<std::string, Bytes>> files = EveryCut(with([](datagen::MaterialLibrary&) {}));
  files.insert(
      files.end(),
      {
          {"MATR field", with([](datagen::MaterialLibrary& l) { l.matr = "MATX"; })},
          {"unknown tag", with([](datagen::MaterialLibrary&) {}, {"v1.4", false})},
          {"huge texture count", with([](datagen::MaterialLibrary& l) { l.textureCount = 0x7FFFFFFF; })},
          {"huge material count", with([](datagen::MaterialLibrary& l) { l.materialCount = 0x7FFFFFFF; })},
      });
  auto loads = [](const std::string& path) {
    char text[E3D_MLIBNAMELEN];
    std::strcpy(text, path.c_str());
    MLIB* library = LoadMaterialLibrary(text, 1);
    FreeMaterialLibrary(library);
    return library != nullptr;
  };
  Refused(files, "L>BAD.MTL", loads);

  // A rewrite beyond the caller's 255 characters fails and leaves the text.
  std::memset(E3D_ObjectLoader.Directory, 'D', 250);
  std::strcpy(E3D_ObjectLoader.Directory + 250, ">");
  char text[E3D_MLIBNAMELEN] = "BAD.MTL";
  EXPECT_EQ(LoadMaterialLibrary(text, 1), nullptr);
  EXPECT_STREQ(text, "BAD.MTL");
}

TEST_F(BadModelTest, TexturesKeepNoBitmapsForPicturesTheyCannotUse) {
  LogErrors();
  std::strcpy(E3D_ObjectLoader.Directory, "T>");
  ztest::TgaSpec wide, empty;
  wide.width = 257;
  wide.height = empty.height = 2;
  Put("T>WIDE.TGA", ztest::TgaFile(wide, ztest::TestPixels(257, 2, 3), false));
  Put("T>EMPTY.TGA", ztest::TgaFile(empty, {}, false));
  Put("T>TEXT.TGA", {'n', 'o', 't', ' ', 'a', ' ', 't', 'g', 'a'});
  Put("T>OTHER.BMP", ztest::TgaFile(wide, ztest::TestPixels(257, 2, 3), false));
  datagen::MaterialLibrary lib{
      "",
      {{"wide.tga", 0, 0}, {"empty.tga", 0, 0}, {"text.tga", 0, 0}, {"other.bmp", 0, 0}},
      {{{1, 2}, 0, 0}, {{0, 0}, 0, 99}},  // texture 99 is none
      "MATR",
      {},
      {}};
  const struct {
    const char* tag;
    size_t nameBytes;
  } versions[] = {{"v1.1", 13}, {"v1.2", 16}, {"v1.3", 256}};
  for (const auto& version : versions) {
    // A name that fills its field has no terminator there.
    lib.textures.push_back({std::string(version.nameBytes, 'n'), 0, 0});
    char path[E3D_MLIBNAMELEN] = "T>LIB.MTL";
    Put(path, datagen::MaterialBytes(lib, {version.tag, false}));
    MLIB* library = LoadMaterialLibrary(path, 1);
    ASSERT_NE(library, nullptr) << version.tag;
    for (uint32_t i = 0; i < library->NbTextures; ++i) {
      EXPECT_EQ(library->Textures[i].Bitmap, nullptr) << version.tag << " " << i;
      EXPECT_EQ(library->Textures[i].Picture, nullptr) << version.tag << " " << i;
    }
    // Looked for beside the object when that fits in the name's field.
    const std::string name(version.nameBytes, 'N');
    EXPECT_EQ(library->Textures[4].Name, version.nameBytes < 255 ? "T>" + name : name) << version.tag;
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(library->Materials[i].Bitmap, nullptr) << version.tag << " " << i;
      EXPECT_EQ(library->Materials[i].Scale, 0u) << version.tag << " " << i;
    }
    FreeMaterialLibrary(library);
    lib.textures.pop_back();
  }
  // The pictures the reader refuses are reported as not found; the one too
  // wide for a page is dropped quietly.
  std::vector<std::string> boxes;
  for (int i = 0; i < 3; ++i)
    boxes.insert(boxes.end(), {"tga not found T>EMPTY.TGA", "tga not found T>TEXT.TGA"});
  EXPECT_EQ(Boxes(), boxes);
  EXPECT_EQ(Logged("ITEMFILE ERROR"), 6);
}

}  // namespace
