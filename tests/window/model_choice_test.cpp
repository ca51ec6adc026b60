// Map ▸ Model and Map ▸ Ties: the map commands under a stress model, the
// status line under the form, and Stop and Close during each model's Best
// map.
#include "models/model_best_map.h"
#include "models/model_stress.h"
#include "window/main_form.h"
#include "window/map_diagnostics.h"
#include "window/shepard_window.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QtTest>

using tessarin::MainForm;
using tessarin::ModelSetting;
using tessarin::StressModel;
using tessarin::TieApproach;
using tessarin::testing::box;
using tessarin::testing::Recorder;

Q_DECLARE_METATYPE(StressModel)

namespace {

const QString Cities = QStringLiteral(TESSARIN_EXAMPLES_DIR "/distance.txt");
const QString Colours = QStringLiteral(TESSARIN_EXAMPLES_DIR "/colours.txt");

const char *ModelActionName(StressModel model)
{
    switch (model) {
    case StressModel::Ratio:
        return "ModelRatioAction";
    case StressModel::Interval:
        return "ModelIntervalAction";
    case StressModel::Ordinal:
        return "ModelOrdinalAction";
    case StressModel::Sammon:
        return "ModelSammonAction";
    case StressModel::Fit:
        break;
    }
    return "ModelFitAction";
}

struct Window {
    explicit Window(const QString &file = Cities)
    {
        box(form, "GAgensText")->setText("10");
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.startUp(file);
    }
    void trigger(const char *name) { form.findChild<QAction *>(name)->trigger(); }
    double stress(const ModelSetting &model) const
    {
        return tessarin::ModelStress(form.distanceData(), form.bestLayout(), model);
    }
    MainForm form;
    QStringList messages;
};

void addModelRows()
{
    QTest::addColumn<StressModel>("model");
    QTest::newRow("ratio") << StressModel::Ratio;
    QTest::newRow("interval") << StressModel::Interval;
    QTest::newRow("ordinal") << StressModel::Ordinal;
    QTest::newRow("sammon") << StressModel::Sammon;
}

} // namespace

class ModelChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void menusStartOnTheFitMeasure();
    void aModelShowsItsStatusLineUnderTheForm();
    void bestMapFollowsTheModel_data() { addModelRows(); }
    void bestMapFollowsTheModel();
    void shepardDiagramFollowsTheModel();
    void stopDuringEachModel_data() { addModelRows(); }
    void stopDuringEachModel();
    void closeDuringEachModel_data() { addModelRows(); }
    void closeDuringEachModel();
};

void ModelChoiceTest::menusStartOnTheFitMeasure()
{
    Window window;
    MainForm &form = window.form;
    QMenu *models = form.findChild<QMenu *>("ModelMenu");
    QVERIFY(models);
    QStringList texts;
    for (QAction *action : models->actions())
        texts << action->text();
    QCOMPARE(texts, QStringList({"&Fit", "&Ratio stress", "&Interval stress", "&Ordinal stress", "&Sammon"}));
    QVERIFY(form.findChild<QAction *>("ModelFitAction")->isChecked());
    QVERIFY(!form.findChild<QMenu *>("TiesMenu")->isEnabled());
    QVERIFY(form.findChild<QAction *>("TiesPrimaryAction")->isChecked());
    QVERIFY(form.findChild<QLabel *>("ModelStatus")->isHidden());
    QVERIFY(form.modelStatusText().isEmpty());
}

void ModelChoiceTest::aModelShowsItsStatusLineUnderTheForm()
{
    Window window;
    MainForm &form = window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect graph = form.distanceGraph()->geometry();
    const int height = form.height();
    window.trigger("ModelOrdinalAction");
    QCOMPARE(form.model().model, StressModel::Ordinal);
    QVERIFY(form.findChild<QMenu *>("TiesMenu")->isEnabled());
    QLabel *status = form.findChild<QLabel *>("ModelStatus");
    QVERIFY(!status->isHidden());
    // The line takes its own room at the bottom: the form above keeps its
    // places.
    QTRY_VERIFY(form.height() > height);
    QTRY_COMPARE(status->geometry().bottom(), form.height() - 1);
    QVERIFY(status->height() > 0);
    QCOMPARE(form.distanceGraph()->geometry(), graph);
    const QString expected =
        QString::fromStdString(tessarin::ModelStatusText(StressModel::Ordinal, window.stress(form.model()))) +
        ", primary ties";
    QCOMPARE(form.modelStatusText(), expected);
    window.trigger("TiesSecondaryAction");
    QCOMPARE(form.model().ties, TieApproach::Secondary);
    QVERIFY(form.modelStatusText().endsWith(", secondary ties"));
    // Back to Fit: the line goes, and with it its room.
    const int withLine = form.height();
    window.trigger("ModelFitAction");
    QVERIFY(status->isHidden());
    QVERIFY(form.modelStatusText().isEmpty());
    QTRY_VERIFY(form.height() < withLine);
    QCOMPARE(form.distanceGraph()->geometry(), graph);
    QVERIFY(!form.findChild<QMenu *>("TiesMenu")->isEnabled());
}

