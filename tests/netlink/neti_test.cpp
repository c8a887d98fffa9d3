// The reliable layer on the manual clock, packets fed directly or read
// past LS_Net: delivery once and in order with early packets held,
// cumulative and selective acknowledgements, the window of each pair, the
// resend timing and the give-up, the full pool, departed players, bad
// packets and acknowledgements, and floods.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "netlink/neti.h"
#include "tests/netlink/lsnet_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Delivered;
using ztest::kAll;
using ztest::RawPacket;

// The first number of every (sender, recipient) pair.
constexpr uint32_t kFirst = LS_NETFIRSTSEQUENCE;

class Neti : public ztest::LsNetTest {
 protected:
  // Feeds a packet to the selected machine's reliable layer.
  static int32_t Feed(uint32_t to, uint32_t from, const std::string& packet) {
    return NETI_ReceiveMessage(to, from, packet.data(), static_cast<uint32_t>(packet.size()));
  }
  // An acknowledgement: the last number delivered in order, and the map of
  // the early ones after it.
  static std::string Ack(uint32_t last, uint32_t map = 0) {
    std::string a = Packet(LS_NETMODE_ACK, last);
    for (int i = 0; i < 4; ++i) a += static_cast<char>(map >> (8 * i));
    return a;
  }
  // The packets read past LS_Net by the machine, as (to, bytes).
  static std::vector<std::pair<uint32_t, std::string>> Wire(TLSNET& m) {
    std::vector<std::pair<uint32_t, std::string>> out;
    for (const RawPacket& p : Raw(m)) out.push_back({p.to, p.bytes});
    return out;
  }
  // Advances the clock and runs the selected machine's pump.
  static void At(uint32_t ms) {
    plat::SetManualTime(ms);
    LS_NetUpdateEvent();
  }
  int SlotsInUse(const TLSNET& m) const {
    int n = 0;
    for (int s = 0; s < NETI_NBSLOTS; ++s) n += m.Neti.Pool[s].InUse != 0;
    return n;
  }
  static int32_t SendTo(uint32_t to, const char* text) {
    return LS_NetPlayerSendMessage(1, &to, text, static_cast<uint32_t>(std::strlen(text)), NET_GUARANTEED);
  }
};

// Each row feeds one packet from Hugo to Mia and reads the
// acknowledgement the pump's end sends back.
TEST_F(Neti, EachPacketDeliveredOnceInOrderEarlyOnesHeld) {
  Meet();
  const struct {
    uint32_t number;
    const char* text;
    std::vector<std::string> delivered;  // by this packet
    uint32_t ackLast, ackMap;
  } rows[] = {
      {kFirst, "a", {"a"}, kFirst, 0},
      {kFirst, "a", {}, kFirst, 0},                                // a duplicate
      {kFirst + 2, "c", {}, kFirst, 0b1},                          // early: held
      {kFirst + 3, "d", {}, kFirst, 0b11},
      {kFirst + 3, "d", {}, kFirst, 0b11},                         // held once
      {kFirst + 1, "b", {"b", "c", "d"}, kFirst + 3, 0},           // the gap filled
      {kFirst + 1, "b", {}, kFirst + 3, 0},
      {kFirst + 4 + NETI_WINDOW - 1, "w", {}, kFirst + 3, 1u << 30},  // the window's last
      {kFirst + 4 + NETI_WINDOW, "x", {}, kFirst + 3, 1u << 30},      // beyond it: refused
  };
  size_t seen = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.number - kFirst);
    LS_NetSelect(&mia_);
    EXPECT_EQ(Feed(Mia(), Hugo(), Packet(LS_NETMODE_GUARANTEED, row.number, row.text)), 1);
    std::vector<std::string> now;
    for (; seen < Log(mia_).player.size(); ++seen) now.push_back(Log(mia_).player[seen].data);
    EXPECT_EQ(now, row.delivered);
    NETI_SendAcks();
    EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{Hugo(), Ack(row.ackLast, row.ackMap)}}));
  }
  EXPECT_EQ(ztest::CountPrinted("[NETI][GUARANTEED PACKET FROM " + std::to_string(Hugo()) +
                                " BEYOND THE WINDOW REFUSED (1)]"),
            1);
  // The pump after repeats the last acknowledgement, once.
  LS_NetSelect(&mia_);
  NETI_SendAcks();
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{Hugo(), Ack(kFirst + 3, 1u << 30)}}));
  LS_NetSelect(&mia_);
  NETI_SendAcks();
  EXPECT_TRUE(Wire(host_).empty());
  // A plain packet has no order and no acknowledgement.
  LS_NetSelect(&mia_);
  EXPECT_EQ(Feed(Mia(), Hugo(), Packet(LS_NETMODE_PLAIN, kFirst, "q")), 1);
  EXPECT_EQ(Log(mia_).player.back(), (Delivered{Hugo(), "q"}));
  NETI_SendAcks();
  EXPECT_TRUE(Wire(host_).empty());
}

