#pragma once
// What the hall remembers of its table of scores: how many visible scores there are (for
// /metrics) and a version that changes with every change of the table, here or by another
// hall, so that the answers made from the table (the front page, a category's listing) are
// made once per version. The table changes only when a score is stored or an operator hides
// one.

#include <cstdint>
#include <mutex>
#include <set>

#include "store.h"

namespace korvane::hall {

class ScoreTable {
  public:
    // Everything anew: the visible scores up to maxId.
    void Load(int64_t total, int64_t maxId);
    // A score just stored, here or by another hall; one already counted changes nothing.
    void Add(const ScoreRow& row);

    int64_t Total() const;
    // Changes with every change of the table, for answers made once per version.
    uint64_t Version() const;

  private:
    mutable std::mutex lock_;
    int64_t total_ = 0;
    int64_t loadedMaxId_ = 0;
    std::set<int64_t> added_;  // the rows counted since the load
    uint64_t version_ = 0;
};

}  // namespace korvane::hall
