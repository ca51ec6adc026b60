#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "display/map_settings.h"
#include "search/random_source.h"
#include "search/search_host.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessarin {

class PictureBox;

/// The tool's one window: the run settings, two status fields and three
/// command buttons along the top, the distance table (DistanceBox) and the
/// map (DistanceGraph) below. It owns all state of the tool: the distance
/// data, the best map, the stop flag and the random generator. Each control's
/// object name is its name (SizeText, OpenButton, ...).
class MainForm : public QWidget, private SearchHost {
    Q_OBJECT

public:
    /// The fixed title text the caption starts with.
    static const QString TitleText;
    static constexpr int TwipsPerPixel = 15;

    /// Asks for the file to open; returns its full path, or an empty text
    /// when the user cancelled.
    using FileChooser = std::function<QString()>;
    /// Tells the user about an error.
    using MessageSink = std::function<void(const QString &text)>;

    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    /// Replaces the Open dialog (the default is a modal QFileDialog).
    void setDialog(FileChooser chooser) { m_dialog = std::move(chooser); }
    /// Replaces the error message box (the default is QMessageBox::critical).
    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }

    /// The start-up sequence: settings step, caption, show, then read
    /// `fileName`, draw the table and run a search under the busy pointer.
    /// A failure from the reading on ends the sequence without a message box;
    /// one line goes to standard error. Returns when the search has ended.
    void startUp(const QString &fileName = QStringLiteral("distance.txt"));

    /// Sizes the window and both picture boxes from SizeText; does nothing
    /// while the window is minimised or maximised. Throws TessarinError
    /// naming SizeText when its value is not a size the window can take.
    void applySizingRule();
    /// Copies the display settings onto DistanceGraph. Throws TessarinError
    /// naming the box and the value a setting the surface refuses.
    void applySettings(SettingsForm form);

    /// The outer size, in twips, the sizing rule last asked for.
    QSizeF requestedOuterSize() const { return m_requestedOuterSize; }
    const DistanceData &distanceData() const { return m_data; }
    const Layout &bestLayout() const { return m_bestLayout; }
    short stopFlag() const { return m_stopRequested; }
    /// Generations run by the latest search that ended normally.
    long long lastRunGenerations() const { return m_lastRunGenerations; }
    bool isRunning() const { return m_running; }
    /// True once the window has been closed; no run can start or draw then.
    bool isClosing() const { return m_closing; }
    PictureBox *distanceBox() const { return m_distanceBox; }
    PictureBox *distanceGraph() const { return m_distanceGraph; }

public slots:
    void openFile();
    void rerun();
    void stop();

signals:
    /// A better map has been drawn: positions 1..2N of its layout (index 0
    /// unused) and its fit.
    void improvementDrawn(const QList<float> &layout, double fit);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // SearchHost
    void setOpenEnabled(bool enabled) override;
    void prepareMap() override;
    void setBusy(bool busy) override;
    std::string generationsText() override;
    void drawImprovement(const float *layout, int itemCount, double fit) override;
    void showGeneration(const std::string &text) override;
    void processEvents() override;
    bool stopRequested() override;

    void createControls();
    void sizeOnEvent();
    void runSearch();
    void endRun();
    void showError(const QString &text);
    QString chooseFile();

    QLineEdit *m_sizeText = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label4 = nullptr;
    QLineEdit *m_fitBox = nullptr;
    PictureBox *m_distanceBox = nullptr;
    QPushButton *m_openButton = nullptr;
    PictureBox *m_distanceGraph = nullptr;
    QPushButton *m_moreFit = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_backText = nullptr;
    QLineEdit *m_foreText = nullptr;
    QLabel *m_label5 = nullptr;
    QCheckBox *m_showGrid = nullptr;
    QLineEdit *m_fontText = nullptr;
    QLabel *m_label6 = nullptr;
    QLabel *m_label7 = nullptr;
    QLineEdit *m_gaGenText = nullptr;
    QLineEdit *m_gaGensText = nullptr;
    QPushButton *m_stopButton = nullptr;

    FileChooser m_dialog;
    MessageSink m_messageSink;

    DistanceData m_data;
    QString m_dataFile; // the file m_data was read from
    Layout m_bestLayout;
    short m_stopRequested = 0;
    MersenneSource m_random;

    QSizeF m_requestedOuterSize;
    long long m_lastRunGenerations = 0;
    bool m_running = false;
    bool m_closing = false;
    bool m_sizing = false;
};

} // namespace tessarin
