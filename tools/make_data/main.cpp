// main.cpp -- make_data FOLDER: writes Mudlark's whole data set (tracks,
// pictures, model) into FOLDER. The same bytes on every run and every machine.
// make_data --fuzz-seeds FOLDER writes small run-length pictures for fuzzing.
#include <cstdio>
#include <string>

#include "data_set.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--fuzz-seeds") {
        gen::makeFuzzSeeds(argv[2]);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_data FOLDER\n       make_data --fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        void (*make)(const std::string&, gen::Report&);
    } tracks[] = {{"Meadow", gen::makeMeadow}, {"Long Valley", gen::makeValley}, {"Quarry", gen::makeQuarry}};
    for (int k = 0; k < 3; ++k) {
        gen::Report report;
        tracks[k].make(folder, report);
        std::printf("make_data: %s: track %d, %s: corners %.2f..%.2f units; growth %d tufts, %d shrubs, "
                    "%d bushes, %d trees, %d empty; course %d gates, %.0f units a lap, steepest leg %.2f\n",
                    folder.c_str(), k + 1, tracks[k].name, report.lowestCorner * 0.05, report.highestCorner * 0.05,
                    report.growthCounts[0], report.growthCounts[1], report.growthCounts[2], report.growthCounts[3],
                    report.growthCounts[4], report.gates, report.courseLength, report.steepestLeg);
    }
    gen::makeGatePictures(folder);
    gen::makeScenePictures(folder);
    gen::Report buggy;
    gen::makeBuggy(folder, buggy);
    gen::makeIcons(folder);
    gen::makeFontPicture(folder);
    std::printf("make_data: %s: buggy %d vertices, %d faces, %d textures\n", folder.c_str(), buggy.modelVertices,
                buggy.modelFaces, buggy.modelTextures);
    return 0;
}
