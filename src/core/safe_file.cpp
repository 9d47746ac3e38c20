// safe_file.cpp -- a temporary file, synced, then renamed into place.
#include "core/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/platform.h"

bool writeFileSafely(const std::string& path, const std::string& text, std::string& why) {
    const std::string temporary = path + ".tmp";
    std::error_code failed;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, failed);
    }
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        why = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    const bool synced = written && platformSyncFile(file);
    const bool closed = std::fclose(file) == 0;
    if (!written || !synced || !closed) {
        why = "cannot write " + temporary + ": " + std::strerror(written ? errno : writeError);
        std::remove(temporary.c_str());
        return false;
    }
    if (!platformReplaceFile(temporary.c_str(), path.c_str())) {
        why = "cannot put " + temporary + " in the place of " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool setFileAside(const std::string& path, const char* suffix) {
    return platformReplaceFile(path.c_str(), (path + suffix).c_str());
}
