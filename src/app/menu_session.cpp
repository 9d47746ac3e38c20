// menu_session.cpp -- the menu's keys, what it shows of the game, and its
// choices applied and kept.
#include "app/menu_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/bindings.h"
#include "app/player_rules.h"
#include "app/race_session.h"
#include "app/game.h"
#include "app/game_mode.h"
#include "app/lan_session.h"
#include "app/replay_session.h"
#include "app/trial_session.h"
#include "render/render.h"
#include "core/files.h"
#include "core/gamepads.h"
#include "core/key_names.h"
#include "core/play_lines.h"
#include "core/settings_write.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "race/records.h"
#include "render/big_text.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "audio/sound.h"
#include "replay/replay_file.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

constexpr float hintSeconds = 5;
constexpr float fadeSeconds = 0.3f;


// A replay's line: its track, when it was driven, its laps and who won.
std::string replayLine(const std::string& path) {
    ReplaySummary summary{};
    if (!readReplaySummary(path.c_str(), summary)) {
        return fileNameOf(path) + ": damaged";
    }
    // race-YYYYMMDD-HHMMSS.mlr: the date and time it was kept.
    const std::string name = nameOf(pathOf(path).stem());
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    char when[24] = "";
    if (std::sscanf(name.c_str(), "race-%4d%2d%2d-%2d%2d", &y, &mo, &d, &h, &mi) == 5) {
        std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", y, mo, d, h, mi);
    }
    char line[menuTextCapacity];
    std::snprintf(line, sizeof line, "%s %s %d %s %s", summary.trackName[0] != '\0' ? summary.trackName : "TRACK",
                  when, summary.laps, summary.laps == 1 ? "LAP" : "LAPS",
                  summary.winner >= 0 ? (std::string(vehicleNames[summary.winner]) + " WON").c_str() : "");
    return line;
}

void fillReplays(Game& game) {
    MenuSession& session = game.menu;
    session.replays = keptReplayFiles(game.replay);
    if (session.replays.size() > static_cast<size_t>(menuReplayCapacity)) {
        session.replays.resize(menuReplayCapacity);
    }
    MenuFacts& f = session.facts;
    f.replayCount = static_cast<int32_t>(session.replays.size());
    for (int32_t r = 0; r < f.replayCount; ++r) {
        std::snprintf(f.replays[r], sizeof f.replays[r], "%s", replayLine(session.replays[r]).c_str());
    }
}

const char* nameOfTrack(const MenuSession& session, int32_t number) {
    const MenuFacts& f = session.facts;
    for (int32_t t = 0; t < f.trackCount; ++t) {
        if (f.tracks[t] == number) {
            return f.trackNames[t];
        }
    }
    return "TRACK";
}

void fillRecords(MenuSession& session) {
    MenuFacts& f = session.facts;
    f.recordCount = 0;
    const auto kept = std::make_unique<RaceRecords>(); // large: read while the menu opens, never kept
    RaceRecords& records = *kept;
    const std::string path = recordsPath();
    std::FILE* file = path.empty() ? nullptr : platformOpenFile(path.c_str(), "r");
    LineFault fault{};
    const bool read = file != nullptr && readRaceRecords(file, records, fault) && records.clock == recordsClock;
    if (file != nullptr) {
        std::fclose(file);
    }
    // This simulation's records first; those driven before contact came
    // under a line of their own, never mixed with them.
    for (const bool current : {true, false}) {
        bool headed = current;
        for (int32_t r = 0; read && r < records.count && f.recordCount < menuRecordCapacity; ++r) {
            const RaceRecord& record = records.entries[r];
            if ((record.simulation == static_cast<int32_t>(simulationVersion)) != current) {
                continue;
            }
            if (!headed) {
                std::snprintf(f.records[f.recordCount++], menuTextCapacity, "%s", "Older, without contact:");
                headed = true;
                if (f.recordCount == menuRecordCapacity) {
                    break;
                }
            }
            char lap[16], race[16];
            formatRaceTime(record.bestLap, lap);
            formatRaceTime(record.bestRace, race);
            std::snprintf(f.records[f.recordCount++], menuTextCapacity, "%s %d %s: LAP %s RACE %s",
                          nameOfTrack(session, record.track), static_cast<int>(record.laps), record.laps == 1 ? "LAP" : "LAPS",
                          lap, race);
        }
    }
}

