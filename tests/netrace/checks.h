// What a pair's race must have left: in each log the session's arrivals,
// the players' network states in order and the race's ends, and no error
// of the program's own; in each program's screenshots the other's car in
// the other's paint, and on the standing host's the joiner's car moving.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/netrace/pair.h"

namespace ztest::netrace {

// The network states 4 to 9 as the logs name them.
inline const std::vector<std::string>& RaceStates() {
  static const std::vector<std::string> states = {"LOADING", "REMAPPINGCARS", "READY2PLAY",
                                                  "WAIT4READY", "WAIT4GO", "PLAYING"};
  return states;
}

// A player's states echoed by the controller's message 8, in order.
inline std::vector<std::string> Echoes(int order) {
  std::vector<std::string> lines;
  for (const std::string& s : RaceStates())
    lines.push_back("[READ][UPDATE NET PLAYER " + std::to_string(order) + "][" + s + "]");
  return lines;
}

inline void ExpectHostLog(const Side& a) {
  const std::string log = a.Console();
  EXPECT_EQ(MissingInOrder(log, {"Protocol: 'TCP/IP local network' : ID:0", "Server '", "[SYS CTRL][PLAYER 'BRUNO' of ID:",
                                 "[CTRL][CTRL_PLAYERORDER (BRUNO,"}),
            "");
  // Both logged in, the joiner's question answered whenever it came.
  size_t logins = 0;
  for (size_t at = log.find("[CTRL][CTRL_CANILOGMYSELF Player "); at != std::string::npos;
       at = log.find("[CTRL][CTRL_CANILOGMYSELF Player ", at + 1))
    ++logins;
  EXPECT_EQ(logins, 2u);
  EXPECT_EQ(MissingInOrder(log, Echoes(0)), "");
  EXPECT_EQ(MissingInOrder(log, Echoes(1)), "");
  EXPECT_EQ(MissingInOrder(log, {"[CTRL][NAME:ALBA LAP:"}), "");  // each race's end reported to the controller
  EXPECT_EQ(MissingInOrder(log, {"[CTRL][NAME:BRUNO LAP:"}), "");
  EXPECT_EQ(MissingInOrder(log, {">HALLOFFAME", "[                    ZENTROVA RACE - HALL OF FAME",
                                 "[--", "[    | Name", "[--", "[   0|            ALBA|"}),
            "");
}

inline void ExpectJoinerLog(const Side& b) {
  std::vector<std::string> lines = {"Server: '", "Player BRUNO logged with ID["};
  for (const std::string& s : RaceStates()) lines.push_back("[XNET]SETTING CONTROLLER STATUS TO " + s + "...");
  lines.push_back("[XNET]SETTING CONTROLLER STATUS TO CONNECTED...");
  lines.push_back(">LEAVE");
  lines.push_back("Deconnected from game !!!");
  EXPECT_EQ(MissingInOrder(b.Console(), lines), "");
}

// No line of a failure, and nothing on standard error (no leak report, no
// message box).
inline void ExpectNoErrors(const Side& side) {
  const std::string log = side.Console();
  for (const char* failure : {"Syntax error", "Error (", "TIMEOUT", "failed", "not received", "SESSION LOST",
                              "cannot", "Cannot"})
    EXPECT_EQ(log.find(failure), std::string::npos) << failure;
  EXPECT_EQ(side.Errors(), "");
}

// ---- Screenshots: 24-bit TGA pictures of the 640 x 400 race screen ----

struct Rgb {
  int r, g, b;
};

class Shot {
 public:
  explicit Shot(const std::string& file) : data_(file) {
    ok_ = data_.size() >= 18 && static_cast<uint8_t>(data_[2]) == 2 && static_cast<uint8_t>(data_[16]) == 24;
    if (!ok_) return;
    w_ = static_cast<uint8_t>(data_[12]) | static_cast<uint8_t>(data_[13]) << 8;
    h_ = static_cast<uint8_t>(data_[14]) | static_cast<uint8_t>(data_[15]) << 8;
    top_ = (static_cast<uint8_t>(data_[17]) & 0x20) != 0;
    start_ = 18 + static_cast<uint8_t>(data_[0]);
    ok_ = data_.size() >= start_ + 3u * w_ * h_;
  }
  bool ok() const { return ok_; }
  int w() const { return w_; }
  int h() const { return h_; }
  Rgb At(int x, int y) const {
    const size_t row = static_cast<size_t>(top_ ? y : h_ - 1 - y);
    const size_t i = start_ + 3 * (row * w_ + x);
    return {static_cast<uint8_t>(data_[i + 2]), static_cast<uint8_t>(data_[i + 1]), static_cast<uint8_t>(data_[i])};
  }

