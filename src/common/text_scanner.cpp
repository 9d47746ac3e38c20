// text_scanner.cpp -- bounded word and number reading for the settings, model
// and course files.
#include "common/text_scanner.h"

#include <cstdlib>
#include <cstring>

namespace {

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

} // namespace

bool failAtLine(LineFault& fault, int32_t line, const char* text) {
    fault.line = line;
    std::snprintf(fault.text, sizeof fault.text, "%s", text);
    return false;
}

int TextScanner::peek(std::size_t ahead) {
    if (ahead >= sizeof buffer_) {
        return EOF;
    }
    while (start_ + ahead >= length_ && !eof_) {
        // Slide what is left to the front and top the buffer up.
        std::memmove(buffer_, buffer_ + start_, length_ - start_);
        length_ -= start_;
        start_ = 0;
        std::size_t got = std::fread(buffer_ + length_, 1, sizeof buffer_ - length_, file_);
        length_ += got;
        if (got == 0) {
            eof_ = true;
        }
    }
    return start_ + ahead < length_ ? buffer_[start_ + ahead] : EOF;
}

void TextScanner::consume(std::size_t count) {
    const std::size_t end = start_ + count < length_ ? start_ + count : length_;
    for (std::size_t at = start_; at < end; ++at) {
        line_ += buffer_[at] == '\n' ? 1 : 0;
    }
    start_ = end;
}

bool TextScanner::lineEndsHere(char comment) {
    while (peek(0) == ' ' || peek(0) == '\t' || peek(0) == '\r' || peek(0) == '\v' || peek(0) == '\f') {
        consume(1);
    }
    const int c = peek(0);
    return c == '\n' || c == EOF || (comment != '\0' && c == comment);
}

void TextScanner::skipLine() {
    for (int c = peek(0); c != EOF; c = peek(0)) {
        consume(1);
        if (c == '\n') {
            return;
        }
    }
}

void TextScanner::skipSpace() {
    while (isSpace(peek(0))) {
        consume(1);
    }
}

bool TextScanner::atEnd() {
    skipSpace();
    return peek(0) == EOF;
}

bool TextScanner::readWord(char* buffer, std::size_t capacity) {
    std::size_t used = 0;
    skipSpace();
    if (peek(0) == EOF) {
        if (capacity > 0) {
            buffer[0] = '\0';
        }
        return false;
    }
    for (int c = peek(0); c != EOF && !isSpace(c); c = peek(0)) {
        if (used + 1 < capacity) {
            buffer[used++] = static_cast<char>(c);
        }
        consume(1);
    }
    if (capacity > 0) {
        buffer[used] = '\0';
    }
    return true;
}

bool TextScanner::readInt(int32_t& value) {
    skipSpace();
    std::size_t at = 0;
    bool negative = false;
    if (peek(0) == '+' || peek(0) == '-') {
        negative = peek(0) == '-';
        at = 1;
    }
    if (!isDigit(peek(at))) {
        return false;
    }
    consume(at);
    int64_t magnitude = 0;
    while (isDigit(peek(0))) {
        if (magnitude <= INT32_MAX) {
            magnitude = magnitude * 10 + (peek(0) - '0');
        }
        consume(1);
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX) {
        signedValue = INT32_MAX;
    } else if (signedValue < INT32_MIN) {
        signedValue = INT32_MIN;
    }
    value = static_cast<int32_t>(signedValue);
    return true;
}

bool TextScanner::readFloat(float& value) {
    skipSpace();
    char text[64];
    std::size_t kept = 0;
    std::size_t at = 0;
    auto keep = [&](int c) {
        if (kept + 1 < sizeof text) {
            text[kept++] = static_cast<char>(c);
        }
    };
    if (peek(0) == '+' || peek(0) == '-') {
        at = 1;
    }
    std::size_t digits = 0;
    while (isDigit(peek(at + digits))) {
        ++digits;
    }
    std::size_t mantissaEnd = at + digits;
    std::size_t fraction = 0;
    if (peek(mantissaEnd) == '.') {
        while (isDigit(peek(mantissaEnd + 1 + fraction))) {
            ++fraction;
        }
        if (digits + fraction > 0) {
            mantissaEnd += 1 + fraction;
        }
    }
    if (digits + fraction == 0) {
        return false;
    }
    std::size_t end = mantissaEnd;
    if (peek(end) == 'e' || peek(end) == 'E') {
        std::size_t exponentAt = end + 1;
        if (peek(exponentAt) == '+' || peek(exponentAt) == '-') {
            ++exponentAt;
        }
        if (isDigit(peek(exponentAt))) {
            end = exponentAt;
            while (isDigit(peek(end))) {
                ++end;
            }
        }
    }
    for (std::size_t i = 0; i < end; ++i) {
        keep(peek(0));
        consume(1);
    }
    text[kept] = '\0';
    value = std::strtof(text, nullptr);
    return true;
}
