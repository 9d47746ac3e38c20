// text_scanner.h -- whitespace-separated words and scanf-style numbers from a text file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads a text file the way "%s", "%d" and "%f" would, but with bounded buffers:
// a word longer than its buffer is cut, and the rest of it is skipped, never
// written anywhere. A number that does not parse consumes nothing but the white
// space before it, so the text is read again as the next word.
class TextScanner {
public:
    explicit TextScanner(std::FILE* file) : file_(file) {}

    // Reads the next word into buffer (capacity includes the terminator).
    // Returns false at the end of the file, with buffer set to "".
    bool readWord(char* buffer, std::size_t capacity);

    // Reads a decimal integer with an optional sign ("%d"). Values beyond the
    // 32-bit range are clamped to it.
    bool readInt(int32_t& value);

    // Reads a decimal floating-point number ("%f"): sign, digits, point,
    // digits and an optional exponent.
    bool readFloat(float& value);

    // True once only white space (or nothing) is left.
    bool atEnd();

private:
    int peek(std::size_t ahead);
    void consume(std::size_t count);
    void skipSpace();

    std::FILE* file_;
    unsigned char buffer_[512];
    std::size_t start_ = 0;
    std::size_t length_ = 0;
    bool eof_ = false;
};
