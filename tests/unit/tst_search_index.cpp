// SPDX-License-Identifier: GPL-3.0-or-later
// The history search: what a query finds in which locale, and the index that answers it.
#include "history/history_search_index.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>
#include <vector>

using namespace nabrix;

namespace {

using Ordinal = HistorySearchIndex::Ordinal;

std::vector<Ordinal> matchesOf(const HistorySearchIndex& index)
{
    std::vector<Ordinal> matches;
    for (qsizetype position = 0; position < index.matchCount(); ++position)
        matches.push_back(index.matchAt(position));
    return matches;
}

// The plain reading of the rule, entry by entry: fold the text, fold the trimmed query,
// look for an occurrence that does not end inside a letter.
std::vector<Ordinal> referenceMatches(const SearchFolding& folding, const QStringList& texts,
                                      const QString& query)
{
    const std::string needle = folding.foldedQuery(query);
    std::vector<Ordinal> matches;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const std::string text = folding.folded(texts.at(i));
        bool found = needle.empty();
        for (std::size_t at = text.find(needle); !found && at != std::string::npos;
             at = text.find(needle, at + 1))
            found = SearchFolding::endsOnCharacterBoundary(text.data() + at + needle.size(),
                                                           text.data() + text.size());
        if (found)
            matches.push_back(static_cast<Ordinal>(i));
    }
    return matches;
}

void append(HistorySearchIndex& index, const QString& text)
{
    index.appendFolded(index.folding().folded(text));
}

// Entries come from the history file as UTF-8, and from new captures as QString.
void appendUtf8(HistorySearchIndex& index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string folded;
    index.folding().appendFoldedUtf8(std::string_view(utf8.constData(), utf8.size()), folded);
    index.appendFolded(folded);
}

} // namespace

