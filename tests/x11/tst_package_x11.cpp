// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package built from this tree: its files, its control fields, and the program
// it installs capturing copies on a real X server.
#include "x11_harness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using nabrix::testing::x11::storedTexts;

namespace {

const QString sourceDir = QStringLiteral(NABRIX_SOURCE_DIR);

struct CommandRun {
    int exitCode = -1; // -1 when it did not start, crashed or did not finish in time
    QByteArray output; // standard output only
    QByteArray errors;
};

CommandRun runCommand(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory = QString(), int timeoutMs = 60000)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    CommandRun run;
    if (!process.waitForStarted(10000)) {
        run.errors = program.toUtf8() + " did not start";
        return run;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.errors = program.toUtf8() + " did not finish in time";
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Package names in a Depends field, without versions; alternatives count separately.
QSet<QString> dependencyNames(const QString& depends)
{
    QSet<QString> names;
    static const QRegularExpression separator(QStringLiteral("[,|]"));
    for (const QString& part : depends.split(separator, Qt::SkipEmptyParts)) {
        const QString name =
            part.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0);
        if (!name.isEmpty())
            names.insert(name);
    }
    return names;
}

// For each of `paths`, the installed package that ships it (absent when none does).
// With /usr merged, dpkg may have recorded a file under /lib while the loader reports
// /usr/lib, or the other way round, so every spelling is asked for, all in one dpkg run.
QHash<QString, QString> owningPackages(const QStringList& paths)
{
    QHash<QString, QStringList> spellings;
    QStringList queries;
    for (const QString& path : paths) {
        QStringList forms{path, QFileInfo(path).canonicalFilePath()};
        for (const QString& form : QStringList(forms))
            forms.append(form.startsWith(QStringLiteral("/usr/")) ? form.mid(4)
                                                                  : QStringLiteral("/usr") + form);
        forms.removeDuplicates();
        forms.removeAll(QString());
        spellings.insert(path, forms);
        queries.append(forms);
    }
    // dpkg -S fails when any path is unknown, and still names the owners of the others.
    const CommandRun run = runCommand(QStringLiteral("dpkg"), QStringList{"-S"} + queries);
    QHash<QString, QString> ownerOfSpelling;
    for (const QString& line :
         QString::fromUtf8(run.output).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype separator = line.indexOf(QStringLiteral(": /"));
        if (separator > 0 && !line.startsWith(QStringLiteral("diversion ")))
            ownerOfSpelling.insert(line.mid(separator + 2), line.left(separator)
                                                                .section(QStringLiteral(", "), 0, 0)
                                                                .section(QLatin1Char(':'), 0, 0));
    }
    QHash<QString, QString> owners;
    for (auto it = spellings.cbegin(); it != spellings.cend(); ++it) {
        for (const QString& form : it.value()) {
            if (ownerOfSpelling.contains(form)) {
                owners.insert(it.key(), ownerOfSpelling.value(form));
                break;
            }
        }
    }
    return owners;
}

} // namespace

class TestPackageX11 : public QObject {
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_package;
    QString m_root;    // the package's files, as dpkg would lay them out
    QString m_control; // its control files