TEST_F(Neti, MessageToAllWaitsForExactlyItsRecipients) {
  Meet(true);
  LS_NetSelect(&host_);
  std::set<uint32_t> expected = {Hugo(), Mia(), Lea()};
  for (int i = 0; i < 6; ++i) {
    uint32_t id = 0;
    ASSERT_EQ(np::CreatePlayer(host_.Transport.Object, ("P" + std::to_string(i)).c_str(), "CLIENT", &id), np::kOk);
    expected.insert(id);
  }
  PumpAll();
  LS_NetSelect(&host_);
  const int32_t seq = LS_NetServerSendMessage(0, kAll, "all", 3);
  ASSERT_GT(seq, 0);
  int32_t index = -1;
  const int32_t slot = NETI_FindGuaranteedSlot(Hugo(), static_cast<uint32_t>(seq), &index);
  ASSERT_GE(slot, 0);
  const NETI_GUARANTEEDMSG& m = host_.Neti.Pool[slot];
  EXPECT_EQ(std::set<uint32_t>(m.Recipients, m.Recipients + m.NbRecipients), expected);
  ASSERT_EQ(m.NbRecipients, 9u);
  EXPECT_EQ(m.NbPending, 9u);
  const std::string ack = Ack(kFirst);
  EXPECT_EQ(Feed(Server(), Server(), ack), 0);  // not a recipient
  EXPECT_EQ(Feed(Server(), 4242, ack), 0);
  EXPECT_EQ(m.NbPending, 9u);
  EXPECT_EQ(Feed(Server(), Mia(), ack), 1);
  EXPECT_EQ(m.NbPending, 8u);
  Feed(Server(), Mia(), ack);  // once more: nothing more
  EXPECT_EQ(m.NbPending, 8u);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 0);
  for (uint32_t id : expected) Feed(Server(), id, ack);
  EXPECT_EQ(m.InUse, 0u);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 1);
}

// A window of messages goes out at once, each with its number; one more
// is refused, not sent, until an acknowledgement makes room. A message to
// all then goes to the others, and fails for the one without room.
TEST_F(Neti, TheWindowGoesAtOnceAndRefusesWhatDoesNotFit) {
  Meet(true);
  LS_NetSelect(&mia_);
  std::vector<int32_t> seqs;
  for (int i = 0; i < NETI_WINDOW; ++i) seqs.push_back(SendTo(Hugo(), "w"));
  std::vector<std::pair<uint32_t, std::string>> expected;
  for (int i = 0; i < NETI_WINDOW; ++i) expected.push_back({Hugo(), Packet(1, kFirst + i, "w")});
  EXPECT_EQ(Wire(host_), expected);
  LS_NetSelect(&mia_);
  SB_ClearPrintedLines();
  EXPECT_EQ(SendTo(Hugo(), "x"), -2);
  EXPECT_TRUE(ztest::PrintedStart("[NETI][GUARANTEED MESSAGE NOT SENT TO " + std::to_string(Hugo())));
  EXPECT_TRUE(Wire(host_).empty());
  LS_NetSelect(&mia_);
  const int32_t all = LS_NetPlayerSendMessage(0, kAll, "m", 1, NET_GUARANTEED);
  ASSERT_GT(all, 0);
  EXPECT_EQ(Wire(lea_), (decltype(Wire(lea_)){{Lea(), Packet(1, kFirst, "m")}}));
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{Server(), Packet(1, kFirst, "m")}}));
  LS_NetSelect(&mia_);
  EXPECT_EQ(NETI_IsFailed(static_cast<uint32_t>(all)), 1);
  // Acknowledged up to the 30th, and the 32nd: the window starts at the
  // 31st, still outstanding, which leaves room for 30.
  EXPECT_EQ(Feed(Mia(), Hugo(), Ack(kFirst + 29, 0b1)), 1);
  for (int i = 0; i < NETI_WINDOW; ++i) EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seqs[i])), i != 30) << i;
  for (int i = 0; i < NETI_WINDOW - 2; ++i) ASSERT_GT(SendTo(Hugo(), "y"), 0) << i;
  EXPECT_EQ(SendTo(Hugo(), "z"), -2);
  // A late or repeated acknowledgement changes nothing, and is said; one
  // for a number never sent is refused.
  SB_ClearPrintedLines();
  EXPECT_EQ(Feed(Mia(), Hugo(), Ack(kFirst + 3)), 1);
  EXPECT_EQ(Feed(Mia(), Hugo(), Ack(kFirst + 3)), 1);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seqs[30])), 0);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"[NETI][LATE ACKNOWLEDGEMENT FROM " +
                                                        std::to_string(Hugo()) + " IGNORED (1)]"});
  SB_ClearPrintedLines();
  plat::AdvanceManualTime(NET_NOTICEMS);
  EXPECT_EQ(Feed(Mia(), Hugo(), Ack(kFirst + 2 * NETI_WINDOW + 5)), 0);
  EXPECT_TRUE(ztest::Printed("[NETI][ACKNOWLEDGEMENT FROM " + std::to_string(Hugo()) +
                             " FOR NOTHING SENT REFUSED (1)]"));
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seqs[30])), 0);
  EXPECT_EQ(Feed(Mia(), Hugo(), Ack(kFirst + 2 * NETI_WINDOW - 3)), 1);  // everything
  EXPECT_EQ(SlotsInUse(mia_), 1);  // the message to all, for Server
}

