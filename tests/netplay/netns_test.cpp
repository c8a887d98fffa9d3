// A local network of two network namespaces joined by a veth pair, made by
// the test with iproute2 where the machine allows it: the joiner finds the
// host by broadcast, messages pass both ways, and with the joiner's link
// down its player is destroyed within 40 s. Nothing leaves the namespaces.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/netplay/child.h"

namespace {

// Runs a command, its output discarded; its exit code.
int RunCommand(const std::vector<std::string>& argv) {
  ztest::Child c;
  if (!c.Start(argv, {})) return -1;
  return c.Wait(10000);
}

// Two namespaces and their veth pair, deleted at the end.
class Namespaces {
 public:
  explicit Namespaces(const std::string& tag) : a_("znA" + tag), b_("znB" + tag) {}
  ~Namespaces() {
    for (const std::string& ns : made_) RunCommand({ip_, "netns", "del", ns});
  }
  // The reason it cannot be made here, or empty once made.
  std::string Make() {
    if (access(ip_.c_str(), X_OK) != 0) return "iproute2 (" + ip_ + ") is not installed";
    for (const std::string& ns : {a_, b_}) {
      if (RunCommand({ip_, "netns", "add", ns}) != 0) return "`ip netns add` is not permitted here (needs CAP_SYS_ADMIN)";
      made_.push_back(ns);
    }
    const std::vector<std::vector<std::string>> steps = {
        {ip_, "-n", a_, "link", "add", "va", "type", "veth", "peer", "name", "vb", "netns", b_},
        {ip_, "-n", a_, "addr", "add", "10.253.7.1/24", "brd", "+", "dev", "va"},
        {ip_, "-n", b_, "addr", "add", "10.253.7.2/24", "brd", "+", "dev", "vb"},
        {ip_, "-n", a_, "link", "set", "lo", "up"},
        {ip_, "-n", b_, "link", "set", "lo", "up"},
        {ip_, "-n", a_, "link", "set", "va", "up"},
        {ip_, "-n", b_, "link", "set", "vb", "up"},
    };
    for (const auto& s : steps)
      if (RunCommand(s) != 0) return "cannot set up the veth pair between the namespaces";
    return "";
  }
  std::vector<std::string> In(const std::string& ns, std::vector<std::string> argv) const {
    argv.insert(argv.begin(), {ip_, "netns", "exec", ns});
    return argv;
  }
  const std::string& a() const { return a_; }
  const std::string& b() const { return b_; }
  const std::string ip_ = "/usr/sbin/ip";

 private:
  std::string a_, b_;
  std::vector<std::string> made_;
};

TEST(NetplayNamespaces, BroadcastJoinMessagesAndALinkDown) {
  if (geteuid() != 0) GTEST_SKIP() << "network namespaces need root here";
  Namespaces ns(std::to_string(getpid()));
  const std::string why = ns.Make();
  if (!why.empty()) GTEST_SKIP() << why;

  // No host list: the joiner broadcasts on its namespace's link.
  ztest::Child host, joiner;
  ASSERT_TRUE(host.Start(ns.In(ns.a(), {ZENTROVA_NETPEER, "host", "Lan", "Alice", "90"}), {}));
  ASSERT_TRUE(host.WaitLine("HOSTING", 10000)) << host.Output();
  ASSERT_TRUE(joiner.Start(ns.In(ns.b(), {ZENTROVA_NETPEER, "join", "Bob", "90"}), {}));
  std::string joined;
  ASSERT_TRUE(joiner.WaitLine("JOINED ", 10000, &joined)) << joiner.Output();
  EXPECT_NE(joiner.Output().find("FOUND Lan"), std::string::npos);
  const std::string bob = joined.substr(7);
  ASSERT_TRUE(host.WaitLine("ARRIVED " + bob + " Bob", 5000)) << host.Output();
  ASSERT_TRUE(host.WaitLine("MESSAGE " + bob, 5000)) << host.Output();  // the joiner's ping
  ASSERT_TRUE(joiner.WaitLine("PONG", 5000)) << joiner.Output();        // and the host's answer

  ASSERT_EQ(RunCommand({ns.ip_, "-n", ns.b(), "link", "set", "vb", "down"}), 0);
  EXPECT_TRUE(host.WaitLine("LEFT " + bob, 40000)) << host.Output();
}

}  // namespace
