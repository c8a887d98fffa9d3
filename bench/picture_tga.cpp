// The TGA reader beside ImageMagick on 640 x 480 pictures: raw and
// run-length coded at 8, 16, 24 and 32 bits of a photo-like and of a flat
// scene written by the project's TGA writer, and 24-bit ones written by
// netpbm's pamtotga (rows bottom-up).
#include <string>
#include <vector>

#include "bench/peers.h"
#include "datagen/benchfiles.h"

namespace {

using bench::kHeight;
using bench::kWidth;

const char* MapOf(int depth) { return depth == 32 ? "BGRA" : "BGR"; }

std::vector<bench::PictureCase> MakeCases(const std::filesystem::path& folder) {
  std::vector<bench::PictureCase> cases;
  for (const datagen::Scene scene : {datagen::Scene::kPhoto, datagen::Scene::kFlat}) {
    const std::string sceneName = datagen::SceneName(scene);
    for (const int depth : {8, 16, 24, 32}) {
      const datagen::TgaImage image = datagen::SceneTga(scene, kWidth, kHeight, depth);
      for (const bool rle : {false, true}) {
        const std::string file =
            "T" + std::to_string(depth) + (rle ? "R" : "U") + bench::SceneLetter(sceneName) + ".TGA";
        std::vector<uint8_t> bytes = datagen::EncodeTga(image, rle);
        bench::WriteBytes(folder / file, bytes);
        // ImageMagick reads run-length colour-mapped pixels only under
        // their own image type, 9: the same bytes with that type.
        std::string peer = (folder / file).string();
        if (rle && depth == 8) {
          bytes[2] = 9;
          peer = (folder / ("M" + file)).string();
          bench::WriteBytes(peer, bytes);
        }
        cases.push_back({"TGA/" + sceneName + (rle ? "/rle/" : "/raw/") + std::to_string(depth) + "/own", file,
                         peer, MapOf(depth), LS_LoadTga});
      }
    }
    const std::filesystem::path ppm = folder / ("S" + sceneName + ".PPM");
    bench::WritePpm(ppm, datagen::SceneRgb(scene, kWidth, kHeight));
    for (const bool rle : {false, true}) {
      const std::string file = std::string("N24") + (rle ? "R" : "U") + bench::SceneLetter(sceneName) + ".TGA";
      if (!bench::Netpbm(std::string("pamtotga -rgb ") + (rle ? "" : "-norle ") + ppm.string(), folder / file))
        continue;
      cases.push_back({"TGA/" + sceneName + (rle ? "/rle/" : "/raw/") + "24/netpbm", file,
                       (folder / file).string(), "BGR", LS_LoadTga});
    }
  }
  return cases;
}

}  // namespace

int main(int argc, char** argv) { return bench::RunPictureCases(argc, argv, MakeCases); }
