// Builds the default data tree: copies the text files of the repository's
// data folder, draws the pictures (the HUD's and the interface's fonts
// rasterised from a TrueType font, the interface's arrow, the pictures
// around a race, the 3D palette), writes the car models and the animated decor props, builds the default circuit's map, centre line and road
// texture, writes the music the program loads and, when the text data
// holds the circuit's map information, records the attract replay and the
// opponents' replays of the race of four cars;
// with a CD folder, writes the CD's audio tracks there. Also writes the
// system font's include from its glyph text, and an extra scene of the
// generated circuit at a chosen size.
//
//   datagen <output folder> [<text data folder> [<CD folder>]]
//   datagen --sysfont <glyph text> <include file>
//   datagen --circuit <faces> <output folder> <scene name>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "datagen/busycursor.h"
#include "datagen/carmodels.h"
#include "datagen/carshadows.h"
#include "datagen/headlights.h"
#include "datagen/carsounds.h"
#include "datagen/circuit.h"
#include "datagen/circuitdrive.h"
#include "datagen/decorprops.h"
#include "datagen/devenv.h"
#include "datagen/editor2.h"
#include "datagen/editorpanel.h"
#include "datagen/hudart.h"
#include "datagen/insetcars.h"
#include "datagen/introart.h"
#include "datagen/menufonts.h"
#include "datagen/menupictures.h"
#include "datagen/menusounds.h"
#include "datagen/hudfonts.h"
#include "datagen/modwrite.h"
#include "datagen/mountains.h"
#include "datagen/netrace.h"
#include "datagen/palette3d.h"
#include "datagen/pcxwrite.h"
#include "datagen/scenerypics.h"
#include "datagen/skypics.h"
#include "datagen/sessionart.h"
#include "datagen/stickers.h"
#include "datagen/sysfont.h"
#include "datagen/testsong.h"
#include "datagen/tgawrite.h"
#include "datagen/careditorpics.h"
#include "datagen/tune.h"
#include "datagen/wavwrite.h"
#include "frontend/interface.h"
#include "platform/display.h"
#include "system/lsvar.h"

namespace fs = std::filesystem;

namespace {

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The path of a file below root, each component matched without regard to
// case, as the program finds it: an existing file or folder of that name
// is written over, whatever its case; missing parts take the given name.
fs::path PlaceInTree(const fs::path& root, const fs::path& relative) {
  fs::path at = root;
  for (const fs::path& part : relative) {
    fs::path next = at / part;
    std::error_code ec;
    if (fs::is_directory(at, ec))
      for (const fs::directory_entry& entry : fs::directory_iterator(at, ec))
        if (SameName(entry.path().filename().string(), part.string())) {
          next = entry.path();
          break;
        }
    at = next;
  }
  return at;
}

// Copies every file of the text tree to its place in the output tree, so
// that a folder or file already there under another case is reused.
bool CopyTextTree(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (!fs::is_directory(from, ec)) return true;
  for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const fs::path target = PlaceInTree(to, fs::relative(it->path(), from, ec));
    fs::create_directories(target.parent_path(), ec);
    if (!ec) fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, ec);
    if (ec) break;
  }
  if (ec) std::fprintf(stderr, "datagen: cannot copy %s: %s\n", from.c_str(), ec.message().c_str());
  return !ec;
}

