// The music player's module format: the tracker module of 4 to 32
// channels, recognised by its tag, and its parse into the player state.
#include <algorithm>
#include <cstring>

#include "system/modstate.h"
#include "system/util.h"

namespace {

constexpr uint32_t kSampleCount = 31;
constexpr uint32_t kStartTempo = 125;
constexpr uint32_t kStartSpeed = 6;
constexpr uint32_t kVolumeMax = 64;

struct SampleHeader {
  uint32_t length, loopStart, loopLength;  // bytes
  uint8_t finetune, volume;
};

struct SongHeader {
  uint32_t channels, songLength, restart, highest, patternBytes;
  SampleHeader samples[kSampleCount];
  uint8_t orders[LS_MODORDERS];
};

bool Is(const uint8_t* tag, const char* text) { return std::memcmp(tag, text, 4) == 0; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Reads everything the parse needs from the header, before the data
// moves; false when the file is not a module this format plays.
bool LSI_AsmReadSongHeader(const uint8_t* data, uint32_t fileSize, SongHeader& h) {
  if (fileSize < LS_MODHEADERSIZE) return false;
  h.channels = LSI_ModChannelsOfTag(data + LS_MODTAG);
  if (h.channels == 0) return false;
  h.songLength = data[LS_MODSONGLENGTH];
  if (h.songLength == 0 || h.songLength > LS_MODORDERS) return false;
  h.restart = data[LS_MODRESTART] < h.songLength ? data[LS_MODRESTART] : 0;
  std::memcpy(h.orders, data + LS_MODORDERTABLE, LS_MODORDERS);
  h.highest = *std::max_element(h.orders, h.orders + LS_MODORDERS);
  const uint64_t patternBytes =
      static_cast<uint64_t>(h.highest + 1) * LS_MODROWS * h.channels * LS_MODCELLSIZE;
  if (LS_MODHEADERSIZE + patternBytes > fileSize) return false;
  h.patternBytes = static_cast<uint32_t>(patternBytes);
  for (uint32_t i = 0; i < kSampleCount; ++i) {
    const uint8_t* at = data + LS_MODSAMPLEHEADERS + i * LS_MODSAMPLEHEADERSIZE;
    SampleHeader& sh = h.samples[i];
    sh.length = 2u * LS_ReadBEWord(at + 22);
    sh.finetune = at[24] & 15;
    sh.volume = std::min<uint8_t>(at[25], kVolumeMax);
    sh.loopStart = 2u * LS_ReadBEWord(at + 26);
    sh.loopLength = 2u * LS_ReadBEWord(at + 28);
  }
  return true;
}

// Rewrites every cell in place as one 32-bit value with the note as an
// offset into the period table.
void RewriteCells(uint8_t* data, uint32_t cells) {
  for (uint32_t i = 0; i < cells; ++i) {
    uint8_t* b = data + i * LS_MODCELLSIZE;
    const uint32_t period = ((b[0] & 15u) << 8) | b[1];
    const uint32_t sample = (b[0] & 0xF0u) | (b[2] >> 4);
    const uint32_t effect = b[2] & 15u, param = b[3];
    const uint32_t note = period ? 2 * LSI_ModNoteOfPeriod(period) : 0;
    const uint32_t cell = (note << 20) | (sample << 12) | (effect << 8) | param;
    std::memcpy(b, &cell, sizeof cell);
  }
}

// Lays out the samples behind the patterns, each cut at the end of the
// file's data, its loop clamped into it, and a guard after each playable
// one; returns the bytes of the block in use.
uint32_t LayOutSamples(MODSTATE& s, const SongHeader& h, uint32_t used) {
  uint8_t* data = s.ModuleData;
  uint32_t cursor = h.patternBytes;
  for (uint32_t i = 0; i < kSampleCount; ++i) {
    const SampleHeader& sh = h.samples[i];
    const uint32_t length = std::min(sh.length, used > cursor ? used - cursor : 0);
    if (length <= 2) {
      cursor += length;
      continue;
    }
    const uint32_t loopStart = std::min(sh.loopStart, length);
    uint32_t loopLength = std::min(sh.loopLength, length - loopStart);
    if (loopLength <= 2) loopLength = 0;
    LSI_ModDriver->PrepareSample(data + cursor, length, loopStart, loopLength, used - cursor - length);
    used += LS_MODGUARD;
    const uint8_t* start = data + cursor;
    s.SampleStart[i] = start;
    s.SampleEnd[i] = loopLength ? start + loopStart + loopLength : start + length;
    s.SampleLoopStart[i] = start + loopStart;
    s.SampleLoopLength[i] = loopLength;
    s.SampleVolume[i] = sh.volume;
    s.SampleFinetune[i] = static_cast<uint16_t>(sh.finetune * LS_MODFINETUNESTEP);
    cursor += length + LS_MODGUARD;
  }
  return used;
}

void InitSong(MODSTATE& s, const SongHeader& h) {
  s.Channels = h.channels;
  s.SongLength = h.songLength;
  s.RestartPosition = h.restart;
  s.HighestPattern = h.highest;
  std::memcpy(s.Orders, h.orders, LS_MODORDERS);
  s.Tempo = kStartTempo;
  s.Speed = kStartSpeed;
  s.TickCounter = kStartSpeed;
  s.Row = 0;
  s.OrderIndex = 0;
  s.PatternDelay = 0;
  s.BreakRow = 0;
  s.JumpFlag = 0;
  s.CurrentPattern = s.Orders[0];
  LSI_ModDriver->SetTempo(s, kStartTempo);
  for (uint32_t i = 0; i < LS_MODMAXCHANNELS; ++i) {
    MODCHANNEL& c = s.Channel[i];
    c = MODCHANNEL{};
    c.Sample = LS_MODNOSAMPLE;
    c.Number = static_cast<uint8_t>(i);
    c.Pan = (i % 4 == 0 || i % 4 == 3) ? 0 : 0x80;
  }
}

}  // namespace

uint32_t LSI_ModChannelsOfTag(const uint8_t* t) {
  if (!t) return 0;
  if (Is(t, "M.K.") || Is(t, "M!K!") || Is(t, "FLT4")) return 4;
  if (Is(t, "OCTA") || Is(t, "FLT8")) return 8;
  if (t[0] == 'T' && t[1] == 'D' && t[2] == 'Z' && t[3] >= '1' && t[3] <= '3') return t[3] - '0';
  if (t[0] >= '1' && t[0] <= '9' && t[1] == 'C' && t[2] == 'H' && t[3] == 'N') return t[0] - '0';
  if (IsDigit(t[0]) && IsDigit(t[1]) && t[2] == 'C' && t[3] == 'H') {
    const uint32_t n = (t[0] - '0') * 10u + (t[1] - '0');
    if (n >= 10 && n <= LS_MODMAXCHANNELS) return n;
  }
  return 0;
}

int32_t LSI_AsmDetectFormat(MODSTATE& s, uint32_t fileSize) {
  uint8_t* data = s.ModuleData;
  SongHeader h;
  if (!data || !LSI_AsmReadSongHeader(data, fileSize, h)) return 0;
  std::memmove(data, data + LS_MODHEADERSIZE, fileSize - LS_MODHEADERSIZE);
  RewriteCells(data, h.patternBytes / LS_MODCELLSIZE);
  s.ModuleSize = LayOutSamples(s, h, fileSize - LS_MODHEADERSIZE);
  InitSong(s, h);
  return 1;
}

const MODFORMAT LSI_ProTrackerFormat = {LSI_AsmDetectFormat, LSI_AsmTick};
const MODFORMAT* const LSI_ModFormats[] = {&LSI_ProTrackerFormat, nullptr};

int32_t LSI_AsmSelectDriver(MODSTATE& s, uint32_t fileSize) {
  for (MODCHANNEL& c : s.Channel) c = MODCHANNEL{};
  for (uint32_t i = 0; i < LS_MODSAMPLES; ++i) {
    s.SampleStart[i] = s.SampleEnd[i] = s.SampleLoopStart[i] = nullptr;
    s.SampleLoopLength[i] = 0;
    s.SampleVolume[i] = 0;
    s.SampleFinetune[i] = 0;
  }
  s.Format = nullptr;
  for (const MODFORMAT* const* format = LSI_ModFormats; *format; ++format) {
    if ((*format)->Parse(s, fileSize)) {
      s.Format = *format;
      return 1;
    }
  }
  s.ModuleData = nullptr;
  return 0;
}
