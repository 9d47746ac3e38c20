// win32_platform.cpp -- the game's window, messages, boxes, clock, font and
// version on Windows: RegisterClassA, CreateWindowExA, WGL, PeekMessageA.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <io.h>

#include <cstdio>
#include <string>
#include <cstring>
#include <initializer_list>

#include "common/gl_api.h"
#include "platform/platform.h"
#include "platform/win32/win32_keys.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/xinput_pads.h"

namespace {

// The full-screen mode record as the game sizes it: the 148-byte DEVMODEA
// (the fields up to dmDisplayFrequency's group), zeroed.
constexpr WORD displayModeSize = 148;
static_assert(sizeof(DEVMODEA) >= displayModeSize, "DEVMODEA holds the 148-byte mode record");
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format descriptor is 40 bytes");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");

// Everything the backend holds of Windows.
struct Win32Platform {
    HINSTANCE instance;
    HWND window;
    HDC deviceContext;
    HGLRC renderContext;
    WindowProcedure procedure;
    void* procedureContext; // the game's, handed back with every message
    PIXELFORMATDESCRIPTOR pixelFormat;
    bool pixelFormatBuilt;
    MSG lastMessage;    // the message platformPeekMessage took, for dispatching
    bool quiet;         // boxes go to standard error
    char dropped[1024]; // the last file dropped on the window
    HWND messageWindow; // the window of the message the procedure is handling
};

Win32Platform win32;

LRESULT CALLBACK receiveMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (win32.procedure == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        wParam = keypadVirtualKey(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        break;
    case WM_LBUTTONDOWN:
        // Dragging the light goes on outside the window, and the release is
        // seen wherever it happens.
        SetCapture(window);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        break;
    case WM_DROPFILES: {
        // The first of the files; the game plays one replay at a time.
        const HDROP drop = reinterpret_cast<HDROP>(wParam);
        win32.dropped[0] = '\0';
        wchar_t name[MAX_PATH * 2] = L"";
        if (DragQueryFileW(drop, 0, name, sizeof name / sizeof name[0]) > 0) {
            std::snprintf(win32.dropped, sizeof win32.dropped, "%s", narrowText(name).c_str());
        }
        DragFinish(drop);
        break;
    }
    case WM_SIZE:
        // Windows minimises an active window before it deactivates it, and the
        // activation says so. Wine lets the X window manager take the focus
        // first, so the window learns it was minimised only from its size.
        if (wParam == SIZE_MINIMIZED) {
            win32.procedure(win32.procedureContext, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
        }
        break;
    default:
        break;
    }
    // Messages nest (the default handling sends more): remember whose this is.
    const HWND outer = win32.messageWindow;
    win32.messageWindow = window;
    const LRESULT result = win32.procedure(win32.procedureContext, message, wParam, lParam);
    win32.messageWindow = outer;
    return result;
}

void buildPixelFormat(uint32_t colorBits) {
    PIXELFORMATDESCRIPTOR& pfd = win32.pixelFormat;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(colorBits & 0xFF);
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    win32.pixelFormatBuilt = true;
}

} // namespace

int platformOpenWindow(const WindowRequest& request) {
    win32.procedure = request.procedure;
    win32.procedureContext = request.context;
    RECT rect{0, 0, static_cast<LONG>(request.width), static_cast<LONG>(request.height)};
    win32.instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = receiveMessage;
    windowClass.hInstance = win32.instance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "OpenGL";
    if (!RegisterClassA(&windowClass)) {
        return -1;
    }

    DWORD exStyle;
    DWORD style;
    if (request.fullscreen) {
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = displayModeSize;
        mode.dmPelsWidth = request.width;
        mode.dmPelsHeight = request.height;
        mode.dmBitsPerPel = request.colorBits;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            return -2; // no fall-back to a window
        }
        exStyle = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(request.showCursor ? TRUE : FALSE);
    } else {
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
    // The client area, not the outer window, gets the requested size.
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);

    win32.window = CreateWindowExA(exStyle, "OpenGL", request.title,
                                   style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                   rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                   nullptr, win32.instance, nullptr);
    if (win32.window == nullptr) {
        return -3;
    }
    if (!win32.pixelFormatBuilt) {
        buildPixelFormat(request.colorBits);
    }
    win32.deviceContext = GetDC(win32.window);
    if (win32.deviceContext == nullptr) {
        return -4;
    }
    const int format = ChoosePixelFormat(win32.deviceContext, &win32.pixelFormat);
    if (format == 0) {
        return -5;
    }
    if (!SetPixelFormat(win32.deviceContext, format, &win32.pixelFormat)) {
        return -6;
    }
    win32.renderContext = wglCreateContext(win32.deviceContext);
    if (win32.renderContext == nullptr) {
        return -7;
    }
    if (!wglMakeCurrent(win32.deviceContext, win32.renderContext)) {
        return -8;
    }
    DragAcceptFiles(win32.window, TRUE); // a replay dropped on the window plays
    ShowWindow(win32.window, SW_SHOW);
    SetForegroundWindow(win32.window);
    SetFocus(win32.window);
    return 0;
}

void platformCloseWindow(bool fullscreen, void (*report)(CloseStep failedStep)) {
    if (fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }
    if (win32.renderContext != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr)) {
            report(CloseStep::releaseContext);
        }
        if (!wglDeleteContext(win32.renderContext)) {
            report(CloseStep::deleteContext);
        }
        win32.renderContext = nullptr;
    }
    if (win32.deviceContext != nullptr) {
        if (!ReleaseDC(win32.window, win32.deviceContext)) {
            report(CloseStep::releaseDeviceContext);
        }
        win32.deviceContext = nullptr;
    }
    if (win32.window != nullptr) {
        if (!DestroyWindow(win32.window)) {
            report(CloseStep::destroyWindow);
        }
        win32.window = nullptr;
    }
    if (!UnregisterClassA("OpenGL", win32.instance)) {
        report(CloseStep::unregisterClass);
    }
    win32.instance = nullptr;
}

