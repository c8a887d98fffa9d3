// Mesa's llvmpipe through OSMesa on one thread (or on its default threads,
// the machine's cores), as the rasteriser benchmarks set it beside their own: a 5-6-5 colour buffer with a depth
// buffer, its renderer string, and textures of 8-bit channels sampled
// nearest and repeating.
#pragma once
#if defined(ZENTROVA_HAVE_OSMESA)
#include <GL/osmesa.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

struct OsmesaTarget {
  OSMesaContext context = nullptr;
  std::vector<uint16_t> buffer;
  std::string renderer;  // empty when the context could not be made

  // llvmpipe reads its thread count once per process, at the first context.
  OsmesaTarget(int32_t width, int32_t height, bool oneThread = true) {
    if (oneThread) setenv("LP_NUM_THREADS", "1", 1);
    else unsetenv("LP_NUM_THREADS");
    context = OSMesaCreateContextExt(OSMESA_RGB_565, 24, 0, 0, nullptr);
    buffer.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (!context || !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_SHORT_5_6_5, width, height)) return;
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    glViewport(0, 0, width, height);
    glDisable(GL_DITHER);
  }
  ~OsmesaTarget() {
    if (context) OSMesaDestroyContext(context);
  }
  OsmesaTarget(const OsmesaTarget&) = delete;
  OsmesaTarget& operator=(const OsmesaTarget&) = delete;
  bool IsLlvmpipe() const { return renderer.find("llvmpipe") != std::string::npos; }

  // A texture of width x height RGB bytes, nearest and repeating.
  static void Texture(GLuint name, int32_t width, int32_t height, const uint8_t* rgb) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  }
};

}  // namespace bench
#endif
