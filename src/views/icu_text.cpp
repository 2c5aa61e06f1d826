// SPDX-License-Identifier: GPL-3.0-or-later
// Qt and ICU speak different dialects of locales and strings.
#include "views/icu_text.h"

#include <QLocale>

namespace nabrix {

icu::Locale icuLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return icu::Locale("en_US_POSIX");
    return icu::Locale(locale.name().toLatin1().constData());
}

QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace nabrix
