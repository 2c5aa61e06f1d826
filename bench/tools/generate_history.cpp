// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a synthetic history file for benchmarks: generate_history --count N --output PATH.
#include "history_generator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

using nabrix::bench::HistoryGenerator;

namespace {

std::optional<qint64> integerOption(const QCommandLineParser& parser, const QString& name)
{
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    return ok && value >= 0 ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    // QImage encodes PNG without a GUI application.
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a deterministic synthetic Nabrix history (texts, RTF documents, "
                       "file lists, full-HD PNG images) spread over the last days."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("count"), QStringLiteral("Number of entries."), QStringLiteral("N")},
        {QStringLiteral("output"), QStringLiteral("History file to create (must not exist)."),
         QStringLiteral("PATH")},
        {QStringLiteral("seed"), QStringLiteral("Random seed (default 1)."), QStringLiteral("S"),
         QStringLiteral("1")},
        {QStringLiteral("images"),
         QStringLiteral("Number of image entries (default: 1000, a tenth of N when smaller)."),
         QStringLiteral("K")},
        {QStringLiteral("days"), QStringLiteral("Days the entries span (default 90)."),
         QStringLiteral("D"), QStringLiteral("90")},
        {QStringLiteral("now"),
         QStringLiteral("Reference time in ms since the epoch (default: now), for byte-identical "
                        "output."),
         QStringLiteral("MS")},
    });
    parser.process(app);

    const auto count = integerOption(parser, QStringLiteral("count"));
    const auto seed = integerOption(parser, QStringLiteral("seed"));
    const auto days = integerOption(parser, QStringLiteral("days"));
    if (!parser.isSet(QStringLiteral("count")) || !count ||
        parser.value(QStringLiteral("output")).isEmpty() || !seed || !days || *days < 1 ||
        *days > 100000) {
        err << "usage: generate_history --count N --output PATH [--seed S] [--images K] "
               "[--days D] [--now MS]\n";
        return 2;
    }
    HistoryGenerator::Options options;
    options.count = *count;
    options.seed = static_cast<quint64>(*seed);
    options.days = static_cast<int>(*days);
    if (parser.isSet(QStringLiteral("images"))) {
        options.imageCount = integerOption(parser, QStringLiteral("images"));
        if (!options.imageCount) {
            err << "generate_history: --images needs a non-negative integer\n";
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("now"))) {
        const auto now = integerOption(parser, QStringLiteral("now"));
        if (!now) {
            err << "generate_history: --now needs milliseconds since the epoch\n";
            return 2;
        }
        options.now = QDateTime::fromMSecsSinceEpoch(*now);
    }

    const QString output = parser.value(QStringLiteral("output"));
    QElapsedTimer timer;
    timer.start();
    const auto result = HistoryGenerator::generate(output, options);
    if (!result.succeeded()) {
        err << "generate_history: " << result.error << '\n';
        return 1;
    }
    out << "wrote " << options.count << " entries to " << output << " in "
        << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s: " << result.texts << " texts, "
        << result.rtfDocuments << " RTF documents, " << result.fileLists << " file lists, "
        << result.images << " images; " << result.sensitive << " sensitive; "
        << QString::number(QFileInfo(output).size() / 1048576.0, 'f', 1) << " MiB\n";
    return 0;
}
