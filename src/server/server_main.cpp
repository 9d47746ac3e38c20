// server_main.cpp -- mudlark-server: the command line, the data folder, and
// the loop that wakes every two milliseconds until it is told to stop.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "core/places.h"
#include "server/server.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

// Set by Ctrl+C or the service manager's stop: the loop ends at its next pass.
volatile std::sig_atomic_t stopAsked = 0;

extern "C" void askStop(int) { stopAsked = 1; }

#if defined(_WIN32)
// The console window closed, the user logging off or the machine shutting
// down: Windows ends the process once this returns, so it gives the loop the
// time to tell the machines and write the log first.
BOOL WINAPI consoleClosing(DWORD event) {
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) {
        return FALSE; // Ctrl+C and Ctrl+Break: the signal's
    }
    stopAsked = 1;
    Sleep(3000);
    return TRUE;
}
#endif

} // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    std::string why;
    switch (readServerArgs(argc, argv, options, why)) {
    case ServerArgs::help: std::fputs(serverHelp, stdout); return 0;
    case ServerArgs::version: std::printf("mudlark-server %s\n", MUDLARK_VERSION); return 0;
    case ServerArgs::bad: std::fprintf(stderr, "mudlark-server: %s\n%s", why.c_str(), serverUsage); return 2;
    case ServerArgs::run: break;
    }
    if (!goToData()) {
        return 1;
    }
    Server server;
    if (!openServer(server, options, why)) {
        std::fprintf(stderr, "mudlark-server: %s\n", why.c_str());
        return 1;
    }
    std::signal(SIGINT, askStop);
    std::signal(SIGTERM, askStop);
#if defined(_WIN32)
    SetConsoleCtrlHandler(consoleClosing, TRUE);
#endif
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    while (stopAsked == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const Clock::time_point now = Clock::now();
        serverFrame(server, std::chrono::duration<double>(now - last).count());
        last = now;
    }
    closeServer(server);
    return 0;
}
