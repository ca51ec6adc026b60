#pragma once

#include <QSize>
#include <QSizeF>

#include <functional>

class QLineEdit;
class QWidget;

namespace tessarin {

class PictureBox;

/// The sizing rule of the main window: the outer size and the two picture
/// boxes from the Picture Size box, applied again after any resize.
class SizingRule {
public:
    /// How long after a resize the window asks once more for the size the
    /// rule set, in case the window system let the request pass.
    static constexpr int SettleMilliseconds = 250;

    /// The parts the rule reads and sizes: the window, its Picture Size box,
    /// the table and map boxes; `menuBarHeight` tells the height of the menu
    /// bar in the window and `closing` whether the window is closing.
    SizingRule(QWidget &window, const QLineEdit &sizeText, PictureBox &table, PictureBox &map,
               std::function<int()> menuBarHeight, std::function<bool()> closing);

    /// Sizes the window and both picture boxes from the Picture Size box;
    /// does nothing while the window is minimised or maximised. The menu
    /// bar's height comes on top of the outer height the rule sets. Throws
    /// TessarinError naming Picture Size when its value is not a size the
    /// window can take.
    void apply();
    /// What a resize or a change of the window state does: the rule, unless
    /// it waits (see Deferral); a refused size keeps the sizes as they are.
    void onResize();
    /// Runs the rule a resize asked for while it waited, once the waiting
    /// has ended.
    void applyDeferred();

    /// While one lives, the rule of a resize waits; applyDeferred() runs it.
    class Deferral {
    public:
        explicit Deferral(SizingRule &rule) : m_rule(rule) { m_rule.m_deferred = true; }
        ~Deferral() { end(); }
        /// Ends the waiting before the end of the scope.
        void end() { m_rule.m_deferred = false; }
        Deferral(const Deferral &) = delete;
        Deferral &operator=(const Deferral &) = delete;

    private:
        SizingRule &m_rule;
    };

    /// The outer size, in twips, the rule last asked for, without the menu
    /// bar.
    QSizeF requestedOuterSize() const { return m_requestedOuterSize; }
    void setRequestedOuterSize(QSizeF size) { m_requestedOuterSize = size; }
    /// Adds `height` pixels of chrome (a status line shown or hidden) to the
    /// size the rule last set, so a resize that follows keeps the form's size.
    void growTarget(int height) { m_sizingTarget += QSize(0, height); }

private:
    void applyOnce();
    // Asks the window system once more for the size the rule last set.
    void confirmSize();

    QWidget &m_window;
    const QLineEdit &m_sizeText;
    PictureBox &m_table;
    PictureBox &m_map;
    std::function<int()> m_menuBarHeight;
    std::function<bool()> m_closing;

    QSizeF m_requestedOuterSize;
    bool m_sizing = false;
    // A resize from elsewhere came while the rule ran: run it again.
    bool m_sizeAgain = false;
    // The window size the rule running asked for.
    QSize m_sizingTarget;
    // While the table is drawn, a resize's rule waits (pending) until the end.
    bool m_deferred = false;
    bool m_pending = false;
};

} // namespace tessarin
