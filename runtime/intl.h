// Single-byte code-page conversion: the window turns typed characters of the
// system's ANSI code page into the code page 437 the fonts are drawn in.
#pragma once

#include <cstdint>

inline constexpr int32_t ZQ_CP_ANSI = 0;  // the system's ANSI code page
inline constexpr int32_t ZQ_CP_437 = 437;
inline constexpr int32_t ZQ_CP_1252 = 1252;

// Converts len bytes of text in place from code page `from` to code page `to`
// (437 or 1252). A character the target lacks becomes '?'. Returns 0, or -1
// with the text unchanged when a code page is not known here.
int32_t zq_hIntlConvertString(char* text, int32_t len, int32_t from, int32_t to);
