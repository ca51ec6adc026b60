// The form's controls: the settings boxes, buttons, labels and the two
// picture boxes at their places in the client area, the menu bar, and the
// commands that hang on them.

#include "window/main_form.h"

#include "explorer_window/map_explorer.h"
#include "window/map_diagnostics.h"
#include "window/menu_bar.h"
#include "window/picture_box.h"
#include "window/run_control.h"
#include "window/save_commands.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tessarin {

namespace {

QRect pixelRect(int left, int top, int width, int height)
{
    constexpr int t = TwipsPerPixel;
    return {qRound(left / double(t)), qRound(top / double(t)), qRound(width / double(t)),
            qRound(height / double(t))};
}

} // namespace

void MainForm::createControls()
{
    // Created in tab order, so the focus chain follows the table of controls.
    auto textBox = [this](const char *name, const char *text, QRect where) {
        auto *box = new QLineEdit(QString::fromLatin1(text), m_clientArea);
        box->setObjectName(QString::fromLatin1(name));
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(where);
        return box;
    };
    auto label = [this](const char *name, const QString &text, QRect where) {
        auto *label = new QLabel(text, m_clientArea);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(where);
        return label;
    };
    auto button = [this](const char *name, const QString &text, QRect where) {
        auto *button = new QPushButton(text, m_clientArea);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(where);
        return button;
    };
    auto pictureBox = [this](const char *name, int left, int top, int width, int height) {
        auto *box = new PictureBox(m_clientArea);
        box->setObjectName(QString::fromLatin1(name));
        box->setTwipsGeometry(left, top, width, height);
        return box;
    };

    m_sizeText = textBox("SizeText", "5000", pixelRect(7200, 120, 735, 285));
    m_label1 = label("Label1", tr("Picture Size:"), pixelRect(6000, 120, 975, 255));
    m_label4 = label("Label4", tr("Fit:"), pixelRect(2040, 840, 855, 255));
    m_fitBox = textBox("FitBox", "0", pixelRect(3000, 840, 855, 285));
    m_distanceBox = pictureBox("DistanceBox", 120, 1200, 5000, 5000);
    m_openButton = button("OpenButton", tr("Open file"), pixelRect(240, 240, 1335, 375));
    m_openButton->setToolTip(tr("Open a *.pvn file previously saved from Polvane"));
    m_distanceGraph = pictureBox("DistanceGraph", 5280, 1200, 5000, 5000);
    m_moreFit = button("MoreFit", tr("Rerun/More Fit"), pixelRect(240, 600, 1335, 375));
    m_label2 = label("Label2", tr("Graph Background (0=black, 15=white):"), pixelRect(3840, 480, 3255, 255));
    m_label3 = label("Label3", tr("Digit color (0=black,15=white, -1=various):"), pixelRect(3960, 840, 3135, 255));
    m_backText = textBox("BackText", "0", pixelRect(7200, 480, 735, 285));
    m_foreText = textBox("ForeText", "-1", pixelRect(7200, 840, 735, 285));
    m_label5 = label("Label5", tr("Fontsize:"), pixelRect(8160, 120, 975, 255));
    m_showGrid = new QCheckBox(tr("Show gridlines:"), m_clientArea);
    m_showGrid->setObjectName(QStringLiteral("ShowGrid"));
    m_showGrid->setLayoutDirection(Qt::RightToLeft);
    m_showGrid->setChecked(true);
    m_showGrid->setGeometry(pixelRect(8160, 480, 1455, 255));
    m_fontText = textBox("FontText", "18", pixelRect(9240, 120, 495, 285));
    m_label6 = label("Label6", tr("GA generations:"), pixelRect(1680, 120, 1215, 255));
    m_label7 = label("Label7", tr("GA generation:"), pixelRect(1560, 480, 1335, 255));
    m_gaGenText = textBox("GAgenText", "0", pixelRect(3000, 480, 855, 285));
    m_gaGensText = textBox("GAgensText", "1000", pixelRect(3000, 120, 855, 285));
    m_stopButton = button("StopButton", tr("Stop"), pixelRect(8280, 800, 1455, 320));

    // The two outputs can be selected and copied but not typed into, and the
    // Tab key passes them by.
    for (QLineEdit *output : {m_fitBox, m_gaGenText}) {
        output->setReadOnly(true);
        output->setFocusPolicy(Qt::ClickFocus);
    }

    const QList<QWidget *> tabChain = {m_sizeText, m_openButton, m_moreFit,  m_backText,  m_foreText,
                                       m_showGrid, m_fontText,   m_gaGensText, m_stopButton};
    for (qsizetype i = 1; i < tabChain.size(); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);

    m_sizingRule = std::make_unique<SizingRule>(
        *this, *m_sizeText, *m_distanceBox, *m_distanceGraph,
        // The menu bar on top and the model's status line below are window
        // chrome, as the title bar is.
        [this] { return menuBarHeight() + statusLineHeight(); },
        [this] { return m_closing; });

    connect(m_openButton, &QPushButton::clicked, this, &MainForm::openFile);
    connect(m_moreFit, &QPushButton::clicked, this, &MainForm::rerun);
    connect(m_stopButton, &QPushButton::clicked, this, &MainForm::stop);

    m_saveCommands = new SaveCommands(*this);
    m_diagnostics = new MapDiagnostics(*this);
    m_saveCommands->mapMenu()->addSeparator();
    m_diagnostics->addActionsTo(m_saveCommands->mapMenu());
    m_saveCommands->updateActions();
    const QList<QAction *> fileActions = m_saveCommands->fileActions();
    fileActions.first()->setShortcut(QKeySequence::Save);
    m_menuBar = new MenuBar(*this, fileActions);
    // The model's status line under the form, shown once a stress model is
    // chosen; the map commands run under the chosen model.
    m_modelStatus = new QLabel(this);
    m_modelStatus->setObjectName(QStringLiteral("ModelStatus"));
    m_modelStatus->setContentsMargins(6, 2, 6, 2);
    m_modelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_modelStatus->hide();
    m_runControl->setMapCommandRunner([this](MapStage command, const DistanceData &data, const Layout &best,
                                             RunObserver &observer) {
        MapStageSettings settings;
        settings.model = m_model;
        return RunMapStage(command, data, best, settings, observer);
    });
    m_sizingRule->setRequestedOuterSize(QSizeF(10500, 6700));
    resize(pixelRect(0, 0, 10500, 6700).size() + QSize(0, menuBarHeight()));
    m_diagnostics->addActionsTo(m_menuBar->mapCommandsMenu());
    m_explorer = new MapExplorer(*this);
}

} // namespace tessarin