// What the menu shows, as the game stands now.
void fillFacts(Game& game, const World& world) {
    const Settings& settings = game.settings;
    MenuSession& session = game.menu;
    MenuFacts& f = session.facts;
    const std::string typed = f.address, code = f.code; // the address and code typed last stay for the next join
    f = MenuFacts{};
    std::snprintf(f.address, sizeof f.address, "%s", typed.c_str());
    std::snprintf(f.code, sizeof f.code, "%s", code.c_str());
    for (int32_t number = 1; number <= maxTrackNumber && f.trackCount < menuTrackCapacity; ++number) {
        TrackProblems problems{};
        if (findTrackProblems(number, problems)) {
            continue;
        }
        Course course{};
        LineFault fault{};
        std::FILE* file = platformOpenFile(trackFiles(number).gates, "r");
        if (file != nullptr) {
            readCourse(file, course, fault);
            std::fclose(file);
        }
        f.tracks[f.trackCount] = number;
        std::snprintf(f.trackNames[f.trackCount], menuTextCapacity, "%s",
                      course.name[0] != '\0' ? course.name : ("TRACK " + std::to_string(number)).c_str());
        f.track = number == world.track ? f.trackCount : f.track;
        ++f.trackCount;
    }
    f.laps = static_cast<int32_t>(settings.laps);
    f.computerDrivers = settings.computerDrivers;
    f.computerSkill = static_cast<int32_t>(settings.computerSkill);
    f.vehicleContact = settings.vehicleContact;
    f.solidTrees = settings.solidTrees;
    fillReplays(game);
    fillRecords(session);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        int32_t inOrder[keySlotCount];
        keysInSlots(game.bindings.keys[v], inOrder);
        for (int slot = 0; slot < menuKeySlots; ++slot) {
            f.keys[v][slot] = static_cast<uint8_t>(inOrder[slot]);
        }
    }
    f.layout = game.view.worldView ? 3 : static_cast<int32_t>(game.view.splitLayout) - 1;
    f.showFps = settings.showFps;
    f.showSystemInfo = settings.showSystemInfo;
    f.fullscreen = settings.fullscreen;
    f.size = 2; // 1024 x 768 unless the start's size is one of the list
    for (int32_t i = 0; i < menuSizeCount; ++i) {
        const bool same = settings.startWidth == static_cast<uint32_t>(menuSizes[i][0]) &&
                          settings.startHeight == static_cast<uint32_t>(menuSizes[i][1]);
        f.size = same ? i : f.size;
    }
    session.sizeShown = f.size;
    f.sound = settings.sound;
    f.volume = static_cast<int32_t>(settings.volume);
}

// The menu's facts into the game and the settings file.
void apply(Game& game, World& world) {
    Settings& settings = game.settings;
    MenuSession& session = game.menu;
    const MenuFacts& f = session.facts;
    const Settings before = settings;
    settings.laps = static_cast<uint32_t>(f.laps);
    settings.computerDrivers = f.computerDrivers;
    settings.computerSkill = static_cast<uint32_t>(f.computerSkill);
    settings.vehicleContact = f.vehicleContact;
    settings.solidTrees = f.solidTrees;
    const bool racing = world.race.phase == RacePhase::countdown || world.race.phase == RacePhase::racing;
    const bool own = worldIsOwn(gameMode(game, world));
    if (world.race.phase == RacePhase::off && own) {
        applyPlayerRules(world, settings); // at once where nothing runs; a race keeps the rules it started with
    }
    const int32_t track = f.trackCount > 0 ? f.tracks[std::clamp(f.track, 0, f.trackCount - 1)] : world.track;
    settings.track = static_cast<uint32_t>(track);
    if (track != world.track && !racing && own && chooseLanTrack(game.lan, track)) {
        endRace(world.race); // results still showing go with the old track
        switchTrack(world, game.said, track, settings.textureFilter);
    }
    game.view.worldView = f.layout == 3;
    game.view.splitLayout = f.layout == 3 ? game.view.splitLayout : static_cast<uint32_t>(f.layout + 1);
    settings.showFps = f.showFps;
    settings.showSystemInfo = f.showSystemInfo;
    settings.fullscreen = f.fullscreen;
    if (f.size != session.sizeShown) { // a size of the player's own stays until one is chosen here
        const int32_t size = std::clamp(f.size, 0, menuSizeCount - 1);
        settings.startWidth = static_cast<uint32_t>(menuSizes[size][0]);
        settings.startHeight = static_cast<uint32_t>(menuSizes[size][1]);
        session.sizeShown = f.size;
    }
    if (f.sound && !settings.sound && !session.soundAsked) {
        session.soundAsked = true;
        startSound();
    }
    settings.sound = f.sound;
    settings.volume = static_cast<uint32_t>(f.volume);
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (std::memcmp(settings.vehicleKeys[v], f.keys[v], menuKeySlots) != 0 || settings.vehicleKeysLine[v] == 0) {
            const bool changed = std::memcmp(f.keys[v], startingKeys[v], menuKeySlots) != 0 ||
                                 settings.vehicleKeysLine[v] != 0;
            std::memcpy(settings.vehicleKeys[v], f.keys[v], menuKeySlots);
            settings.vehicleKeysLine[v] = changed ? -1 : 0; // -1: the menu's keys, written back
        }
        const uint8_t* k = f.keys[v];
        game.bindings.keys[v] = VehicleKeys{k[keyReverse], k[keyLeft], k[keyBrake], k[keyRight], k[keyAccelerate], k[keyRescue]};
    }
    std::string why;
    if (!keepSettings(settings, before, why)) {
        std::snprintf(session.facts.notice, menuTextCapacity, "Settings not kept: %s", why.c_str());
    }
}

