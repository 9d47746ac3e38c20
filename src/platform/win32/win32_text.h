// win32_text.h -- the game's UTF-8 texts and Windows' wide (UTF-16) ones.
#pragma once

#include <string>

// UTF-8 as wide characters; false (wide empty) for bytes that are not UTF-8.
bool wideText(const char* text, std::wstring& wide);

// Wide characters as UTF-8.
std::string narrowText(const wchar_t* wide);
