// SPDX-License-Identifier: GPL-3.0-or-later
// Reads RTF documents into an RtfSink: groups, control words, code pages and Unicode.
#include "capture/rtf_parser.h"

#include "capture/rtf_keyword.h"

#include <algorithm>
#include <array>
#include <limits>

namespace nabrix {

namespace {

// Real documents nest a few dozen groups; deeper groups share the deepest kept state, so
// a flood of braces costs no memory.
constexpr std::size_t maxKeptDepth = 1024;
// Control word names are at most 32 letters; longer runs of letters match nothing.
constexpr qsizetype maxNameLength = 32;
// Word's own limit on font sizes (1638 points).
constexpr int maxHalfPoints = 3276;

enum class ByteClass : std::uint8_t { Text, Ignored, GroupOpen, GroupClose, Backslash };

constexpr std::array<ByteClass, 256> byteClasses = [] {
    std::array<ByteClass, 256> classes{};
    for (int byte = 0; byte < 0x20; ++byte)
        classes[byte] = ByteClass::Ignored; // CR and LF are markup; other controls are noise
    classes['\t'] = ByteClass::Text;
    classes['{'] = ByteClass::GroupOpen;
    classes['}'] = ByteClass::GroupClose;
    classes['\\'] = ByteClass::Backslash;
    return classes;
}();

ByteClass byteClass(char byte)
{
    return byteClasses[static_cast<unsigned char>(byte)];
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<int> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

// Where the document's opening brace is, when the bytes are RTF at all.
std::optional<qsizetype> documentStart(QByteArrayView rtf)
{
    qsizetype pos = 0;
    if (rtf.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    while (pos < rtf.size() &&
           (rtf[pos] == ' ' || rtf[pos] == '\t' || rtf[pos] == '\r' || rtf[pos] == '\n'))
        ++pos;
    const QByteArrayView rest = rtf.sliced(pos);
    if (!rest.startsWith("{\\rtf") || (rest.size() > 5 && isLetter(rest[5])))
        return std::nullopt;
    return pos;
}

// Bullets drawn from symbol fonts reach \uN as the font's byte in the private-use block
// at U+F000: LibreOffice writes U+F095, Word its Symbol bullet U+F0B7.
char32_t replaceSymbolFontBullet(char32_t codePoint)
{
    return codePoint == 0xF095 || codePoint == 0xF0B7 ? char32_t(0x2022) : codePoint;
}

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

} // namespace

RtfParser::RtfParser(RtfSink& sink)
    : m_sink(sink)
{
}

bool RtfParser::parse(QByteArrayView rtf)
{
    const auto start = documentStart(rtf);
    if (!start)
        return false;
    m_data = rtf.data();
    m_size = rtf.size();
    m_pos = *start;

    while (m_pos < m_size && !m_finished) {
        switch (byteClass(m_data[m_pos])) {
        case ByteClass::GroupOpen:
            ++m_pos;
            openGroup();
            break;
        case ByteClass::GroupClose:
            ++m_pos;
            closeGroup();
            break;
        case ByteClass::Backslash:
            ++m_pos;
            readControl();
            break;
        case ByteClass::Ignored:
            ++m_pos;
            break;
        case ByteClass::Text:
            readText();
            break;
        }
    }
    // A truncated document ends here with its groups still open: keep what was read.
    decodePendingBytes();
    endRun();
    return true;
}

void RtfParser::openGroup()
{
    // Fallback text after \uN never spans a group boundary.
    m_skipRemaining = 0;
    decodePendingBytes();
    if (m_groups.empty())
        m_groups.emplace_back();
    else if (m_groups.size() < maxKeptDepth)
        m_groups.push_back(m_groups.back());
    else
        ++m_excessDepth;
}

void RtfParser::closeGroup()
{
    m_skipRemaining = 0;
    decodePendingBytes();
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (!m_groups.empty())
        m_groups.pop_back();
    // The outermost group is closed: whatever follows is not part of the document.
    if (m_groups.empty())
        m_finished = true;
}

void RtfParser::skipRestOfGroup()
{
    qsizetype depth = 1;
    while (m_pos < m_size) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                closeGroup();
                return;
            }
        } else if (c == '\\' && m_pos < m_size) {
            if (isLetter(m_data[m_pos])) {
                const ControlWord word = readControlWord();
                if (word.name == "bin")
                    skipBinary(word.parameter);
            } else {
                ++m_pos; // a control symbol, escaped braces included
            }
        }
    }
    m_finished = true; // the document ends inside the skipped group
}

