#include "explorer_window/explorer_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace tessarin {

namespace {

// How far the pointer may move, in pixels, for a press and release to count
// as a click.
constexpr double ClickSlack = 4;

} // namespace

ExplorerCanvas::ExplorerCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ExplorerCanvas"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    m_view.setViewport(width(), height());
}

void ExplorerCanvas::zoomIn()
{
    m_view.zoomAt(width() / 2.0, height() / 2.0, ZoomStep);
    m_fitted = false;
    update();
}

void ExplorerCanvas::zoomOut()
{
    m_view.zoomAt(width() / 2.0, height() / 2.0, 1 / ZoomStep);
    m_fitted = false;
    update();
}

void ExplorerCanvas::fitAll()
{
    m_view.setViewport(width(), height());
    m_view.fit(m_scene.index().bounds(), FitMargin);
    m_fitted = true;
    update();
}

void ExplorerCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_lastFrame = m_scene.paint(painter, m_view, m_look, m_marks);
}

void ExplorerCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view.setViewport(width(), height());
    if (m_fitted)
        fitAll();
}

void ExplorerCanvas::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    m_view.zoomAt(event->position().x(), event->position().y(), std::pow(ZoomStep, steps));
    m_fitted = false;
    update();
    event->accept();
}

void ExplorerCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressing = true;
    m_dragging = false;
    m_pressed = m_last = event->position();
}

void ExplorerCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressing) {
        const QPointF moved = event->position() - m_pressed;
        if (!m_dragging && std::hypot(moved.x(), moved.y()) > ClickSlack) {
            m_dragging = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging) {
            const QPointF step = event->position() - m_last;
            m_view.panBy(step.x(), step.y());
            m_fitted = false;
            m_last = event->position();
            update();
        }
        return;
    }
    const int item = itemAt(event->position());
    if (item != m_marks.hovered) {
        m_marks.hovered = item;
        update();
    }
}

void ExplorerCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressing)
        return;
    m_pressing = false;
    if (m_dragging) {
        m_dragging = false;
        unsetCursor();
        return;
    }
    emit itemClicked(itemAt(event->position()));
}

void ExplorerCanvas::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    case Qt::Key_Home:
        fitAll();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ExplorerCanvas::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_marks.hovered >= 0) {
        m_marks.hovered = -1;
        update();
    }
}

int ExplorerCanvas::itemAt(QPointF position) const
{
    const ScreenPoint p = m_view.toMap(position.x(), position.y());
    const double radius = (m_look.markerPixels / 2 + 4) / m_view.scale();
    return m_scene.index().nearest(p.x, p.y, radius);
}

} // namespace tessarin
