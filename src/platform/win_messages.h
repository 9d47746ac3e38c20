// win_messages.h -- the window-message vocabulary every backend speaks: Windows'
// own message numbers, system commands and virtual-key codes.
#pragma once

#include <cstdint>

// Messages (values as Windows defines them).
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_DROPFILES = 0x0233; // the path: platformDroppedFile

// WM_ACTIVATE's low word of wParam.
constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;

// WM_SYSCOMMAND wParam values the game swallows.
constexpr uint32_t SC_SCREENSAVE = 0xF140;
constexpr uint32_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes.
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_CLEAR = 0x0C; // the keypad's 5 with NumLock off
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12;
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_PRIOR = 0x21;
constexpr uint8_t VK_NEXT = 0x22;
constexpr uint8_t VK_END = 0x23;
constexpr uint8_t VK_HOME = 0x24;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;
constexpr uint8_t VK_SNAPSHOT = 0x2C;
constexpr uint8_t VK_INSERT = 0x2D;
constexpr uint8_t VK_DELETE = 0x2E;
constexpr uint8_t VK_LWIN = 0x5B;
constexpr uint8_t VK_RWIN = 0x5C;
constexpr uint8_t VK_APPS = 0x5D;
constexpr uint8_t VK_NUMPAD0 = 0x60; // Numpad 1..9 follow at 0x61..0x69
constexpr uint8_t VK_MULTIPLY = 0x6A;
constexpr uint8_t VK_ADD = 0x6B;
constexpr uint8_t VK_SUBTRACT = 0x6D;
constexpr uint8_t VK_DECIMAL = 0x6E;
constexpr uint8_t VK_DIVIDE = 0x6F;
constexpr uint8_t VK_F1 = 0x70; // F2..F12 follow at 0x71..0x7B
constexpr uint8_t VK_F5 = 0x74;  // start a race
constexpr uint8_t VK_F6 = 0x75;  // watch the newest replay
constexpr uint8_t VK_F7 = 0x76;  // the next track
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;
constexpr uint8_t VK_LSHIFT = 0xA0; // shift and control by side
constexpr uint8_t VK_RSHIFT = 0xA1;
constexpr uint8_t VK_LCONTROL = 0xA2;
constexpr uint8_t VK_RCONTROL = 0xA3;
constexpr uint8_t VK_OEM_1 = 0xBA;      // ;:
constexpr uint8_t VK_OEM_PLUS = 0xBB;   // =+
constexpr uint8_t VK_OEM_COMMA = 0xBC;  // ,<
constexpr uint8_t VK_OEM_MINUS = 0xBD;  // -_
constexpr uint8_t VK_OEM_PERIOD = 0xBE; // .>
constexpr uint8_t VK_OEM_2 = 0xBF;      // /?
constexpr uint8_t VK_OEM_3 = 0xC0;      // `~
constexpr uint8_t VK_OEM_4 = 0xDB;      // [{
constexpr uint8_t VK_OEM_5 = 0xDC;      // \|
constexpr uint8_t VK_OEM_6 = 0xDD;      // ]}
constexpr uint8_t VK_OEM_7 = 0xDE;      // '"
constexpr uint8_t VK_OEM_102 = 0xE2;    // the extra key beside left Shift

// Letters and digits are their ASCII capitals: 'A'..'Z' and '0'..'9'.
constexpr uint8_t letterKey(char capital) { return static_cast<uint8_t>(capital); }

// Packs two 16-bit words the way Windows packs lParam and wParam.
constexpr uintptr_t makeLong(uint32_t low, uint32_t high) {
    return static_cast<uintptr_t>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr uint32_t lowWord(uintptr_t value) { return static_cast<uint32_t>(value & 0xFFFFu); }
constexpr uint32_t highWord(uintptr_t value) { return static_cast<uint32_t>((value >> 16) & 0xFFFFu); }
// A 16-bit word read as a signed number, as a mouse message's coordinates are.
constexpr int32_t signedWord(uint32_t word) {
    return static_cast<int32_t>(word & 0xFFFFu) - ((word & 0x8000u) != 0 ? 0x10000 : 0);
}
