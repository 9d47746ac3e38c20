// menu.cpp -- the menu's pages: what each line says and what a press on it does.
#include "menu/menu.h"

#include <algorithm>
#include <iterator>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdarg>
#include <cstring>

#include "core/key_names.h"

namespace {

constexpr const char* slotNames[menuKeySlots] = {"ACCELERATE", "REVERSE", "LEFT", "RIGHT", "BRAKE", "RESCUE"};

// The Race page's items, in order.
enum RaceItem : int32_t {
    raceTrack, raceLaps, raceComputers, raceSkill, raceContact, raceTrees, raceStart, raceTrial, raceHost, raceJoin,
    raceBack
};
constexpr const char* layoutNames[4] = {"ONE DRIVER", "TWO DRIVERS", "THREE DRIVERS", "THE WORLD"};

// Page lines are built in a small writer: headings and items, in capitals.
struct Lines {
    MenuLine (&lines)[menuLineCapacity];
    int count;

    void add(bool item, const char* format, ...) __attribute__((format(printf, 3, 4))) {
        if (count == menuLineCapacity) {
            return;
        }
        MenuLine& line = lines[count++];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(line.text, sizeof line.text, format, arguments);
        va_end(arguments);
        for (char& c : line.text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        line.item = item;
    }
};

const char* onOff(bool on) { return on ? "ON" : "OFF"; }

const char* keyName(uint8_t code) {
    const char* name = keyNameOfCode(code);
    return name != nullptr ? name : "NONE";
}

void buildLines(const Menu& menu, const MenuFacts& f, Lines& out) {
    switch (menu.page) {
    case MenuPage::main:
        for (const char* name : {"Race", "Replays", "Records", "Controls", "Screen", "Sound", "Quit"}) {
            out.add(true, "%s", name);
        }
        break;
    case MenuPage::race:
        out.add(true, "Track: %s", f.trackCount > 0 ? f.trackNames[std::clamp(f.track, 0, f.trackCount - 1)] : "none");
        out.add(true, "Laps: %d", f.laps);
        out.add(true, "Computer drivers: %s", onOff(f.computerDrivers));
        out.add(true, "Their skill: %d", f.computerSkill);
        out.add(true, "Vehicle contact: %s", onOff(f.vehicleContact));
        out.add(true, "Solid trees: %s", onOff(f.solidTrees));
        out.add(true, "Start race");
        out.add(true, "Time trial");
        out.add(true, "Host a LAN race");
        out.add(true, "Join");
        out.add(true, "Back");
        break;
    case MenuPage::join:
        out.add(true, "Address: %s%s", f.address, menu.selected == 0 ? "_" : "");
        out.add(true, "Code: %s%s", f.code[0] != '\0' ? f.code : menu.selected == 1 ? "" : "none",
                menu.selected == 1 && std::strlen(f.code) < 4 ? "_" : "");
        if (f.hostCount == 0) {
            out.add(false, "Looking for LAN races...");
        }
        for (int h = 0; h < f.hostCount; ++h) {
            out.add(true, "%s", f.hosts[h]);
        }
        out.add(true, "Back");
        break;
    case MenuPage::replays:
        if (f.replayCount == 0) {
            out.add(false, "No replay yet: every race is kept");
        }
        for (int r = 0; r < f.replayCount; ++r) {
            out.add(true, "%s", f.replays[r]);
        }
        out.add(false, "Enter watches, Delete deletes");
        out.add(true, "Back");
        break;
    case MenuPage::deleteReplay:
        out.add(false, "Delete this replay?");
        out.add(false, "%s", f.replays[std::clamp(menu.chosenReplay, 0, menuReplayCapacity - 1)]);
        out.add(true, "No, keep it");
        out.add(true, "Yes, delete it");
        break;
    case MenuPage::records:
        if (f.recordCount == 0) {
            out.add(false, "No records yet: finish a race");
        }
        for (int r = 0; r < f.recordCount; ++r) {
            out.add(false, "%s", f.records[r]);
        }
        out.add(true, "Back");
        break;
    case MenuPage::controls:
        for (int v = 0; v < vehicleCount; ++v) {
            for (int slot = 0; slot < menuKeySlots; ++slot) {
                const bool choosing = menu.capturing == v * menuKeySlots + slot;
                out.add(true, "%s %s: %s", vehicleNames[v], slotNames[slot],
                        choosing ? "press a key" : keyName(f.keys[v][slot]));
            }
        }
        out.add(true, "Defaults");
        out.add(true, "Test the keyboard");
        out.add(true, "Back");
        out.add(false, "%s", menu.capturing >= 0 ? "Escape cancels the new key" : "Enter, then the new key");
        break;
    case MenuPage::keyboard: {
        out.add(false, "Hold your keys as you drive:");
        out.add(false, "accelerate and left, accelerate and right,");
        out.add(false, "all three players at once");
        char held[menuTextCapacity] = "";
        for (int k = 0; k < f.heldCount; ++k) {
            const size_t used = std::strlen(held);
            std::snprintf(held + used, sizeof held - used, "%s%s", k > 0 ? " " : "", keyName(f.held[k]));
        }
        out.add(false, "Held: %s", f.heldCount > 0 ? held : "none");
        out.add(true, "Back");
        break;
    }
    case MenuPage::screen:
        out.add(true, "Layout: %s", layoutNames[std::clamp(f.layout, 0, 3)]);
        out.add(true, "Frame-rate bar: %s", onOff(f.showFps));
        out.add(true, "System information: %s", onOff(f.showSystemInfo));
        out.add(true, "Full screen: %s", onOff(f.fullscreen));
        out.add(true, "Size: %dx%d", menuSizes[std::clamp(f.size, 0, menuSizeCount - 1)][0],
                menuSizes[std::clamp(f.size, 0, menuSizeCount - 1)][1]);
        out.add(false, "Full screen and size: from the next start");
        out.add(true, "Back");
        break;
    case MenuPage::sound:
        out.add(true, "Sound: %s", onOff(f.sound));
        out.add(true, "Volume: %d", f.volume);
        out.add(true, "Back");
        break;
    }
    if (menu.message[0] != '\0') {
        out.add(false, "%s", menu.message);
    }
    if (f.notice[0] != '\0') {
        out.add(false, "%s", f.notice);
    }
}

int itemCount(const Menu& menu, const MenuFacts& facts) {
    MenuLine lines[menuLineCapacity];
    const int count = menuLines(menu, facts, lines);
    return static_cast<int>(std::count_if(lines, lines + count, [](const MenuLine& l) { return l.item; }));
}

void goTo(Menu& menu, MenuPage page, int32_t selected = 0) {
    menu.page = page;
    menu.selected = selected;
    menu.capturing = -1;
}

// Left (-1) or right (+1) on the selected item of a page with values.
MenuCommand change(Menu& menu, MenuFacts& f, int step) {
    const int32_t s = menu.selected;
    if (menu.page == MenuPage::race) {
        if (s == raceTrack && f.trackCount > 0) {
            f.track = (f.track + step + f.trackCount) % f.trackCount;
        } else if (s == raceLaps) {
            f.laps = std::clamp(f.laps + step, minLaps, maxLaps);
        } else if (s == raceComputers) {
            f.computerDrivers = !f.computerDrivers;
        } else if (s == raceSkill) {
            f.computerSkill = std::clamp(f.computerSkill + step, minSkill, maxSkill);
        } else if (s == raceContact) {
            f.vehicleContact = !f.vehicleContact;
        } else if (s == raceTrees) {
            f.solidTrees = !f.solidTrees;
        } else {
            return MenuCommand::none;
        }
        return MenuCommand::changed;
    }
    if (menu.page == MenuPage::screen && s <= 4) {
        f.layout = s == 0 ? (f.layout + step + 4) % 4 : f.layout;
        f.showFps = s == 1 ? !f.showFps : f.showFps;
        f.showSystemInfo = s == 2 ? !f.showSystemInfo : f.showSystemInfo;
        f.fullscreen = s == 3 ? !f.fullscreen : f.fullscreen;
        f.size = s == 4 ? (f.size + step + menuSizeCount) % menuSizeCount : f.size;
        return MenuCommand::changed;
    }
    if (menu.page == MenuPage::sound && s <= 1) {
        f.sound = s == 0 ? !f.sound : f.sound;
        f.volume = s == 1 ? std::clamp(f.volume + 10 * step, 0, 100) : f.volume;
        return MenuCommand::changed;
    }
    return MenuCommand::none;
}

MenuCommand choose(Menu& menu, MenuFacts& f) {
    const int32_t s = menu.selected;
    const int32_t last = itemCount(menu, f) - 1;
    switch (menu.page) {
    case MenuPage::main: {
        constexpr MenuPage pages[] = {MenuPage::race,     MenuPage::replays, MenuPage::records,
                                      MenuPage::controls, MenuPage::screen,  MenuPage::sound};
        if (s >= 6) {
            return MenuCommand::quit;
        }
        goTo(menu, pages[std::clamp(s, 0, 5)]);
        return MenuCommand::none;
    }
    case MenuPage::race:
        if (s == raceStart || s == raceTrial || s == raceHost) {
            closeMenu(menu);
            return s == raceStart ? MenuCommand::startRace : s == raceTrial ? MenuCommand::startTrial : MenuCommand::hostLan;
        }
        if (s == raceJoin) {
            goTo(menu, MenuPage::join);
            return MenuCommand::none;
        }
        return s == raceBack ? (goTo(menu, MenuPage::main, 0), MenuCommand::none) : change(menu, f, +1);
    case MenuPage::join:
        if ((s == 0 && f.address[0] == '\0') || s == 1) {
            return MenuCommand::none; // nothing typed yet, or the code: typed, not chosen
        }
        if (s > f.hostCount + 1) {
            goTo(menu, MenuPage::race, raceJoin);
            return MenuCommand::none;
        }
        menu.chosenHost = s == 0 ? -1 : s - 2; // -1: the address typed
        closeMenu(menu);
        return MenuCommand::joinLan;
    case MenuPage::replays:
        if (s >= f.replayCount) {
            goTo(menu, MenuPage::main, 1);
            return MenuCommand::none;
        }
        menu.chosenReplay = s;
        closeMenu(menu);
        return MenuCommand::watchReplay;
    case MenuPage::deleteReplay:
        // Back on the replay kept, or on the one that takes the deleted one's place.
        goTo(menu, MenuPage::replays, s == 1 ? std::min(menu.chosenReplay, std::max(0, f.replayCount - 2)) : menu.chosenReplay);
        return s == 1 ? MenuCommand::deleteReplay : MenuCommand::none;
    case MenuPage::records:
        goTo(menu, MenuPage::main, 2);
        return MenuCommand::none;
    case MenuPage::controls:
        if (s < vehicleCount * menuKeySlots) {
            menu.capturing = s;
        } else if (s == last - 2) {
            std::memcpy(f.keys, startingKeys, sizeof f.keys);
            return MenuCommand::changed;
        } else if (s == last - 1) {
            goTo(menu, MenuPage::keyboard);
            return MenuCommand::keyboardTest;
        } else {
            goTo(menu, MenuPage::main, 3);
        }
        return MenuCommand::none;
    case MenuPage::keyboard:
        goTo(menu, MenuPage::controls, vehicleCount * menuKeySlots + 1);
        return MenuCommand::none;
    case MenuPage::screen:
        return s == last ? (goTo(menu, MenuPage::main, 4), MenuCommand::none) : change(menu, f, +1);
    case MenuPage::sound:
        return s == last ? (goTo(menu, MenuPage::main, 5), MenuCommand::none) : change(menu, f, +1);
    }
    return MenuCommand::none;
}

// Backspace: the page above, or out of the menu from its first page.
MenuCommand back(Menu& menu) {
    switch (menu.page) {
    case MenuPage::main: closeMenu(menu); return MenuCommand::close;
    case MenuPage::deleteReplay: goTo(menu, MenuPage::replays, menu.chosenReplay); break;
    case MenuPage::keyboard: goTo(menu, MenuPage::controls, vehicleCount * menuKeySlots + 1); break;
    case MenuPage::join: goTo(menu, MenuPage::race, raceJoin); break;
    default: {
        // Back on the first page, on the line that leads here.
        constexpr MenuPage order[] = {MenuPage::race,     MenuPage::replays, MenuPage::records,
                                      MenuPage::controls, MenuPage::screen,  MenuPage::sound};
        goTo(menu, MenuPage::main,
             static_cast<int32_t>(std::find(std::begin(order), std::end(order), menu.page) - std::begin(order)));
    }
    }
    return MenuCommand::none;
}

} // namespace

void openMenu(Menu& menu) {
    menu = Menu{};
    menu.open = true;
    menu.capturing = -1;
}

void closeMenu(Menu& menu) {
    menu.open = false;
    menu.capturing = -1;
}

int menuLines(const Menu& menu, const MenuFacts& facts, MenuLine (&lines)[menuLineCapacity]) {
    Lines out{lines, 0};
    buildLines(menu, facts, out);
    return out.count;
}

MenuCommand pressMenu(Menu& menu, MenuFacts& facts, MenuKey key) {
    menu.message[0] = '\0';
    const int32_t items = itemCount(menu, facts);
    switch (key) {
    case MenuKey::up: menu.selected = (menu.selected + items - 1) % std::max(items, 1); break;
    case MenuKey::down: menu.selected = (menu.selected + 1) % std::max(items, 1); break;
    case MenuKey::left: return change(menu, facts, -1);
    case MenuKey::right: return change(menu, facts, +1);
    case MenuKey::enter: return choose(menu, facts);
    case MenuKey::back:
        if (menu.page == MenuPage::join && menu.selected <= 1) {
            char* typed = menu.selected == 0 ? facts.address : facts.code;
            if (typed[0] != '\0') {
                typed[std::strlen(typed) - 1] = '\0';
                break;
            }
        }
        return back(menu);
    case MenuKey::erase:
        if (menu.page == MenuPage::replays && menu.selected < facts.replayCount) {
            menu.chosenReplay = menu.selected;
            goTo(menu, MenuPage::deleteReplay);
        }
        break;
    }
    return MenuCommand::none;
}

void pointMenuAt(Menu& menu, const MenuFacts& facts, int32_t line) {
    MenuLine lines[menuLineCapacity];
    const int count = menuLines(menu, facts, lines);
    if (line < 0 || line >= count || !lines[line].item) {
        return;
    }
    menu.selected = static_cast<int32_t>(std::count_if(lines, lines + line, [](const MenuLine& l) { return l.item; }));
}

bool typeMenuKey(Menu& menu, MenuFacts& facts, uint8_t code) {
    if (!menu.open || menu.page != MenuPage::join || menu.selected > 1) {
        return false;
    }
    const bool letter = code >= 'A' && code <= 'Z';
    char c = '\0';
    if (menu.selected == 1) { // the race code: capitals only
        c = letter ? static_cast<char>(code) : '\0';
    } else if (letter || (code >= '0' && code <= '9')) {
        c = static_cast<char>(std::tolower(code));
    } else if (code >= VK_NUMPAD0 && code <= VK_NUMPAD0 + 9) {
        c = static_cast<char>('0' + (code - VK_NUMPAD0));
    } else {
        constexpr struct {
            uint8_t code;
            char c;
        } marks[] = {{VK_OEM_PERIOD, '.'}, {VK_DECIMAL, '.'}, {VK_OEM_MINUS, '-'}, {VK_SUBTRACT, '-'},
                     {VK_OEM_1, ':'},      {VK_OEM_4, '['},   {VK_OEM_6, ']'}};
        for (const auto& mark : marks) {
            c = mark.code == code ? mark.c : c;
        }
    }
    if (c == '\0') {
        return false;
    }
    // On the end of the line, while there is room (a code has four letters).
    char* typed = menu.selected == 1 ? facts.code : facts.address;
    const size_t room = menu.selected == 1 ? sizeof facts.code : sizeof facts.address;
    const size_t length = std::strlen(typed);
    if (length + 1 < room) {
        typed[length] = c;
        typed[length + 1] = '\0';
    }
    return true;
}

bool chooseMenuKey(Menu& menu, MenuFacts& facts, uint8_t code, MenuCommand& command) {
    command = MenuCommand::none;
    if (menu.capturing < 0) {
        return false;
    }
    const int32_t vehicle = menu.capturing / menuKeySlots, slot = menu.capturing % menuKeySlots;
    menu.capturing = -1;
    menu.message[0] = '\0';
    if (code == VK_ESCAPE) {
        return true; // cancelled: the key stays
    }
    const char* name = keyNameOfCode(code);
    const char* action = gameKeyAction(code);
    if (name == nullptr) {
        std::snprintf(menu.message, sizeof menu.message, "That key cannot drive: choose another");
    } else if (action != nullptr) {
        std::snprintf(menu.message, sizeof menu.message, "%s is held by %s", name, action);
    } else {
        for (int v = 0; v < vehicleCount; ++v) {
            for (int s = 0; s < menuKeySlots; ++s) {
                if (facts.keys[v][s] == code && (v != vehicle || s != slot)) {
                    std::snprintf(menu.message, sizeof menu.message, "%s is held by %s's %s", name, vehicleNames[v],
                                  slotNames[s]);
                }
            }
        }
    }
    for (char& c : menu.message) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (menu.message[0] == '\0') {
        facts.keys[vehicle][slot] = code;
        command = MenuCommand::changed;
    }
    return true;
}

// Seven dots a letter, ten a line; the title stands two lines above the first.
const char* menuTitle(MenuPage page) {
    switch (page) { // every page named here: a page added without a title does not build
    case MenuPage::main: return "MUDLARK";
    case MenuPage::race: return "RACE";
    case MenuPage::replays: return "REPLAYS";
    case MenuPage::deleteReplay: return "DELETE A REPLAY";
    case MenuPage::records: return "RECORDS";
    case MenuPage::controls: return "CONTROLS";
    case MenuPage::keyboard: return "KEYBOARD";
    case MenuPage::screen: return "SCREEN";
    case MenuPage::sound: return "SOUND";
    case MenuPage::join: return "JOIN A RACE";
    }
    return "MUDLARK";
}

float menuDot(float windowHeight) { return windowHeight / 320.0f; }

float menuLineY(int line, int count, float windowHeight) {
    const float pitch = 10 * menuDot(windowHeight);
    return windowHeight / 2 + (static_cast<float>(line) - static_cast<float>(count - 1) / 2) * pitch + pitch;
}

int menuLineAt(float y, int count, float windowHeight) {
    const float pitch = 10 * menuDot(windowHeight);
    for (int line = 0; line < count; ++line) {
        if (std::fabs(y - menuLineY(line, count, windowHeight)) <= pitch / 2) {
            return line;
        }
    }
    return -1;
}
