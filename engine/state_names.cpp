#include "state_names.h"

#include <charconv>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace korvane {

namespace {

// The table once, for a model game state: each variable's name, kind and place within any
// state.
struct Entry {
    std::string_view name;
    StateVar::Kind kind;
    std::ptrdiff_t offset;
};

struct Table {
    std::deque<std::string> names;  // a deque keeps the entries' views valid as it grows
    std::vector<Entry> entries;
    std::unordered_map<std::string_view, size_t> byName;
};

class TableBuilder {
  public:
    TableBuilder(Table& table, const GameState& model) : table_(table), model_(model) {}
    template <typename T>
    void Array(const char* name, T (&arr)[kStarSlots]) {
        for (int i = 0; i < kStarSlots; ++i) {
            Add(std::string(name) + "[" + std::to_string(i) + "]",
                sizeof(T) == 2 ? StateVar::Kind::Int16 : StateVar::Kind::Int32, &arr[i]);
        }
    }
    void Add(std::string name, StateVar::Kind kind, const void* field) {
        table_.names.push_back(std::move(name));
        table_.byName.emplace(table_.names.back(), table_.entries.size());
        table_.entries.push_back(
            {table_.names.back(), kind,
             static_cast<const char*>(field) - reinterpret_cast<const char*>(&model_)});
    }

  private:
    Table& table_;
    const GameState& model_;
};

std::optional<int64_t> ParseNumber(std::string_view text) {
    if (text == "True") return -1;
    if (text == "False") return 0;
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (err != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value > 0xFFFFFFFFull) return std::nullopt;
    auto v = static_cast<int64_t>(value);
    return negative ? -v : v;
}

void DescribeEveryVariable(GameState& s, TableBuilder& b) {
#define KORVANE_FLAG(name) b.Add(#name, StateVar::Kind::Flag, &s.name);
#define KORVANE_I16(name) b.Add(#name, StateVar::Kind::Int16, &s.name);
#define KORVANE_I32(name) b.Add(#name, StateVar::Kind::Int32, &s.name);
#define KORVANE_TEXT(name) b.Add(#name, StateVar::Kind::Text, &s.name);
#define KORVANE_STARS(name) b.Array(#name, s.name);
    KORVANE_GAME_STATE(KORVANE_FLAG, KORVANE_I16, KORVANE_I32, KORVANE_TEXT, KORVANE_STARS,
                       KORVANE_STARS)
#undef KORVANE_FLAG
#undef KORVANE_I16
#undef KORVANE_I32
#undef KORVANE_TEXT
#undef KORVANE_STARS
}

const Table& TheTable() {
    static const Table table = [] {
        Table t;
        GameState model;
        TableBuilder builder(t, model);
        DescribeEveryVariable(model, builder);
        return t;
    }();
    return table;
}

StateVar VarOf(GameState& state, const Entry& entry) {
    return {entry.name, entry.kind, reinterpret_cast<char*>(&state) + entry.offset};
}

const Entry* FindEntry(std::string_view name) {
    const Table& table = TheTable();
    const auto found = table.byName.find(name);
    return found == table.byName.end() ? nullptr : &table.entries[found->second];
}

}  // namespace

std::vector<StateVar> NameTable(GameState& state) {
    std::vector<StateVar> vars;
    for (const Entry& entry : TheTable().entries) vars.push_back(VarOf(state, entry));
    return vars;
}

std::optional<StateVar> FindStateVar(GameState& state, std::string_view name) {
    const Entry* entry = FindEntry(name);
    if (!entry) return std::nullopt;
    return VarOf(state, *entry);
}

std::optional<StateVar::Kind> StateVarKind(std::string_view name) {
    const Entry* entry = FindEntry(name);
    if (!entry) return std::nullopt;
    return entry->kind;
}

std::optional<std::string> NormaliseValue(StateVar::Kind kind, std::string_view value) {
    bool flag = false;
    int16_t i16 = 0;
    int32_t i32 = 0;
    std::string text;
    void* field = kind == StateVar::Kind::Flag    ? static_cast<void*>(&flag)
                  : kind == StateVar::Kind::Int16 ? static_cast<void*>(&i16)
                  : kind == StateVar::Kind::Int32 ? static_cast<void*>(&i32)
                                                  : static_cast<void*>(&text);
    const StateVar scratch{"", kind, field};
    if (!SetStateVar(scratch, value)) return std::nullopt;
    return FormatStateVar(scratch);
}

std::string FormatStateVar(const StateVar& var) {
    switch (var.kind) {
        case StateVar::Kind::Flag:
            return *static_cast<bool*>(var.field) ? "True" : "False";
        case StateVar::Kind::Int16:
            return std::to_string(*static_cast<int16_t*>(var.field));
        case StateVar::Kind::Int32:
            return std::to_string(*static_cast<int32_t*>(var.field));
        case StateVar::Kind::Text:
            return *static_cast<std::string*>(var.field);
    }
    return {};
}

bool SetStateVar(const StateVar& var, std::string_view value) {
    if (var.kind == StateVar::Kind::Text) {
        *static_cast<std::string*>(var.field) = std::string(value);
        return true;
    }
    std::optional<int64_t> number = ParseNumber(value);
    if (!number) return false;
    switch (var.kind) {
        case StateVar::Kind::Flag:
            *static_cast<bool*>(var.field) = *number != 0;
            break;
        case StateVar::Kind::Int16:
            *static_cast<int16_t*>(var.field) = static_cast<int16_t>(*number);
            break;
        case StateVar::Kind::Int32:
            *static_cast<int32_t*>(var.field) = static_cast<int32_t>(*number);
            break;
        case StateVar::Kind::Text:
            break;
    }
    return true;
}

}  // namespace korvane
