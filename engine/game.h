#pragma once
// The main window's game: its state, its viewscreen, the start/stop command with its frame
// loop, every phase of a frame and every command handler that serves play. It reaches the
// window system only through the Shell.

#include <cstdint>
#include <string>

#include "game_state.h"
#include "outcome_dialog_rules.h"
#include "random.h"
#include "shell.h"
#include "sound_ids.h"
#include "sprites.h"
#include "star_field.h"
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
    // Ends the program unless the unload is the reload of a game start.
    Task Form_QueryUnload(UnloadReason reason);
    // The main window was minimised or restored: a running game sees it in its next frame.
    void Form_Resize(bool minimised);
    Task cmdExit_Click();

    // --- Start/stop and the frame loop --------------------------------------------------
    Task cmdStart_Click();
    // One frame after its yield: phases 2 to 21 in order.
    Task RunFramePhases();
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
    Task Absorption();           // 10
    void AntimatterLaunch();     // 11
    Task AntimatterGlobe();      // 12
    void CrosshairPhase();       // 13
    Task ShotAtShields();        // 14
    Task SuperEnergyWeapon();    // 15
    Task MoveTorpedo(int slot);  // 16, 17, 18
    void ShipRepaint();          // 19
    void ShipMove();             // 20
    Task WinTest();              // 21

    // --- Shared commands ----------------------------------------------------------------
    void FirePhasers();
    void LaunchTorpedo();
    void ToggleShields();
    Task OwnTorpedoDefeat();
    void UpdateHighScore();
    // The score as a game ends: redrawn at once, and the high score if it is beaten.
    void ShowFinalScore();
    Task WinGame();
    void PlaySoundResource(int soundid, int playflags);
    // Every sound of play: only with sound on, never waiting for it.
    void PlaySoundIfOn(int soundid);
    // Sets a read-out's text (what a text box assignment does).
    void ShowText(Readout which, const std::string& text);
    void ShowScore();

    // --- The player's commands: a button and its key call the same one ---------------
    void ToggleSound();
    // The phasers fire at the crosshairs unless they are recharging.
    void FireAtCrosshairs();
    void SteerShip(int s);
    void StopShip();
    // Steers the crosshairs along x by dx and along y by dy (-1, 0 or +1).
    void SteerCrosshairs(int dx, int dy);
    void StopCrosshairs();
    // The next hint of the rotation, with its sound; returns when the player has closed it.
    // The H key (byKey) also keeps it in the game state.
    Task ShowNextHint(bool byKey);
    // The help sound and the About box.
    Task ShowHelp();

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
    // Steering a direction d toward s (-1 or +1), and dropping a pending crosshair target.
    static void Steer(int16_t& d, int s);
    void ApplyTargetRule();
    // Ending a game with an outcome dialog: the viewscreen is shown as it stands, the
    // dialog opens, and once it has closed the game is over.
    Task ShowOutcome(OutcomeKind kind);
    // The game is over: the frame loop ends and the play controls are switched off.
    void StopPlay();
    Task ResetMainWindow();
    Task RunStartBranch();
    void RunStopBranch();
    Task RunFrameLoop();

    Shell& shell_;
    GameState state_;
    Surface surface_;
    const Sprites& sprites_;
    Random random_;
    StarOffsets starOffsets_;
    // The read-outs of score and time stay empty until Main has given them values.
    bool readoutsHaveValues_ = false;
};

}  // namespace korvane