void ModelChoiceTest::bestMapFollowsTheModel()
{
    QFETCH(StressModel, model);
    Window window(Colours);
    MainForm &form = window.form;
    const ModelSetting setting{model, TieApproach::Primary};
    const double afterSearch = window.stress(setting);
    window.trigger(ModelActionName(model));
    window.trigger("BestMapAction");
    QVERIFY(window.messages.isEmpty());
    const double stress = window.stress(setting);
    QVERIFY2(stress < afterSearch, qPrintable(QString("%1 vs %2").arg(stress).arg(afterSearch)));
    // The map commands' own result, not only one that is better.
    const tessarin::ModelBestMapResult expected = tessarin::FindBestModelMap(form.distanceData(), setting);
    QVERIFY(form.bestLayout() == expected.layout);
    QVERIFY(form.modelStatusText().startsWith(
        QString::fromStdString(tessarin::ModelStatusText(model, stress))));
    // Polish from there keeps it (never a higher stress, to the rounding of
    // the two ways of summing it).
    window.trigger("PolishAction");
    QVERIFY(window.stress(setting) <= stress * (1.0 + 1e-12));
}

void ModelChoiceTest::shepardDiagramFollowsTheModel()
{
    Window window(Colours);
    MainForm &form = window.form;
    window.trigger("ModelOrdinalAction");
    window.trigger("BestMapAction");
    window.trigger("ShepardDiagram");
    tessarin::ShepardWindow *shepard = form.diagnostics()->shepardWindow();
    QVERIFY(shepard);
    auto figures = shepard->figures();
    QVERIFY(figures);
    QCOMPARE(QString::fromStdString(figures->modelName), QStringLiteral("Ordinal stress-1"));
    const tessarin::ModelStressFigures model = tessarin::MeasureModelStress(form.distanceData(), form.bestLayout(), form.model());
    QCOMPARE(figures->modelStress, model.stress);
    QVERIFY(figures->pointShares == model.pointShares);
    QVERIFY(figures->modelPath.size() >= 2);
    // Back to Fit: the diagram is the fit's again.
    window.trigger("ModelFitAction");
    figures = shepard->figures();
    QVERIFY(figures);
    QVERIFY(figures->modelName.empty());
    QVERIFY(figures->modelPath.empty());
}

void ModelChoiceTest::stopDuringEachModel()
{
    QFETCH(StressModel, model);
    Window window;
    MainForm &form = window.form;
    window.trigger(ModelActionName(model));
    Recorder recorder(form);
    recorder.onDrawing = [&] {
        if (recorder.drawings.size() == 1)
            window.trigger("StopAction");
    };
    window.trigger("BestMapAction");
    QVERIFY(window.messages.isEmpty());
    QVERIFY(!recorder.drawings.isEmpty());
    QVERIFY2(recorder.drawings.size() <= 2, qPrintable(QString::number(recorder.drawings.size())));
    QCOMPARE(form.stopFlag(), short(1));
    QVERIFY(!form.modelStatusText().isEmpty());
    QVERIFY(form.findChild<QAction *>("BestMapAction")->isEnabled());
}

void ModelChoiceTest::closeDuringEachModel()
{
    QFETCH(StressModel, model);
    Window window;
    MainForm &form = window.form;
    window.trigger(ModelActionName(model));
    const tessarin::Layout before = form.bestLayout();
    Recorder recorder(form);
    recorder.onDrawing = [&] { form.close(); };
    window.trigger("BestMapAction");
    QCOMPARE(recorder.drawings.size(), 1);
    QVERIFY(form.isClosing());
    QVERIFY(window.messages.isEmpty());
    QVERIFY(form.bestLayout() == before);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(ModelChoiceTest)
#include "model_choice_test.moc"
