// model_read.cpp -- the model file's keyword records into the VehicleModel record.
#include <cstring>

#include "assets/model.h"
#include "common/text_scanner.h"
#include "platform/platform.h"

namespace {

// Keywords, numbers and plane words are short; file names stop at 80 characters.
constexpr std::size_t tokenCapacity = 256;

// Reads count floats in turn into values, stopping at the first that fails.
bool readFloats(TextScanner& scanner, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!scanner.readFloat(values[i])) {
            return false;
        }
    }
    return true;
}

bool readInts(TextScanner& scanner, int32_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!scanner.readInt(values[i])) {
            return false;
        }
    }
    return true;
}

bool inRange(int32_t value, int limit) { return value >= 0 && value < limit; }

struct Reader {
    TextScanner& scanner;
    VehicleModel& model;
    ModelFileContents& contents;
    bool anyVertex = false;
    bool anyFace = false;
    bool anyTexture = false;

    // An index and three numbers into one row of a table of limit rows.
    // Returns the index stored, or -1 when the record was refused.
    int32_t triple(float (*table)[3], int limit) {
        int32_t index = 0;
        if (!scanner.readInt(index)) {
            ++contents.damagedRecords;
            return -1;
        }
        float xyz[3] = {};
        const bool valid = inRange(index, limit);
        if (valid) {
            std::memcpy(xyz, table[index], sizeof xyz);
        }
        // Fields cut short keep the values they had.
        const bool complete = readFloats(scanner, xyz, 3);
        if (!valid) {
            ++contents.damagedRecords;
            return -1;
        }
        std::memcpy(table[index], xyz, sizeof xyz);
        contents.damagedRecords += complete ? 0 : 1;
        return index;
    }

    void vertex() {
        const int32_t index = triple(model.vertices, maxModelVertices);
        if (index >= 0) {
            model.lastVertexIndex = index;
            anyVertex = true;
        }
    }

    void normal() { triple(model.normals, maxModelNormals); }

    void texture() {
        int32_t index = 0;
        if (!scanner.readInt(index)) {
            ++contents.damagedRecords;
            return;
        }
        const bool valid = inRange(index, maxModelTextures);
        // The u pair (start, end) comes before the v pair.
        float uvs[4] = {};
        if (valid) {
            uvs[0] = model.textureMapStart[index][0];
            uvs[1] = model.textureMapEnd[index][0];
            uvs[2] = model.textureMapStart[index][1];
            uvs[3] = model.textureMapEnd[index][1];
        }
        bool complete = readFloats(scanner, uvs, 4);
        char name[tokenCapacity] = {};
        bool named = complete && scanner.readWord(name, sizeof name);
        complete = complete && named;
        if (!valid || std::strlen(name) > static_cast<std::size_t>(maxTextureNameLength)) {
            ++contents.damagedRecords;
            return;
        }
        model.textureMapStart[index][0] = uvs[0];
        model.textureMapEnd[index][0] = uvs[1];
        model.textureMapStart[index][1] = uvs[2];
        model.textureMapEnd[index][1] = uvs[3];
        if (named) {
            std::memcpy(contents.textureFiles[index], name, std::strlen(name) + 1);
            contents.hasTexture[index] = true;
        }
        model.lastTextureIndex = index;
        anyTexture = true;
        contents.damagedRecords += complete ? 0 : 1;
    }

