// model_build.cpp -- loading the vehicle model: textures, the body list and the wheel list.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/app_state.h"
#include "assets/model.h"
#include "assets/texture.h"
#include "common/gl_api.h"
#include "platform/platform.h"

namespace {

// The fraction of the way from start to end; a mapping rectangle of no width
// puts the whole face on the texture's first column or row.
float mapCoordinate(float value, float start, float end) {
    const float span = end - start;
    if (span == 0.0f || !std::isfinite(span)) {
        return 0.0f;
    }
    return (value - start) / span;
}

// One face; its texture is bound only when it differs from the last face's
// (bound), so faces that share a texture run on as one batch in the list.
void emitFace(const VehicleModel& model, const ModelFace& face, uint32_t& bound) {
    float st[4][2];
    faceTextureCoordinates(model, face, st);
    if (model.textures[face.texture] != bound) {
        bound = model.textures[face.texture];
        glBindTexture(GL_TEXTURE_2D, bound);
    }
    glBegin(GL_QUADS);
    glNormal3fv(model.normals[face.normal]);
    for (int corner = 0; corner < 4; ++corner) {
        const float* p = model.vertices[face.vertex[corner]];
        glTexCoord2f(st[corner][0], st[corner][1]);
        glVertex3f(p[0], p[1], p[2]);
    }
    glEnd();
}

// The GL name of a wheel part's texture; 0 (no texture) for a damaged index.
uint32_t wheelTextureName(const VehicleModel& model, int part) {
    const int32_t index = model.wheelTextures[part];
    return index >= 0 && index < maxModelTextures ? model.textures[index] : 0;
}

} // namespace

void faceTextureCoordinates(const VehicleModel& model, const ModelFace& face, float st[4][2]) {
    // u and v axes of each plane: XZ takes x and z, ZY z and y, XY x and y.
    static const int axes[3][2] = {{0, 2}, {2, 1}, {0, 1}};
    const int plane = face.plane >= planeXZ && face.plane <= planeXY ? face.plane : planeXZ;
    const float* start = model.textureMapStart[face.texture];
    const float* end = model.textureMapEnd[face.texture];
    for (int corner = 0; corner < 4; ++corner) {
        const float* p = model.vertices[face.vertex[corner]];
        const float r = mapCoordinate(p[axes[plane][1]], start[1], end[1]);
        st[corner][0] = mapCoordinate(p[axes[plane][0]], start[0], end[0]);
        // Seen from above the XZ picture is flipped along v; the other two
        // planes shift v by one whole repeat, which shows the same picture.
        st[corner][1] = plane == planeXZ ? 1.0f - r : 1.0f + r;
    }
}

void boundModelBody(VehicleModel& model, const ModelFileContents& contents) {
    const auto eachCorner = [&](auto visit) {
        for (int i = 0; i <= model.lastFaceIndex && i < maxModelFaces; ++i) {
            for (int corner = 0; contents.hasFace[i] && corner < 4; ++corner) {
                visit(model.vertices[model.faces[i].vertex[corner]]);
            }
        }
    };
    float low[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF}, high[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
    eachCorner([&](const float* p) {
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], p[k]);
            high[k] = std::max(high[k], p[k]);
        }
    });
    for (int k = 0; k < 3; ++k) {
        model.bodyCentre[k] = low[k] <= high[k] ? (low[k] + high[k]) / 2 : 0.0f;
    }
    model.bodyRadius = 0;
    eachCorner([&](const float* p) {
        const float d[3] = {p[0] - model.bodyCentre[0], p[1] - model.bodyCentre[1], p[2] - model.bodyCentre[2]};
        model.bodyRadius = std::max(model.bodyRadius, std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
    });
}

void buildModelLists(VehicleModel& model, const ModelFileContents& contents) {
    boundModelBody(model, contents);
    model.bodyList = glGenLists(1);
    glNewList(model.bodyList, GL_COMPILE);
    uint32_t bound = ~0u; // none yet: the first face always binds
    for (int i = 0; i <= model.lastFaceIndex && i < maxModelFaces; ++i) {
        if (contents.hasFace[i]) {
            emitFace(model, model.faces[i], bound);
        }
    }
    glEndList();

    // The wheel: a cylinder along x with a cap at each end. The quarter turn that
    // lays the quadric's z axis along x stays on the matrix after the list runs.
    model.wheelList = glGenLists(1);
    glNewList(model.wheelList, GL_COMPILE);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    if (quadric != nullptr) {
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, model.wheelWidth / 2.0f);
        glBindTexture(GL_TEXTURE_2D, wheelTextureName(model, 0));
        gluDisk(quadric, 0.0, model.wheelRadius, 16, 1);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -model.wheelWidth / 2.0f);
        glBindTexture(GL_TEXTURE_2D, wheelTextureName(model, 1));
        gluCylinder(quadric, model.wheelRadius, model.wheelRadius, model.wheelWidth, 16, 1);
        glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, wheelTextureName(model, 2));
        gluDisk(quadric, 0.0, model.wheelRadius, 16, 1);
        glPopMatrix();
    }
    glEndList();
}

bool loadVehicleModel(VehicleModel& model, const char* path, int32_t filter) {
    std::FILE* file = path != nullptr ? std::fopen(path, "r") : nullptr;
    if (file == nullptr) {
        platformShowMessage("Unable to load vehModel!", "Error -1", MessageIcon::exclamation);
        return false;
    }
    ModelFileContents contents{};
    readModelFile(file, model, contents);
    std::fclose(file);
    if (contents.damagedRecords > 0) {
        platformShowMessage("Damaged records in vehModel ignored!", "Error -1",
                            MessageIcon::exclamation);
    }
    // A picture named by several records (the two seats, the two fenders) is
    // loaded once and shared, so their faces can be drawn together.
    bool loaded[maxModelTextures] = {};
    for (int i = 0; i <= model.lastTextureIndex && i < maxModelTextures; ++i) {
        if (!contents.hasTexture[i]) {
            continue;
        }
        for (int earlier = 0; earlier < i && !loaded[i]; ++earlier) {
            if (loaded[earlier] && std::strcmp(contents.textureFiles[earlier], contents.textureFiles[i]) == 0) {
                model.textures[i] = model.textures[earlier];
                loaded[i] = true;
            }
        }
        if (!loaded[i]) {
            loaded[i] = loadTargaTexture(contents.textureFiles[i], &model.textures[i], filter);
        }
    }
    buildModelLists(model, contents);
    return true;
}
