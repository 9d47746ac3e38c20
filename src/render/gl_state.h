// gl_state.h -- the fixed GL state and the two projections everything switches between.
#pragma once

#include <cstdint>

// The window's client area in pixels, as it is now (it follows every resize).
struct WindowSize {
    uint32_t width;
    uint32_t height;
};

// The 65-degree perspective over the whole window (viewport included), then
// the identity model-view matrix.
void applyPerspective(WindowSize window);

// Window pixels, x right and y down from the top-left corner, over whatever
// viewport is current; the model-view matrix becomes the identity.
void beginOverlay2D(WindowSize window);

// A 45-degree perspective for one view inside the window's viewport: the aspect
// is the whole window's so a quarter keeps the window's proportions.
void applyViewPerspective(WindowSize window);

// The width / height ratio of the window, with a zero height counted as one pixel.
double windowAspect(WindowSize window);

// The six planes bounding what a view can show, in the coordinates of the
// matrix they were taken from, each scaled so that a x + b y + c z + d is the
// distance inside it (a plane that cannot be scaled is all zero: nothing is
// ever outside it).
struct ViewVolume {
    float planes[6][4];
};

// The volume of a clip matrix (the projection times the modelview, column-major
// as GL keeps them), of the one GL takes points through now, and of the current
// projection with this modelview.
ViewVolume viewVolume(const float clip[16]);
ViewVolume currentViewVolume();
ViewVolume viewVolumeFor(const float modelview[16]);

// Whether a sphere lies wholly outside the view (beyond one of its planes by
// more than the radius): then nothing of it can show.
bool sphereOutsideView(const ViewVolume& view, const float centre[3], float radius);
