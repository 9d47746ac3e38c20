// menu_test.cpp -- the menu's pages without a window: every page reached and
// left with the keys, values changed within their ends, a new key taken or
// refused with who holds it, a replay deleted only after a yes, the mouse's
// lines where they are drawn; and the settings the menu changes written back
// into the player's file with everything else in it kept.
#include <gtest/gtest.h>

#include <cstdio>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/key_names.h"
#include "core/settings_write.h"
#include "menu/menu.h"
#include "platform/fake/fake_platform.h"
#include "support/temp_dir.h"

namespace {

// The page's lines joined with "|", the chosen item marked ">".
std::string page(const Menu& menu, const MenuFacts& facts) {
    MenuLine lines[menuLineCapacity];
    const int count = menuLines(menu, facts, lines);
    std::string text;
    for (int l = 0, item = 0; l < count; ++l) {
        const bool chosen = lines[l].item && item++ == menu.selected;
        text += std::string(l > 0 ? "|" : "") + (chosen ? ">" : "") + lines[l].text;
    }
    return text;
}

MenuFacts someFacts() {
    MenuFacts facts{};
    facts.trackCount = 2;
    facts.tracks[0] = 1, facts.tracks[1] = 3;
    std::strcpy(facts.trackNames[0], "Meadow");
    std::strcpy(facts.trackNames[1], "Quarry");
    facts.laps = 20;
    facts.computerSkill = 3;
    facts.replayCount = 2;
    std::strcpy(facts.replays[0], "Meadow 2026-12-07 18:04 3 laps blue won");
    std::strcpy(facts.replays[1], "Quarry 2026-12-06 10:00 1 lap");
    std::memcpy(facts.keys, startingKeys, sizeof facts.keys);
    facts.volume = 100;
    return facts;
}

TEST(Menu, EveryPageWithTheKeysAndValuesWithinTheirEnds) {
    Menu menu;
    MenuFacts facts = someFacts();
    openMenu(menu);
    EXPECT_EQ(page(menu, facts), ">RACE|REPLAYS|RECORDS|CONTROLS|SCREEN|SOUND|QUIT");
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::up), MenuCommand::none); // round to the last
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::quit);
    pressMenu(menu, facts, MenuKey::down); // round to the first: Race
    pressMenu(menu, facts, MenuKey::enter);
    EXPECT_EQ(page(menu, facts), ">TRACK: MEADOW|LAPS: 20|COMPUTER DRIVERS: OFF|THEIR SKILL: 3|VEHICLE CONTACT: OFF|"
                                 "SOLID TREES: OFF|START RACE|TIME TRIAL|HOST A LAN RACE|JOIN|BACK");
    for (const MenuKey key : {MenuKey::left, MenuKey::down, MenuKey::right, MenuKey::down, MenuKey::left,
                              MenuKey::down, MenuKey::right, MenuKey::down, MenuKey::right, MenuKey::down}) {
        pressMenu(menu, facts, key); // track round to Quarry; laps stay at 20; drivers on; skill stays at 3; contact on
    }
    EXPECT_EQ(std::make_tuple(facts.track, facts.laps, facts.computerDrivers, facts.computerSkill,
                              facts.vehicleContact, facts.solidTrees),
              std::make_tuple(1, 20, true, 3, true, false));
    pressMenu(menu, facts, MenuKey::down);
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::startRace);
    EXPECT_FALSE(menu.open);
    // Join: the hosts as they answer; Enter on one joins it, the menu closed.
    openMenu(menu);
    pressMenu(menu, facts, MenuKey::enter);
    for (int i = 0; i < 9; ++i) {
        pressMenu(menu, facts, MenuKey::down);
    }
    pressMenu(menu, facts, MenuKey::enter);
    EXPECT_EQ(page(menu, facts), ">ADDRESS: _|CODE: NONE|LOOKING FOR LAN RACES...|BACK");
    EXPECT_STREQ(menuTitle(menu.page), "JOIN A RACE"); // every page has its own title
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::none); // nothing typed: nowhere to go
    facts.hostCount = 2;
    std::snprintf(facts.hosts[1], sizeof facts.hosts[1], "10.0.0.5:27777, track 3, 1 in");
    pressMenu(menu, facts, MenuKey::down); // the code: four letters, the fifth not taken
    for (const uint8_t code : {uint8_t{'1'}, uint8_t{'A'}, uint8_t{'B'}, uint8_t{'C'}, uint8_t{'D'}, uint8_t{'E'}}) {
        EXPECT_EQ(typeMenuKey(menu, facts, code), code != '1');
    }
    EXPECT_STREQ(facts.code, "ABCD");
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::none);
    pressMenu(menu, facts, MenuKey::down);
    pressMenu(menu, facts, MenuKey::down);
    EXPECT_FALSE(typeMenuKey(menu, facts, 'A')); // typed only on the address and code lines
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::joinLan);
    EXPECT_EQ(menu.chosenHost, 1);
    EXPECT_FALSE(menu.open);
    // An address typed: a name, or IPv6 in brackets (':' is the key of ';'), Backspace taking the last.
    openMenu(menu);
    pressMenu(menu, facts, MenuKey::enter);
    for (int i = 0; i < 9; ++i) {
        pressMenu(menu, facts, MenuKey::down);
    }
    pressMenu(menu, facts, MenuKey::enter);
    for (const uint8_t code : {VK_OEM_4, VK_OEM_1, VK_OEM_1, uint8_t{'1'}, VK_OEM_6, VK_OEM_1, uint8_t{'2'},
                               uint8_t{VK_NUMPAD0 + 7}, uint8_t{'X'}, VK_F5}) {
        EXPECT_EQ(typeMenuKey(menu, facts, code), code != VK_F5) << int{code};
    }
    pressMenu(menu, facts, MenuKey::back);
    EXPECT_STREQ(facts.address, "[::1]:27");
    EXPECT_EQ(page(menu, facts).substr(0, 19), ">ADDRESS: [::1]:27_");
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::joinLan);
    EXPECT_EQ(menu.chosenHost, -1);
    facts.hostCount = 0;
    openMenu(menu);
    for (int i = 0; i < 5; ++i) {
        pressMenu(menu, facts, MenuKey::down); // to Sound
    }
    pressMenu(menu, facts, MenuKey::enter);
    pressMenu(menu, facts, MenuKey::down);
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::right), MenuCommand::changed);
    EXPECT_EQ(page(menu, facts), "SOUND: OFF|>VOLUME: 100|BACK");
    pressMenu(menu, facts, MenuKey::left);
    EXPECT_EQ(facts.volume, 90);
    pressMenu(menu, facts, MenuKey::back);
    EXPECT_EQ(page(menu, facts), "RACE|REPLAYS|RECORDS|CONTROLS|SCREEN|>SOUND|QUIT"); // back where it came from
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::back), MenuCommand::close);
    EXPECT_FALSE(menu.open);
}