TEST_F(Neti, ResentEvery1024MsAndGivenUpAtTheSixtiethExpiry) {
  Meet(true);
  plat::SetManualTime(5000);
  LS_NetSelect(&mia_);
  const uint32_t both[] = {Hugo(), Lea()};
  const int32_t seq = LS_NetPlayerSendMessage(2, both, "r", 1, NET_GUARANTEED);
  const int32_t second = SendTo(Hugo(), "s");
  ASSERT_GT(seq, 0);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 0);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(second) + 1), 1);  // never stored
  LS_NetSelect(&lea_);
  LS_NetUpdateEvent();  // Lea acknowledges; Hugo stays silent
  EXPECT_EQ(Wire(host_).size(), 2u);
  LS_NetSelect(&mia_);
  At(5000 + 1024);
  EXPECT_TRUE(Wire(host_).empty());
  uint32_t t = 5000 + 1025;
  int resends = 0;
  for (int expiry = 1; expiry <= 60; ++expiry, t += 1025) {
    LS_NetSelect(&mia_);
    At(t - 1);
    EXPECT_EQ(Wire(host_).size(), 0u) << expiry;
    LS_NetSelect(&mia_);
    At(t);
    const auto wire = Wire(host_);
    resends += static_cast<int>(wire.size());
    if (expiry < 60) {
      EXPECT_EQ(wire, (decltype(wire){{Hugo(), Packet(1, kFirst, "r")}, {Hugo(), Packet(1, kFirst + 1, "s")}}));
      EXPECT_TRUE(Log(mia_).failures.empty()) << expiry;
    }
  }
  EXPECT_EQ(resends, 2 * 59);
  EXPECT_TRUE(Wire(lea_).empty());
  // Hugo is given up with both messages: each fails, neither is reported
  // delivered, and nothing more goes to him.
  EXPECT_EQ(Log(mia_).failures, (std::vector<std::pair<uint32_t, uint32_t>>{{seq, Hugo()}, {second, Hugo()}}));
  LS_NetSelect(&mia_);
  for (int32_t s : {seq, second}) {
    EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(s)), 0);
    EXPECT_EQ(NETI_IsFailed(static_cast<uint32_t>(s)), 1);
  }
  EXPECT_EQ(SlotsInUse(mia_), 0);
  EXPECT_EQ(SendTo(Hugo(), "t"), -2);
  EXPECT_GT(SendTo(Lea(), "t"), 0);
}

