// Logical drives, logical paths and files.
//
// A logical path names a drive kind (with an optional number 1 to 5) and a
// colon, then names separated by ">", as "HDISK:>CONSOLE.TXT"; without a
// drive it is relative to the current directory, as "dat>nrcar.cfg". Every
// open upper-cases the name and resolves it to a physical path on a drive
// letter ("C:/GAME/DAT/NRCAR.CFG"). Resolution writes into the caller's
// buffer and fails, rather than write past it, when the path outgrows it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "system/heap.h"
#include "system/lsvar.h"

// Open modes: the C runtime's open flags.
constexpr int32_t LS_O_RDONLY = 0;
constexpr int32_t LS_O_WRONLY = 1;
constexpr int32_t LS_O_RDWR = 2;
constexpr int32_t LS_O_APPEND = 0x0008;
constexpr int32_t LS_O_CREAT = 0x100;
constexpr int32_t LS_O_TRUNC = 0x200;
constexpr int32_t LS_O_TEXT = 0x4000;
constexpr int32_t LS_O_BINARY = 0x8000;

// Largest piece of one read or write call.
constexpr int32_t LS_IO_PIECE = 32000;

int32_t LS_FileExists(const char* name);
int16_t LS_Open(const char* name, int32_t mode);
int32_t LS_Close(int16_t handle);
int32_t LS_Read(int16_t handle, void* buffer, int32_t count);
int32_t LS_Write(int16_t handle, const void* buffer, int32_t count);
int32_t LS_Seek(int16_t handle, int32_t offset, int32_t whence);
int32_t LS_GetFileSize(const char* name);
void* LS_LoadFile(const char* name, HHEAP heap);

int32_t LS_SetCurrentDir(const char* path);
// Rewrite the path in place; the length, or -1 when it would not fit.
int32_t LS_GetLogicalPath(char* path, size_t capacity);
int32_t LSI_GetPhysicalPath(char* path, size_t capacity);
// Splits off the drive part; 0 when the path has no colon. rest points
// into path, after the colon.
int32_t LSI_ParseDrive(const char* path, uint32_t* kind, uint32_t* number, const char** rest);
void LSI_NormalizePath(char* path);
// Appends the extension (given with its dot) to a name without any ".";
// 0 when it would not fit.
int32_t LS_AddExtension(char* name, size_t capacity, const char* extension);
void LS_StrUpper(char* text);

void LSI_InitDirectory();
void LSYS_ScanDrives();
int32_t LSYS_GetSystemDir(char* buffer, size_t capacity);
int32_t LSYS_GetProgramName(char* buffer, size_t capacity);

// Array forms that know their buffer's size.
template <size_t N>
int32_t LS_GetLogicalPath(char (&path)[N]) { return LS_GetLogicalPath(path, N); }
template <size_t N>
int32_t LSI_GetPhysicalPath(char (&path)[N]) { return LSI_GetPhysicalPath(path, N); }
template <size_t N>
int32_t LS_AddExtension(char (&name)[N], const char* extension) { return LS_AddExtension(name, N, extension); }