// Delete asks first; No keeps it, Yes deletes it. The records page lists and
// only leaves.
TEST(Menu, AReplayIsDeletedOnlyAfterAYes) {
    Menu menu;
    MenuFacts facts = someFacts();
    openMenu(menu);
    pressMenu(menu, facts, MenuKey::down);
    pressMenu(menu, facts, MenuKey::enter);
    pressMenu(menu, facts, MenuKey::down);
    pressMenu(menu, facts, MenuKey::erase);
    EXPECT_EQ(page(menu, facts), "DELETE THIS REPLAY?|QUARRY 2026-12-06 10:00 1 LAP|>NO, KEEP IT|YES, DELETE IT");
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::none);
    pressMenu(menu, facts, MenuKey::erase);
    pressMenu(menu, facts, MenuKey::down);
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::deleteReplay);
    EXPECT_EQ(menu.chosenReplay, 1);
    menu.selected = 0;
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::watchReplay);
    EXPECT_EQ(menu.chosenReplay, 0);
}

// Enter on a key, then the new key: Escape cancels, F5, red's W and green's
// rescue are refused with who holds them, Up is taken; Defaults puts back all.
TEST(Menu, ANewKeyIsTakenOrRefusedWithWhoHoldsIt) {
    Menu menu;
    MenuFacts facts = someFacts();
    openMenu(menu);
    menu.page = MenuPage::controls;
    pressMenu(menu, facts, MenuKey::enter); // blue's accelerate
    EXPECT_EQ(page(menu, facts).substr(0, 31), ">BLUE ACCELERATE: PRESS A KEY|B");
    MenuCommand command;
    const std::pair<uint8_t, std::string> tries[] = {
        {VK_F5, "F5 IS HELD BY STARTING A RACE"}, {'W', "W IS HELD BY RED'S ACCELERATE"},
        {'O', "O IS HELD BY GREEN'S RESCUE"}, {VK_F1 + 12, "THAT KEY CANNOT DRIVE: CHOOSE ANOTHER"}};
    for (const auto& [code, said] : tries) {
        pressMenu(menu, facts, MenuKey::enter);
        EXPECT_TRUE(chooseMenuKey(menu, facts, code, command));
        EXPECT_EQ(std::string(menu.message), said);
        EXPECT_EQ(command, MenuCommand::none);
    }
    pressMenu(menu, facts, MenuKey::enter);
    EXPECT_TRUE(chooseMenuKey(menu, facts, VK_ESCAPE, command)); // cancelled
    EXPECT_FALSE(chooseMenuKey(menu, facts, VK_UP, command)); // nothing is being chosen now
    pressMenu(menu, facts, MenuKey::enter);
    EXPECT_TRUE(chooseMenuKey(menu, facts, VK_UP, command));
    EXPECT_EQ(std::make_pair(command, facts.keys[0][0]), std::make_pair(MenuCommand::changed, VK_UP));
    for (int i = 0; i < 5; ++i) {
        pressMenu(menu, facts, MenuKey::down);
    }
    EXPECT_NE(page(menu, facts).find("|>BLUE RESCUE: NUMPAD9|RED ACCELERATE: W|"), std::string::npos);
    for (int i = 0; i < 13; ++i) {
        pressMenu(menu, facts, MenuKey::down);
    }
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::changed); // Defaults
    EXPECT_EQ(facts.keys[0][0], VK_NUMPAD0 + 8);
    pressMenu(menu, facts, MenuKey::down);
    EXPECT_EQ(pressMenu(menu, facts, MenuKey::enter), MenuCommand::keyboardTest);
    facts.held[0] = 'W', facts.held[1] = VK_LEFT, facts.heldCount = 2;
    EXPECT_NE(page(menu, facts).find("HELD: W LEFT"), std::string::npos);
}

