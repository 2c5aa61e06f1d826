// SPDX-License-Identifier: GPL-3.0-or-later
// Every user-visible text, looked up by its dotted key in the compiled catalogue.
#include "i18n/text_catalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

namespace nabrix {

namespace {

const QString catalogueDirectory = QStringLiteral(":/i18n");
// Our translators are the application's children with this name, so a second install can
// find and replace them without touching translators installed by anyone else.
const QString translatorName = QStringLiteral("nabrix-translator");

QLocale& currentLocale()
{
    static QLocale locale;
    return locale;
}

void removeOurTranslators(QCoreApplication& app)
{
    const auto translators =
        app.findChildren<QTranslator*>(translatorName, Qt::FindDirectChildrenOnly);
    for (QTranslator* translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void install(QCoreApplication& app, std::unique_ptr<QTranslator> translator)
{
    translator->setObjectName(translatorName);
    translator->setParent(&app);
    QCoreApplication::installTranslator(translator.release());
}

// The key itself comes back when the catalogue lacks it; it holds no placeholders to fill.
bool isMissing(const QString& found, const char* key)
{
    return found == QLatin1String(key);
}

} // namespace

bool installTranslations(QCoreApplication& app, const QLocale& locale)
{
    removeOurTranslators(app);
    currentLocale() = locale;

    auto texts = std::make_unique<QTranslator>();
    if (!texts->load(locale, QStringLiteral("nabrix"), QStringLiteral("_"), catalogueDirectory) &&
        !texts->load(QStringLiteral("nabrix_en"), catalogueDirectory))
        return false;
    const QString language = texts->language();
    install(app, std::move(texts));

    // Qt's own texts (a line edit's context menu, ...) in the language we just chose; Qt's
    // built-in texts are English already.
    if (!language.startsWith(QLatin1String("en"))) {
        auto qtTexts = std::make_unique<QTranslator>();
        if (qtTexts->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            install(app, std::move(qtTexts));
    }
    return true;
}

namespace catalogue {

QString text(const char* key)
{
    return qtTrId(key);
}

QString text(const char* key, qint64 count)
{
    QString found = qtTrId(key, int(std::clamp<qint64>(count, INT_MIN, INT_MAX)));
    if (isMissing(found, key))
        return found;
    return found.arg(currentLocale().toString(count));
}

QString amount(double value)
{
    // Below 1e15 every double prints exactly in fixed notation; "1e+06 hours" would puzzle.
    if (std::isfinite(value) && std::abs(value) < 1e15)
        return currentLocale().toString(value, 'f', QLocale::FloatingPointShortest);
    return currentLocale().toString(value, 'g', QLocale::FloatingPointShortest);
}

QLocale locale()
{
    return currentLocale();
}

} // namespace catalogue

} // namespace nabrix
