// SPDX-License-Identifier: GPL-3.0-or-later
// The history list as its view sees it: the rows as they are, each named for screen readers.
#pragma once

#include <QIdentityProxyModel>

namespace nabrix {

class ClipRowView;

// The rows are painted, so nothing else tells assistive technology what a row holds: its
// accessible text is the row's own description (ClipRowView::accessibleName).
class RowDescriptionModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    // `rows` paints the rows of this model and outlives it.
    explicit RowDescriptionModel(const ClipRowView& rows, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ClipRowView& m_rows;
};

} // namespace nabrix
