// game_harness.cpp -- Xvfb, the game process and X11 screenshots for end-to-end tests.
#include "support/game_harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

} // namespace

void Image::savePpm(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

int Image::countDifferences(const Image& other, int tolerance, int x0, int y0, int x1, int y1) const {
    if (other.width != width || other.height != height) {
        return width * height;
    }
    if (x1 < 0) x1 = width;
    if (y1 < 0) y1 = height;
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint8_t* a = at(x, y);
            const uint8_t* b = other.at(x, y);
            for (int c = 0; c < 3; ++c) {
                if (std::abs(a[c] - b[c]) > tolerance) {
                    ++count;
                    break;
                }
            }
        }
    }
    return count;
}

int Image::countColour(uint8_t r, uint8_t g, uint8_t b, int tolerance, int x0, int y0, int x1,
                       int y1) const {
    if (x1 < 0) x1 = width;
    if (y1 < 0) y1 = height;
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = at(x, y);
            if (std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance &&
                std::abs(p[2] - b) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

int Image::distinctColours(int cap) const {
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 2 < rgb.size() && static_cast<int>(colours.size()) < cap; i += 3) {
        colours.insert((uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2]);
    }
    return static_cast<int>(colours.size());
}

XServer::XServer(int width, int height, bool windowManager) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid_ = fork();
    if (pid_ == 0) {
        // The read end may itself be descriptor 3: close it before the write
        // end takes that number.
        close(pipeFds[0]);
        if (pipeFds[1] != 3) {
            dup2(pipeFds[1], 3);
            close(pipeFds[1]);
        }
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[32] = {};
    ssize_t got = 0;
    // Xvfb writes its display number once it is ready for clients.
    for (;;) {
        ssize_t n = read(pipeFds[0], buffer + got, sizeof buffer - 1 - got);
        if (n <= 0) {
            break;
        }
        got += n;
        if (std::memchr(buffer, '\n', static_cast<size_t>(got)) != nullptr) {
            break;
        }
    }
    close(pipeFds[0]);
    if (got <= 0) {
        return;
    }
    name_ = ":" + std::to_string(std::atoi(buffer));
    XSetErrorHandler(ignoreXErrors);
    display_ = XOpenDisplay(name_.c_str());
    if (display_ != nullptr && windowManager) {
        startWindowManager();
    }
}

void XServer::startWindowManager() {
    windowManager_ = fork();
    if (windowManager_ == 0) {
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        setenv("DISPLAY", name_.c_str(), 1);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The manager is up once it has announced itself on the root window.
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const long long end = nowMs() + 60000;
    while (nowMs() < end) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        const bool announced =
            XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False,
                               AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
            items > 0;
        if (data != nullptr) {
            XFree(data);
        }
        if (announced) {
            return;
        }
        sleepMs(50);
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

std::string XServer::title(Window window) const {
    std::string result;
    Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, netName, 0, 1024, False, utf8, &type, &format, &items,
                           &after, &data) == Success &&
        data != nullptr) {
        result.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
        if (!result.empty()) {
            return result;
        }
    }
    char* name = nullptr;
    if (XFetchName(display_, window, &name) && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

std::vector<Window> XServer::findWindows(const std::string& text) const {
    std::vector<Window> found;
    if (display_ == nullptr) {
        return found;
    }
    std::vector<Window> pending{DefaultRootWindow(display_)};
    while (!pending.empty()) {
        Window current = pending.back();
        pending.pop_back();
        Window root, parent;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, current, &root, &parent, &children, &count)) {
            continue;
        }
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, children[i], &attributes) &&
                attributes.map_state == IsViewable &&
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

Window XServer::waitForWindow(const std::string& title, int timeoutMs) const {
    const long long end = nowMs() + timeoutMs;
    do {
        for (Window w : findWindows(title)) {
            if (this->title(w) == title) {
                return w;
            }
        }
        sleepMs(50);
    } while (nowMs() < end);
    return 0;
}

bool XServer::geometry(Window window, int& x, int& y, int& width, int& height) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) {
        return false;
    }
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    width = attributes.width;
    height = attributes.height;
    return true;
}

Image XServer::capture(Window window) const {
    Image image;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) {
        return image;
    }
    XImage* x = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (x == nullptr) {
        return image;
    }
    image.width = attributes.width;
    image.height = attributes.height;
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            unsigned long pixel = XGetPixel(x, column, row);
            uint8_t* out = &image.rgb[(static_cast<size_t>(row) * image.width + column) * 3];
            out[0] = static_cast<uint8_t>((pixel & x->red_mask) >> 16);
            out[1] = static_cast<uint8_t>((pixel & x->green_mask) >> 8);
            out[2] = static_cast<uint8_t>(pixel & x->blue_mask);
        }
    }
    XDestroyImage(x);
    return image;
}

Image XServer::waitForPicture(Window window, const std::function<bool(const Image&)>& done,
                              int timeoutMs) const {
    const long long end = nowMs() + timeoutMs;
    for (;;) {
        Image picture = capture(window);
        if ((!picture.empty() && done(picture)) || nowMs() > end) {
            return picture;
        }
        sleepMs(50);
    }
}

