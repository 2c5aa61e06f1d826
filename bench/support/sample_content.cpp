// SPDX-License-Identifier: GPL-3.0-or-later
// Deterministic clipboard-like content: words, texts, RTF documents, file lists.
#include "sample_content.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace nabrix::bench {

namespace {

// Frequent words, so that searches for real words find many entries.
constexpr std::array englishWords{
    "the",      "and",      "meeting", "invoice", "project",  "release", "please",   "review",
    "update",   "password", "address", "number",  "order",    "payment", "account",  "server",
    "client",   "report",   "draft",   "final",   "version",  "build",   "error",    "warning",
    "config",   "deploy",   "branch",  "commit",  "merge",    "ticket",  "customer", "support",
    "schedule", "tomorrow", "today",   "monday",  "friday",   "budget",  "contract", "design",
    "summary",  "notes",    "agenda",  "link",    "document", "table",   "import",   "export",
    "function", "return",   "value",   "string",  "list",     "query",   "search",   "result",
    "thanks",   "regards",  "hello",   "world",   "issue",    "patch",   "backup",   "token",
};

constexpr std::array syllables{
    "ka",  "lo",  "mi",  "ter", "van", "sul", "pre", "dor",  "fin", "ga",  "ble", "cro", "ex",
    "tri", "quo", "zen", "mar", "ol",  "pen", "ri",  "stan", "tu",  "vel", "wis", "yar", "bo",
    "ca",  "de",  "for", "gil", "hum", "in",  "jo",  "kel",  "lum", "nor", "op",  "pul", "ras",
    "sen", "tor", "um",  "ver", "xan", "al",  "ber", "con",  "dex", "er",  "fal", "gen", "hor",
};

constexpr std::array frenchWords{"café",     "été", "déjà", "naïve",   "élève",  "garçon", "crème",
                                 "français", "à",   "où",   "fenêtre", "résumé", "noël"};
constexpr std::array germanWords{"Straße", "groß",  "Fußball", "Grüße",    "weiß", "Mädchen",
                                 "schön",  "Größe", "Übung",   "Bäckerei", "süß",  "Maß"};
constexpr std::array russianWords{"привет", "мир",     "документ", "пароль", "встреча", "отчёт",
                                  "сервер", "спасибо", "завтра",   "проект", "ошибка",  "список"};
constexpr std::array cjkWords{"東京",       "日本語",     "中文", "剪贴板", "会议",   "文件",
                              "こんにちは", "ありがとう", "検索", "設定",   "데이터", "안녕하세요"};
constexpr std::array emoji{"🎉", "👍🏽", "👨‍👩‍👧", "🇩🇪", "✅", "🚀", "😀", "❤️",
                           "🔥", "📎"};

constexpr std::array applications{
    "org.mozilla.firefox",
    "org.gnome.TextEditor",
    "code",
    "org.kde.konsole",
    "libreoffice-writer",
    "org.mozilla.Thunderbird",
    "chromium",
    "org.gnome.Terminal",
    "org.kde.kate",
    "org.gnome.Nautilus",
    "slack",
    "org.kde.dolphin",
    "gimp",
    "org.telegram.desktop",
    "jetbrains-idea",
    "evince",
};

constexpr std::array folders{"/home/alex/Documents", "/home/alex/Downloads",
                             "/home/alex/Pictures",  "/home/alex/Projects/nabrix",
                             "/home/alex/Desktop",   "/srv/share/Team Files",
                             "/home/alex/Документы", "/tmp"};
constexpr std::array extensions{".pdf",    ".png", ".txt", ".docx", ".cpp",
                                ".tar.gz", ".jpg", ".odt", ".csv",  ".md"};

template <std::size_t N>
QString pick(SampleContent& content, const std::array<const char*, N>& words)
{
    return QString::fromUtf8(words[content.below(N)]);
}

} // namespace

SampleContent::SampleContent(quint64 seed)
    : m_random(seed)
{
}

quint64 SampleContent::below(quint64 bound)
{
    return m_random() % bound;
}

quint64 SampleContent::skewedBelow(quint64 bound)
{
    const quint64 first = below(bound);
    const quint64 second = below(bound);
    return std::min(first, second);
}

bool SampleContent::chance(double probability)
{
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53 < probability;
}

QString SampleContent::englishLikeWord()
{
    // Skewed towards the first syllables, so some made-up words are common and most rare.
    QString word;
    const quint64 count = 1 + below(3);
    for (quint64 i = 0; i < count; ++i)
        word += QLatin1String(syllables[skewedBelow(syllables.size())]);
    return word;
}

QString SampleContent::word()
{
    const quint64 roll = below(100);
    if (roll < 40)
        return pick(*this, englishWords);
    if (roll < 82)
        return englishLikeWord();
    if (roll < 86)
        return pick(*this, frenchWords);
    if (roll < 90)
        return pick(*this, germanWords);
    if (roll < 94)
        return pick(*this, russianWords);
    if (roll < 97)
        return pick(*this, cjkWords);
    if (roll < 98)
        return pick(*this, emoji);
    // Short numbers only: long digit runs are left to the card-number texts.
    return QString::number(below(100000));
}

