// smoke_draw.cpp -- the puffs as camera-facing squares that fade and turn as they age.
#include "common/gl_api.h"
#include "render/gl_state.h"
#include "vehicle/smoke.h"

void drawSmoke(const SmokeSystem& smoke, uint32_t texture, float pitch, float yaw, float roll, bool skipUnseen) {
    // A puff's square reaches 0.71 from its centre; what lies wholly outside
    // the view (most of a driver's smoke is behind the seat) is not sent.
    // (An empty volume leaves nothing out.)
    const ViewVolume view = skipUnseen ? currentViewVolume() : ViewVolume{};
    glBindTexture(GL_TEXTURE_2D, texture);
    // The destination factor is the frame buffer's alpha, which reads as one:
    // the puffs brighten what lies behind them.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    for (const SmokeParticle& p : smoke.particles) {
        const float centre[3] = {p.x, p.y, p.z};
        if (p.life == 0 || sphereOutsideView(view, centre, 1.0f)) {
            continue; // a free slot (alpha 0: the alpha test would drop all of it), or unseen
        }
        glPushMatrix();
        glColor4f(1, 1, 1, smokeAlpha(p.life));
        glTranslatef(p.x, p.y, p.z);
        glRotatef(yaw, 0, 1, 0);
        glRotatef(pitch, 1, 0, 0);
        glRotatef(roll, 0, 0, 1);
        glRotatef(2 * p.life, 0, 0, 1);
        glBegin(GL_QUADS);
        glNormal3f(0, 0.5f, 0);
        glTexCoord2f(0, 0);
        glVertex3f(-0.5f, -0.5f, 0);
        glTexCoord2f(1, 0);
        glVertex3f(0.5f, -0.5f, 0);
        glTexCoord2f(1, 1);
        glVertex3f(0.5f, 0.5f, 0);
        glTexCoord2f(0, 1);
        glVertex3f(-0.5f, 0.5f, 0);
        glEnd();
        glPopMatrix();
    }
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}
