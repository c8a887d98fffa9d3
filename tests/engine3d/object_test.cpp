// Object and atom files: every version tag read back as written, the face
// conversion and material attachment, atom names, variants, copies,
// freeing, search and owner tags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/console.h"
#include "tests/engine3d/model_fixture.h"

namespace {

using datagen::ModelFace;
using datagen::ModelFormat;

class ObjectTest : public ztest::ModelTest {};

// What a stored face becomes under the tag, with the library's materials.
void ExpectFace(const TGRAF& got, const ModelFace& f, const std::string& tag, MLIB* library,
                const std::string& at) {
  const bool old = tag == "v1.0";
  const int32_t type = old ? 7 : f.type;
  const bool textured = (type & 0xC) == 0xC && f.material < library->NbMaterials;
  EXPECT_EQ(got.NbPoints, f.nbPoints) << at;
  EXPECT_EQ(std::memcmp(got.Points, f.points, sizeof f.points), 0) << at;
  EXPECT_EQ(got.G_TYPE, textured || (type & 0xC) != 0xC ? type : type & ~8) << at;
  EXPECT_EQ(got.G_COLOR, old ? f.colour & 0xFF : 0u) << at;
  EXPECT_EQ(got.G_FLAGS, f.flags & ~(3 << 17)) << at;
  EXPECT_EQ(got.Word23, old ? 0 : f.word23) << at;
  const TMATERIAL* material = textured ? &library->Materials[f.material] : nullptr;
  const uintptr_t index = (type & 0xC) == 0xC || f.material == datagen::kNoIndex ? 0 : f.material;
  EXPECT_EQ(got.G_TEXTURE, material ? reinterpret_cast<uintptr_t>(material) : index) << at;
  for (int c = 0; c < 8; ++c)
    EXPECT_EQ(got.G_OFFTEXT[c], f.coords[c] + (material ? material->Place[c & 1] * 256 : 0))
        << at << " coord " << c;
}

void ExpectAtom(const TATOM* got, const datagen::ModelAtom& a, const std::string& tag, MLIB* library,
                const std::string& at) {
  ASSERT_NE(got, nullptr) << at;
  EXPECT_STREQ(got->Name, a.name.c_str()) << at;
  EXPECT_EQ(got->RecordSize, 64) << at;
  EXPECT_EQ(got->NbPoints, static_cast<int32_t>(a.points.size())) << at;
  EXPECT_EQ(got->MaxPoints, std::max<int32_t>(a.pointCapacity.value_or(0), got->NbPoints)) << at;
  ASSERT_EQ(got->NbFaces, static_cast<int32_t>(a.faces.size())) << at;
  for (size_t i = 0; i < a.points.size(); ++i) {
    const datagen::ModelPoint& p = a.points[i];
    EXPECT_EQ(std::vector<int32_t>(&got->Points[i].X, &got->Points[i].X + 6),
              (std::vector<int32_t>{p.x, p.y, p.z, p.normal[0], p.normal[1], p.normal[2]}))
        << at;
  }
  for (size_t i = 0; i < a.faces.size(); ++i) ExpectFace(got->Faces[i], a.faces[i], tag, library, at);
}

TEST_F(ObjectTest, EveryTagReadsBackWhatWasWritten) {
  const ztest::SampleModel s;
  for (const char* obcTag : {"v1.1", "v2.0"})
    for (const char* atmTag : {"v1.0", "v1.1", "v2.0"})
      for (const bool reversed : {false, true}) {
        const std::string at = std::string(obcTag) + " " + atmTag + (reversed ? " reversed" : "");
        OBJECT* list = Load(PutSample("M", s, {obcTag, reversed}, {atmTag, !reversed}, {"v1.2", reversed}),
                            MLIB_FROMFILE);
        ASSERT_TRUE(list && list->Materials && list->Materials->Library) << at;
        MLIB* library = list->Materials->Library;
        EXPECT_STREQ(list->Name, "BODY") << at;
        EXPECT_EQ(E3D_ObjectLoader.Library, nullptr) << at;  // no later atom attaches to it
        for (const double* p : {list->StoredPosition, list->StoredPosition2})
          EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1.0, -0.5, 0.0})) << at;
        ASSERT_NE(list->Next, nullptr) << at;
        EXPECT_STREQ(list->Next->Name, "WHEEL") << at;
        EXPECT_EQ(list->Next->StoredPosition[2], 2.0) << at;
        EXPECT_EQ(list->Next->Next, nullptr) << at;
        EXPECT_EQ(list->Next->Materials, list->Materials) << at;
        ExpectAtom(list->Atoms[OBJ_MAIN], s.atoms[0], atmTag, library, at);
        ExpectAtom(list->Next->Atoms[OBJ_MAIN], s.atoms[1], atmTag, library, at);
        FreeObject(list);
      }
}

