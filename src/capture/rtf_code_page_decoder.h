// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes the 8-bit text of RTF documents through Windows, DOS and Mac code pages (ICU).
#pragma once

#include <QString>
#include <memory>
#include <string_view>
#include <unordered_map>

struct UConverter;

namespace nabrix {

class RtfCodePageDecoder {
public:
    // Windows' number for symbol fonts: their bytes are glyph indices, not characters.
    static constexpr int symbolCodePage = 42;
    static constexpr int defaultCodePage = 1252;

    RtfCodePageDecoder();
    ~RtfCodePageDecoder();
    RtfCodePageDecoder(const RtfCodePageDecoder&) = delete;
    RtfCodePageDecoder& operator=(const RtfCodePageDecoder&) = delete;

    // The text of `bytes` in `codePage`; an unknown code page reads as windows-1252 and
    // bytes it cannot map become U+FFFD. Multi-byte characters must not be split across
    // calls.
    QString decode(int codePage, std::string_view bytes);

    // The code page implied by a font's \fcharset: ANSI is windows-1252, the default
    // charset and unknown ones mean the document's own code page.
    static int codePageForCharset(int charset, int documentCodePage);

private:
    struct ConverterCloser {
        void operator()(UConverter* converter) const;
    };
    using Converter = std::unique_ptr<UConverter, ConverterCloser>;

    UConverter* converter(int codePage);
    QString decodeSymbol(std::string_view bytes);

    std::unordered_map<int, Converter> m_converters;
};

} // namespace nabrix
