// text_scanner.h -- whitespace-separated words and scanf-style numbers from a text file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// What is wrong with a text file of one record a line, and where.
struct LineFault {
    int32_t line;   // 0: the file as a whole
    char text[96];
};

// Fills in a fault and returns false, for readers to end with.
bool failAtLine(LineFault& fault, int32_t line, const char* text);

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

    // For files of one record a line. The line of the next character to read,
    // counted from 1.
    int line() const { return line_; }
    // Skips spaces and tabs (never a line end): true when nothing but the line
    // end, the file's end or a comment starting with `comment` follows.
    bool lineEndsHere(char comment);
    // Passes over what is left of this line, its comment included, and its end.
    void skipLine();

private:
    int peek(std::size_t ahead);
    void consume(std::size_t count);
    void skipSpace();

    std::FILE* file_;
    unsigned char buffer_[512];
    std::size_t start_ = 0;
    std::size_t length_ = 0;
    bool eof_ = false;
    int line_ = 1;
};
