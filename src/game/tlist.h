// tlist: the game's entity lists. Members are shared; a removed link keeps its way
// forward, so a walk survives its current member (or any other) leaving the list,
// and nothing is copied per frame.
#pragma once
#include <memory>

template <class T>
class tlist {
 public:
  struct link {
    std::shared_ptr<T> value;
    std::shared_ptr<T> held;  // a member removed during a walk, alive until the walk ends
    link* succ = nullptr;
    link* pred = nullptr;
    link* next_dead = nullptr;
  };

  tlist() { head.succ = head.pred = &head; }
  ~tlist() {
    clear();
    free_dead();
  }
  tlist(const tlist&) = delete;
  tlist& operator=(const tlist&) = delete;

  // Appends; the member keeps the link to remove itself later.
  link* add_last(std::shared_ptr<T> v) {
    link* l = new link;
    l->value = std::move(v);
    l->pred = head.pred;
    l->succ = &head;
    head.pred->succ = l;
    head.pred = l;
    count++;
    return l;
  }

  // Unlinks a member; removing one that already left does nothing.
  // NOTE: while a walk runs, removed links and their members are kept (with their succ)
  // until it ends, so the walk needs no share of each member it visits.
  void remove(link* l) {
    if (!l || !l->value) return;
    std::shared_ptr<T> dropping = std::move(l->value);
    l->pred->succ = l->succ;
    l->succ->pred = l->pred;
    count--;
    if (walking) {
      l->held = std::move(dropping);
      l->next_dead = dead;
      dead = l;
    } else {
      delete l;
    }
  }

  // The entity types' own remove: the member forgets the link it keeps in `lnk`, then
  // leaves. NOTE: the list may hold the last reference; the caller must not touch the
  // member afterwards.
  void remove_member(T& member) {
    link* l = member.lnk;
    member.lnk = nullptr;
    remove(l);
  }

  void clear() {
    while (head.succ != &head) remove(head.succ);
  }

  int size() const { return count; }
  bool empty() const { return count == 0; }

  // Calls f on every member in insertion order; the visited member stays alive for the
  // call even when it removes itself. f returns non-zero to stop the walk.
  template <class F>
  void walk(F f) {
    walking++;
    for (link* l = head.succ; l != &head; l = l->succ) {
      if (!l->value) continue;
      if (f(*l->value)) break;
    }
    if (--walking == 0) free_dead();
  }

  // The entity types' update_all and destroy_all: each member's update(), or remove().
  void update_each() {
    walk([](T& member) {
      member.update();
      return 0;
    });
  }
  void remove_each() {
    walk([](T& member) {
      member.remove();
      return 0;
    });
  }

 private:
  void free_dead() {
    while (dead) {
      link* d = dead;
      dead = d->next_dead;
      delete d;
    }
  }

  link head;
  link* dead = nullptr;
  int walking = 0;
  int count = 0;
};
