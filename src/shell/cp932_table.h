#pragma once

#include <cstdint>

// The code page 932 tables, generated from Microsoft's bestfit932.txt into cp932_table.cpp by
// scripts/generate_cp932_table.py. The sizes below are the ones that script reports.
namespace tavorin::cp932 {

inline constexpr char16_t leadByteMark = 0xFFFF;
inline constexpr char16_t defaultChar = 0x30FB; // Windows' stand-in for an illegal sequence
inline constexpr int trailFirst = 0x40;
inline constexpr int trailCount = 189; // trail bytes 0x40-0xFC
inline constexpr int leadCount = 60;   // lead bytes 0x81-0x9F and 0xE0-0xFC
inline constexpr int pageCount = 108;

extern const char16_t singleByte[256];
extern const std::uint8_t leadRow[256];
extern const char16_t doubleByte[(leadCount + 1) * trailCount];
extern const std::uint8_t encodePage[256];
extern const std::uint16_t encodePages[pageCount * 256];

} // namespace tavorin::cp932
