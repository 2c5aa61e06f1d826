// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader on arbitrary bytes: both sinks, and the promise that the styled document
// shows exactly the text that search and the sensitivity check read.
#include "capture/rtf_reader.h"
#include "fuzz_check.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>

namespace {

QString documentText(const QTextDocument& document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::SoftHyphen);
    return text;
}

bool hasOnlyTextCharacters(const QString& text)
{
    // Controls other than tab and line end never reach the reader's text.
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n');
    });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // QTextDocument needs fonts, hence a GUI application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray rtf(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = nabrix::rtfPlainText(rtf);
    FUZZ_CHECK(hasOnlyTextCharacters(plain));
    FUZZ_CHECK(plain.isValidUtf16());

    const std::unique_ptr<QTextDocument> document = nabrix::rtfStyledDocument(rtf);
    if (!document) {
        FUZZ_CHECK(plain.isEmpty());
        return 0;
    }
    FUZZ_CHECK(documentText(*document) == plain);
    return 0;
}
