// model_build.cpp -- loading the vehicle model: textures, the body's meshes and the wheel's.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "assets/model.h"
#include "assets/texture.h"
#include "render/render.h"
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

// One face, its texture already bound.
void emitFace(const VehicleModel& model, const ModelFace& face) {
    float st[4][2];
    faceTextureCoordinates(model, face, st);
    begin(Primitive::quads);
    const float* n = model.normals[face.normal];
    normal(n[0], n[1], n[2]);
    for (int corner = 0; corner < 4; ++corner) {
        const float* p = model.vertices[face.vertex[corner]];
        texCoord(st[corner][0], st[corner][1]);
        vertex(p[0], p[1], p[2]);
    }
    end();
}

} // namespace

uint32_t wheelPartPicture(const VehicleModel& model, int part) {
    const int32_t index = model.wheelTextures[part];
    return index >= 0 && index < maxModelTextures ? model.textures[index] : 0;
}

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

int findBodyRuns(VehicleModel& model, const ModelFileContents& contents, int (&starts)[maxModelFaces]) {
    int runs = 0;
    for (int i = 0; i <= model.lastFaceIndex && i < maxModelFaces; ++i) {
        if (!contents.hasFace[i]) {
            continue;
        }
        const uint32_t picture = model.textures[model.faces[i].texture];
        if (runs == 0 || picture != model.bodyRunTextures[runs - 1]) {
            model.bodyRunTextures[runs] = picture;
            starts[runs++] = i;
        }
    }
    return runs;
}

// The body's faces in the file's order, a mesh for each run of faces with one
// picture: drawn run by run, faces that lie in one plane cover each other as the
// file orders them, and a view can draw a run for all three vehicles on one bind.
void buildBodyMeshes(VehicleModel& model, const ModelFileContents& contents) {
    const int end = std::min(model.lastFaceIndex + 1, maxModelFaces);
    int starts[maxModelFaces];
    const int runs = findBodyRuns(model, contents, starts);
    model.bodyRunCount = runs;
    for (int run = 0; run < runs; ++run) {
        model.bodyRunMeshes[run] = beginMesh();
        if (model.bodyRunMeshes[run] == 0) {
            continue;
        }
        for (int i = starts[run]; i < (run + 1 < runs ? starts[run + 1] : end); ++i) {
            if (contents.hasFace[i]) {
                emitFace(model, model.faces[i]);
            }
        }
        endMesh();
    }
}

void buildModelMeshes(VehicleModel& model, const ModelFileContents& contents) {
    boundModelBody(model, contents);
    buildBodyMeshes(model, contents);

    // The wheel: a cylinder along x with a cap at each end, each part a mesh of
    // its own from the wheel's centre (a quarter turn lays the cylinder's z axis
    // along x), so a view can draw one part for every wheel on one bind.
    for (int part = 0; part < 3; ++part) {
        model.wheelMeshes[part] = beginMesh();
        if (model.wheelMeshes[part] == 0) {
            continue;
        }
        rotate(-90.0f, 0.0f, 1.0f, 0.0f);
        translate(0.0f, 0.0f, (part == 0 ? 0.5f : -0.5f) * model.wheelWidth);
        if (part == 1) {
            cylinder(model.wheelRadius, model.wheelRadius, model.wheelWidth, 16, 1);
        } else {
            if (part == 2) {
                rotate(180.0f, 0.0f, 1.0f, 0.0f);
            }
            disk(0.0, model.wheelRadius, 16, 1);
        }
        endMesh();
    }
}

bool loadVehicleModel(VehicleModel& model, PlayLines& said, const char* path, int32_t filter, ModelPictures& pictures) {
    // Large, and kept only while the lists are built: on the heap for the load.
    const std::unique_ptr<ModelFileContents> read(new ModelFileContents());
    ModelFileContents& contents = *read;
    if (!readVehicleModel(model, contents, path)) {
        return false;
    }
    // A picture named by several records (the two seats, the two fenders) or by
    // several vehicles is loaded once and shared.
    for (int i = 0; i <= model.lastTextureIndex && i < maxModelTextures; ++i) {
        if (!contents.hasTexture[i]) {
            continue;
        }
        const char* name = contents.textureFiles[i];
        int known = 0;
        while (known < pictures.count && std::strcmp(pictures.files[known], name) != 0) {
            ++known;
        }
        if (known < pictures.count) {
            model.textures[i] = pictures.names[known];
        } else if (loadTargaTexture(said, name, &model.textures[i], filter) && pictures.count < maxModelTextures) {
            std::snprintf(pictures.files[pictures.count], sizeof pictures.files[0], "%s", name);
            pictures.names[pictures.count++] = model.textures[i];
        }
    }
    buildModelMeshes(model, contents);
    return true;
}
