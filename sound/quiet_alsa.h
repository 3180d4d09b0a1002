#pragma once

namespace korvane::sound {

// ALSA writes its complaints (no sound card, an underrun) straight to the terminal. The
// game reports nothing about its sound, so while the player uses audio those complaints
// are dropped. A system without ALSA is left alone.
void SilenceAlsaMessages();
void RestoreAlsaMessages();

}  // namespace korvane::sound
