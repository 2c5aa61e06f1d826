// The text catalogue: every key exists in both languages with the placeholders its
// arguments need, every key the sources use is there, and the compiled catalogue loads.
#include "app/text_catalogue.h"

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

// What a key is formatted with, in order.
enum class Arguments { None, Count, Text, TwoTexts, AmountAndText };

struct KeySpec {
    const char* key;
    Arguments arguments;
};

// Every key the program shows, with the arguments its text receives.
const KeySpec knownKeys[] = {
    {"Nabrix", Arguments::None},
    {"alert.accessibility.message", Arguments::None},
    {"alert.accessibility.title", Arguments::None},
    {"alert.cancel", Arguments::None},
    {"alert.clear", Arguments::None},
    {"alert.hotkeyRequired.message", Arguments::None},
    {"alert.hotkeyRequired.title", Arguments::None},
    {"alert.ok", Arguments::None},
    {"history.back", Arguments::None},
    {"history.clearAll.message", Arguments::None},
    {"history.clearAll.title", Arguments::None},
    {"history.copied", Arguments::None},
    {"history.copy", Arguments::None},
    {"history.customRange.menu", Arguments::None},
    {"history.customRange.placeholder", Arguments::None},
    {"history.customRange.title", Arguments::None},
    {"history.customRange.unit.day", Arguments::None},
    {"history.customRange.unit.days", Arguments::None},
    {"history.customRange.unit.hour", Arguments::None},
    {"history.customRange.unit.hours", Arguments::None},
    {"history.customRange.unit.month", Arguments::None},
    {"history.customRange.unit.months", Arguments::None},
    {"history.customRange.unit.week", Arguments::None},
    {"history.customRange.unit.weeks", Arguments::None},
    {"history.delete", Arguments::None},
    {"history.deleteOlderThan.customMessage", Arguments::AmountAndText},
    {"history.deleteOlderThan.message", Arguments::Text},
    {"history.deleteOlderThan.title", Arguments::None},
    {"history.deleteSelected", Arguments::None},
    {"history.deleteSelected.message", Arguments::Count},
    {"history.deleteSelected.title", Arguments::None},
    {"history.deselectAll", Arguments::None},
    {"history.detail", Arguments::None},
    {"history.detail.title", Arguments::None},
    {"history.detail.unknown", Arguments::None},
    {"history.done", Arguments::None},
    {"history.empty", Arguments::None},
    {"history.fileCount", Arguments::Count},
    {"history.hide", Arguments::None},
    {"history.itemsCount", Arguments::Count},
    {"history.masked", Arguments::None},
    {"history.paste", Arguments::None},
    {"history.quit", Arguments::None},
    {"history.range.day", Arguments::None},
    {"history.range.hour", Arguments::None},
    {"history.range.month", Arguments::None},
    {"history.range.week", Arguments::None},
    {"history.rangePhrase.day", Arguments::None},
    {"history.rangePhrase.hour", Arguments::None},
    {"history.rangePhrase.month", Arguments::None},
    {"history.rangePhrase.week", Arguments::None},
    {"history.reveal", Arguments::None},
    {"history.search", Arguments::None},
    {"history.select", Arguments::None},
    {"history.selectAll", Arguments::None},
    {"history.selectedCount", Arguments::Count},
    {"history.sensitive", Arguments::None},
    {"history.settings", Arguments::None},
    {"history.type.file", Arguments::None},
    {"history.type.image", Arguments::None},
    {"history.type.rtf", Arguments::None},
    {"history.type.text", Arguments::None},
    {"settings.about", Arguments::None},
    {"settings.about.body", Arguments::None},
    {"settings.behavior", Arguments::None},
    {"settings.blacklist", Arguments::None},
    {"settings.blacklist.add", Arguments::None},
    {"settings.blacklist.addButton", Arguments::None},
    {"settings.blacklist.defaults", Arguments::None},
    {"settings.blacklist.empty", Arguments::None},
    {"settings.clearNow", Arguments::None},
    {"settings.hideIcon", Arguments::None},
    {"settings.hideIcon.footer", Arguments::None},
    {"settings.hideSensitive", Arguments::None},
    {"settings.history", Arguments::None},
    {"settings.hotkey", Arguments::None},
    {"settings.hotkey.clear", Arguments::None},
    {"settings.hotkey.footer", Arguments::None},
    {"settings.hotkey.key.backspace", Arguments::None},
    {"settings.hotkey.key.delete", Arguments::None},
    {"settings.hotkey.key.down", Arguments::None},
    {"settings.hotkey.key.end", Arguments::None},
    {"settings.hotkey.key.escape", Arguments::None},
    {"settings.hotkey.key.function", Arguments::Text},
    {"settings.hotkey.key.home", Arguments::None},
    {"settings.hotkey.key.insert", Arguments::None},
    {"settings.hotkey.key.left", Arguments::None},
    {"settings.hotkey.key.menu", Arguments::None},
    {"settings.hotkey.key.pageDown", Arguments::None},
    {"settings.hotkey.key.pageUp", Arguments::None},
    {"settings.hotkey.key.pause", Arguments::None},
    {"settings.hotkey.key.print", Arguments::None},
    {"settings.hotkey.key.return", Arguments::None},
    {"settings.hotkey.key.right", Arguments::None},
    {"settings.hotkey.key.space", Arguments::None},
    {"settings.hotkey.key.tab", Arguments::None},
    {"settings.hotkey.key.up", Arguments::None},
    {"settings.hotkey.modifier.alt", Arguments::None},
    {"settings.hotkey.modifier.ctrl", Arguments::None},
    {"settings.hotkey.modifier.shift", Arguments::None},
    {"settings.hotkey.modifier.super", Arguments::None},
    {"settings.hotkey.none", Arguments::None},
    {"settings.hotkey.recording", Arguments::None},
    {"settings.openSettings", Arguments::None},
    {"settings.pasteOnSelect", Arguments::None},
    {"settings.pasteOnSelect.footer", Arguments::None},
    {"settings.privacy", Arguments::None},
    {"settings.retention", Arguments::None},
    {"settings.retention.30", Arguments::None},
    {"settings.retention.7", Arguments::None},
    {"settings.retention.90", Arguments::None},
    {"settings.retention.forever", Arguments::None},
    {"settings.retention.footer", Arguments::None},
    {"settings.sensitiveDetection", Arguments::None},
    {"settings.sensitiveDetection.footer", Arguments::None},
    {"settings.shortcuts", Arguments::None},
    {"settings.version", Arguments::TwoTexts},
    {"store.fatal.file", Arguments::Text},
};

