// model.h -- the vehicle model: its keyword text file, textures and display lists.
#pragma once

#include "core/play_lines.h"

#include <cstdint>
#include <cstdio>

constexpr int maxModelVertices = 99; // indices 0..98
constexpr int maxModelNormals = 24;
constexpr int maxModelTextures = 24;
constexpr int maxModelFaces = 24;
constexpr int maxTextureNameLength = 80;
// A wheel part whose texture index was damaged: drawn without a texture.
constexpr int32_t noWheelTexture = -1;

// Which two vertex coordinates become a face's texture u and v.
enum MappingPlane : int32_t {
    planeXZ = 0, // u from x, v from z (the picture is flipped along v)
    planeZY = 1, // u from z, v from y
    planeXY = 2, // u from x, v from y
};

struct ModelFace {
    int32_t vertex[4]; // indices into vertices, in drawing order
    int32_t normal;    // index into normals
    int32_t texture;   // index into textures and the two mapping tables
    int32_t plane;     // a MappingPlane
};

struct VehicleModel {
    int32_t lastVertexIndex;   // index of the last "vertex:" record read
    int32_t lastFaceIndex;     // faces 0 to this one are compiled
    int32_t lastTextureIndex;  // textures 0 to this one are loaded
    float vertices[maxModelVertices][3];
    float normals[maxModelNormals][3];
    float textureMapStart[maxModelTextures][2]; // plane (u, v) that maps to texture 0
    float textureMapEnd[maxModelTextures][2];   // plane (u, v) that maps to texture 1
    ModelFace faces[maxModelFaces];
    uint32_t textures[maxModelTextures];        // GL names; 0 until loaded
    // The body as runs of consecutive faces with one picture, in the file's
    // order: bodyRunCount meshes, each to be drawn with its picture bound
    // (0 until built: drawing it draws nothing).
    int32_t bodyRunCount;
    uint32_t bodyRunMeshes[maxModelFaces];
    uint32_t bodyRunTextures[maxModelFaces];
    float bodyCentre[3];                        // a sphere holding every corner of the
    float bodyRadius;                           // drawn faces (model coordinates)
    float wheelX[2];  // [0] wheels drawn unturned, [1] wheels turned by 180 degrees
    float wheelZ[2];  // [0] front (steered) axle, [1] rear axle
    float wheelWidth;
    float wheelRadius; // also the height by which the body is drawn
    int32_t wheelTextures[3]; // cap facing -x (unturned), tread, cap facing +x; or noWheelTexture
    uint32_t wheelMeshes[3]; // from the wheel's centre: wheelTextures' parts, none bound
};

// The pictures loaded so far while the vehicles are set up, by file name: a
// picture that several records or several vehicles name is loaded once, so a
// view can bind it once for all of them. Pictures that failed are not kept:
// every record naming one says so again.
struct ModelPictures {
    char files[maxModelTextures][maxTextureNameLength + 1];
    uint32_t names[maxModelTextures];
    int count;
};

// What the model file said besides the geometry: the texture files and which
// records were present.
struct ModelFileContents {
    char textureFiles[maxModelTextures][maxTextureNameLength + 1];
    bool hasTexture[maxModelTextures]; // a "texture:" record with a file name was read
    bool hasFace[maxModelFaces];       // a "face:" record was read
    bool hasWheel;
    // Records refused for indices outside the limits or over-long names,
    // records cut short or with fields that are no numbers, and faces or
    // textures up to the last index that have no record.
    int damagedRecords;
};

// Parses the keyword text from the file into a zeroed model (no GL). Records
// whose indices break the limits are skipped, never stored.
void readModelFile(std::FILE* file, VehicleModel& model, ModelFileContents& contents);

// Reads the model file (no GL): a missing file shows "Unable to load vehModel!"
// captioned "Error -1" and returns false; a file with damaged records shows
// one box and keeps what is sound.
bool readVehicleModel(VehicleModel& model, ModelFileContents& contents, const char* path);

// Loads the file, its textures (those already in pictures are shared, new ones
// are added) and the body and wheel display lists. A missing file shows "Unable
// to load vehModel!" captioned "Error -1", leaves the model empty and returns
// false; a file with damaged records shows one box and builds what is sound.
bool loadVehicleModel(VehicleModel& model, PlayLines& said, const char* path, int32_t filter, ModelPictures& pictures);

// Splits the body's faces, in the file's order, into runs of consecutive faces
// with one picture (by GL name, so records sharing a picture run on): fills
// model.bodyRunTextures and the runs' first faces, and returns the count.
int findBodyRuns(VehicleModel& model, const ModelFileContents& contents, int (&starts)[maxModelFaces]);

// The GL name of a wheel part's picture; 0 (no texture) for a damaged index.
uint32_t wheelPartPicture(const VehicleModel& model, int part);

// The texture coordinates of a face's four corners: the corner's two plane
// coordinates placed between the texture's mapping start and end.
void faceTextureCoordinates(const VehicleModel& model, const ModelFace& face, float st[4][2]);

// Compiles the body and wheel lists from a read model (GL context current).
void buildModelLists(VehicleModel& model, const ModelFileContents& contents);

// Sets bodyCentre and bodyRadius: the sphere around every corner of the faces
// that are built, centred in their box (buildModelLists does it first).
void boundModelBody(VehicleModel& model, const ModelFileContents& contents);
