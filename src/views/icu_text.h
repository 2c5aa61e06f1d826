// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between Qt's locale and text types and ICU's, for the date formatters.
#pragma once

#include <QByteArray>
#include <QString>
#include <unicode/locid.h>
#include <unicode/unistr.h>

class QLocale;

namespace nabrix {

// ICU's locale for `locale`; Qt's C locale is English.
icu::Locale icuLocale(const QLocale& locale);
QString fromIcu(const icu::UnicodeString& text);

} // namespace nabrix
