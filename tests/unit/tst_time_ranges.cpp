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

    // The hour, day and custom entries are driven end to end by the history view's test.
    void monthEntryAsksForThirtyDays()
    {
        TimeRangeMenu menu;
        QSignalSpy chosen(&menu, &TimeRangeMenu::rangeChosen);
        menu.actions().at(3)->trigger();
        QCOMPARE(chosen.size(), 1);
        const auto range = chosen.at(0).at(0).value<HistoryTimeRange>();
        // Thirty days, not a calendar month.
        QCOMPARE(TimeRangeSelection::forRange(range).seconds, 30 * 86400.0);
    }

    // One amount per rule; the exponent form is what the history view's custom-age test types.
    void amountsAreReadStrictly()
    {
        QCOMPARE(CustomRangeSheet::parseAmount(QStringLiteral("1,5")), std::optional<double>(1.5));
        const QString refused[] = {QString(),
                                   QStringLiteral("0"),
                                   QStringLiteral("nan"),
                                   QStringLiteral("2h"),
                                   QStringLiteral(" 1"),
                                   QStringLiteral("1") + QChar(0) + QStringLiteral("2")};
        for (const QString& amount : refused)
            QVERIFY2(!CustomRangeSheet::parseAmount(amount), qPrintable(amount));
    }

    void amountsBeyondAnyDateAreStillValid()
    {
        // There is no upper limit; what such an age deletes is the model's concern.
        const std::optional<double> huge = CustomRangeSheet::parseAmount(QStringLiteral("1e400"));
        QVERIFY(huge && std::isinf(*huge));
    }

    void customRequestsMultiplyTheUnitAndPickTheWord_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("printed");
        QTest::newRow("plural") << "1,5" << Unit::Hours << 5400.0 << "1.5 hours";
        QTest::newRow("singular") << "1.0" << Unit::Days << 86400.0 << "1 day";
        QTest::newRow("exponent") << "2e1" << Unit::Weeks << 20 * 604800.0 << "20 weeks";
    }
    void customRequestsMultiplyTheUnitAndPickTheWord()
    {
        QFETCH(QString, amount);
        QFETCH(Unit, unit);
        QFETCH(double, seconds);
        QFETCH(QString, printed);
        const auto request = CustomRangeSheet::request(amount, unit);
        QVERIFY(request);
        QCOMPARE(request->seconds, seconds);
        QVERIFY2(request->message.contains(printed), qPrintable(request->message));
    }

    void confirmButtonAndReturnFollowTheAmount()
    {
        CustomRangeSheet sheet;
        QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
        QTest::keyClicks(sheet.amountField(), QStringLiteral("1,5"));
        QVERIFY(sheet.confirmButton()->isEnabled());
        QTest::keyClick(sheet.amountField(), Qt::Key_Space);
        QVERIFY(!sheet.confirmButton()->isEnabled());
        QTest::keyClick(sheet.amountField(), Qt::Key_Return);
        QCOMPARE(finished.size(), 0);
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

    void cancellingOrAnInvalidAmountAsksForNothing()
    {
        for (const bool cancel : {true, false}) {
            CustomRangeSheet sheet;
            sheet.setAmount(cancel ? QStringLiteral("5") : QStringLiteral("-4"));
            QSignalSpy confirmed(&sheet, &CustomRangeSheet::confirmed);
            QSignalSpy finished(&sheet, &CustomRangeSheet::finished);
            if (cancel)
                QTest::keyClick(sheet.amountField(), Qt::Key_Escape);
            else
                sheet.accept();
            QCOMPARE(finished.size(), 1);
            QCOMPARE(confirmed.size(), 0);
        }
    }
};

QTEST_MAIN(TestTimeRanges)
#include "tst_time_ranges.moc"
