// win32_keys.cpp -- the keypad's keys under NumLock off back to their own codes.
#include "platform/win32/win32_keys.h"

#include "platform/win_messages.h"

uint32_t keypadVirtualKey(uint32_t virtualKey, uint32_t lParam) {
    constexpr uint32_t rightShiftScanCode = 0x36;
    if (virtualKey == VK_SHIFT) {
        return (lParam >> 16 & 0xFF) == rightShiftScanCode ? VK_RSHIFT : VK_LSHIFT;
    }
    if (virtualKey == VK_CONTROL) {
        return (lParam & extendedKeyFlag) != 0 ? VK_RCONTROL : VK_LCONTROL;
    }
    if ((lParam & extendedKeyFlag) != 0) {
        return virtualKey;
    }
    switch (virtualKey) {
    case VK_INSERT: return VK_NUMPAD0;
    case VK_END: return VK_NUMPAD0 + 1;
    case VK_DOWN: return VK_NUMPAD0 + 2;
    case VK_NEXT: return VK_NUMPAD0 + 3;
    case VK_LEFT: return VK_NUMPAD0 + 4;
    case VK_CLEAR: return VK_NUMPAD0 + 5;
    case VK_RIGHT: return VK_NUMPAD0 + 6;
    case VK_HOME: return VK_NUMPAD0 + 7;
    case VK_UP: return VK_NUMPAD0 + 8;
    case VK_PRIOR: return VK_NUMPAD0 + 9;
    case VK_DELETE: return VK_DECIMAL;
    default: return virtualKey;
    }
}
