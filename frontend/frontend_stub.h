// What the front end's stand-ins were asked, for tests.
#pragma once
#include <cstdint>

// How many times the named entry point was called since the last reset.
int32_t SB_FrontendStubCalls(const char* name);
void SB_ResetFrontendStubCalls();
