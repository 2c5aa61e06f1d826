// SPDX-License-Identifier: GPL-3.0-or-later
// The text catalogue: every key exists in both languages with the placeholders its
// arguments need, every key the sources use is there, and the compiled catalogue loads.
#include "i18n/text_catalogue.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

namespace {

using nabrix::catalogue::text;

// One message of a .ts file: its English source and its translated form(s). A message with
// singular and plural forms has several.
struct Message {
    QString source;
    QStringList forms;
    bool numerus = false;
};

struct Catalogue {
    QHash<QString, Message> messages;
    QString error;
};

QString catalogueFile(const QString& language)
{
    return QStringLiteral(NABRIX_SOURCE_DIR "/resources/translations/nabrix_%1.ts").arg(language);
}

Catalogue readCatalogue(const QString& language)
{
    Catalogue catalogue;
    QFile file(catalogueFile(language));
    if (!file.open(QIODevice::ReadOnly)) {
        catalogue.error = QStringLiteral("cannot open ") + file.fileName();
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    QString id;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("message")) {
                id = xml.attributes().value(QLatin1String("id")).toString();
                message = Message{};
                message.numerus =
                    xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (xml.name() == QLatin1String("source")) {
                message.source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation") && !message.numerus) {
                message.forms.append(xml.readElementText());
            } else if (xml.name() == QLatin1String("numerusform")) {
                message.forms.append(xml.readElementText());
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            if (catalogue.messages.contains(id))
                catalogue.error = QStringLiteral("duplicate id ") + id;
            catalogue.messages.insert(id, message);
        }
    }
    if (xml.hasError())
        catalogue.error = xml.errorString();
    return catalogue;
}

// The %1, %2 ... markers QString::arg fills, in the order they appear.
QStringList placeholdersIn(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d+|%n"));
    QStringList found;
    for (const auto& match : marker.globalMatch(text))
        found.append(match.captured());
    return found;
}

// `form` with %1, %2 ... replaced by `arguments` in a single pass, the way the program's
// texts must come out.
QString filled(const QString& form, const QStringList& arguments)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d+)"));
    QString result;
    qsizetype copiedUpTo = 0;
    for (const auto& match : marker.globalMatch(form)) {
        result += form.mid(copiedUpTo, match.capturedStart() - copiedUpTo);
        result += arguments.value(match.captured(1).toInt() - 1, match.captured());
        copiedUpTo = match.capturedEnd();
    }
    return result + form.mid(copiedUpTo);
}

// The keys a source file names: literals handed to a lookup, and key literals kept in tables.
QSet<QString> keysIn(const QString& source)
{
    static const QRegularExpression lookup(
        QStringLiteral("\\b(?:qtTrId|text)\\s*\\(\\s*\"([^\"\\\\]*)\""));
    static const QRegularExpression keyLiteral(
        QStringLiteral("\"((?:history|settings|alert)(?:\\.[A-Za-z0-9]+)+)\""));
    QSet<QString> keys;
    for (const auto& expression : {lookup, keyLiteral}) {
        for (const auto& match : expression.globalMatch(source))
            keys.insert(match.captured(1));
    }
    return keys;
}

QSet<QString> keySet(const Catalogue& catalogue)
{
    const QStringList keys = catalogue.messages.keys();
    return {keys.cbegin(), keys.cend()};
}

