// SPDX-License-Identifier: GPL-3.0-or-later
// The history list as its view sees it: the rows as they are, each named for screen readers.
#include "views/row_description_model.h"

#include "views/clip_row_view.h"

namespace nabrix {

RowDescriptionModel::RowDescriptionModel(const ClipRowView& rows, QObject* parent)
    : QIdentityProxyModel(parent)
    , m_rows(rows)
{
}

QVariant RowDescriptionModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::AccessibleTextRole && index.isValid())
        return m_rows.accessibleName(index);
    return QIdentityProxyModel::data(index, role);
}

} // namespace nabrix
