// The whole content of the history window: search, list, footer, detail page and overlays.
#pragma once

#include <QWidget>

class QAbstractItemModel;

namespace nabrix {

class AppModel;

class HistoryView : public QWidget {
    Q_OBJECT
public:
    // `list` is the filtered history (one ClipItemRole per row); both outlive the view.
    HistoryView(AppModel& model, QAbstractItemModel& list, QWidget* parent = nullptr);
    ~HistoryView() override;

    QSize sizeHint() const override { return {380, 480}; }

private:
    AppModel& m_model;
    QAbstractItemModel& m_list;
};

} // namespace nabrix
