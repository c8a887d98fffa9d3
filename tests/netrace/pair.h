// Two copies of the built program racing each other: each on its own copy
// of the data tree and its own configuration folder, driven by a console
// script and an input script of keys. Host A creates the game and stands
// on the grid; joiner B, started once A's log shows the game created,
// joins in a paint of its own, drives, then brakes so that its time runs
// out. (A answers a search for games only between its loads, so B starts
// once A has loaded its race.) The race ends by itself: each tree's
// circuit gives a time limit and no time extension, and the race runs
// against the clock.
#pragma once
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/drivekeys.h"
#include "tests/support/testenv.h"

extern char** environ;

namespace ztest::netrace {

namespace fs = std::filesystem;

// A shell command in a process group of its own, killed with the group
// unless it ended by itself.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Kill(); }

  bool Start(const std::string& command) {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    const int failed = posix_spawn(&pid_, "/bin/sh", nullptr, &attr, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attr);
    if (failed) pid_ = -1;
    return !failed;
  }
  // True once ended, with its exit code (-1 after a signal).
  bool Ended(int* code) {
    if (pid_ <= 0) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    pid_ = -1;
    *code = exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
  }
  void Kill() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  int exit_ = -1;

 private:
  pid_t pid_ = -1;
};

// Each text begins a line of the log, each after the one before; the
// first one missing, or empty.
inline std::string MissingInOrder(const std::string& log, const std::vector<std::string>& texts) {
  std::istringstream in(log);
  size_t next = 0;
  for (std::string line; next < texts.size() && std::getline(in, line);)
    if (line.rfind(texts[next], 0) == 0) ++next;
  return next < texts.size() ? texts[next] : "";
}

// A UDP port the system is not using now, with the seven after it below
// 65536: the base of a run's discovery ports, so that runs can overlap.
inline uint16_t FreeBasePort() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    const bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0;
    close(s);
    if (ok && ntohs(a.sin_port) < 65528) return ntohs(a.sin_port);
  }
  return 0;
}

