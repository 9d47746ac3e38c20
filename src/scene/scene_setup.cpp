// scene_setup.cpp -- the scene's globals and their set-up.
#include "common/gl_api.h"
#include "scene/scene.h"
#include "terrain/terrain.h"

uint32_t shadowTexture = 0;
uint32_t smokeTexture = 0;
float lightPosition[4] = {0.0f, 40.0f, 0.0f, 1.0f};
float lightAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
float lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void setUpScene(int32_t filter) {
    buildTerrain(&terrain, filter);
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);
}

void drawLandscapePreview() {
    glPushMatrix();
    glRotatef(12.0f, 1, 0, 0);
    glTranslatef(0.0f, -3.0f, -8.0f);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    drawTerrain(&terrain);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
