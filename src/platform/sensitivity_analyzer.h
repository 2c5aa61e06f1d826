// SPDX-License-Identifier: GPL-3.0-or-later
// On-device judgement of whether an image is sensitive.
#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>
#include <optional>

namespace nabrix {

class SensitivityAnalyzer {
public:
    using Verdict = std::optional<bool>;
    virtual ~SensitivityAnalyzer() = default;

    // Judges PNG bytes; `done` runs later on the main thread unless `context` is gone.
    virtual void analyze(const QByteArray& png, QObject* context,
                         std::function<void(Verdict)> done) = 0;
};

} // namespace nabrix
