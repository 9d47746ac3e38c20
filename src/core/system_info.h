// system_info.h -- the operating-system and GL driver texts of the information overlay.
#pragma once

struct SystemInfo {
    char osText[81];      // e.g. "Windows NT v5.0.195" or "Linux v6.1.0"
    char glVendor[81];
    char glVersion[81];
    char glRenderer[81];
};
