// web_keys.cpp -- a browser's key positions (KeyboardEvent.code) to Windows
// virtual-key codes, as the SDL backend maps its scancodes.
#include "platform/web/web_keys.h"

#include <cstring>

#include "platform/win_messages.h"

namespace {

struct NamedKey {
    const char* code;
    uint8_t key;
};

constexpr NamedKey namedKeys[] = {
    {"Digit0", '0'},          {"Numpad0", VK_NUMPAD0},        {"NumpadMultiply", VK_MULTIPLY},
    {"NumpadAdd", VK_ADD},    {"NumpadSubtract", VK_SUBTRACT}, {"NumpadDecimal", VK_DECIMAL},
    {"NumpadDivide", VK_DIVIDE}, {"NumpadEnter", VK_RETURN},   {"NumLock", VK_NUMLOCK},
    {"Escape", VK_ESCAPE},    {"Enter", VK_RETURN},           {"Space", VK_SPACE},
    {"Tab", VK_TAB},          {"Backspace", VK_BACK},         {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},    {"Home", VK_HOME},              {"End", VK_END},
    {"PageUp", VK_PRIOR},     {"PageDown", VK_NEXT},          {"ArrowLeft", VK_LEFT},
    {"ArrowUp", VK_UP},       {"ArrowRight", VK_RIGHT},       {"ArrowDown", VK_DOWN},
    {"ShiftLeft", VK_LSHIFT}, {"ShiftRight", VK_RSHIFT},      {"ControlLeft", VK_LCONTROL},
    {"ControlRight", VK_RCONTROL}, {"AltLeft", VK_MENU},      {"AltRight", VK_MENU},
    {"MetaLeft", VK_LWIN},    {"MetaRight", VK_RWIN},         {"ContextMenu", VK_APPS},
    {"CapsLock", VK_CAPITAL}, {"ScrollLock", VK_SCROLL},      {"Pause", VK_PAUSE},
    {"PrintScreen", VK_SNAPSHOT}, {"Semicolon", VK_OEM_1},    {"Equal", VK_OEM_PLUS},
    {"Comma", VK_OEM_COMMA},  {"Minus", VK_OEM_MINUS},        {"Period", VK_OEM_PERIOD},
    {"Slash", VK_OEM_2},      {"Backquote", VK_OEM_3},        {"BracketLeft", VK_OEM_4},
    {"Backslash", VK_OEM_5},  {"BracketRight", VK_OEM_6},     {"Quote", VK_OEM_7},
    {"IntlBackslash", VK_OEM_102},
};

// The number after a prefix ("F12" -> 12), or -1 where the code is not one.
int numberAfter(const char* code, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (std::strncmp(code, prefix, length) != 0 || code[length] < '0' || code[length] > '9') {
        return -1;
    }
    int value = 0;
    for (const char* c = code + length; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || value > 99) {
            return -1;
        }
        value = value * 10 + (*c - '0');
    }
    return value;
}

} // namespace

uint8_t virtualKeyFromCode(const char* code) {
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return static_cast<uint8_t>(code[3]);
    }
    const int digit = numberAfter(code, "Digit"), pad = numberAfter(code, "Numpad"), function = numberAfter(code, "F");
    if (digit >= 1 && digit <= 9) {
        return static_cast<uint8_t>('0' + digit);
    }
    if (pad >= 1 && pad <= 9) {
        return static_cast<uint8_t>(VK_NUMPAD0 + pad);
    }
    if (function >= 1 && function <= 12) {
        return static_cast<uint8_t>(VK_F1 + function - 1);
    }
    for (const NamedKey& named : namedKeys) {
        if (std::strcmp(code, named.code) == 0) {
            return named.key;
        }
    }
    return 0;
}
