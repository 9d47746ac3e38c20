// app_state.cpp -- storage of the shared GL names.
#include "core/app_state.h"

#include "common/gl_api.h"

uint32_t fontBase = 0;
GLUquadric* quadric = nullptr;

void resetAppState() {
    fontBase = 0;
    if (quadric != nullptr) {
        gluDeleteQuadric(quadric);
    }
    quadric = nullptr;
}
