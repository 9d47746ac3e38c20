// preview.cpp -- until the views exist: a camera behind the followed vehicle.
#include "app/app_state.h"
#include "common/gl_api.h"
#include "scene/scene.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

void drawLandscapePreview() {
    const Vehicle& followed = vehicles[followedVehicle % vehicleCount];
    glPushMatrix();
    glRotatef(12.0f, 1, 0, 0);
    glTranslatef(0.0f, -3.5f, -9.0f);
    glRotatef(-followed.heading, 0, 1, 0);
    glTranslatef(-followed.position[0], -followed.position[1], -followed.position[2]);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    drawTerrain(&terrain);
    for (const Vehicle& v : vehicles) {
        glPushMatrix();
        glTranslatef(v.position[0], v.position[1], v.position[2]);
        glRotatef(v.heading, 0, 1, 0);
        glRotatef(v.pitch, 1, 0, 0);
        glRotatef(v.roll, 0, 0, 1);
        glTranslatef(0, 0, -v.model.wheelZ[1]);
        glColor3f(v.colour[0], v.colour[1], v.colour[2]);
        drawVehicle(v.model, v.wheelSteer, v.wheelSpin);
        glPopMatrix();
    }
    drawSmoke(12.0f, followed.heading, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
