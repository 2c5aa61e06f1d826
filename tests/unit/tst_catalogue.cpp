// SPDX-License-Identifier: GPL-3.0-or-later
// The text catalogue: the committed .ts files are what lupdate makes of the sources, every
// Spanish text is finished with its English placeholders, and the compiled catalogue loads.
#include "i18n/text_catalogue.h"

#include <QFile>
#include <QLocale>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using nabrix::catalogue::text;

// One message of a .ts file: its English source and its translated form(s); a message with
// singular and plural forms has several.
struct Message {
    QString source;
    QStringList forms;
    bool numerus = false;
    bool finished = true;
};

using Catalogue = QMap<QString, Message>;

QString catalogueFile(const QString& language)
{
    return QStringLiteral(NABRIX_SOURCE_DIR "/resources/translations/nabrix_%1.ts").arg(language);
}

Catalogue readCatalogue(const QString& path)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    QString id;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("message"))
            catalogue.insert(id, message);
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("message")) {
            id = xml.attributes().value(QLatin1String("id")).toString();
            message = Message{};
            message.numerus =
                xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            if (!message.numerus)
                message.forms.append(xml.readElementText());
        } else if (xml.name() == QLatin1String("numerusform")) {
            message.forms.append(xml.readElementText());
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return catalogue;
}

// One line per message, so that a difference names the message.
QSet<QString> describe(const Catalogue& catalogue)
{
    QSet<QString> lines;
    for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
        lines.insert(QStringLiteral("%1%2%3: %4 -> %5")
                         .arg(it.key(), it->numerus ? QStringLiteral(" (plural)") : QString(),
                              it->finished ? QString() : QStringLiteral(" (unfinished)"),
                              it->source, it->forms.join(QStringLiteral(" | "))));
    }
    return lines;
}

// The placeholders QString::arg and the count fill, in any order.
QStringList placeholdersIn(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d+|%n"));
    QStringList found;
    for (const auto& match : marker.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

void install(const QLocale& locale)
{
    QVERIFY(nabrix::installTranslations(*QCoreApplication::instance(), locale));
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // An id the sources use but the .ts lacks shows as the id; one no source uses, or an
    // English text changed beside the call but not in the .ts, leaves the catalogue stale.
    void catalogueIsWhatLupdateMakesOfTheSources_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("en") << QStringLiteral("en");
        QTest::newRow("es") << QStringLiteral("es");
    }

    void catalogueIsWhatLupdateMakesOfTheSources()
    {
        QFETCH(QString, language);
        const QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString updated = directory.filePath(QStringLiteral("nabrix_%1.ts").arg(language));
        QVERIFY(QFile::copy(catalogueFile(language), updated));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::ForwardedChannels);
        lupdate.start(QStringLiteral(NABRIX_LUPDATE),
                      QStringLiteral(NABRIX_LUPDATE_OPTIONS).split(QLatin1Char(' ')) +
                          QStringList{QStringLiteral(NABRIX_SOURCE_DIR "/src"),
                                      QStringLiteral("-ts"), updated});
        QVERIFY2(lupdate.waitForFinished(60000), qPrintable(lupdate.errorString()));
        QCOMPARE(lupdate.exitStatus(), QProcess::NormalExit);
        QCOMPARE(lupdate.exitCode(), 0);
        const Catalogue committed = readCatalogue(catalogueFile(language));
        QVERIFY(committed.size() > 100);
        const QSet<QString> before = describe(committed);
        const QSet<QString> after = describe(readCatalogue(updated));
        QStringList differences;
        for (const QString& line : before - after)
            differences.append(QStringLiteral("committed: ") + line);
        for (const QString& line : after - before)
            differences.append(QStringLiteral("lupdate:   ") + line);
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
    }

    // lrelease would fill an unfinished Spanish text with the English one. English plural
    // forms are the only English written in the .ts: any other would hide the source text.
    void everyTextIsFinishedWithTheSourcePlaceholders()
    {
        QStringList wrong;
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("es")}) {
            const Catalogue catalogue = readCatalogue(catalogueFile(language));
            for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
                const QString where = language + QLatin1Char(' ') + it.key();
                if (it->source.trimmed().isEmpty())
                    wrong.append(where + QStringLiteral(": no English text"));
                if (language == QLatin1String("en") && !it->numerus) {
                    if (!it->forms.join(QString()).isEmpty())
                        wrong.append(where + QStringLiteral(": English beside the source"));
                    continue;
                }
                if (!it->finished)
                    wrong.append(where + QStringLiteral(": unfinished"));
                for (const QString& form : it->forms) {
                    if (form.trimmed().isEmpty())
                        wrong.append(where + QStringLiteral(": untranslated"));
                    else if (placeholdersIn(form) != placeholdersIn(it->source))
                        wrong.append(where + QStringLiteral(": placeholders of ") + form);
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void loadedCatalogueIsTheLanguageOfTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("Spanish (Mexico)") << QLocale(QLocale::Spanish, QLocale::Mexico) << "es";
        QTest::newRow("English (UK)") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "en";
        QTest::newRow("French falls back to English") << QLocale(QLocale::French) << "en";
    }

    void loadedCatalogueIsTheLanguageOfTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, language);
        const Catalogue catalogue = readCatalogue(catalogueFile(language));
        install(locale);
        QCOMPARE(nabrix::catalogue::locale(), locale);
        for (auto it = catalogue.cbegin(); it != catalogue.cend(); ++it) {
            const QByteArray id = it.key().toUtf8();
            if (it->numerus) {
                QCOMPARE(text(id, qint64(1)), it->forms.constFirst().arg(locale.toString(1)));
                QCOMPARE(text(id, qint64(12345)),
                         it->forms.constLast().arg(locale.toString(12345)));
            } else {
                const QString form = it->forms.value(0);
                QCOMPARE(text(id), form.isEmpty() ? it->source : form);
            }
        }
    }

    void amountIsWrittenInTheLocaleWithoutNoise_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("written");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale spanish(QLocale::Spanish, QLocale::Spain);
        QTest::newRow("Spanish fraction") << spanish << 1.5 << "1,5";
        QTest::newRow("a tenth stays a tenth") << spanish << 0.1 << "0,1";
        QTest::newRow("large amounts keep their digits")
            << english << 2e6 << english.toString(2000000);
    }

    void amountIsWrittenInTheLocaleWithoutNoise()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, amount);
        QFETCH(QString, written);
        install(locale);
        QCOMPARE(nabrix::catalogue::amount(amount), written);
    }

    // Qt's own texts (a line edit's context menu) follow the catalogue's language.
    void qtTextsFollowTheLanguage()
    {
        install(QLocale(QLocale::Spanish, QLocale::Spain));
        const QString spanishUndo = QCoreApplication::translate("QLineEdit", "&Undo");
        install(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Undo"));
        QVERIFY2(spanishUndo != QStringLiteral("&Undo"), "Qt's Spanish texts are not installed");
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
