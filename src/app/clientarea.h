#pragma once

#include <QWidget>

#include <functional>

namespace vernalith {

// The window's client area: the controls sit on it and the dial is drawn on it, behind them.
// It keeps no picture; every paint asks the handler to draw afresh.
class ClientArea : public QWidget
{
    Q_OBJECT

public:
    using PaintHandler = std::function<void(QPainter &painter, const QRect &dirty)>;

    explicit ClientArea(QWidget *parent = nullptr);
    void setPaintHandler(PaintHandler handler) { m_paint = std::move(handler); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PaintHandler m_paint;
};

} // namespace vernalith
