#include "winning_player.h"

#include <cstdlib>

#include "game.h"
#include "scripted_shell.h"

namespace korvane::testing {

namespace {

class WinningShell : public script::ScriptedShell {
  public:
    WinningShell(uint64_t seed, std::string& log)
        : ScriptedShell(script::ParseScript("seed " + std::to_string(seed) +
                                            "\nscreensize 1024x768\nstars 0\nclick cmdStart\n"),
                        {}, log, log) {}
    std::string lines;

  protected:
    // The player looks at the game in each frame's yield; what it gives runs right after.
    Task HandleEvents() override {
        const GameState& s = game().state();
        if (!s.gamerunning) return {};
        const int64_t f = frame();
        const bool shotAt = s.vessikshootsshields && ((s.cubey >= 92 && s.cubey <= 104) ||
                                                      (s.cubey >= 192 && s.cubey <= 204) ||
                                                      (s.cubey >= 292 && s.cubey <= 304));
        const bool globeNear = s.antimatter && s.globey > s.y - 90;
        const bool shields = !s.shieldsdestroyed && (!shotAt || globeNear);
        if (f > 1 && shields != s.shieldsOn && f >= nextShields_) {
            Say("keyup 83");
            nextShields_ = f + 3;
        }
        if (f % 40 == 0)
            Say("mouseup 1 " + std::to_string(s.cubex + 50) + " " + std::to_string(s.cubey + 60));
        if (f % 3 == 0 && !s.phaserrecharging) Say("keyup 17");
        if (f % 4 == 0 && !(s.photonfire1 && s.photonfire2 && s.photonfire3)) Say("keyup 32");
        Steer(s);
        return {};
    }

  private:
    void Steer(const GameState& s) {
        const int off = (s.x + 6) - (s.cubex + 50);
        int want = off < -6 ? 1 : off > 6 ? -1 : 0;
        // A cube this low comes for the ship: keep out from under it.
        if (s.cubey >= 230) want = std::abs(off) > 70 ? 0 : off >= 0 ? 1 : -1;
        if (s.antimatter && !s.shieldsOn && s.globey > s.y - 200) {
            want = s.x + 6 < s.globex ? -1 : 1;
            if (s.x < 80) want = 1;
            if (s.x > 550) want = -1;
        }
        if (want == heading_) return;
        heading_ = want;
        Say(want > 0 ? "keyup 67" : want < 0 ? "keyup 90" : "keyup 88");
    }
    void Say(const std::string& command) {
        lines += "at " + std::to_string(frame()) + " " + command + "\n";
        Give(*ReadLine(command));
    }

    int heading_ = 0;
    int64_t nextShields_ = 0;
};

}  // namespace

std::optional<std::string> WinningLines(uint64_t seed) {
    std::string log;
    WinningShell shell(seed, log);
    Game game(shell);
    shell.AttachGame(game);
    game.Main();
    shell.RunIdleLines();
    if (log.find("dialog frmUWin") == std::string::npos) return std::nullopt;
    return shell.lines;
}

}  // namespace korvane::testing
