// SPDX-License-Identifier: GPL-3.0-or-later
// One group of the settings form: a header with symbol and title, a card of rows, a footer.
#pragma once

#include <QWidget>

class QVBoxLayout;

namespace nabrix {

class SettingsSection : public QWidget {
    Q_OBJECT
public:
    SettingsSection(const QString& symbol, const QString& title, QWidget* parent = nullptr);

    // Appends a row to the card; rows are divided by hairlines.
    void addRow(QWidget* row);
    // A row with `label` on the left and `control` on the right.
    QWidget* addLabeledRow(const QString& label, QWidget* control);
    // Lines of secondary text under the card, 4 pixels apart.
    void setFooter(const QStringList& lines);

private:
    QWidget* m_card;
    QVBoxLayout* m_cardLayout;
    QVBoxLayout* m_layout;
};

} // namespace nabrix
