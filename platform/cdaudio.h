// CD audio stand-in, driven by command strings. The disc's audio tracks
// are the files "TRACKnn.WAV" (PCM WAVE, nn from 01 to 99) in the folder
// "CDAUDIO" of the first CD drive; a file that is not a usable WAVE is no
// track. Times are milliseconds: a track's length is its duration, its
// position the sum of the lengths of the tracks before it. Tracks play
// once through the sound output stand-in; at the end the window message
// kMsgCdNotify is posted with the code kNotifySuccessful, or
// kNotifyFailure when the track could not be read. A stop or a new play
// drops the pending notification. Commands come from the main thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat::cdaudio {

// Result codes of SendCommand.
enum Result : uint32_t {
  kOk = 0,
  kUnknownCommand,  // not one of the commands below
  kNotOpen,         // the device is not open
  kAlreadyOpen,
  kNoDisc,      // no CD drive, no "CDAUDIO" folder or no track in it
  kNoTrack,     // the disc has no such track
  kOutOfRange,  // a play range that starts in no track
  kNoOutput,    // no sound output to play through
};

// Notification codes (the message's wParam); lParam is kDeviceId.
constexpr uintptr_t kNotifySuccessful = 1;
constexpr uintptr_t kNotifyFailure = 8;
constexpr intptr_t kDeviceId = 1;

// Runs one command; reply gets its answer (decimal milliseconds for the
// status queries, else empty). The commands:
//   "open cdaudio wait"                       (window: where notices go)
//   "set cdaudio time format milliseconds"
//   "status cdaudio length track N"
//   "status cdaudio position track N"
//   "play cdaudio from A to B notify"         (the track that holds A, up to B)
//   "stop cdaudio"
//   "close cdaudio"
uint32_t SendCommand(const std::string& command, std::string& reply, uintptr_t window);

// Every command sent, in order, for tests.
const std::vector<std::string>& SentCommands();
void ClearSentCommands();
// Closes the device and forgets the commands.
void Reset();

}  // namespace plat::cdaudio
