#include "score_table.h"

#include <algorithm>

namespace korvane::hall {

namespace {

// The table's order: best first, an earlier entry before a later one of the same score.
bool Before(const ScoreRow& a, const ScoreRow& b) {
    return a.score != b.score ? a.score > b.score : a.id < b.id;
}

int32_t BlockOf(int32_t score) {
    return score >> 10;
}

// Equal scores share a rank: the position of the first of them.
void RankFrom(std::vector<ScoreRow>& rows, int64_t firstRank, int64_t firstPosition) {
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].rank = i == 0                               ? firstRank
                       : rows[i].score == rows[i - 1].score ? rows[i - 1].rank
                                                            : firstPosition + int64_t(i) + 1;
    }
}

}  // namespace

void ScoreTable::Count(int32_t score, int64_t n) {
    byScore_[score] += n;
    byBlock_[BlockOf(score)] += n;
    total_ += n;
}

void ScoreTable::Load(std::vector<ScoreRow> best, std::map<int32_t, int64_t> counts,
                      int64_t maxId) {
    const std::lock_guard<std::mutex> hold(lock_);
    std::sort(best.begin(), best.end(), Before);
    if (best.size() > kCachedRows) best.resize(kCachedRows);
    RankFrom(best, 1, 0);
    best_ = std::move(best);
    byScore_.clear();
    byBlock_.clear();
    total_ = 0;
    for (const auto& [score, n] : counts) Count(score, n);
    loadedMaxId_ = maxId;
    ++version_;
}

void ScoreTable::Add(const ScoreRow& row) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (std::any_of(best_.begin(), best_.end(), [&](const ScoreRow& r) { return r.id == row.id; }))
        return;
    if (row.id > loadedMaxId_) Count(row.score, 1);
    // Memory holds the best rows of all; a row below them stays in the database.
    if (best_.size() < kCachedRows || Before(row, best_.back())) {
        best_.insert(std::upper_bound(best_.begin(), best_.end(), row, Before), row);
        if (best_.size() > kCachedRows) best_.pop_back();
        RankFrom(best_, 1, 0);
    }
    ++version_;
}

int64_t ScoreTable::BetterThan(int32_t score) const {
    int64_t better = 0;
    for (auto b = byBlock_.upper_bound(BlockOf(score)); b != byBlock_.end(); ++b)
        better += b->second;
    const auto end = byScore_.lower_bound((BlockOf(score) + 1) << 10);
    for (auto s = byScore_.upper_bound(score); s != end; ++s) better += s->second;
    return better;
}

int64_t ScoreTable::RankOf(int32_t score) const {
    const std::lock_guard<std::mutex> hold(lock_);
    return BetterThan(score) + 1;
}

int64_t ScoreTable::Total() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return total_;
}

uint64_t ScoreTable::Version() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return version_;
}

std::optional<std::vector<ScoreRow>> ScoreTable::Page(int64_t offset, int limit) const {
    const std::lock_guard<std::mutex> hold(lock_);
    const bool allHere = int64_t(best_.size()) >= total_;
    if (offset >= total_ && allHere) return std::vector<ScoreRow>{};
    if (!allHere && offset + limit > int64_t(best_.size())) return std::nullopt;
    const size_t from = std::min<size_t>(size_t(offset), best_.size());
    const size_t to = std::min<size_t>(from + size_t(limit), best_.size());
    return std::vector<ScoreRow>(best_.begin() + long(from), best_.begin() + long(to));
}

std::optional<ScoreTable::Start> ScoreTable::Locate(int64_t offset) const {
    const std::lock_guard<std::mutex> hold(lock_);
    if (offset >= total_) return std::nullopt;
    int64_t above = 0;
    for (auto s = byScore_.rbegin(); s != byScore_.rend(); ++s) {
        if (above + s->second > offset) return Start{s->first, offset - above};
        above += s->second;
    }
    return std::nullopt;
}

void ScoreTable::Rank(std::vector<ScoreRow>& rows) const {
    if (rows.empty()) return;
    const std::lock_guard<std::mutex> hold(lock_);
    const int64_t first = BetterThan(rows.front().score) + 1;
    // Rows after the first of their score: the position is the first's rank plus the rows
    // of that score before them, which a page does not know; ranks of later scores are
    // counted afresh.
    rows.front().rank = first;
    for (size_t i = 1; i < rows.size(); ++i) {
        rows[i].rank =
            rows[i].score == rows[i - 1].score ? rows[i - 1].rank : BetterThan(rows[i].score) + 1;
    }
}

}  // namespace korvane::hall
