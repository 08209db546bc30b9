#pragma once
#include <string>

namespace kelvane {

// Lower-cases the ASCII letters of UTF-8 bytes in place. Returns false when
// the text holds other characters, which need Unicode's case rules.
inline bool LowerAsciiBytes(std::string& text)
{
    bool ascii = true;
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    return ascii;
}

} // namespace kelvane
