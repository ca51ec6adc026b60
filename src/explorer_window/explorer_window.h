#pragma once

#include "data/layout.h"
#include "explorer/explorer_input.h"
#include "explorer/map_orientation.h"
#include "explorer/table_neighbours.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;

namespace tessarin {

class ExplorerCanvas;

/// The map explorer: a large, resizable view of the best map beside the main
/// window, with the display settings and a find box in its tool bar and the
/// clicked item's details at the side. It shows what it is given; the
/// commands that change the map go out as signals.
class ExplorerWindow : public QMainWindow {
    Q_OBJECT

public:
    /// The nearest items in the table of a clicked item (1-based).
    using NeighbourSource = std::function<std::vector<TableNeighbour>(int item)>;
    /// How many nearest items a click shows.
    static constexpr int NeighboursShown = 5;

    explicit ExplorerWindow(QWidget *parent = nullptr);

    /// Shows a map of `itemCount` items; the first map (or one of another
    /// item count) is fitted into the picture, later ones keep the view.
    void setMap(const Layout &layout, int itemCount);
    void setInput(ExplorerInput input);
    /// The line under the picture: the table's file and the map's fit.
    void setStatus(const QString &text);
    void setNeighbourSource(NeighbourSource source) { m_neighbours = std::move(source); }
    /// Adds the undo and redo commands (shared with the main window).
    void addEditActions(QAction *undo, QAction *redo);

    ExplorerCanvas *canvas() const { return m_canvas; }
    /// Highlights the items whose label holds `text` (any case) and centres
    /// them; an empty text clears. Returns how many were found.
    int find(const QString &text);
    /// Shows the details of `item` (0-based) and its nearest items; -1 clears.
    void inspect(int item);
    /// The text of the side panel.
    QString inspectText() const;

    QLineEdit *findBox() const { return m_findBox; }
    QDoubleSpinBox *labelSizeBox() const { return m_labelSize; }
    QDoubleSpinBox *markerSizeBox() const { return m_markerSize; }
    QComboBox *backgroundBox() const { return m_background; }
    QComboBox *labelKindBox() const { return m_labelKind; }
    QCheckBox *hullsBox() const { return m_hulls; }
    QCheckBox *ellipsesBox() const { return m_ellipses; }
    QCheckBox *stressSizeBox() const { return m_stressSize; }
    QAction *exportAction() const { return m_exportAction; }
    QAction *saveWorkspaceAction() const { return m_saveWorkspaceAction; }
    QAction *openWorkspaceAction() const { return m_openWorkspaceAction; }

    /// Reads the look from the tool bar's controls and redraws.
    void applyLook();

signals:
    void turnRequested(MapTurn turn);
    void exportRequested();
    void saveWorkspaceRequested();
    void openWorkspaceRequested();

private:
    void createMenus();
    void createToolBar();

    ExplorerCanvas *m_canvas = nullptr;
    QLabel *m_inspect = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_findBox = nullptr;
    QDoubleSpinBox *m_labelSize = nullptr;
    QDoubleSpinBox *m_markerSize = nullptr;
    QComboBox *m_background = nullptr;
    QComboBox *m_labelKind = nullptr;
    QCheckBox *m_hulls = nullptr;
    QCheckBox *m_ellipses = nullptr;
    QCheckBox *m_stressSize = nullptr;
    QMenu *m_editMenu = nullptr;
    QAction *m_exportAction = nullptr;
    QAction *m_saveWorkspaceAction = nullptr;
    QAction *m_openWorkspaceAction = nullptr;
    NeighbourSource m_neighbours;
    int m_shownCount = -1;
};

} // namespace tessarin
