// vehicle_draw.cpp -- a vehicle from its display lists: body on four wheels.
#include <cmath>

#include "common/gl_api.h"
#include "render/gl_state.h"
#include "vehicle/vehicle.h"

void drawVehicle(const VehicleModel& model, const float* steerAngles, const float* spinAngles, bool skipUnseen) {
    // Texels with zero alpha (the windscreen's glass) are cut away.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    glPushMatrix();
    // The model's wheel centres are at height 0: raise the body onto its wheels.
    glTranslatef(0, model.wheelRadius, 0);
    // A body or wheel wholly outside the view is not sent (a driver's own rear
    // wheels are behind the seat); 0.1 more than their reach is left to spare.
    const ViewVolume view = skipUnseen ? currentViewVolume() : ViewVolume{}; // empty: nothing left out
    const auto unseen = [&](const float centre[3], float reach) { return sphereOutsideView(view, centre, reach + 0.1f); };
    const float wheelReach = std::sqrt(model.wheelRadius * model.wheelRadius + model.wheelWidth * model.wheelWidth / 4);
    if (!unseen(model.bodyCentre, model.bodyRadius)) {
        glCallList(model.bodyList);
    }
    glColor3f(1, 1, 1);

    // Wheels 0 and 1 on the front axle, 2 and 3 on the rear; 0 and 2 at
    // wheelX[0]. The second side's wheels are turned half round so the same
    // face of the wheel shows outward; that turn reverses their spin.
    for (int wheel = 0; wheel < 4; ++wheel) {
        const int side = wheel % 2;
        const bool front = wheel < 2;
        const float centre[3] = {model.wheelX[side], 0, model.wheelZ[front ? 0 : 1]};
        if (unseen(centre, wheelReach)) {
            continue;
        }
        glPushMatrix();
        glTranslatef(model.wheelX[side], 0, model.wheelZ[front ? 0 : 1]);
        if (side == 1) {
            glRotatef(180, 0, 1, 0);
        }
        if (front) {
            glRotatef(-steerAngles[side], 0, 1, 0);
        }
        glRotatef(side == 1 ? spinAngles[wheel] : -spinAngles[wheel], 1, 0, 0);
        glCallList(model.wheelList);
        glPopMatrix();
    }

    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
}
