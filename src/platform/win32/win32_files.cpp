// win32_files.cpp -- the game's files on Windows: every name it opens,
// renames or is given goes to Windows as UTF-16, so that a player whose user
// name or game folder holds Greek, Cyrillic or Japanese letters outside the
// system's code page keeps settings, records and replays like anyone else.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_text.h"

bool wideText(const char* text, std::wstring& wide) {
    wide.clear();
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.assign(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length) != length) {
        wide.clear();
        return false;
    }
    wide.pop_back(); // the terminating zero the count took in
    return true;
}

std::string narrowText(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.pop_back();
    return text;
}

std::FILE* platformOpenFile(const char* path, const char* mode) {
    std::wstring widePath, wideMode;
    if (path == nullptr || !wideText(path, widePath) || !wideText(mode, wideMode)) {
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

std::string platformEnvironment(const char* name) {
    std::wstring wideName;
    const wchar_t* value = wideText(name, wideName) ? _wgetenv(wideName.c_str()) : nullptr;
    return value != nullptr ? narrowText(value) : std::string();
}

uint32_t platformProcessId() { return static_cast<uint32_t>(GetCurrentProcessId()); }

bool platformWindowsPaths() { return true; }

bool platformSyncFile(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool platformReplaceFile(const char* from, const char* to) {
    std::wstring wideFrom, wideTo;
    return wideText(from, wideFrom) && wideText(to, wideTo) &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool platformExecutableFolder(char (&folder)[1024]) {
    wchar_t path[32768]; // the longest path Windows knows
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0]) {
        return false;
    }
    wchar_t* separator = wcsrchr(path, L'\\');
    if (separator == nullptr) {
        return false;
    }
    *separator = L'\0';
    const std::string text = narrowText(path);
    if (text.empty() || text.size() >= sizeof folder) {
        return false;
    }
    std::snprintf(folder, sizeof folder, "%s", text.c_str());
    return true;
}