void install(const QLocale& locale)
{
    QVERIFY(nabrix::installTranslations(*QCoreApplication::instance(), locale));
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bothLanguagesHoldTheSameKeys()
    {
        const Catalogue english = readCatalogue(QStringLiteral("en"));
        const Catalogue spanish = readCatalogue(QStringLiteral("es"));
        QVERIFY2(english.error.isEmpty(), qPrintable(english.error));
        QVERIFY2(spanish.error.isEmpty(), qPrintable(spanish.error));
        QVERIFY(!english.messages.isEmpty());
        QCOMPARE(QStringList((keySet(english) - keySet(spanish)).values()), QStringList());
        QCOMPARE(QStringList((keySet(spanish) - keySet(english)).values()), QStringList());
    }

    // The English source text decides the placeholders: %1, %2 ... in order. Every form in
    // both languages uses each of them once, in whatever order the language needs.
    void everyTextCarriesExactlyItsPlaceholders_data()
    {
        QTest::addColumn<QString>("key");
        const Catalogue english = readCatalogue(QStringLiteral("en"));
        const Catalogue spanish = readCatalogue(QStringLiteral("es"));
        QStringList keys = (keySet(english) | keySet(spanish)).values();
        keys.sort();
        for (const QString& key : keys)
            QTest::newRow(qPrintable(key)) << key;
    }

    void everyTextCarriesExactlyItsPlaceholders()
    {
        QFETCH(QString, key);
        static const Catalogue english = readCatalogue(QStringLiteral("en"));
        static const Catalogue spanish = readCatalogue(QStringLiteral("es"));
        const QString source = english.messages.value(key).source;
        QVERIFY(!source.trimmed().isEmpty());
        const QStringList expected = placeholdersIn(source);
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(expected.at(i), QStringLiteral("%%1").arg(i + 1));
        for (const Catalogue* catalogue : {&english, &spanish}) {
            QVERIFY(catalogue->messages.contains(key));
            const Message message = catalogue->messages.value(key);
            QCOMPARE(message.source, source);
            // Only a count may choose between singular and plural forms.
            QVERIFY(!message.numerus || expected.size() == 1);
            QVERIFY(!message.forms.isEmpty());
            for (const QString& form : message.forms) {
                QVERIFY2(!form.trimmed().isEmpty(), "untranslated");
                QStringList found = placeholdersIn(form);
                found.sort();
                QCOMPARE(found, expected);
            }
        }
    }

    void keysUsedInTheSourcesExistInBothLanguages()
    {
        const Catalogue english = readCatalogue(QStringLiteral("en"));
        const Catalogue spanish = readCatalogue(QStringLiteral("es"));
        QStringList missing;
        int files = 0;
        QDirIterator it(QStringLiteral(NABRIX_SOURCE_DIR "/src"),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            const auto keys = keysIn(QString::fromUtf8(file.readAll()));
            for (const QString& key : keys) {
                if (!english.messages.contains(key) || !spanish.messages.contains(key))
                    missing.append(QStringLiteral("%1 (%2)").arg(key, file.fileName()));
            }
        }
        QVERIFY(files > 0);
        QCOMPARE(missing, QStringList());
    }

    // The scan above must see keys however the sources hold them, or it passes blindly.
    void keyScanFindsLookupsAndKeyTables_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("qtTrId") << QStringLiteral("label->setText(qtTrId(\"history.search\"));")
                                << QStringList{"history.search"};
        QTest::newRow("helper with count")
            << QStringLiteral("catalogue::text( \"history.itemsCount\", items.size())")
            << QStringList{"history.itemsCount"};
        QTest::newRow("application name")
            << QStringLiteral("text(\"Nabrix\")") << QStringList{"Nabrix"};
        QTest::newRow("key table")
            << QStringLiteral(
                   "{\"hour\", 3600, \"history.range.hour\", \"history.rangePhrase.hour\"},")
            << QStringList{"history.range.hour", "history.rangePhrase.hour"};
        QTest::newRow("key in a string literal macro")
            << QStringLiteral("button(QStringLiteral(\"alert.ok\"))") << QStringList{"alert.ok"};
        QTest::newRow("file name is no key")
            << QStringLiteral("dataDirectory() + QStringLiteral(\"/history.sqlite3\")")
            << QStringList{};
        QTest::newRow("other calls are no lookups")
            << QStringLiteral("edit->setText(\"plain\"); context(\"history\");") << QStringList{};
    }

    void keyScanFindsLookupsAndKeyTables()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, keys);
        QStringList found = keysIn(source).values();
        found.sort();
        QCOMPARE(found, keys);
    }

    void loadedCatalogueIsTheLanguageOfTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("Spanish (Mexico)") << QLocale(QLocale::Spanish, QLocale::Mexico) << "es";
        QTest::newRow("English (UK)") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "en";
        QTest::newRow("French falls back to English") << QLocale(QLocale::French) << "en";
        QTest::newRow("C locale falls back to English") << QLocale::c() << "en";
    }

    void loadedCatalogueIsTheLanguageOfTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, language);
        const Catalogue catalogue = readCatalogue(language);
        QVERIFY2(catalogue.error.isEmpty(), qPrintable(catalogue.error));
        install(locale);
        const QLocale numbers = nabrix::catalogue::locale();
        QCOMPARE(numbers, locale);

        for (auto it = catalogue.messages.cbegin(); it != catalogue.messages.cend(); ++it) {
            const QByteArray utf8 = it.key().toUtf8();
            const char* key = utf8.constData();
            const QString first = it->forms.value(0);
            const QString last = it->forms.value(it->forms.size() - 1);
            if (it->numerus) {
                // Singular and plural forms are chosen by the count.
                QCOMPARE(text(key, qint64(1)), filled(first, {numbers.toString(1)}));
                QCOMPARE(text(key, qint64(7)), filled(last, {numbers.toString(7)}));
                QCOMPARE(text(key, qint64(12345)), filled(last, {numbers.toString(12345)}));
            } else if (placeholdersIn(it->source).isEmpty()) {
                QCOMPARE(text(key), first);
            }
        }
    }

    void missingKeyShowsTheKey()
    {
        install(QLocale(QLocale::Spanish, QLocale::Spain));
        QCOMPARE(text("history.noSuchKey"), QStringLiteral("history.noSuchKey"));
        QCOMPARE(text("history.noSuchCount", qint64(3)), QStringLiteral("history.noSuchCount"));
        QCOMPARE(text("history.noSuchPhrase", QStringLiteral("x")),
                 QStringLiteral("history.noSuchPhrase"));
        QCOMPARE(text("history.noSuchAmount", 1.5, QStringLiteral("x")),
                 QStringLiteral("history.noSuchAmount"));
    }

    void amountIsWrittenInTheLocaleWithoutNoise_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("written");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale spanish(QLocale::Spanish, QLocale::Spain);
        QTest::newRow("English fraction") << english << 1.5 << "1.5";
        QTest::newRow("Spanish fraction") << spanish << 1.5 << "1,5";
        QTest::newRow("whole number has no decimals") << english << 20.0 << "20";
        QTest::newRow("one") << spanish << 1.0 << "1";
        QTest::newRow("no rounding") << english << 0.125 << "0.125";
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
        const QString message =
            text("history.deleteOlderThan.customMessage", amount, QStringLiteral("<unit>"));
        QVERIFY2(message.contains(written + QStringLiteral(" <unit>")), qPrintable(message));
    }

    // Arguments go in verbatim: a phrase or version that looks like a placeholder stays.
    void argumentsAreNotReadAsPlaceholders()
    {
        install(QLocale(QLocale::English, QLocale::UnitedStates));
        const Catalogue catalogue = readCatalogue(QStringLiteral("en"));
        const QString version =
            catalogue.messages.value(QStringLiteral("settings.version")).forms.value(0);
        QCOMPARE(text("settings.version", QStringLiteral("%2"), QStringLiteral("%1")),
                 filled(version, {"%2", "%1"}));
        const QString custom =
            catalogue.messages.value(QStringLiteral("history.deleteOlderThan.customMessage"))
                .forms.value(0);
        QCOMPARE(text("history.deleteOlderThan.customMessage", 2.0, QStringLiteral("%1")),
                 filled(custom, {"2", "%1"}));
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
