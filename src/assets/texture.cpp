// texture.cpp -- texture loading and upload with the configured filter.
#include "assets/texture.h"
#include "core/play_lines.h"

#include <cstdio>

#include "core/settings.h"
#include "assets/bitmap_image.h"
#include "assets/targa_image.h"
#include "common/gl_api.h"
#include "platform/platform.h"

namespace {

void reportFailure(PlayLines& said, const char* caption) {
    tellPlayer(said, "Texture initialization failed!", caption, MessageIcon::exclamation);
}

} // namespace

void uploadTexture(uint32_t* slot, int32_t filter, int32_t internalFormat, int32_t width,
                   int32_t height, uint32_t format, const uint8_t* pixels) {
    glDeleteTextures(1, slot);
    glGenTextures(1, slot);
    if (filter != filterPoint && filter != filterLinear && filter != filterMipmap) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, *slot);
    // Rows are packed without padding; GL's default alignment of 4 would read
    // past the end of an RGB picture whose row is not a multiple of 4 bytes.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (filter == filterMipmap) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, format, GL_UNSIGNED_BYTE,
                          pixels);
    } else {
        const GLint sampling = filter == filterPoint ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampling);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels);
    }
    glPopClientAttrib();
}

bool loadBitmapTexture(PlayLines& said, const char* path, uint32_t* slot, int32_t filter) {
    BitmapImage image;
    if (!readBitmapImage(path, image)) {
        reportFailure(said, "Error -9");
        return false;
    }
    uploadTexture(slot, filter, 3, image.width, image.height, GL_RGB, image.pixels.data());
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
    const GLenum format = image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    uploadTexture(slot, filter, static_cast<GLint>(format), image.width, image.height, format,
                  image.pixels.data());
    return true;
}
