// scene.h -- what the views draw: set-up of the scene and its GL names.
#pragma once

#include <cstdint>
#include <string>

#include "core/input.h"
#include "core/play_lines.h"
#include "core/startup_trace.h"
#include "render/gl_state.h"

#include "race/race.h"
#include "race/records.h"
#include "sim/world.h"
#include "vehicle/vehicle.h"
#include "vehicle/vehicle_look.h"

extern uint32_t shadowTexture;  // drawn under every vehicle; 0 until loaded
extern uint32_t smokeTexture;   // the smoke puffs; 0 until loaded
extern uint32_t gatePostTexture;   // a race's gates; 0 until loaded
extern uint32_t gateBannerTexture;

// Once the context is current: the gates' post, made once and stood at every gate.
void makeGatePost();

// GL_LIGHT1 where the game starts it, in world coordinates (the mouse moves x and z).
constexpr float startLightPosition[4] = {0.0f, 40.0f, 0.0f, 1.0f};

// What the three vehicles look like: blue, red and green, one model each.
extern VehicleLook vehicleLooks[vehicleCount];

// A new track's name across the views, for a moment.
struct TrackCaption {
    char text[48];
    float seconds; // still to show
};

// What the views say of a replay being watched.
struct ReplayShown {
    bool on;
    bool paused;
    double speed;  // 1: as it was driven
    double time;   // the race time reached
};

// The world camera's angles in degrees, kept from frame to frame.
struct WorldCamera {
    float pitch;
    float yaw;
};

// What the views draw this frame: the world (read, never written) and its
// vehicles as they stand between its last two steps, the ghost, the split, the
// replay's line. Set before the views, which take it by argument.
struct ShownWorld {
    const World* world;
    Vehicle vehicles[vehicleCount];
    bool ghost;              // a time trial's ghost drives beside the player
    Vehicle ghostVehicle;    // as drawn, see-through
    int32_t ghostLook;       // whose look it has
    char split[16];          // the split at the last gate ("-0.42"); "" when none shows
    bool splitAhead;         // ahead of the ghost: blue, else orange
    ReplayShown replay;
    WorldCamera camera;      // the world view's, aimed at the followed vehicle
    float light[4];          // GL_LIGHT1 in world coordinates
    WindowSize window;       // the window's client area
};

// The views draw this world, its vehicles a fraction (0..1) of a step past
// where `before` had them.
void showWorld(ShownWorld& shown, const World& world, const Vehicle (&before)[vehicleCount], double fraction);

// Once at start-up, after the window, GL state and font: the scene textures,
// the three vehicles' looks, the world on a track (setUpWorld) and its drawn
// terrain, the light. What cannot be read is told to the players; each part's
// time goes in the trace.
void setUpScene(World& world, PlayLines& said, StartupTrace& trace, int32_t filter, int32_t track = 1);

// Another track to drive: the world's ground and course read, its terrain
// built, the vehicles back on their start places and no smoke. Needs the GL
// context.
void switchTrack(World& world, PlayLines& said, int32_t track, int32_t filter);

// The wheel layout of the vehicles' model file, read without GL (a missing or
// damaged file says so in its box, as the game's start does).
WheelLayout readWheelLayout();

// A world ready to step on a track, without a window or GL: its heights,
// growth and course read, the vehicles with this wheel layout on their start
// places, no smoke, no race, the computer drivers at skill 2.
void setUpWorld(World& world, PlayLines& said, int32_t track, const WheelLayout& layout);

// A track's heights, growth and course into the world, which then is on that track.
void loadWorldTrack(World& world, PlayLines& said, int32_t track);

// The world's track's name: its course's, else "Track N".
std::string trackName(const World& world);

// Reads a course from its file; a course that cannot be read is told to the
// players (where it is wrong), and leaves no race on the track.
void loadCourse(Course& course, PlayLines& said, const char* path);

// The frame's part beside the world: the light under the dragging mouse.
void moveLight(float (&light)[4], const InputState& input);

// Burns the time of the slow-down key: 4000 x 2000 empty passes the optimiser keeps.
void burnSlowDownTime();

// The world camera: fixed high above the middle of the map, turned each frame
// toward the followed vehicle as drawn.
extern const float worldCameraPosition[3];

// Turns the world camera toward a vehicle's position. Straight below the
// camera the turn is undefined, and the camera keeps its previous yaw.
void aimWorldCamera(WorldCamera& camera, const float vehiclePosition[3]);

// The world view through the shown world camera, into the current viewport
// with the projection set: terrain, shadows, the three vehicles, the smoke.
void drawWorldView(const ShownWorld& shown);

// The view from the driver's seat of one vehicle, then its readout with its
// baseline readoutBaseline window units from the view's top, and during a race
// what the driver needs to know of it (pixel: the window units one screen pixel
// of this view spans, 2 in a quarter). An index past the last vehicle draws nothing.
void drawDriverView(const ShownWorld& shown, uint32_t vehicleIndex, uint32_t readoutBaseline, float pixel);

// A race in the views, drawn only while one is on. The gates, inside a view's
// camera transform with texturing and lighting on. Under a driver view's
// readout: the lap, the race time, the last and best lap, the place, an arrow
// toward the next gate, and the countdown's caption in the middle of the view.
// In the world view: the three places (and while a replay plays, "replay" and
// its race time). Over the whole window at the end: the
// results, each vehicle's contacts and rescues beside its times, with the
// track's records (null: none) and who broke which, or that a race with
// contact off sets none.
// The track's name, said across the middle of every view for a moment after
// the track changes: drawn into the view with this viewport (window pixels,
// from the bottom left); leaves the whole-window perspective and viewport.
void drawTrackCaption(const TrackCaption& caption, WindowSize window, int32_t x, int32_t y, int32_t width, int32_t height);

void drawCourse(const ShownWorld& shown);
void drawRaceStatus(const ShownWorld& shown, uint32_t vehicle, uint32_t readoutBaseline, float pixel);
void drawWorldPlaces(const ShownWorld& shown, uint32_t baseline, float pixel);
void drawRaceResults(WindowSize window, const Race& race, const char* trackName, const RaceRecord* record,
                     const bool (&lapRecord)[vehicleCount], const bool (&raceRecord)[vehicleCount], bool recordsCounted);

// The engine revolutions a minute the readout shows for this drive speed.
double engineRpm(float driveSpeed);

// The readout text: engine revolutions (engineRpm) and road speed in km/h
// (|speed| x 3.6), as "%.0frpm  %.0fkm/h".
void formatReadout(float driveSpeed, float speed, char (&text)[64]);

// What both views draw inside their camera transform: the light, the terrain,
// the three vehicles with their shadows, and the smoke facing a viewer with
// these angles; lighting and texturing are off again afterwards.
void drawSceneContents(const ShownWorld& shown, float viewerPitch, float viewerYaw, float viewerRoll);

// A vehicle's shadow on the ground under its wheels, as both views draw it.
void drawVehicleShadow(const Vehicle& vehicle);
