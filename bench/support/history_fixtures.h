// SPDX-License-Identifier: GPL-3.0-or-later
// Generated histories shared by the benchmarks of one run, each size made once.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace nabrix::bench {

class HistoryFixtures {
public:
    // The time every fixture of this run was generated against; its newest entry is
    // a little older.
    static QDateTime now();
    // A generated history of `count` entries, made on first use and never changed after;
    // none (with the reason on standard error) when it cannot be made.
    static std::optional<QString> pristine(qint64 count);
    // A copy of pristine(count) named `name` in the run's scratch directory, replacing any
    // earlier one, flushed to disk so that its write-back does not run into the timings.
    static std::optional<QString> copy(qint64 count, const QString& name);
    // `name` in the run's scratch directory ($TMPDIR, removed at exit).
    static QString scratchPath(const QString& name);
};

} // namespace nabrix::bench
