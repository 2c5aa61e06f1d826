// SPDX-License-Identifier: GPL-3.0-or-later
// The settings form's editor of the applications whose copies are never recorded.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace nabrix {

class AppModel;

class BlacklistEditor : public QWidget {
    Q_OBJECT
public:
    // Edits the model's ignored applications in place; the model outlives the editor.
    explicit BlacklistEditor(AppModel& model, QWidget* parent = nullptr);

    // The field's entry, trimmed, joins the end of the list unless it is already there;
    // either way the field is emptied. A blank entry changes nothing.
    void addEntry();
    // Removes every occurrence of `id`.
    void removeEntry(const QString& id);
    // The whole default list, in its order, replaces the current one.
    void restoreDefaults();

private:
    void rebuildRows();
    void updateAddButton();

    AppModel& m_model;
    QWidget* m_rows;
    QVBoxLayout* m_rowsLayout;
    QLabel* m_emptyText;
    QLineEdit* m_field;
    QPushButton* m_addButton;
};

} // namespace nabrix
