// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader: text of real documents, code pages, Unicode, malformed input and styles.
#include "capture/rtf_reader.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace nabrix;

namespace {

QByteArray sampleDocument(const QString& name)
{
    QFile file(QStringLiteral(NABRIX_TEST_DATA_DIR "/rtf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test document %s", qPrintable(file.fileName()));
    return file.readAll();
}

// The styled document's text spelled the way the plain text spells it.
QString documentText(const QTextDocument& document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::SoftHyphen);
    return text;
}

QColor foreground(const QTextCharFormat& format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor();
}

// Both readings, the plain text and the styled document, give `text`.
void readsAs(const QByteArray& rtf, const QString& text)
{
    QCOMPARE(rtfPlainText(rtf), text);
    const auto document = rtfStyledDocument(rtf);
    QVERIFY(document);
    QCOMPARE(documentText(*document), text);
}

QByteArray repeated(const char* piece, int count)
{
    return QByteArray(piece).repeated(count);
}

void row(const char* name, const QByteArray& rtf, const QString& text)
{
    QTest::newRow(name) << rtf << text;
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Both readings agree on markup, code pages, Unicode, malformed input and deep nesting.
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        // Documents as their producers write them.
        row("WordPad: pntext bullets from a Symbol font, \\u with fallback",
            sampleDocument("wordpad.rtf"),
            QString::fromUtf8("Meeting notes for café planning\nAgenda:\n•\tBudget – urgent\n"
                              "•\tNaïve approach €50\nUnderlined and struck\n"));
        row("TextEdit: backslash-newline paragraphs, list text, emoji, link",
            sampleDocument("textedit.rtf"),
            QString::fromUtf8("Shopping list for the “weekend”\n\nFruit: apples, pears – and "
                              "cherries\n\t•\tCrème fraîche\n\t•\tJalapeños 😃\nRecipes"));
        row("LibreOffice: Cyrillic font charset, stylesheet, page styles",
            sampleDocument("libreoffice.rtf"),
            QString::fromUtf8("Quarterly report\nПривет мир\nTotal: 42 €\n\n"));
        row("LibreOffice: symbol-font bullets, link, accents, Cyrillic as \\u",
            sampleDocument("libreoffice-list.rtf"),
            QString::fromUtf8("Packing list\nFor the café in Zürich and the dacha near Москва:\n"
                              " •\tCrème brûlée recipe\n •\tТёплая куртка\n •\tWool scarf\n"
                              "Booking: hotel page done.\n"));
        row("AbiWord: starred link result, bullet list, Cyrillic as \\u",
            sampleDocument("abiword.rtf"),
            QString::fromUtf8("Packing list\nFor the café in Zürich and the dacha near Москва:\n"
                              "•\tCrème brûlée recipe\n•\tТёплая куртка\n•\tPassport\n"
                              "Booking: hotel page done.\n\n\n\n"));
        row("Word: header, fields, pictures, table, Shift-JIS fallbacks, hidden text",
            sampleDocument("word.rtf"),
            QString::fromUtf8("Quarterly results rose “sharply” see details.\n Chart\n"
                              "Region\tSales\nNorth\t1\u00A0200\n日本’s office\n"));
        // About 1 MB in the shape of a WordPad document: formatting, escapes and \\u.
        const QByteArray paragraph =
            R"(\pard\sa200\sl276\slmult1\f0\fs22 Line with {\b bold}, caf\'e9 and \u8364?5\par)"
            "\r\n";
        row("large document",
            R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil Calibri;}})"
            "\r\n" +
                paragraph.repeated(14000) + "}",
            QString::fromUtf8("Line with bold, café and €5\n").repeated(14000));

        row("escaped markup characters", R"({\rtf1 a\\b\{c\}d})", "a\\b{c}d");
        row("non-breaking space and hyphen", R"({\rtf1 10\~km, e\_mail})", "10\u00A0km, e‑mail");
        row("optional hyphen leaves the word whole", R"({\rtf1 co\-operate})", "cooperate");
        row("soft hyphen character leaves the word whole",
            R"({\rtf1 co\'adop\u173?er\uc0\u173 ate})", "cooperate");
        row("typographic characters",
            R"({\rtf1 \bullet\emdash\endash\lquote x\rquote\ldblquote y\rdblquote})", "•—–‘x’“y”");
        row("par, line and tab", R"({\rtf1 one\par two\line three\tab four})",
            "one\ntwo\nthree\tfour");
        row("backslash before a line end is a paragraph", "{\\rtf1 a\\\nb\\\r\nc}", "a\nb\nc");
        row("line ends and separators given as characters are breaks",
            R"({\rtf1 a\'0d\'0ab\uc0\u13 c\u8232 d\'00e\u8233 f})", "a\nb\nc\nde\nf");
        row("line ends in the source are not text", "{\\rtf1 one\r\ntwo\nthree}", "onetwothree");
        row("delimiting space belongs to the control word", R"({\rtf1 \b  two spaces\b0 x})",
            " two spacesx");
        row("table cells and rows",
            R"({\rtf1 \trowd\cellx1000\cellx2000\intbl A\cell B\cell\row)"
            R"(\trowd\cellx1000\cellx2000\intbl C\cell D\cell\row after})",
            "A\tB\nC\tD\nafter");
        row("nested table cells",
            QByteArray(
                R"({\rtf1 \intbl x\nestcell y\nestcell{\*\nesttableprops\nestrow}\nestrow z})"),
            "x\ty\nz");
        row("unknown ignorable destination",
            R"({\rtf1 {\*\somethingnew secret {\b deeper}}visible})", "visible");
        row("unknown destination without star keeps its text",
            R"({\rtf1 {\somethingnew kept} text})", "kept text");
        row("info, header, footer, footnote",
            R"({\rtf1{\info{\title T}{\author A}}{\header H\par}{\footer F\par})"
            R"(main{\super\chftn}{\footnote\pard F1}.})",
            "main.");
        row("starred field result, as AbiWord writes links",
            QByteArray(R"({\rtf1\ansi Link: {\field{\*\fldinst HYPERLINK "https://example.org/"})"
                       R"({\*\fldrslt Example site}} end.})"),
            "Link: Example site end.");
        row("field instruction without star", R"({\rtf1 page {\field{\fldinst PAGE}{\fldrslt 3}}})",
            "page 3");
        row("binary data inside a picture may contain braces", R"({\rtf1 a{\pict\bin3 }{\}b})",
            "ab");
        row("hidden text", R"({\rtf1 a{\v hidden\par}b\v c\v0 d})", "abd");
        row("list numbering text is shown, its definition is not",
            R"({\rtf1{\listtext 1.\tab}{\*\listtable{\list{\leveltext \'02\'00.;}}})"
            R"(first})",
            "1.\tfirst");
        row("control characters in the source are not text",
            QByteArray("{\\rtf1 a") + '\0' + "b\x01\x1f" + "c}", "abc");
        row("byte order mark and leading white space", "\xEF\xBB\xBF \r\n\t{\\rtf1 ok}", "ok");
        row("no version number", R"({\rtf ok})", "ok");

        row("windows-1252 when nothing is said", R"({\rtf1 caf\'e9 \'80 \'93q\'94})", "café € “q”");
        row("1251 Cyrillic, raw 8-bit bytes read like \\'hh",
            "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\xe2\xe5\xf2}", "Привет");
        row("pc is code page 437", R"({\rtf1\pc \'82\'b0})", "é░");
        row("mac is Mac Roman", R"({\rtf1\mac \'8e\'a5})", "é•");
        row("Shift-JIS, two \\'hh per character",
            R"({\rtf1\ansi\ansicpg932 \'82\'b1\'82\'f1\'82\'c9\'82\'bf\'82\'cd})", "こんにちは");
        row("Shift-JIS trail bytes written as ASCII and escaped symbols",
            R"({\rtf1\ansi\ansicpg932 \'83e\'83\\\'96\{x})", "テソ本x");
        row("Shift-JIS lead byte cut off by a paragraph", R"({\rtf1\ansi\ansicpg932 a\'82\par b})",
            "a\uFFFD\nb");
        row("UTF-8 code page", R"({\rtf1\ansi\ansicpg65001 \'e2\'82\'ac})", "€");
        row("unknown code page reads as 1252", R"({\rtf1\ansi\ansicpg99999 \'e9})", "é");
        row("font charsets choose the code page",
            QByteArray(R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
                       R"({\f1\fswiss\fcharset161 Arial Greek;}{\f2\fnil\fcharset204 Arial Cyr;})"
                       R"({\f3\fnil\fcharset238 Arial CE;}{\f4\fnil\fcharset128 MS Gothic;}})"
                       R"(\f0 \'e1 {\f1 \'e1} {\f2 \'e4} {\f3 \'e8} {\f4 \'82\'a0} \'e1})"),
            "á α д č あ á");
        row("font table without inner groups, as TextEdit writes it",
            R"({\rtf1\ansi{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1\fnil)"
            R"(\fcharset204 PTSans;}\f1 \'e4\f0 \'e4})",
            "дä");
        row("cpg overrides the charset",
            R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1253 Greek;}}\f0\'e1})", "α");
        row("default font's charset applies from the start and after plain",
            R"({\rtf1\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 B;}}\'e4)"
            R"(\f0\'e4\plain\'e4})",
            "дäд");
        row("symbol font bullet", R"({\rtf1{\fonttbl{\f3\fcharset2 Symbol;}}{\f3\'b7}x})", "•x");
        row("charset ANSI is 1252, default charset and none follow ansicpg",
            R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset0 Arial;})"
            R"({\f1\fcharset1 B;}{\f2 C;}}\f0 caf\'e9 \f1\'e4\f2\'e4})",
            "café дд");
        row("charset ANSI in a double-byte document",
            R"({\rtf1\ansi\ansicpg932{\fonttbl{\f0\fcharset0 Arial;}}\f0\'93x\'94})", "“x”");
        row("default skip count is one", R"({\rtf1 caf\u233\'e9!})", "café!");
        row("uc0 has no fallback", R"({\rtf1\uc0 caf\u233 !})", "café!");
        row("uc2 skips both bytes of a DBCS fallback",
            R"({\rtf1\uc2 \u26085\'93\'fa\u26412\'96\'7b!})", "日本!");
        row("space after the parameter is the delimiter, not the fallback",
            R"({\rtf1\uc1 \u233 xy})", "éy");
        row("a control word counts as one fallback character", R"({\rtf1\uc1 \u8212\emdash x})",
            "—x");
        row("negative values are code units above 32767", R"({\rtf1\uc1 \u-255?\u-1?})",
            "！\uFFFF");
        row("surrogate pair from two \\u", R"({\rtf1\uc1 \u-10179?\u-8704? ok})", "😀 ok");
        row("lone high surrogate before a paragraph", R"({\rtf1\uc0 \u55357\par x})", "\uFFFD\nx");
        row("lone surrogates", R"({\rtf1\uc0 \u55357 x\u56832 y})", "\uFFFDx\uFFFDy");
        row("uc is scoped to its group", R"({\rtf1\uc1 {\uc2 \u26085\'93\'fa}\u233\'e9x})", "日éx");
        row("fallback skipping stops at a group boundary", R"({\rtf1\uc3 {\u233}x{\u233 y}z})",
            "éxéz");
        row("huge skip count runs to the end of the group",
            R"({\rtf1 {\uc99999999999 \u233 abc\par def}ghi})", "éghi");
        row("\\u inside the font table is not text",
            R"({\rtf1{\fonttbl{\f0 \u23435?\u20307? SimSun;}}x})", "x");
        row("characters beyond Unicode", R"({\rtf1\uc0 \u99999999999 b})", "\uFFFDb");
        row("values below -32768 are not characters", R"({\rtf1\uc0 \u-99999999999 b})", "b");
        row("symbol-font bullets from LibreOffice and Word",
            R"({\rtf1\uc1 \u61589?a \u-3913?b \u61623 ?c})", "•a •b •c");
        row("code points above the BMP written directly", R"({\rtf1\uc0 \u128512 })", "😀");

        // Malformed input is read as far as it goes.
        row("cut after the signature: a readable, empty document", R"({\rtf)", "");
        row("cut inside a control word", R"({\rtf1 Hello\pa)", "Hello");
        row("cut inside a skipped destination", R"({\rtf1 Hello{\*\generator Wri)", "Hello");
        row("cut inside binary data", R"({\rtf1 Hello\bin100 abc)", "Hello");
        row("cut inside fallback text", R"({\rtf1\uc4 \u233 ab)", "é");
        row("closing braces missing", R"({\rtf1 {\b one {\i two)", "one two");
        row("stray closing braces and text after the document", R"({\rtf1 a}}}} b{\rtf1 c})", "a");
        row("invalid hex escape", R"({\rtf1 a\'zzb\'4})", "azzb");
        row("overlong control word", QByteArray("{\\rtf1 a\\" + repeated("x", 100000) + " b}"),
            "ab");
        row("giant parameters",
            R"({\rtf1 \fs99999999999999999999 a\cf-99999999999 b\f99999999999 c)"
            R"(\ansicpg-5 \'e9\fs-3 d\uc-7 \u233 e})",
            "abcédée");
        row("giant binary length", R"({\rtf1 a\bin99999999999999 b})", "a");
        row("negative binary length", R"({\rtf1 a\bin-5 b})", "ab");
        row("colour index out of range",
            R"({\rtf1{\colortbl;\red300\green-4\blue0;}\cf7 a\cf99999999999 b})", "ab");
        row("star at the top level ends the document", R"({\rtf1 a\*\x b})", "a");

        // Deep nesting is read without exhausting the stack.
        constexpr int depth = 100000;
        row("balanced",
            "{\\rtf1 " + repeated("{", depth) + "deep" + repeated("}", depth) + " tail}",
            "deep tail");
        row("never closed", "{\\rtf1 " + repeated("{", depth) + "x", "x");
        row("skipped destination deep inside",
            "{\\rtf1 " + repeated("{", depth) + "{\\*\\x " + repeated("{", depth) +
                repeated("}", depth) + "}in" + repeated("}", depth) + "out}",
            "inout");
        row("uc restored below the kept depth",
            "{\\rtf1\\uc1 " + repeated("{\\uc0 ", depth) + repeated("}", depth) + "\\u233\\'e9}",
            "é");
    }
    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        readsAs(rtf, text);
    }

    void notRtfIsUnreadable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Hello, world");
        QTest::newRow("other control word") << QByteArray(R"({\rtfx1 text})");
        QTest::newRow("text before the document") << QByteArray(R"(x{\rtf1 text})");
    }
    void notRtfIsUnreadable()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(rtfPlainText(bytes), QString());
        QVERIFY(!rtfStyledDocument(bytes));
    }

    void styledRuns_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("styles");   // b, i, u and s: bold, italic, underline, strike
        QTest::addColumn<QColor>("color");     // invalid: no colour set
        QTest::addColumn<double>("pointSize"); // 0: no size set
        const auto row = [](const char* name, const QByteArray& rtf, const QString& fragment,
                            const QString& styles, QColor color = {}, double size = 0) {
            QTest::newRow(name) << rtf << fragment << styles << color << size;
        };

        const QByteArray styles =
            R"({\rtf1\ansi{\colortbl;\red255\green0\blue0;\red0\green128\blue255;})"
            R"(plain {\b bold} {\i italic} {\ul under} {\strike gone} {\cf1 red} {\fs40 big} )"
            R"({\b\i\ul\strike\cf2\fs18 all} \b\i\ul\strike on\b0\i0\ulnone\strike0  off )"
            R"(\cf2\cf0 auto {\b outer {\i inner} again} after )"
            R"(\b\i\ul\cf1\fs30 set\plain  reset {\uld dotted} {\ul0 none} {\striked1 double})"
            R"( {\b1 one}})";
        row("plain", styles, "plain", "");
        row("bold", styles, "bold", "b");
        row("italic", styles, "italic", "i");
        row("underline", styles, "under", "u");
        row("strike-through", styles, "gone", "s");
        row("colour", styles, "red", "", QColor(255, 0, 0));
        row("size in half points", styles, "big", "", {}, 20);
        row("everything at once", styles, "all", "bius", QColor(0, 128, 255), 9);
        row("b0, i0, ulnone and strike0 end their styles", styles, "off", "");
        row("cf0 is the automatic colour", styles, "auto", "");
        row("inner group adds to the outer", styles, "inner", "bi");
        row("group end restores the outer format", styles, "again", "b");
        row("group end restores the document format", styles, "after", "");
        row("plain resets everything", styles, "reset", "");
        row("ul0 ends underline", styles, "none", "");
        row("double strike-through", styles, "double", "s");
        row("colour entry 0 given explicitly",
            R"({\rtf1{\colortbl\red0\green0\blue255;}\cf0 blue})", "blue", "", QColor(0, 0, 255));
        row("fs without parameter is 12 points", R"({\rtf1\fs40\fs x})", "x", "", {}, 12);
        // Formats of groups deeper than the reader keeps come back right on the way out.
        constexpr int depth = 100000;
        const QByteArray deep =
            "{\\rtf1 " + repeated("{\\b ", depth) + "x" + repeated("}", depth) + " y}";
        row("innermost of deep groups", deep, "x", "b");
        row("shallow group after deep ones", deep, "y", "");
        row("WordPad colour", sampleDocument("wordpad.rtf"), "urgent", "", QColor(255, 0, 0), 11);
        row("Word link result", sampleDocument("word.rtf"), "see details", "u", QColor(0, 0, 255),
            11);
    }
    void styledRuns()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, fragment);
        QFETCH(QString, styles);
        QFETCH(QColor, color);
        QFETCH(double, pointSize);

        const auto document = rtfStyledDocument(rtf);
        QVERIFY(document);
        const QTextCursor found = document->find(
            fragment, 0, QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords);
        QVERIFY2(!found.isNull(), qPrintable(document->toPlainText()));
        // The first and the last character of the fragment carry the format.
        for (const int position : {found.selectionStart() + 1, found.selectionEnd()}) {
            QTextCursor cursor(document.get());
            cursor.setPosition(position);
            const QTextCharFormat format = cursor.charFormat();
            QCOMPARE(format.fontWeight() == QFont::Bold, styles.contains(u'b'));
            QCOMPARE(format.fontItalic(), styles.contains(u'i'));
            QCOMPARE(format.fontUnderline(), styles.contains(u'u'));
            QCOMPARE(format.fontStrikeOut(), styles.contains(u's'));
            QCOMPARE(foreground(format), color);
            QCOMPARE(format.fontPointSize(), pointSize);
        }
    }

    // An optional hyphen stays in the styled document, where the layout may break the word.
    void paragraphsBecomeBlocks()
    {
        const auto document =
            rtfStyledDocument(R"({\rtf1 first\par second\line same block\par\b co\-operate})");
        QVERIFY(document);
        QCOMPARE(document->toRawText(), QString("first") + QChar::ParagraphSeparator + "second" +
                                            QChar::LineSeparator + "same block" +
                                            QChar::ParagraphSeparator + "co" + QChar::SoftHyphen +
                                            "operate");
    }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
