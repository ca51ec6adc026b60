#include "explorer_window/explorer_window.h"

#include "explorer_window/explorer_canvas.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace tessarin {

ExplorerWindow::ExplorerWindow(QWidget *parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ExplorerWindow"));
    setWindowTitle(tr("Map explorer"));
    m_canvas = new ExplorerCanvas(this);
    m_inspect = new QLabel(tr("Click an item to see its details and its nearest items in the table."), this);
    m_inspect->setObjectName(QStringLiteral("InspectText"));
    m_inspect->setWordWrap(true);
    m_inspect->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_inspect->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_inspect->setMinimumWidth(200);
    m_inspect->setMargin(6);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_canvas);
    splitter->addWidget(m_inspect);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    setCentralWidget(splitter);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("ExplorerStatus"));
    statusBar()->addWidget(m_status, 1);

    createToolBar();
    createMenus();
    connect(m_canvas, &ExplorerCanvas::itemClicked, this, &ExplorerWindow::inspect);
    resize(1000, 720);
}

void ExplorerWindow::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("ExplorerFileMenu"));
    m_exportAction = file->addAction(tr("&Export figure…"), this, &ExplorerWindow::exportRequested);
    m_exportAction->setObjectName(QStringLiteral("ExportFigureAction"));
    m_exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    file->addSeparator();
    m_saveWorkspaceAction = file->addAction(tr("&Save workspace…"), this, &ExplorerWindow::saveWorkspaceRequested);
    m_saveWorkspaceAction->setObjectName(QStringLiteral("SaveWorkspaceAction"));
    m_openWorkspaceAction = file->addAction(tr("&Open workspace…"), this, &ExplorerWindow::openWorkspaceRequested);
    m_openWorkspaceAction->setObjectName(QStringLiteral("OpenWorkspaceAction"));
    file->addSeparator();
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("ExplorerEditMenu"));

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("ExplorerViewMenu"));
    auto entry = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut,
                        const std::function<void()> &command) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    entry(view, "ZoomInAction", tr("Zoom &in"), QKeySequence(Qt::Key_Plus), [this] { m_canvas->zoomIn(); });
    entry(view, "ZoomOutAction", tr("Zoom &out"), QKeySequence(Qt::Key_Minus), [this] { m_canvas->zoomOut(); });
    entry(view, "FitAllAction", tr("&Fit all items"), QKeySequence(Qt::Key_Home), [this] { m_canvas->fitAll(); });
    entry(view, "FindAction", tr("&Find…"), QKeySequence::Find, [this] {
        m_findBox->setFocus();
        m_findBox->selectAll();
    });

    QMenu *map = menuBar()->addMenu(tr("&Map"));
    map->setObjectName(QStringLiteral("ExplorerMapMenu"));
    entry(map, "RotateAction", tr("&Rotate 90°"), QKeySequence(Qt::CTRL | Qt::Key_T),
          [this] { emit turnRequested(MapTurn::RotateClockwise); });
    entry(map, "ReflectHorizontallyAction", tr("Reflect &horizontally"), QKeySequence(),
          [this] { emit turnRequested(MapTurn::ReflectHorizontally); });
    entry(map, "ReflectVerticallyAction", tr("Reflect &vertically"), QKeySequence(),
          [this] { emit turnRequested(MapTurn::ReflectVertically); });
}

