// SPDX-License-Identifier: GPL-3.0-or-later
// The real program's commands against a running instance and without one: what they print,
// what they change and the status they end with.
#include "x11_harness.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QUuid>
#include <SQLiteCpp/SQLiteCpp.h>
#include <memory>

namespace x11 = nabrix::testing::x11;
using x11::ProgramHome;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray output;
    QByteArray error;
};

// An entry as the history file has it.
struct Row {
    QString id;
    QString type;
    QString text;
    bool sensitive = false;
    QByteArray content;
};

const QString masked(16, QChar(0x2022));

} // namespace

class TestCommandLineX11 : public QObject {
    Q_OBJECT

    ProgramHome m_home;
    std::unique_ptr<QProcess> m_running;

    Run nabrix(const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_home.environment());
        process.start(QStringLiteral(NABRIX_BINARY), arguments);
        Run run;
        if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.exitCode = process.exitCode();
        run.output = process.readAllStandardOutput();
        run.error = process.readAllStandardError();
        return run;
    }

    // Newest first, read with a connection of the test's own.
    QList<Row> rows() const
    {
        QList<Row> found;
        try {
            SQLite::Database db(m_home.historyPath().toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement query(db, "SELECT i.id, i.type, i.search_string, i.is_sensitive, "
                                        "c.content_data FROM clip_items i JOIN clip_contents c "
                                        "ON c.id = i.id ORDER BY i.timestamp DESC");
            while (query.executeStep()) {
                const SQLite::Column content = query.getColumn(4);
                found.append(
                    {QString::fromStdString(query.getColumn(0).getString()),
                     QString::fromStdString(query.getColumn(1).getString()),
                     QString::fromStdString(query.getColumn(2).getString()),
                     query.getColumn(3).getInt() != 0,
                     QByteArray(static_cast<const char*>(content.getBlob()), content.getBytes())});
            }
        } catch (const std::exception&) {
        }
        return found;
    }

    // What `list` prints for `rows`, the age column left out.
    static QStringList listed(const QList<Row>& rows, bool reveal)
    {
        QStringList lines;
        for (const Row& row : rows) {
            QString preview = row.sensitive && !reveal ? masked : row.text;
            preview.replace(u'\t', QChar(0x2409)).replace(u'\n', QChar(0x240a));
            lines.append(row.id + u'\t' + row.type + u'\t' + preview);
        }
        return lines;
    }
    static QStringList withoutAges(const QByteArray& output)
    {
        QStringList lines;
        for (const QString& line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts)) {
            QStringList fields = line.split(u'\t');
            if (fields.size() == 4 && !fields.at(1).isEmpty())
                fields.removeAt(1);
            lines.append(fields.join(u'\t'));
        }
        return lines;
    }

    bool copyAndWait(const QByteArray& text)
    {
        const qsizetype before = rows().size();
        return x11::copyWithXclip(text) &&
               QTest::qWaitFor([&] { return rows().size() > before; }, 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        NABRIX_REQUIRE_X11();
        QVERIFY(m_home.isUsable());
        m_running = m_home.start(QStringLiteral(NABRIX_BINARY));
        QVERIFY(m_running->waitForStarted());
        QVERIFY(m_home.waitUntilCapturing());
        for (const QByteArray& text :
             {QByteArray("first entry"), QByteArray("Second\tENTRY\nwith two lines"),
              QByteArray("card 4111 1111 1111 1111"), QByteArray("newest entry")})
            QVERIFY2(copyAndWait(text), text.constData());
        QCOMPARE(rows().size(), 4);
        QVERIFY(rows().at(1).sensitive);
    }

    void commandsAnswerAsTheHistoryIs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        // Compared without the age column when `lines` is set.
        QTest::addColumn<bool>("lines");
        QTest::addColumn<QByteArray>("output");
        const QList<Row> all = rows();
        const auto joined = [](const QStringList& lines) {
            return lines.isEmpty() ? QByteArray() : lines.join(u'\n').toUtf8();
        };
        const QString unknown = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const auto listing = [&](const char* name, const QStringList& arguments,
                                 const QList<Row>& shown, bool reveal = false) {
            QTest::newRow(name) << arguments << 0 << true << joined(listed(shown, reveal));
        };
        const auto printing = [](const char* name, const QStringList& arguments,
                                 const QByteArray& output) {
            QTest::newRow(name) << arguments << 0 << false << output;
        };
        const auto refused = [](const char* name, const QStringList& arguments) {
            QTest::newRow(name) << arguments << 1 << false << QByteArray();
        };
        listing("list", {"list"}, all);
        listing("list revealed", {"list", "--reveal"}, all, true);
        listing("list limited", {"list", "--limit", "2"}, all.mid(0, 2));
        listing("list of images", {"list", "--type", "image"}, {});
        // Which entries a search finds is the command-line unit test's.
        listing("search of several words", {"search", "newest", "ENTRY"}, {all.at(0)});
        printing("get", {"get", all.at(2).id}, all.at(2).content);
        refused("get sensitive", {"get", all.at(1).id});
        printing("get sensitive revealed", {"get", "--reveal", all.at(1).id}, all.at(1).content);
        refused("get unknown", {"get", unknown});
        refused("copy unknown", {"copy", unknown});
        refused("handle that is no id", {"paste", "first"});
        refused("delete with one unknown", {"delete", all.at(0).id, unknown});
        refused("unknown command", {"frob"});
        refused("bad limit", {"list", "--limit", "x"});
        refused("bad type", {"list", "--type", "pdf"});
        refused("option of another command", {"copy", "--json", all.at(0).id});
        refused("missing handle", {"copy"});
    }
    void commandsAnswerAsTheHistoryIs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, lines);
        QFETCH(QByteArray, output);
        const QList<Row> before = rows();
        const Run run = nabrix(arguments);
        QCOMPARE(run.exitCode, exitCode);
        if (lines)
            QCOMPARE(withoutAges(run.output), withoutAges(output));
        else
            QCOMPARE(run.output, output);
        if (exitCode == 0) {
            QCOMPARE(run.error, QByteArray());
        } else {
            // One line, for people and scripts alike.
            QVERIFY2(run.error.startsWith("nabrix: ") && run.error.count('\n') == 1,
                     run.error.constData());
        }
        // Nothing here changes the history.
        QCOMPARE(rows().size(), before.size());
        QCOMPARE(m_running->state(), QProcess::Running);
    }

    void launcherCopiesTheChosenEntry()
    {
        const QList<Row> before = rows();
        // The launcher's part: the user picks the third line.
        QProcess shell;
        shell.setProcessEnvironment(m_home.environment());
        shell.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("'%1' list | sed -n 3p | cut -f1 | xargs '%1' copy")
                         .arg(QStringLiteral(NABRIX_BINARY))});
        QVERIFY(shell.waitForFinished(20000));
        QCOMPARE(shell.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(x11::clipboardContents()), before.at(2).text);
        // Served, not recorded again: give the capture several polls.
        QTest::qWait(2000);
        QCOMPARE(rows().size(), before.size());
        QCOMPARE(rows().first().id, before.first().id);
    }

    void pasteTypesTheEntryIntoTheFocusedWindow()
    {
        const Row entry = rows().at(3);
        x11::HelperProcess target(QStringLiteral("paste_target"), {});
        QVERIFY(target.waitForOutput("ready\n", 20000));
        QCOMPARE(nabrix({QStringLiteral("paste"), entry.id}).exitCode, 0);
        QVERIFY(target.waitForOutput("text:" + entry.text.toUtf8() + '\n', 20000));
    }

    void deleteRemovesAtOnce()
    {
        const QList<Row> before = rows();
        QCOMPARE(nabrix({QStringLiteral("delete"), before.at(0).id, before.at(3).id}).exitCode, 0);
        // Listed without them straight away, whether or not the file has it yet.
        QCOMPARE(withoutAges(nabrix({QStringLiteral("list")}).output),
                 listed(before.mid(1, 2), false));
        QTRY_COMPARE(rows().size(), 2);
    }

    void withoutAnInstanceListingReadsTheFile()
    {
        const QList<Row> kept = rows();
        QVERIFY(x11::terminatesCleanly(*m_running));
        m_running.reset();
        const QDir folder(QFileInfo(m_home.historyPath()).absolutePath());
        const QStringList files = folder.entryList(QDir::Files);

        const Run list = nabrix({QStringLiteral("list")});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(withoutAges(list.output), listed(kept, false));
        const Run get = nabrix({QStringLiteral("get"), kept.at(1).id});
        QCOMPARE(get.exitCode, 0);
        QCOMPARE(get.output, kept.at(1).content);
        // Read only: not a file more or less beside the history.
        QCOMPARE(folder.entryList(QDir::Files), files);

        for (const QStringList& arguments :
             {QStringList{"copy", kept.at(1).id}, QStringList{"delete", kept.at(1).id}}) {
            const Run run = nabrix(arguments);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.error.startsWith("nabrix: ") && run.error.count('\n') == 1,
                     run.error.constData());
        }
        // Nothing to hide is no failure.
        QCOMPARE(nabrix({QStringLiteral("hide")}).exitCode, 0);
        QCOMPARE(folder.entryList(QDir::Files), files);
    }

    void cleanupTestCase()
    {
        if (m_running != nullptr)
            QVERIFY(x11::terminatesCleanly(*m_running));
    }
};

QTEST_MAIN(TestCommandLineX11)
#include "tst_command_line_x11.moc"