    QString controlField(const QString& field) const
    {
        const CommandRun run = runCommand(QStringLiteral("dpkg-deb"), {"-f", m_package, field});
        return run.exitCode == 0 ? QString::fromUtf8(run.output).trimmed() : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        NABRIX_REQUIRE_X11();
        QVERIFY(m_work.isValid());
        // The build tree that holds the program under test; cpack packs what it has
        // built, it does not build again.
        QDir buildDir = QFileInfo(QStringLiteral(NABRIX_BINARY)).absoluteDir();
        QVERIFY(buildDir.cdUp());
        const QString config = buildDir.filePath(QStringLiteral("CPackConfig.cmake"));
        QVERIFY2(QFile::exists(config), qPrintable(config + QStringLiteral(" is missing")));

        const QString output = m_work.filePath(QStringLiteral("out"));
        const CommandRun cpack =
            runCommand(QStringLiteral("cpack"), {"-G", "DEB", "--config", config, "-B", output},
                       buildDir.path(), 300000);
        QVERIFY2(cpack.exitCode == 0, cpack.output + cpack.errors);

        const CommandRun arch = runCommand(QStringLiteral("dpkg"), {"--print-architecture"});
        QCOMPARE(arch.exitCode, 0);
        const QString expectedName =
            QStringLiteral("nabrix_%1-1_%2.deb")
                .arg(QStringLiteral(NABRIX_VERSION), QString::fromUtf8(arch.output).trimmed());
        const QStringList packages = QDir(output).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(packages, QStringList{expectedName});
        m_package = output + QLatin1Char('/') + expectedName;

        m_root = m_work.filePath(QStringLiteral("root"));
        m_control = m_work.filePath(QStringLiteral("control"));
        const CommandRun extract =
            runCommand(QStringLiteral("dpkg-deb"), {"-x", m_package, m_root});
        QVERIFY2(extract.exitCode == 0, extract.errors);
        const CommandRun control =
            runCommand(QStringLiteral("dpkg-deb"), {"-e", m_package, m_control});
        QVERIFY2(control.exitCode == 0, control.errors);
    }

    void packageHoldsExactlyTheProgramAndItsDesktopFiles()
    {
        QStringList files;
        QDirIterator it(m_root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(m_root).relativeFilePath(it.next()));
        files.sort();
        QCOMPARE(files, QStringList({
                            "etc/xdg/autostart/nabrix.desktop",
                            "usr/bin/nabrix",
                            "usr/share/applications/nabrix.desktop",
                            "usr/share/doc/nabrix/copyright",
                            "usr/share/icons/hicolor/scalable/apps/nabrix.svg",
                            "usr/share/man/man1/nabrix.1.gz",
                            "usr/share/metainfo/io.github.nabrix.Nabrix.metainfo.xml",
                        }));
        const QFileInfo binary(m_root + QStringLiteral("/usr/bin/nabrix"));
        QVERIFY(binary.isExecutable());
        QVERIFY(binary.permissions().testFlag(QFileDevice::ExeOther));
    }

    void installedFilesAreTheSourceFiles_data()
    {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("source");
        QTest::newRow("autostart entry") << "etc/xdg/autostart/nabrix.desktop"
                                         << "resources/desktop/nabrix-autostart.desktop";
        QTest::newRow("manual page") << "usr/share/man/man1/nabrix.1.gz"
                                     << "resources/man/nabrix.1";
    }

