// play_lines.cpp -- the lines the players are told things by.
#include "core/play_lines.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t mostLines = 4; // more at once push the oldest off

} // namespace

void showPlayLine(PlayLines& said, const std::string& text, double seconds) {
    std::fprintf(stderr, "mudlark: %s\n", text.c_str());
    // A text of several lines shows as several.
    std::vector<PlayLine>& lines = said.lines;
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

void tellPlayer(PlayLines& said, const std::string& text, const char* caption, MessageIcon icon) {
    if (said.playing) {
        showPlayLine(said, text);
    } else {
        platformShowMessage(text.c_str(), caption, icon);
    }
}

void agePlayLines(PlayLines& said, double seconds) {
    for (PlayLine& line : said.lines) {
        line.seconds -= seconds;
    }
    said.lines.erase(std::remove_if(said.lines.begin(), said.lines.end(),
                                    [](const PlayLine& l) { return l.seconds <= 0; }),
                     said.lines.end());
}
