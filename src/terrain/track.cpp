// track.cpp -- the numbered tracks' files, and whether a track can be driven.
#include "terrain/track.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/files.h"
#include "core/places.h"
#include "platform/platform.h"
#include "terrain/terrain.h"

namespace {

namespace fs = std::filesystem;

// The track a LAN race takes from its host's files (0: none): one per
// process, as the game races one LAN race at a time.
int32_t preferredDownload = 0;

// A byte count as people write it: 262,144.
void writeCount(uintmax_t count, char (&text)[32]) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%ju", count);
    int out = 0;
    for (int i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0) {
            text[out++] = ',';
        }
        text[out++] = digits[i];
    }
    text[out] = '\0';
}

// Where track N's files are, as the start of their paths: the game's folder
// ("Tracks/", as it always was named), else the player's own "Tracks", else
// the tracks a race's host passed on ("downloaded-tracks"), the first that
// has its heights (the last two with the system's own separators).
std::string trackFolder(int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "Terrain_%02d.raw", static_cast<int>(number));
    std::error_code failed;
    const std::string own = userDataFolder();
    if (!own.empty() && number == preferredDownload && fs::exists(pathOf(own) / downloadedTracks / name, failed)) {
        return nameOf(pathOf(own) / downloadedTracks / "");
    }
    if (fs::exists(fs::path("Tracks") / name, failed) || own.empty()) {
        return "Tracks/";
    }
    for (const char* folder : {"Tracks", downloadedTracks}) {
        if (fs::exists(pathOf(own) / folder / name, failed)) {
            return nameOf(pathOf(own) / folder / "");
        }
    }
    return "Tracks/";
}

// Where the .bmp is not there but a .tga of the same name is, the .tga.
bool pictureFile(const std::string& folder, int32_t number, const char* stem, char (&path)[trackPathCapacity]) {
    std::snprintf(path, sizeof path, "%s%s_%02d.bmp", folder.c_str(), stem, static_cast<int>(number));
    std::error_code failed;
    if (fs::exists(pathOf(path), failed)) {
        return false;
    }
    char targa[trackPathCapacity];
    std::snprintf(targa, sizeof targa, "%s%s_%02d.tga", folder.c_str(), stem, static_cast<int>(number));
    if (!fs::exists(pathOf(targa), failed)) {
        return false;
    }
    std::memcpy(path, targa, sizeof path);
    return true;
}

void addLine(TrackProblems& problems, const char* line) {
    const size_t used = std::strlen(problems.text);
    std::snprintf(problems.text + used, sizeof problems.text - used, "%s%s", used > 0 ? "\n" : "", line);
}

// A file that must be there; a raw one must also have exactly its size.
// True when it is there at all.
bool checkFile(const char* path, uintmax_t size, const char* what, TrackProblems& problems) {
    std::error_code failed;
    const fs::file_status status = fs::status(pathOf(path), failed);
    char line[trackPathCapacity + 256];
    if (!fs::exists(status)) {
        const bool picture = std::strstr(path, ".bmp") != nullptr;
        std::snprintf(line, sizeof line, "%s%s is missing.", path, picture ? " (or .tga)" : "");
        addLine(problems, line);
        return false;
    }
    if (!fs::is_regular_file(status)) {
        std::snprintf(line, sizeof line, "%s is not a file.", path);
        addLine(problems, line);
        return true;
    }
    const uintmax_t has = fs::file_size(pathOf(path), failed);
    if (size > 0 && !failed && has != size) {
        char hasText[32], sizeText[32];
        writeCount(has, hasText);
        writeCount(size, sizeText);
        const uintmax_t side = size == terrainSamples * terrainSamples ? terrainSamples : growthCells;
        // "512 × 512" with the multiplication sign, in UTF-8.
        // A paint program's usual slips give the file a whole multiple of the size.
        const char* hint = has == 2 * size   ? " It looks like 16 bits a pixel: export 8-bit integer greyscale."
                           : has == 3 * size ? " It looks like a colour picture: make it greyscale before exporting."
                           : has == 4 * size ? " It looks like a colour picture with alpha: make it greyscale, without "
                                               "alpha, before exporting."
                                             : "";
        std::snprintf(line, sizeof line, "%s has %s byte%s; a track's %s %ju \xC3\x97 %ju = %s bytes.%s", path,
                      hasText, has == 1 ? "" : "s", what, side, side, sizeText, hint);
        addLine(problems, line);
    }
    return true;
}

} // namespace

