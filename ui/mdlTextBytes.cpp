#include "mdlTextBytes.h"

#include <limits>

namespace {

// A high surrogate not followed by a low one, or a low one not preceded by a
// high one: UTF-16 that stands for no character.
bool HasLoneSurrogate(const std::wstring& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

} // namespace

TextBytes Utf8Bytes(const std::wstring& text)
{
    TextBytes result;
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 3 - 64)) {
        result.status = TextBytes::Status::InvalidUtf16; // beyond any symbol anyway
        return result;
    }
    const int units = static_cast<int>(text.size());
    const int capacity = 3 * units + 64;
    result.bytes.assign(static_cast<std::size_t>(capacity) + 1, 0);
    if (units == 0) return result;

    // WC_ERR_INVALID_CHARS: a lone surrogate fails the call instead of becoming
    // U+FFFD, so the user hears about it rather than getting a different text.
    const int written = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), units,
                                            reinterpret_cast<char*>(result.bytes.data()), capacity,
                                            nullptr, nullptr);
    if (written <= 0) {
        result.status = GetLastError() == ERROR_NO_UNICODE_TRANSLATION
                            ? TextBytes::Status::InvalidUtf16
                            : TextBytes::Status::Failed;
        result.count = 0;
        return result;
    }
    result.count = written;
    return result;
}

TextBytes AnsiBytes(const std::wstring& text, UINT codePage)
{
    const UINT page = codePage == CP_ACP ? GetACP() : codePage;
    if (page == CP_UTF8) {
        TextBytes utf8 = Utf8Bytes(text);
        utf8.bytes.resize(static_cast<std::size_t>(utf8.count));
        return utf8;
    }

    TextBytes result;
    if (text.empty()) return result;
    // The code page would turn it into its default character; say why instead.
    if (HasLoneSurrogate(text)) {
        result.status = TextBytes::Status::InvalidUtf16;
        return result;
    }
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        result.status = TextBytes::Status::Unmappable;
        return result;
    }
    const int units = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int needed = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), units, nullptr,
                                           0, nullptr, &usedDefault);
    // Non-empty text that converts to nothing did not convert: the code page
    // cannot carry it.
    if (needed > 0) {
        result.bytes.assign(static_cast<std::size_t>(needed), 0);
        usedDefault = FALSE;
        result.count = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, text.data(), units,
                                           reinterpret_cast<char*>(result.bytes.data()), needed,
                                           nullptr, &usedDefault);
    }
    if (result.count <= 0) result.count = 0;
    result.bytes.resize(static_cast<std::size_t>(result.count));
    if (usedDefault || result.count == 0) result.status = TextBytes::Status::Unmappable;
    return result;
}
