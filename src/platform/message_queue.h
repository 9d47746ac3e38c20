// message_queue.h -- the window's message queue as the backends without one
// of their own keep it (SDL, the browser): what their events became, waiting
// for the next polls; WM_QUIT once asked for; the window procedure that
// takes them.
#pragma once

#include "platform/platform.h"
#include "platform/win_messages.h"

template <int capacity>
struct MessageQueue {
    WindowMessage waiting[capacity];
    int head = 0;
    int count = 0;
    bool quitPosted = false;
    int quitCode = 0;
    WindowProcedure procedure = nullptr;
    void* context = nullptr; // the game's, handed back with every message

    // A burst beyond what the queue holds is let go; the oldest stay.
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (count < capacity) {
            waiting[(head + count++) % capacity] = WindowMessage{message, wParam, lParam};
        }
    }

    // WM_QUIT first once asked for, then the oldest waiting; false when none.
    bool take(WindowMessage& message) {
        if (quitPosted) {
            quitPosted = false;
            message = WindowMessage{WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
            return true;
        }
        if (count == 0) {
            return false;
        }
        message = waiting[head];
        head = (head + 1) % capacity;
        --count;
        return true;
    }

    void postQuit(int exitCode) {
        quitPosted = true;
        quitCode = exitCode;
    }

    void dispatch(const WindowMessage& message) const {
        if (procedure != nullptr) {
            procedure(context, message.message, message.wParam, message.lParam);
        }
    }
};