void preferDownloadedTrack(int32_t number) { preferredDownload = number; }

TrackFiles trackFiles(int32_t number) {
    TrackFiles files{};
    const int n = static_cast<int>(number);
    const std::string folder = trackFolder(number);
    std::snprintf(files.heights, sizeof files.heights, "%sTerrain_%02d.raw", folder.c_str(), n);
    std::snprintf(files.growth, sizeof files.growth, "%sGrowth_%02d.raw", folder.c_str(), n);
    files.groundIsTarga = pictureFile(folder, number, "Texture", files.ground);
    files.overlayIsTarga = pictureFile(folder, number, "TextureOverlay", files.overlay);
    std::snprintf(files.gates, sizeof files.gates, "%sGates_%02d.txt", folder.c_str(), n);
    return files;
}

bool findTrackProblems(int32_t number, TrackProblems& problems) {
    problems.text[0] = '\0';
    const TrackFiles files = trackFiles(number);
    bool any = checkFile(files.heights, terrainSamples * terrainSamples, "heights are", problems);
    any = checkFile(files.growth, growthCells * growthCells, "growth is", problems) || any;
    any = checkFile(files.ground, 0, "", problems) || any;
    any = checkFile(files.overlay, 0, "", problems) || any;
    any = checkFile(files.gates, 0, "", problems) || any;
    if (!any) {
        std::snprintf(problems.text, sizeof problems.text, "None of its files (Tracks/*_%02d.*) is there.",
                      static_cast<int>(number));
    }
    return problems.text[0] != '\0';
}

int32_t nextCompleteTrack(int32_t current) {
    TrackProblems problems;
    for (int32_t step = 1; step < maxTrackNumber; ++step) {
        const int32_t number = (current - 1 + step) % maxTrackNumber + 1;
        if (!findTrackProblems(number, problems)) {
            return number;
        }
    }
    return current;
}

int32_t chooseStartTrack(uint32_t requested) {
    if (requested == 1) {
        return 1; // the game's own track, read as it always was
    }
    char text[sizeof(TrackProblems::text) + 200];
    TrackProblems problems;
    if (requested < 1 || requested > static_cast<uint32_t>(maxTrackNumber)) {
        std::snprintf(text, sizeof text, "There is no track %d: tracks are numbered 1 to %d.\nTrack 1 is driven instead.",
                      static_cast<int>(requested), static_cast<int>(maxTrackNumber));
    } else if (findTrackProblems(static_cast<int32_t>(requested), problems)) {
        std::snprintf(text, sizeof text, "Track %u cannot be driven:\n%s\nTrack 1 is driven instead.", requested,
                      problems.text);
    } else {
        return static_cast<int32_t>(requested);
    }
    platformShowMessage(text, "Error", MessageIcon::exclamation);
    return 1;
}

void loadRawFile(const char* path, uint32_t byteCount, uint8_t* destination) {
    std::FILE* file = platformOpenFile(path, "rb");
    if (file == nullptr) {
        platformShowMessage("Unable to locate h data!", "Error", MessageIcon::none);
        return;
    }
    const std::size_t got = std::fread(destination, 1, byteCount, file);
    // A file that ends early leaves part of the map flat; the player hears of it
    // like any other read failure.
    if (std::ferror(file) || got != byteCount) {
        platformShowMessage("Failed to init h data!", "Error", MessageIcon::none);
    }
    std::fclose(file);
}

void loadTerrainMap(TerrainMap& map, int32_t track) {
    const TrackFiles files = trackFiles(track);
    loadRawFile(files.heights, sizeof map.heights, map.heights);
    loadRawFile(files.growth, sizeof map.growth, map.growth);
}
