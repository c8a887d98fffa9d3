// Music module test helpers: the library started with a memory output in
// a chosen primary format, the player initialised with its thread held
// parked, modules written with the MOD writer, mixing steps run by hand
// and the stream read back.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/modwrite.h"
#include "platform/audio.h"
#include "system/error.h"
#include "system/modstate.h"
#include "system/module.h"
#include "system/sound.h"
#include "tests/support/testenv.h"

namespace ztest {

// Samples the test modules carry.
enum ModTestSample : uint8_t {
  kSquareLoop = 1,  // 32-byte square, 127 and -128, looping
  kHighLoop,        // 64 bytes of 127, looping
  kLowLoop,         // 64 bytes of -128, looping
  kHighOnce,        // 64 bytes of 127, once
};

// A module of the channel count and tag with the test samples, and empty
// patterns for the song positions given.
inline datagen::Module TestModule(uint32_t channels, const std::string& tag, std::vector<uint8_t> orders = {0}) {
  datagen::Module m;
  m.tag = tag;
  m.channels = channels;
  datagen::ModSample square;
  square.data = datagen::SquareSample(32, 1);
  square.loopLength = 32;
  datagen::ModSample high;
  high.data = datagen::ConstantSample(64, 127);
  high.loopLength = 64;
  datagen::ModSample low = high;
  low.data = datagen::ConstantSample(64, -128);
  datagen::ModSample once;
  once.data = datagen::ConstantSample(64, 127);
  m.samples = {square, high, low, once};
  m.orders = std::move(orders);
  uint8_t highest = 0;
  for (uint8_t o : m.orders) highest = std::max(highest, o);
  for (uint32_t p = 0; p <= highest; ++p) m.At(p, 0, 0);
  return m;
}

class ModTest : public LibraryTest {
 protected:
  void TearDown() override {
    LS_CloseModuleSystem();
    LSI_HoldModuleThread(0);
    LSI_ModDriver = &LSI_ModPlayerDriver;
    LibraryTest::TearDown();
    plat::audio::Reset();
  }

  // Output and primary format at rate, channels and bits; the player
  // initialised with its thread held.
  void StartPlayer(uint32_t rate = 11025, uint16_t channels = 1, uint16_t bits = 8) {
    ASSERT_EQ(plat::audio::AttachOutput(rate, channels), plat::audio::kOk);
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    const SOUNDFORMAT format = {static_cast<uint16_t>(rate), channels, bits};
    SetSoundFormat(&format);
    LSI_HoldModuleThread(1);
    ASSERT_EQ(LS_InitModuleSystem(), 1);
  }

  // Writes the bytes as name on drive C: and returns the name.
  std::string PutBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFile(root_ + "/" + name, std::string(bytes.begin(), bytes.end()));
    return name;
  }
  MODULE* Load(const datagen::Module& m, const std::string& name = "t.mod") {
    return LS_LoadModule(PutBytes(name, datagen::EncodeMod(m)).c_str(), LS_DefaultHeap);
  }

  // Bytes of the stream, as they stand.
  static std::vector<uint8_t> StreamBytes(uint32_t offset, uint32_t bytes) {
    plat::audio::Region first, second;
    std::vector<uint8_t> out;
    if (plat::audio::Lock(LSI_ModPlayer.Stream, offset, bytes, &first, &second) != plat::audio::kOk) return out;
    const auto* a = static_cast<const uint8_t*>(first.data);
    out.assign(a, a + first.bytes);
    if (second.data) {
      const auto* b = static_cast<const uint8_t*>(second.data);
      out.insert(out.end(), b, b + second.bytes);
    }
    plat::audio::Unlock(LSI_ModPlayer.Stream, first, second);
    return out;
  }

  // Lets the output play frames, runs one mixing step and returns the
  // stream bytes it wrote.
  static std::vector<uint8_t> Step(uint32_t frames) {
    std::vector<int16_t> sink(static_cast<size_t>(frames) * 2);
    plat::audio::Render(sink.data(), frames);
    const uint32_t from = LSI_ModState.WritePos;
    LSI_MixModule();
    const uint32_t written = (LSI_ModState.WritePos + LS_MODSTREAMSIZE - from) % LS_MODSTREAMSIZE;
    return written ? StreamBytes(from, written) : std::vector<uint8_t>{};
  }

  // Stream bytes of at least bytes, made step by step, letting the output
  // play what each step wrote.
  static std::vector<uint8_t> Stream(uint32_t bytes) {
    std::vector<uint8_t> out;
    const uint32_t frameBytes = (LSI_ModState.Stereo ? 2 : 1) * (LSI_ModState.Bits16 ? 2 : 1);
    uint32_t frames = (2 * LSI_ModState.BytesPerTick + 32) / frameBytes;
    while (out.size() < bytes) {
      const std::vector<uint8_t> more = Step(frames);
      if (more.empty()) return out;
      out.insert(out.end(), more.begin(), more.end());
      frames = static_cast<uint32_t>(more.size()) / frameBytes;
    }
    return out;
  }

  // Signed samples of stream bytes in the player's format (interleaved).
  static std::vector<int32_t> Samples(const std::vector<uint8_t>& bytes) {
    std::vector<int32_t> out;
    if (LSI_ModState.Bits16) {
      for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<int16_t>(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8))));
    } else {
      for (uint8_t b : bytes) out.push_back(static_cast<int32_t>(b) - 128);
    }
    return out;
  }
};

}  // namespace ztest
