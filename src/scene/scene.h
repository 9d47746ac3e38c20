// scene.h -- what the views draw: set-up of the scene and its globals.
#pragma once

#include <cstdint>

extern uint32_t shadowTexture;  // drawn under every vehicle; 0 until loaded
extern uint32_t smokeTexture;   // the smoke puffs; 0 until loaded
extern float lightPosition[4];  // GL_LIGHT1 in world coordinates; the mouse moves x and z
extern float lightAmbient[4];
extern float lightDiffuse[4];

// Once at start-up, after the window, GL state and font: the scene textures,
// the three vehicles, the terrain, the light and the smoke pool.
void setUpScene(int32_t filter);

// Gives the three vehicles their start x, colours and keys.
void placeVehicles();

// Until the views exist: the scene from a camera behind the followed vehicle.
void drawLandscapePreview();
