// game_harness.cpp -- Xvfb, openbox, the game process and X11 pictures for end-to-end tests.
#include "support/game_harness.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>
#include <utility>

namespace fs = std::filesystem;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

// Forks a program: standard output thrown away, standard error to the file
// errors, in folder (if any) with DISPLAY and these NAME=value settings, and
// optionally fd3 as its descriptor 3.
pid_t spawn(const std::vector<std::string>& argv, const std::string& display, const std::string& errors = "/dev/null",
            const std::string& folder = "", const std::vector<std::string>& environment = {}, int fd3 = -1) {
    std::vector<char*> args;
    for (const std::string& word : argv) {
        args.push_back(const_cast<char*>(word.c_str()));
    }
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (fd3 >= 0 && fd3 != 3) {
            dup2(fd3, 3);
            close(fd3);
        }
        dup2(open("/dev/null", O_WRONLY), 1);
        dup2(open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        if (!display.empty()) {
            setenv("DISPLAY", display.c_str(), 1);
        }
        for (const std::string& setting : environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        if (folder.empty() || chdir(folder.c_str()) == 0) {
            execvp(args[0], args.data());
        }
        _exit(127);
    }
    return pid;
}

} // namespace

int Image::count(Area a, const std::function<bool(const uint8_t*, int x)>& test) const {
    const int x1 = a.x1 < 0 ? width : a.x1, y1 = a.y1 < 0 ? height : a.y1;
    int counted = 0;
    for (int y = a.y0; y < y1; ++y) {
        for (int x = a.x0; x < x1; ++x) {
            counted += test(at(x, y), x) ? 1 : 0;
        }
    }
    return counted;
}

int Image::countDifferences(const Image& other, int tolerance, Area area) const {
    if (other.width != width || other.height != height) {
        return width * height;
    }
    return count(area, [&](const uint8_t* p, int) {
        const uint8_t* q = other.rgb.data() + (p - rgb.data());
        return std::abs(p[0] - q[0]) > tolerance || std::abs(p[1] - q[1]) > tolerance ||
               std::abs(p[2] - q[2]) > tolerance;
    });
}

int Image::countColour(uint8_t r, uint8_t g, uint8_t b, int tolerance, Area area) const {
    return count(area, [&](const uint8_t* p, int) {
        return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
    });
}

int Image::distinctColours() const {
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 2 < rgb.size() && colours.size() < 4096; i += 3) {
        colours.insert((uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2]);
    }
    return static_cast<int>(colours.size());
}

int Image::rightmostWhite(Area area) const {
    int right = -1;
    count(area, [&](const uint8_t* p, int x) {
        right = p[0] == 255 && p[1] == 255 && p[2] == 255 ? std::max(right, x) : right;
        return false;
    });
    return right;
}

XServer::XServer(int width, int height, bool windowManager) {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    // Xvfb writes its display number on descriptor 3 once it takes clients.
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid_ = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, "", "/dev/null",
                 "", {}, fds[1]);
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        return;
    }
    name_ = ":" + number;
    XSetErrorHandler(ignoreXErrors);
    display_ = XOpenDisplay(name_.c_str());
    if (display_ != nullptr && windowManager) {
        // Managing once it has named itself on the root window.
        windowManager_ = spawn({"openbox"}, name_);
        for (const long long end = nowMs() + 30000; nowMs() < end; sleepMs(50)) {
            if (!property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK").empty()) {
                return;
            }
        }
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

XServer::~XServer() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
    if (windowManager_ > 0) {
        kill(windowManager_, SIGTERM);
        waitpid(windowManager_, nullptr, 0);
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

std::string XServer::property(Window window, const char* name) const {
    Atom type;
    int format;
    unsigned long items = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False, AnyPropertyType, &type,
                       &format, &items, &after, &data);
    std::string value(data != nullptr ? reinterpret_cast<char*>(data) : "", data != nullptr ? items * format / 8 : 0);
    if (data != nullptr) {
        XFree(data);
    }
    return value;
}

std::string XServer::title(Window window) const {
    // SDL names its windows in UTF-8 (_NET_WM_NAME), Wine and message boxes in WM_NAME.
    const std::string utf8 = property(window, "_NET_WM_NAME");
    return utf8.empty() ? property(window, "WM_NAME") : utf8;
}

std::vector<Window> XServer::findWindows(const std::string& text) const {
    std::vector<Window> found;
    std::vector<Window> pending{DefaultRootWindow(display_)};
    while (!pending.empty()) {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        const Window current = pending.back();
        pending.pop_back();
        if (!XQueryTree(display_, current, &root, &parent, &children, &count)) {
            continue;
        }
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable &&
                title(children[i]).find(text) != std::string::npos) {
                found.push_back(children[i]);
            }
            pending.push_back(children[i]);
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

Window XServer::waitForWindow(const std::string& text, int timeoutMs) const {
    for (const long long end = nowMs() + timeoutMs; nowMs() < end; sleepMs(50)) {
        for (Window w : findWindows(text)) {
            if (title(w) == text) {
                return w;
            }
        }
    }
    return 0;
}

Image XServer::capture(Window window) const {
    Image image;
    XWindowAttributes a;
    XImage* x = XGetWindowAttributes(display_, window, &a)
                    ? XGetImage(display_, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap)
                    : nullptr;
    if (x == nullptr) {
        return image;
    }
    image.width = a.width;
    image.height = a.height;
    for (int row = 0; row < a.height; ++row) {
        for (int column = 0; column < a.width; ++column) {
            const unsigned long p = XGetPixel(x, column, row);
            image.rgb.insert(image.rgb.end(), {static_cast<uint8_t>((p & x->red_mask) >> 16),
                                               static_cast<uint8_t>((p & x->green_mask) >> 8),
                                               static_cast<uint8_t>(p & x->blue_mask)});
        }
    }
    XDestroyImage(x);
    return image;
}

Image XServer::waitForPicture(Window window, const std::function<bool(const Image&)>& done, int timeoutMs) const {
    for (const long long end = nowMs() + timeoutMs;; sleepMs(50)) {
        Image picture = capture(window);
        if ((picture.width != 0 && done(picture)) || nowMs() > end) {
            return picture;
        }
    }
}

Image XServer::waitForHeldPicture(Window window, const Image& start, int timeoutMs) const {
    Image last = start;
    long long changed = nowMs();
    return waitForPicture(
        window,
        [&](const Image& now) {
            if (now.countDifferences(std::exchange(last, now), 0) != 0) {
                changed = nowMs();
            }
            return nowMs() - changed > 2000 && now.countDifferences(start, 8) > now.width * now.height / 4;
        },
        timeoutMs);
}

Image readPpm(const std::string& path) {
    const std::string bytes = readFileBytes(path);
    Image image;
    int width = 0, height = 0, most = 0, used = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &width, &height, &most, &used) != 3 || most != 255 || width <= 0 ||
        height <= 0 || bytes.size() != static_cast<size_t>(used) + 1 + static_cast<size_t>(width) * height * 3) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.rgb.assign(bytes.begin() + used + 1, bytes.end());
    return image;
}

