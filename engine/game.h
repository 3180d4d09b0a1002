#pragma once
// The main window's game: its state, its viewscreen, the start/stop command with its frame
// loop, every phase of a frame and every command handler that serves play. It reaches the
// window system only through the Shell.

#include <cstdint>
#include <string>

#include "game_state.h"
#include "outcome_dialog.h"
#include "random.h"
#include "shell.h"
#include "sprites.h"
#include "surface.h"

namespace korvane {

// Why the main window is being unloaded.
enum class UnloadReason { ByUser, ByProgram, BySystem };

// The variables of one torpedo slot, by reference.
struct TorpedoSlot {
    int16_t& photonx;
    int16_t& photony;
    bool& photonfire;
    bool& detonated;
    bool& blaston;
    int16_t& blastx;
    int16_t& blasty;
    int16_t& blastframes;
};

constexpr int kMinScreenWidth = 800;
constexpr int kMinScreenHeight = 600;
constexpr int kDefaultWinscore = 499;
constexpr int16_t kNoTarget = -100;

class Game {
  public:
    explicit Game(Shell& shell);

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }
    Shell& shell() { return shell_; }
    Random& random() { return random_; }

    // --- Start-up and the main window -------------------------------------------------
    void Main();
    void Form_Load();
    void Form_QueryUnload(UnloadReason reason);
    void cmdExit_Click();
    void EnablePlayControls();
    void DisablePlayControls();

    // --- Start/stop and the frame loop --------------------------------------------------
    void cmdStart_Click();
    // One frame after its yield: phases 2 to 21 in order.
    void RunFramePhases();
    void Teardown();

    // --- Frame phases, in frame order ---------------------------------------------------
    void MinimisedWindowStop();  // 2
    void PhaserBeamLifetime();   // 3
    void ExplosionMarkers();     // 4
    void PhaserRecharge();       // 5
    void FlipOddTurn();          // 6
    void StarField();            // 7
    void GameClock();            // 8
    void CubePhase();            // 9
    void Absorption();           // 10
    void AntimatterLaunch();     // 11
    void AntimatterGlobe();      // 12
    void CrosshairPhase();       // 13
    void ShotAtShields();        // 14
    void SuperEnergyWeapon();    // 15
    void MoveTorpedo(int slot);  // 16, 17, 18
    void ShipRepaint();          // 19
    void ShipMove();             // 20
    void WinTest();              // 21

    // --- Shared commands ----------------------------------------------------------------
    void FirePhasers();
    void LaunchTorpedo();
    void ToggleShields();
    void OwnTorpedoDefeat();
    void UpdateHighScore();
    void WinGame();
    void PlaySoundResource(int soundid, int playflags = 6);
    // Every sound of play: only with sound on, never waiting for it.
    void PlaySoundIfOn(int soundid);
    // Sets a read-out's text (what a text box assignment does).
    void ShowText(Readout which, const std::string& text);
    void ShowScore();

    // Steering a direction d toward s (-1 or +1), and dropping a pending crosshair target.
    static void Steer(int16_t& d, int s);
    void ApplyTargetRule();

    // --- Button handlers of the main window that serve play ---------------------------
    void cmdSound_Click();
    void cmdPhaser_Click();
    void cmdPhoton_Click();
    void cmdShields_Click();
    void cmdLeft_Click();
    void cmdRight_Click();
    void cmdStop_Click();
    void cmdXhairup_Click();
    void cmdXhairdown_Click();
    void cmdXhairleft_Click();
    void cmdXhairright_Click();
    void cmdStopCrosshair_Click();

    // --- Sprite procedures and figures ---------------------------------------------------
    void DrawHalcyra();
    void EraseHalcyra();
    void DrawTorpedoX(int px, int py);
    void DrawTorpedoPlus(int px, int py);
    void EraseTorpedo(int px, int py);
    void DrawCrosshairs();
    void EraseCrosshairs();
    void DrawPhaserBeam();
    void ErasePhaserBeam();
    // The shield ellipse around the ship in the selected pen.
    void DrawShieldEllipse();

    TorpedoSlot Slot(int n);

  private:
    // Ending a game with an outcome dialog: the steps shared by the defeats.
    void ShowOutcome(OutcomeKind kind);
    void ResetMainWindow();
    void RunStartBranch();
    void RunStopBranch();
    void RunFrameLoop();

    Shell& shell_;
    GameState state_;
    Surface surface_;
    const Sprites& sprites_;
    Random random_;
    // The read-outs of score and time stay empty until Main has given them values.
    bool readoutsHaveValues_ = false;
};

}  // namespace korvane