class TestSearchIndex : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void queryFindsTextByLocaleRules_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");

        const QString en = QStringLiteral("en_US");
        const QString tr = QStringLiteral("tr_TR");
        const QString az = QStringLiteral("az_AZ");
        const QString de = QStringLiteral("de_DE");

        const auto row = [](const char* name, const QString& locale, const QString& text,
                            const QString& query, bool found) {
            QTest::newRow(name) << locale << text << query << found;
        };
        row("plain case", en, "Meeting NOTES", "meeting notes", true);
        row("sharp s found by SS", de, "Straße", "STRASSE", true);
        row("inside a folded sharp s", de, "Straße", "ras", true);
        // Turkish and Azerbaijani: I/ı and İ/i are the case pairs.
        row("tr: İ is the capital of i", tr, "İstanbul", "istanbul", true);
        row("tr: I is the capital of ı", tr, "IRMAK", "ırmak", true);
        row("tr: I is not the capital of i", tr, "Izmir", "izmir", false);
        row("tr: I and a combining dot are İ", tr, "I\u0307stanbul", "istanbul", true);
        row("az: same as Turkish", az, "İstanbul", "istanbul", true);
        row("en: İ is i with a dot", en, "İstanbul", "istanbul", false);
        row("en: dotless ı stays apart", en, "ırmak", "IRMAK", false);
        // Accents and other marks count.
        row("cafe does not find café", en, "café au lait", "cafe", false);
        row("composed finds decomposed", en, "cafe\u0301 au lait", "café", true);
        row("cafe not in decomposed café", en, "cafe\u0301 au lait", "cafe", false);
        row("j caron both ways", en, "\u01F0ob", "J\u030COB", true);
        row("emoji with skin tone", en, "ok 👍🏽", "👍", true);
        row("Greek final sigma", en, "ΣΊΣΥΦΟΣ", "σίσυφος", true);
        row("trimmed query", en, "red apple", "\n\t apple \u3000", true);
        row("inner space must match", en, "redapple", "red apple", false);
        row("inner space is not a line break", en, "red\napple", "red apple", false);
        row("nothing in an empty text", en, "", "a", false);
    }
    void queryFindsTextByLocaleRules()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(bool, found);
        HistorySearchIndex index{SearchFolding(QLocale(locale))};
        append(index, text);
        appendUtf8(index, text);
        QCOMPARE(index.foldedText(1), index.foldedText(0)); // both ways in fold alike
        index.setQuery(query);
        QCOMPARE(index.matchCount(), found ? 2 : 0);
    }

    void queryChangeReportsWhetherTheMatchesChanged()
    {
        HistorySearchIndex index;
        for (const char* text : {"apple", "apricot", "", "banana"})
            append(index, QString::fromUtf8(text));
        QVERIFY(index.setQuery(QStringLiteral("ap")));
        QVERIFY(!index.setQuery(QStringLiteral("AP "))); // same folded query
        QVERIFY(!index.setQuery(QStringLiteral("p")));   // another query, the same matches
        QVERIFY(index.setQuery(QStringLiteral("a")));    // banana joins
        QVERIFY(!index.setQuery(QStringLiteral("a")));
        // A blank query matches everything, the empty text too.
        QVERIFY(index.setQuery(QStringLiteral("\u00A0\u3000\u2028")));
        QVERIFY(index.matchesEverything());
        QCOMPARE(matchesOf(index), (std::vector<Ordinal>{0, 1, 2, 3}));
        QVERIFY(!index.setQuery(QString()));
        QVERIFY(index.setQuery(QStringLiteral("zz")));
    }

    void longerQueryNarrowsTheEarlierMatches()
    {
        HistorySearchIndex index;
        const QStringList texts{"abc", "abd", "xab", "bcd", "zzz", "ab"};
        for (const QString& text : texts)
            append(index, text);
        index.setQuery(QStringLiteral("ab"));
        QCOMPARE(index.lastExaminedCount(), texts.size());
        QCOMPARE(index.matchCount(), 4);
        index.setQuery(QStringLiteral("abc"));
        QCOMPARE(index.lastExaminedCount(), 4); // only what "ab" matched
        QCOMPARE(matchesOf(index), (std::vector<Ordinal>{0}));
        // Typing in front still contains the earlier query.
        index.setQuery(QStringLiteral("xab"));
        QCOMPARE(index.lastExaminedCount(), texts.size()); // "abc" is not in "xab"
        index.setQuery(QStringLiteral("ab"));
        QCOMPARE(index.lastExaminedCount(), texts.size()); // shorter: everything again
        index.setQuery(QStringLiteral("xab"));
        QCOMPARE(index.lastExaminedCount(), 4);
        QCOMPARE(matchesOf(index), (std::vector<Ordinal>{2}));
    }

    void matchesAgreeWithAPlainScanWhileTypingAndChanging()
    {
        // Letters that fold into each other, into several letters, combine with marks or
        // take several bytes, so that narrowing, the byte scanner and removals all meet
        // multi-byte text, matches at both ends of an entry and entries of every length.
        const QStringList alphabet{"a", "b", "c", "A",  "B", "e", "é",  "e\u0301", "\u0303",
                                   "ß", "s", "S", "İ",  "ı", "i", "I",  "σ",       "ς",
                                   "Σ", "😀", " ", "\n", "x", "y", "ab", "abc"};
        for (const auto rules :
             {SearchFolding::CaseRules::Default, SearchFolding::CaseRules::Turkic}) {
            QRandomGenerator random(rules == SearchFolding::CaseRules::Default ? 7 : 11);
            const auto pick = [&] { return alphabet.at(random.bounded(alphabet.size())); };
            const auto randomText = [&](int maxPieces) {
                QString text;
                for (int n = random.bounded(maxPieces + 1); n > 0; --n)
                    text += pick();
                return text;
            };

            const SearchFolding folding(rules);
            HistorySearchIndex index(folding);
            QStringList texts;
            for (int i = 0; i < 3000; ++i) {
                texts.append(randomText(i % 7 == 0 ? 80 : 12));
                appendUtf8(index, texts.back());
            }
            QString query;
            for (int change = 0; change < 600; ++change) {
                const int action = random.bounded(100);
                if (action < 55) {
                    query += pick();
                } else if (action < 70) {
                    query.chop(1);
                } else if (action < 75) {
                    query = randomText(3);
                } else if (action < 85) {
                    const QString text = randomText(20);
                    const auto at = static_cast<Ordinal>(random.bounded(texts.size() + 1));
                    texts.insert(at, text);
                    index.insertFolded(at, folding.folded(text));
                } else {
                    std::vector<Ordinal> removed;
                    for (qsizetype i = 0; i < texts.size(); ++i) {
                        if (random.bounded(20) == 0)
                            removed.push_back(static_cast<Ordinal>(i));
                    }
                    for (auto it = removed.crbegin(); it != removed.crend(); ++it)
                        texts.removeAt(*it);
                    index.remove(removed);
                }
                if (action < 75)
                    index.setQuery(query);
                QCOMPARE(index.size(), texts.size());
                const auto expected = referenceMatches(folding, texts, query);
                QVERIFY2(
                    matchesOf(index) == expected,
                    qPrintable(QStringLiteral("change %1, query \"%2\"").arg(change).arg(query)));
            }
        }
    }

    void removalsCompactTheTextsWithoutLosingAny()
    {
        HistorySearchIndex index;
        QStringList texts;
        // Over a megabyte of texts, most of them removed: the arena is rewritten.
        for (int i = 0; i < 4000; ++i) {
            texts.append(QStringLiteral("entry %1 ").arg(i).repeated(40));
            append(index, texts.back());
        }
        index.setQuery(QStringLiteral("entry 39"));
        std::vector<Ordinal> removed;
        for (int i = 0; i < 4000; ++i) {
            if (i % 10 != 3)
                removed.push_back(static_cast<Ordinal>(i));
        }
        index.remove(removed);
        QCOMPARE(index.size(), 400);
        for (Ordinal i = 0; i < 400; ++i)
            QCOMPARE(index.foldedText(i), index.folding().folded(texts.at(int(i) * 10 + 3)));
        // 393, 3903, 3913, ..., 3993 are left of the texts with "entry 39".
        QCOMPARE(index.matchCount(), 11);
        index.setQuery(QStringLiteral("entry 3993 "));
        QCOMPARE(matchesOf(index), (std::vector<Ordinal>{399}));
    }
};

QTEST_GUILESS_MAIN(TestSearchIndex)
#include "tst_search_index.moc"
