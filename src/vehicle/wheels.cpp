// wheels.cpp -- wheel spin and Ackermann steering, contact points, the sprung
// wheels on the terrain, and the body's pitch, roll and height from them.
#include <cmath>

#include "common/angles.h"
#include "terrain/terrain.h"
#include "vehicle/step_rate.h"
#include "vehicle/vehicle.h"
#include "vehicle/vehicle_math.h"

namespace {

constexpr double twoPi = gameTwoPi;

double wheelbase(const WheelLayout& m) { return static_cast<double>(m.wheelZ[1]) - m.wheelZ[0]; }
double track(const WheelLayout& m) { return static_cast<double>(m.wheelX[1]) - m.wheelX[0]; }

} // namespace

namespace {

// The circle the vehicle drives at its steering angle: K its length (it turns
// steerAngle degrees a unit), a0 and a1 the distances of the two wheel lines
// from its centre, e the wheelbase along it. The 0.0123 keeps it finite when
// going straight.
struct TurningCircle {
    double K, a0, a1, e;
};

TurningCircle turningCircle(const Vehicle& v) {
    const WheelLayout& m = v.layout;
    double turn = static_cast<double>(v.steerAngle) + 0.0123;
    if (turn == 0) {
        turn = 1e-9;
    }
    const double K = 360 / turn;
    const double rho = K / twoPi;
    return TurningCircle{K, rho - m.wheelX[0], rho - m.wheelX[1], static_cast<double>(m.wheelZ[0]) - m.wheelZ[1]};
}

} // namespace

void updateWheelSteer(Vehicle& v) {
    const TurningCircle c = turningCircle(v);
    const double leftTurn = v.steerAngle < 0 ? 180 : 0;
    v.wheelSteer[0] = static_cast<float>(degrees(vehicleAtan(v, c.a0 / c.e)) + 90 + leftTurn);
    v.wheelSteer[1] = static_cast<float>(degrees(vehicleAtan(v, c.a1 / c.e)) + 90 + leftTurn);
}

void updateWheelAngles(Vehicle& v, uint32_t frameRate) {
    const WheelLayout& m = v.layout;
    const double R = stepRate(frameRate);
    const TurningCircle circle = turningCircle(v);
    const double K = circle.K, a0 = circle.a0, a1 = circle.a1, e = circle.e;
    const double degreesPerUnit = 360 / (m.wheelRadius * twoPi);

    const double rear = degreesPerUnit * v.rearWheelSpeed / R;
    v.wheelSpin[2] = static_cast<float>(v.wheelSpin[2] + (a0 * twoPi / K) * rear);
    v.wheelSpin[3] = static_cast<float>(v.wheelSpin[3] + (a1 * twoPi / K) * rear);
    const double front = degreesPerUnit * v.driveSpeed / R;
    v.wheelSpin[0] = static_cast<float>(v.wheelSpin[0] + front * (std::sqrt(a0 * a0 + e * e) * twoPi / std::fabs(K)));
    v.wheelSpin[1] = static_cast<float>(v.wheelSpin[1] + front * (std::sqrt(a1 * a1 + e * e) * twoPi / std::fabs(K)));
    updateWheelSteer(v);
}

void updateWheelContacts(Vehicle& v) {
    const WheelLayout& m = v.layout;
    double s1, c1, s, c;
    vehicleSinCos(v, radians(v.heading), s, c);
    if (v.ownMath) {
        s1 = -c; // a quarter turn back: the same sums, exactly
        c1 = s;
    } else {
        s1 = std::sin(radians(v.heading - 90.0));
        c1 = std::cos(radians(v.heading - 90.0));
    }
    const double b = wheelbase(m);
    const double px = v.position[0];
    const double pz = v.position[2];
    for (int wheel = 0; wheel < 4; ++wheel) {
        const double side = m.wheelX[wheel % 2];
        const double ahead = wheel < 2 ? b : 0.0; // the front axle lies a wheelbase ahead
        v.wheelContact[wheel][0] = static_cast<float>(px - s1 * side - ahead * s);
        v.wheelContact[wheel][2] = static_cast<float>(pz - c1 * side - ahead * c);
    }
}

void updateGroundHeights(Vehicle& v, const TerrainMap& ground) {
    for (auto& contact : v.wheelContact) {
        contact[1] = terrainSurfaceHeight(&ground, contact[0], contact[2]);
    }
}

void updateSuspension(Vehicle& v, uint32_t frameRate) {
    const double R = stepRate(frameRate);
    for (int wheel = 0; wheel < 4; ++wheel) {
        const double ground = v.wheelContact[wheel][1];
        double height = v.wheelHeight[wheel];
        double speed = v.wheelVerticalSpeed[wheel];
        // The speed that would put the wheel on the ground in exactly one step:
        // a wheel that would end below rides up at once, one above falls.
        const double need = (ground - height) * R;
        if (speed < need) {
            speed = need;
        } else if (speed > need) {
            speed -= 50 / R;
        }
        height += speed / R;
        if (height > 25) {
            speed = -1; // far above the highest ground
        }
        if (height < ground) {
            height = ground;
            speed = 0;
        }
        v.wheelHeight[wheel] = static_cast<float>(height);
        v.wheelVerticalSpeed[wheel] = static_cast<float>(speed);
    }
}

void updateGroundFlags(Vehicle& v) {
    v.frontOnGround = v.wheelHeight[0] <= v.wheelContact[0][1] || v.wheelHeight[1] <= v.wheelContact[1][1];
    v.rearOnGround = v.wheelHeight[2] <= v.wheelContact[2][1] || v.wheelHeight[3] <= v.wheelContact[3][1];
}

void updateAttitude(Vehicle& v) {
    const WheelLayout& m = v.layout;
    const double b = wheelbase(m);
    const double t = track(m);
    const double h0 = v.wheelHeight[0];
    const double h1 = v.wheelHeight[1];
    const double h2 = v.wheelHeight[2];
    const double h3 = v.wheelHeight[3];
    v.pitch = static_cast<float>((degrees(vehicleAtan(v, (h1 - h3) / b)) + degrees(vehicleAtan(v, (h0 - h2) / b))) / 2);
    v.roll = static_cast<float>((degrees(vehicleAtan(v, (h1 - h0) / t)) + degrees(vehicleAtan(v, (h3 - h2) / t))) / 2);
    const double y = (h3 * m.wheelX[1] - m.wheelX[0] * h2) / t;
    v.climb = static_cast<float>(y - v.position[1]);
    v.position[1] = static_cast<float>(y);
}
