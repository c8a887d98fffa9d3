// Two headless programs race each other over a lossy link: 10% of the
// player messages each receives are lost, 5% doubled and 5% reordered; a
// third joins their game of two and is refused. They
// run in two network namespaces joined by a veth pair, where the joiner
// finds the host by broadcast; where namespaces cannot be made here, on
// 127.0.0.1 with its host list.
#include <unistd.h>

#include "tests/netrace/checks.h"

namespace {

using namespace ztest::netrace;

// Runs a command quietly: true when it succeeded.
bool Quiet(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Two namespaces and their veth pair, deleted at the end.
class Namespaces {
 public:
  Namespaces() : a_("zrA" + std::to_string(getpid())), b_("zrB" + std::to_string(getpid())) {}
  ~Namespaces() {
    for (const std::string& ns : made_) Quiet(kIp + " netns del " + ns);
  }
  // Why they cannot be made here, or empty once made.
  std::string Make() {
    if (geteuid() != 0) return "network namespaces need root";
    if (access(kIp.c_str(), X_OK) != 0) return kIp + " is not installed";
    for (const std::string& ns : {a_, b_}) {
      if (!Quiet(kIp + " netns add " + ns)) return "`ip netns add` is not permitted here";
      made_.push_back(ns);
    }
    for (const std::string& step :
         {" -n " + a_ + " link add va type veth peer name vb netns " + b_,
          " -n " + a_ + " addr add 10.253.8.1/24 brd + dev va", " -n " + b_ + " addr add 10.253.8.2/24 brd + dev vb",
          " -n " + a_ + " link set lo up", " -n " + b_ + " link set lo up", " -n " + a_ + " link set va up",
          " -n " + b_ + " link set vb up"})
      if (!Quiet(kIp + step)) return "the veth pair between the namespaces cannot be set up";
    return "";
  }
  std::string In(const std::string& ns) const { return kIp + " netns exec " + ns + " "; }
  const std::string& a() const { return a_; }
  const std::string& b() const { return b_; }

 private:
  const std::string kIp = "/usr/sbin/ip";
  std::string a_, b_;
  std::vector<std::string> made_;
};

class NetRacePair : public ztest::Environment {};

TEST_F(NetRacePair, HeadlessOverALossyLink) {
  PairOptions options;
  options.faults = "10,5,5";
  options.third = true;
  Namespaces ns;
  const std::string why = ns.Make();
  if (why.empty()) {
    options.hostList = false;
    options.prefixA = ns.In(ns.a());
    options.prefixB = ns.In(ns.b());
  } else {
    std::cout << "[ NOTE     ] " << why << ": the pair races on 127.0.0.1 instead\n";
  }
  Pair pair(temp_, options);
  pair.Prepare();
  ASSERT_TRUE(pair.Run());
  ExpectRaced(pair);
  // A third copy joining the game of two: told at once that the race is
  // full, never that it may join; the host says so.
  const std::string c = pair.c().Console();
  EXPECT_NE(c.find("Game " + pair.session() + " is full: no free car place"), std::string::npos) << c;
  EXPECT_EQ(c.find("You can join"), std::string::npos);
  EXPECT_EQ(c.find("not received"), std::string::npos);
  EXPECT_EQ(MissingInOrder(pair.a().Console(), {"[CTRL][NO FREE CAR PLACE FOR CLARA ID:"}), "");
}

}  // namespace