void ExplorerWindow::createToolBar()
{
    QToolBar *bar = addToolBar(tr("Display"));
    bar->setObjectName(QStringLiteral("ExplorerToolBar"));
    bar->setMovable(false);
    auto label = [this, bar](const QString &text) { bar->addWidget(new QLabel(text, this)); };

    label(tr(" Labels "));
    m_labelKind = new QComboBox(this);
    m_labelKind->setObjectName(QStringLiteral("LabelKind"));
    m_labelKind->addItems({tr("names"), tr("numbers")});
    bar->addWidget(m_labelKind);
    m_labelSize = new QDoubleSpinBox(this);
    m_labelSize->setObjectName(QStringLiteral("LabelSize"));
    m_labelSize->setRange(4, 48);
    m_labelSize->setDecimals(1);
    m_labelSize->setValue(9);
    m_labelSize->setSuffix(tr(" pt"));
    bar->addWidget(m_labelSize);
    label(tr(" Markers "));
    m_markerSize = new QDoubleSpinBox(this);
    m_markerSize->setObjectName(QStringLiteral("MarkerSize"));
    m_markerSize->setRange(1, 40);
    m_markerSize->setDecimals(1);
    m_markerSize->setValue(7);
    m_markerSize->setSuffix(tr(" px"));
    bar->addWidget(m_markerSize);
    label(tr(" Background "));
    m_background = new QComboBox(this);
    m_background->setObjectName(QStringLiteral("Background"));
    m_background->addItems({tr("white"), tr("dark")});
    bar->addWidget(m_background);
    bar->addSeparator();
    m_hulls = new QCheckBox(tr("Hulls"), this);
    m_hulls->setObjectName(QStringLiteral("HullsBox"));
    m_ellipses = new QCheckBox(tr("68 % ellipses"), this);
    m_ellipses->setObjectName(QStringLiteral("EllipsesBox"));
    m_stressSize = new QCheckBox(tr("Size by stress"), this);
    m_stressSize->setObjectName(QStringLiteral("StressSizeBox"));
    for (QCheckBox *box : {m_hulls, m_ellipses, m_stressSize})
        bar->addWidget(box);
    bar->addSeparator();
    label(tr(" Find "));
    m_findBox = new QLineEdit(this);
    m_findBox->setObjectName(QStringLiteral("FindText"));
    m_findBox->setPlaceholderText(tr("part of a name"));
    m_findBox->setClearButtonEnabled(true);
    m_findBox->setMaximumWidth(180);
    bar->addWidget(m_findBox);

    connect(m_labelKind, &QComboBox::currentIndexChanged, this, &ExplorerWindow::applyLook);
    connect(m_background, &QComboBox::currentIndexChanged, this, &ExplorerWindow::applyLook);
    connect(m_labelSize, &QDoubleSpinBox::valueChanged, this, &ExplorerWindow::applyLook);
    connect(m_markerSize, &QDoubleSpinBox::valueChanged, this, &ExplorerWindow::applyLook);
    for (QCheckBox *box : {m_hulls, m_ellipses, m_stressSize})
        connect(box, &QCheckBox::toggled, this, &ExplorerWindow::applyLook);
    connect(m_findBox, &QLineEdit::textChanged, this, [this](const QString &text) { find(text); });
    connect(m_findBox, &QLineEdit::returnPressed, this, [this] { find(m_findBox->text()); });
}

void ExplorerWindow::applyLook()
{
    ExplorerLook &look = m_canvas->look();
    look.labelPoints = m_labelSize->value();
    look.markerPixels = m_markerSize->value();
    look.dark = m_background->currentIndex() == 1;
    look.numbers = m_labelKind->currentIndex() == 1;
    look.hulls = m_hulls->isChecked();
    look.ellipses = m_ellipses->isChecked();
    look.sizeByStress = m_stressSize->isChecked();
    m_canvas->update();
}

void ExplorerWindow::addEditActions(QAction *undo, QAction *redo)
{
    m_editMenu->addAction(undo);
    m_editMenu->addAction(redo);
}

void ExplorerWindow::setMap(const Layout &layout, int itemCount)
{
    const bool first = itemCount != m_shownCount;
    m_canvas->scene().setMap(layout, itemCount);
    if (first) {
        m_shownCount = itemCount;
        m_canvas->marks() = {};
        inspect(-1);
        m_canvas->fitAll();
        if (!m_findBox->text().isEmpty())
            find(m_findBox->text());
    } else if (m_canvas->marks().selected >= 0) {
        inspect(m_canvas->marks().selected); // its map distances changed
    }
    m_canvas->update();
}

void ExplorerWindow::setInput(ExplorerInput input)
{
    m_canvas->scene().setInput(std::move(input));
    const int n = m_canvas->scene().itemCount();
    const ExplorerInput &known = m_canvas->scene().input();
    m_hulls->setEnabled(known.hasGroups(n));
    m_ellipses->setEnabled(known.hasGroups(n));
    m_stressSize->setEnabled(known.hasStressShares(n));
    m_canvas->update();
}

