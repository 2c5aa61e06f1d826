// SPDX-License-Identifier: GPL-3.0-or-later
// Card-number detection and the default blacklist.
#include "capture/privacy_engine.h"
#include "storage/app_settings.h"

#include <QTest>

using namespace nabrix;

class TestPrivacy : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cardNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sensitive");
        QTest::newRow("16 digits in a sentence") << "card: 4111111111111111, exp 12/29" << true;
        QTest::newRow("groups with blanks") << "4111 1111 1111 1111" << true;
        QTest::newRow("blank and hyphen mixed") << "4111 1111-1111 1111" << true;
        QTest::newRow("two blanks") << "4111  1111  1111  1111" << false;
        QTest::newRow("dots") << "4111.1111.1111.1111" << false;
        QTest::newRow("15 digits") << "378282246310005" << true;
        QTest::newRow("19 digits") << "6011000990139424123" << true;
        QTest::newRow("14 digits") << "30569309025904" << false;
        QTest::newRow("20 digits") << "12345678901234567890" << false;
        QTest::newRow("20 digits inside text") << "ref 12345678901234567890 end" << false;
        QTest::newRow("fails luhn") << "1234567812345678" << true;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("٤١١١١١١١١١١١١١١١") << true;
        QTest::newRow("devanagari groups") << QString::fromUtf8("४१११ ११११ ११११ ११११") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("phone number") << "+34 600 123 456" << false;
        QTest::newRow("group touching a digit") << "94111 1111 1111 1111" << false;
        QTest::newRow("amex groups with blanks") << "3782 822463 10005" << true;
        QTest::newRow("diners groups with blanks") << "3056 930902 5904" << true;
        QTest::newRow("diners groups in a sentence") << "card 3056-930902-5904 ok" << true;
        QTest::newRow("diners groups, blank and hyphen") << "3056 930902-5904" << true;
        QTest::newRow("diners groups with two blanks") << "3056  930902  5904" << false;
        QTest::newRow("4-6-6 groups") << "3782 822463 100051" << false;
    }
    void cardNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, sensitive);
        QCOMPARE(PrivacyEngine::isSensitiveText(text), sensitive);
    }

    void defaultBlacklistStartsWithTheFifteenIdentifiers()
    {
        const QStringList expected = {
            "com.1password.1password",
            "com.1password.1password8",
            "com.1password.1password7",
            "com.agilebits.onepassword7",
            "com.agilebits.onepassword6",
            "com.bitwarden.desktop",
            "com.bitwarden",
            "com.lastpass.LastPass",
            "com.dashlane.dashlanepc",
            "com.keeweb.desktop",
            "org.keepassxc.keepassxc",
            "com.nordpass",
            "com.protonpass",
            "com.enpass.enpass",
            "com.apple.keychainaccess",
        };
        const QStringList list = AppSettings::defaultBlacklist();
        QVERIFY(list.size() >= expected.size());
        QCOMPARE(list.mid(0, expected.size()), expected);
        QCOMPARE(QSet<QString>(list.cbegin(), list.cend()).size(), list.size());
    }
};

QTEST_GUILESS_MAIN(TestPrivacy)
#include "tst_privacy.moc"
