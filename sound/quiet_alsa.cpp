#include "quiet_alsa.h"

#include <dlfcn.h>

namespace korvane::sound {

namespace {

// The shapes of ALSA's snd_lib_error_handler_t and snd_lib_error_set_handler, looked up
// at run time so that the game neither needs ALSA's headers nor fails without ALSA.
using ErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                              const char* format, ...);
using SetErrorHandler = int (*)(ErrorHandler handler);

void DropMessage(const char*, int, const char*, int, const char*, ...) {}

void* alsa = nullptr;

SetErrorHandler FindSetter() {
    if (alsa == nullptr) alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (alsa == nullptr) return nullptr;
    return reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
}

}  // namespace

void SilenceAlsaMessages() {
    if (SetErrorHandler set = FindSetter()) set(DropMessage);
}

void RestoreAlsaMessages() {
    if (alsa == nullptr) return;
    // A null handler puts ALSA's own back.
    if (auto set = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) {
        set(nullptr);
    }
    dlclose(alsa);
    alsa = nullptr;
}

}  // namespace korvane::sound