// The mouse's line is the drawn line, at any window height.
TEST(Menu, TheLineUnderThePointerIsTheLineDrawnThere) {
    for (const float height : {480.0f, 768.0f, 1080.0f}) {
        for (int line = 0; line < 19; ++line) {
            EXPECT_EQ(menuLineAt(menuLineY(line, 19, height), 19, height), line);
        }
        EXPECT_EQ(menuLineAt(menuLineY(-2, 19, height), 19, height), -1); // the title
    }
}

// Only the values that changed are written: where the key stands (as the
// reader finds it, "computer drivers:" too), else on a line of their own at
// the end; comments, unknown words and the order stay.
TEST(SettingsWrite, OnlyTheChangedValuesTheRestAsItWas) {
    const std::string text = "# my settings\nresolution: 800 600 32 fullscreen: false\n\nlaps: 3 # short ones\n"
                             "computer drivers: true\nkeys red: Up Down Left Right Space # arrows\nfancy: yes\nlaps: 4\n"
                             "vehiclecontact: true";
    EXPECT_EQ(rewriteSettings(text, {{"laps:", "7"}, {"computerdrivers:", "false"}, {"keys red:", "W Z A D S E"},
                                     {"volume:", "30"}, {"vehicle contact:", "false"}, {"solid trees:", "false"}}),
              "# my settings\nresolution: 800 600 32 fullscreen: false\n\nlaps: 3 # short ones\n"
              "computer drivers: false\nkeys red: W Z A D S E # arrows\nfancy: yes\nlaps: 7\n"
              "vehiclecontact: false\nvolume: 30\nsolid trees: false\n");
    Settings before{}, after{};
    before.laps = after.laps = 3;
    after.volume = 10;
    TempDir dir;
    const std::string path = dir.write("settings.cfg", "# mine\nvolume: 80\n");
    std::snprintf(after.readFrom, sizeof after.readFrom, "%s", path.c_str());
    std::string why;
    ASSERT_TRUE(keepSettings(after, before, why)) << why;
    EXPECT_EQ(readFileBytes(path), "# mine\nvolume: 10\n");
    // A file the game cannot write: the user's own file takes the text, and is
    // where the settings come from now. A write that fails before the rename
    // leaves the old file whole.
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    std::snprintf(after.readFrom, sizeof after.readFrom, "%s", (path + "/settings.cfg").c_str());
    after.volume = 20;
    ASSERT_TRUE(keepSettings(after, before, why)) << why;
    EXPECT_EQ(std::string(after.readFrom), dir.file("config/mudlark/settings.cfg"));
    EXPECT_EQ(readFileBytes(after.readFrom), "volume: 20\n");
    resetFakePlatform();
    fake.failReplace = true;
    after.volume = 40;
    EXPECT_FALSE(keepSettings(after, before, why));
    EXPECT_EQ(readFileBytes(after.readFrom), "volume: 20\n");
    unsetenv("XDG_CONFIG_HOME");
    resetFakePlatform();
}

} // namespace
