// safe_file.cpp -- a temporary file of its own, synced, then renamed into place.
#include "core/safe_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/files.h"
#include "platform/platform.h"

namespace {

// "records.txt.4f1c-2a-3.tmp" beside records.txt: the process, the moment and
// a count in the name, so that two games keeping the same file (two windows
// of a LAN race sharing one data folder) never write into each other's.
std::string temporaryName(const std::string& path) {
    static std::atomic<uint32_t> count{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%x-%llx-%x.tmp", platformProcessId(),
                  static_cast<unsigned long long>(now) & 0xFFFFFFFFull, ++count);
    return path + tail;
}

} // namespace

bool writeFileSafely(const std::string& path, const std::string& text, std::string& why) {
    std::error_code failed;
    const std::filesystem::path folder = pathOf(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, failed);
    }
    std::string temporary = temporaryName(path);
    for (int again = 0; again < 8 && std::filesystem::exists(pathOf(temporary), failed); ++again) {
        temporary = temporaryName(path);
    }
    std::FILE* file = platformOpenFile(temporary.c_str(), "wb");
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
        std::filesystem::remove(pathOf(temporary), failed);
        return false;
    }
    if (!platformReplaceFile(temporary.c_str(), path.c_str())) {
        why = "cannot put " + temporary + " in the place of " + path;
        std::filesystem::remove(pathOf(temporary), failed);
        return false;
    }
    return true;
}

bool setFileAside(const std::string& path, const char* suffix) {
    return platformReplaceFile(path.c_str(), (path + suffix).c_str());
}
