// SPDX-License-Identifier: GPL-3.0-or-later
// Deterministic clipboard-like content: words, texts, RTF documents, file lists.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <optional>
#include <random>

namespace nabrix::bench {

class SampleContent {
public:
    explicit SampleContent(quint64 seed);

    // Uniform in [0, bound); bound must be positive.
    quint64 below(quint64 bound);
    // Uniform in [0, bound) but skewed towards 0: the smaller of two draws.
    quint64 skewedBelow(quint64 bound);
    bool chance(double probability);

    // One word: mostly English and English-like, some French, German, Russian, Chinese,
    // Japanese and emoji.
    QString word();
    // Words in sentences, at most `maxLength` UTF-16 units (so at most that many characters).
    QString text(qsizetype minLength, qsizetype maxLength);
    QString shortText();
    QString url();
    // A text holding something shaped like a payment-card number.
    QString cardNumberText();
    // A valid RTF document whose plain text is `plainText` (paragraphs at "\n").
    QByteArray rtfDocument(const QString& plainText);
    // One to five local files.
    QList<QUrl> fileList();
    // A random (version 4) identifier.
    QUuid uuid();
    // The desktop-entry id of a plausible source application; none now and then.
    std::optional<QString> sourceApplication();

private:
    QString englishLikeWord();

    std::mt19937_64 m_random;
};

} // namespace nabrix::bench
