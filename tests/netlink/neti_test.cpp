// The reliable layer on the manual clock, packets fed directly or read
// past LS_Net: duplicates, acknowledgements, the resend timing and the
// give-up, holding a message back while an earlier one is outstanding,
// the full pool, departed players, bad packets and floods.
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

constexpr uint32_t kSeq = 0x01020310;

class Neti : public ztest::LsNetTest {
 protected:
  // Feeds a packet to the selected machine's reliable layer.
  static int32_t Feed(uint32_t to, uint32_t from, const std::string& packet) {
    return NETI_ReceiveMessage(to, from, packet.data(), static_cast<uint32_t>(packet.size()));
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
};

TEST_F(Neti, DuplicatesAndOvertakenPacketsAreAcknowledgedAndDroppedOnce) {
  Meet();
  LS_NetSelect(&mia_);
  const struct {
    uint32_t sequence;
    bool delivered;
  } rows[] = {{kSeq, true}, {kSeq, false}, {kSeq + 2, true}, {kSeq + 1, false}};
  for (const auto& row : rows) EXPECT_EQ(Feed(Mia(), Hugo(), Packet(1, row.sequence, "p")), 1);
  std::vector<std::pair<uint32_t, std::string>> acks = Wire(host_);
  ASSERT_EQ(acks.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(acks[i], std::make_pair(Hugo(), Packet(4, rows[i].sequence)));
  EXPECT_EQ(Log(mia_).player, (std::vector<Delivered>{{Hugo(), "p"}, {Hugo(), "p"}}));
  // A plain packet has no sequence test and no acknowledgement.
  LS_NetSelect(&mia_);
  EXPECT_EQ(Feed(Mia(), Hugo(), Packet(2, kSeq, "q")), 1);
  EXPECT_EQ(Log(mia_).player.back(), (Delivered{Hugo(), "q"}));
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
  const std::string ack = Packet(4, static_cast<uint32_t>(seq));
  EXPECT_EQ(Feed(Server(), Server(), ack), 0);  // not a recipient
  EXPECT_EQ(Feed(Server(), 4242, ack), 0);
  EXPECT_EQ(m.NbPending, 9u);
  EXPECT_EQ(Feed(Server(), Mia(), ack), 1);
  EXPECT_EQ(m.NbPending, 8u);
  Feed(Server(), Mia(), ack);
  EXPECT_EQ(m.NbPending, 8u);
  for (uint32_t id : expected) Feed(Server(), id, ack);
  EXPECT_EQ(m.InUse, 0u);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 1);
}

TEST_F(Neti, ResentEvery1024MsAndGivenUpAtTheSixtiethExpiry) {
  Meet(true);
  plat::SetManualTime(5000);
  LS_NetSelect(&mia_);
  const uint32_t both[] = {Hugo(), Lea()};
  const int32_t seq = LS_NetPlayerSendMessage(2, both, "r", 1, NET_GUARANTEED);
  ASSERT_GT(seq, 0);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 0);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq) + 1), 1);  // never stored
  LS_NetSelect(&lea_);
  LS_NetUpdateEvent();  // Lea acknowledges; Hugo stays silent
  EXPECT_EQ(Wire(host_).size(), 1u);
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
    resends += static_cast<int>(Wire(host_).size());
    if (expiry < 60) {
      EXPECT_TRUE(Log(mia_).failures.empty()) << expiry;
    }
  }
  EXPECT_EQ(resends, 59);
  EXPECT_TRUE(Wire(lea_).empty());
  EXPECT_EQ(Log(mia_).failures, (std::vector<std::pair<uint32_t, uint32_t>>{{seq, Hugo()}}));
  LS_NetSelect(&mia_);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seq)), 1);
}

