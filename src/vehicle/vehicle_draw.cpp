// vehicle_draw.cpp -- a vehicle from its display lists: body on four wheels.
#include "common/gl_api.h"
#include "vehicle/vehicle.h"

void drawVehicle(const VehicleModel& model, const float* steerAngles, const float* spinAngles) {
    // Texels with zero alpha (the windscreen's glass) are cut away.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    glPushMatrix();
    // The model's wheel centres are at height 0: raise the body onto its wheels.
    glTranslatef(0, model.wheelRadius, 0);
    glCallList(model.bodyList);
    glColor3f(1, 1, 1);

    // The second side's wheels are turned half round so the same face of the
    // wheel shows outward; that turn reverses their spin.
    glPushMatrix();
    glTranslatef(model.wheelX[0], 0, model.wheelZ[0]);
    glRotatef(-steerAngles[0], 0, 1, 0);
    glRotatef(-spinAngles[0], 1, 0, 0);
    glCallList(model.wheelList);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(model.wheelX[1], 0, model.wheelZ[0]);
    glRotatef(180, 0, 1, 0);
    glRotatef(-steerAngles[1], 0, 1, 0);
    glRotatef(spinAngles[1], 1, 0, 0);
    glCallList(model.wheelList);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(model.wheelX[0], 0, model.wheelZ[1]);
    glRotatef(-spinAngles[2], 1, 0, 0);
    glCallList(model.wheelList);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(model.wheelX[1], 0, model.wheelZ[1]);
    glRotatef(180, 0, 1, 0);
    glRotatef(spinAngles[3], 1, 0, 0);
    glCallList(model.wheelList);
    glPopMatrix();

    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
}