bool XServer::xdotool(const std::string& arguments) const {
    return std::system(("DISPLAY=" + name_ + " xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

bool XServer::focus(Window window) const {
    bool focused = false; // asked again until a window just restored on a busy machine takes it
    for (const long long end = nowMs() + 30000; !focused && nowMs() < end; sleepMs(focused ? 0 : 200)) {
        focused = xdotool("windowfocus --sync " + std::to_string(window));
    }
    // SDL holds a gained focus back for 200 ms before it tells the game; keys
    // sent sooner would come before the activation message, which would then be
    // the last message handled when Escape ends the game (its exit code).
    sleepMs(400);
    return focused;
}

void XServer::requestClose(Window window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

bool XServer::dismissMessageBox(const std::string& caption, int timeoutMs) const {
    const Window box = waitForWindow(caption, timeoutMs);
    // A box that is mapped may not take keys yet: press OK again until it goes.
    for (const long long end = nowMs() + timeoutMs; box != 0 && nowMs() < end;) {
        focus(box);
        xdotool("key Return");
        for (int wait = 0; wait < 20; ++wait, sleepMs(50)) {
            const std::vector<Window> open = findWindows(caption);
            if (std::find(open.begin(), open.end(), box) == open.end()) {
                return true;
            }
        }
    }
    return false;
}

Game::Game(const XServer& server, const char* settingsText, const std::vector<std::string>& leaveOut,
           const GameProgram& program)
    : server_(server), program_(program),
      path_(program.folderName.empty() ? folder_.path() : folder_.file(program.folderName)) {
    std::error_code none;
    fs::create_directories(path_, none);
    for (const char* top : {"Models", "Tracks", "Textures"}) {
        fs::copy(fs::path(program.dataFolder) / top, fs::path(path_) / top, fs::copy_options::recursive, none);
    }
    for (const std::string& relative : leaveOut) {
        fs::remove(fs::path(path_) / relative, none);
    }
    if (settingsText != nullptr) {
        folder_.write(program.folderName.empty() ? "settings.cfg" : program.folderName + "/settings.cfg", settingsText);
    }
}

Game::~Game() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool Game::start() {
    pid_ = spawn(program_.command, server_.name(), path_ + "/stderr.txt", path_, program_.environment);
    return pid_ > 0;
}

double Game::processorSeconds() const {
    // Fields 14 and 15 of /proc/PID/stat, after the name in parentheses: user
    // and system time of the whole process in clock ticks.
    const std::string stat = readFileBytes("/proc/" + std::to_string(pid_) + "/stat");
    unsigned long long user = 0, system = 0;
    std::sscanf(stat.c_str() + std::min(stat.size(), stat.rfind(')') + 1),
                " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user, &system);
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Game::running() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
    }
    return pid_ > 0;
}

int Game::waitForExit(int timeoutMs) {
    for (const long long end = nowMs() + timeoutMs; running(); sleepMs(20)) {
        if (nowMs() > end) {
            return -1;
        }
    }
    return exitCode_;
}