// Console scripts, lines ending in CR LF as the data tree's.
inline std::string Script(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Race lengths and key times, in milliseconds. Each tree's circuit gives
// its program a time limit and no time extension, so the race ends by
// itself. At its race's end a program waits for the other's race to end,
// its end menu shown meanwhile; both press F1 throughout, so each leaves
// its race as soon as that race is over. The joiner's race ends well
// before the host's (the host leaving its race ends the game): it leaves
// its race and the game while the host is still racing; the host's race
// then ends, and it leaves it, closes the game and quits.
struct Timing {
  int hostSeconds = 32, joinerSeconds = 5;  // STARTINGTIME of each tree
  // The driver drives until then (the race asks for its confirmations
  // some 10 s in and starts some 18-27 s in), then brakes and shifts down
  // to neutral, so that it stops once its time has run out.
  int brakeMs = 28000;
  int endMs = 150000;      // the keys' end, after any race's
  // The host's last screenshot: it takes one a tick, for the joiner's car
  // shows near the host's only in its first second or so of driving; the
  // driver takes one every other second from the grid on.
  int lastShotMs = 45000, driverShotsFromMs = 8000;
};

// Input scripts, timed by the clock from the program's start (passes of
// the pump come at a frame's pace, and on a display also while it loads).
// Each 500 ms tick presses its keys at once and releases them two passes
// later: a wait counts from the line before, so the driver's few waits
// keep its times from drifting late. Each tick taps the accelerator
// (Shift), which confirms whenever the race asks, and F1, which leaves the
// end menu once it shows. The host never shifts up, so it stands on the
// grid; half a tick after each tap it takes a screenshot (Alt+S: with Alt
// held, Shift would confirm nothing). The driver holds the accelerator
// between its taps and shifts up (A) every third tick, which starts it
// once its engine runs; from its braking time it holds the brake (Down)
// instead and shifts down (Z) at each tick.
inline std::string Keys(bool drives, const Timing& timing) {
  std::ostringstream k;
  for (int ms = 500, t = 1; ms <= timing.endMs; ms += 500, ++t) {
    const bool braking = drives && ms >= timing.brakeMs, driving = drives && !braking;
    std::string press = drives ? "500ms" : "250ms", release = "2";
    const auto both = [&](int key) {
      press += " " + std::to_string(key) + " down\n0";
      release += " " + std::to_string(key) + " up\n0";
    };
    if (braking) {
      press += " 16 up\n0 40 down\n0";  // the accelerator let go for good
      both(90);
    } else if (driving) {
      press += " 16 up\n0";  // a tap of the held accelerator: up, then down again
      release += " 16 down\n0";
      if (t % 3 == 1) both(65);
    } else {
      both(16);
    }
    both(112);
    if (drives && ms >= timing.driverShotsFromMs && t % 4 == 0) {
      both(18);
      both(83);
    }
    // Each string ends in a "0" that waits for nothing: drop it.
    k << press.substr(0, press.size() - 1) << release.substr(0, release.size() - 1);
    if (!drives) k << (ms <= timing.lastShotMs ? "250ms 18 down\n0 83 down\n2 83 up\n0 18 up\n" : "250ms 18 up\n");
  }
  return k.str();
}

// One program of the pair: its folder holds its tree, configuration,
// scripts and standard error.
struct Side {
  std::string dir;
  std::string Tree() const { return dir + "/tree"; }
  std::string Console() const { return ReadFile(Tree() + "/CONSOLE.TXT"); }
  std::string Errors() const { return ReadFile(dir + "/stderr.txt"); }
  // The screenshots in the order taken.
  std::vector<std::string> Shots() const {
    std::vector<std::string> shots;
    for (int n = 1; fs::exists(Tree() + "/SCREEN" + std::to_string(n) + ".TGA"); ++n)
      shots.push_back(ReadFile(Tree() + "/SCREEN" + std::to_string(n) + ".TGA"));
    return shots;
  }
};

// The tree's circuit raced against a clock of `seconds`, its time
// extensions giving nothing, so that the race ends by itself.
inline void RaceAgainstTheClock(const std::string& tree, int seconds) {
  const std::string circuit = tree + "/txt/netrace.txt";
  std::istringstream in(ztest::ReadFile(circuit));
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("STARTINGTIME:", 0) == 0) line = "STARTINGTIME: " + std::to_string(seconds);
    if (line.rfind("TIMEXTEND:", 0) == 0) line = line.substr(0, line.find(',')) + ",0";
    out += line + "\n";
  }
  ztest::WriteFile(circuit, out);
}

