// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes the 8-bit text of RTF documents through Windows, DOS and Mac code pages (ICU).
#include "capture/rtf_code_page_decoder.h"

#include <string>
#include <unicode/ucnv.h>

namespace nabrix {

namespace {

// Code pages ICU knows under another number, or not at all: the Mac CJK code pages read
// as their Windows counterparts, which share the byte layout for everything RTF writers
// emit.
int equivalentCodePage(int codePage)
{
    struct Equivalent {
        int codePage;
        int equivalent;
    };
    static constexpr Equivalent table[] = {
        {10001, 932},  {10002, 950},  {10003, 949}, {10008, 936},
        {10004, 1256}, {10005, 1255}, {10021, 874},
    };
    for (const Equivalent& entry : table) {
        if (entry.codePage == codePage)
            return entry.equivalent;
    }
    return codePage;
}

UConverter* openConverter(int codePage)
{
    if (codePage == 65001) {
        UErrorCode status = U_ZERO_ERROR;
        return ucnv_open("UTF-8", &status);
    }
    for (const char* prefix : {"windows-", "ibm-"}) {
        const std::string name = prefix + std::to_string(codePage);
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status) && converter)
            return converter;
    }
    return nullptr;
}

} // namespace

void RtfCodePageDecoder::ConverterCloser::operator()(UConverter* converter) const
{
    ucnv_close(converter);
}

RtfCodePageDecoder::RtfCodePageDecoder() = default;
RtfCodePageDecoder::~RtfCodePageDecoder() = default;

int RtfCodePageDecoder::codePageForCharset(int charset, int documentCodePage)
{
    // Windows' font charsets (wingdi.h) and the code pages they stand for. ANSI (0) is
    // windows-1252 whatever \ansicpg says; default (1) and unknown charsets leave the
    // document's own code page in force.
    struct CharsetCodePage {
        int charset;
        int codePage;
    };
    static constexpr CharsetCodePage table[] = {
        {0, 1252},   {2, symbolCodePage}, {77, 10000}, {78, 10001}, {79, 10003}, {80, 10008},
        {81, 10002}, {83, 10005},         {84, 10004}, {85, 10006}, {86, 10081}, {87, 10021},
        {88, 10029}, {89, 10007},         {128, 932},  {129, 949},  {130, 1361}, {134, 936},
        {136, 950},  {161, 1253},         {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
        {179, 1256}, {180, 1256},         {181, 1255}, {186, 1257}, {204, 1251}, {222, 874},
        {238, 1250}, {254, 437},          {255, 850},
    };
    for (const CharsetCodePage& entry : table) {
        if (entry.charset == charset)
            return entry.codePage;
    }
    return documentCodePage;
}

UConverter* RtfCodePageDecoder::converter(int codePage)
{
    auto found = m_converters.find(codePage);
    if (found == m_converters.end())
        found =
            m_converters.emplace(codePage, Converter(openConverter(equivalentCodePage(codePage))))
                .first;
    // A code page ICU does not have is remembered as missing, so it is looked for once.
    if (!found->second && codePage != defaultCodePage)
        return converter(defaultCodePage);
    return found->second.get();
}

QString RtfCodePageDecoder::decodeSymbol(std::string_view bytes)
{
    // Symbol fonts draw list bullets from byte 0xB7; other glyphs have no faithful
    // character, so they read as the ANSI code page would.
    QString text;
    text.reserve(qsizetype(bytes.size()));
    std::string_view::size_type start = 0;
    for (std::string_view::size_type i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || static_cast<unsigned char>(bytes[i]) == 0xB7) {
            text += decode(defaultCodePage, bytes.substr(start, i - start));
            if (i < bytes.size())
                text += QChar(0x2022);
            start = i + 1;
        }
    }
    return text;
}

QString RtfCodePageDecoder::decode(int codePage, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    if (codePage == symbolCodePage)
        return decodeSymbol(bytes);
    UConverter* cnv = converter(codePage);
    if (!cnv)
        return QString(qsizetype(bytes.size()), QChar::ReplacementCharacter);

    // Every code page RTF names yields at most one UTF-16 unit per byte, except UTF-8
    // and GB18030 with four bytes for two units: twice the bytes always suffices.
    QString text(qsizetype(bytes.size()) * 2, Qt::Uninitialized);
    auto* target = reinterpret_cast<UChar*>(text.data());
    UChar* const targetStart = target;
    const char* source = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(cnv);
    ucnv_toUnicode(cnv, &target, targetStart + text.size(), &source, source + bytes.size(), nullptr,
                   true, &status);
    if (U_FAILURE(status))
        return QString(qsizetype(bytes.size()), QChar::ReplacementCharacter);
    text.truncate(target - targetStart);
    // ICU substitutes U+001A for bytes it cannot map in DBCS code pages (a lone lead
    // byte, for instance); the document never means the SUB control character.
    text.replace(QChar(0x1A), QChar::ReplacementCharacter);
    return text;
}

} // namespace nabrix
