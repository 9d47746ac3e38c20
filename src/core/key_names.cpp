// key_names.cpp -- the table of key names: letters, digits, the keypad, the
// arrows, the editing block, the function keys, space, tab, enter, backspace,
// and shift and control by side.
#include "core/key_names.h"

#include <cstdio>
#include <cctype>

#include "platform/win_messages.h"

namespace {

struct NamedKey {
    char name[16];
    uint8_t code;
};

constexpr int namedKeyCapacity = 96; // room to spare: the table has 81

struct KeyTable {
    NamedKey keys[namedKeyCapacity];
    int count;
};

void add(KeyTable& table, const char* name, uint8_t code) {
    if (table.count == namedKeyCapacity) {
        return;
    }
    NamedKey& key = table.keys[table.count++];
    size_t length = 0;
    for (; length + 1 < sizeof key.name && name[length] != '\0'; ++length) {
        key.name[length] = name[length];
    }
    key.name[length] = '\0';
    key.code = code;
}

KeyTable makeTable() {
    KeyTable table{};
    char name[16];
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        add(table, (name[0] = letter, name[1] = '\0', name), static_cast<uint8_t>(letter));
    }
    for (int digit = 0; digit <= 9; ++digit) {
        std::snprintf(name, sizeof name, "%d", digit);
        add(table, name, static_cast<uint8_t>('0' + digit));
    }
    for (int digit = 0; digit <= 9; ++digit) {
        std::snprintf(name, sizeof name, "Numpad%d", digit);
        add(table, name, static_cast<uint8_t>(VK_NUMPAD0 + digit));
    }
    const NamedKey named[] = {
        {"NumpadMultiply", VK_MULTIPLY}, {"NumpadAdd", VK_ADD},     {"NumpadSubtract", VK_SUBTRACT},
        {"NumpadDecimal", VK_DECIMAL},   {"NumpadDivide", VK_DIVIDE}, {"Up", VK_UP},
        {"Down", VK_DOWN},               {"Left", VK_LEFT},         {"Right", VK_RIGHT},
        {"Insert", VK_INSERT},           {"Delete", VK_DELETE},     {"Home", VK_HOME},
        {"End", VK_END},                 {"PageUp", VK_PRIOR},      {"PageDown", VK_NEXT},
        {"Space", VK_SPACE},             {"Tab", VK_TAB},           {"Enter", VK_RETURN},
        {"Backspace", VK_BACK},          {"LeftShift", VK_LSHIFT},  {"RightShift", VK_RSHIFT},
        {"LeftControl", VK_LCONTROL},    {"RightControl", VK_RCONTROL},
    };
    for (const NamedKey& key : named) {
        add(table, key.name, key.code);
    }
    for (int f = 1; f <= 12; ++f) {
        std::snprintf(name, sizeof name, "F%d", f);
        add(table, name, static_cast<uint8_t>(VK_F1 + f - 1));
    }
    return table;
}

bool sameName(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

const KeyTable& table() {
    static const KeyTable keys = makeTable();
    return keys;
}

} // namespace

uint8_t keyCodeOfName(const char* name) {
    for (int i = 0; name != nullptr && i < table().count; ++i) {
        if (sameName(table().keys[i].name, name)) {
            return table().keys[i].code;
        }
    }
    return 0;
}

const char* keyNameOfCode(uint8_t code) {
    for (int i = 0; code != 0 && i < table().count; ++i) {
        if (table().keys[i].code == code) {
            return table().keys[i].name;
        }
    }
    return nullptr;
}

const char* gameKeyAction(uint8_t code) {
    static constexpr struct {
        uint8_t code;
        const char* action;
    } gameKeys[] = {
        {VK_ESCAPE, "quitting"},          {VK_F1, "the menu"},            {VK_F5, "starting a race"},
        {VK_F6, "watching a replay"},     {VK_F7, "the next track"},      {VK_F1 + 7, "time trials"},
        {VK_NUMPAD0 + 7, "following blue"}, {'Q', "following red"},      {'U', "following green"},
        {'H', "the slow-down key"},
    };
    for (const LayoutKey& key : layoutKeys) {
        if (key.code == code) {
            return "the layouts";
        }
    }
    for (const auto& key : gameKeys) {
        if (key.code == code) {
            return key.action;
        }
    }
    return nullptr;
}