 private:
  std::string data_;
  bool ok_ = false, top_ = false;
  int w_ = 0, h_ = 0;
  size_t start_ = 0;
};

// A colour cut to 16 levels a component: cars' paint against the road's
// greys, the sky's blue and the kerbs' pure colours.
inline int Bucket(const Rgb& c) { return (c.r / 16) << 8 | (c.g / 16) << 4 | c.b / 16; }
inline bool Saturated(const Rgb& c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 60; }

// The driven car: behind it, the camera shows it low in the middle.
constexpr int kCarX0 = 220, kCarX1 = 420, kCarY0 = 160, kCarY1 = 290;

// A program's own paint: the commonest saturated colour of its car over
// all its screenshots.
inline int OwnPaint(const std::vector<std::string>& shots) {
  std::map<int, int> count;
  for (const std::string& file : shots) {
    const Shot s(file);
    if (!s.ok() || s.w() < kCarX1 || s.h() < kCarY1) continue;
    for (int y = kCarY0; y < kCarY1; ++y)
      for (int x = kCarX0; x < kCarX1; ++x)
        if (Saturated(s.At(x, y))) ++count[Bucket(s.At(x, y))];
  }
  int best = -1, most = 0;
  for (const auto& [bucket, n] : count)
    if (n > most) best = bucket, most = n;
  return best;
}

// Where a paint shows in a screenshot: its pixels and their centre.
struct Seen {
  int pixels = 0;
  double x = 0, y = 0;
};
inline Seen Find(const std::string& file, int paint) {
  const Shot s(file);
  Seen seen;
  for (int y = 0; s.ok() && y < s.h(); ++y)
    for (int x = 0; x < s.w(); ++x)
      if (Bucket(s.At(x, y)) == paint) {
        ++seen.pixels;
        seen.x += x;
        seen.y += y;
      }
  if (seen.pixels) seen.x /= seen.pixels, seen.y /= seen.pixels;
  return seen;
}

// A car in view covers some hundred pixels even far down the road; a few
// scattered pixels of the colour are no car.
constexpr int kCarInView = 80;

// Each program's screenshots show the other's car in the other's paint,
// which differs from its own (so the joiner's came with its setup); the
// standing host sees the joiner's car at two places at least 30 pixels
// apart.
inline void ExpectEachSeesTheOther(const Side& a, const Side& b) {
  const std::vector<std::string> shotsA = a.Shots(), shotsB = b.Shots();
  ASSERT_GE(shotsA.size(), 2u);
  ASSERT_GE(shotsB.size(), 2u);
  const int paintA = OwnPaint(shotsA), paintB = OwnPaint(shotsB);
  ASSERT_NE(paintA, -1);
  ASSERT_NE(paintB, -1);
  EXPECT_NE(paintA, paintB);
  std::vector<Seen> bOnA;
  for (const std::string& shot : shotsA)
    if (const Seen s = Find(shot, paintB); s.pixels >= kCarInView) bOnA.push_back(s);
  int aOnB = 0;
  for (const std::string& shot : shotsB) aOnB += Find(shot, paintA).pixels >= kCarInView ? 1 : 0;
  EXPECT_GE(aOnB, 1) << "A's car in none of B's screenshots";
  ASSERT_GE(bOnA.size(), 1u) << "B's car in none of A's screenshots";
  double farthest = 0;
  for (const Seen& s : bOnA) farthest = std::max(farthest, std::hypot(s.x - bOnA[0].x, s.y - bOnA[0].y));
  EXPECT_GE(farthest, 30.0) << "B's car seen in one place only";
}

// Everything both logs must show, and no error on either side; both logs
// printed when something is missing.
inline void ExpectRaced(const Pair& pair) {
  ::testing::Test::RecordProperty("session", pair.session());
  const bool before = ::testing::Test::HasFailure();
  ExpectHostLog(pair.a());
  ExpectJoinerLog(pair.b());
  ExpectNoErrors(pair.a());
  ExpectNoErrors(pair.b());
  if (!before && ::testing::Test::HasFailure())
    ADD_FAILURE() << "---- A's log\n" << pair.a().Console() << "\n---- B's log\n" << pair.b().Console();
}

}  // namespace ztest::netrace
