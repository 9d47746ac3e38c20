// model_read_test.cpp -- the model file's keyword records, its limits and damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "assets/model.h"
#include "platform/fake/fake_platform.h"
#include "support/temp_dir.h"

namespace {

struct ReadModel {
    VehicleModel model;
    ModelFileContents contents;
};

// Reads text into a zeroed model (static storage: the record is large).
ReadModel& readText(const std::string& text) {
    static ReadModel result;
    std::memset(&result, 0, sizeof result);
    TempDir dir;
    const std::string path = dir.write("Model.obj", text);
    std::FILE* file = std::fopen(path.c_str(), "r");
    readModelFile(file, result.model, result.contents);
    std::fclose(file);
    return result;
}

const char* const cube =
    "# a box of two faces\n"
    "vertex: 0 0 0 0\nvertex: 1 1 0 0\nvertex: 2 1 1 0\nvertex: 3 0 1 0\n"
    "vertex: 4 0 0 1\n"
    "normal: 0 0 0 -1\nnormal: 1 0 1 0\n"
    "texture: 0 -1 1 0 2 Models/A.tga\n"
    "texture: 1 0 4 0 8 Models/B.tga\n"
    "face: 0 0 1 2 3 0 0 XY\n"
    "face: 1 0 1 2 4 1 1 XZ\n"
    "wheel: -0.7 0.7 -1.2 1.2 0.3 0.45 1 0 1\n";

TEST(ModelRead, RecordsInAscendingOrder) {
    const ReadModel& r = readText(cube);
    EXPECT_EQ(r.contents.damagedRecords, 0);
    EXPECT_EQ(r.model.lastVertexIndex, 4);
    EXPECT_EQ(r.model.lastFaceIndex, 1);
    EXPECT_EQ(r.model.lastTextureIndex, 1);
    EXPECT_FLOAT_EQ(r.model.vertices[2][0], 1.0f);
    EXPECT_FLOAT_EQ(r.model.vertices[2][1], 1.0f);
    EXPECT_FLOAT_EQ(r.model.vertices[4][2], 1.0f);
    EXPECT_FLOAT_EQ(r.model.normals[0][2], -1.0f);
    // The texture record gives the u pair first, then the v pair.
    EXPECT_FLOAT_EQ(r.model.textureMapStart[0][0], -1.0f);
    EXPECT_FLOAT_EQ(r.model.textureMapEnd[0][0], 1.0f);
    EXPECT_FLOAT_EQ(r.model.textureMapStart[0][1], 0.0f);
    EXPECT_FLOAT_EQ(r.model.textureMapEnd[0][1], 2.0f);
    EXPECT_STREQ(r.contents.textureFiles[1], "Models/B.tga");
    EXPECT_EQ(r.model.faces[1].vertex[3], 4);
    EXPECT_EQ(r.model.faces[1].normal, 1);
    EXPECT_EQ(r.model.faces[1].texture, 1);
    EXPECT_EQ(r.model.faces[0].plane, planeXY);
    EXPECT_EQ(r.model.faces[1].plane, planeXZ);
    EXPECT_FLOAT_EQ(r.model.wheelX[0], -0.7f);
    EXPECT_FLOAT_EQ(r.model.wheelZ[1], 1.2f);
    EXPECT_FLOAT_EQ(r.model.wheelWidth, 0.3f);
    EXPECT_FLOAT_EQ(r.model.wheelRadius, 0.45f);
    EXPECT_EQ(r.model.wheelTextures[0], 1);
    EXPECT_EQ(r.model.wheelTextures[1], 0);
    EXPECT_TRUE(r.contents.hasWheel);
}

TEST(ModelRead, WordsBetweenRecordsAreComments) {
    const ReadModel& r = readText("hello 12 world vertex: 3 1 2 3 and more: 4.5 words\n"
                                  "normal: 2 0 1 0 trailing\n");
    EXPECT_EQ(r.contents.damagedRecords, 0);
    EXPECT_EQ(r.model.lastVertexIndex, 3);
    EXPECT_FLOAT_EQ(r.model.vertices[3][2], 3.0f);
    EXPECT_FLOAT_EQ(r.model.normals[2][1], 1.0f);
}

TEST(ModelRead, CountsComeFromTheLastRecord) {
    const ReadModel& r = readText("face: 5 0 0 0 0 0 0 XY\nface: 2 0 0 0 0 0 0 XY\n"
                                  "face: 0 0 0 0 0 0 0 XY\nface: 1 0 0 0 0 0 0 XY\n");
    EXPECT_EQ(r.model.lastFaceIndex, 1); // face 5 lies beyond the count and is never built
    EXPECT_EQ(r.contents.damagedRecords, 0);
}

TEST(ModelRead, PlaneWords) {
    const ReadModel& r = readText("face: 0 0 0 0 0 0 0 ZY\nface: 0 0 0 0 0 0 0 xy\n"
                                  "face: 1 0 0 0 0 0 0 XY\nface: 2 0 0 0 0 0 0 YZ\n");
    EXPECT_EQ(r.model.faces[0].plane, planeZY); // an unknown word keeps the plane it had
    EXPECT_EQ(r.model.faces[1].plane, planeXY);
    EXPECT_EQ(r.model.faces[2].plane, planeXZ); // zero on a fresh record
}

TEST(ModelRead, IndicesBeyondTheLimitsAreRefusedAndCounted) {
    const ReadModel& r = readText(
        "vertex: 98 1 1 1\nvertex: 99 5 5 5\nvertex: -1 5 5 5\n"
        "normal: 24 1 1 1\nnormal: 23 0 1 0\n"
        "texture: 24 0 1 0 1 Models/X.tga\ntexture: 0 0 1 0 1 Models/A.tga\n"
        "face: 24 0 1 2 3 0 0 XY\nface: 0 0 1 2 99 0 0 XY\nface: 0 0 1 2 3 24 0 XY\n"
        "face: 0 0 1 2 3 0 -3 XY\nface: 0 0 1 2 98 23 0 XZ\n"
        "wheel: 0.5 -0.5 1 -1 0.2 0.3 0 24 2\n");
    EXPECT_EQ(r.contents.damagedRecords, 9);
    EXPECT_EQ(r.model.lastVertexIndex, 98);
    EXPECT_FLOAT_EQ(r.model.vertices[98][0], 1.0f);
    EXPECT_FLOAT_EQ(r.model.normals[23][1], 1.0f);
    EXPECT_EQ(r.model.lastTextureIndex, 0);
    EXPECT_EQ(r.model.lastFaceIndex, 0);
    EXPECT_EQ(r.model.faces[0].vertex[3], 98); // only the sound face record was stored
    EXPECT_EQ(r.model.faces[0].normal, 23);
    // A bad wheel texture costs that picture only: the wheels keep their geometry.
    EXPECT_TRUE(r.contents.hasWheel);
    EXPECT_FLOAT_EQ(r.model.wheelRadius, 0.3f);
    EXPECT_FLOAT_EQ(r.model.wheelZ[1], -1.0f);
    EXPECT_EQ(r.model.wheelTextures[0], 0);
    EXPECT_EQ(r.model.wheelTextures[1], noWheelTexture);
    EXPECT_EQ(r.model.wheelTextures[2], 2);
}

TEST(ModelRead, OverLongNamesAndTokensStayInTheirBuffers) {
    const std::string longName(81, 'n');
    const std::string longWord(10000, 'w');
    const ReadModel& r = readText(longWord + " texture: 0 0 1 0 1 " + longName + " " + longWord +
                                  " texture: 1 0 1 0 1 " + std::string(80, 'k') + "\n");
    EXPECT_EQ(r.contents.damagedRecords, 2); // the refused name, and texture 0 left without a record
    EXPECT_FALSE(r.contents.hasTexture[0]);
    EXPECT_TRUE(r.contents.hasTexture[1]);
    EXPECT_EQ(std::strlen(r.contents.textureFiles[1]), 80u);
}

TEST(ModelRead, RecordsCutShortKeepWhatTheyHad) {
    const ReadModel& r = readText("vertex: 1 7 8 9\nvertex: 1 4");
    EXPECT_FLOAT_EQ(r.model.vertices[1][0], 4.0f);
    EXPECT_FLOAT_EQ(r.model.vertices[1][1], 8.0f);
    EXPECT_FLOAT_EQ(r.model.vertices[1][2], 9.0f);
    EXPECT_EQ(r.contents.damagedRecords, 1);

    const ReadModel& wheel = readText("wheel: 1 2 3");
    EXPECT_FLOAT_EQ(wheel.model.wheelZ[0], 3.0f);
    EXPECT_FLOAT_EQ(wheel.model.wheelRadius, 0.0f);
    EXPECT_EQ(wheel.contents.damagedRecords, 1);

    const ReadModel& face = readText("face: 0 1 2 3");
    EXPECT_EQ(face.model.faces[0].vertex[2], 3);
    EXPECT_EQ(face.model.faces[0].vertex[3], 0);
    EXPECT_EQ(face.contents.damagedRecords, 1);

    const ReadModel& index = readText("vertex: x 1 2 3 face:");
    EXPECT_EQ(index.contents.damagedRecords, 2);
    EXPECT_EQ(index.model.lastVertexIndex, 0);
}

TEST(ModelRead, MissingRecordsBelowTheLastAreCounted) {
    const ReadModel& r = readText("texture: 2 0 1 0 1 Models/C.tga\nface: 1 0 0 0 0 0 0 XY\n");
    EXPECT_EQ(r.contents.damagedRecords, 3); // textures 0 and 1, face 0
    EXPECT_EQ(r.model.lastTextureIndex, 2);
    EXPECT_EQ(r.model.lastFaceIndex, 1);
}

TEST(ModelRead, WithoutAWheelRecordTheWheelIsNothing) {
    const ReadModel& r = readText("vertex: 0 1 1 1\n");
    EXPECT_FALSE(r.contents.hasWheel);
    EXPECT_EQ(r.model.wheelRadius, 0.0f);
    EXPECT_EQ(r.model.wheelWidth, 0.0f);
    EXPECT_EQ(r.model.lastFaceIndex, 0);
    EXPECT_EQ(r.model.lastTextureIndex, 0);
}

TEST(ModelTextureCoordinates, PlanesAndFlips) {
    static VehicleModel model;
    std::memset(&model, 0, sizeof model);
    const float corners[4][3] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 4}, {0, 1, 4}};
    std::memcpy(model.vertices, corners, sizeof corners);
    model.textureMapStart[0][0] = 0;
    model.textureMapEnd[0][0] = 2;
    model.textureMapStart[0][1] = 0;
    model.textureMapEnd[0][1] = 4;
    ModelFace face{{0, 1, 2, 3}, 0, 0, planeXZ};
    float st[4][2];
    faceTextureCoordinates(model, face, st);
    // XZ: s from x over 0..2, t = 1 - (z over 0..4).
    EXPECT_FLOAT_EQ(st[1][0], 1.0f);
    EXPECT_FLOAT_EQ(st[1][1], 1.0f);
    EXPECT_FLOAT_EQ(st[2][1], 0.0f);
    face.plane = planeXY; // s from x, t = 1 + (y over 0..4)
    faceTextureCoordinates(model, face, st);
    EXPECT_FLOAT_EQ(st[2][0], 1.0f);
    EXPECT_FLOAT_EQ(st[2][1], 1.25f);
    face.plane = planeZY; // s from z over 0..2, t = 1 + (y over 0..4)
    faceTextureCoordinates(model, face, st);
    EXPECT_FLOAT_EQ(st[3][0], 2.0f);
    EXPECT_FLOAT_EQ(st[3][1], 1.25f);
    // A mapping of no width gives the first column instead of a division by zero.
    model.textureMapEnd[0][0] = 0;
    faceTextureCoordinates(model, face, st);
    EXPECT_FLOAT_EQ(st[3][0], 0.0f);
}

TEST(ModelLoad, MissingFileLeavesTheModelEmpty) {
    resetFakePlatform();
    static VehicleModel model;
    std::memset(&model, 0, sizeof model);
    TempDir dir;
    loadVehicleModel(model, dir.file("Models/Model01.obj").c_str(), 2);
    ASSERT_EQ(fake.messageBoxes.size(), 1u);
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to load vehModel!");
    EXPECT_EQ(fake.messageBoxes[0].caption, "Error -1");
    EXPECT_EQ(fake.messageBoxes[0].icon, MessageIcon::exclamation);
    EXPECT_EQ(model.bodyList, 0u);
    EXPECT_EQ(model.wheelList, 0u);
    EXPECT_EQ(model.wheelRadius, 0.0f);
}

} // namespace
