// texture.cpp -- texture loading and upload with the configured filter.
#include "assets/texture.h"
#include "core/play_lines.h"

#include <cstdio>

#include "core/settings.h"
#include "assets/bitmap_image.h"
#include "assets/targa_image.h"
#include "render/render.h"
#include "platform/platform.h"

namespace {

void reportFailure(PlayLines& said, const char* caption) {
    tellPlayer(said, "Texture initialization failed!", caption, MessageIcon::exclamation);
}

} // namespace

bool loadBitmapTexture(PlayLines& said, const char* path, uint32_t* slot, int32_t filter) {
    BitmapImage image;
    if (!readBitmapImage(path, image)) {
        reportFailure(said, "Error -9");
        return false;
    }
    uploadTexture(slot, filter, 3, image.width, image.height, image.pixels.data());
    return true;
}

bool loadTargaTexture(PlayLines& said, const char* path, uint32_t* slot, int32_t filter) {
    std::FILE* file = platformOpenFile(path, "rb");
    if (file == nullptr) {
        reportFailure(said, "Error -11");
        return false;
    }
    TargaImage image;
    const TargaResult result = readTargaImage(file, image);
    std::fclose(file);
    if (result == TargaResult::badHeader) {
        reportFailure(said, "Error -12");
        return false;
    }
    if (result == TargaResult::badPixels) {
        reportFailure(said, "Error -13");
        return false;
    }
    uploadTexture(slot, filter, image.bitsPerPixel == 24 ? 3 : 4, image.width, image.height, image.pixels.data());
    return true;
}