bool platformPeekMessage(WindowMessage& message) {
    if (!PeekMessageA(&win32.lastMessage, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    message = WindowMessage{win32.lastMessage.message, win32.lastMessage.wParam,
                            win32.lastMessage.lParam};
    return true;
}

void platformWaitMessage(uint32_t milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}

void platformDispatchMessage(const WindowMessage&) {
    TranslateMessage(&win32.lastMessage);
    DispatchMessageA(&win32.lastMessage);
}

intptr_t platformDefaultWindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DefWindowProcA(win32.messageWindow, message, wParam, lParam);
}

void platformPostQuitMessage(int exitCode) { PostQuitMessage(exitCode); }

void platformSwapBuffers() { SwapBuffers(win32.deviceContext); }

namespace {

// XInputGetState, from the first XInput DLL that loads; null without one (the
// game then plays with keys only and mudlark.exe still imports nothing else).
XInputGetStateFunction xinputGetState = nullptr;
HMODULE xinputLibrary = nullptr;

} // namespace

bool platformOpenGamepads() {
    for (const char* name : {"xinput1_4.dll", "xinput9_1_0.dll"}) {
        xinputLibrary = xinputLibrary != nullptr ? xinputLibrary : LoadLibraryA(name);
    }
    if (xinputLibrary != nullptr) {
        xinputGetState = reinterpret_cast<XInputGetStateFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(xinputLibrary, "XInputGetState")));
    }
    return xinputGetState != nullptr;
}

int platformReadGamepads(PadReading* readings, int capacity) {
    return readXInputPads(xinputGetState, readings, capacity);
}

// The DLL stays loaded to the end of the process: XInput keeps threads of its
// own, and unloading it under them is asking for a crash at exit.
void platformCloseGamepads() { xinputGetState = nullptr; }

bool platformDroppedFile(char (&path)[1024]) {
    std::snprintf(path, sizeof path, "%s", win32.dropped);
    return path[0] != '\0';
}

void platformQuietMessages() { win32.quiet = true; }

void platformShowMessage(const char* text, const char* caption, MessageIcon icon) {
    // Said on standard error as well: a console or a log keeps what a box shows.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (win32.quiet) {
        return;
    }
    UINT flags = MB_OK;
    if (icon == MessageIcon::exclamation) {
        flags |= MB_ICONEXCLAMATION;
    } else if (icon == MessageIcon::information) {
        flags |= MB_ICONINFORMATION;
    }
    std::wstring wideMessage, wideCaption;
    if (wideText(text, wideMessage) && wideText(caption, wideCaption)) {
        MessageBoxW(nullptr, wideMessage.c_str(), wideCaption.c_str(), flags);
    } else {
        MessageBoxA(nullptr, text, caption, flags);
    }
}

bool platformPerformanceFrequency(int64_t& countsPerSecond) {
    LARGE_INTEGER frequency{};
    const bool present = QueryPerformanceFrequency(&frequency) != 0;
    countsPerSecond = frequency.QuadPart;
    return present && countsPerSecond != 0;
}

bool platformPerformanceCounter(int64_t& count) {
    LARGE_INTEGER now{};
    const bool read = QueryPerformanceCounter(&now) != 0;
    count = now.QuadPart;
    return read;
}

void* platformGlFunction(const char* name) {
    // wglGetProcAddress knows only the calls past OpenGL 1.1 (and may answer
    // 1, 2, 3 or -1 for none); the rest are opengl32.dll's own.
    const PROC call = wglGetProcAddress(name);
    const intptr_t value = reinterpret_cast<intptr_t>(call);
    if (value != 0 && value != 1 && value != 2 && value != 3 && value != -1) {
        return reinterpret_cast<void*>(call);
    }
    const HMODULE library = GetModuleHandleA("opengl32.dll");
    return library != nullptr ? reinterpret_cast<void*>(GetProcAddress(library, name)) : nullptr;
}

void platformBuildFontLists(uint32_t firstList) {
    // Courier, 16 pixels of character height (negative: not the cell height), bold.
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH,
                             "Courier");
    SelectObject(win32.deviceContext, font);
    wglUseFontBitmapsA(win32.deviceContext, 32, 96, firstList);
    // The space has no bitmap, and some implementations leave its list without
    // the advance (a bitmap of no size is even compiled without it): give it one
    // blank pixel and the font's own width, so words stay apart.
    INT spaceWidth = 0;
    if (!GetCharWidth32A(win32.deviceContext, ' ', ' ', &spaceWidth) || spaceWidth <= 0) {
        TEXTMETRICA metrics{};
        GetTextMetricsA(win32.deviceContext, &metrics);
        spaceWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 8;
    }
    static const GLubyte blank = 0;
    glNewList(firstList, GL_COMPILE);
    glBitmap(1, 1, 0, 0, static_cast<GLfloat>(spaceWidth), 0, &blank);
    glEndList();
}

void platformOsVersion(OsVersion& version) {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    version.platformId = info.dwPlatformId;
    version.majorVersion = static_cast<int32_t>(info.dwMajorVersion);
    version.minorVersion = static_cast<int32_t>(info.dwMinorVersion);
    version.buildNumber = static_cast<int32_t>(info.dwBuildNumber);
}

void platformReleaseFreeMemory() { HeapCompact(GetProcessHeap(), 0); }

