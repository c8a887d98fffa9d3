// CD audio through the device's command strings.
#include "system/cdaudio.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/cdaudio.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

namespace {

constexpr size_t kReplySize = 255;
constexpr size_t kCommandSize = 80;

// The window that receives the device's end-of-play message: the main
// window (all windows share the program's one message queue).
uintptr_t MainWindow() { return reinterpret_cast<uintptr_t>(LSYS_MainWindow); }

// Sends a command; 0 on success. The reply is cut to the reply buffer's
// size, and is empty after a failure.
uint32_t Send(const char* command, char (&reply)[kReplySize]) {
  std::string answer;
  const uint32_t result = plat::cdaudio::SendCommand(command, answer, MainWindow());
  std::snprintf(reply, sizeof reply, "%s", result == 0 ? answer.c_str() : "");
  return result;
}

// The track's length and start in milliseconds; false when either query
// fails. Unless both are wanted, a failed length query is the last.
bool QueryTrack(int32_t track, long* length, long* start, bool both) {
  char command[kCommandSize], reply[kReplySize];
  std::snprintf(command, sizeof command, "status cdaudio length track %d", track);
  const bool gotLength = Send(command, reply) == 0;
  *length = std::strtol(reply, nullptr, 10);
  if (!gotLength && !both) return false;
  std::snprintf(command, sizeof command, "status cdaudio position track %d", track);
  const bool gotStart = Send(command, reply) == 0;
  *start = std::strtol(reply, nullptr, 10);
  return gotLength && gotStart;
}

uint32_t PlayRange(long start, long length) {
  char command[kCommandSize], reply[kReplySize];
  std::snprintf(command, sizeof command, "play cdaudio from %ld to %ld notify", start, start + length);
  return Send(command, reply);
}

}  // namespace

int32_t LSI_InitCD() {
  char reply[kReplySize];
  if (Send("open cdaudio wait", reply) != 0) {
    LSI_Var.CDOn = 0;
    return 0;
  }
  Send("set cdaudio time format milliseconds", reply);
  LSI_Var.CDOn = 1;
  return 1;
}

int32_t LSI_CloseCD() {
  if (!LSI_Var.CDOn) return 0;
  LS_StopCD();
  char reply[kReplySize];
  Send("close cdaudio", reply);
  LSI_Var.CDOn = 0;
  return 1;
}

int32_t LS_PlayCDTrack(int32_t track, int32_t count) {
  if (!LSI_Var.CDOn) return 0;
  long length = 0, start = 0;
  if (!QueryTrack(track, &length, &start, false) || PlayRange(start, length) != 0) return 0;
  LSI_Var.CDTrack = track;
  LSI_Var.CDPlaying = 1;
  LSI_Var.CDReplays = count - 1;
  return 1;
}

int32_t LS_StopCD() {
  if (!LSI_Var.CDOn) return 0;
  if (LSI_Var.CDPlaying) {
    char reply[kReplySize];
    Send("stop cdaudio", reply);
  }
  LSI_Var.CDPlaying = 0;
  return 1;
}

// A success that arrives after a stop was posted before it: the track is
// not started again.
int32_t LSI_CDNotify(uint32_t code) {
  if (!LSI_Var.CDOn) return 0;
  if (code == LS_CD_NOTIFY_FAILURE) {
    LS_StopCD();
  } else if (code == LS_CD_NOTIFY_SUCCESSFUL && LSI_Var.CDReplays != 0 && LSI_Var.CDPlaying) {
    long length = 0, start = 0;
    QueryTrack(LSI_Var.CDTrack, &length, &start, true);
    if (PlayRange(start, length) != 0) return 0;
    if (LSI_Var.CDReplays > 0) --LSI_Var.CDReplays;  // below 0 stays below 0
  }
  return 1;
}
