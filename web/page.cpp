// The calls into the page, as JavaScript bodies run by the browser. Everything here is a
// thin hand-over to window.korvanePage (page.js), which owns the DOM.

#include "page.h"

#include <emscripten.h>

#include <memory>

#include "buttons.h"

// clang-format off
EM_JS(int, korvane_event_length, (), { return Module.korvanePage.nextEventLength(); });
EM_JS(void, korvane_take_event, (char* window, char* text, int capacity), {
    const e = Module.korvanePage.takeEvent();
    stringToUTF8(e.window, window, capacity);
    stringToUTF8(e.text, text, capacity);
});
EM_JS(void, korvane_wait, (double ms, int wakeOnEvent), {
    Asyncify.handleSleep(function(wakeUp) { Module.korvanePage.sleep(ms, !!wakeOnEvent, wakeUp); });
});
EM_JS(void, korvane_define_text, (const char* name, const char* text), {
    Module.korvanePage.texts[UTF8ToString(name)] = UTF8ToString(text);
});
EM_JS(void, korvane_define_button, (const char* name, const char* caption, int left, int top,
                                    int width, int height, int playControl), {
    Module.korvanePage.defineButton(UTF8ToString(name), UTF8ToString(caption),
                                    [left, top, width, height], !!playControl);
});
EM_JS(void, korvane_define_key, (int code), { Module.korvanePage.defineKey(code); });
EM_JS(void, korvane_define_sound, (int id, const unsigned char* bytes, int size), {
    Module.korvanePage.defineSound(id, HEAPU8.slice(bytes, bytes + size));
});
EM_JS(void, korvane_attach_viewscreen, (const uint32_t* pixels), {
    Module.korvanePage.attachViewscreen(HEAPU32, pixels >> 2);
});
EM_JS(void, korvane_mark_dirty, (), { Module.korvanePage.markViewscreenDirty(); });
EM_JS(void, korvane_draw_now, (), { Module.korvanePage.drawViewscreen(); });
EM_JS(void, korvane_open_window, (const char* name, const char* caption, const char* message), {
    Module.korvanePage.openWindow(UTF8ToString(name), UTF8ToString(caption), UTF8ToString(message));
});
EM_JS(void, korvane_close_window, (), { Module.korvanePage.closeWindow(); });
EM_JS(void, korvane_set_text, (const char* id, const char* text), {
    Module.korvanePage.setText(UTF8ToString(id), UTF8ToString(text));
});
EM_JS(void, korvane_set_enabled, (const char* id, int enabled), {
    Module.korvanePage.setEnabled(UTF8ToString(id), !!enabled);
});
EM_JS(void, korvane_set_checked, (const char* id, int checked), {
    Module.korvanePage.setChecked(UTF8ToString(id), !!checked);
});
EM_JS(void, korvane_set_scroll, (int value), { Module.korvanePage.setScrollValue(value); });
EM_JS(void, korvane_set_play_controls, (int enabled), {
    Module.korvanePage.setPlayControlsEnabled(!!enabled);
});
EM_JS(void, korvane_reset_main_window, (), { Module.korvanePage.resetMainWindow(); });
EM_JS(void, korvane_focus, (const char* id), { Module.korvanePage.focus(UTF8ToString(id)); });
EM_JS(int, korvane_screen_width, (), { return screen.width | 0; });
EM_JS(int, korvane_screen_height, (), { return screen.height | 0; });
EM_JS(double, korvane_play_sound, (int id), { return Module.korvanePage.playSound(id); });
EM_JS(void, korvane_record, (const char* line), { Module.korvanePage.record(UTF8ToString(line)); });
EM_JS(void, korvane_game_recorded, (), { Module.korvanePage.gameRecorded(); });
EM_JS(void, korvane_ready, (), { Module.korvanePage.ready(); });
EM_JS(void, korvane_ended, (), { Module.korvanePage.ended(); });
// clang-format on

namespace korvane::page {

bool TakeEvent(std::string& window, std::string& text) {
    // Room for the longer of the two in UTF-8 (up to 3 bytes a UTF-16 unit) and the nul.
    const int length = korvane_event_length();
    if (length < 0) return false;
    const int capacity = 3 * length + 1;
    const auto windowBytes = std::make_unique<char[]>(capacity);
    const auto textBytes = std::make_unique<char[]>(capacity);
    korvane_take_event(windowBytes.get(), textBytes.get(), capacity);
    window = windowBytes.get();
    text = textBytes.get();
    return true;
}

void Wait(double ms, bool wakeOnEvent) {
    korvane_wait(ms, wakeOnEvent ? 1 : 0);
}
double NowMillis() {
    return emscripten_get_now();
}
void DefineText(const char* name, const char* text) {
    korvane_define_text(name, text);
}
void DefineButton(const ButtonInfo& button) {
    const auto& [left, top, width, height] = button.box;
    korvane_define_button(button.name, button.caption, left, top, width, height,
                          button.playControl ? 1 : 0);
}
void DefineKey(int code) {
    korvane_define_key(code);
}
void DefineSound(int id, const unsigned char* bytes, std::size_t size) {
    korvane_define_sound(id, bytes, static_cast<int>(size));
}
void AttachViewscreen(const uint32_t* pixels) {
    korvane_attach_viewscreen(pixels);
}
void MarkViewscreenDirty() {
    korvane_mark_dirty();
}
void DrawViewscreenNow() {
    korvane_draw_now();
}
void OpenWindow(const char* name, const char* caption, const char* message) {
    korvane_open_window(name, caption, message);
}
void CloseWindow() {
    korvane_close_window();
}
void SetText(const char* id, const char* text) {
    korvane_set_text(id, text);
}
void SetEnabled(const char* id, bool enabled) {
    korvane_set_enabled(id, enabled ? 1 : 0);
}
void SetChecked(const char* id, bool checked) {
    korvane_set_checked(id, checked ? 1 : 0);
}
void SetScrollValue(int value) {
    korvane_set_scroll(value);
}
void SetPlayControlsEnabled(bool enabled) {
    korvane_set_play_controls(enabled ? 1 : 0);
}
void ResetMainWindow() {
    korvane_reset_main_window();
}
void Focus(const char* id) {
    korvane_focus(id);
}
int ScreenWidth() {
    return korvane_screen_width();
}
int ScreenHeight() {
    return korvane_screen_height();
}
double PlaySound(int id) {
    return korvane_play_sound(id);
}
void Record(const char* line) {
    korvane_record(line);
}
void GameRecorded() {
    korvane_game_recorded();
}
void Ready() {
    korvane_ready();
}
void Ended() {
    korvane_ended();
}

}  // namespace korvane::page
