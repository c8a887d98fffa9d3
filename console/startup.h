// Program start-up, run and shutdown.
#pragma once
#include <cstdint>

constexpr int32_t SB_HEAPSIZE = 16000000;
constexpr int32_t SB_MEMORY_LOW = 0;
constexpr int32_t SB_MEMORY_HIGH = 68157441;
extern const char* const SB_INSTALLPATH;    // installation directory
extern const char* const SB_RUNTIMEMARKER;  // file that marks the runtime directory
extern const char* const SB_MASTERDIR;      // fallback runtime directory

int32_t SB_Main(int16_t argc, char** argv);
void SB_Init(int16_t argc, char** argv);
void SB_Run();
[[noreturn]] void SB_Shutdown();
void SB_ParseArgs(int16_t argc, char** argv);
void SB_GetMemoryClass();
void SB_SetRuntimeDirectory(const char* installPath);
int32_t SB_OnActivate(int32_t active);
int32_t SB_DebugBreak(const char* text);