void ExplorerWindow::setStatus(const QString &text)
{
    m_status->setText(text);
}

int ExplorerWindow::find(const QString &text)
{
    ExplorerMarks &marks = m_canvas->marks();
    marks.found.clear();
    const QString wanted = text.trimmed();
    const ExplorerScene &scene = m_canvas->scene();
    if (!wanted.isEmpty()) {
        const bool names = scene.input().hasNames(scene.itemCount());
        for (int item = 0; item < scene.itemCount(); ++item)
            if (scene.labelText(item, !names).contains(wanted, Qt::CaseInsensitive))
                marks.found.push_back(item);
    }
    if (!marks.found.empty()) {
        MapBounds bounds;
        for (int item : marks.found)
            bounds.include(scene.index().x(item), scene.index().y(item));
        ViewTransform &view = m_canvas->view();
        const double room = ExplorerCanvas::FitMargin;
        if (bounds.width() * view.scale() <= view.viewportWidth() - 2 * room &&
            bounds.height() * view.scale() <= view.viewportHeight() - 2 * room)
            view.centreOn((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
        else
            view.fit(bounds, room);
        m_canvas->viewMoved();
    }
    m_findBox->setToolTip(wanted.isEmpty() ? QString() : tr("%n item(s) found", nullptr, int(marks.found.size())));
    m_canvas->update();
    return static_cast<int>(marks.found.size());
}

void ExplorerWindow::inspect(int item)
{
    ExplorerMarks &marks = m_canvas->marks();
    const ExplorerScene &scene = m_canvas->scene();
    if (item < 0 || item >= scene.itemCount()) {
        marks.selected = -1;
        marks.neighbours.clear();
        m_inspect->setText(tr("Click an item to see its details and its nearest items in the table."));
        m_canvas->update();
        return;
    }
    marks.selected = item;
    marks.neighbours.clear();
    if (m_neighbours) {
        try {
            marks.neighbours = m_neighbours(item + 1);
        } catch (const std::exception &) {
            marks.neighbours.clear();
        }
    }
    const int n = scene.itemCount();
    const ExplorerInput &input = scene.input();
    QString text = QStringLiteral("<b>%1</b>").arg(scene.labelText(item, false).toHtmlEscaped());
    if (input.hasNames(n))
        text += tr("<br>item %1").arg(item + 1);
    const QString group = scene.groupName(item);
    text += tr("<br>group: %1").arg(group.isEmpty() ? tr("none") : group.toHtmlEscaped());
    text += tr("<br>share of stress: %1")
                .arg(input.hasStressShares(n)
                         ? QString::number(input.stressShares[static_cast<std::size_t>(item)], 'f', 2) +
                               QStringLiteral(" %")
                         : tr("not measured"));
    text += tr("<br>position: %1, %2").arg(scene.index().x(item), 0, 'g', 6).arg(scene.index().y(item), 0, 'g', 6);
    if (!marks.neighbours.empty()) {
        // Map distances in the table's units when the scale is known.
        const double scale = input.mapScale > 0 ? input.mapScale : 1;
        text += tr("<p>Nearest in the table:</p><table cellspacing=\"4\"><tr><th align=\"left\">item</th>"
                   "<th align=\"right\">given</th><th align=\"right\">map</th></tr>");
        for (const TableNeighbour &neighbour : marks.neighbours)
            text += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td></tr>")
                        .arg(scene.labelText(neighbour.item - 1, false).toHtmlEscaped())
                        .arg(neighbour.given, 0, 'g', 6)
                        .arg(neighbour.map * scale, 0, 'g', 6);
        text += QStringLiteral("</table>");
        text += input.mapScale > 0 ? tr("<p>Map distances in the table's units (× %1).</p>").arg(input.mapScale, 0, 'g', 6)
                                   : tr("<p>Map distances in map units.</p>");
    }
    m_inspect->setText(text);
    m_canvas->update();
}

QString ExplorerWindow::inspectText() const
{
    return m_inspect->text();
}

} // namespace tessarin
