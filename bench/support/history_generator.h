// SPDX-License-Identifier: GPL-3.0-or-later
// Writes synthetic histories in the store's own format, for benchmarks and profiling.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace nabrix::bench {

class HistoryGenerator {
public:
    struct Options {
        qint64 count = 0;
        quint64 seed = 1;
        // Entries are spread over the `days` days before `now`, one timestamp each.
        QDateTime now = QDateTime::currentDateTime();
        int days = 90;
        // Image entries among `count`; none for defaultImageCount(count).
        std::optional<qint64> imageCount;
    };

    struct Result {
        QString error; // empty on success
        qint64 texts = 0;
        qint64 rtfDocuments = 0;
        qint64 images = 0;
        qint64 fileLists = 0;
        qint64 sensitive = 0;
        bool succeeded() const { return error.isEmpty(); }
    };

    // A thousand images, a tenth of the entries in smaller histories.
    static qint64 defaultImageCount(qint64 count);

    // Creates the history at `filePath`, which must not exist yet. The same options give
    // the same entries (identifiers, contents, timestamps relative to `now`). On failure
    // nothing is left at `filePath`.
    static Result generate(const QString& filePath, const Options& options);
};

} // namespace nabrix::bench
