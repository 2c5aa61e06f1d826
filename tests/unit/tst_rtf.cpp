// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader: text of real documents, code pages, Unicode, malformed input and styles.
#include "capture/rtf_reader.h"

#include <QColor>
#include <QFile>
#include <QFont>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
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

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void documentsAsProducersWriteThem_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("WordPad: pntext bullets from a Symbol font, \\u with fallback")
            << "wordpad.rtf"
            << QString::fromUtf8("Meeting notes for café planning\nAgenda:\n•\tBudget – urgent\n"
                                 "•\tNaïve approach €50\nUnderlined and struck\n");
        QTest::newRow("TextEdit: backslash-newline paragraphs, list text, emoji, link")
            << "textedit.rtf"
            << QString::fromUtf8("Shopping list for the “weekend”\n\nFruit: apples, pears – and "
                                 "cherries\n\t•\tCrème fraîche\n\t•\tJalapeños 😃\nRecipes");
        QTest::newRow("LibreOffice: Cyrillic font charset, stylesheet, page styles")
            << "libreoffice.rtf"
            << QString::fromUtf8("Quarterly report\nПривет мир\nTotal: 42 €\n\n");
        QTest::newRow("LibreOffice: symbol-font bullets, link, accents, Cyrillic as \\u")
            << "libreoffice-list.rtf"
            << QString::fromUtf8("Packing list\nFor the café in Zürich and the dacha near Москва:\n"
                                 " •\tCrème brûlée recipe\n •\tТёплая куртка\n •\tWool scarf\n"
                                 "Booking: hotel page done.\n");
        QTest::newRow("AbiWord: starred link result, bullet list, Cyrillic as \\u")
            << "abiword.rtf"
            << QString::fromUtf8("Packing list\nFor the café in Zürich and the dacha near Москва:\n"
                                 "•\tCrème brûlée recipe\n•\tТёплая куртка\n•\tPassport\n"
                                 "Booking: hotel page done.\n\n\n\n");
        QTest::newRow("Word: header, fields, pictures, table, Shift-JIS fallbacks, hidden text")
            << "word.rtf"
            << QString::fromUtf8("Quarterly results rose “sharply” see details.\n Chart\n"
                                 "Region\tSales\nNorth\t1\u00A0200\n日本’s office\n");
    }
    void documentsAsProducersWriteThem()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        const QByteArray rtf = sampleDocument(file);
        readsAs(rtf, text);
    }

    void markup_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("escaped markup characters")
            << QByteArray(R"({\rtf1 a\\b\{c\}d})") << "a\\b{c}d";
        QTest::newRow("non-breaking space and hyphen")
            << QByteArray(R"({\rtf1 10\~km, e\_mail})") << QString::fromUtf8("10\u00A0km, e‑mail");
        QTest::newRow("optional hyphen leaves the word whole")
            << QByteArray(R"({\rtf1 co\-operate})") << "cooperate";
        QTest::newRow("soft hyphen character leaves the word whole")
            << QByteArray(R"({\rtf1 co\'adop\u173?er\uc0\u173 ate})") << "cooperate";
        QTest::newRow("typographic characters")
            << QByteArray(R"({\rtf1 \bullet\emdash\endash\lquote x\rquote\ldblquote y\rdblquote})")
            << QString::fromUtf8("•—–‘x’“y”");
        QTest::newRow("par, line and tab")
            << QByteArray(R"({\rtf1 one\par two\line three\tab four})") << "one\ntwo\nthree\tfour";
        QTest::newRow("backslash before a line end is a paragraph")
            << QByteArray("{\\rtf1 a\\\nb\\\r\nc}") << "a\nb\nc";
        QTest::newRow("line ends and separators given as characters are breaks")
            << QByteArray(R"({\rtf1 a\'0d\'0ab\uc0\u13 c\u8232 d\'00e\u8233 f})")
            << "a\nb\nc\nde\nf";
        QTest::newRow("line ends in the source are not text")
            << QByteArray("{\\rtf1 one\r\ntwo\nthree}") << "onetwothree";
        QTest::newRow("delimiting space belongs to the control word")
            << QByteArray(R"({\rtf1 \b  two spaces\b0 x})") << " two spacesx";
        QTest::newRow("table cells and rows")
            << QByteArray(R"({\rtf1 \trowd\cellx1000\cellx2000\intbl A\cell B\cell\row)"
                          R"(\trowd\cellx1000\cellx2000\intbl C\cell D\cell\row after})")
            << "A\tB\nC\tD\nafter";
        QTest::newRow("nested table cells")
            << QByteArray(
                   R"({\rtf1 \intbl x\nestcell y\nestcell{\*\nesttableprops\nestrow}\nestrow z})")
            << "x\ty\nz";
        QTest::newRow("unknown ignorable destination")
            << QByteArray(R"({\rtf1 {\*\somethingnew secret {\b deeper}}visible})") << "visible";
        QTest::newRow("unknown destination without star keeps its text")
            << QByteArray(R"({\rtf1 {\somethingnew kept} text})") << "kept text";
        QTest::newRow("info, header, footer, footnote")
            << QByteArray(R"({\rtf1{\info{\title T}{\author A}}{\header H\par}{\footer F\par})"
                          R"(main{\super\chftn}{\footnote\pard F1}.})")
            << "main.";
        QTest::newRow("starred field result, as AbiWord writes links")
            << QByteArray(
                   R"({\rtf1\ansi Link: {\field{\*\fldinst HYPERLINK "https://example.org/"})"
                   R"({\*\fldrslt Example site}} end.})")
            << "Link: Example site end.";
        QTest::newRow("field instruction without star")
            << QByteArray(R"({\rtf1 page {\field{\fldinst PAGE}{\fldrslt 3}}})") << "page 3";
        QTest::newRow("binary data inside a picture may contain braces")
            << QByteArray(R"({\rtf1 a{\pict\bin3 }{\}b})") << "ab";
        QTest::newRow("hidden text")
            << QByteArray(R"({\rtf1 a{\v hidden\par}b\v c\v0 d})") << "abd";
        QTest::newRow("list numbering text is shown, its definition is not")
            << QByteArray(R"({\rtf1{\listtext 1.\tab}{\*\listtable{\list{\leveltext \'02\'00.;}}})"
                          R"(first})")
            << "1.\tfirst";
        QTest::newRow("control characters in the source are not text")
            << QByteArray("{\\rtf1 a") + '\0' + "b\x01\x1f" + "c}"
            << "abc";
        QTest::newRow("leading white space") << QByteArray(" \r\n\t{\\rtf1 ok}") << "ok";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF{\\rtf1 ok}") << "ok";
        QTest::newRow("no version number") << QByteArray(R"({\rtf ok})") << "ok";
    }
    void markup()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        readsAs(rtf, text);
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("windows-1252 when nothing is said")
            << QByteArray(R"({\rtf1 caf\'e9 \'80 \'93q\'94})") << QString::fromUtf8("café € “q”");
        QTest::newRow("raw 8-bit bytes read like \\'hh")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}") << QString::fromUtf8("При");
        QTest::newRow("1251 Cyrillic")
            << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})")
            << QString::fromUtf8("Привет");
        QTest::newRow("pc is code page 437")
            << QByteArray(R"({\rtf1\pc \'82\'b0})") << QString::fromUtf8("é░");
        QTest::newRow("mac is Mac Roman")
            << QByteArray(R"({\rtf1\mac \'8e\'a5})") << QString::fromUtf8("é•");
        QTest::newRow("Shift-JIS, two \\'hh per character")
            << QByteArray(R"({\rtf1\ansi\ansicpg932 \'82\'b1\'82\'f1\'82\'c9\'82\'bf\'82\'cd})")
            << QString::fromUtf8("こんにちは");
        QTest::newRow("Shift-JIS trail bytes written as ASCII and escaped symbols")
            << QByteArray(R"({\rtf1\ansi\ansicpg932 \'83e\'83\\\'96\{x})")
            << QString::fromUtf8("テソ本x");
        QTest::newRow("Shift-JIS lead byte cut off by a paragraph")
            << QByteArray(R"({\rtf1\ansi\ansicpg932 a\'82\par b})")
            << QString::fromUtf8("a\uFFFD\nb");
        QTest::newRow("UTF-8 code page")
            << QByteArray(R"({\rtf1\ansi\ansicpg65001 \'e2\'82\'ac})") << QString::fromUtf8("€");
        QTest::newRow("unknown code page reads as 1252")
            << QByteArray(R"({\rtf1\ansi\ansicpg99999 \'e9})") << QString::fromUtf8("é");
        QTest::newRow("font charsets choose the code page")
            << QByteArray(
                   R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
                   R"({\f1\fswiss\fcharset161 Arial Greek;}{\f2\fnil\fcharset204 Arial Cyr;})"
                   R"({\f3\fnil\fcharset238 Arial CE;}{\f4\fnil\fcharset128 MS Gothic;}})"
                   R"(\f0 \'e1 {\f1 \'e1} {\f2 \'e4} {\f3 \'e8} {\f4 \'82\'a0} \'e1})")
            << QString::fromUtf8("á α д č あ á");
        QTest::newRow("font table without inner groups, as TextEdit writes it")
            << QByteArray(R"({\rtf1\ansi{\fonttbl\f0\fswiss\fcharset0 Helvetica;\f1\fnil)"
                          R"(\fcharset204 PTSans;}\f1 \'e4\f0 \'e4})")
            << QString::fromUtf8("дä");
        QTest::newRow("cpg overrides the charset")
            << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1253 Greek;}}\f0\'e1})")
            << QString::fromUtf8("α");
        QTest::newRow("default font's charset applies from the start and after plain")
            << QByteArray(R"({\rtf1\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 B;}}\'e4)"
                          R"(\f0\'e4\plain\'e4})")
            << QString::fromUtf8("дäд");
        QTest::newRow("symbol font bullet")
            << QByteArray(R"({\rtf1{\fonttbl{\f3\fcharset2 Symbol;}}{\f3\'b7}x})")
            << QString::fromUtf8("•x");
        QTest::newRow("charset ANSI is 1252, default charset and none follow ansicpg")
            << QByteArray(R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset0 Arial;})"
                          R"({\f1\fcharset1 B;}{\f2 C;}}\f0 caf\'e9 \f1\'e4\f2\'e4})")
            << QString::fromUtf8("café дд");
        QTest::newRow("charset ANSI in a double-byte document")
            << QByteArray(R"({\rtf1\ansi\ansicpg932{\fonttbl{\f0\fcharset0 Arial;}}\f0\'93x\'94})")
            << QString::fromUtf8("“x”");
    }
    void codePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(rtfPlainText(rtf), text);
    }

    void unicode_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("default skip count is one")
            << QByteArray(R"({\rtf1 caf\u233\'e9!})") << QString::fromUtf8("café!");
        QTest::newRow("uc0 has no fallback")
            << QByteArray(R"({\rtf1\uc0 caf\u233 !})") << QString::fromUtf8("café!");
        QTest::newRow("uc2 skips both bytes of a DBCS fallback")
            << QByteArray(R"({\rtf1\uc2 \u26085\'93\'fa\u26412\'96\'7b!})")
            << QString::fromUtf8("日本!");
        QTest::newRow("space after the parameter is the delimiter, not the fallback")
            << QByteArray(R"({\rtf1\uc1 \u233 xy})") << QString::fromUtf8("éy");
        QTest::newRow("a control word counts as one fallback character")
            << QByteArray(R"({\rtf1\uc1 \u8212\emdash x})") << QString::fromUtf8("—x");
        QTest::newRow("negative values are code units above 32767")
            << QByteArray(R"({\rtf1\uc1 \u-255?\u-1?})") << QString::fromUtf8("！\uFFFF");
        QTest::newRow("surrogate pair from two \\u")
            << QByteArray(R"({\rtf1\uc1 \u-10179?\u-8704? ok})") << QString::fromUtf8("😀 ok");
        QTest::newRow("lone high surrogate")
            << QByteArray(R"({\rtf1\uc0 \u55357 x})") << QString::fromUtf8("\uFFFDx");
        QTest::newRow("lone high surrogate before a paragraph")
            << QByteArray(R"({\rtf1\uc0 \u55357\par x})") << QString::fromUtf8("\uFFFD\nx");
        QTest::newRow("lone low surrogate")
            << QByteArray(R"({\rtf1\uc0 \u56832 x})") << QString::fromUtf8("\uFFFDx");
        QTest::newRow("uc is scoped to its group")
            << QByteArray(R"({\rtf1\uc1 {\uc2 \u26085\'93\'fa}\u233\'e9x})")
            << QString::fromUtf8("日éx");
        QTest::newRow("fallback skipping stops at a group boundary")
            << QByteArray(R"({\rtf1\uc3 {\u233}x{\u233 y}z})") << QString::fromUtf8("éxéz");
        QTest::newRow("huge skip count runs to the end of the group")
            << QByteArray(R"({\rtf1 {\uc99999999999 \u233 abc\par def}ghi})")
            << QString::fromUtf8("éghi");
        QTest::newRow("\\u inside the font table is not text")
            << QByteArray(R"({\rtf1{\fonttbl{\f0 \u23435?\u20307? SimSun;}}x})") << "x";
        QTest::newRow("characters beyond Unicode")
            << QByteArray(R"({\rtf1\uc0 \u99999999999 b})") << QString::fromUtf8("\uFFFDb");
        QTest::newRow("values below -32768 are not characters")
            << QByteArray(R"({\rtf1\uc0 \u-99999999999 b})") << "b";
        QTest::newRow("symbol-font bullets from LibreOffice and Word")
            << QByteArray(R"({\rtf1\uc1 \u61589?a \u-3913?b \u61623 ?c})")
            << QString::fromUtf8("•a •b •c");
        QTest::newRow("code points above the BMP written directly")
            << QByteArray(R"({\rtf1\uc0 \u128512 })") << QString::fromUtf8("😀");
    }
    void unicode()
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
        QTest::newRow("no opening brace") << QByteArray(R"(\rtf1 text})");
        QTest::newRow("text before the document") << QByteArray(R"(x{\rtf1 text})");
    }
    void notRtfIsUnreadable()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(rtfPlainText(bytes), QString());
        QVERIFY(!rtfStyledDocument(bytes));
    }

    void readableDocumentWithoutTextGivesEmptyDocument()
    {
        const auto document = rtfStyledDocument(R"({\rtf1\ansi\deff0})");
        QVERIFY(document);
        QVERIFY(document->isEmpty());
    }

    void malformedInputIsReadAsFarAsItGoes_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut after the signature") << QByteArray(R"({\rtf)") << "";
        QTest::newRow("cut inside a control word") << QByteArray(R"({\rtf1 Hello\pa)") << "Hello";
        QTest::newRow("cut inside a skipped destination")
            << QByteArray(R"({\rtf1 Hello{\*\generator Wri)") << "Hello";
        QTest::newRow("cut inside binary data")
            << QByteArray(R"({\rtf1 Hello\bin100 abc)") << "Hello";
        QTest::newRow("cut inside fallback text")
            << QByteArray(R"({\rtf1\uc4 \u233 ab)") << QString::fromUtf8("é");
        QTest::newRow("closing braces missing")
            << QByteArray(R"({\rtf1 {\b one {\i two)") << "one two";
        QTest::newRow("stray closing braces and text after the document")
            << QByteArray(R"({\rtf1 a}}}} b{\rtf1 c})") << "a";
        QTest::newRow("invalid hex escape") << QByteArray(R"({\rtf1 a\'zzb\'4})") << "azzb";
        QTest::newRow("overlong control word")
            << QByteArray("{\\rtf1 a\\" + repeated("x", 100000) + " b}") << "ab";
        QTest::newRow("giant parameters")
            << QByteArray(R"({\rtf1 \fs99999999999999999999 a\cf-99999999999 b\f99999999999 c)"
                          R"(\ansicpg-5 \'e9\fs-3 d\uc-7 \u233 e})")
            << QString::fromUtf8("abcédée");
        QTest::newRow("giant binary length")
            << QByteArray(R"({\rtf1 a\bin99999999999999 b})") << "a";
        QTest::newRow("negative binary length") << QByteArray(R"({\rtf1 a\bin-5 b})") << "ab";
        QTest::newRow("colour index out of range")
            << QByteArray(R"({\rtf1{\colortbl;\red300\green-4\blue0;}\cf7 a\cf99999999999 b})")
            << "ab";
        QTest::newRow("star at the top level ends the document")
            << QByteArray(R"({\rtf1 a\*\x b})") << "a";
    }
    void malformedInputIsReadAsFarAsItGoes()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        readsAs(rtf, text);
    }

    void deepNestingIsReadWithoutExhaustingTheStack_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        constexpr int depth = 100000;
        QTest::newRow("balanced") << "{\\rtf1 " + repeated("{", depth) + "deep" +
                                         repeated("}", depth) + " tail}"
                                  << "deep tail";
        QTest::newRow("never closed") << "{\\rtf1 " + repeated("{", depth) + "x"
                                      << "x";
        QTest::newRow("skipped destination deep inside")
            << "{\\rtf1 " + repeated("{", depth) + "{\\*\\x " + repeated("{", depth) +
                   repeated("}", depth) + "}in" + repeated("}", depth) + "out}"
            << "inout";
        QTest::newRow("uc restored below the kept depth")
            << "{\\rtf1\\uc1 " + repeated("{\\uc0 ", depth) + repeated("}", depth) + "\\u233\\'e9}"
            << QString::fromUtf8("é");
    }
    void deepNestingIsReadWithoutExhaustingTheStack()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        readsAs(rtf, text);
    }

    void deepNestingRestoresFormattingOfShallowGroups()
    {
        constexpr int depth = 100000;
        const QByteArray rtf =
            "{\\rtf1 " + repeated("{\\b ", depth) + "x" + repeated("}", depth) + "y}";
        const auto document = rtfStyledDocument(rtf);
        QVERIFY(document);
        QCOMPARE(document->toPlainText(), "xy");
        QTextCursor cursor(document.get());
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        cursor.setPosition(2);
        QVERIFY(cursor.charFormat().fontWeight() != int(QFont::Bold));
    }

    void styledRuns_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::addColumn<QColor>("color");     // invalid: no colour set
        QTest::addColumn<double>("pointSize"); // 0: no size set

        const QByteArray styles =
            R"({\rtf1\ansi{\colortbl;\red255\green0\blue0;\red0\green128\blue255;})"
            R"(plain {\b bold} {\i italic} {\ul under} {\strike gone} {\cf1 red} {\fs40 big} )"
            R"({\b\i\ul\strike\cf2\fs18 all} \b\i\ul\strike on\b0\i0\ulnone\strike0  off )"
            R"(\cf2\cf0 auto {\b outer {\i inner} again} after )"
            R"(\b\i\ul\cf1\fs30 set\plain  reset {\uld dotted} {\ul0 none} {\striked1 double})"
            R"( {\b1 one}})";
        QTest::newRow("plain") << styles << "plain" << false << false << false << false << QColor()
                               << 0.0;
        QTest::newRow("bold") << styles << "bold" << true << false << false << false << QColor()
                              << 0.0;
        QTest::newRow("italic") << styles << "italic" << false << true << false << false << QColor()
                                << 0.0;
        QTest::newRow("underline")
            << styles << "under" << false << false << true << false << QColor() << 0.0;
        QTest::newRow("strike-through")
            << styles << "gone" << false << false << false << true << QColor() << 0.0;
        QTest::newRow("colour") << styles << "red" << false << false << false << false
                                << QColor(255, 0, 0) << 0.0;
        QTest::newRow("size in half points")
            << styles << "big" << false << false << false << false << QColor() << 20.0;
        QTest::newRow("everything at once")
            << styles << "all" << true << true << true << true << QColor(0, 128, 255) << 9.0;
        QTest::newRow("b0, i0, ulnone and strike0 end their styles")
            << styles << "off" << false << false << false << false << QColor() << 0.0;
        QTest::newRow("cf0 is the automatic colour")
            << styles << "auto" << false << false << false << false << QColor() << 0.0;
        QTest::newRow("inner group adds to the outer")
            << styles << "inner" << true << true << false << false << QColor() << 0.0;
        QTest::newRow("group end restores the outer format")
            << styles << "again" << true << false << false << false << QColor() << 0.0;
        QTest::newRow("group end restores the document format")
            << styles << "after" << false << false << false << false << QColor() << 0.0;
        QTest::newRow("plain resets everything")
            << styles << "reset" << false << false << false << false << QColor() << 0.0;
        QTest::newRow("ul0 ends underline")
            << styles << "none" << false << false << false << false << QColor() << 0.0;
        QTest::newRow("double strike-through")
            << styles << "double" << false << false << false << true << QColor() << 0.0;
        QTest::newRow("colour entry 0 given explicitly")
            << QByteArray(R"({\rtf1{\colortbl\red0\green0\blue255;}\cf0 blue})") << "blue" << false
            << false << false << false << QColor(0, 0, 255) << 0.0;
        QTest::newRow("fs without parameter is 12 points")
            << QByteArray(R"({\rtf1\fs40\fs x})") << "x" << false << false << false << false
            << QColor() << 12.0;

        QTest::newRow("WordPad colour") << sampleDocument("wordpad.rtf") << "urgent" << false
                                        << false << false << false << QColor(255, 0, 0) << 11.0;
        QTest::newRow("Word link result") << sampleDocument("word.rtf") << "see details" << false
                                          << false << true << false << QColor(0, 0, 255) << 11.0;
    }
    void styledRuns()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, fragment);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
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
            QCOMPARE(format.fontWeight() == QFont::Bold, bold);
            QCOMPARE(format.fontItalic(), italic);
            QCOMPARE(format.fontUnderline(), underline);
            QCOMPARE(format.fontStrikeOut(), strikeOut);
            QCOMPARE(foreground(format), color);
            QCOMPARE(format.fontPointSize(), pointSize);
        }
    }

    void paragraphsBecomeBlocks()
    {
        const auto document =
            rtfStyledDocument(R"({\rtf1 first\par second\line same block\par\b third})");
        QVERIFY(document);
        QStringList blocks;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            blocks << block.text();
        QCOMPARE(blocks,
                 QStringList(
                     {"first", QString("second") + QChar::LineSeparator + "same block", "third"}));
    }

    void optionalHyphenStaysInTheStyledDocument()
    {
        const auto document = rtfStyledDocument(R"({\rtf1 co\-operate})");
        QVERIFY(document);
        QCOMPARE(document->toRawText(), QString("co") + QChar::SoftHyphen + "operate");
    }

    void largeDocumentIsReadCompletely()
    {
        // About 1 MB in the shape of a WordPad document: formatting, escapes and \u.
        const QByteArray paragraph =
            R"(\pard\sa200\sl276\slmult1\f0\fs22 Line with {\b bold}, caf\'e9 and \u8364?5\par)"
            "\r\n";
        constexpr int paragraphs = 14000;
        const QByteArray rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil Calibri;}})"
                               "\r\n" +
                               paragraph.repeated(paragraphs) + "}";
        QVERIFY(rtf.size() > 1000000);
        const QString text = rtfPlainText(rtf);
        QCOMPARE(text, QString::fromUtf8("Line with bold, café and €5\n").repeated(paragraphs));
    }

    // Random damage to real documents never crashes the reader, and its two readings of
    // the same bytes always agree on the text.
    void damagedDocumentsReadConsistently_data()
    {
        QTest::addColumn<QString>("file");
        for (const char* file : {"wordpad.rtf", "textedit.rtf", "libreoffice.rtf", "word.rtf",
                                 "libreoffice-list.rtf", "abiword.rtf"})
            QTest::newRow(file) << file;
    }
    void damagedDocumentsReadConsistently()
    {
        QFETCH(QString, file);
        const QByteArray original = sampleDocument(file);
        const QByteArray alphabet = "{}\\'*;-0123456789abfuxcpr \xe9\x82";
        QRandomGenerator random(20240611);
        for (int round = 0; round < 400; ++round) {
            QByteArray damaged = original;
            const int edits = 1 + int(random.bounded(8));
            for (int edit = 0; edit < edits && !damaged.isEmpty(); ++edit) {
                const auto at = qsizetype(random.bounded(quint32(damaged.size())));
                const char byte =
                    random.bounded(4) == 0
                        ? char(random.bounded(256))
                        : alphabet[qsizetype(random.bounded(quint32(alphabet.size())))];
                switch (random.bounded(4)) {
                case 0:
                    damaged[at] = byte;
                    break;
                case 1:
                    damaged.insert(at, byte);
                    break;
                case 2:
                    damaged.remove(at, 1 + qsizetype(random.bounded(16)));
                    break;
                default:
                    damaged.truncate(at);
                    break;
                }
            }
            const QString plain = rtfPlainText(damaged);
            const auto document = rtfStyledDocument(damaged);
            if (document)
                QCOMPARE(documentText(*document), plain);
            else
                QVERIFY(plain.isEmpty());
        }
    }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
