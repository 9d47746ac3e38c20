// seeds.cpp -- small run-length pictures of every kind the game reads, as
// starting points for fuzzing its picture readers.
#include "data_set.h"
#include "image.h"

namespace gen {

void makeFuzzSeeds(const std::string& folder) {
    // Bands of flat colour (long runs) broken by speckles (values as they are).
    Picture picture(37, 11);
    const std::vector<Colour> palette = {{0.1f, 0.3f, 0.1f, 1}, {0.6f, 0.5f, 0.3f, 1}, {0.9f, 0.9f, 0.8f, 1},
                                         {0.2f, 0.2f, 0.6f, 0.5f}};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const float speckle = hashUnit(x, y, 5);
            picture.at(x, y) = palette[speckle > 0.8f ? static_cast<int>(speckle * 20) % 4 : (x / 9 + y / 4) % 4];
        }
    }
    writeTgaRuns(folder + "/targa/runs-24.tga", picture, 24, false);
    writeTgaRuns(folder + "/targa/runs-32-top.tga", picture, 32, true);
    const std::vector<uint8_t> indices = nearestIndices(picture, palette);
    writeBmpRuns(folder + "/bitmap/runs-8.bmp", picture.width(), picture.height(), indices, palette, 8);
    writeBmpRuns(folder + "/bitmap/runs-4.bmp", picture.width(), picture.height(), indices, palette, 4);
}

} // namespace gen
