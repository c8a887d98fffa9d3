// Fixture of the network menus' tests: the menus on the generated tree
// with the exec hook answering the listing words with canned lists handed
// over as the network words hand theirs, and recording fakes of the player
// probe's session calls, whose calls join the log of console lines.
#pragma once
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "frontend/menulists.h"
#include "net/net.h"
#include "shell/owner.h"
#include "system/input.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {

using Lines = std::vector<std::string>;
using Names = std::vector<std::string>;

struct NetCanned {
  std::map<std::string, Names> lists;     // the list each listing word leaves
  std::map<std::string, int32_t> results;  // lines answered other than 1
  int32_t sessionId = 3;                   // what the session search finds
  int32_t joinResult = 1, leaveResult = 1;
  int32_t switchAtPlay = -1;  // the race clock's switch (TIME) when PLAY was sent
};
inline NetCanned& Canned() {
  static NetCanned c;
  return c;
}

// Ids are 100 + the entry's place.
inline void HandOver(const Names& names) {
  NET_ENUMENTRY* list = nullptr;
  if (!names.empty()) {
    list = static_cast<NET_ENUMENTRY*>(
        SB_GetMem(static_cast<int32_t>(names.size() * sizeof(NET_ENUMENTRY)), "canned list"));
    for (size_t i = 0; i < names.size(); ++i) {
      list[i].Id = static_cast<uint32_t>(100 + i);
      std::memcpy(list[i].Name, names[i].data(), std::min(names[i].size(), sizeof list[i].Name));
    }
  }
  NET_SetConsoleList(list, static_cast<int32_t>(names.size()));
}

inline int32_t CannedAnswer(const std::string& line) {
  if (line == "PLAY") Canned().switchAtPlay = SB_Var.NoTimeLimit;
  auto result = Canned().results.find(line);
  const int32_t answer = result == Canned().results.end() ? 1 : result->second;
  auto list = Canned().lists.find(line);
  if (answer && list != Canned().lists.end()) HandOver(list->second);
  return answer;
}

class NetMenuTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    Canned() = NetCanned{};
    Exec().answer = CannedAnswer;
    saved_probe_ = SB_MenuProbe;
    SB_MenuProbe.FindSessionId = [](const char* name) {
      Exec().lines.push_back(std::string("(find ") + name + ")");
      return Canned().sessionId;
    };
    SB_MenuProbe.JoinSession = [](const char* player, int32_t session) {
      Exec().lines.push_back(std::string("(join ") + player + " " + std::to_string(session) + ")");
      return Canned().joinResult;
    };
    SB_MenuProbe.LeaveSession = [] {
      Exec().lines.push_back("(leave)");
      return Canned().leaveResult;
    };
    SB_MenuProbe.IsCursorHidden = [] { return 0; };
    SB_Var.NetJoinRefused = 0;
  }
  void TearDown() override {
    NET_FreeConsoleList();
    SB_MenuProbe = saved_probe_;
    TreeMenuTest::TearDown();
  }

 public:
  // The interface on a network screen as its entering button leaves it.
  void Enter(int32_t screen) {
    if (!SB_Var.MenuBmap) {
      InitInterface();
      SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
    }
    Show(screen);
    SB_Var.MenuScreenReady = 0;
    Exec().lines.clear();
  }
  static TMENUITEM& Item(int32_t screen, int32_t item) { return SB_Var.MenuScreens[screen].Items[item]; }
  // A button's release, as the pointer gives it.
  static void Release(int32_t screen, int32_t item) {
    TMENUITEM& it = Item(screen, item);
    it.CallbackState = 2;
    it.Callback(MENU_UP, &it);
  }
  static void Press(int32_t screen, int32_t item) {
    TMENUITEM& it = Item(screen, item);
    it.Callback(MENU_DOWN, &it);
  }
  static Names Rows(const TMENULISTENTRY* rows, int32_t count) {
    Names names;
    for (int32_t i = 0; i < count; ++i) names.push_back(rows[i].Name);
    return names;
  }
  // The names shown on a list's lines ("" for a blank line), the
  // highlighted one in brackets.
  static Names Shown(const TMENULIST& list) {
    Names names;
    for (int32_t k = 0; k < list.Lines; ++k) {
      const TMENULISTENTRY* row = RowOnLine(list, k);
      const std::string name = row ? row->Name : "";
      names.push_back(ListLine(list, k)->Kind == ITEMKIND_TEXT ? "[" + name + "]" : name);
    }
    return names;
  }
  static int32_t Arrows(const TMENULIST& list) {
    return Item(list.Screen, list.ForwardItem).RestState * 10 + Item(list.Screen, list.BackItem).RestState;
  }
  // Characters typed one every few polls.
  void Type(const std::string& text) {
    typed_ = text;
    polls_ = 0;
    OnPoll() = [this] {
      if (++polls_ % 3 || typed_.empty()) return;
      LSI_PutKey(static_cast<uint8_t>(typed_[0]));
      typed_.erase(0, 1);
    };
  }
  static Names Numbered(const std::string& stem, int n) {
    Names names;
    for (int i = 0; i < n; ++i) names.push_back(stem + std::to_string(i));
    return names;
  }

  std::string typed_;
  int polls_ = 0;
  TMENUPROBECALLS saved_probe_{};
};

}  // namespace ztest
