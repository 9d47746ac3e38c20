// background_writes.cpp -- a chain of writing threads.
#include "core/background_writes.h"

#include <chrono>
#include <system_error>

BackgroundWrites& BackgroundWrites::operator=(BackgroundWrites&& other) {
    finish(); // nothing started here is left half done
    running_ = std::move(other.running_);
    return *this;
}

void BackgroundWrites::start(std::function<std::string()> job) {
    std::shared_future<std::string> before = running_.empty() ? std::shared_future<std::string>() : running_.back();
#if !defined(__EMSCRIPTEN__) // a page has no threads of its own
    try {
        running_.push_back(std::async(std::launch::async, [before, job] {
                               if (before.valid()) {
                                   before.wait(); // one file at a time, in order
                               }
                               return job();
                           }).share());
        return;
    } catch (const std::system_error&) {
    }
#endif
    // No thread to be had: the file is written here and now, after those before it.
    finish();
    std::promise<std::string> done;
    done.set_value(job());
    running_.push_back(done.get_future().share());
}

void BackgroundWrites::finish() {
    for (const std::shared_future<std::string>& write : running_) {
        write.wait();
    }
}

std::vector<std::string> BackgroundWrites::takeFailures() {
    std::vector<std::string> said;
    size_t done = 0;
    while (done < running_.size() &&
           running_[done].wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        if (!running_[done].get().empty()) {
            said.push_back(running_[done].get());
        }
        ++done;
    }
    running_.erase(running_.begin(), running_.begin() + static_cast<std::ptrdiff_t>(done));
    return said;
}
