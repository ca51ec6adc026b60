#pragma once

#include "diagnostics/map_stress.h"
#include "window/main_form.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tessarin {

class PictureBox;

/// The window beside the main one that shows how far to trust the map: the
/// Shepard diagram (ShepardBox), the fit and stress-1 (StressText), the ten
/// worst-placed items with their share of the stress (WorstItems), and two
/// buttons that save the diagram as PNG or SVG. Not modal.
class ShepardWindow : public QWidget {
    Q_OBJECT

public:
    /// How many of the worst-placed items the list shows.
    static constexpr int WorstShown = 10;
    /// How many characters (of the width of "x") a name shows before it is
    /// shortened in the list.
    static constexpr int NameColumnCharacters = 24;

    explicit ShepardWindow(QWidget *parent = nullptr);

    /// Shows `figures` of the map of `fileName`; `names` names the items
    /// (Names[i - 1] item i), or is empty.
    void showFigures(std::shared_ptr<const StressFigures> figures, const std::vector<std::string> &names,
                     const QString &fileName);
    /// The figures shown, or null before the first.
    const std::shared_ptr<const StressFigures> &figures() const { return m_figures; }
    PictureBox *shepardBox() const { return m_box; }

    /// Replace the Save dialog and the error message box (for tests).
    void setSaveDialog(MainForm::SaveChooser chooser) { m_saveDialog = std::move(chooser); }
    void setMessageSink(MainForm::MessageSink sink) { m_messageSink = std::move(sink); }

public slots:
    /// PNG at twice the box's size unless the "box size" filter is chosen.
    void savePng();
    void saveSvg();

private:
    void save(bool svg);
    void draw();
    // Sizes the list's columns to their texts, names up to a cap, and the
    // list so that every column shows whole.
    void fitColumns();
    void showError(const QString &text);

    static constexpr int MinimumListWidth = 260;

    PictureBox *m_box = nullptr;
    QLabel *m_stressText = nullptr;
    QTableWidget *m_worstItems = nullptr;
    QPushButton *m_savePng = nullptr;
    QPushButton *m_saveSvg = nullptr;
    std::shared_ptr<const StressFigures> m_figures;
    QString m_fileName;
    MainForm::SaveChooser m_saveDialog;
    MainForm::MessageSink m_messageSink;
};

} // namespace tessarin
