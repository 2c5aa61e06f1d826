// SPDX-License-Identifier: GPL-3.0-or-later
// Reads RTF documents into an RtfSink: groups, control words, code pages and Unicode.
#pragma once

#include "capture/rtf_code_page_decoder.h"
#include "capture/rtf_sink.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nabrix {

struct RtfKeyword;

// A single pass over the bytes, linear in their length: groups live on an explicit,
// bounded stack, skipped destinations are scanned with a brace counter and every
// numeric parameter saturates, so no input makes it recurse, overflow or loop.
//
// Malformed input is read as far as it makes sense: a document cut off before its
// closing braces yields the text read so far, anything after the brace that closes the
// outermost group (stray braces, a trailing NUL) is ignored, and bytes that are not RTF
// at all are refused up front.
class RtfParser {
public:
    explicit RtfParser(RtfSink& sink);

    // Reads `rtf` into the sink. False, with nothing delivered, when the bytes do not start
    // (after optional white space) with the "{\rtf" of an RTF document.
    bool parse(QByteArrayView rtf);

private:
    enum class Destination : std::uint8_t { Text, FontTable, ColorTable };

    struct CharacterFormat {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        bool hidden = false;
        int colorIndex = -1; // none: automatic colour
        int halfPoints = 0;  // 0: not given
        int font = -1;       // none: the document's default font
    };

    struct Group {
        Destination destination = Destination::Text;
        CharacterFormat format;
        int unicodeSkipCount = 1; // fallback characters that follow each \uN
    };

    struct Font {
        int charset = -1;
        int codePage = 0;
    };

    struct ControlWord {
        std::string_view name;
        std::optional<int> parameter;
    };

    void openGroup();
    void closeGroup();
    void skipRestOfGroup();
    bool startsShownDestination() const;
    void readText();
    void readControl();
    ControlWord readControlWord();
    void skipBinary(std::optional<int> length);
    void handleControlWord(const ControlWord& word);
    void handleTableWord(const RtfKeyword& keyword, const ControlWord& word);
    void endTableEntry();

    bool acceptsText() const;
    int currentCodePage() const;
    RtfCharacterStyle styleOf(const CharacterFormat& format) const;

    void appendByte(char byte);
    void decodePendingBytes();
    void addText(QStringView text);
    void appendText(QStringView text);
    void addCodePoint(char32_t codePoint);
    void addUnicode(int parameter);
    void appendToRun(QStringView text);
    void resolvePendingSurrogate();
    void emitPendingCell();
    void endRun();
    void flushRun();
    void breakParagraph();
    void breakLine();
    void endCell();
    void endRow();
    void addOptionalHyphen();

    RtfSink& m_sink;
    RtfCodePageDecoder m_decoder;

    const char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
    bool m_finished = false;

    std::vector<Group> m_groups;
    qsizetype m_excessDepth = 0;      // groups nested deeper than the stack keeps
    std::int64_t m_skipRemaining = 0; // \uN fallback characters still to skip

    int m_documentCodePage = RtfCodePageDecoder::defaultCodePage;
    int m_defaultFont = 0;
    std::unordered_map<int, Font> m_fonts;
    std::optional<int> m_fontBeingDefined;
    std::vector<std::optional<QRgb>> m_colors;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    bool m_colorHasComponent = false;

    std::string m_bytes; // code-page bytes not yet decoded; decoded together so that
                         // multi-byte characters written as two \'hh stay whole
    QString m_run;
    RtfCharacterStyle m_runStyle;
    char16_t m_highSurrogate = 0;
    bool m_cellPending = false;
};

} // namespace nabrix
