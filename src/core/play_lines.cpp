// play_lines.cpp -- the lines the players are told things by.
#include "core/play_lines.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t mostLines = 4; // more at once push the oldest off

std::vector<PlayLine> lines;
bool playing = false;

} // namespace

void showPlayLine(const std::string& text, double seconds) {
    std::fprintf(stderr, "mudlark: %s\n", text.c_str());
    // A text of several lines shows as several.
    size_t from = 0;
    while (from <= text.size()) {
        const size_t end = std::min(text.find('\n', from), text.size());
        lines.push_back(PlayLine{text.substr(from, end - from), seconds});
        from = end + 1;
    }
    if (lines.size() > mostLines) {
        lines.erase(lines.begin(), lines.end() - mostLines);
    }
}

void tellPlayer(const std::string& text, const char* caption, MessageIcon icon) {
    if (playing) {
        showPlayLine(text);
    } else {
        platformShowMessage(text.c_str(), caption, icon);
    }
}

void beginPlay() { playing = true; }

void agePlayLines(double seconds) {
    for (PlayLine& line : lines) {
        line.seconds -= seconds;
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const PlayLine& l) { return l.seconds <= 0; }),
                lines.end());
}

const std::vector<PlayLine>& playLines() { return lines; }

void resetPlayLines() {
    lines.clear();
    playing = false;
}
