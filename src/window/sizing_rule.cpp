#include "window/sizing_rule.h"

#include "base/lenient_number.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"
#include "display/twips.h"
#include "window/picture_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace tessarin {

SizingRule::SizingRule(QWidget &window, const QLineEdit &sizeText, PictureBox &table, PictureBox &map,
                       std::function<int()> menuBarHeight, std::function<bool()> closing)
    : m_window(window), m_sizeText(sizeText), m_table(table), m_map(map),
      m_menuBarHeight(std::move(menuBarHeight)), m_closing(std::move(closing))
{
}

void SizingRule::applyDeferred()
{
    if (!m_pending || m_deferred)
        return;
    m_pending = false;
    onResize();
}

void SizingRule::apply()
{
    if (m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // Our own resizes raise resize events, which the rule running already
    // answers. Any other resize that reaches the rule while it runs (the
    // window manager's, delivered while the rule resizes the window) is not
    // dropped: the rule runs again once it is done, so the window ends at
    // the rule's size.
    if (m_sizing) {
        if (m_window.size() != m_sizingTarget)
            m_sizeAgain = true;
        return;
    }
    const QScopedValueRollback<bool> guard(m_sizing, true);
    for (int round = 0; round < 4; ++round) {
        m_sizeAgain = false;
        applyOnce();
        if (!m_sizeAgain)
            break;
    }
}

void SizingRule::applyOnce()
{
    // Each step reads the box afresh, as the text may change between steps
    // while events are processed.
    auto side = [this] {
        const std::string text = m_sizeText.text().toStdString();
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
    const QSize frame =
        m_window.isVisible() ? m_window.frameGeometry().size() - m_window.geometry().size() : QSize(0, 0);
    // The menu bar is window chrome, as the title bar is: it comes on top.
    m_sizingTarget = (outer - frame + QSize(0, m_menuBarHeight())).expandedTo(QSize(0, 0));
    m_window.resize(m_sizingTarget);
    // A window system may not answer a resize it received while it was
    // still carrying out another (the user's), and Qt then takes the size
    // as granted: the request goes out once more when things have settled.
    if (m_window.isVisible() && m_window.windowHandle())
        QTimer::singleShot(SettleMilliseconds, &m_window, [this] { confirmSize(); });

    m_table.setTwipsGeometry(120, 1200, side(), side());
    const double graphLeft = side() + 250;
    m_map.setTwipsGeometry(graphLeft, 1200, side(), side());
}

void SizingRule::confirmSize()
{
    if (m_sizing || m_deferred || m_closing() || !m_window.isVisible() || !m_window.windowHandle() ||
        (m_window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    if (m_window.size() == m_sizingTarget)
        m_window.windowHandle()->resize(m_sizingTarget);
}

void SizingRule::onResize()
{
    if (m_deferred) {
        m_pending = true;
        return;
    }
    // A size refused during a resize by the user keeps the sizes as they are;
    // the Rerun command reports it.
    try {
        apply();
    } catch (const TessarinError &) {
    }
}

} // namespace tessarin