void RtfParser::skipBinary(std::optional<int> length)
{
    if (length && *length > 0)
        m_pos += std::min<qsizetype>(*length, m_size - m_pos);
}

void RtfParser::readText()
{
    if (m_skipRemaining > 0) {
        --m_skipRemaining;
        ++m_pos;
        return;
    }
    if (m_groups.back().destination == Destination::Text) {
        const qsizetype start = m_pos;
        while (m_pos < m_size && byteClass(m_data[m_pos]) == ByteClass::Text)
            ++m_pos;
        m_bytes.append(m_data + start, std::size_t(m_pos - start));
        return;
    }
    if (m_data[m_pos] == ';')
        endTableEntry();
    ++m_pos;
}

bool RtfParser::startsShownDestination() const
{
    if (m_pos + 1 >= m_size || m_data[m_pos] != '\\')
        return false;
    qsizetype end = m_pos + 1;
    while (end < m_size && end - m_pos <= maxNameLength && isLetter(m_data[end]))
        ++end;
    const std::string_view name(m_data + m_pos + 1, std::size_t(end - m_pos - 1));
    return rtfKeyword(name).kind == RtfKeywordKind::ShownDestination;
}

RtfParser::ControlWord RtfParser::readControlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    ControlWord word;
    word.name =
        std::string_view(m_data + start, std::size_t(std::min(m_pos - start, maxNameLength + 1)));

    const bool negative = m_pos + 1 < m_size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1]);
    if (negative)
        ++m_pos;
    if (m_pos < m_size && isDigit(m_data[m_pos])) {
        // Saturate instead of overflowing; the digits are consumed all the same.
        constexpr std::int64_t limit = std::int64_t(std::numeric_limits<int>::max()) + 1;
        std::int64_t value = 0;
        while (m_pos < m_size && isDigit(m_data[m_pos])) {
            value = std::min(value * 10 + (m_data[m_pos] - '0'), limit);
            ++m_pos;
        }
        value = negative ? -value : std::min<std::int64_t>(value, limit - 1);
        word.parameter = int(value);
    }
    // A space delimits the control word and belongs to it.
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;
    return word;
}

void RtfParser::readControl()
{
    if (m_pos >= m_size)
        return;
    const char symbol = m_data[m_pos];
    if (isLetter(symbol)) {
        const ControlWord word = readControlWord();
        if (m_skipRemaining > 0) {
            // A control word counts as one fallback character and is not acted on.
            --m_skipRemaining;
            if (word.name == "bin")
                skipBinary(word.parameter);
            return;
        }
        decodePendingBytes();
        handleControlWord(word);
        return;
    }
    ++m_pos;

    if (symbol == '\'') {
        int value = 0;
        for (int digit = 0; digit < 2; ++digit) {
            const auto nibble = m_pos < m_size ? hexValue(m_data[m_pos]) : std::nullopt;
            if (!nibble)
                return; // malformed escape: dropped
            value = value * 16 + *nibble;
            ++m_pos;
        }
        if (m_skipRemaining > 0)
            --m_skipRemaining;
        else
            appendByte(char(value));
        return;
    }
    if (m_skipRemaining > 0) {
        --m_skipRemaining;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        appendByte(symbol);
        return;
    default:
        break;
    }
    decodePendingBytes();
    switch (symbol) {
    case '~':
        addText(u"\u00A0");
        break;
    case '_':
        addText(u"\u2011");
        break;
    case '-':
        addOptionalHyphen();
        break;
    case '*':
        // An ignorable destination: nothing in it is text we know, unless it names one
        // whose text is shown (a field result, as AbiWord writes it).
        if (!startsShownDestination())
            skipRestOfGroup();
        break;
    case '\r':
    case '\n':
        breakParagraph();
        break;
    case '\t':
        addText(u"\t");
        break;
    default:
        break; // \: (index subentry), \| (formula) and unknown symbols
    }
}

