// posix_system.cpp -- files made to last and put in place, and the running
// program's folder, on the systems the SDL backend and the server run on.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

bool platformWindowsPaths() { return false; }

bool platformSyncFile(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool platformReplaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool platformExecutableFolder(char (&folder)[1024]) {
    char path[1024];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return false;
    }
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        return false;
    }
    *slash = '\0';
    std::snprintf(folder, sizeof folder, "%s", path[0] != '\0' ? path : "/");
    return true;
}
