// Entity lists: walks in insertion order that survive any member leaving, a removed member
// alive until its walk ends, walks that stop, clearing, and members freed with the list.
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>
#include "game/tlist.h"

namespace {

struct item {
  int id = 0;
  tlist<item>::link* lnk = nullptr;
};

struct EntityList : ::testing::Test {
  std::unique_ptr<tlist<item>> list = std::make_unique<tlist<item>>();
  std::vector<std::weak_ptr<item>> made;
  std::vector<tlist<item>::link*> links;

  void Fill(int n) {
    for (int k = 0; k < n; k++) {
      auto p = std::make_shared<item>();
      p->id = static_cast<int>(made.size()) + 1;
      p->lnk = list->add_last(p);
      made.push_back(p);
      links.push_back(p->lnk);
    }
  }
  std::vector<int> Ids() {
    std::vector<int> ids;
    list->walk([&ids](item& i) {
      ids.push_back(i.id);
      return 0;
    });
    return ids;
  }
  int Alive() const {
    int n = 0;
    for (const auto& w : made) n += !w.expired();
    return n;
  }
};

struct walk_case {
  const char* what;
  std::function<int(EntityList&, item&)> visit;  // non-zero stops the walk
  std::vector<int> visited, left;
};

TEST_F(EntityList, AWalkGoesOnWhateverLeavesAndKeepsTheLeaverAliveTillItEnds) {
  const walk_case cases[] = {
      {"nothing leaves", [](EntityList&, item&) { return 0; }, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
      {"each leaves as it is visited",
       [](EntityList& t, item& i) {
         t.list->remove(i.lnk);
         EXPECT_FALSE(t.made[i.id - 1].expired()) << "freed while its walk still runs";
         return 0;
       },
       {1, 2, 3, 4, 5},
       {}},
      {"the second takes the third and itself off",
       [](EntityList& t, item& i) {
         if (i.id == 2) t.list->remove(t.links[2]), t.list->remove(i.lnk), t.list->remove(i.lnk);
         return 0;
       },
       {1, 2, 4, 5},
       {1, 4, 5}},
      {"the walk stops at the third", [](EntityList&, item& i) { return i.id == 3 ? 1 : 0; }, {1, 2, 3},
       {1, 2, 3, 4, 5}},
  };
  for (const walk_case& c : cases) {
    SCOPED_TRACE(c.what);
    list = std::make_unique<tlist<item>>();
    made.clear(), links.clear();
    Fill(5);
    std::vector<int> visited;
    list->walk([&](item& i) {
      visited.push_back(i.id);
      return c.visit(*this, i);
    });
    EXPECT_EQ(visited, c.visited);
    EXPECT_EQ(Ids(), c.left);
    EXPECT_EQ(list->size(), static_cast<int>(c.left.size()));
    EXPECT_EQ(list->empty(), c.left.empty());
    EXPECT_EQ(Alive(), static_cast<int>(c.left.size())) << "a member that left outlived its walk";
  }
}

TEST_F(EntityList, ClearingOrDroppingTheListFreesEveryMember) {
  Fill(3);
  list->remove(links[0]);
  EXPECT_EQ(Alive(), 2) << "a member removed outside a walk is freed at once";
  EXPECT_EQ(list->size(), 2);
  list->clear();
  EXPECT_TRUE(list->empty());
  EXPECT_EQ(list->size(), 0);
  EXPECT_EQ(Alive(), 0);
  EXPECT_EQ(Ids(), std::vector<int>{});
  Fill(2);
  EXPECT_EQ(Ids(), (std::vector<int>{4, 5}));
  EXPECT_FALSE(list->empty());
  list.reset();
  EXPECT_EQ(Alive(), 0);
}

}  // namespace
