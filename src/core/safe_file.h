// safe_file.h -- writing a file the player keeps so that a crash or a full disk
// never leaves it half-written or empty, and setting a damaged one aside.
#pragma once

#include <string>

// Writes text as the whole of the file at path: into a temporary file of its
// own beside it first (path + ".PROCESS-MOMENT-COUNT.tmp", folders made as
// needed), onto the disk, then into the old file's place in one step, so that
// two games keeping the same file at once leave one of their files whole. On any failure the old file stays as it was, the temporary file is
// removed, and why says what failed.
bool writeFileSafely(const std::string& path, const std::string& text, std::string& why);

// Renames a file to path + suffix (replacing an older one of that name), so a
// damaged file is kept for the player rather than overwritten. False if it
// could not be moved.
bool setFileAside(const std::string& path, const char* suffix);
