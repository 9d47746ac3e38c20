// vehicle_look.h -- what a vehicle looks like (its model and colour) and how it
// is drawn from its simulated record.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "vehicle/vehicle.h"

struct VehicleLook {
    VehicleModel model; // body geometry, pictures, display lists, wheel layout
    float colour[3];    // the body's red, green, blue (0 to 1)
};

// The wheel layout of a model, as the physics takes it.
inline WheelLayout wheelLayoutOf(const VehicleModel& model) {
    return WheelLayout{{model.wheelX[0], model.wheelX[1]}, {model.wheelZ[0], model.wheelZ[1]}, model.wheelWidth,
                       model.wheelRadius};
}

// Loads the model from "Models/Model01.obj" with the texture filter (sharing the
// pictures earlier vehicles loaded, and adding its own). A model that gives no
// wheels to stand on says so in a box.
void loadVehicleLook(VehicleLook& look, PlayLines& said, int32_t filter, ModelPictures& pictures);

// Moves the current matrix to the vehicle: its rear axle on its position, turned
// by its heading, pitch and roll, the body raised by the wheel radius.
void placeVehicle(const Vehicle& vehicle);

// Draws a vehicle placed by the caller, the plain way: the body in the current
// colour and four white wheels, steered and spun, a part at a time.
// With alpha below 1 the wheels are see-through like the body (a ghost).
void drawVehicle(const Vehicle& vehicle, const VehicleLook& look, float alpha = 1.0f);

// Draws the vehicles together, a picture at a time: each run of body faces and
// each wheel part for every vehicle before the next picture is bound, each
// vehicle's own faces in their order. Bodies and wheels wholly outside the
// view are not sent.
void drawVehicles(const Vehicle* drawn, VehicleLook* const* looks, int count);
