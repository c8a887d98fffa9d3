// The program's start-up registration of the calls lower floors make into
// higher ones (shell/hooks.h). SB_Main runs it first; tests run it too.
#pragma once

void SB_InstallHooks();