QString SampleContent::text(qsizetype minLength, qsizetype maxLength)
{
    const qsizetype target = minLength + static_cast<qsizetype>(below(maxLength - minLength + 1));
    QString text;
    text.reserve(target + 32);
    bool sentenceStart = true;
    while (text.size() < target) {
        QString next = word();
        if (sentenceStart && !next.isEmpty())
            next[0] = next[0].toUpper();
        if (!text.isEmpty())
            next.prepend(sentenceStart ? (chance(0.15) ? QStringLiteral("\n") : QStringLiteral(" "))
                                       : QStringLiteral(" "));
        sentenceStart = chance(0.1);
        if (sentenceStart)
            next += chance(0.8) ? QLatin1Char('.') : QLatin1Char('?');
        else if (chance(0.05))
            next += QLatin1Char(',');
        if (text.size() + next.size() > maxLength)
            break;
        text += next;
    }
    if (text.isEmpty())
        text = QStringLiteral("ok");
    return text;
}

QString SampleContent::shortText()
{
    switch (below(4)) {
    case 0:
        return word();
    case 1:
        return url();
    default:
        return text(3, 80);
    }
}

QString SampleContent::url()
{
    // One draw per statement: the order in which arguments are evaluated is unspecified.
    const QString host = englishLikeWord();
    const QString section = pick(*this, englishWords);
    const QString page = englishLikeWord();
    return QStringLiteral("https://%1.example.com/%2/%3?id=%4")
        .arg(host, section, page)
        .arg(below(1000000));
}

QString SampleContent::cardNumberText()
{
    QString digits;
    const int length = below(4) == 0 ? static_cast<int>(15 + below(5)) : 16;
    digits += QChar(static_cast<char16_t>(u'4' + below(3)));
    while (digits.size() < length)
        digits += QChar(static_cast<char16_t>(u'0' + below(10)));
    QString number = digits;
    if (length == 16 && chance(0.5)) {
        const QLatin1Char separator(chance(0.5) ? ' ' : '-');
        number =
            QStringList{digits.mid(0, 4), digits.mid(4, 4), digits.mid(8, 4), digits.mid(12, 4)}
                .join(separator);
    }
    switch (below(3)) {
    case 0:
        return number;
    case 1:
        return QStringLiteral("Card %1 exp %2/%3")
            .arg(number)
            .arg(1 + below(12))
            .arg(25 + below(6));
    default:
        return text(10, 60) + QLatin1Char(' ') + number;
    }
}

QByteArray SampleContent::rtfDocument(const QString& plainText)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0"
                     "{\\fonttbl{\\f0\\fswiss\\fcharset0 Helvetica;}{\\f1\\fmodern Courier;}}"
                     "{\\colortbl;\\red200\\green30\\blue30;\\red30\\green90\\blue200;}"
                     "\\pard\\f0\\fs24 ";
    bool bold = false;
    for (const QChar c : plainText) {
        const char16_t unit = c.unicode();
        if (unit == u' ' && chance(0.03)) {
            // A run of bold or coloured words now and then, as word processors write; the
            // blank after a control word only ends it, the text's own blank follows.
            rtf += bold ? "\\b0\\cf0 " : (chance(0.5) ? "\\b " : "\\cf1 ");
            bold = !bold;
        }
        if (unit == u'\n')
            rtf += "\\par\n";
        else if (unit == u'\\' || unit == u'{' || unit == u'}')
            rtf += '\\' + QByteArray(1, static_cast<char>(unit));
        else if (unit < 0x80)
            rtf += static_cast<char>(unit);
        else
            // \uN takes a signed 16-bit value; "?" is the fallback for readers without Unicode.
            rtf += "\\u" + QByteArray::number(static_cast<qint16>(unit)) + '?';
    }
    rtf += "}";
    return rtf;
}

QList<QUrl> SampleContent::fileList()
{
    QList<QUrl> urls;
    const quint64 count = chance(0.7) ? 1 : 2 + below(4);
    const QString folder = pick(*this, folders);
    for (quint64 i = 0; i < count; ++i) {
        QString name = word();
        if (chance(0.3))
            name += QLatin1Char(chance(0.5) ? ' ' : '_') + word();
        name += pick(*this, extensions);
        urls.append(QUrl::fromLocalFile(folder + QLatin1Char('/') + name));
    }
    return urls;
}

QUuid SampleContent::uuid()
{
    QByteArray bytes(16, Qt::Uninitialized);
    const quint64 high = m_random();
    const quint64 low = m_random();
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<char>(high >> (8 * i));
        bytes[8 + i] = static_cast<char>(low >> (8 * i));
    }
    bytes[6] = static_cast<char>((bytes[6] & 0x0f) | 0x40);
    bytes[8] = static_cast<char>((bytes[8] & 0x3f) | 0x80);
    return QUuid::fromRfc4122(bytes);
}

std::optional<QString> SampleContent::sourceApplication()
{
    if (chance(0.1))
        return std::nullopt;
    // The first few applications are where most copies come from.
    return QString::fromLatin1(applications[skewedBelow(applications.size())]);
}

} // namespace nabrix::bench
