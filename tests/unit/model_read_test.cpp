// model_read_test.cpp -- the model file's keyword records, its limits and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "assets/model.h"

namespace {

struct ReadModel {
    VehicleModel model;
    ModelFileContents contents;
};

// Reads text into a zeroed model (static storage: the record is large).
ReadModel& readText(const std::string& text) {
    static ReadModel result;
    std::memset(&result, 0, sizeof result);
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    readModelFile(file, result.model, result.contents);
    std::fclose(file);
    return result;
}

TEST(ModelRead, RecordsAndTheWordsBetweenThem) {
    const ReadModel& r = readText(
        "# a box of two faces\nvertex: 0 0 0 0\nvertex: 2 1 1 0 more: 4.5 words\nvertex: 4 0 0 1\n"
        "normal: 0 0 0 -1\ntexture: 0 -1 1 0 2 Models/A.tga\ntexture: 1 0 4 0 8 Models/B.tga\n"
        "face: 5 0 1 2 3 0 0 XY\nface: 0 0 1 2 3 0 0 XY\nface: 1 0 1 2 4 0 1 XZ\n"
        "wheel: -0.7 0.7 -1.2 1.2 0.3 0.45 1 0 1\n");
    // Counts from the last record: face 5 is never built.
    EXPECT_EQ(std::vector<int>({r.contents.damagedRecords, r.model.lastVertexIndex, r.model.lastFaceIndex,
                                r.model.lastTextureIndex}),
              std::vector<int>({0, 4, 1, 1}));
    // The texture record gives the u pair first, then the v pair.
    EXPECT_FLOAT_EQ(r.model.textureMapEnd[0][0], 1.0f);
    EXPECT_FLOAT_EQ(r.model.textureMapStart[0][1], 0.0f);
    EXPECT_STREQ(r.contents.textureFiles[1], "Models/B.tga");
    EXPECT_EQ(r.model.faces[1].vertex[3], 4);
    EXPECT_EQ(r.model.faces[1].plane, planeXZ);
    EXPECT_FLOAT_EQ(r.model.wheelRadius, 0.45f);
    EXPECT_EQ(r.model.wheelTextures[0], 1);
    // An unknown plane word keeps the plane the face had.
    const ReadModel& planes = readText("face: 0 0 0 0 0 0 0 ZY\nface: 0 0 0 0 0 0 0 xy\n");
    EXPECT_EQ(planes.model.faces[0].plane, planeZY);
    EXPECT_FALSE(planes.contents.hasWheel || planes.model.wheelRadius != 0); // no wheel record: no wheel
}

// The built faces' corners span the unit cube: the sphere is centred in it and
// reaches its corners. Face 5 lies past the last face and does not count.
TEST(ModelRead, BodyBoundsHoldEveryBuiltCorner) {
    ReadModel& r = readText("vertex: 2 1 1 0\nvertex: 4 0 0 1\nvertex: 6 9 9 9\nface: 5 6 6 6 6 0 0 XY\n"
                            "face: 0 0 1 2 3 0 0 XY\nface: 1 0 1 2 4 0 1 XZ\n");
    boundModelBody(r.model, r.contents);
    EXPECT_EQ(std::vector<float>(r.model.bodyCentre, r.model.bodyCentre + 3), std::vector<float>({0.5f, 0.5f, 0.5f}));
    EXPECT_FLOAT_EQ(r.model.bodyRadius, std::sqrt(0.75f));
}

// The body is drawn run by run in the file's order: records that share one
// picture run on, a face without a record breaks nothing, and a picture that
// comes back later starts a run of its own, so faces in one plane still cover
// each other in the file's order.
TEST(ModelRead, BodyRunsKeepTheFilesOrder) {
    ReadModel& r = readText("vertex: 0 0 0 0\nface: 0 0 0 0 0 0 0 XY\nface: 1 0 0 0 0 0 2 XY\n"
                            "face: 3 0 0 0 0 0 1 XY\nface: 4 0 0 0 0 0 0 XY\n");
    const uint32_t names[3] = {7, 9, 7}; // records 0 and 2 name one picture
    std::memcpy(r.model.textures, names, sizeof names);
    int starts[maxModelFaces];
    ASSERT_EQ(findBodyRuns(r.model, r.contents, starts), 3);
    EXPECT_EQ(std::vector<int>(starts, starts + 3), std::vector<int>({0, 3, 4}));
    EXPECT_EQ(std::vector<uint32_t>(r.model.bodyRunTextures, r.model.bodyRunTextures + 3),
              std::vector<uint32_t>({7, 9, 7}));
}

TEST(ModelRead, DamagedRecordsAreRefusedAndCounted) {
    const struct {
        const char* text;
        int damaged;
    } cases[] = {
        {"vertex: 99 5 5 5\nvertex: -1 5 5 5\nnormal: 24 1 1 1\n", 3},       // past the tables
        {"texture: 24 0 1 0 1 Models/X.tga\n", 1},
        {"face: 24 0 1 2 3 0 0 XY\nface: 0 0 1 2 99 0 0 XY\n", 2},          // or naming past them
        {"face: 0 0 1 2 3 24 0 XY\nface: 0 0 1 2 3 0 -3 XY\n", 2},
        {"vertex: 1 7 8 9\nvertex: 1 4", 1},                                 // cut short
        {"vertex: x 1 2 3 face:", 2},                                        // no index at all
        {"texture: 2 0 1 0 1 Models/C.tga\nface: 1 0 0 0 0 0 0 XY\n", 3},   // missing below the last
        {"texture: 0 0 1 0 1 nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn\n", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readText(c.text).contents.damagedRecords, c.damaged) << c.text;
    }
    // Refused records are never stored: the sound face is the one kept.
    const ReadModel& faces = readText("face: 0 0 1 2 99 0 0 XY\nface: 0 0 1 2 98 23 0 XZ\n");
    EXPECT_EQ(faces.model.faces[0].vertex[3], 98);
    // A bad wheel texture costs that picture only: the wheels keep their geometry.
    const ReadModel& wheel = readText("wheel: 0.5 -0.5 1 -1 0.2 0.3 0 24 2\n");
    EXPECT_EQ(wheel.contents.damagedRecords, 1);
    EXPECT_TRUE(wheel.contents.hasWheel);
    EXPECT_FLOAT_EQ(wheel.model.wheelRadius, 0.3f);
    EXPECT_EQ(wheel.model.wheelTextures[1], noWheelTexture);
    EXPECT_EQ(wheel.model.wheelTextures[2], 2);
    // Over-long words stay in their buffers; an 80-character name is still a name.
    const ReadModel& names = readText(std::string(10000, 'w') + " texture: 0 0 1 0 1 " +
                                      std::string(80, 'k') + "\n");
    EXPECT_EQ(std::strlen(names.contents.textureFiles[0]), 80u);
}

TEST(ModelRead, TextureCoordinatesPerPlane) {
    static VehicleModel model;
    std::memset(&model, 0, sizeof model);
    const float corners[4][3] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 4}, {0, 1, 4}};
    std::memcpy(model.vertices, corners, sizeof corners);
    model.textureMapEnd[0][0] = 2;
    model.textureMapEnd[0][1] = 4;
    float st[4][4][2];
    const MappingPlane planes[] = {planeXZ, planeXY, planeZY, planeZY};
    for (int i = 0; i < 4; ++i) { // s from x (z for ZY) over 0..2; t = 1 - z or 1 + y over 0..4
        model.textureMapEnd[0][0] = i < 3 ? 2.0f : 0.0f; // no width: the first column, no division by zero
        faceTextureCoordinates(model, ModelFace{{0, 1, 2, 3}, 0, 0, planes[i]}, st[i]);
    }
    EXPECT_EQ(std::vector<float>({st[0][1][0], st[0][2][1], st[1][2][1], st[2][3][0], st[3][3][0]}),
              std::vector<float>({1.0f, 0.0f, 1.25f, 2.0f, 0.0f}));
}

} // namespace
