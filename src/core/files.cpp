// files.cpp -- UTF-8 names and the system's.
#include "core/files.h"

#include "platform/platform.h"

std::filesystem::path pathOf(const std::string& name) { return std::filesystem::u8path(name); }

std::string nameOf(const std::filesystem::path& path) { return path.u8string(); }

std::string fileNameOf(const std::string& name) { return nameOf(pathOf(name).filename()); }

WholeFile readWholeFile(const std::string& name, size_t cap, std::vector<uint8_t>& bytes) {
    return readWholeFile(platformOpenFile(name.c_str(), "rb"), cap, bytes);
}