    void installedFilesAreTheSourceFiles()
    {
        QFETCH(QString, installed);
        QFETCH(QString, source);
        const QString path = m_root + QLatin1Char('/') + installed;
        QByteArray bytes = readBytes(path);
        if (installed.endsWith(QStringLiteral(".gz"))) {
            const CommandRun gunzip = runCommand(QStringLiteral("gzip"), {"-dc", path});
            QVERIFY2(gunzip.exitCode == 0, gunzip.errors);
            bytes = gunzip.output;
        }
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes == readBytes(sourceDir + QLatin1Char('/') + source));
        QVERIFY(QFileInfo(path).permissions().testFlag(QFileDevice::ReadOther));
    }

    void installedTreeIsConsistentForSoftwareCentres()
    {
        // Checks that the launchable desktop entry and the icon sit where the metainfo
        // says, as a software centre would look them up.
        const CommandRun run =
            runCommand(QStringLiteral("appstreamcli"), {"validate-tree", "--no-net", m_root});
        QVERIFY2(run.exitCode == 0, run.output + run.errors);
    }

    void dependsNamesInstalledPackagesCoveringWhatTheProgramLoads()
    {
        const QSet<QString> depends = dependencyNames(controlField(QStringLiteral("Depends")));
        // A misspelt name would make the package uninstallable.
        const CommandRun query =
            runCommand(QStringLiteral("dpkg-query"),
                       QStringList{"-W", "-f=${Package} ${Status}\\n"} + depends.values());
        QSet<QString> installed;
        for (const QString& line : QString::fromUtf8(query.output).split(QLatin1Char('\n'))) {
            if (line.endsWith(QStringLiteral(" install ok installed")))
                installed.insert(line.section(QLatin1Char(' '), 0, 0));
        }
        QCOMPARE(depends - installed, QSet<QString>());

        // What dpkg-shlibdeps must have found: the owner of every library the binary
        // names itself (the libraries' own needs are their packages' business).
        const QString binary = m_root + QStringLiteral("/usr/bin/nabrix");
        const CommandRun objdump = runCommand(QStringLiteral("objdump"), {"-p", binary});
        QCOMPARE(objdump.exitCode, 0);
        const CommandRun ldd = runCommand(QStringLiteral("ldd"), {binary});
        QCOMPARE(ldd.exitCode, 0);
        const QString resolved = QString::fromUtf8(ldd.output);

        QHash<QString, QString> pathOfLibrary;
        static const QRegularExpression needed(QStringLiteral("NEEDED\\s+(\\S+)"));
        for (auto match = needed.globalMatch(QString::fromUtf8(objdump.output)); match.hasNext();) {
            const QString soname = match.next().captured(1);
            // "libx.so.1 => /path (address)", or "/path/ld-linux.so.2 (address)" for the loader.
            const QRegularExpression line(QStringLiteral("\\s(?:%1 => (/\\S+)|(/\\S*/%1))\\s")
                                              .arg(QRegularExpression::escape(soname)));
            const QRegularExpressionMatch found = line.match(resolved);
            const QString path =
                found.captured(1).isEmpty() ? found.captured(2) : found.captured(1);
            QVERIFY2(!path.isEmpty(), qPrintable(soname + QStringLiteral(" is not found")));
            pathOfLibrary.insert(soname, path);
        }
        QVERIFY(!pathOfLibrary.isEmpty());
        // Qt loads plugins at run time, so no library scan can see them. The SVG image plugin
        // comes in the same package as the icon engine.
        for (const QString plugin :
             {"platforms/libqxcb.so", "iconengines/libqsvgicon.so", "imageformats/libqtiff.so"})
            pathOfLibrary.insert(plugin,
                                 QLibraryInfo::path(QLibraryInfo::PluginsPath) + u'/' + plugin);

        const QHash<QString, QString> owners = owningPackages(pathOfLibrary.values());
        for (auto it = pathOfLibrary.cbegin(); it != pathOfLibrary.cend(); ++it) {
            QVERIFY2(owners.contains(it.value()),
                     qPrintable(it.value() + QStringLiteral(" belongs to no package")));
            const QString package = owners.value(it.value());
            QVERIFY2(depends.contains(package),
                     qPrintable(package + QStringLiteral(" for ") + it.key()));
        }
    }

    void everyFileUnderEtcIsAConffile()
    {
        // dpkg keeps a user's edits of these across upgrades only when they are listed.
        QStringList underEtc;
        QDirIterator it(m_root + QStringLiteral("/etc"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            underEtc.append(QLatin1Char('/') + QDir(m_root).relativeFilePath(it.next()));
        QVERIFY(!underEtc.isEmpty());
        QStringList conffiles =
            QString::fromUtf8(readBytes(m_control + QStringLiteral("/conffiles")))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        underEtc.sort();
        conffiles.sort();
        QCOMPARE(conffiles, underEtc);
    }

    void extractedProgramCapturesCopiesAndQuitsOnTerm()
    {
        const nabrix::testing::x11::ProgramHome home;
        QVERIFY(home.isUsable());
        QProcessEnvironment packaged;
        packaged.insert(QStringLiteral("XDG_DATA_DIRS"),
                        m_root + QStringLiteral("/usr/share:/usr/share"));
        const QString history = home.historyPath();
        const auto program = home.start(m_root + QStringLiteral("/usr/bin/nabrix"), packaged);
        QVERIFY(program->waitForStarted());
        QVERIFY(home.waitUntilCapturing());

        QVERIFY(nabrix::testing::x11::copyWithXclip("copied into the packaged program"));
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(history),
                                  QStringList{QStringLiteral("copied into the packaged program")},
                                  5000);

        QVERIFY(nabrix::testing::x11::terminatesCleanly(*program));
    }
};

QTEST_MAIN(TestPackageX11)
#include "tst_package_x11.moc"