void carryOut(Game& game, World& world, MenuCommand command) {
    MenuSession& session = game.menu;
    switch (command) {
    case MenuCommand::changed: apply(game, world); break;
    case MenuCommand::startRace:
        apply(game, world);
        changeMode(game, world, ModeChange::startRace);
        break;
    case MenuCommand::startTrial:
    case MenuCommand::watchReplay:
        if (lanMode(gameMode(game, world))) { // the world is every machine's: nothing of this one's own
            showPlayLine(game.said, "not during a LAN race");
            break;
        }
        if (command == MenuCommand::startTrial) {
            apply(game, world);
            changeMode(game, world, ModeChange::startTrial);
            break;
        }
        changeMode(game, world, ModeChange::playFile,
                   session.replays[static_cast<size_t>(std::clamp(session.menu.chosenReplay, 0, session.facts.replayCount - 1))]);
        break;
    case MenuCommand::deleteReplay: {
        std::error_code failed;
        std::filesystem::remove(pathOf(session.replays[static_cast<size_t>(session.menu.chosenReplay)]), failed);
        fillReplays(game);
        session.menu.selected = std::min(session.menu.selected, session.facts.replayCount);
        break;
    }
    case MenuCommand::hostLan:
        apply(game, world);
        std::memset(game.lan.code, 0, sizeof game.lan.code); // a race on the network here: no code
        changeMode(game, world, ModeChange::hostLan);
        break;
    case MenuCommand::joinLan:
        if (session.menu.chosenHost < static_cast<int32_t>(session.hostAddresses.size())) {
            const int32_t chosen = session.menu.chosenHost;
            const std::string address = chosen < 0 ? session.facts.address : session.hostAddresses[static_cast<size_t>(chosen)];
            // The race code typed (four letters), or none.
            if (!readRaceCode(session.facts.code, game.lan.code)) {
                std::memset(game.lan.code, 0, sizeof game.lan.code);
            }
            stopFindingLanHosts(game.lan);
            changeMode(game, world, ModeChange::joinLan, address);
        }
        break;
    case MenuCommand::quit: platformPostQuitMessage(0); break;
    default: break;
    }
}

// F1 or LB: the menu opens on its first page, showing the game as it stands, or closes.
void toggleMenu(Game& game, const World& world) {
    MenuSession& session = game.menu;
    if (session.menu.open) {
        closeMenu(session.menu);
    } else {
        openMenu(session.menu);
        fillFacts(game, world);
    }
}

} // namespace

