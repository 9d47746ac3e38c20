// menu.h -- the in-game menu: its pages, their lines and what a press does.
// No GL and nothing of the game's records: the app fills in what the menu
// shows and may change (MenuFacts), carries out what a press asks for
// (MenuCommand) and draws the lines (app/menu_view).
#pragma once

#include <cstdint>

#include "common/game_limits.h"
#include "common/vehicles.h"

enum class MenuPage : int32_t { main, race, replays, deleteReplay, records, controls, keyboard, screen, sound, join };

// What the player pressed, from the keys, a pad or the mouse.
enum class MenuKey : int32_t { up, down, left, right, enter, back, erase };

constexpr int menuLineCapacity = 24;
constexpr int menuTextCapacity = 64;
constexpr int menuAddressCapacity = 48;
constexpr int menuTrackCapacity = maxTrackNumber;
constexpr int menuReplayCapacity = 20;
constexpr int menuRecordCapacity = 16;
constexpr int menuHeldCapacity = 16;
constexpr int menuKeySlots = 6; // accelerate, reverse, left, right, brake, rescue
constexpr int menuHostCapacity = 8;

// One line of a page: a heading, or an item the arrows and the mouse can choose.
struct MenuLine {
    char text[menuTextCapacity];
    bool item;
};

// What the menu shows of the game and changes in it, as the app last filled
// it in; presses change the fields, and the app applies them.
struct MenuFacts {
    int32_t tracks[menuTrackCapacity];                     // the tracks that can be driven, by number
    char trackNames[menuTrackCapacity][menuTextCapacity];
    int32_t trackCount;
    int32_t track;                                         // index into tracks: the one driven
    int32_t laps;                                          // 1 .. 20
    bool computerDrivers;
    int32_t computerSkill;                                 // 1 .. 3
    bool vehicleContact;                                   // the vehicles touch each other
    bool solidTrees;                                       // the trees' trunks stand
    char replays[menuReplayCapacity][menuTextCapacity];    // newest first: track, date, laps, winner
    int32_t replayCount;
    char records[menuRecordCapacity][menuTextCapacity];    // a track and length a line (the older ones under a line of their own)
    int32_t recordCount;
    uint8_t keys[vehicleCount][menuKeySlots];              // virtual-key codes, in the slots' order
    uint8_t held[menuHeldCapacity];                        // the keys the keyboard reports held now
    int32_t heldCount;
    int32_t layout;                                        // 0 one driver, 1 two, 2 three, 3 the world
    bool showFps;
    bool showSystemInfo;
    bool fullscreen;                                       // from the next start
    int32_t size;                                          // index into menuSizes: the next start's size
    bool sound;
    int32_t volume;                                        // 0 .. 100
    char notice[menuTextCapacity];                         // said under the page: a file that could not be written
    char hosts[menuHostCapacity][menuTextCapacity];        // the LAN races that answered (filled in each frame the join page is open)
    int32_t hostCount;
    char address[menuAddressCapacity];                     // the join page's typed address: a name, IPv4 or [IPv6]:port
    char code[5];                                          // the join page's race code, up to four capitals
};

// The sizes the Screen page offers for the next start, full screen or window.
constexpr int menuSizeCount = 6;
constexpr int32_t menuSizes[menuSizeCount][2] = {{640, 480},   {800, 600},   {1024, 768},
                                                  {1280, 960}, {1600, 1200}, {1920, 1080}};

struct Menu {
    bool open;
    MenuPage page;
    int32_t selected;      // the item the arrows are on, counted among the page's items
    int32_t chosenReplay;  // the replay the delete page asks about
    int32_t chosenHost;    // the LAN race to join; -1: the address typed
    int32_t capturing;     // a new key being chosen: vehicle x menuKeySlots + slot; -1 none
    char message[menuTextCapacity]; // a refused key, until the next press
};

enum class MenuCommand : int32_t {
    none,
    changed,      // the facts changed: apply them (and keep them in the settings)
    startRace,    // as F5 does, the menu closed
    startTrial,   // as F8 does, the menu closed
    watchReplay,  // replay facts' chosenReplay, the menu closed
    deleteReplay, // replay chosenReplay, after the player said yes
    keyboardTest, // the keyboard page is open: fill in held anew each frame
    hostLan,      // host a LAN race, the menu closed
    joinLan,      // join the host menu.chosenHost, the menu closed
    quit,
    close,
};

// The menu open on its first page, or closed.
void openMenu(Menu& menu);
void closeMenu(Menu& menu);

// The lines of the menu's page as they read now (capitals: the menu's letters
// have no others); returns how many.
int menuLines(const Menu& menu, const MenuFacts& facts, MenuLine (&lines)[menuLineCapacity]);

// A press on the page: Up and Down move between the items, Left and Right
// change a value, Enter chooses, Backspace goes back (out of the menu from its
// first page; on an address being typed, takes its last character), Delete
// asks to delete a replay.
MenuCommand pressMenu(Menu& menu, MenuFacts& facts, MenuKey key);

// Chooses the item at this place among the page's lines (the mouse over it).
void pointMenuAt(Menu& menu, const MenuFacts& facts, int32_t line);

// While a new key is being chosen, the key pressed: Escape cancels, a key
// without a name or one another action holds is refused with a message naming
// who holds it, any other becomes the key. False when no key is being chosen.
bool chooseMenuKey(Menu& menu, MenuFacts& facts, uint8_t code, MenuCommand& command);

// On the join page's address line, a key that writes part of an address (a
// letter, a digit, '.', '-', ':' on the key of ';', '[' and ']') goes on the
// end of it; on its code line, a letter, up to four. False for any other key,
// or anywhere else.
bool typeMenuKey(Menu& menu, MenuFacts& facts, uint8_t code);

// Where the page's lines stand in a window this high (window units, y down):
// the size of a letter's dot (the letters grow with the window), and line
// `line` of `count` centred at height y. menuLineAt is the line at height y,
// or -1 between and beyond them: what the mouse points at.
// The page's title, drawn large above its lines: one for every page.
const char* menuTitle(MenuPage page);

float menuDot(float windowHeight);
float menuLineY(int line, int count, float windowHeight);
int menuLineAt(float y, int count, float windowHeight);
