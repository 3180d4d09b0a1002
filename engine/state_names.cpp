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
    void Flag(const char* name, bool& f) { Add(name, StateVar::Kind::Flag, &f); }
    void I16(const char* name, int16_t& f) { Add(name, StateVar::Kind::Int16, &f); }
    void I32(const char* name, int32_t& f) { Add(name, StateVar::Kind::Int32, &f); }
    void Text(const char* name, std::string& f) { Add(name, StateVar::Kind::Text, &f); }
    template <typename T>
    void Array(const char* name, T (&arr)[kStarSlots]) {
        for (int i = 0; i < kStarSlots; ++i) {
            Add(std::string(name) + "[" + std::to_string(i) + "]",
                sizeof(T) == 2 ? StateVar::Kind::Int16 : StateVar::Kind::Int32, &arr[i]);
        }
    }

  private:
    void Add(std::string name, StateVar::Kind kind, const void* field) {
        table_.names.push_back(std::move(name));
        table_.byName.emplace(table_.names.back(), table_.entries.size());
        table_.entries.push_back(
            {table_.names.back(), kind,
             static_cast<const char*>(field) - reinterpret_cast<const char*>(&model_)});
    }
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
    b.Flag("soundon", s.soundon);
    b.I16("numberofstars", s.numberofstars);
    b.I32("score", s.score);
    b.I32("gametime", s.gametime);
    b.I32("winscore", s.winscore);
    b.I32("nextwinscore", s.nextwinscore);
    b.I16("highscore", s.highscore);
    b.I32("bluepen", s.bluepen);
    b.I32("blackpen", s.blackpen);

    b.I16("x", s.x);
    b.I16("y", s.y);
    b.I16("crossx", s.crossx);
    b.I16("crossy", s.crossy);
    b.I16("crossxdelta", s.crossxdelta);
    b.I16("crossydelta", s.crossydelta);
    b.I16("deltax", s.deltax);
    b.I16("hintcount", s.hintcount);
    b.I16("hintsound", s.hintsound);
    b.Text("hinttext", s.hinttext);
    b.I16("photon1x", s.photon1x);
    b.I16("photon2x", s.photon2x);
    b.I16("photon3x", s.photon3x);
    b.I16("photon1y", s.photon1y);
    b.I16("photon2y", s.photon2y);
    b.I16("photon3y", s.photon3y);
    b.Flag("photonfire1", s.photonfire1);
    b.Flag("photonfire2", s.photonfire2);
    b.Flag("photonfire3", s.photonfire3);
    b.Flag("detonated1", s.detonated1);
    b.Flag("detonated2", s.detonated2);
    b.Flag("detonated3", s.detonated3);
    b.Flag("gamerunning", s.gamerunning);
    b.Flag("shieldsOn", s.shieldsOn);
    b.Flag("shieldsdestroyed", s.shieldsdestroyed);
    b.Flag("vessikshootsshields", s.vessikshootsshields);
    b.Flag("supervessik", s.supervessik);
    b.Flag("antimatter", s.antimatter);
    b.Flag("oddturn", s.oddturn);
    b.Flag("shipmoved", s.shipmoved);
    b.Flag("phaserhit", s.phaserhit);
    b.Flag("phaserrecharging", s.phaserrecharging);
    b.I32("zz", s.zz);
    b.Text("screenres", s.screenres);
    b.Flag("notrealunload", s.notrealunload);

    b.Array("starx", s.starx);
    b.Array("stary", s.stary);
    b.Array("starcolor", s.starcolor);
    b.I32("starindex", s.starindex);
    b.I32("flashindex", s.flashindex);
    b.I32("cubex", s.cubex);
    b.I32("cubey", s.cubey);
    b.I16("cubestep", s.cubestep);
    b.I16("cubeanger", s.cubeanger);
    b.I16("cubemode", s.cubemode);
    b.I32("chance", s.chance);
    b.I32("globex", s.globex);
    b.I32("globey", s.globey);
    b.I16("targetx", s.targetx);
    b.I16("targety", s.targety);
    b.Flag("phaserfiring", s.phaserfiring);
    b.I16("beamx1", s.beamx1);
    b.I16("beamy1", s.beamy1);
    b.I16("beamx2", s.beamx2);
    b.I16("beamy2", s.beamy2);
    b.I16("beamframes", s.beamframes);
    b.I16("rechargeframes", s.rechargeframes);
    b.Flag("blast1on", s.blast1on);
    b.Flag("blast2on", s.blast2on);
    b.Flag("blast3on", s.blast3on);
    b.I16("blast1x", s.blast1x);
    b.I16("blast1y", s.blast1y);
    b.I16("blast2x", s.blast2x);
    b.I16("blast2y", s.blast2y);
    b.I16("blast3x", s.blast3x);
    b.I16("blast3y", s.blast3y);
    b.I16("blast1frames", s.blast1frames);
    b.I16("blast2frames", s.blast2frames);
    b.I16("blast3frames", s.blast3frames);
    b.I16("clockframes", s.clockframes);
    b.I32("screenwidth", s.screenwidth);
    b.I32("screenheight", s.screenheight);
    b.I16("modesteps", s.modesteps);
    b.I16("holdsteps", s.holdsteps);
    b.I16("retreatsteps", s.retreatsteps);
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
