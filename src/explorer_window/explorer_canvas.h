#pragma once

#include "explorer/view_transform.h"
#include "explorer_window/explorer_look.h"
#include "explorer_window/explorer_scene.h"

#include <QPoint>
#include <QWidget>

namespace tessarin {

/// The explorer's picture of the map: the wheel and + / − zoom about the
/// pointer or the centre, dragging pans, Home fits every item; the item
/// under the pointer shows its label, a click picks an item (or none).
class ExplorerCanvas : public QWidget {
    Q_OBJECT

public:
    /// Free pixels around the items when all are fitted in.
    static constexpr double FitMargin = 24;
    /// The zoom of one wheel step or key press.
    static constexpr double ZoomStep = 1.25;

    explicit ExplorerCanvas(QWidget *parent = nullptr);

    ExplorerScene &scene() { return m_scene; }
    const ExplorerScene &scene() const { return m_scene; }
    ViewTransform &view() { return m_view; }
    const ViewTransform &view() const { return m_view; }
    ExplorerLook &look() { return m_look; }
    const ExplorerLook &look() const { return m_look; }
    ExplorerMarks &marks() { return m_marks; }
    const ExplorerMarks &marks() const { return m_marks; }
    /// What the last frame drew.
    const FrameReport &lastFrame() const { return m_lastFrame; }

public slots:
    void zoomIn();
    void zoomOut();
    /// Fits every item into the picture; until the view is zoomed or moved,
    /// a resize fits them again.
    void fitAll();
    /// Tells that the view was zoomed or moved from outside.
    void viewMoved() { m_fitted = false; }

signals:
    /// An item (0-based) was clicked, or -1 when a click hit none.
    void itemClicked(int item);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int itemAt(QPointF position) const;

    ExplorerScene m_scene;
    ViewTransform m_view;
    ExplorerLook m_look;
    ExplorerMarks m_marks;
    FrameReport m_lastFrame;
    QPointF m_pressed;
    QPointF m_last;
    bool m_dragging = false;
    bool m_pressing = false;
    bool m_fitted = true;
};

} // namespace tessarin