TEST_F(Neti, ALaterMessageIsHeldUntilTheEarlierIsAcknowledged) {
  Meet(true);
  LS_NetSelect(&mia_);
  const uint32_t hugo = Hugo(), lea = Lea();
  auto send = [](const uint32_t* to, const char* text) {
    return static_cast<uint32_t>(LS_NetPlayerSendMessage(1, to, text, 1, NET_GUARANTEED));
  };
  const uint32_t x = send(&lea, "x");  // slot 0
  const uint32_t a = send(&hugo, "a");  // slot 1, sent
  const uint32_t b = send(&hugo, "b");  // slot 2, held
  EXPECT_EQ(Feed(Mia(), lea, Packet(4, x)), 1);  // slot 0 free
  const uint32_t c = send(&hugo, "c");  // slot 0, held
  EXPECT_EQ(mia_.Neti.Pool[0].InUse, 1u);
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{hugo, Packet(1, a, "a")}}));
  LS_NetSelect(&mia_);
  EXPECT_EQ(NETI_IsDelivered(b), 0);
  EXPECT_EQ(NETI_IsDelivered(c), 0);

  // A message to all goes at once to the recipients with nothing
  // outstanding, and is held for Hugo.
  LS_NetSelect(&mia_);
  const uint32_t all = static_cast<uint32_t>(LS_NetPlayerSendMessage(0, kAll, "m", 1, NET_GUARANTEED));
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{Server(), Packet(1, all, "m")}}));
  EXPECT_EQ(Wire(lea_), (decltype(Wire(lea_)){{lea, Packet(1, x, "x")}, {lea, Packet(1, all, "m")}}));

  // Each acknowledgement lets the next go, in sequence order.
  for (auto [acked, next, text] : {std::tuple{a, b, "b"}, {b, c, "c"}, {c, all, "m"}}) {
    LS_NetSelect(&mia_);
    EXPECT_EQ(Feed(Mia(), hugo, Packet(4, acked)), 1);
    EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{hugo, Packet(1, next, text)}}));
  }
  // Nothing held is resent before it was sent.
  LS_NetSelect(&mia_);
  At(2000);
  for (const auto& [to, bytes] : Wire(host_)) EXPECT_EQ(bytes, Packet(1, all, "m"));
}

TEST_F(Neti, FullPoolSendsOncePlainAndLogs) {
  Meet();
  LS_NetSelect(&mia_);
  const uint32_t hugo = Hugo();
  std::vector<int32_t> seqs;
  for (int i = 0; i < NETI_NBSLOTS; ++i) seqs.push_back(LS_NetPlayerSendMessage(1, &hugo, "g", 1, NET_GUARANTEED));
  LS_SetErrorMode(LS_ERRMODE_FATAL);  // a peer's silence never ends the program
  seqs.push_back(LS_NetPlayerSendMessage(1, &hugo, "g", 1, NET_GUARANTEED));
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  EXPECT_EQ(SlotsInUse(mia_), NETI_NBSLOTS);
  EXPECT_EQ(Logged("Too many guaranteed msg !"), 1);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seqs.back())), 1);
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{hugo, Packet(1, seqs[0], "g")},
                                                 {hugo, Packet(2, seqs.back(), "g")}}));
  // Leaving the session frees the slots, without SendFailure.
  LS_NetSelect(&mia_);
  ASSERT_EQ(LS_NetLeaveSession(), 1);
  EXPECT_EQ(SlotsInUse(mia_), 0);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(seqs[0])), 1);
  At(100000);
  EXPECT_TRUE(Log(mia_).failures.empty());
}

