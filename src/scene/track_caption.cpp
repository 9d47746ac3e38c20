// track_caption.cpp -- a new track's name across the middle of each view.
#include <algorithm>

#include "render/render.h"
#include "render/big_text.h"
#include "render/gl_state.h"
#include "scene/scene.h"

void drawTrackCaption(const TrackCaption& caption, WindowSize window, int32_t x, int32_t y, int32_t viewWidth, int32_t viewHeight) {
    if (caption.seconds <= 0 || caption.text[0] == '\0') {
        return;
    }
    // The overlay spreads the window's units over the view.
    viewport(x, y, viewWidth, viewHeight);
    const float width = static_cast<float>(window.width), height = static_cast<float>(window.height);
    // As large as the countdown's half, smaller where a long name would not fit.
    BigGlyph glyphs[bigTextCapacity];
    const float characters = static_cast<float>(bigTextGlyphs(caption.text, glyphs, bigTextCapacity));
    const float dot = std::min(height / 80, width * 0.9f / (6 * characters));
    beginOverlay2D(window);
    disable(Feature::depthTest);
    colour(0, 0, 0); // a shadow, for bright ground
    drawBigText(width / 2 + dot * 0.4f, height * 0.3f + dot * 0.4f, dot, caption.text);
    colour(1, 0.9f, 0.3f);
    drawBigText(width / 2, height * 0.3f, dot, caption.text);
    enable(Feature::depthTest);
    applyPerspective(window);
}
