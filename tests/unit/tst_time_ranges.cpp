// SPDX-License-Identifier: GPL-3.0-or-later
// Deleting by age: the preset ranges, the custom-age sheet's strict amount parsing and words.
#include "i18n/text_catalogue.h"
#include "views/custom_range_sheet.h"
#include "views/history_time_range.h"
#include "views/time_range_menu.h"
#include "views/time_range_selection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

using namespace nabrix;
using Unit = CustomRangeSheet::Unit;

Q_DECLARE_METATYPE(HistoryTimeRange)
Q_DECLARE_METATYPE(CustomRangeSheet::Unit)

class TestTimeRanges : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(installTranslations(*qApp, QLocale(QLocale::English))); }

    void presetsKeepTheirAgesAndRawValues_data()
    {
        QTest::addColumn<HistoryTimeRange>("range");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<double>("seconds");
        QTest::newRow("hour") << HistoryTimeRange::Hour << "hour" << 3600.0;
        // Thirty days, not a calendar month.
        QTest::newRow("month") << HistoryTimeRange::Month << "month" << 2592000.0;
    }
    void presetsKeepTheirAgesAndRawValues()
    {
        QFETCH(HistoryTimeRange, range);
        QFETCH(QString, raw);
        QFETCH(double, seconds);
        QCOMPARE(historyTimeRangeRawValue(range), raw);
        QCOMPARE(historyTimeRangeFromRawValue(raw), std::optional<HistoryTimeRange>(range));
        QCOMPARE(historyTimeRangeSeconds(range), seconds);
        const TimeRangeSelection selection = TimeRangeSelection::forRange(range);
        QCOMPARE(selection.seconds, seconds);
        QVERIFY2(selection.message.contains(historyTimeRangePhrase(range)),
                 qPrintable(selection.message));
    }

    void onlyExactRawValuesNameAPreset()
    {
        for (const char* raw : {"Hour", "hours", " day", "", "year"})
            QCOMPARE(historyTimeRangeFromRawValue(QString::fromLatin1(raw)), std::nullopt);
    }

    void everyRequestIsANewOne()
    {
        const TimeRangeSelection first = TimeRangeSelection::forRange(HistoryTimeRange::Day);
        const TimeRangeSelection second = TimeRangeSelection::forRange(HistoryTimeRange::Day);
        QVERIFY(!first.id.isNull());
        QVERIFY(first.id != second.id);
        QCOMPARE(first.message, second.message);
    }

    void menuListsThePresetsThenTheCustomAge()
    {
        TimeRangeMenu menu;
        QStringList entries;
        for (QAction* action : menu.actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->data().toString());
        QCOMPARE(entries, (QStringList{"hour", "day", "week", "month", "-", "custom"}));
        QCOMPARE(menu.actions().at(1)->text(), historyTimeRangeTitle(HistoryTimeRange::Day));

        QSignalSpy chosen(&menu, &TimeRangeMenu::rangeChosen);
        QSignalSpy custom(&menu, &TimeRangeMenu::customRangeRequested);
        menu.actions().at(3)->trigger();
        menu.actions().at(5)->trigger();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).value<HistoryTimeRange>(), HistoryTimeRange::Month);
        QCOMPARE(custom.size(), 1);
    }

    void amountsAreReadStrictly_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal comma") << "1,5" << true << 1.5;
        QTest::newRow("decimal point") << "1.5" << true << 1.5;
        QTest::newRow("exponent") << "2e1" << true << 20.0;
        QTest::newRow("explicit plus") << "+3" << true << 3.0;
        QTest::newRow("hexadecimal") << "0x10" << true << 16.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("zero") << "0" << false << 0.0;
        QTest::newRow("negative") << "-1" << false << 0.0;
        QTest::newRow("number then letters") << "2h" << false << 0.0;
        QTest::newRow("leading space") << " 1" << false << 0.0;
        QTest::newRow("trailing space") << "1 " << false << 0.0;
        QTest::newRow("two decimal commas") << "1,5,0" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
        QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << false << 0.0;
        QTest::newRow("nul inside")
            << QString(QStringLiteral("1") + QChar(0) + QStringLiteral("2")) << false << 0.0;
    }
    void amountsAreReadStrictly()
    {
        QFETCH(QString, amount);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const std::optional<double> parsed = CustomRangeSheet::parseAmount(amount);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, value);
    }

    void amountsBeyondAnyDateAreStillValid()
    {
        // There is no upper limit; what such an age deletes is the model's concern.
        const std::optional<double> huge = CustomRangeSheet::parseAmount(QStringLiteral("1e400"));
        QVERIFY(huge && std::isinf(*huge));
        QVERIFY(CustomRangeSheet::parseAmount(QStringLiteral("inf")).has_value());
    }

    void customRequestsMultiplyTheUnitAndPickTheWord_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("singular");
        QTest::addColumn<QString>("printed");
        QTest::newRow("one and a half hours") << "1,5" << Unit::Hours << 5400.0 << false << "1.5";
        QTest::newRow("one day") << "1" << Unit::Days << 86400.0 << true << "1";
        QTest::newRow("one point zero hours") << "1.0" << Unit::Hours << 3600.0 << true << "1";
        QTest::newRow("twenty hours in exponent form")
            << "2e1" << Unit::Hours << 72000.0 << false << "20";
        QTest::newRow("one week with a leading zero")
            << "01" << Unit::Weeks << 604800.0 << true << "1";
        QTest::newRow("a quarter day") << "0.25" << Unit::Days << 21600.0 << false << "0.25";
    }
    void customRequestsMultiplyTheUnitAndPickTheWord()
    {
        QFETCH(QString, amount);
        QFETCH(Unit, unit);
        QFETCH(double, seconds);
        QFETCH(bool, singular);
        QFETCH(QString, printed);
        const auto request = CustomRangeSheet::request(amount, unit);
        QVERIFY(request);
        QCOMPARE(request->seconds, seconds);
        const QString word = CustomRangeSheet::unitWord(unit, singular ? 1.0 : 2.0);
        QCOMPARE(CustomRangeSheet::unitWord(unit, *CustomRangeSheet::parseAmount(amount)), word);
        // The amount, then the unit word, in the catalogue's sentence.
        const QString expectedPart = printed + QLatin1Char(' ') + word;
        QVERIFY2(request->message.contains(expectedPart), qPrintable(request->message));
    }

    void confirmButtonFollowsTheAmount()
    {
        CustomRangeSheet sheet;
        QTest::keyClicks(sheet.amountField(), QStringLiteral("1,5"));
        QVERIFY(sheet.confirmButton()->isEnabled());
        QTest::keyClick(sheet.amountField(), Qt::Key_Space);
        QVERIFY(!sheet.confirmButton()->isEnabled());
        sheet.setAmount(QStringLiteral("0"));
        QVERIFY(!sheet.confirmButton()->isEnabled());
    }

    void confirmingReportsTheRequestAndCloses()
    {
        CustomRangeSheet sheet;
        sheet.setAmount(QStringLiteral("2"));
        sheet.setUnit(Unit::Weeks);
        QSignalSpy confirmed(&sheet, &CustomRangeSheet::confirmed);
        QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
        QTest::mouseClick(sheet.confirmButton(), Qt::LeftButton);
        QCOMPARE(confirmed.size(), 1);
        QCOMPARE(confirmed.at(0).at(0).toDouble(), 2 * 604800.0);
        QCOMPARE(finished.size(), 1);
        // A second press of Return while the sheet goes away asks for nothing more.
        QTest::keyClick(&sheet, Qt::Key_Return);
        QCOMPARE(confirmed.size(), 1);
    }

    void returnConfirmsOnlyAValidAmount()
    {
        CustomRangeSheet sheet;
        QSignalSpy confirmed(&sheet, &CustomRangeSheet::confirmed);
        QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
        sheet.setAmount(QStringLiteral("abc"));
        QTest::keyClick(sheet.amountField(), Qt::Key_Return);
        QCOMPARE(finished.size(), 0);
        sheet.setAmount(QStringLiteral("3"));
        QTest::keyClick(sheet.amountField(), Qt::Key_Return);
        QCOMPARE(confirmed.size(), 1);
        QCOMPARE(confirmed.at(0).at(0).toDouble(), 3 * 3600.0);
        QCOMPARE(finished.size(), 1);
    }

    void cancellingAsksForNothing()
    {
        CustomRangeSheet sheet;
        sheet.setAmount(QStringLiteral("5"));
        QSignalSpy confirmed(&sheet, &CustomRangeSheet::confirmed);
        QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
        QTest::keyClick(sheet.amountField(), Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(confirmed.size(), 0);
    }

    void confirmingAnInvalidAmountClosesWithoutARequest()
    {
        CustomRangeSheet sheet;
        sheet.setAmount(QStringLiteral("-4"));
        QSignalSpy confirmed(&sheet, &CustomRangeSheet::confirmed);
        QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
        sheet.accept();
        QCOMPARE(confirmed.size(), 0);
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_MAIN(TestTimeRanges)
#include "tst_time_ranges.moc"
