// vehicle_draw.cpp -- the vehicles from their meshes: bodies on four wheels.
#include <algorithm>
#include <cmath>

#include "render/render.h"
#include "render/gl_state.h"
#include "platform/platform.h"
#include "vehicle/vehicle_look.h"

namespace {

// A wheel's centre in body coordinates. Wheels 0 and 1 are on the front axle, 2
// and 3 on the rear; 0 and 2 at wheelX[0].
void wheelCentre(const WheelLayout& model, int wheel, float centre[3]) {
    centre[0] = model.wheelX[wheel % 2];
    centre[1] = 0;
    centre[2] = model.wheelZ[wheel < 2 ? 0 : 1];
}

// Moves the current matrix from the body to a wheel's centre, steered and spun.
// The second side's wheels are turned half round so the same face of the wheel
// shows outward; that turn reverses their spin.
void placeWheel(const Vehicle& v, int wheel) {
    const int side = wheel % 2;
    float centre[3];
    wheelCentre(v.layout, wheel, centre);
    translate(centre[0], centre[1], centre[2]);
    if (side == 1) {
        rotate(180, 0, 1, 0);
    }
    if (wheel < 2) {
        rotate(-v.wheelSteer[side], 0, 1, 0);
    }
    rotate(side == 1 ? v.wheelSpin[wheel] : -v.wheelSpin[wheel], 1, 0, 0);
}

// Binds a picture unless it is bound already.
void bindPicture(uint32_t picture, uint32_t& bound) {
    if (picture != bound) {
        bindTexture(picture);
        bound = picture;
    }
}

} // namespace

void placeVehicle(const Vehicle& v) {
    // The model's rear axle sits on the vehicle's position; its wheel centres
    // are at height 0, so the body is raised onto its wheels.
    translate(v.position[0], v.position[1], v.position[2]);
    rotate(v.heading, 0, 1, 0);
    rotate(v.pitch, 1, 0, 0);
    rotate(v.roll, 0, 0, 1);
    translate(0, 0, -v.layout.wheelZ[1]);
    translate(0, v.layout.wheelRadius, 0);
}

void drawVehicle(const Vehicle& v, const VehicleLook& look, float alpha) {
    // Texels with zero alpha (the windscreen's glass) are cut away.
    enable(Feature::alphaTest);
    alphaTest(AlphaPass::aboveZero);
    const VehicleModel& model = look.model;
    for (int run = 0; run < model.bodyRunCount; ++run) {
        bindTexture(model.bodyRunTextures[run]);
        drawMesh(model.bodyRunMeshes[run]);
    }
    colour(1, 1, 1, alpha);
    for (int wheel = 0; wheel < 4; ++wheel) {
        pushMatrix();
        placeWheel(v, wheel);
        for (int part = 0; part < 3; ++part) {
            bindTexture(wheelPartPicture(model, part));
            pushMatrix();
            drawMesh(model.wheelMeshes[part]);
            popMatrix();
        }
        popMatrix();
    }
    disable(Feature::alphaTest);
}

void drawVehicles(const Vehicle* drawn, VehicleLook* const* looks, int count) {
    // Each vehicle's matrix once, and what of it the view can see: a body or a
    // wheel wholly outside (a driver's own rear wheels are behind the seat) is
    // not sent; 0.1 more than a wheel's reach is left to spare.
    constexpr int most = 8; // room to spare: the game has three
    float matrices[most][16];
    bool bodySeen[most];
    bool wheelSeen[most][4];
    count = std::min(count, most);
    for (int k = 0; k < count; ++k) {
        const VehicleModel& model = looks[k]->model;
        pushMatrix();
        placeVehicle(drawn[k]);
        currentMatrix(MatrixKind::modelview, matrices[k]);
        popMatrix();
        const ViewVolume view = viewVolumeFor(matrices[k]);
        bodySeen[k] = !sphereOutsideView(view, model.bodyCentre, model.bodyRadius + 0.1f);
        const float reach = std::sqrt(model.wheelRadius * model.wheelRadius + model.wheelWidth * model.wheelWidth / 4);
        for (int wheel = 0; wheel < 4; ++wheel) {
            float centre[3];
            wheelCentre(drawn[k].layout, wheel, centre);
            wheelSeen[k][wheel] = !sphereOutsideView(view, centre, reach + 0.1f);
        }
    }

    enable(Feature::alphaTest); // texels with zero alpha (the windscreen's glass) are cut away
    alphaTest(AlphaPass::aboveZero);
    pushMatrix();
    uint32_t bound = ~0u;
    int runs = 0;
    for (int k = 0; k < count; ++k) {
        runs = std::max(runs, looks[k]->model.bodyRunCount);
    }
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < count; ++k) {
            const VehicleLook& look = *looks[k];
            if (!bodySeen[k] || run >= look.model.bodyRunCount || look.model.bodyRunMeshes[run] == 0) {
                continue;
            }
            bindPicture(look.model.bodyRunTextures[run], bound);
            loadMatrix(matrices[k]);
            colour(look.colour[0], look.colour[1], look.colour[2]);
            drawMesh(look.model.bodyRunMeshes[run]);
        }
    }
    colour(1, 1, 1);
    for (uint32_t part = 0; part < 3; ++part) {
        for (int k = 0; k < count; ++k) {
            const VehicleModel& model = looks[k]->model;
            for (int wheel = 0; wheel < 4 && model.wheelMeshes[part] != 0; ++wheel) {
                if (!wheelSeen[k][wheel]) {
                    continue;
                }
                bindPicture(wheelPartPicture(model, static_cast<int>(part)), bound);
                loadMatrix(matrices[k]);
                placeWheel(drawn[k], wheel);
                drawMesh(model.wheelMeshes[part]);
            }
        }
    }
    popMatrix();
    disable(Feature::alphaTest);
}

void loadVehicleLook(VehicleLook& look, PlayLines& said, int32_t filter, ModelPictures& pictures) {
    // A model that was read but gives no wheels to stand on (an empty or cut
    // file) leaves the vehicle standing at its start: the player hears why.
    // A missing file has already said so.
    if (loadVehicleModel(look.model, said, "Models/Model01.obj", filter, pictures) &&
        !hasUsableWheelLayout(wheelLayoutOf(look.model))) {
        platformShowMessage("Vehicle model has no usable wheels!", "Error -1", MessageIcon::exclamation);
    }
}
