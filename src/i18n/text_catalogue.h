// SPDX-License-Identifier: GPL-3.0-or-later
// Every user-visible text, looked up by its dotted key in the compiled catalogue.
#pragma once

#include <QString>

class QCoreApplication;
class QLocale;

namespace nabrix {

// Installs the catalogue for `locale` (the first of its UI languages we ship, English
// otherwise) and Qt's own texts for the same language when they are installed. Calling it
// again replaces the previous catalogue. Returns false when not even the English catalogue
// could be loaded, which means the program was built without its resources.
bool installTranslations(QCoreApplication& app, const QLocale& locale);

// Ids are string literals at the call site, catalogue::text("history.search"), with the
// English text in a `//% "Search history"` comment just before: lupdate reads both. A
// missing id comes back as the id itself.
namespace catalogue {

QString text(const char* key);

// Counts fill %1, printed with the catalogue locale's digits and separators. The catalogue
// holds singular and plural forms for them; the form is chosen by the count.
QString text(const char* key, qint64 count);

// Other placeholders are filled with QString::arg, all arguments in one call so that an
// argument containing "%2" stays as it is.

// An amount as it fills a placeholder: in the catalogue locale, with the fewest digits that
// give back the same value and no exponent below 1e15: 1.5 is "1.5" in English and "1,5" in
// Spanish, 2e1 is "20", 0.25 is "0.25".
QString amount(double value);

// The locale the numbers above are printed in: the one given to installTranslations().
QLocale locale();

} // namespace catalogue

} // namespace nabrix
