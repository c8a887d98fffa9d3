// Before any test runs: enumeration asks 127.0.0.1 only and hosts take
// ephemeral discovery ports, whatever a test forgets to set, so nothing is
// ever sent beyond loopback.
#include <cstdlib>

namespace {

const bool kLoopbackOnly = [] {
  setenv("ZENTROVA_NET_HOSTS", "127.0.0.1", 1);
  setenv("ZENTROVA_NET_PORT", "0", 1);
  unsetenv("ZENTROVA_NET_FAULTS");
  return true;
}();

}  // namespace
