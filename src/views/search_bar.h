// SPDX-License-Identifier: GPL-3.0-or-later
// The history's search field: a magnifying glass, the text and a clear button.
#pragma once

#include <QWidget>

class QLineEdit;

namespace nabrix {

class SymbolButton;

class SearchBar : public QWidget {
    Q_OBJECT
public:
    explicit SearchBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    SymbolButton* clearButton() const { return m_clear; }
    // Shows `text` without reporting it as typed.
    void setText(const QString& text);

Q_SIGNALS:
    // The user changed the text, by typing or with the clear button.
    void textEdited(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_field;
    SymbolButton* m_clear;
};

} // namespace nabrix
