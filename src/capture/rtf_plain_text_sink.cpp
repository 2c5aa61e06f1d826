// SPDX-License-Identifier: GPL-3.0-or-later
// Collects an RTF document's plain text, as search and the sensitivity check read it.
#include "capture/rtf_plain_text_sink.h"

namespace nabrix {

void RtfPlainTextSink::text(QStringView text, const RtfCharacterStyle&)
{
    // A soft hyphen written as a character (\'ad, \u173) is an optional hyphen too.
    if (!text.contains(QChar::SoftHyphen)) {
        m_text += text;
        return;
    }
    for (const QChar character : text) {
        if (character != QChar::SoftHyphen)
            m_text += character;
    }
}

void RtfPlainTextSink::paragraphBreak()
{
    m_text += QLatin1Char('\n');
}

void RtfPlainTextSink::lineBreak()
{
    m_text += QLatin1Char('\n');
}

void RtfPlainTextSink::optionalHyphen(const RtfCharacterStyle&) {}

} // namespace nabrix
