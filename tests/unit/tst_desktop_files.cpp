// SPDX-License-Identifier: GPL-3.0-or-later
// The files that make Nabrix a desktop application: valid for their tools, and in
// agreement with the program they describe.
#include "storage/data_paths.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>
#include <optional>

namespace {

const QString sourceDir = QStringLiteral(NABRIX_SOURCE_DIR);
const QString desktopDir = sourceDir + QStringLiteral("/resources/desktop");
const QString menuEntry = desktopDir + QStringLiteral("/nabrix.desktop");
const QString autostartEntry = desktopDir + QStringLiteral("/nabrix-autostart.desktop");
const QString metainfo = desktopDir + QStringLiteral("/io.github.nabrix.Nabrix.metainfo.xml");
const QString manPage = sourceDir + QStringLiteral("/resources/man/nabrix.1");
const QString iconDir = sourceDir + QStringLiteral("/resources/icons/app");

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QString output; // standard output and standard error together
};

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ToolRun run;
    run.started = process.waitForStarted(10000);
    if (!run.started || !process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The value of `key` in the [Desktop Entry] group, unlocalised.
std::optional<QString> desktopEntryValue(const QString& path, const QString& key)
{
    const QVariant value =
        QSettings(path, QSettings::IniFormat).value(QStringLiteral("Desktop Entry/") + key);
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

// Text of every element named `name` in the metainfo file, with the value of `attribute`
// instead of the text when one is given.
QStringList metainfoValues(const QString& name, const QString& attribute = QString())
{
    QFile file(metainfo);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList values;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != name)
            continue;
        values.append(attribute.isEmpty()
                          ? xml.readElementText(QXmlStreamReader::IncludeChildElements)
                          : xml.attributes().value(attribute).toString());
    }
    return values;
}

QString installedBinaryName()
{
    return QFileInfo(QStringLiteral(NABRIX_BINARY)).fileName();
}

} // namespace

class TestDesktopFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void validatorsAcceptTheFile_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("menu entry")
            << QStringLiteral("desktop-file-validate") << QStringList{menuEntry};
        QTest::newRow("autostart entry")
            << QStringLiteral("desktop-file-validate") << QStringList{autostartEntry};
        QTest::newRow("software-centre description")
            << QStringLiteral("appstreamcli")
            << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo};
    }

    void validatorsAcceptTheFile()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const ToolRun run = runTool(tool, arguments);
        QVERIFY2(run.started,
                 qPrintable(tool + QStringLiteral(" is missing: run scripts/install-deps")));
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        // Warnings are faults too, though neither tool fails on them.
        static const QRegularExpression complaint(
            QStringLiteral("(^|\\n)(W: |E: |.*: (warning|error): )"));
        QVERIFY2(!complaint.match(run.output).hasMatch(), qPrintable(run.output));
    }

    void manPageRendersWithoutWarnings()
    {
        const ToolRun run = runTool(QStringLiteral("groff"),
                                    {QStringLiteral("-man"), QStringLiteral("-Tutf8"),
                                     QStringLiteral("-ww"), QStringLiteral("-P-cbou"), manPage});
        QVERIFY2(run.started, "groff is missing: run scripts/install-deps");
        QCOMPARE(run.exitCode, 0);
        const QStringList warnings =
            run.output.split(QLatin1Char('\n')).filter(QStringLiteral(": warning"));
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
        for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "FILES", "EXIT STATUS"})
            QVERIFY2(run.output.contains(QLatin1String(section)), section);
    }

    void manPageNamesTheProgramsFilesVersionAndLicence()
    {
        // Resolve the program's paths against recognisable roots and write them the way
        // the manual does.
        qputenv("XDG_DATA_HOME", "/data-home");
        qputenv("XDG_CONFIG_HOME", "/config-home");
        QString history = nabrix::historyFilePath();
        QString settings = nabrix::settingsFilePath();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY2(history.startsWith(QStringLiteral("/data-home/")), qPrintable(history));
        QVERIFY2(settings.startsWith(QStringLiteral("/config-home/")), qPrintable(settings));
        history.replace(0, 10, QStringLiteral("$XDG_DATA_HOME"));
        settings.replace(0, 12, QStringLiteral("$XDG_CONFIG_HOME"));

        const QString page = readText(manPage);
        QVERIFY2(page.contains(QStringLiteral("\n.I ") + history + QLatin1Char('\n')),
                 qPrintable(history));
        QVERIFY2(page.contains(QStringLiteral("\n.I ") + settings + QLatin1Char('\n')),
                 qPrintable(settings));
        QVERIFY(page.contains(QStringLiteral("/usr/share/common-licenses/GPL-3")));
        static const QRegularExpression title(
            QStringLiteral("^\\.TH NABRIX 1 \"[^\"]+\" \"Nabrix ([^\"]+)\""),
            QRegularExpression::MultilineOption);
        QCOMPARE(title.match(page).captured(1), QStringLiteral(NABRIX_VERSION));
    }

    void entriesStartTheInstalledProgramWithItsIcon_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("autostart");
        QTest::newRow("menu entry") << menuEntry << false;
        QTest::newRow("autostart entry") << autostartEntry << true;
    }

    void entriesStartTheInstalledProgramWithItsIcon()
    {
        QFETCH(QString, entry);
        QFETCH(bool, autostart);
        QCOMPARE(desktopEntryValue(entry, QStringLiteral("Exec")).value_or(QString()),
                 installedBinaryName());
        const std::optional<QString> icon = desktopEntryValue(entry, QStringLiteral("Icon"));
        QVERIFY(icon.has_value());
        QVERIFY2(QFile::exists(iconDir + QLatin1Char('/') + *icon + QStringLiteral(".svg")),
                 qPrintable(*icon));
        // A second start only toggles the running instance: no launch feedback to wait for.
        QCOMPARE(desktopEntryValue(entry, QStringLiteral("StartupNotify")),
                 QStringLiteral("false"));
        // The autostart entry runs at login and stays out of the menus.
        const auto onlyForAutostart =
            autostart ? std::optional(QStringLiteral("true")) : std::nullopt;
        QCOMPARE(desktopEntryValue(entry, QStringLiteral("NoDisplay")), onlyForAutostart);
        QCOMPARE(desktopEntryValue(entry, QStringLiteral("X-GNOME-Autostart-enabled")),
                 onlyForAutostart);
    }

    void metainfoDescribesThisProgram()
    {
        const QStringList ids = metainfoValues(QStringLiteral("id"));
        QCOMPARE(ids.size(), 1);
        QCOMPARE(QFileInfo(metainfo).fileName(), ids.first() + QStringLiteral(".metainfo.xml"));
        QCOMPARE(metainfoValues(QStringLiteral("launchable")),
                 QStringList{QFileInfo(menuEntry).fileName()});
        QCOMPARE(metainfoValues(QStringLiteral("binary")), QStringList{installedBinaryName()});
        QCOMPARE(metainfoValues(QStringLiteral("project_license")),
                 QStringList{QStringLiteral("GPL-3.0-or-later")});
        // Releases are listed newest first.
        QCOMPARE(metainfoValues(QStringLiteral("release"), QStringLiteral("version")).value(0),
                 QStringLiteral(NABRIX_VERSION));
    }

    void everySourceNamesTheLicence()
    {
        const QByteArray firstLine = "// SPDX-License-Identifier: GPL-3.0-or-later";
        for (const QString folder : {"src", "tests", "bench", "fuzz"}) {
            QDirIterator it(sourceDir + u'/' + folder, {"*.cpp", "*.h"}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY2(file.readLine().trimmed() == firstLine, qPrintable(file.fileName()));
            }
        }
    }

    void iconIsDrawnAtTraySizeAndAtFullSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("16 px") << 16;
        QTest::newRow("512 px") << 512;
    }

    void iconIsDrawnAtTraySizeAndAtFullSize()
    {
        QFETCH(int, size);
        QSvgRenderer renderer(iconDir + QStringLiteral("/nabrix.svg"));
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());

        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();

        // Most of the square is covered, and it is not one flat colour: an icon whose
        // parts Qt's SVG renderer drops (filters, masks, CSS) fails one of these.
        int opaque = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 255) {
                    ++opaque;
                    colours.insert(pixel);
                }
            }
        }
        QVERIFY2(opaque >= size * size / 2, qPrintable(QString::number(opaque)));
        QVERIFY2(colours.size() >= 3, qPrintable(QString::number(colours.size())));
    }
};

QTEST_MAIN(TestDesktopFiles)
#include "tst_desktop_files.moc"
