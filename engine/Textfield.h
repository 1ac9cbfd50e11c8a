#pragma once
// Fixed-size, zero-terminated 8-bit text fields of the records.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

// Copies at most cap - 1 bytes and a terminator, never cutting a UTF-8 character in half.
inline void CopyText(char* dst, std::size_t cap, const std::string& src) {
    std::size_t n = std::min(src.size(), cap - 1);
    if (n < src.size())
        while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) --n;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}
