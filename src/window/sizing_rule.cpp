// The sizing rule of the main window: the outer size and the two boxes
// from the Picture Size box, applied again after any resize.

#include "window/main_form.h"

#include "base/lenient_number.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"
#include "window/menu_bar.h"
#include "window/picture_box.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace tessarin {

void MainForm::applyDeferredSizing()
{
    if (!m_sizingPending || m_sizingDeferred)
        return;
    m_sizingPending = false;
    sizeOnEvent();
}

void MainForm::applySizingRule()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // Our own resizes raise resize events, which the rule running already
    // answers. Any other resize that reaches the rule while it runs (the
    // window manager's, delivered while the rule resizes the window) is not
    // dropped: the rule runs again once it is done, so the window ends at
    // the rule's size.
    if (m_sizing) {
        if (size() != m_sizingTarget)
            m_sizeAgain = true;
        return;
    }
    const QScopedValueRollback<bool> guard(m_sizing, true);
    for (int round = 0; round < 4; ++round) {
        m_sizeAgain = false;
        applySizingRuleOnce();
        if (!m_sizeAgain)
            break;
    }
}

void MainForm::applySizingRuleOnce()
{

    // Each step reads the box afresh, as the text may change between steps
    // while events are processed.
    auto side = [this] {
        const std::string text = textOf(m_sizeText);
        const auto refused = [&] {
            return TessarinError("Picture Size: " + ShownText(text) + " is not a size the window can take");
        };
        double s;
        try {
            s = LenientNumber(text);
        } catch (const TessarinError &) {
            throw refused();
        }
        const double largest = double(QWIDGETSIZE_MAX) * TwipsPerPixel / 2;
        if (!(s >= 0) || s > largest)
            throw refused();
        return s;
    };

    double width = 2 * side() + 500;
    if (width < 10000)
        width = 10000;
    const double height = side() + 1700;
    m_requestedOuterSize = QSizeF(width, height);
    const QSize outer(qRound(width / TwipsPerPixel), qRound(height / TwipsPerPixel));
    // Outer size is the frame's size; without a frame it is the client size.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    // The menu bar is window chrome, as the title bar is: it comes on top.
    m_sizingTarget = (outer - frame + QSize(0, menuBarHeight())).expandedTo(QSize(0, 0));
    resize(m_sizingTarget);
    // A window system may not answer a resize it received while it was
    // still carrying out another (the user's), and Qt then takes the size
    // as granted: the request goes out once more when things have settled.
    if (isVisible() && windowHandle())
        QTimer::singleShot(SettleMilliseconds, this, &MainForm::confirmSize);

    m_distanceBox->setTwipsGeometry(120, 1200, side(), side());
    const double graphLeft = side() + 250;
    m_distanceGraph->setTwipsGeometry(graphLeft, 1200, side(), side());
}

void MainForm::confirmSize()
{
    if (m_sizing || m_sizingDeferred || m_closing || !isVisible() || !windowHandle() ||
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    if (size() == m_sizingTarget)
        windowHandle()->resize(m_sizingTarget);
}

void MainForm::sizeOnEvent()
{
    if (m_sizingDeferred) {
        m_sizingPending = true;
        return;
    }
    // A size refused during a resize by the user keeps the sizes as they are;
    // the Rerun command reports it.
    try {
        applySizingRule();
    } catch (const TessarinError &) {
    }
}

int MainForm::menuBarHeight() const
{
    // A menu bar the desktop shows outside the window takes no room in it.
    return m_menuBar && !m_menuBar->isNativeMenuBar() ? m_menuBar->sizeHint().height() : 0;
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int bar = menuBarHeight();
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), bar);
    m_clientArea->setGeometry(0, bar, width(), std::max(0, height() - bar));
    sizeOnEvent();
}

void MainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        sizeOnEvent();
}

} // namespace tessarin
