// The content of Text1 as the bytes the encoder reads, in the text encoding
// the user chose.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct TextBytes {
    enum class Status {
        Ok,
        // A character that the ANSI code page lacks came out as its default
        // character: the symbol would carry different text.
        Unmappable,
        // A lone surrogate: no UTF-8 sequence stands for it.
        InvalidUtf16,
        // The system could not convert valid text to UTF-8 (out of memory);
        // a failing ANSI conversion (a code page the system cannot convert
        // to) is Unmappable. Never an empty text in either case.
        Failed,
    };
    // UTF-8: 3 * L + 65 zero-filled bytes, of which the first count are the
    // text (no UTF-16 unit takes more than 3 bytes). ANSI: exactly count bytes.
    std::vector<std::uint8_t> bytes;
    int count = 0;
    Status status = Status::Ok;
};

// UTF-16 to UTF-8 (code page 65001), no byte-order mark.
TextBytes Utf8Bytes(const std::wstring& text);
// UTF-16 to the given ANSI code page (CP_ACP: the system's). Best-fit
// substitutes ("a" for "a with macron") count as unmappable too, since they
// also change the text. A system whose ANSI code page is UTF-8 gets Utf8Bytes.
TextBytes AnsiBytes(const std::wstring& text, UINT codePage = CP_ACP);
