// SPDX-License-Identifier: GPL-3.0-or-later
// The action buttons of the row under the pointer, as real buttons over the painted row.
#pragma once

#include "storage/clip_item.h"
#include "views/clip_row_content.h"

#include <QWidget>

namespace nabrix {

class SymbolButton;

// Painted rows cannot carry tooltips or accessible names of their own, so the row under
// the pointer gets these widgets on top of its trailing buttons.
class ClipRowActions : public QWidget {
    Q_OBJECT
public:
    explicit ClipRowActions(QWidget* parent = nullptr);

    // Shows the buttons for `item` in the hovered state as its row `shown` has them: copy
    // and detail always, reveal for a masked entry, delete for an entry that is not sensitive.
    void setItem(const ClipItem& item, const ClipRowContent& shown);
    const ClipItem& item() const { return m_item; }

    SymbolButton* copyButton() const { return m_copy; }
    SymbolButton* detailButton() const { return m_detail; }
    SymbolButton* revealButton() const { return m_reveal; }
    SymbolButton* deleteButton() const { return m_delete; }

Q_SIGNALS:
    void copyClicked(const nabrix::ClipItem& item);
    void detailClicked(const nabrix::ClipItem& item);
    void revealClicked(const nabrix::ClipItem& item);
    void deleteClicked(const nabrix::ClipItem& item);

private:
    ClipItem m_item;
    SymbolButton* m_copy;
    SymbolButton* m_detail;
    SymbolButton* m_reveal;
    SymbolButton* m_delete;
};

} // namespace nabrix