// Writes a picture at its place in the tree with the writer of its kind.
template <typename Picture>
bool WritePicture(const fs::path& out, const fs::path& relative, const Picture& picture,
                  bool (*write)(const std::string&, const Picture&)) {
  const fs::path path = PlaceInTree(out, relative);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (ec || !write(path.string(), picture)) {
    std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteBytes(const fs::path& out, const fs::path& relative, const std::string& bytes);

bool WriteTgaImage(const fs::path& out, const fs::path& relative, const datagen::TgaImage& image) {
  const std::vector<uint8_t> bytes = datagen::EncodeTga(image, false);
  return !bytes.empty() && WriteBytes(out, relative, std::string(bytes.begin(), bytes.end()));
}

// The films with their waves, the attract cycle's and the option overlay's
// pictures, and the HUD's card textures.
bool WriteIntroArt(const fs::path& out) {
  std::vector<datagen::DataFile> files;
  std::string error;
  if (!datagen::IntroArt(ZENTROVA_HUD_FONT, &files, &error)) {
    std::fprintf(stderr, "datagen: the films and race pictures: %s\n", error.c_str());
    return false;
  }
  for (const datagen::DataFile& file : files)
    if (!WriteBytes(out, file.path, std::string(file.bytes.begin(), file.bytes.end()))) return false;
  return true;
}

// The HUD's fonts, dial, finishing-list cars and inset cars.
bool WriteHudPictures(const fs::path& out) {
  static const char* const kStrips[] = {"MISCPICT/FONT.TGA", "MISCPICT/FONT2.TGA", "MISCPICT/FONT3.TGA"};
  for (int slot = 0; slot < 3; ++slot) {
    datagen::Picture24 strip;
    std::string error;
    if (!datagen::HudFontStrip(ZENTROVA_HUD_FONT, slot, &strip, &error)) {
      std::fprintf(stderr, "datagen: %s: %s\n", kStrips[slot], error.c_str());
      return false;
    }
    if (!WritePicture(out, kStrips[slot], strip, datagen::WriteTga)) return false;
  }
  if (!WritePicture(out, "MISCPICT/COMPTEUR.TGA", datagen::CounterPicture(), datagen::WriteTga)) return false;
  if (!WriteTgaImage(out, "MISCPICT/SCARS.TGA", datagen::InsetCarsPicture())) return false;
  for (int car = 1; car <= 8; ++car)
    if (!WritePicture(out, "MISCPICT/CARCOT" + std::to_string(car) + ".TGA", datagen::CarPicture(car),
                      datagen::WriteTga))
      return false;
  return true;
}

// The menus' backgrounds with their glass composed over them, as the game
// composes them (CALC_VITRE), from the pictures written before.
bool ComposeMenuBackgrounds(const fs::path& out) {
  const char* const composed[] = {"INTER/BMAPS/VITREOK.TGA", "INTER/BMAPS/VITRETEX.TGA"};
  std::error_code ec;
  for (const char* name : composed) fs::remove(PlaceInTree(out, name), ec);
  {
    datagen::TreeLibrary library(out.string(), 16u << 20);
    if (library.Started()) SB_CalcVitre();
  }
  // The display and the library's records leave with the library, so that
  // the steps after start from nothing.
  plat::ResetDisplay();
  LS_ResetVars();
  LSI_ResetVars();
  for (const char* name : composed)
    if (!fs::exists(PlaceInTree(out, name), ec)) {
      std::fprintf(stderr, "datagen: cannot compose %s\n", name);
      return false;
    }
  return true;
}

// The interface's fonts, arrow and pictures.
bool WriteMenuPictures(const fs::path& out) {
  for (const datagen::MenuFont& font : datagen::kMenuFonts) {
    datagen::TgaImage image;
    std::string error;
    if (!datagen::MenuFontImage(ZENTROVA_HUD_FONT, font, &image, &error)) {
      std::fprintf(stderr, "datagen: %s: %s\n", font.path, error.c_str());
      return false;
    }
    if (!WriteTgaImage(out, font.path, image)) return false;
  }
  if (!WriteTgaImage(out, "INTER/BMAPS/CURSOR.TGA", datagen::MenuArrowImage())) return false;
  for (int frame = 0; frame < datagen::kBusyCursorFrames; ++frame) {
    char name[40];
    std::snprintf(name, sizeof name, "INTER/BMAPS/roue%04d.TGA", frame);
    if (!WriteTgaImage(out, name, datagen::BusyCursorImage(frame))) return false;
  }
  std::vector<datagen::MenuPicture> pictures;
  std::string error;
  if (!datagen::MenuPictures(ZENTROVA_HUD_FONT, &pictures, &error)) {
    std::fprintf(stderr, "datagen: the menus' pictures: %s\n", error.c_str());
    return false;
  }
  for (const datagen::MenuPicture& picture : pictures)
    if (!WriteTgaImage(out, picture.path, picture.image)) return false;
  return ComposeMenuBackgrounds(out);
}

// The pictures around a race, the 3D palette of the default texture path,
// the window clouds, the smoke puff and the LED dots.
bool WriteSessionPictures(const fs::path& out) {
  return WritePicture(out, "MISCPICT/PLEASEWA.TGA", datagen::PleaseWaitPicture(), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/TAMRISK.TGA", datagen::LogoPicture(), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/INFO.TGA", datagen::InfoPagePicture(), datagen::WriteTga) &&
         WritePicture(out, "PCX/VOATU.PCX", datagen::MeterPicture(), datagen::WritePcx) &&
         WritePicture(out, "TXT/TRAVUN/PALETTE.PCX", datagen::TexturePalettePicture(), datagen::WritePcx) &&
         WritePicture(out, "MISCPICT/NUAGE.TGA", datagen::CloudPicture(0), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/NUAGE2.TGA", datagen::CloudPicture(1), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/FUMEE.TGA", datagen::FumeePicture(), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/DIODEon.TGA", datagen::DiodePicture(true), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/DIODEoff.TGA", datagen::DiodePicture(false), datagen::WriteTga);
}

// The sky, ground and star squares and the sun's lens flare.
bool WriteSkyPictures(const fs::path& out) {
  if (!WritePicture(out, "MISCPICT/CIELFON1.TGA", datagen::SkyPicture(), datagen::WriteTga) ||
      !WritePicture(out, "MISCPICT/LESOL.TGA", datagen::GroundPicture(), datagen::WriteTga) ||
      !WritePicture(out, "MISCPICT/ETOILES.TGA", datagen::StarsPicture(), datagen::WriteTga) ||
      !WriteTgaImage(out, "MISCPICT/LENS1.TGA", datagen::FlareImage(0)))
    return false;
  for (int i = 1; i <= datagen::kNbFlareSprites; ++i)
    if (!WriteTgaImage(out, "MISCPICT/FLARE0" + std::to_string(i) + "1.TGA", datagen::FlareImage(i))) return false;
  return true;
}

// The car shadows' meshes and the headlight beams' object.
bool WriteShadowMeshes(const fs::path& out) {
  if (!datagen::WriteBeamObject((out / "OBC" / "PHARE").string())) return false;
  for (const datagen::NamedPlg& plg : datagen::ShadowMeshes()) {
    const datagen::Bytes bytes = datagen::PlgBytes(plg.mesh);
    if (!WriteBytes(out, plg.path, std::string(bytes.begin(), bytes.end()))) return false;
  }
  return true;
}

// The circuits' textures of the default texture path: "ROAD    " of the
// flat square, the NETRACE scene's road "ROUT1" and walls "MUR1" (names
// cut at their first zero), and the road generator's gutter "CANIV1" and
// second strip "ROUT2", each as ".PCX" and ".TGA"; the displays of its
// start (LED panels, start lamps, road lights), the same way; and the
// scene's occlusion picture.
bool WriteCircuitTextures(const fs::path& out) {
  using datagen::RoadKind;
  for (const auto& [name, kind] : {std::pair{"ROAD    ", RoadKind::Road}, std::pair{"ROUT1", RoadKind::Kerb},
                                   std::pair{"MUR1", RoadKind::Wall},
                                   std::pair{"CANIV1", RoadKind::Gutter}, std::pair{"ROUT2", RoadKind::SecondStrip}}) {
    const std::string path = "TXT/TRAVUN/" + std::string(name);
    if (!WritePicture(out, path + ".PCX", datagen::RoadPicture(kind), datagen::WritePcx) ||
        !WritePicture(out, path + ".TGA", datagen::RoadPicture24(kind), datagen::WriteTga))
      return false;
  }
  const std::pair<const char*, datagen::Picture24> displays[] = {
      {"GO", datagen::LedPanelPicture()},         {"PANSTAD2", datagen::LedPanelPicture()},
      {"TIMEX1", datagen::LedPanelPicture()},     {"TIMEX2", datagen::LedPanelPicture()},
      {"TIMEX3", datagen::LedPanelPicture()},     {"DEPART", datagen::StartLampsPicture(false)},
      {"DEPART3", datagen::StartLampsPicture(true)}, {"TRGROZEB", datagen::RoadLightPicture()}};
  for (const auto& [name, picture] : displays) {
    const std::string path = "TXT/TRAVUN/" + std::string(name);
    if (!WritePicture(out, path + ".PCX", datagen::InTexturePalette(picture), datagen::WritePcx) ||
        !WritePicture(out, path + ".TGA", picture, datagen::WriteTga))
      return false;
  }
  for (const auto& [name, variant] : {std::pair{"DECOFON2", 0}, std::pair{"DECOFON", 1}}) {
    const datagen::Picture24 picture = datagen::DecofonPicture(variant);
    const std::string path = "TXT/TRAVUN/" + std::string(name);
    if (!WritePicture(out, path + ".PCX", datagen::InTexturePalette(picture), datagen::WritePcx) ||
        !WritePicture(out, path + ".TGA", picture, datagen::WriteTga))
      return false;
  }
  return WritePicture(out, "TXT/TRAVUN/PVS.PCX", datagen::NetracePvsPicture(), datagen::WritePcx);
}

// The background objects that "backobc.txt" (of the text tree) places.
bool WriteBackObjects(const fs::path& out) {
  const fs::path folder = PlaceInTree(out, "OBC/BACKOBC");
  std::error_code ec;
  fs::create_directories(folder, ec);
  for (const datagen::BackObject& object : datagen::BackObjects())
    if (ec || !datagen::WriteBackObject(folder.string(), object)) {
      std::fprintf(stderr, "datagen: cannot write the background object %s\n", object.name.c_str());
      return false;
    }
  return true;
}

// The car sounds of the "wav>" directory.
bool WriteCarSounds(const fs::path& out) {
  for (const datagen::NamedWave& sound : datagen::CarSounds()) {
    const std::vector<uint8_t> bytes = datagen::EncodeWave(sound.wave);
    if (!WriteBytes(out, "WAV/" + sound.name, std::string(bytes.begin(), bytes.end()))) return false;
  }
  return true;
}

// The interface's waves of "INTER>SONS>".
bool WriteMenuSounds(const fs::path& out) {
  for (const datagen::NamedWave& sound : datagen::MenuSounds()) {
    const std::vector<uint8_t> bytes = datagen::EncodeWave(sound.wave);
    if (!WriteBytes(out, "INTER/SONS/" + sound.name, std::string(bytes.begin(), bytes.end()))) return false;
  }
  return true;
}

// The default circuit's map, built from its scene (written before).
bool WriteCircuit(const fs::path& out) {
  std::error_code ec;
  fs::create_directories(PlaceInTree(out, "DEC"), ec);
  if (ec || !datagen::BuildNetraceMap(out.string())) {
    std::fprintf(stderr, "datagen: cannot build the circuit's map in %s\n", out.c_str());
    return false;
  }
  return true;
}

// The lap replays at the tree's root, where the game finds a bare file
// name: the attract replay "SA0.REP" (the default car's first lap of the
// default circuit from the pole) and the three opponents of the race of
// four cars, "SA1.REP" to "SA3.REP", each driven on the tree's map, cars
// and parameters by a library of its own.
bool WriteLapReplay(const fs::path& out, const datagen::LapReplay& lap) {
  std::string error;
  datagen::TreeLibrary library(out.string(), 64u << 20);
  if (!library.Started() || !datagen::RecordLapReplay(lap, &error)) {
    std::fprintf(stderr, "datagen: cannot record the replay %s: %s\n", lap.path,
                 library.Started() ? error.c_str() : "no memory");
    return false;
  }
  // The game creates its files for the user alone; the tree's files are
  // readable by all, as the other writers leave them.
  std::error_code ec;
  const fs::path replay = PlaceInTree(out, lap.path);
  fs::permissions(replay, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read,
                  ec);
  if (ec) std::fprintf(stderr, "datagen: cannot make %s readable: %s\n", replay.c_str(), ec.message().c_str());
  return !ec;
}

bool WriteLapReplays(const fs::path& out) {
  if (!WriteLapReplay(out, datagen::kAttractReplay)) return false;
  for (const datagen::LapReplay& lap : datagen::kOpponentReplays)
    if (!WriteLapReplay(out, lap)) return false;
  return true;
}

// Writes bytes at their place in the tree.
bool WriteBytes(const fs::path& out, const fs::path& relative, const std::string& bytes) {
  const fs::path path = PlaceInTree(out, relative);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (ec || !file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
    std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

// The default circuit as a scene, with its centre line.
bool WriteNetrace(const fs::path& out) {
  return WriteBytes(out, "ASC/NETRACE.ASC", datagen::NetraceScene()) &&
         WriteBytes(out, "TXT/NETRACE.BSP", datagen::NetraceCentreLineFile());
}

// The animated props with their pictures, and the balloon's path.
bool WriteDecorProps(const fs::path& out) {
  for (const datagen::CarModel& prop : datagen::DecorProps())
    if (!datagen::WriteCarModel(out.string(), prop)) {
      std::fprintf(stderr, "datagen: cannot write %s\n", prop.path.c_str());
      return false;
    }
  return WriteBytes(out, "DAT/DECOR/BALLON.TAB", datagen::TableBytes(datagen::BalloonPath()));
}

// The car stickers, as the game finds them by name.
bool WriteStickers(const fs::path& out) {
  for (const datagen::StickerFile& s : datagen::Stickers()) {
    const std::vector<uint8_t> bytes = datagen::EncodeTga(s.image, false);
    if (!WriteBytes(out, "INTERFAC/STICKER/" + s.name, std::string(bytes.begin(), bytes.end()))) return false;
  }
  return true;
}

// The decor-object editor's panel, the scene editor's markers and cursors.
bool WriteSceneEditorPictures(const fs::path& out) {
  return WritePicture(out, "PCX/EDITOR2.PCX", datagen::DecorPanelPicture(), datagen::WritePcx) &&
         WritePicture(out, "MISCPICT/PETITCAR.TGA", datagen::CarMarkerPicture(), datagen::WriteTga) &&
         WritePicture(out, "MISCPICT/PETITCAM.TGA", datagen::CameraMarkerPicture(), datagen::WriteTga) &&
         WritePicture(out, "INTERFAC/SELECT.TGA", datagen::SelectCursorPicture(), datagen::WriteTga) &&
         WritePicture(out, "INTERFAC/LOUPE.TGA", datagen::LoupeCursorPicture(), datagen::WriteTga) &&
         WritePicture(out, "INTERFAC/HAND.TGA", datagen::HandCursorPicture(), datagen::WriteTga);
}

int BuildTree(const fs::path& out, const char* textData) {
  std::error_code ec;
  fs::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  if (textData && !CopyTextTree(textData, out)) return 1;
  // The game writes its texture banks there.
  fs::create_directories(out / "BNK", ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", (out / "BNK").c_str(), ec.message().c_str());
    return 1;
  }
  // Pictures are drawn after the copy, over any placeholder of the same name.
  if (!WritePicture(out, "PCX/DEVENV.PCX", datagen::DevEnvPicture(), datagen::WritePcx)) return 1;
  if (!WritePicture(out, "PCX/EDITOR.PCX", datagen::EditorPanelPicture(), datagen::WritePcx)) return 1;
  if (!WriteSceneEditorPictures(out)) return 1;
  if (!WriteHudPictures(out) || !WriteMenuPictures(out) || !WriteSessionPictures(out) ||
      !WriteSkyPictures(out) || !WriteShadowMeshes(out) || !WriteNetrace(out) || !WriteCircuitTextures(out) ||
      !WriteBackObjects(out) || !WriteCircuit(out) || !WriteStickers(out) || !WriteCarSounds(out) ||
      !WriteMenuSounds(out) || !WriteDecorProps(out) || !WriteIntroArt(out))
    return 1;
  for (const datagen::CarEditorPicture& p : datagen::CarEditorPictures())
    if (!WritePicture(out, p.path, p.picture, datagen::WriteTga)) return 1;
  for (const datagen::CarModel& car : datagen::CarModels())
    if (!datagen::WriteCarModel(out.string(), car)) {
      std::fprintf(stderr, "datagen: cannot write %s\n", car.path.c_str());
      return 1;
    }
  const fs::path module = PlaceInTree(out, "mod/test.mod");
  fs::create_directories(module.parent_path(), ec);
  if (ec || !datagen::WriteMod(module.string(), datagen::TestSong())) {
    std::fprintf(stderr, "datagen: cannot write %s\n", module.c_str());
    return 1;
  }
  // The drive needs the circuit's map information of the text tree.
  if (fs::exists(PlaceInTree(out, "TXT/NETRACE.TXT"), ec) && !WriteLapReplays(out)) return 1;
  return 0;
}

// The CD: its folder "CDAUDIO" holds track 2, the race music.
int WriteCd(const fs::path& cd) {
  std::error_code ec;
  fs::create_directories(cd / "CDAUDIO", ec);
  if (ec || !datagen::WriteWave((cd / "CDAUDIO" / "TRACK02.WAV").string(), datagen::MakeTune())) {
    std::fprintf(stderr, "datagen: cannot write the CD's tracks in %s\n", cd.c_str());
    return 1;
  }
  return 0;
}

int WriteSysFontInclude(const char* glyphText, const char* include) {
  std::ifstream in(glyphText, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "datagen: cannot read %s\n", glyphText);
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  const std::vector<uint8_t> picture = datagen::SysFontPicture(text.str(), &error);
  if (picture.empty()) {
    std::fprintf(stderr, "datagen: %s: %s\n", glyphText, error.c_str());
    return 1;
  }
  std::ofstream out(include, std::ios::binary | std::ios::trunc);
  out << datagen::SysFontInclude(picture);
  if (!out.flush()) {
    std::fprintf(stderr, "datagen: cannot write %s\n", include);
    return 1;
  }
  return 0;
}

}  // namespace

// The generated circuit at about the given faces as the extra scene
// ASC/<name>.ASC of a data tree, with the default circuit's map
// information under its name when the tree holds it (the same shape, grids
// and centre line), so that "MAP <name>", "BUILDMAP 1" and PLAY race on it.
int WriteExtraCircuit(const char* faces, const fs::path& out, const std::string& name) {
  char* end = nullptr;
  const long count = std::strtol(faces, &end, 10);
  if (!*faces || *end || count < 1 || count > 200000 || name.empty() || name.size() > 8 ||
      name.find_first_of("/\\.> ") != std::string::npos) {
    std::fprintf(stderr, "datagen: --circuit wants 1 to 200000 faces and a name of 1 to 8 letters\n");
    return 2;
  }
  const std::string scene = datagen::NetraceScene(datagen::NetraceSegmentsFor(static_cast<int32_t>(count)));
  if (!WriteBytes(out, "ASC/" + name + ".ASC", scene)) return 1;
  std::error_code ec;
  const fs::path info = PlaceInTree(out, "TXT/NETRACE.TXT");
  if (!fs::exists(info, ec)) return 0;
  std::ifstream in(info, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return in && WriteBytes(out, "TXT/" + name + ".TXT", text.str()) ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--sysfont") return WriteSysFontInclude(argv[2], argv[3]);
  if (argc == 5 && std::string(argv[1]) == "--circuit") return WriteExtraCircuit(argv[2], argv[3], argv[4]);
  if (argc == 2 || argc == 3) return BuildTree(argv[1], argc == 3 ? argv[2] : nullptr);
  if (argc == 4) {
    const int built = BuildTree(argv[1], argv[2]);
    return built != 0 ? built : WriteCd(argv[3]);
  }
  std::fprintf(stderr,
               "usage: datagen <output folder> [<text data folder> [<CD folder>]]\n"
               "       datagen --sysfont <glyph text> <include file>\n"
               "       datagen --circuit <faces> <output folder> <scene name>\n");
  return 2;
}