// A side's tree, its configuration and its keys; the program started on
// the discovery ports from base. The start-up script runs its lines
// after the cars in use (the menus' races run their race clock). Its
// race runs against the clock of `seconds` without extensions; or, when
// `shipped`, the start-up is the shipped one and the race is of one lap
// (NLAPS set apart to 3) with the shipped time limit, or a starting time
// of `seconds` when not 0; the race file's keys then take the values
// given in `raceKeys`.
inline bool StartSide(Process& p, const Side& side, const std::string& keys, uint16_t base, int seconds,
                      const std::string& lines = "INTERFACE\r\n", bool shipped = false,
                      const std::map<std::string, std::string>& raceKeys = {}) {
  fs::create_directories(side.dir + "/config");
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", side.Tree(), fs::copy_options::recursive);
  ztest::WriteFile(side.Tree() + "/dat/UI.TXT",
                   std::string(shipped ? "OUTPUT 1\r\nRUN STARTUP.TXT\r\n" : "OUTPUT 1\r\nUSINGCARS 1\r\n") + lines);
  ztest::WriteFile(side.dir + "/keys.txt", keys);
  // The joiner's race ends well before the host's, as in the console
  // pair (the host leaving its race ends the game).
  if (shipped) {
    std::map<std::string, std::string> keys = {{"RACENLAPS", "1"}, {"CONTROLLEDRACENLAPS", "1"}, {"NLAPS", "3"}};
    if (seconds) keys["STARTINGTIME"] = std::to_string(seconds);
    for (const auto& [key, value] : raceKeys) keys[key] = value;
    ztest::SetRaceKeys(side.Tree(), keys);
  } else {
    RaceAgainstTheClock(side.Tree(), seconds);
  }
  return p.Start("exec env -u ZENTROVA_NET_FAULTS ZENTROVA_HEADLESS=1 ZENTROVA_NET_HOSTS=127.0.0.1 ZENTROVA_NET_PORT=" +
                 std::to_string(base) + " LSAN_OPTIONS=\"${LSAN_OPTIONS}:print_suppressions=0\" ZENTROVA_DRIVES='C=fixed:" +
                 side.Tree() + "' ZENTROVA_CONFIG_DIR='" + side.dir + "/config' ZENTROVA_INPUT_SCRIPT='" + side.dir +
                 "/keys.txt' '" ZENTROVA_EXE "' -S:ui.txt >/dev/null 2>'" + side.dir + "/stderr.txt'");
}
// Waits for the lines in a side's log; false at the deadline or its end.
inline bool WaitFor(Process& p, const Side& side, const std::vector<std::string>& lines,
                    std::chrono::steady_clock::time_point end) {
  int code = 0;
  while (MissingInOrder(side.Console(), lines) != "") {
    if (p.Ended(&code) || std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

struct PairOptions {
  bool headless = true;
  bool hostList = true;  // ZENTROVA_NET_HOSTS=127.0.0.1, else found by broadcast
  std::string faults;    // ZENTROVA_NET_FAULTS
  std::string prefixA, prefixB;  // put before each program's command (a network namespace)
  Timing timing;
  int seconds = 240;  // for the whole run
  // A third copy, C, that joins as CLARA once B is in: the race has two
  // car places, so it is refused and then ended.
  bool third = false;
};

class Pair {
 public:
  Pair(const std::string& root, const PairOptions& options) : options_(options) {
    a_.dir = root + "/a";
    b_.dir = root + "/b";
    c_.dir = root + "/c";
    session_ = "S" + std::to_string(getpid() % 100000);
  }
  const Side& a() const { return a_; }
  const Side& b() const { return b_; }
  const Side& c() const { return c_; }
  const std::string& session() const { return session_; }

  // Both trees, configurations and scripts.
  void Prepare() {
    const std::vector<std::string> video = {"OUTPUT 1", "USINGCARS 1", "TIME OFF", "VIDEOMODE 16", "MODE PVR"};
    std::vector<std::string> host = video;
    host.insert(host.end(), {"PROTOCOLSLIST", "PROTOCOL 0", "STARTNET", "CREATE " + session_ + " ALBA RACE 2", "PLAY",
                             "FAME 61000 185000 ALBA", "HALLOFFAME", "INFOS", "DELAY 3000", "CLOSENET", "QUIT"});
    // Setup 2 of the car definitions: a paint that the host's setups,
    // never loaded from them, do not have.
    std::vector<std::string> joiner = {"LOADTEXTCARS DAT>CARDEFS.TXT", "CARNUM 2"};
    joiner.insert(joiner.begin(), video.begin(), video.end());
    joiner.insert(joiner.end(), {"PROTOCOL 0", "STARTNET", "SERVERSLIST", "JOIN BRUNO " + session_, "PLAY",
                                 "PLAYERSLIST", "LEAVE", "CLOSENET", "QUIT"});
    MakeSide(a_, "A.TXT", Script(host), Keys(false, options_.timing), options_.timing.hostSeconds);
    MakeSide(b_, "B.TXT", Script(joiner), Keys(true, options_.timing), options_.timing.joinerSeconds);
    if (options_.third)
      MakeSide(c_, "C.TXT",
               Script({"OUTPUT 1", "PROTOCOL 0", "STARTNET", "SERVERSLIST", "JOIN CLARA " + session_, "QUIT"}), "",
               options_.timing.joinerSeconds);
  }

  // Runs A, then B once A's game exists; true when both ended with 0 in
  // time. Otherwise both are killed and their logs printed.
  bool Run() {
    const uint16_t base = FreeBasePort();
    if (!base) return Fail("no free port");
    Process a, b;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(options_.seconds);
    if (!a.Start(Command(a_, "a.txt", options_.prefixA, base))) return Fail("A did not start");
    int code = 0;
    // The host answers a search for games only between its loads: B
    // starts once A has made the game and loaded its race.
    while (MissingInOrder(a_.Console(), {"Server '" + session_ + "'successfully created",
                                         "[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."}) != "") {
      if (a.Ended(&code) || std::chrono::steady_clock::now() > end) return Fail("A created no game");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!b.Start(Command(b_, "b.txt", options_.prefixB, base))) return Fail("B did not start");
    Process c;
    bool startedC = false;
    int codeA = -1, codeB = -1, codeC = -1;
    bool endedA = false, endedB = false;
    // A script stopped by a failed word leaves its program idle: no need
    // to wait for the time limit.
    const auto stopped = [](const Side& side) { return side.Console().find("Syntax error") != std::string::npos; };
    while (!(endedA && endedB) && std::chrono::steady_clock::now() < end && !stopped(a_) && !stopped(b_)) {
      endedA = endedA || a.Ended(&codeA);
      endedB = endedB || b.Ended(&codeB);
      // C once B is logged in; ended once it has its answer.
      if (options_.third && !startedC && b_.Console().find("Player BRUNO logged with ID[") != std::string::npos)
        startedC = c.Start(Command(c_, "c.txt", options_.prefixB, base));
      if (startedC && !c.Ended(&codeC) && c_.Console().find(" is full: no free car place") != std::string::npos)
        c.Kill();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (codeA == 0 && codeB == 0) return true;
    a.Kill();
    b.Kill();
    return Fail("exit codes " + std::to_string(codeA) + " and " + std::to_string(codeB) +
                (endedA && endedB ? "" : " (killed at the time limit)"));
  }

 private:
  void MakeSide(const Side& side, const std::string& script, const std::string& text, const std::string& keys,
                int seconds) {
    fs::create_directories(side.dir + "/config");
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", side.Tree(), fs::copy_options::recursive);
    WriteFile(side.Tree() + "/dat/" + script, text);
    WriteFile(side.dir + "/keys.txt", keys);
    WriteFile(side.dir + "/config/win.ini", "[ZIDADE]\nMaster=FALSE\n");  // screenshots allowed
    RaceAgainstTheClock(side.Tree(), seconds);
  }

  std::string Command(const Side& side, const std::string& script, const std::string& prefix, uint16_t base) const {
    std::string env = "env -u ZENTROVA_HEADLESS -u ZENTROVA_NET_HOSTS -u ZENTROVA_NET_FAULTS";
    if (options_.headless) env += " ZENTROVA_HEADLESS=1";
    if (options_.hostList) env += " ZENTROVA_NET_HOSTS=127.0.0.1";
    if (!options_.faults.empty()) env += " ZENTROVA_NET_FAULTS=" + options_.faults;
    // Under the sanitizers the D-Bus leak that SDL leaves is suppressed;
    // the count of suppressions used is not an error of the program's.
    env += " LSAN_OPTIONS=\"${LSAN_OPTIONS}:print_suppressions=0\"";
    env += " ZENTROVA_NET_PORT=" + std::to_string(base) + " ZENTROVA_DRIVES='C=fixed:" + side.Tree() +
           "' ZENTROVA_CONFIG_DIR='" + side.dir + "/config' ZENTROVA_INPUT_SCRIPT='" + side.dir + "/keys.txt'";
    return "exec " + prefix + env + " '" ZENTROVA_EXE "' -S:" + script + " >/dev/null 2>'" + side.dir +
           "/stderr.txt'";
  }

  bool Fail(const std::string& why) const {
    ADD_FAILURE() << why << "\n---- A's log\n" << a_.Console() << a_.Errors() << "\n---- B's log\n"
                  << b_.Console() << b_.Errors();
    return false;
  }

  PairOptions options_;
  Side a_, b_, c_;
  std::string session_;
};

}  // namespace ztest::netrace
