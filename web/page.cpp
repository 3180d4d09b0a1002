// The calls into the page, as JavaScript bodies run by the browser. Everything here is a
// thin hand-over to window.korvanePage (page.js), which owns the DOM.

#include "page.h"

#include <emscripten.h>

#include <memory>
#include <string_view>
#include <vector>

#include "buttons.h"
#include "game_state.h"
#include "vessik_picture.h"
#include "window_descriptions.h"

// clang-format off
EM_JS(int, korvane_event_length, (), { return Module.korvanePage.nextEventLength(); });
EM_JS(void, korvane_take_event, (char* window, char* text, int capacity), {
    const e = Module.korvanePage.takeEvent();
    stringToUTF8(e.window, window, capacity);
    stringToUTF8(e.text, text, capacity);
});
EM_JS(void, korvane_sleep, (double ms, int wakeOnEvent), {
    Module.korvanePage.sleep(ms, !!wakeOnEvent, () => Module._korvane_step());
});
EM_JS(void, korvane_define_window, (const char* name, const char* caption, int width,
                                    int height, const char* focus), {
    Module.korvanePage.defineWindow(UTF8ToString(name), UTF8ToString(caption), [width, height],
                                    UTF8ToString(focus));
});
EM_JS(void, korvane_define_control, (const char* window, const char* name, const char* kind,
                                     int left, int top, int width, int height, const char* text,
                                     int low, int high), {
    Module.korvanePage.defineControl(UTF8ToString(window), {
        id: UTF8ToString(name), kind: UTF8ToString(kind), box: [left, top, width, height],
        text: UTF8ToString(text), low, high});
});
EM_JS(void, korvane_define_picture, (const char* name, const uint32_t* pixels, int width,
                                     int height), {
    Module.korvanePage.definePicture(UTF8ToString(name), width, height,
                                     HEAPU32.slice(pixels >> 2, (pixels >> 2) + width * height));
});
EM_JS(void, DefineKey, (int code), { Module.korvanePage.defineKey(code); });
EM_JS(void, DefinePad, (int buttons, int left, int right, int up, int down), {
    Module.korvanePage.definePad({buttons, stick: [[left, right], [up, down]]});
});
EM_JS(void, DefinePadControl, (int control, const char* line, int dialogKey), {
    Module.korvanePage.definePadControl(control, UTF8ToString(line), dialogKey);
});
EM_JS(void, DefineSound, (int id, const unsigned char* bytes, int size), {
    Module.korvanePage.defineSound(id, HEAPU8.slice(bytes, bytes + size));
});
EM_JS(void, AttachViewscreen, (const uint32_t* pixels), {
    Module.korvanePage.attachViewscreen(HEAPU32, pixels >> 2);
});
EM_JS(void, MarkViewscreenDirty, (), { Module.korvanePage.markViewscreenDirty(); });
EM_JS(void, DrawViewscreenNow, (), { Module.korvanePage.drawViewscreen(); });
EM_JS(void, OpenWindow, (const char* name, const char* message), {
    Module.korvanePage.openWindow(UTF8ToString(name), UTF8ToString(message));
});
EM_JS(void, CloseWindow, (), { Module.korvanePage.closeWindow(); });
EM_JS(void, SetText, (const char* id, const char* text), {
    Module.korvanePage.setText(UTF8ToString(id), UTF8ToString(text));
});
EM_JS(void, SetEnabled, (const char* id, int enabled), {
    Module.korvanePage.setEnabled(UTF8ToString(id), !!enabled);
});
EM_JS(void, SetChecked, (const char* id, int checked), {
    Module.korvanePage.setChecked(UTF8ToString(id), !!checked);
});
EM_JS(void, SetScrollValue, (int value), { Module.korvanePage.setScrollValue(value); });
EM_JS(void, SetPlayControlsEnabled, (int enabled), {
    Module.korvanePage.setPlayControlsEnabled(!!enabled);
});
EM_JS(void, ResetMainWindow, (), { Module.korvanePage.resetMainWindow(); });
EM_JS(void, Focus, (const char* id), { Module.korvanePage.focus(UTF8ToString(id)); });
EM_JS(int, ScreenWidth, (), { return Module.korvanePage.screenPixels()[0]; });
EM_JS(int, ScreenHeight, (), { return Module.korvanePage.screenPixels()[1]; });
EM_JS(double, PlaySound, (int id), { return Module.korvanePage.playSound(id); });
EM_JS(void, Record, (const char* line), { Module.korvanePage.record(UTF8ToString(line)); });
EM_JS(void, GameRecorded, (), { Module.korvanePage.gameRecorded(); });
EM_JS(void, Ready, (), { Module.korvanePage.ready(); });
EM_JS(void, Ended, (), { Module.korvanePage.ended(); });
EM_JS(void, WatchEnded, (), { Module.korvanePage.watchEnded(); });
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

void Sleep(double ms, bool wakeOnEvent) {
    korvane_sleep(ms, wakeOnEvent ? 1 : 0);
}
double NowMillis() {
    return emscripten_get_now();
}
void DefineWindows() {
    const std::vector<Color> picture = VessikPicture();
    korvane_define_picture("picVessikWin", picture.data(), kVessikPictureWidth,
                           kVessikPictureHeight);
    for (const WindowInfo& w : kWindows) {
        korvane_define_window(w.name, w.caption, w.width, w.height, w.focus);
        for (const ControlInfo& c : w.controls) {
            // The main window's buttons from the table: `low` marks a play control, disabled
            // until a game runs.
            for (const ButtonInfo* b = FindButton(c.name);
                 c.kind == ControlKind::TableButtons && b <= FindButton(c.text); ++b) {
                const auto& [left, top, width, height] = b->box;
                korvane_define_control(w.name, b->name, "button", left, top, width, height,
                                       b->caption, b->playControl ? 1 : 0, 0);
            }
            if (c.kind == ControlKind::TableButtons) continue;
            const auto& [left, top, width, height] = c.box;
            korvane_define_control(w.name, c.name, KindName(c.kind), left, top, width, height,
                                   c.text, c.low, c.high);
        }
    }
}

}  // namespace korvane::page
