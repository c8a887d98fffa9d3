// CD audio stand-in: the command strings, the disc's table of tracks read
// at open, and playing a range of one track through the sound output.
#include "platform/cdaudio.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "platform/audio.h"
#include "platform/fs.h"
#include "platform/window.h"

namespace plat::cdaudio {
namespace {

constexpr int kFirstTrack = 1;
constexpr int kLastTrack = 99;
constexpr char kFolder[] = "CDAUDIO";
constexpr int64_t kMsPerSecond = 1000;

// WAVE layout: the RIFF header, then chunks of a tag and a length, padded
// to even sizes.
constexpr uint32_t kRiffHeader = 12;
constexpr uint32_t kChunkHeader = 8;
constexpr uint32_t kFmtLength = 16;

struct Track {
  bool present = false;
  std::string physical;  // e.g. "D:/CDAUDIO/TRACK05.WAV"
  audio::PcmFormat format{};
  uint32_t dataOffset = 0;  // file offset of the first sample
  uint32_t frames = 0;
  int64_t lengthMs = 0;
  int64_t startMs = 0;
};

struct Drive {
  bool open = false;
  uintptr_t window = 0;
  Track tracks[kLastTrack + 1];
  audio::Device* output = nullptr;
  audio::Buffer* playing = nullptr;
  std::vector<std::string> sent;
};

Drive& TheDrive() {
  static Drive drive;
  return drive;
}

uint32_t Le16(const uint8_t* p) { return p[0] | static_cast<uint32_t>(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// Reads exactly count bytes at offset; false when the file has fewer.
bool ReadAt(int handle, int64_t offset, void* to, uint32_t count) {
  if (SeekFile(handle, offset, 0) != offset) return false;
  auto* bytes = static_cast<uint8_t*>(to);
  for (uint32_t done = 0; done < count;) {
    const int64_t got = ReadFile(handle, bytes + done, count - done);
    if (got <= 0) return false;
    done += static_cast<uint32_t>(got);
  }
  return true;
}

bool UsableFormat(const audio::PcmFormat& f) {
  return f.formatTag == audio::kFormatPcm && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.blockAlign == f.channels * f.bitsPerSample / 8 &&
         f.samplesPerSec >= audio::kFrequencyMin && f.samplesPerSec <= audio::kFrequencyMax;
}

// The format and samples of a PCM WAVE file; false when it is none. A
// data chunk longer than the file holds is cut to what is there.
bool ReadLayout(int handle, Track& t) {
  const int64_t size = SeekFile(handle, 0, 2);
  uint8_t head[kRiffHeader];
  if (size < kRiffHeader || !ReadAt(handle, 0, head, kRiffHeader) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return false;
  bool haveFormat = false;
  for (int64_t at = kRiffHeader; at + kChunkHeader <= size;) {
    uint8_t chunk[kChunkHeader];
    if (!ReadAt(handle, at, chunk, kChunkHeader)) return false;
    const int64_t length = Le32(chunk + 4), body = at + kChunkHeader;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      uint8_t f[kFmtLength];
      if (length < kFmtLength || !ReadAt(handle, body, f, kFmtLength)) return false;
      t.format = {static_cast<uint16_t>(Le16(f)),      static_cast<uint16_t>(Le16(f + 2)), Le32(f + 4), Le32(f + 8),
                  static_cast<uint16_t>(Le16(f + 12)), static_cast<uint16_t>(Le16(f + 14))};
      haveFormat = UsableFormat(t.format);
      if (!haveFormat) return false;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return false;
      const int64_t bytes = std::min(length, size - body);
      t.dataOffset = static_cast<uint32_t>(body);
      t.frames = static_cast<uint32_t>(std::min<int64_t>(bytes, audio::kBufferBytesMax) / t.format.blockAlign);
      return t.frames > 0;
    }
    at = body + length + (length & 1);
  }
  return false;
}

std::string TrackPath(const std::string& folder, int number) {
  char name[16];
  std::snprintf(name, sizeof name, "TRACK%02d.WAV", number);
  return folder + "/" + name;
}

// The "CDAUDIO" folder of the first CD drive, as a physical path.
bool FindDisc(std::string& folder) {
  for (const DriveConfig& drive : ListDrives()) {
    if (drive.type != DriveType::CdRom) continue;
    folder = std::string(1, drive.letter) + ":/" + kFolder;
    std::string host;
    std::error_code ec;
    return ResolveHostPath(folder, false, host) && std::filesystem::is_directory(host, ec);
  }
  return false;
}

// Reads the table of tracks; false when the disc holds none.
bool ReadDisc(Drive& d) {
  std::string folder;
  if (!FindDisc(folder)) return false;
  int64_t position = 0;
  bool any = false;
  for (int n = kFirstTrack; n <= kLastTrack; ++n) {
    Track& t = d.tracks[n];
    t = Track{};
    t.physical = TrackPath(folder, n);
    const int handle = OpenFile(t.physical, kOpenReadOnly | kOpenBinary);
    if (handle < 0) continue;
    t.present = ReadLayout(handle, t);
    CloseFile(handle);
    if (!t.present) continue;
    t.lengthMs = static_cast<int64_t>(t.frames) * kMsPerSecond / t.format.samplesPerSec;
    t.startMs = position;
    position += t.lengthMs;
    any = true;
  }
  return any;
}

// Matches a command against a pattern whose '#' stand for decimal numbers
// written plainly (as "%d" writes them).
bool Match(std::string_view text, std::string_view pattern, int64_t* numbers) {
  for (char p : pattern) {
    if (p != '#') {
      if (text.empty() || text.front() != p) return false;
      text.remove_prefix(1);
      continue;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const size_t used = static_cast<size_t>(end - text.data());
    if (error != std::errc() || text.substr(0, used) != std::to_string(value)) return false;
    *numbers++ = value;
    text.remove_prefix(used);
  }
  return text.empty();
}

void PostNotify(uintptr_t code) { PostWindowMessage({kMsgCdNotify, code, kDeviceId}); }

// Runs on the rendering thread when the track's buffer ends.
void TrackEnded(void*) { PostNotify(kNotifySuccessful); }

// Stops and forgets the buffer playing, so that it never notifies.
void DropPlay(Drive& d) {
  if (d.playing) audio::Release(d.playing);
  d.playing = nullptr;
}

void Close(Drive& d) {
  DropPlay(d);
  if (d.output) audio::ReleaseDevice(d.output);
  d.output = nullptr;
  d.open = false;
}

// The samples of frames [first, last) of the track, read again from its
// file, whose layout must still be the one the table holds.
bool ReadSamples(const Track& t, uint32_t first, uint32_t last, std::vector<uint8_t>& samples) {
  const int handle = OpenFile(t.physical, kOpenReadOnly | kOpenBinary);
  if (handle < 0) return false;
  Track now;
  bool read = ReadLayout(handle, now) && now.dataOffset == t.dataOffset && now.frames == t.frames &&
              std::memcmp(&now.format, &t.format, sizeof now.format) == 0;
  if (read) {
    samples.resize(static_cast<size_t>(last - first) * t.format.blockAlign);
    read = ReadAt(handle, t.dataOffset + static_cast<int64_t>(first) * t.format.blockAlign, samples.data(),
                  static_cast<uint32_t>(samples.size()));
  }
  CloseFile(handle);
  return read;
}

// Starts a buffer of the samples playing once, with the end notice.
uint32_t StartBuffer(Drive& d, const audio::PcmFormat& format, const std::vector<uint8_t>& samples) {
  audio::BufferDesc desc;
  desc.bytes = static_cast<uint32_t>(samples.size());
  desc.format = format;
  audio::Buffer* buffer = nullptr;
  if (audio::CreateBuffer(d.output, desc, &buffer) != audio::kOk) return kNoOutput;
  audio::Region first, second;
  if (audio::Lock(buffer, 0, desc.bytes, &first, &second) == audio::kOk) {
    std::memcpy(first.data, samples.data(), first.bytes);
    audio::Unlock(buffer, first, second);
  }
  audio::SetEndHook(buffer, TrackEnded, nullptr);
  audio::Play(buffer, false);
  d.playing = buffer;
  return kOk;
}

uint32_t Play(Drive& d, int64_t from, int64_t to) {
  const Track* track = nullptr;
  for (const Track& t : d.tracks)
    if (t.present && from >= t.startMs && from < t.startMs + t.lengthMs) track = &t;
  if (!track || to <= from) return kOutOfRange;
  DropPlay(d);
  if (!d.output && audio::CreateDevice(&d.output) != audio::kOk) return kNoOutput;
  const int64_t rate = track->format.samplesPerSec;
  const auto first = static_cast<uint32_t>((from - track->startMs) * rate / kMsPerSecond);
  const uint32_t last = to >= track->startMs + track->lengthMs
                            ? track->frames
                            : static_cast<uint32_t>((to - track->startMs) * rate / kMsPerSecond);
  std::vector<uint8_t> samples;
  if (last <= first) {
    PostNotify(kNotifySuccessful);
    return kOk;
  }
  if (!ReadSamples(*track, first, last, samples)) {
    PostNotify(kNotifyFailure);
    return kOk;
  }
  return StartBuffer(d, track->format, samples);
}

uint32_t Status(const Drive& d, int64_t number, bool length, std::string& reply) {
  if (number < kFirstTrack || number > kLastTrack || !d.tracks[number].present) return kNoTrack;
  const Track& t = d.tracks[number];
  reply = std::to_string(length ? t.lengthMs : t.startMs);
  return kOk;
}

uint32_t Run(Drive& d, const std::string& command, std::string& reply, uintptr_t window) {
  int64_t n[2] = {0, 0};
  if (command == "open cdaudio wait") {
    if (d.open) return kAlreadyOpen;
    if (!ReadDisc(d)) return kNoDisc;
    d.open = true;
    d.window = window;
    return kOk;
  }
  const bool known = command == "set cdaudio time format milliseconds" || command == "stop cdaudio" ||
                     command == "close cdaudio" || Match(command, "status cdaudio length track #", n) ||
                     Match(command, "status cdaudio position track #", n) ||
                     Match(command, "play cdaudio from # to # notify", n);
  if (!known) return kUnknownCommand;
  if (!d.open) return kNotOpen;
  if (command == "stop cdaudio") DropPlay(d);
  if (command == "close cdaudio") Close(d);
  if (command.starts_with("status cdaudio length")) return Status(d, n[0], true, reply);
  if (command.starts_with("status cdaudio position")) return Status(d, n[0], false, reply);
  if (command.starts_with("play")) return Play(d, n[0], n[1]);
  return kOk;
}

}  // namespace

uint32_t SendCommand(const std::string& command, std::string& reply, uintptr_t window) {
  Drive& d = TheDrive();
  d.sent.push_back(command);
  reply.clear();
  return Run(d, command, reply, window);
}

const std::vector<std::string>& SentCommands() { return TheDrive().sent; }

void ClearSentCommands() { TheDrive().sent.clear(); }

void Reset() {
  Drive& d = TheDrive();
  Close(d);
  d.sent.clear();
}

}  // namespace plat::cdaudio
