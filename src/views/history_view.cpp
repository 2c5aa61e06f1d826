// The history window's content.
#include "views/history_view.h"

#include "app/app_model.h"

#include <QAbstractItemModel>

namespace nabrix {

HistoryView::HistoryView(AppModel& model, QAbstractItemModel& list, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_list(list)
{
    setFixedSize(380, 480);
}

HistoryView::~HistoryView() = default;

} // namespace nabrix