TEST_F(Neti, FortyPlayersInTurnNeverFillTheTable) {
  Meet();
  LS_NetSelect(&host_);
  for (uint32_t i = 0; i < 40; ++i) {
    const uint32_t id = 5000 + i;
    EXPECT_EQ(Feed(Server(), id, Packet(1, kSeq + i, "s")), 1);
    EXPECT_EQ(Feed(Hugo(), id, Packet(1, kSeq + i, "h")), 1);
    NETI_RemovePlayerInfo(id, Hugo());
  }
  EXPECT_EQ(Log(host_).server.size(), 40u);
  EXPECT_EQ(Log(host_).player.size(), 40u);
  EXPECT_EQ(Logged("Too many players"), 0);
  for (const NETI_PLAYERINFO& p : host_.Neti.Players) EXPECT_EQ(p.InUse, 0u);

  // A 65th pair is dropped unacknowledged and logged; the program goes on.
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  for (uint32_t i = 0; i < NETI_NBPAIRS; ++i) Feed(Server(), 6000 + i, Packet(1, kSeq, "s"));
  EXPECT_EQ(Feed(Server(), 7000, Packet(1, kSeq, "s")), 1);
  EXPECT_EQ(Logged("NETI_GetPlayerInfo : Too many players !"), 1);
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
  const uint32_t alone = static_cast<uint32_t>(LS_NetPlayerSendMessage(1, &lea, "l", 1, NET_GUARANTEED));
  Wire(host_);
  LS_NetSelect(&lea_);
  ASSERT_EQ(LS_NetLeaveSession(), 1);
  np::Settle();
  LS_NetSelect(&mia_);
  LS_NetUpdateEvent();  // the departure
  EXPECT_EQ(NETI_IsDelivered(alone), 1);
  EXPECT_EQ(NETI_IsDelivered(shared), 0);
  At(5000 + 1025);
  EXPECT_EQ(Wire(host_), (decltype(Wire(host_)){{hugo, Packet(1, shared, "s")}}));
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
      {Packet(0, kSeq, "m"), 1}, {Packet(3, kSeq, "m"), 1}, {Packet(5, kSeq, "m"), 1}, {Packet(255, kSeq, "m"), 1},
      {Packet(4, seq, "extra"), 1}, {Packet(4, 0x7777), 0}, {Packet(1, kSeq), 1},
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
  const std::string big(LS_NETMAXPACKET + 1, '\x02');
  ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, big.data(), static_cast<uint32_t>(big.size())), np::kOk);
  ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, Packet(2, kSeq, "ok").data(), 7), np::kOk);
  for (int i = 0; i < 3; ++i) PumpAll();
  EXPECT_EQ(Log(host_).player, (std::vector<Delivered>{{Server(), "x"}, {Mia(), "ok"}}));
  // The empty guaranteed packet was taken: its sequence is recorded.
  int recorded = 0;
  for (const NETI_PLAYERINFO& p : host_.Neti.Players)
    recorded += p.InUse && p.SenderId == Mia() && p.LastSequence == static_cast<int32_t>(kSeq);
  EXPECT_EQ(recorded, 1);
}

TEST_F(Neti, FloodsKeepMemoryBoundedAndThePoolRecovers) {
  Meet();
  const uint32_t hugo = Hugo();
  // 1,000 guaranteed packets from one peer, taken in one pump.
  LS_NetSelect(&mia_);
  for (uint32_t first = 0; first < 1000; first += 100) {
    for (uint32_t i = first; i < first + 100; ++i) {
      const std::string p = Packet(1, 0x05000000 + i, "f");  // no sequence Mia sends
      ASSERT_EQ(np::Send(mia_.Transport.Object, Mia(), hugo, p.data(), static_cast<uint32_t>(p.size())), np::kOk);
    }
    np::Settle();
  }
  LS_NetSelect(&host_);
  LS_NetUpdateEvent();
  EXPECT_EQ(Log(host_).player.size(), 1000u);

  // 1,000 guaranteed sends to a peer that never answers.
  plat::SetManualTime(100000);
  LS_NetSelect(&mia_);
  for (int i = 0; i < 1000; ++i) ASSERT_GT(LS_NetPlayerSendMessage(1, &hugo, "s", 1, NET_GUARANTEED), 0);
  EXPECT_EQ(SlotsInUse(mia_), NETI_NBSLOTS);
  for (uint32_t t = 100000 + 1025; t <= 100000 + 60 * 1025; t += 1025) {
    LS_NetSelect(&mia_);
    At(t);
    Raw(host_);
  }
  EXPECT_EQ(Log(mia_).failures.size(), static_cast<size_t>(NETI_NBSLOTS));
  EXPECT_EQ(SlotsInUse(mia_), 0);
  LS_NetSelect(&mia_);
  const int32_t again = LS_NetPlayerSendMessage(1, &hugo, "s", 1, NET_GUARANTEED);
  EXPECT_EQ(NETI_IsDelivered(static_cast<uint32_t>(again)), 0);
}

}  // namespace
