// The game's files: handles that are the library's handle plus 1, so that
// 0 means no file and every operation accepts it and does nothing; a read
// that pumps the events between large pieces; whole-file loads.
#pragma once
#include <cstdint>

// Open modes, the C runtime's open flags.
constexpr int32_t SB_OPEN_CREATE = 33538;  // binary, create, truncate, read-write
constexpr int32_t SB_OPEN_READ = 32768;    // binary, read
constexpr int32_t SB_OPEN_APPEND = 10;     // read-write, append

// While one lives, the library's errors are kept as failures the caller
// sees rather than ending the program: around the file calls of a console
// word on a name the user typed, which then says itself what went wrong.
class SB_KeepFileErrors {
 public:
  SB_KeepFileErrors();
  ~SB_KeepFileErrors();
  SB_KeepFileErrors(const SB_KeepFileErrors&) = delete;
  SB_KeepFileErrors& operator=(const SB_KeepFileErrors&) = delete;

 private:
  uint32_t mode_;
};

// The largest piece read between two event pumps.
constexpr int32_t SB_READCHUNKSIZE = 262144;

// 0 when the file is missing (unless the mode creates it) or cannot be opened.
int32_t SB_OpenFile(const char* name, int32_t mode);
void SB_CloseFile(int32_t handle);
// The bytes written.
int32_t SB_WriteFile(int32_t handle, const void* buffer, int32_t count);
// Reads at most what remains of the file; the bytes read.
int32_t SB_ReadFile(int32_t handle, void* buffer, int32_t count);

// The whole file in a block of the default heap, outside the owner table
// (free it with SB_Release); null when the file is missing or empty.
void* SB_LoadFile(const char* name);
// The whole file in a block of the default heap, outside the owner table
// (free it with SB_Release), and its size; an empty file gives null and 0.
// SB_FILEMISSING or SB_FILEUNREADABLE (nothing loaded) on failure.
constexpr int32_t SB_FILEMISSING = -1;
constexpr int32_t SB_FILEUNREADABLE = -2;
int32_t SB_LoadWholeFile(const char* name, void** data);
// The whole file and a zero byte, in a block registered as "Load File With
// Zero"; null when the file is missing or the block cannot be had.
char* SB_LoadFileWithZero(const char* name);