    void face() {
        int32_t index = 0;
        if (!scanner.readInt(index)) {
            ++contents.damagedRecords;
            return;
        }
        const bool valid = inRange(index, maxModelFaces);
        ModelFace face = valid ? model.faces[index] : ModelFace{};
        int32_t fields[6] = {face.vertex[0], face.vertex[1], face.vertex[2],
                             face.vertex[3], face.normal,    face.texture};
        bool complete = readInts(scanner, fields, 6);
        char plane[tokenCapacity] = {};
        if (complete) {
            complete = scanner.readWord(plane, sizeof plane);
        }
        // Every index the face names must lie inside its table.
        bool sound = valid && inRange(fields[4], maxModelNormals) &&
                     inRange(fields[5], maxModelTextures);
        for (int i = 0; i < 4; ++i) {
            sound = sound && inRange(fields[i], maxModelVertices);
        }
        if (!sound) {
            ++contents.damagedRecords;
            return;
        }
        for (int i = 0; i < 4; ++i) {
            face.vertex[i] = fields[i];
        }
        face.normal = fields[4];
        face.texture = fields[5];
        // An unknown plane word leaves the plane as it was.
        if (std::strcmp(plane, "XZ") == 0) {
            face.plane = planeXZ;
        } else if (std::strcmp(plane, "ZY") == 0) {
            face.plane = planeZY;
        } else if (std::strcmp(plane, "XY") == 0) {
            face.plane = planeXY;
        }
        model.faces[index] = face;
        model.lastFaceIndex = index;
        contents.hasFace[index] = true;
        anyFace = true;
        contents.damagedRecords += complete ? 0 : 1;
    }

    void wheel() {
        float geometry[6] = {model.wheelX[0], model.wheelX[1],  model.wheelZ[0],
                             model.wheelZ[1], model.wheelWidth, model.wheelRadius};
        int32_t textures[3] = {model.wheelTextures[0], model.wheelTextures[1],
                               model.wheelTextures[2]};
        const bool complete = readFloats(scanner, geometry, 6) && readInts(scanner, textures, 3);
        // A texture index outside the table costs that one picture, not the
        // wheel: the wheels still carry the vehicle, that part is drawn bare.
        for (int32_t& texture : textures) {
            if (!inRange(texture, maxModelTextures)) {
                ++contents.damagedRecords;
                texture = noWheelTexture;
            }
        }
        model.wheelX[0] = geometry[0];
        model.wheelX[1] = geometry[1];
        model.wheelZ[0] = geometry[2];
        model.wheelZ[1] = geometry[3];
        model.wheelWidth = geometry[4];
        model.wheelRadius = geometry[5];
        for (int i = 0; i < 3; ++i) {
            model.wheelTextures[i] = textures[i];
        }
        contents.hasWheel = true;
        contents.damagedRecords += complete ? 0 : 1;
    }
};

} // namespace

void readModelFile(std::FILE* file, VehicleModel& model, ModelFileContents& contents) {
    TextScanner scanner(file);
    Reader reader{scanner, model, contents};
    char token[tokenCapacity];
    while (scanner.readWord(token, sizeof token)) {
        if (std::strcmp(token, "vertex:") == 0) {
            reader.vertex();
        } else if (std::strcmp(token, "normal:") == 0) {
            reader.normal();
        } else if (std::strcmp(token, "texture:") == 0) {
            reader.texture();
        } else if (std::strcmp(token, "face:") == 0) {
            reader.face();
        } else if (std::strcmp(token, "wheel:") == 0) {
            reader.wheel();
        }
    }
    if (!reader.anyVertex) {
        model.lastVertexIndex = 0;
    }
    if (!reader.anyFace) {
        model.lastFaceIndex = 0;
    }
    if (!reader.anyTexture) {
        model.lastTextureIndex = 0;
    }
    // Faces and textures up to the last index that no record filled.
    for (int i = 0; reader.anyFace && i <= model.lastFaceIndex; ++i) {
        contents.damagedRecords += contents.hasFace[i] ? 0 : 1;
    }
    for (int i = 0; reader.anyTexture && i <= model.lastTextureIndex; ++i) {
        contents.damagedRecords += contents.hasTexture[i] ? 0 : 1;
    }
}

bool readVehicleModel(VehicleModel& model, ModelFileContents& contents, const char* path) {
    std::FILE* file = platformOpenFile(path, "r");
    if (file == nullptr) {
        platformShowMessage("Unable to load vehModel!", "Error -1", MessageIcon::exclamation);
        return false;
    }
    std::memset(&contents, 0, sizeof contents);
    readModelFile(file, model, contents);
    std::fclose(file);
    if (contents.damagedRecords > 0) {
        platformShowMessage("Damaged records in vehModel ignored!", "Error -1", MessageIcon::exclamation);
    }
    return true;
}