TEST_F(Neti, FullPoolRefusesAndSendsNothingPlain) {
  Meet();
  LS_NetSelect(&mia_);
  const uint32_t hugo = Hugo();
  // Every slot taken, a window each for 32 recipients that never answer.
  for (int i = 0; i < NETI_NBSLOTS; ++i) {
    uint8_t packet[LS_NETHEADERSIZE + 1];
    LS_NetPutHeader(packet, LS_NETMODE_GUARANTEED, 0x09000000 + i);
    packet[LS_NETHEADERSIZE] = 'g';
    const uint32_t to = 9000 + i / NETI_WINDOW;
    ASSERT_GE(NETI_StoreGuaranteedMessage(Mia(), 1, &to, packet, sizeof packet), 0) << i;
  }
  LS_SetErrorMode(LS_ERRMODE_FATAL);  // a peer's silence never ends the program
  EXPECT_EQ(SendTo(hugo, "g"), -2);
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  EXPECT_EQ(SlotsInUse(mia_), NETI_NBSLOTS);
  EXPECT_EQ(Logged("Too many guaranteed msg !"), 1);
  EXPECT_TRUE(Wire(host_).empty());  // nothing sent plain in its place
  // Leaving the session frees the slots, without SendFailure.
  LS_NetSelect(&mia_);
  ASSERT_EQ(LS_NetLeaveSession(), 1);
  EXPECT_EQ(SlotsInUse(mia_), 0);
  At(100000);
  EXPECT_TRUE(Log(mia_).failures.empty());
}

TEST_F(Neti, FortyPlayersInTurnNeverFillTheTable) {
  Meet();
  LS_NetSelect(&host_);
  for (uint32_t i = 0; i < 40; ++i) {
    const uint32_t id = 5000 + i;
    EXPECT_EQ(Feed(Server(), id, Packet(1, kFirst, "s")), 1);
    EXPECT_EQ(Feed(Hugo(), id, Packet(1, kFirst, "h")), 1);
    NETI_RemovePlayerInfo(id, Hugo());
  }
  EXPECT_EQ(Log(host_).server.size(), 40u);
  EXPECT_EQ(Log(host_).player.size(), 40u);
  EXPECT_EQ(Logged("Too many players"), 0);
  for (const NETI_PLAYERINFO& p : host_.Neti.Players) EXPECT_EQ(p.InUse, 0u);

  // A 65th pair is dropped unacknowledged and logged; the program goes on.
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  for (uint32_t i = 0; i < NETI_NBPAIRS; ++i) Feed(Server(), 6000 + i, Packet(1, kFirst, "s"));
  EXPECT_EQ(Feed(Server(), 7000, Packet(1, kFirst, "s")), 1);
  EXPECT_EQ(Logged("NETI_GetPlayerInfo : Too many players !"), 1);
  // More in the same second are counted, not each written to the log file.
  for (uint32_t i = 1; i <= 100; ++i) Feed(Server(), 7000 + i, Packet(1, kFirst, "s"));
  EXPECT_EQ(Logged("NETI_GetPlayerInfo : Too many players !"), 1);
  plat::AdvanceManualTime(1000);
  Feed(Server(), 7101, Packet(1, kFirst, "s"));
  EXPECT_EQ(Logged("NETI_GetPlayerInfo : Too many players ! (101 times since the last line)"), 1);
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  EXPECT_EQ(Log(host_).server.size(), 40u + NETI_NBPAIRS);
}

TEST_F(Neti, ADepartedRecipientNoLongerStopsResends) {
  Meet(true);
  plat::SetManualTime(5000);
  LS_NetSelect(&mia_);
  const uint32_t lea = Lea(), hugo = Hugo();
  const uint32_t both[] = {lea, hugo};
  const uint32_t shared = static_cast<uint32_t>(LS_NetPlayerSendMessage(2, both, "s", 1, NET_GUARANTEED));
  const uint32_t alone = static_cast<uint32_t>(SendTo(lea, "l"));
  Wire(host_);
  LS_NetSelect(&lea_);
  ASSERT_EQ(LS_NetLeaveSession(), 1);
  np::Settle();
  LS_NetSelect(&mia_);
  LS_NetUpdateEvent();  // the departure: what waited for Lea failed
  EXPECT_EQ(NETI_IsDelivered(alone), 0);
  EXPECT_EQ(NETI_IsFailed(alone), 1);
  EXPECT_EQ(NETI_IsFailed(shared), 1);
  At(5000 + 1025);
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{hugo, Packet(1, kFirst, "s")}}));
  EXPECT_TRUE(Log(mia_).failures.empty());
}