void RtfParser::handleControlWord(const ControlWord& word)
{
    const RtfKeyword keyword = rtfKeyword(word.name);
    if (keyword.kind == RtfKeywordKind::Unknown)
        return;
    Group& group = m_groups.back();
    if (group.destination != Destination::Text) {
        handleTableWord(keyword, word);
        return;
    }
    const int parameter = word.parameter.value_or(0);
    const bool enable = !word.parameter || *word.parameter != 0;
    CharacterFormat& format = group.format;

    switch (keyword.kind) {
    case RtfKeywordKind::Unknown:
        break;
    case RtfKeywordKind::SkippedDestination:
        skipRestOfGroup();
        break;
    case RtfKeywordKind::ShownDestination:
        break; // its text is read like the text around it
    case RtfKeywordKind::FontTable:
    case RtfKeywordKind::ColorTable:
        if (m_excessDepth > 0) {
            skipRestOfGroup(); // the group's state is shared; it cannot become a table
            break;
        }
        if (keyword.kind == RtfKeywordKind::FontTable) {
            group.destination = Destination::FontTable;
            m_fontBeingDefined.reset();
        } else {
            group.destination = Destination::ColorTable;
            m_colors.clear();
            m_colorHasComponent = false;
            m_red = m_green = m_blue = 0;
        }
        break;
    case RtfKeywordKind::Character:
        addCodePoint(char32_t(keyword.value));
        break;
    case RtfKeywordKind::ParagraphBreak:
        breakParagraph();
        break;
    case RtfKeywordKind::LineBreak:
        breakLine();
        break;
    case RtfKeywordKind::CellEnd:
        endCell();
        break;
    case RtfKeywordKind::RowEnd:
        endRow();
        break;
    case RtfKeywordKind::Plain:
        format = CharacterFormat{};
        break;
    case RtfKeywordKind::Bold:
        format.bold = enable;
        break;
    case RtfKeywordKind::Italic:
        format.italic = enable;
        break;
    case RtfKeywordKind::Underline:
        format.underline = enable;
        break;
    case RtfKeywordKind::UnderlineNone:
        format.underline = false;
        break;
    case RtfKeywordKind::StrikeOut:
        format.strikeOut = enable;
        break;
    case RtfKeywordKind::Hidden:
        format.hidden = enable;
        break;
    case RtfKeywordKind::ForegroundColor:
        format.colorIndex = std::max(parameter, -1);
        break;
    case RtfKeywordKind::FontSize:
        format.halfPoints = !word.parameter  ? 24
                            : parameter <= 0 ? 0
                                             : std::min(parameter, maxHalfPoints);
        break;
    case RtfKeywordKind::Font:
        format.font = parameter;
        break;
    case RtfKeywordKind::Unicode:
        if (word.parameter) {
            addUnicode(*word.parameter);
            m_skipRemaining = group.unicodeSkipCount;
        }
        break;
    case RtfKeywordKind::UnicodeSkipCount:
        group.unicodeSkipCount = std::max(parameter, 0);
        break;
    case RtfKeywordKind::Binary:
        skipBinary(word.parameter);
        break;
    case RtfKeywordKind::CharacterSet:
        m_documentCodePage = keyword.value;
        break;
    case RtfKeywordKind::AnsiCodePage:
        if (parameter > 0)
            m_documentCodePage = parameter;
        break;
    case RtfKeywordKind::DefaultFont:
        m_defaultFont = parameter;
        break;
    case RtfKeywordKind::FontCharset:
    case RtfKeywordKind::FontCodePage:
    case RtfKeywordKind::Red:
    case RtfKeywordKind::Green:
    case RtfKeywordKind::Blue:
        break; // only meaningful inside the tables
    }
}