int placeholderCount(Arguments arguments)
{
    switch (arguments) {
    case Arguments::None:
        return 0;
    case Arguments::Count:
    case Arguments::Text:
        return 1;
    case Arguments::TwoTexts:
    case Arguments::AmountAndText:
        return 2;
    }
    return -1;
}

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

void install(const QLocale& locale)
{
    QVERIFY(nabrix::installTranslations(*QCoreApplication::instance(), locale));
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bothLanguagesHoldExactlyTheKnownKeys_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << QStringLiteral("en");
        QTest::newRow("Spanish") << QStringLiteral("es");
    }

    void bothLanguagesHoldExactlyTheKnownKeys()
    {
        QFETCH(QString, language);
        const Catalogue catalogue = readCatalogue(language);
        QVERIFY2(catalogue.error.isEmpty(), qPrintable(catalogue.error));
        QSet<QString> expected;
        for (const KeySpec& keyEntry : knownKeys)
            expected.insert(QString::fromLatin1(keyEntry.key));
        QCOMPARE(expected.size(), 118);
        const QStringList ids = catalogue.messages.keys();
        const QSet<QString> actual(ids.cbegin(), ids.cend());
        QCOMPARE(QStringList((actual - expected).values()), QStringList());
        QCOMPARE(QStringList((expected - actual).values()), QStringList());
    }

    void everyTextCarriesExactlyItsPlaceholders_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("arguments");
        QTest::addColumn<bool>("countable");
        for (const QString& language : {QStringLiteral("en"), QStringLiteral("es")}) {
            for (const KeySpec& keyEntry : knownKeys) {
                QTest::addRow("%s %s", qPrintable(language), keyEntry.key)
                    << language << QString::fromLatin1(keyEntry.key)
                    << placeholderCount(keyEntry.arguments)
                    << (keyEntry.arguments == Arguments::Count);
            }
        }
    }

    void everyTextCarriesExactlyItsPlaceholders()
    {
        QFETCH(QString, language);
        QFETCH(QString, key);
        QFETCH(int, arguments);
        QFETCH(bool, countable);
        static QHash<QString, Catalogue> catalogues;
        if (!catalogues.contains(language))
            catalogues.insert(language, readCatalogue(language));
        const Message message = catalogues.value(language).messages.value(key);

        QStringList expected;
        for (int i = 1; i <= arguments; ++i)
            expected.append(QStringLiteral("%%1").arg(i));
        // Only counts may choose between singular and plural forms.
        QVERIFY(!message.numerus || countable);
        QVERIFY(!message.forms.isEmpty());
        QVERIFY(!message.source.trimmed().isEmpty());
        QCOMPARE(placeholdersIn(message.source), expected);
        for (const QString& form : message.forms) {
            QVERIFY2(!form.trimmed().isEmpty(), "untranslated");
            QStringList found = placeholdersIn(form);
            // A language may order the arguments its own way, each still used once.
            found.sort();
            QCOMPARE(found, expected);
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
        QTest::newRow("Spanish (Spain)") << QLocale(QLocale::Spanish, QLocale::Spain) << "es";
        QTest::newRow("Spanish (Mexico)") << QLocale(QLocale::Spanish, QLocale::Mexico) << "es";
        QTest::newRow("English (US)") << QLocale(QLocale::English, QLocale::UnitedStates) << "en";
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

        for (const KeySpec& keyEntry : knownKeys) {
            const Message message = catalogue.messages.value(QString::fromLatin1(keyEntry.key));
            const QString first = message.forms.value(0);
            const QString last = message.forms.value(message.forms.size() - 1);
            switch (keyEntry.arguments) {
            case Arguments::None:
                QCOMPARE(text(keyEntry.key), first);
                break;
            case Arguments::Count:
                // Singular and plural forms are chosen by the count.
                QCOMPARE(text(keyEntry.key, qint64(1)), filled(first, {numbers.toString(1)}));
                QCOMPARE(text(keyEntry.key, qint64(7)), filled(last, {numbers.toString(7)}));
                QCOMPARE(text(keyEntry.key, qint64(12345)),
                         filled(last, {numbers.toString(12345)}));
                break;
            case Arguments::Text:
                QCOMPARE(text(keyEntry.key, QStringLiteral("<phrase>")),
                         filled(first, {"<phrase>"}));
                break;
            case Arguments::TwoTexts:
                QCOMPARE(text(keyEntry.key, QStringLiteral("0.1.0"), QStringLiteral("42")),
                         filled(first, {"0.1.0", "42"}));
                break;
            case Arguments::AmountAndText:
                QCOMPARE(text(keyEntry.key, 3.0, QStringLiteral("<unit>")),
                         filled(first, {"3", "<unit>"}));
                break;
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
