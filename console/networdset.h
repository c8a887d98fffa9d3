// The race and network words one by one, shared by the interpreter's
// table (console/networds.cpp) and the files that hold them.
#pragma once
#include <cstdint>

// The four words after the keyword, never null, empty when absent.
struct SB_NETWORDS {
  const char* Word[4];
};

// Words that set up and leave a network game (console/netsetupwords.cpp).
int32_t SB_CreateWord(const SB_NETWORDS& w);
int32_t SB_ServerWord(const SB_NETWORDS& w);
int32_t SB_JoinWord(const SB_NETWORDS& w);
int32_t SB_ProtocolWord(const SB_NETWORDS& w);
// The listing words, whose list stays in net/ until the next of them.
int32_t SB_ServersListWord(const SB_NETWORDS& w);
int32_t SB_MyServersListWord(const SB_NETWORDS& w);
int32_t SB_PlayersListWord(const SB_NETWORDS& w);
int32_t SB_ProtocolsListWord(const SB_NETWORDS& w);

// Racing on this machine or in the network game (console/playword.cpp).
int32_t SB_PlayWord(const SB_NETWORDS& w);
int32_t SB_WatchWord(const SB_NETWORDS& w);
