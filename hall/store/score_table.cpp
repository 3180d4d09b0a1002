#include "score_table.h"

namespace korvane::hall {

void ScoreTable::Load(int64_t total, int64_t maxId) {
    const std::lock_guard<std::mutex> hold(lock_);
    total_ = total;
    loadedMaxId_ = maxId;
    added_.clear();
    ++version_;
}

void ScoreTable::Add(const ScoreRow& row) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (row.id <= loadedMaxId_ || !added_.insert(row.id).second) return;
    ++total_;
    ++version_;
}

int64_t ScoreTable::Total() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return total_;
}

uint64_t ScoreTable::Version() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return version_;
}

}  // namespace korvane::hall