TEST_F(Neti, BadPacketsAreDroppedOrIgnored) {
  Meet();
  const uint32_t hugo = Hugo();
  // Fed directly: too short, unknown modes, odd acknowledgements, an empty
  // guaranteed packet (acknowledged, nothing delivered).
  LS_NetSelect(&host_);
  const uint32_t seq = static_cast<uint32_t>(LS_NetServerSendMessage(1, &hugo, "x", 1));
  const struct {
    std::string packet;
    int32_t result;
  } rows[] = {
      {"", 0}, {"\x01", 0}, {std::string("\x01\x00\x00\x00", 4), 0},
      {Packet(0, kFirst, "m"), 1}, {Packet(3, kFirst, "m"), 1}, {Packet(5, kFirst, "m"), 1}, {Packet(255, kFirst, "m"), 1},
      {Packet(4, kFirst, "extra"), 1}, {Packet(4, 0x7777), 0}, {Ack(kFirst + 1), 0}, {Packet(1, kFirst), 1},
  };
  LS_NetSelect(&mia_);
  for (const auto& row : rows) EXPECT_EQ(Feed(Mia(), Server(), row.packet), row.result) << row.packet.size();
  EXPECT_TRUE(Log(mia_).player.empty());
  EXPECT_TRUE(Log(mia_).server.empty());
  LS_NetSelect(&host_);
  EXPECT_EQ(NETI_IsDelivered(seq), 0);  // the long acknowledgement did nothing
  // Through the transport, from Mia's instance past LS_Net.
  LS_NetSelect(&mia_);
  for (const auto& row : rows) {
    if (!row.packet.empty()) {
      ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, row.packet.data(),
                         static_cast<uint32_t>(row.packet.size())), np::kOk);
    }
  }
  // A packet over the pump's buffer is the transport's to refuse.
  const std::string big(LS_NETMAXPACKET + 1, '\x02');
  EXPECT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, big.data(), static_cast<uint32_t>(big.size())),
            np::kErrTooLarge);
  ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, Packet(2, kFirst, "ok").data(), 7), np::kOk);
  for (int i = 0; i < 3; ++i) PumpAll();
  EXPECT_EQ(Log(host_).player, (std::vector<Delivered>{{Server(), "x"}, {Mia(), "ok"}}));
  // The empty guaranteed packet was taken: its number is recorded.
  int recorded = 0;
  for (const NETI_PLAYERINFO& p : host_.Neti.Players)
    recorded += p.InUse && p.SenderId == Mia() && p.LastSequence == static_cast<int32_t>(kFirst);
  EXPECT_EQ(recorded, 1);
}

TEST_F(Neti, FloodsKeepMemoryBoundedAndThePoolRecovers) {
  Meet(true);
  const uint32_t hugo = Hugo();
  // 1,000 guaranteed packets from one peer in order, taken in one pump;
  // then 1,000 beyond the window, refused.
  LS_NetSelect(&mia_);
  for (uint32_t first = 0; first < 2000; first += 100) {
    for (uint32_t i = first; i < first + 100; ++i) {
      const std::string p = Packet(1, i < 1000 ? kFirst + i : 0x05000000 + i, "f");
      ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, p.data(), static_cast<uint32_t>(p.size())), np::kOk);
    }
    np::Settle();
  }
  LS_NetSelect(&host_);
  SB_ClearPrintedLines();
  LS_NetUpdateEvent();
  EXPECT_EQ(Log(host_).player.size(), 1000u);
  EXPECT_EQ(ztest::CountPrinted("[NETI][GUARANTEED PACKET FROM " + std::to_string(Mia()) +
                                " BEYOND THE WINDOW REFUSED (1)]"),
            1);  // one line, the rest counted
  plat::AdvanceManualTime(NET_NOTICEMS);
  LS_NetUpdateEvent();
  EXPECT_TRUE(ztest::Printed("[NETI][GUARANTEED PACKETS BEYOND THE WINDOW REFUSED (999)]"));

  // 1,000 guaranteed sends to a peer that never answers: a window's worth
  // taken, the rest refused; the pool holds no more than the window.
  plat::SetManualTime(100000);
  LS_NetSelect(&mia_);
  int taken = 0;
  for (int i = 0; i < 1000; ++i) taken += LS_NetPlayerSendMessage(1, &hugo, "s", 1, NET_GUARANTEED) > 0;
  EXPECT_EQ(taken, NETI_WINDOW);
  EXPECT_EQ(SlotsInUse(mia_), NETI_WINDOW);
  for (uint32_t t = 100000 + 1025; t <= 100000 + 60 * 1025; t += 1025) {
    LS_NetSelect(&mia_);
    At(t);
    Raw(host_);
  }
  EXPECT_EQ(Log(mia_).failures.size(), static_cast<size_t>(NETI_WINDOW));
  EXPECT_EQ(SlotsInUse(mia_), 0);
  // The others are still served.
  LS_NetSelect(&mia_);
  const int32_t again = SendTo(Lea(), "s");
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(again)), 0);
  PumpAll();
  PumpAll();
  LS_NetSelect(&mia_);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(again)), 1);
}

}  // namespace
