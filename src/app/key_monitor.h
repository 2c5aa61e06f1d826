// Sees key presses addressed to our own windows before any widget does.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;

namespace nabrix {

class KeyMonitor : public QObject {
    Q_OBJECT
public:
    // `handler` returns true to consume the key.
    explicit KeyMonitor(std::function<bool(const QKeyEvent&)> handler, QObject* parent = nullptr);
    ~KeyMonitor() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(const QKeyEvent&)> m_handler;
};

} // namespace nabrix