void RtfParser::handleTableWord(const RtfKeyword& keyword, const ControlWord& word)
{
    const int parameter = word.parameter.value_or(0);
    const int component = std::clamp(parameter, 0, 255);
    const bool inFontTable = m_groups.back().destination == Destination::FontTable;
    Font* font = inFontTable && m_fontBeingDefined ? &m_fonts[*m_fontBeingDefined] : nullptr;

    switch (keyword.kind) {
    case RtfKeywordKind::SkippedDestination:
        skipRestOfGroup(); // \panose, \falt and the like inside a font entry
        break;
    case RtfKeywordKind::Unicode:
        if (word.parameter)
            m_skipRemaining = m_groups.back().unicodeSkipCount;
        break;
    case RtfKeywordKind::UnicodeSkipCount:
        m_groups.back().unicodeSkipCount = std::max(parameter, 0);
        break;
    case RtfKeywordKind::Binary:
        skipBinary(word.parameter);
        break;
    case RtfKeywordKind::Font:
        if (inFontTable)
            m_fontBeingDefined = parameter;
        break;
    case RtfKeywordKind::FontCharset:
        if (font)
            font->charset = parameter;
        break;
    case RtfKeywordKind::FontCodePage:
        if (font)
            font->codePage = parameter;
        break;
    case RtfKeywordKind::Red:
        m_red = component;
        m_colorHasComponent = true;
        break;
    case RtfKeywordKind::Green:
        m_green = component;
        m_colorHasComponent = true;
        break;
    case RtfKeywordKind::Blue:
        m_blue = component;
        m_colorHasComponent = true;
        break;
    default:
        break;
    }
}

void RtfParser::endTableEntry()
{
    if (m_groups.back().destination == Destination::FontTable) {
        m_fontBeingDefined.reset();
        return;
    }
    // An entry without components is the automatic colour (usually entry 0).
    m_colors.push_back(m_colorHasComponent ? std::optional(qRgb(m_red, m_green, m_blue))
                                           : std::nullopt);
    m_colorHasComponent = false;
    m_red = m_green = m_blue = 0;
}

bool RtfParser::acceptsText() const
{
    return !m_groups.empty() && m_groups.back().destination == Destination::Text &&
           !m_groups.back().format.hidden;
}

int RtfParser::currentCodePage() const
{
    // Only \fN and its font's charset choose the code page; the \loch, \hich and \dbch
    // font ranges of East Asian writers are not followed, since those writers also give
    // every such character as \uN.
    const int fontNumber = m_groups.back().format.font;
    const auto font = m_fonts.find(fontNumber >= 0 ? fontNumber : m_defaultFont);
    if (font == m_fonts.end())
        return m_documentCodePage;
    if (font->second.codePage > 0)
        return font->second.codePage;
    return RtfCodePageDecoder::codePageForCharset(font->second.charset, m_documentCodePage);
}

RtfCharacterStyle RtfParser::styleOf(const CharacterFormat& format) const
{
    RtfCharacterStyle style;
    style.bold = format.bold;
    style.italic = format.italic;
    style.underline = format.underline;
    style.strikeOut = format.strikeOut;
    if (format.colorIndex >= 0 && std::size_t(format.colorIndex) < m_colors.size())
        style.color = m_colors[std::size_t(format.colorIndex)];
    if (format.halfPoints > 0)
        style.halfPoints = format.halfPoints;
    return style;
}

void RtfParser::appendByte(char byte)
{
    if (m_groups.back().destination == Destination::Text)
        m_bytes.push_back(byte);
}

void RtfParser::decodePendingBytes()
{
    if (m_bytes.empty())
        return;
    if (acceptsText()) {
        const QString text = isAscii(m_bytes)
                                 ? QString::fromLatin1(m_bytes.data(), qsizetype(m_bytes.size()))
                                 : m_decoder.decode(currentCodePage(), m_bytes);
        addText(text);
    }
    m_bytes.clear();
}

