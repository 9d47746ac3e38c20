// make_seeds.cpp -- make_seeds FOLDER: crafted seed inputs for the fuzz targets
// (one sub-folder a target), beside the generated data set the build adds.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/image_files.h"

namespace {

std::string folder;

void seed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = std::filesystem::path(folder) / target / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void seed(const std::string& target, const std::string& name, const std::string& text) {
    seed(target, name, Bytes(text.begin(), text.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    folder = argv[1];

    seed("settings", "all-keys.cfg",
         "resolution: 800 600 16\nfullscreen: false\nmouse: true\nfps: false\nmaxfps: 30\n"
         "systeminfo: true\ntexturefilter: linear\n");
    seed("settings", "odd.cfg", "resolution: 1000 -700 x fullscreen: yes maxfps: 12abc texturefilter:");

    seed("model", "box.obj",
         "vertex: 0 0 0 0 vertex: 1 1 0 0 vertex: 2 1 1 0 vertex: 3 0 1 0\n"
         "normal: 0 0 0 -1\ntexture: 0 -1 1 0 2 Models/A.tga\n"
         "face: 0 0 1 2 3 0 0 XY\nface: 1 0 1 2 3 0 0 ZY\nwheel: -0.7 0.7 -1.2 1.2 0.3 0.45 0 0 0\n");
    seed("model", "limits.obj", "vertex: 99 1 1 1 face: 24 0 0 0 0 0 0 XZ texture: -1 0 1 0 1 x\n"
                                "wheel: 0 0 0 0 0 0 0 0 0\nface: 3 1 2");

    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};
    seed("bitmap", "24.bmp", makeBmp(3, 2, 24, Bytes(24, 0x80)));
    seed("bitmap", "top-down.bmp", makeBmp(3, -2, 24, Bytes(24, 0x40)));
    seed("bitmap", "8.bmp", makeBmp(2, 1, 8, {1, 0, 0, 0}, palette));
    seed("bitmap", "4.bmp", makeBmp(3, 1, 4, {0x10, 0x10, 0, 0}, palette));
    seed("bitmap", "1.bmp", makeBmp(9, 1, 1, {0xA0, 0x80, 0, 0}, palette));
    seed("bitmap", "16.bmp", makeBmp(2, 1, 16, {0x00, 0x7C, 0x1F, 0x00}));
    seed("bitmap", "32.bmp", makeBmp(1, 1, 32, {10, 20, 30, 99}));
    Bytes masks;
    put32(masks, 0xF800);
    put32(masks, 0x07E0);
    put32(masks, 0x001F);
    seed("bitmap", "565.bmp", makeBmp(1, 1, 16, {0xE0, 0x07, 0, 0}, {}, 3, masks));
    seed("bitmap", "core.bmp", makeCoreBmp(2, 1, 8, {1, 0, 0, 0}, Bytes(3 * 256, 0x40)));

    seed("targa", "24.tga", makeTga(2, 1, 24, {255, 0, 0, 0, 0, 255}));
    seed("targa", "32.tga", makeTga(1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}));
    seed("targa", "rle.tga", makeTga(1, 1, 24, {0, 0, 0}, {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    seed("targa", "short.tga", makeTga(4, 4, 24, Bytes(10, 0)));

    seed("terrain", "flat-with-growth", Bytes(1024 + 4096, 0));
    return 0;
}
