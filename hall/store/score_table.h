#pragma once
// The ranked table in memory: the best rows as they are shown, and how many visible scores
// there are of each value (an index of the ranks: a score's rank is one more than the
// scores above it). The table changes only when a score is stored or an operator hides
// one, so every read of the front page and of the first pages is answered from here.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "store.h"

namespace korvane::hall {

class ScoreTable {
  public:
    static constexpr size_t kCachedRows = 1000;

    // Everything anew: the best rows (best first) and the counts of the scores up to maxId.
    void Load(std::vector<ScoreRow> best, std::map<int32_t, int64_t> counts, int64_t maxId);
    // A score just stored, here or by another hall; one already counted changes nothing.
    void Add(const ScoreRow& row);

    // 1 + the number of visible scores above score.
    int64_t RankOf(int32_t score) const;
    int64_t Total() const;
    // Changes with every change of the table, for answers made once per version.
    uint64_t Version() const;

    // The ranked rows from offset, when memory holds them (an offset past the end gives
    // none); nothing when the database must be asked.
    std::optional<std::vector<ScoreRow>> Page(int64_t offset, int limit) const;
    // Where a deeper page starts: the score at position offset, and how many rows of that
    // score or below come before it.
    struct Start {
        int32_t score = 0;
        int64_t skip = 0;
    };
    std::optional<Start> Locate(int64_t offset) const;
    // Ranks rows that follow each other in the table's order.
    void Rank(std::vector<ScoreRow>& rows) const;

  private:
    int64_t BetterThan(int32_t score) const;  // with the lock held
    void Count(int32_t score, int64_t n);

    mutable std::mutex lock_;
    std::vector<ScoreRow> best_;
    // Visible scores by value, and the same summed over blocks of 1024 values, so that
    // counting the scores above one visits a few hundred entries at most.
    std::map<int32_t, int64_t> byScore_;
    std::map<int32_t, int64_t> byBlock_;
    int64_t total_ = 0;
    int64_t loadedMaxId_ = 0;
    uint64_t version_ = 0;
};

}  // namespace korvane::hall