void RtfParser::addText(QStringView text)
{
    if (text.isEmpty() || !acceptsText())
        return;
    // Line ends and separators that arrive as characters (\'0d, \u10, \u8233) are breaks
    // like \par and \line; other control characters are noise.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= 0x20 && c != 0x2028 && c != 0x2029) || c == '\t')
            continue;
        appendText(text.sliced(start, i - start));
        if (c == 0x2028) {
            breakLine();
        } else if (c == '\r' || c == '\n' || c == 0x2029) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            breakParagraph();
        }
        start = i + 1;
    }
    appendText(text.sliced(start));
}

void RtfParser::appendText(QStringView text)
{
    if (text.isEmpty())
        return;
    resolvePendingSurrogate();
    emitPendingCell();
    appendToRun(text);
}

void RtfParser::addCodePoint(char32_t codePoint)
{
    if (QChar::requiresSurrogates(codePoint)) {
        const char16_t pair[] = {QChar::highSurrogate(codePoint), QChar::lowSurrogate(codePoint)};
        addText(QStringView(pair, 2));
    } else {
        const char16_t unit = char16_t(codePoint);
        addText(QStringView(&unit, 1));
    }
}

void RtfParser::addUnicode(int parameter)
{
    // \uN is a signed 16-bit value; writers spell code units above 32767 as negatives.
    // Values beyond 16 bits are taken as code points, as lenient readers do.
    const std::int64_t value = parameter < 0 ? std::int64_t(parameter) + 65536 : parameter;
    if (value <= 0 || !acceptsText())
        return;
    if (value > 0x10FFFF) {
        addText(u"\uFFFD");
        return;
    }
    const auto codePoint = char32_t(value);
    if (QChar::isHighSurrogate(codePoint)) {
        resolvePendingSurrogate();
        m_highSurrogate = char16_t(codePoint);
        return;
    }
    if (QChar::isLowSurrogate(codePoint)) {
        if (m_highSurrogate == 0) {
            addText(u"\uFFFD");
            return;
        }
        const char16_t pair[] = {m_highSurrogate, char16_t(codePoint)};
        m_highSurrogate = 0;
        addText(QStringView(pair, 2));
        return;
    }
    addCodePoint(replaceSymbolFontBullet(codePoint));
}

void RtfParser::appendToRun(QStringView text)
{
    const RtfCharacterStyle style = styleOf(m_groups.back().format);
    if (!m_run.isEmpty() && style != m_runStyle)
        flushRun();
    m_runStyle = style;
    m_run += text;
}

void RtfParser::emitPendingCell()
{
    if (m_cellPending) {
        m_cellPending = false;
        appendToRun(u"\t");
    }
}

void RtfParser::resolvePendingSurrogate()
{
    // A high surrogate \uN not followed by its low half.
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    emitPendingCell();
    appendToRun(u"\uFFFD");
}

void RtfParser::endRun()
{
    if (acceptsText())
        resolvePendingSurrogate();
    m_highSurrogate = 0;
    flushRun();
}

void RtfParser::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_sink.text(m_run, m_runStyle);
    m_run.clear();
}

void RtfParser::breakParagraph()
{
    if (!acceptsText())
        return;
    m_cellPending = false;
    endRun();
    m_sink.paragraphBreak();
}

void RtfParser::breakLine()
{
    if (!acceptsText())
        return;
    emitPendingCell();
    endRun();
    m_sink.lineBreak();
}

void RtfParser::endCell()
{
    if (!acceptsText())
        return;
    // The separator is written when the next cell starts, so a row ends without one.
    emitPendingCell();
    m_cellPending = true;
}

void RtfParser::endRow()
{
    if (!acceptsText())
        return;
    m_cellPending = false;
    endRun();
    m_sink.paragraphBreak();
}

void RtfParser::addOptionalHyphen()
{
    if (!acceptsText())
        return;
    emitPendingCell();
    endRun();
    m_sink.optionalHyphen(styleOf(m_groups.back().format));
}

} // namespace nabrix
