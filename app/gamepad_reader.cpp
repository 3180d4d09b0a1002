#include "gamepad_reader.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <utility>

namespace korvane {

namespace {

constexpr int kPollMillis = 16;
// How long a change of the input devices keeps the reader looking for a new pad: the system
// may take a moment to make a freshly plugged pad readable.
constexpr int kLookMillis = 3000;

std::optional<pad::Control> ControlOfButton(int sdlButton) {
    static constexpr std::pair<int, pad::Control> kButtons[] = {
        {SDL_CONTROLLER_BUTTON_A, pad::kA},
        {SDL_CONTROLLER_BUTTON_B, pad::kB},
        {SDL_CONTROLLER_BUTTON_X, pad::kX},
        {SDL_CONTROLLER_BUTTON_Y, pad::kY},
        {SDL_CONTROLLER_BUTTON_BACK, pad::kBack},
        {SDL_CONTROLLER_BUTTON_GUIDE, pad::kHome},
        {SDL_CONTROLLER_BUTTON_START, pad::kStart},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, pad::kLeftStickPress},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, pad::kRightStickPress},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, pad::kLeftShoulder},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, pad::kRightShoulder},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, pad::kDpadUp},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, pad::kDpadDown},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, pad::kDpadLeft},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, pad::kDpadRight}};
    for (const auto& [button, control] : kButtons) {
        if (button == sdlButton) return control;
    }
    return std::nullopt;  // paddles, touchpads and the like
}

}  // namespace

GamepadReader::GamepadReader(Released released) : released_(std::move(released)) {
    // Left to itself SDL takes over SIGINT and SIGTERM. The face buttons go by where they
    // sit, not by what is printed on them: A is the bottom one on every pad.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    SDL_SetMainReady();
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!started_) return;

    pollTimer_.setInterval(kPollMillis);
    connect(&pollTimer_, &QTimer::timeout, this, &GamepadReader::Poll);
    if (devices_.addPath(QStringLiteral("/dev/input"))) {
        connect(&devices_, &QFileSystemWatcher::directoryChanged, this, &GamepadReader::Look);
    }
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenPad(i);
    if (!pads_.empty()) pollTimer_.start();
}

GamepadReader::~GamepadReader() {
    if (!started_) return;
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void GamepadReader::Look() {
    if (!started_) return;
    lookPolls_ = kLookMillis / kPollMillis;
    Poll();
    if (!pollTimer_.isActive()) pollTimer_.start();
}

void GamepadReader::OpenPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    const int id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || pads_.count(id) != 0) return;
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
        pads_.emplace(id, Pad{controller, {}});
    }
}

void GamepadReader::ClosePad(int instanceId) {
    const auto found = pads_.find(instanceId);
    if (found == pads_.end()) return;
    // Whatever was held down when the pad went is not released: pulling a pad gives no
    // command.
    SDL_GameControllerClose(found->second.controller);
    pads_.erase(found);
}

GamepadReader::Pad* GamepadReader::Attached(int instanceId) {
    const auto found = pads_.find(instanceId);
    if (found == pads_.end()) return nullptr;
    // A pad that has gone lets go of everything it held just before it says so; those are
    // not the player's releases.
    if (!SDL_GameControllerGetAttached(found->second.controller)) {
        found->second.state.Forget();
        return nullptr;
    }
    return &found->second;
}

void GamepadReader::Report(std::optional<pad::Control> released) {
    if (released) released_(*released);
}

void GamepadReader::Poll() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED:
                OpenPad(event.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                ClosePad(event.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP: {
                Pad* pad = Attached(event.cbutton.which);
                const auto control = ControlOfButton(event.cbutton.button);
                if (!pad || !control) break;
                Report(pad->state.SetButton(*control, event.cbutton.state == SDL_PRESSED ? 1 : 0));
                break;
            }
            case SDL_CONTROLLERAXISMOTION: {
                Pad* pad = Attached(event.caxis.which);
                if (!pad) break;
                const double value = std::max(-1.0, event.caxis.value / 32767.0);
                const int axis = event.caxis.axis;  // the right stick has no command
                if (axis == SDL_CONTROLLER_AXIS_LEFTX || axis == SDL_CONTROLLER_AXIS_LEFTY) {
                    Report(
                        pad->state.SetStickAxis(axis == SDL_CONTROLLER_AXIS_LEFTX ? 0 : 1, value));
                } else if (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT) {
                    Report(pad->state.SetButton(pad::kLeftTrigger, value));
                } else if (axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) {
                    Report(pad->state.SetButton(pad::kRightTrigger, value));
                }
                break;
            }
            default:
                break;  // everything else of SDL's, the audio devices' comings and goings too
        }
    }
    if (!pads_.empty()) return;
    if (lookPolls_ > 0) {
        --lookPolls_;
    } else {
        pollTimer_.stop();
    }
}

}  // namespace korvane