Image XServer::waitForChange(Window window, const Image& before, int minimumPixels,
                             int timeoutMs) const {
    return waitForPicture(
        window, [&](const Image& now) { return before.countDifferences(now) > minimumPixels; },
        timeoutMs);
}

bool XServer::xdotool(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + name_ + " xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool XServer::pressKey(const std::string& key, int holdMs) const {
    const bool down = xdotool("keydown " + key);
    sleepMs(holdMs);
    return xdotool("keyup " + key) && down;
}

bool XServer::tapKey(const std::string& key) const { return xdotool("key " + key); }

bool XServer::focus(Window window) const {
    const bool focused = xdotool("windowfocus --sync " + std::to_string(window));
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
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

bool XServer::dismissMessageBox(const std::string& caption, int timeoutMs) const {
    const Window box = waitForWindow(caption, timeoutMs);
    if (box == 0) {
        return false;
    }
    // A box that is mapped may not take keys yet: press OK again until it goes.
    const long long end = nowMs() + timeoutMs;
    while (nowMs() < end) {
        focus(box);
        xdotool("key Return");
        for (int wait = 0; wait < 20; ++wait) {
            const std::vector<Window> open = findWindows(caption);
            if (std::find(open.begin(), open.end(), box) == open.end()) {
                return true;
            }
            sleepMs(50);
        }
    }
    return false;
}

GameProgram GameProgram::native() {
    return GameProgram{{std::string(MUDLARK_RUN_DIR) + "/mudlark"}, MUDLARK_RUN_DIR, {}};
}

Game::Game(const XServer& server, const char* settingsText,
           const std::vector<std::string>& dataToLeaveOut, const GameProgram& program)
    : server_(server), program_(program) {
    char pattern[] = "/tmp/mudlark-e2e-XXXXXX";
    const char* made = mkdtemp(pattern);
    folder_ = made != nullptr ? made : "";
    const fs::path run(program.dataFolder);
    std::error_code ignored;
    for (const char* folder : {"Models", "Tracks", "Textures"}) {
        if (!fs::exists(run / folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(run / folder)) {
            const fs::path relative = fs::relative(entry.path(), run);
            bool leaveOut = false;
            for (const std::string& name : dataToLeaveOut) {
                leaveOut = leaveOut || relative.generic_string() == name;
            }
            if (leaveOut) {
                continue;
            }
            if (entry.is_directory()) {
                fs::create_directories(folder_ / relative, ignored);
            } else {
                fs::create_directories((folder_ / relative).parent_path(), ignored);
                fs::copy_file(entry.path(), folder_ / relative, ignored);
            }
        }
    }
    if (settingsText != nullptr) {
        std::ofstream(folder_ + "/settings.cfg") << settingsText;
    }
}

Game::~Game() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    if (!folder_.empty()) {
        fs::remove_all(folder_, ignored);
    }
}

bool Game::start() {
    const std::string errors = folder_ + "/stderr.txt";
    std::vector<char*> arguments;
    for (std::string& word : program_.command) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(folder_.c_str()) != 0) {
            _exit(126);
        }
        int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errorFile, 2);
        setenv("DISPLAY", server_.name().c_str(), 1);
        for (const std::string& setting : program_.environment) {
            putenv(const_cast<char*>(setting.c_str()));
        }
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    return pid_ > 0;
}

Window Game::launch(int timeoutMs) { return start() ? waitForWindow(timeoutMs) : 0; }

Window Game::waitForWindow(int timeoutMs) {
    window_ = server_.waitForWindow("OpenGL", timeoutMs);
    return window_;
}

bool Game::running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    pid_t result = waitpid(pid_, &status, WNOHANG);
    if (result == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return false;
    }
    return result == 0;
}

int Game::waitForExit(int timeoutMs) {
    const long long end = nowMs() + timeoutMs;
    while (running()) {
        if (nowMs() > end) {
            return -1;
        }
        sleepMs(20);
    }
    return exitCode_;
}

std::string Game::errorOutput() const { return readFileBytes(folder_ + "/stderr.txt"); }

long Game::drawingThreadTicks() const {
    if (pid_ <= 0) {
        return -1;
    }
    long ticks = 0;
    std::error_code failed;
    const fs::path tasks = "/proc/" + std::to_string(pid_) + "/task";
    for (const auto& task : fs::directory_iterator(tasks, failed)) {
        if (task.path().filename() == std::to_string(pid_)) {
            continue; // the main thread polls for messages even while it draws nothing
        }
        // Fields 14 and 15, after the parenthesised name: user and system time.
        const std::string stat = readFileBytes((task.path() / "stat").string());
        const size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos) {
            continue;
        }
        std::istringstream fields(stat.substr(nameEnd + 2));
        std::string field;
        long user = 0, system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) user = std::atol(field.c_str());
            if (i == 15) system = std::atol(field.c_str());
        }
        ticks += user + system;
    }
    return failed ? -1 : ticks;
}
