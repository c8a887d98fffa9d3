// File handles of the game, kept file errors, the chunked read and
// whole-file loads.
#include "shell/gamefile.h"

#include <cstring>

#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

namespace {
constexpr int32_t kSeekSet = 0, kSeekCur = 1, kSeekEnd = 2;

int16_t LibraryHandle(int32_t handle) { return static_cast<int16_t>(handle - 1); }
}  // namespace

SB_KeepFileErrors::SB_KeepFileErrors() : mode_(LSI_Var.ErrorMode) { LS_SetErrorMode(LS_ERRMODE_KEEP); }
SB_KeepFileErrors::~SB_KeepFileErrors() { LSI_Var.ErrorMode = mode_; }

int32_t SB_OpenFile(const char* name, int32_t mode) {
  if (!name) return 0;
  if (mode != SB_OPEN_CREATE && !LS_FileExists(name)) return 0;
  const int16_t handle = LS_Open(name, mode);
  return handle < 0 ? 0 : handle + 1;
}

void SB_CloseFile(int32_t handle) {
  if (handle) LS_Close(LibraryHandle(handle));
}

int32_t SB_WriteFile(int32_t handle, const void* buffer, int32_t count) {
  if (!handle || !buffer || count < 1) return 0;
  return LS_Write(LibraryHandle(handle), buffer, count);
}

int32_t SB_ReadFile(int32_t handle, void* buffer, int32_t count) {
  if (!handle || !buffer || count < 1) return 0;
  const int16_t file = LibraryHandle(handle);
  const int32_t position = LS_Seek(file, 0, kSeekCur);
  const int32_t end = LS_Seek(file, 0, kSeekEnd);
  if (position < 0 || end < 0) return 0;
  LS_Seek(file, position, kSeekSet);
  const int32_t wanted = count < end - position ? count : end - position;
  const int32_t chunk = SB_Var.ReadChunkSize > 0 ? SB_Var.ReadChunkSize : SB_READCHUNKSIZE;
  // Long loads keep the network served between pieces.
  char* at = static_cast<char*>(buffer);
  int32_t done = 0;
  while (done < wanted) {
    const int32_t piece = wanted - done < chunk ? wanted - done : chunk;
    const int32_t got = LS_Read(file, at + done, piece);
    if (got > 0) done += got;
    if (SB_Hooks.NetUpdateEvent) SB_Hooks.NetUpdateEvent();
    SB_ChunkHook();
    if (got != piece) break;
  }
  return done;
}

void* SB_LoadFile(const char* name) {
  if (!name || !LS_FileExists(name)) return nullptr;
  return LS_LoadFile(name, LS_DefaultHeap);
}

int32_t SB_LoadWholeFile(const char* name, void** data) {
  *data = nullptr;
  if (!name || !LS_FileExists(name)) return SB_FILEMISSING;
  const int32_t size = LS_GetFileSize(name);
  if (size == 0) return 0;
  if (size < 0 || size == INT32_MAX || !(*data = SB_LoadFile(name))) return SB_FILEUNREADABLE;
  return size;
}

char* SB_LoadFileWithZero(const char* name) {
  void* text = nullptr;
  const int32_t size = SB_LoadWholeFile(name, &text);
  if (size < 0) return nullptr;
  char* block = static_cast<char*>(SB_GetMem(size + 1, "Load File With Zero"));
  if (block && size > 0) std::memcpy(block, text, static_cast<size_t>(size));
  if (text) LS_Release(text);
  return block;  // zero-filled, so the last byte is the terminator
}
