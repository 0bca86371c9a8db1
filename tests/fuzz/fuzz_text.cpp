// The game's text layout on random text, sizes, angles and alignments: it never writes past
// the draw list, every glyph it draws comes from the font slot asked for and a frame the
// font has, and every position stays finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include "fuzz_support.h"
#include "game/c_MyApp.h"
#include "game/c_MyApp_commands.h"
#include "runtime/kp_headless_game.h"

namespace {

constexpr int kFontSlot = 90;
constexpr int kLastGlyph = 127;

c_MyApp* application() {
    static KpHeadlessGame host(640, 480);
    static c_MyApp* app = [] {
        kpInit();
        auto* made = new c_MyApp();
        made->m_font = kFontSlot;
        made->m_fontMetrics[kFontSlot * 3] = 7;      // advance
        made->m_fontMetrics[kFontSlot * 3 + 1] = 10; // line height
        return made;
    }();
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    c_MyApp* app = application();
    app->m_drawCount = 0;
    app->m_iconStyle = in.ConsumeIntegralInRange(0, 1);
    app->p_SetRot(in.ConsumeFloatingPointInRange(-720.0f, 720.0f));
    const float scale = in.ConsumeFloatingPointInRange(0.25f, 4.0f);
    app->p_SetSize(scale, scale);
    const float x = in.ConsumeFloatingPointInRange(-1000.0f, 1000.0f);
    const float y = in.ConsumeFloatingPointInRange(-1000.0f, 1000.0f);
    const float alignX = static_cast<float>(in.ConsumeIntegralInRange(0, 2));
    const float alignY = static_cast<float>(in.ConsumeIntegralInRange(0, 2));
    const int offset = in.ConsumeIntegralInRange(0, 3);
    String text;
    while (in.remaining_bytes() >= 2) text.push_back(in.ConsumeIntegral<char16_t>());

    app->p_Text(x, y, text, alignX, alignY, offset);

    expect(app->m_drawCount >= 0 && app->m_drawCount <= kDrawFloats);
    for (int i = 0; i + kDrawStride <= app->m_drawCount; i += kDrawStride) {
        const float* c = &app->m_drawList[i];
        expect(static_cast<int>(c[bt3::kSlotKind]) == kFontSlot + offset);
        const int frame = static_cast<int>(c[bt3::kSlotFrame]);
        expect(frame >= 1 && frame <= kLastGlyph);
        expect(std::isfinite(c[bt3::kSlotX]) && std::isfinite(c[bt3::kSlotY]));
    }
    return 0;
}