TEST_F(ObjectTest, FacesAttachToTheLibraryOrBecomeUntextured) {
  ztest::SampleModel s;
  // Materials 0xFFFFFFFE and 2 (the count) are none of the library's; an
  // atom without points still stores one point record.
  s.atoms[1].faces[0].material = 0xFFFFFFFE;
  s.atoms[1].faces[1].material = 2;
  s.atoms[1].points.clear();
  OBJECT* list = Load(PutSample("M", s), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  ExpectAtom(list->Next->Atoms[OBJ_MAIN], s.atoms[1], "v1.1", list->Materials->Library, "bad indices");
  FreeObject(list);

  // Without a library ("----", or the choice -1) every face is untextured
  // and marked.
  s.model.library.clear();
  const std::string path = PutSample("M", s);
  for (const intptr_t choice : {MLIB_FROMFILE, MLIB_NONE}) {
    list = Load(path, choice);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Materials, nullptr);
    for (int32_t i = 0; i < list->Atoms[OBJ_MAIN]->NbFaces; ++i) {
      const TGRAF& face = list->Atoms[OBJ_MAIN]->Faces[i];
      EXPECT_EQ(face.G_TEXTURE, 0u);
      EXPECT_EQ(face.G_TYPE & 8, 0);
      EXPECT_EQ(face.G_FLAGS & (3 << 17), s.atoms[0].faces[i].material == datagen::kNoIndex ? 0 : 1 << 18);
    }
    FreeObject(list);
  }
}

TEST_F(ObjectTest, AtomNamesGiveTheirFiles) {
  const ztest::SampleModel s;
  struct Row {
    const char* stored;  // in the atom-name table
    const char* file;    // the file that must hold it
  } rows[] = {{"ABCDE", "ABCDE.ATM"}, {"ABCDEFGHIJ", "CDEFGHIJ.ATM"}, {"MESH.BIN", "MESH.BIN"}};
  for (const Row& row : rows) {
    datagen::ModelAtom atom = s.atoms[1];
    atom.name = "";  // takes the end of its path
    Put(std::string("NAMES>") + row.file, datagen::AtmBytes(atom, {}));
    datagen::Model model = s.model;
    model.objects.resize(1);
    model.objects[0].next = datagen::kNoIndex;
    model.atomNames = {row.stored};
    model.library.clear();
    OBJECT* list = Load(Put("NAMES>NAMES.OBC", datagen::ObcBytes(model, {})), MLIB_FROMFILE);
    ASSERT_NE(list, nullptr) << row.stored;
    ASSERT_NE(list->Atoms[OBJ_MAIN], nullptr) << row.stored;
    const std::string path = std::string("NAMES>") + row.file;
    EXPECT_EQ(list->Atoms[OBJ_MAIN]->Name, path.substr(path.size() > 15 ? path.size() - 15 : 0))
        << row.stored;
    FreeObject(list);
  }
}

