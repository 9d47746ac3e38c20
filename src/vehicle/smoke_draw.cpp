// smoke_draw.cpp -- the puffs as camera-facing squares that fade and turn as they age.
#include "render/render.h"
#include "render/gl_state.h"
#include "vehicle/smoke.h"

void drawSmoke(const SmokeSystem& smoke, uint32_t texture, float pitch, float yaw, float roll, bool skipUnseen) {
    // A puff's square reaches 0.71 from its centre; what lies wholly outside
    // the view (most of a driver's smoke is behind the seat) is not sent.
    // (An empty volume leaves nothing out.)
    const ViewVolume view = skipUnseen ? currentViewVolume() : ViewVolume{};
    bindTexture(texture);
    // The destination factor is the frame buffer's alpha, which reads as one:
    // the puffs brighten what lies behind them.
    enable(Feature::blend);
    blendFunction(Blend::sourceAlpha, Blend::destinationAlpha);
    enable(Feature::alphaTest);
    alphaTest(AlphaPass::aboveZero);
    for (const SmokeParticle& p : smoke.particles) {
        const float centre[3] = {p.x, p.y, p.z};
        if (p.life == 0 || sphereOutsideView(view, centre, 1.0f)) {
            continue; // a free slot (alpha 0: the alpha test would drop all of it), or unseen
        }
        pushMatrix();
        colour(1, 1, 1, smokeAlpha(p.life));
        translate(p.x, p.y, p.z);
        rotate(yaw, 0, 1, 0);
        rotate(pitch, 1, 0, 0);
        rotate(roll, 0, 0, 1);
        rotate(2 * p.life, 0, 0, 1);
        begin(Primitive::quads);
        normal(0, 0.5f, 0);
        texCoord(0, 0);
        vertex(-0.5f, -0.5f, 0);
        texCoord(1, 0);
        vertex(0.5f, -0.5f, 0);
        texCoord(1, 1);
        vertex(0.5f, 0.5f, 0);
        texCoord(0, 1);
        vertex(-0.5f, 0.5f, 0);
        end();
        popMatrix();
    }
    disable(Feature::alphaTest);
    disable(Feature::blend);
}