void readMenuKeys(Game& game, World& world, uint32_t frameRate) {
    const InputState& input = game.input;
    MenuSession& session = game.menu;
    const float frameSeconds = 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1);
    session.seconds += session.seconds < hintSeconds ? frameSeconds : 0;
    const float fade = frameSeconds / fadeSeconds;
    session.soundLevel = std::clamp(session.soundLevel + (session.menu.open ? -fade : fade), 0.0f, 1.0f);
    session.escapeHeld = session.escapeHeld && input.keys[VK_ESCAPE] != 0;
    Menu& menu = session.menu;
    MenuFacts& facts = session.facts;
    const struct {
        uint8_t key;
        uint32_t pad;
        MenuKey press;
    } presses[] = {{VK_UP, padDpadUp, MenuKey::up},          {VK_DOWN, padDpadDown, MenuKey::down},
                   {VK_LEFT, padDpadLeft, MenuKey::left},    {VK_RIGHT, padDpadRight, MenuKey::right},
                   {VK_RETURN, padSouth, MenuKey::enter},    {VK_BACK, padEast, MenuKey::back},
                   {VK_DELETE, 0, MenuKey::erase}};
    // The keys in the order they were typed, then the pads' buttons.
    for (int32_t t = 0; t < input.typedCount; ++t) {
        const uint8_t code = input.typed[t];
        MenuCommand command;
        if (menu.open && chooseMenuKey(menu, facts, code, command)) {
            session.escapeHeld = code == VK_ESCAPE;
            carryOut(game, world, command);
        } else if (typeMenuKey(menu, facts, code)) {
            // a character of the address being typed
        } else if (code == VK_F1) {
            toggleMenu(game, world);
        } else if (menu.open) {
            for (const auto& p : presses) {
                if (p.key == code) {
                    carryOut(game, world, pressMenu(menu, facts, p.press));
                }
            }
        }
    }
    const uint32_t pads = game.pads.menuPresses;
    if ((pads & padLeftShoulder) != 0) {
        toggleMenu(game, world);
    }
    for (const auto& p : presses) {
        if (menu.open && (pads & p.pad) != 0) {
            carryOut(game, world, pressMenu(menu, facts, p.press));
        }
    }
    if (!menu.open) {
        return;
    }
    // The mouse: the line under the pointer is chosen; a click presses Enter on it.
    MenuLine lines[menuLineCapacity];
    const int count = menuLines(menu, facts, lines);
    const int line = menuLineAt(static_cast<float>(input.cursorY), count, static_cast<float>(game.window.height));
    if (menu.open && (input.deltaX != 0 || input.deltaY != 0)) {
        pointMenuAt(menu, facts, line);
    }
    const bool click = input.leftButton != 0 && !session.clickWasDown;
    session.clickWasDown = input.leftButton != 0;
    if (menu.open && click && line >= 0 && lines[line].item) {
        pointMenuAt(menu, facts, line);
        carryOut(game, world, pressMenu(menu, facts, MenuKey::enter));
    }
    // The join page lists the LAN races that answer a broadcast, as they come.
    if (menu.open && menu.page == MenuPage::join) {
        static_assert(menuHostCapacity == lanHostCapacity, "the join page lists every host found");
        LanHost hosts[lanHostCapacity];
        facts.hostCount = findLanHosts(game.lan, game.settings, hosts);
        session.hostAddresses.clear();
        for (int32_t h = 0; h < facts.hostCount; ++h) {
            session.hostAddresses.push_back(addressText(hosts[h].address));
            std::snprintf(facts.hosts[h], menuTextCapacity, "%s, track %d, %d in", session.hostAddresses.back().c_str(),
                          static_cast<int>(hosts[h].track), static_cast<int>(hosts[h].machines));
        }
        session.finding = true;
    } else if (session.finding) {
        stopFindingLanHosts(game.lan);
        session.finding = false;
        facts.hostCount = 0;
    }
    if (menu.open && menu.page == MenuPage::keyboard) {
        facts.heldCount = 0;
        for (int code = 1; code < InputState::keyCount && facts.heldCount < menuHeldCapacity; ++code) {
            if (input.keys[code] != 0 && keyNameOfCode(static_cast<uint8_t>(code)) != nullptr) {
                facts.held[facts.heldCount++] = static_cast<uint8_t>(code);
            }
        }
    }
}

bool menuOpen(const MenuSession& session) { return session.menu.open; }

bool menuTakesEscape(const MenuSession& session) { return (session.menu.open && session.menu.capturing >= 0) || session.escapeHeld; }

float menuSoundLevel(const MenuSession& session) { return session.soundLevel; }

void drawMenu(const Game& game) {
    const MenuSession& session = game.menu;
    const WindowSize window = game.window;
    if (!session.menu.open) {
        if (session.seconds < hintSeconds) {
            colour(1, 1, 1);
            printText(window, window.width > 100 ? window.width - 100 : 0, 24, "%s", "F1: menu");
        }
        return;
    }
    const float width = static_cast<float>(window.width), height = static_cast<float>(window.height);
    viewport(0, 0, static_cast<int32_t>(window.width), static_cast<int32_t>(window.height));
    beginOverlay2D(window);
    pushState();
    disable(Feature::depthTest);
    disable(Feature::lighting);
    disable(Feature::texture);
    enable(Feature::blend);
    blendFunction(Blend::sourceAlpha, Blend::oneMinusSourceAlpha);
    colour(0, 0, 0, 0.7f); // the picture darkened behind the lines
    begin(Primitive::quads);
    vertex2(0, 0);
    vertex2(width, 0);
    vertex2(width, height);
    vertex2(0, height);
    end();
    disable(Feature::blend);
    MenuLine lines[menuLineCapacity];
    const int count = menuLines(session.menu, session.facts, lines);
    const float dot = menuDot(height);
    colour(1.0f, 0.85f, 0.2f);
    drawBigText(width / 2, menuLineY(-2, count, height), 1.5f * dot, menuTitle(session.menu.page));
    int item = 0;
    for (int l = 0; l < count; ++l) {
        const bool chosen = lines[l].item && item++ == session.menu.selected;
        if (chosen) {
            colour(1.0f, 0.85f, 0.2f);
        } else if (lines[l].item) {
            colour(1, 1, 1);
        } else {
            colour(0.6f, 0.6f, 0.6f);
        }
        drawBigText(width / 2, menuLineY(l, count, height), dot, lines[l].text);
    }
    popState();
    applyPerspective(window);
}