TEST_F(ObjectTest, MessagesNameTheFile) {
  LogErrors();
  const ztest::SampleModel s;
  datagen::Model model = s.model;
  model.atomNames[1] = "NOWHERE";
  Put("M>BAD.OBC", {'P', 'O', 'L'});
  EXPECT_EQ(LoadObject("M>BAD.OBC", 0, MLIB_FROMFILE), nullptr);
  OBJECT* list = Load(Put("M>MISSING.OBC", datagen::ObcBytes(model, {})), MLIB_NONE);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Next->Atoms[OBJ_MAIN], nullptr);
  FreeObject(list);
  for (const char* text : {"Unable to load OBC M>BAD.OBC", "unable to load ATOM BODY.ATM", "unable to load ATOM NOWHERE.ATM"})
    EXPECT_EQ(Logged(text), 1) << text;

  SB_ClearPrintedLines();
  PutSample("M", s);
  EXPECT_EQ(LoadObjectAndVariants("M>NONE.OBC", nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(LoadObjectAndVariants("M>SAMPLE.OBC", "M>NONE.OBC", nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(LoadObjectAndVariants("M>SAMPLE.OBC", nullptr, "M>NONE.OBC", nullptr, nullptr), nullptr);
  list = LoadObjectAndVariants("M>SAMPLE.OBC", "M>BAD.OBC", "M>BAD.OBC", "M>NONE.OBC", nullptr);
  ASSERT_NE(list, nullptr);
  FreeObject(list);
  EXPECT_EQ(
      SB_PrintedLines(),
      (std::vector<std::string>{"Main Object M>NONE.OBC not found", "Simplified Object M>NONE.OBC not found",
                                "Burned Object M>NONE.OBC not found", "No simplified object M>BAD.OBC",
                                "No burned object M>BAD.OBC", "No simplified object M>NONE.OBC"}));
}

TEST_F(ObjectTest, EachObjectRecordThatCannotBeHadIsReportedAndTheLoadGoesOn) {
  const std::string path = PutSample("M", ztest::SampleModel());
  // The heap is filled but for a gap that takes the object table and not
  // an object record.
  void* gap = LS_GetMem(100);
  std::vector<void*> fill;
  for (uint32_t size = LS_GetFreeMem(); size >= 16;) {
    uint32_t low = 16, high = size;
    while (low < high) {
      const uint32_t mid = (low + high + 1) / 2;
      void* block = LS_GetMem(mid);
      (block ? low : high) = block ? mid : mid - 1;
      if (block) LS_Release(block);
    }
    void* block = LS_GetMem(low);
    if (!block) break;
    fill.push_back(block);
    size = low;
  }
  LS_Release(gap);
  LogErrors();
  EXPECT_EQ(Load(path, MLIB_NONE), nullptr);
  for (void* block : fill) LS_Release(block);
  // One report per object: the load goes on past the first hole.
  EXPECT_EQ(Logged("unable to allocate OBC M>SAMPLE.OBC"), 2);
}

TEST_F(ObjectTest, VariantsFillTheLevelSlotsAndShareOneLibrary) {
  ztest::SampleModel s;
  PutSample("M", s);
  const char* names[] = {"M>SIMPLE.OBC", "M>BURNED.OBC", "M>FAR.OBC", "M>FARTHER.OBC"};
  // A second object shares the body's atom, which moves to the main list;
  // the wheel is never reached and goes at load.
  datagen::Model variant = s.model;
  variant.objects[0].next = 2;
  variant.objects.push_back({"second", 0, {}, datagen::kNoIndex});
  for (const char* name : names) Put(name, datagen::ObcBytes(variant, {}));
  OBJECT* list = LoadObjectAndVariants("M>SAMPLE.OBC", names[0], names[1], names[2], names[3]);
  ASSERT_NE(list, nullptr);
  for (int32_t slot = OBJ_SIMPLIFIED; slot < OBJ_NBATOMS; ++slot) {
    ASSERT_NE(list->Atoms[slot], nullptr) << slot;
    EXPECT_STREQ(list->Atoms[slot]->Name, "BODY");
    EXPECT_NE(list->Atoms[slot], list->Atoms[OBJ_MAIN]);
    // The variant's faces point into the main list's library.
    EXPECT_EQ(list->Atoms[slot]->Faces[0].G_TEXTURE,
              reinterpret_cast<uintptr_t>(&list->Materials->Library->Materials[1]));
  }
  const std::vector<std::string> tags = Owners();
  EXPECT_EQ(std::count(tags.begin(), tags.end(), "LoadAtom-BODY.ATM"), 5);
  ASSERT_NE(E3D_MlibEntries, nullptr);
  EXPECT_EQ(E3D_MlibEntries->Next, nullptr);
  EXPECT_EQ(E3D_MlibEntries->RefCount, 1);
  FreeObject(list);

  // A main list without a library gives its variants none either.
  s.model.library.clear();
  Put("M>PLAIN.OBC", datagen::ObcBytes(s.model, {}));
  list = LoadObjectAndVariants("M>PLAIN.OBC", names[0], nullptr, nullptr, nullptr);
  ASSERT_TRUE(list && list->Atoms[OBJ_SIMPLIFIED]);
  EXPECT_EQ(list->Atoms[OBJ_SIMPLIFIED]->Faces[0].G_FLAGS & (1 << 18), 1 << 18);
  EXPECT_EQ(E3D_MlibEntries, nullptr);
  FreeObject(list);
}

TEST_F(ObjectTest, CopiesShareTheLibraryAndOwnOnlyCopiedAtoms) {
  ztest::SampleModel s;
  s.model.objects[1].atom = 0;  // both objects over BODY
  OBJECT* list = Load(PutSample("M", s), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Next->Atoms[OBJ_MAIN], list->Atoms[OBJ_MAIN]);
  OBJECT* deep = DupObject(list, 1);
  OBJECT* shallow = DupObject(list, 0);
  ASSERT_TRUE(deep && shallow);
  EXPECT_EQ(list->Materials->RefCount, 3);
  EXPECT_NE(deep->Atoms[OBJ_MAIN], list->Atoms[OBJ_MAIN]);
  EXPECT_EQ(deep->Atoms[OBJ_MAIN]->Faces[0].G_TEXTURE, list->Atoms[OBJ_MAIN]->Faces[0].G_TEXTURE);
  EXPECT_EQ(shallow->Next->Atoms[OBJ_MAIN], list->Atoms[OBJ_MAIN]);
  // A copied atom's arrays hold its capacity (12 points).
  const TOWNERENTRY* copied =
      std::find_if(SB_MemOwners, SB_MemOwners + SB_Var.NbMemOwners,
                   [](const TOWNERENTRY& e) { return std::string(e.Owner) == "DupAtom TPOINT3D-BODY"; });
  EXPECT_EQ(copied->Size, 12u * 32);
  EXPECT_EQ(DupAtom(nullptr), nullptr);
  EXPECT_EQ(DupAtom(reinterpret_cast<TATOM*>(intptr_t{-1})), nullptr);
  // Freeing the copy made without atoms leaves the original's atoms whole.
  FreeObject(shallow);
  FreeObject(deep);
  EXPECT_EQ(list->Materials->RefCount, 1);
  EXPECT_TRUE(Has(Owners(), "LoadAtom TGRAF-BODY.ATM"));

  char name[] = "wheel";
  EXPECT_EQ(SB_FindObjectByName(list, name), list->Next);
  EXPECT_STREQ(name, "WHEEL");
  char missing[] = "door";
  EXPECT_EQ(SB_FindObjectByName(list, missing), nullptr);
  // The shared atom goes once, the library with the last reference.
  FreeObject(list);
  EXPECT_EQ(LS_GetLastError(), 0u);
  EXPECT_STREQ(SB_Var.LastOwner, "InitAtomeIndex");
}

TEST_F(ObjectTest, BlocksCarryTheirOwnerTags) {
  const ztest::SampleModel s;
  OBJECT* list = Load(PutSample("M", s), MLIB_FROMFILE);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(SB_Var.LastOwner, "LoadObject ATOMES-M>SAMPLE.OBC");
  const std::vector<std::string> tags = Owners();
  for (const char* tag : {"LoadObject OBJECT-M>SAMPLE.OBC", "LoadAtom-BODY.ATM", "LoadAtom TPOINT3D-BODY.ATM",
                          "LoadAtom TGRAF-WHEEL.ATM", "NewMLIBEntry-SAMPLE.MTL", "LoadMaterialLibrary"})
    EXPECT_TRUE(Has(tags, tag)) << tag;
  OBJECT* copy = DupObject(list, 1);
  EXPECT_TRUE(Has(Owners(), "DupAtom TGRAF-BODY"));
  EXPECT_TRUE(Has(Owners(), "DupObject-WHEEL"));
  FreeObject(copy);
  FreeObject(list);

  // The record reader's work area.
  const int16_t file = LS_Open("M>BODY.ATM", LS_O_RDONLY | LS_O_BINARY);
  TPOINT3D points[8];
  LS_Seek(file, 48 + 64, 0);
  EXPECT_EQ(VLS_Read(file, points, 32, VLS_TPOINT3D, E3D_Tag("v1.1"), 8), 1);
  EXPECT_EQ(points[7].Z, 500);
  EXPECT_STREQ(SB_Var.LastOwner, "VLS_Read");
  LS_Close(file);
}

TEST_F(ObjectTest, SupportFunctions) {
  struct Row {
    const char* path;
    const char* directory;
    const char* base;
  } rows[] = {{"HDISK:>CARS>BOX.OBC", "HDISK:>CARS", "BOX.OBC"},
              {"C:BOX.OBC", "C", "BOX.OBC"},
              {"D:\\ART\\BOX.MTL", "D:\\ART", "BOX.MTL"},
              {"BOX.OBC", "", "BOX.OBC"},
              {">BOX", "", ">BOX"}};
  for (const Row& row : rows) {
    EXPECT_STREQ(GetFileDirectory(row.path), row.directory) << row.path;
    char base[64];
    std::strcpy(base, row.path);
    GetBaseFileName(base);
    EXPECT_STREQ(base, row.base) << row.path;
  }
  EXPECT_EQ(HasFileExtension("A.TGA.X"), E3D_Tag(".TGA"));
}

}  // namespace
