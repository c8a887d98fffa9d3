// The local-network play service's configuration: the discovery ports, the
// host list and the program-wide faults, from the environment unless a
// test sets them.
#include <arpa/inet.h>
#include <netdb.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "platform/netplay/state.h"

namespace plat::netplay {

namespace {

std::optional<uint16_t> g_base;
std::optional<std::string> g_hosts;
uint32_t g_linksPerAddress = 0;

// An IPv4 address in dotted form or a name resolved to one; 0 when none.
uint32_t Resolve(const std::string& name) {
  in_addr a{};
  if (inet_pton(AF_INET, name.c_str(), &a) == 1) return a.s_addr;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return 0;
  const uint32_t ip = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return ip;
}

}  // namespace

void SetDiscoveryBase(uint16_t base) { g_base = base; }
void SetHosts(const std::string& hosts) { g_hosts = hosts; }
void SetLinksPerAddress(uint32_t links) { g_linksPerAddress = links; }

void ResetConfig() {
  g_base.reset();
  g_hosts.reset();
  g_linksPerAddress = 0;
}

namespace detail {

uint32_t LinksPerAddress() { return g_linksPerAddress ? g_linksPerAddress : kMaxLinksPerAddress; }

uint16_t DiscoveryBase() {
  if (g_base) return *g_base;
  const char* text = std::getenv("ZENTROVA_NET_PORT");
  if (!text || !*text) return kDefaultDiscoveryBase;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (*end || v < 0 || v > 65535 - static_cast<long>(kDiscoveryPorts)) return kDefaultDiscoveryBase;
  return static_cast<uint16_t>(v);
}

std::vector<Address> ConfiguredHosts() {
  std::string text;
  if (g_hosts) {
    text = *g_hosts;
  } else if (const char* env = std::getenv("ZENTROVA_NET_HOSTS")) {
    text = env;
  }
  for (char& c : text)
    if (c == ',') c = ' ';
  std::vector<Address> out;
  std::istringstream words(text);
  std::string entry;
  while (words >> entry) {
    const size_t colon = entry.find(':');
    long port = 0;
    if (colon != std::string::npos) {
      char* end = nullptr;
      port = std::strtol(entry.c_str() + colon + 1, &end, 10);
      if (*end || port <= 0 || port > 65535) continue;
    }
    const uint32_t ip = Resolve(entry.substr(0, colon));
    if (ip != 0) out.push_back({ip, static_cast<uint16_t>(port)});
  }
  return out;
}

Faults EnvironmentFaults() {
  Faults f;
  const char* text = std::getenv("ZENTROVA_NET_FAULTS");
  if (!text) return f;
  unsigned loss = 0, dup = 0, reorder = 0, seed = 1;
  const int got = std::sscanf(text, "%u,%u,%u,%u", &loss, &dup, &reorder, &seed);
  if (got < 3 || loss > 100 || dup > 100 || reorder > 100) {
    std::fprintf(stderr, "ZENTROVA_NET_FAULTS \"%s\" ignored: \"loss,dup,reorder[,seed]\" in percent\n", text);
    return f;
  }
  f.lossPercent = loss;
  f.duplicatePercent = dup;
  f.reorderPercent = reorder;
  f.seed = seed;
  return f;
}

}  // namespace detail
}  // namespace plat::netplay
