// The main window's controls, tab order, sizing rule and settings step.
#include "base/tessarin_error.h"
#include "window/main_form.h"
#include "window/menu_bar.h"
#include "window/picture_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using tessarin::MainForm;
using tessarin::PictureBox;
using tessarin::SettingsForm;
using tessarin::TessarinError;

namespace {

QRect twipsToPixels(int left, int top, int width, int height)
{
    return {qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0), qRound(height / 15.0)};
}

// The menu bar is window chrome: its height comes on top of the outer height
// the sizing rule sets.
int barHeight(const MainForm &form)
{
    return form.menuBar()->sizeHint().height();
}

void setText(MainForm &form, const char *box, const QString &text)
{
    auto *edit = form.findChild<QLineEdit *>(box);
    QVERIFY(edit);
    edit->setText(text);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void otherControlProperties();
    void tabOrder();
    void sizingRule_data();
    void sizingRule();
    void userResizeIsUndone();
    void sizingRuleIdleWhileMaximised();
    void refusedSize_data();
    void refusedSize();
    void settingsRerunForm_data();
    void settingsRerunForm();
    void settingsStartUpForm_data();
    void settingsStartUpForm();
    void backColour_data();
    void backColour();
    void refusedSettingIsReported_data();
    void refusedSettingIsReported();
    void rerunWithoutFile();
};

void MainFormTest::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<int>("alignment"); // 0 for controls without text alignment

    const int centred = Qt::AlignCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    QTest::newRow("SizeText") << "QLineEdit" << "5000" << QRect(7200, 120, 735, 285) << centred;
    QTest::newRow("Label1") << "QLabel" << "Picture Size:" << QRect(6000, 120, 975, 255) << right;
    QTest::newRow("Label4") << "QLabel" << "Fit:" << QRect(2040, 840, 855, 255) << right;
    QTest::newRow("FitBox") << "QLineEdit" << "0" << QRect(3000, 840, 855, 285) << centred;
    QTest::newRow("DistanceBox") << "tessarin::PictureBox" << "" << QRect(120, 1200, 5000, 5000) << 0;
    QTest::newRow("OpenButton") << "QPushButton" << "Open file" << QRect(240, 240, 1335, 375) << 0;
    QTest::newRow("DistanceGraph") << "tessarin::PictureBox" << "" << QRect(5280, 1200, 5000, 5000) << 0;
    QTest::newRow("MoreFit") << "QPushButton" << "Rerun/More Fit" << QRect(240, 600, 1335, 375) << 0;
    QTest::newRow("Label2") << "QLabel" << "Graph Background (0=black, 15=white):" << QRect(3840, 480, 3255, 255)
                            << right;
    QTest::newRow("Label3") << "QLabel" << "Digit color (0=black,15=white, -1=various):"
                            << QRect(3960, 840, 3135, 255) << right;
    QTest::newRow("BackText") << "QLineEdit" << "0" << QRect(7200, 480, 735, 285) << centred;
    QTest::newRow("ForeText") << "QLineEdit" << "-1" << QRect(7200, 840, 735, 285) << centred;
    QTest::newRow("Label5") << "QLabel" << "Fontsize:" << QRect(8160, 120, 975, 255) << right;
    QTest::newRow("ShowGrid") << "QCheckBox" << "Show gridlines:" << QRect(8160, 480, 1455, 255) << 0;
    QTest::newRow("FontText") << "QLineEdit" << "18" << QRect(9240, 120, 495, 285) << centred;
    QTest::newRow("Label6") << "QLabel" << "GA generations:" << QRect(1680, 120, 1215, 255) << right;
    QTest::newRow("Label7") << "QLabel" << "GA generation:" << QRect(1560, 480, 1335, 255) << right;
    QTest::newRow("GAgenText") << "QLineEdit" << "0" << QRect(3000, 480, 855, 285) << centred;
    QTest::newRow("GAgensText") << "QLineEdit" << "1000" << QRect(3000, 120, 855, 285) << centred;
    QTest::newRow("StopButton") << "QPushButton" << "Stop" << QRect(8280, 800, 1455, 320) << 0;
}

void MainFormTest::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(int, alignment);

    MainForm form;
    const QString name = QTest::currentDataTag();
    auto *control = form.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    // Positions are those of the client area below the menu bar.
    QCOMPARE(control->parentWidget(), form.clientArea());
    QVERIFY2(control->inherits(kind.toLatin1()), control->metaObject()->className());
    QCOMPARE(control->geometry(), twipsToPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    if (!text.isEmpty())
        QCOMPARE(control->property("text").toString(), text);
    if (alignment)
        QCOMPARE(control->property("alignment").toInt(), alignment);
    if (auto *box = qobject_cast<PictureBox *>(control)) {
        QCOMPARE(box->twipsLeft(), double(twips.x()));
        QCOMPARE(box->twipsTop(), double(twips.y()));
        QCOMPARE(box->outerWidth(), double(twips.width()));
        QCOMPARE(box->outerHeight(), double(twips.height()));
    }
}

void MainFormTest::otherControlProperties()
{
    MainForm form;
    QCOMPARE(MainForm::TitleText, QString("Tessarin   Beta version.    Orlevant, February 2002     "));
    QCOMPARE(form.findChild<QPushButton *>("OpenButton")->toolTip(),
             QString("Open a *.pvn file previously saved from Polvane"));
    auto *grid = form.findChild<QCheckBox *>("ShowGrid");
    QVERIFY(grid->isChecked());
    QCOMPARE(grid->layoutDirection(), Qt::RightToLeft);
    for (const char *output : {"FitBox", "GAgenText"}) {
        auto *box = form.findChild<QLineEdit *>(output);
        QVERIFY2(box->isReadOnly(), output);
        QVERIFY2(!(box->focusPolicy() & Qt::TabFocus), output);
    }
    QCOMPARE(form.stopFlag(), short(0));
    QVERIFY(form.distanceData().empty());
}

void MainFormTest::tabOrder()
{
    MainForm form;
    QWidget *start = form.findChild<QWidget *>("SizeText");
    QStringList chain;
    QWidget *widget = start;
    do {
        if (widget->parentWidget() == form.clientArea() && (widget->focusPolicy() & Qt::TabFocus))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start && chain.size() < 40);
    QCOMPARE(chain, QStringList({"SizeText", "OpenButton", "MoreFit", "BackText", "ForeText", "ShowGrid", "FontText",
                                 "GAgensText", "StopButton"}));
}

void MainFormTest::sizingRule_data()
{
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<double>("outerWidth");
    QTest::addColumn<double>("outerHeight");
    QTest::addColumn<double>("side");

    QTest::newRow("default 5000") << "5000" << 10500.0 << 6700.0 << 5000.0;
    QTest::newRow("4750 just reaches 10000") << "4750" << 10000.0 << 6450.0 << 4750.0;
    QTest::newRow("3000 raised to 10000") << "3000" << 10000.0 << 4700.0 << 3000.0;
    QTest::newRow("not a number is 0") << "abc" << 10000.0 << 1700.0 << 0.0;
    QTest::newRow("leading number") << "6000 and letters" << 12500.0 << 7700.0 << 6000.0;
    QTest::newRow("fraction") << "5000.6" << 10501.2 << 6700.6 << 5000.6;
}

void MainFormTest::sizingRule()
{
    QFETCH(QString, sizeText);
    QFETCH(double, outerWidth);
    QFETCH(double, outerHeight);
    QFETCH(double, side);

    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    setText(form, "SizeText", sizeText);
    form.applySizingRule();

    QCOMPARE(form.requestedOuterSize(), QSizeF(outerWidth, outerHeight));
    QVERIFY(barHeight(form) > 0);
    QCOMPARE(form.frameGeometry().size(), QSize(qRound(outerWidth / 15), qRound(outerHeight / 15) + barHeight(form)));
    QCOMPARE(form.menuBar()->geometry(), QRect(0, 0, form.width(), barHeight(form)));
    QCOMPARE(form.clientArea()->geometry(), QRect(0, barHeight(form), form.width(), form.height() - barHeight(form)));
    const PictureBox *table = form.distanceBox();
    const PictureBox *graph = form.distanceGraph();
    QCOMPARE(table->twipsLeft(), 120.0);
    QCOMPARE(table->twipsTop(), 1200.0);
    QCOMPARE(table->outerWidth(), side);
    QCOMPARE(table->outerHeight(), side);
    QCOMPARE(graph->twipsLeft(), side + 250);
    QCOMPARE(graph->twipsTop(), 1200.0);
    QCOMPARE(graph->outerWidth(), side);
    QCOMPARE(graph->outerHeight(), side);
    QCOMPARE(table->geometry(), QRect(8, 80, qRound(side / 15), qRound(side / 15)));
    QCOMPARE(graph->geometry(), QRect(qRound((side + 250) / 15), 80, qRound(side / 15), qRound(side / 15)));
}

void MainFormTest::userResizeIsUndone()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    setText(form, "SizeText", "4000");
    form.resize(900, 300); // a drag of the frame: the rule takes the size from SizeText
    QTRY_COMPARE(form.frameGeometry().size(), QSize(qRound(10000 / 15.0), qRound(5700 / 15.0) + barHeight(form)));
    QCOMPARE(form.distanceBox()->outerWidth(), 4000.0);
}

void MainFormTest::sizingRuleIdleWhileMaximised()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.showMaximized();
    QTRY_VERIFY(form.isMaximized());
    const QRect maximised = form.geometry();

    setText(form, "SizeText", "3000");
    form.applySizingRule();
    QCOMPARE(form.distanceBox()->outerWidth(), 5000.0);
    QCOMPARE(form.distanceGraph()->twipsLeft(), 5250.0);
    QCOMPARE(form.requestedOuterSize(), QSizeF(10500, 6700));
    QCOMPARE(form.geometry(), maximised);

    form.showNormal();
    QTRY_COMPARE(form.distanceBox()->outerWidth(), 3000.0);
    QCOMPARE(form.distanceGraph()->twipsLeft(), 3250.0);
    QCOMPARE(form.requestedOuterSize(), QSizeF(10000, 4700));
}

void MainFormTest::refusedSize_data()
{
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("negative") << "-5";
    QTest::newRow("below the window's height") << "-2000";
    QTest::newRow("too large for the window system") << "1e30";
    QTest::newRow("beyond a double") << "1e400";
}

void MainFormTest::refusedSize()
{
    QFETCH(QString, sizeText);
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    setText(form, "SizeText", sizeText);
    try {
        form.applySizingRule();
        QFAIL("the size was not refused");
    } catch (const TessarinError &error) {
        const QString message = error.what();
        QVERIFY2(message.contains("Picture Size") && message.contains(sizeText), error.what());
    }
    QCOMPARE(form.requestedOuterSize(), QSizeF(10500, 6700));
    QCOMPARE(form.distanceBox()->outerWidth(), 5000.0);
}

void MainFormTest::settingsRerunForm_data()
{
    QTest::addColumn<QString>("foreText");
    QTest::addColumn<int>("foreColor");
    // The surface's foreground starts at 7 before each row.
    QTest::newRow("15") << "15" << 15;
    QTest::newRow("15.2 above the range") << "15.2" << 7;
    QTest::newRow("-0.3 below the range") << "-0.3" << 7;
    QTest::newRow("14.6 rounds up") << "14.6" << 15;
    QTest::newRow("0.5 to even") << "0.5" << 0;
    QTest::newRow("-1 a colour per item") << "-1" << 7;
    QTest::newRow("0") << "0" << 0;
}

void MainFormTest::settingsRerunForm()
{
    QFETCH(QString, foreText);
    QFETCH(int, foreColor);
    MainForm form;
    form.distanceGraph()->setForeColor(7);
    setText(form, "ForeText", foreText);
    form.applySettings(SettingsForm::Rerun);
    QCOMPARE(form.distanceGraph()->foreColor(), foreColor);
}

void MainFormTest::settingsStartUpForm_data()
{
    QTest::addColumn<QString>("foreText");
    QTest::addColumn<int>("foreColor");
    QTest::newRow("-1 sets nothing") << "-1" << 7;
    QTest::newRow("-1.5 sets nothing") << "-1.5" << 7;
    QTest::newRow("-0.3 rounds to 0") << "-0.3" << 0;
    QTest::newRow("12") << "12" << 12;
}

void MainFormTest::settingsStartUpForm()
{
    QFETCH(QString, foreText);
    QFETCH(int, foreColor);
    MainForm form;
    form.distanceGraph()->setForeColor(7);
    setText(form, "ForeText", foreText);
    setText(form, "FontText", "12.5");
    form.applySettings(SettingsForm::StartUp);
    QCOMPARE(form.distanceGraph()->foreColor(), foreColor);
    QCOMPARE(form.distanceGraph()->fontName(), std::string("Times New Roman"));
    QCOMPARE(form.distanceGraph()->fontSize(), 12.5f);
}

void MainFormTest::backColour_data()
{
    QTest::addColumn<QString>("backText");
    QTest::addColumn<int>("backColor");
    QTest::newRow("default black") << "0" << 0;
    QTest::newRow("2.5 to even") << "2.5" << 2;
    QTest::newRow("1.5 to even") << "1.5" << 2;
    QTest::newRow("15 white") << "15" << 15;
    QTest::newRow("not a number is 0") << "grey" << 0;
}

void MainFormTest::backColour()
{
    QFETCH(QString, backText);
    QFETCH(int, backColor);
    for (SettingsForm settingsForm : {SettingsForm::StartUp, SettingsForm::Rerun}) {
        MainForm form;
        setText(form, "BackText", backText);
        form.applySettings(settingsForm);
        QCOMPARE(form.distanceGraph()->backColor(), backColor);
    }
}

void MainFormTest::refusedSettingIsReported_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("named");
    QTest::newRow("BackText 16") << "BackText" << "16" << "Graph Background";
    QTest::newRow("BackText -1") << "BackText" << "-1" << "Graph Background";
    QTest::newRow("BackText beyond 16 bits") << "BackText" << "40000" << "Graph Background";
    QTest::newRow("FontText negative") << "FontText" << "-3" << "Fontsize";
    QTest::newRow("FontText too large") << "FontText" << "5000" << "Fontsize";
    QTest::newRow("SizeText negative") << "SizeText" << "-100" << "Picture Size";
}

void MainFormTest::refusedSettingIsReported()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, named);
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    setText(form, box.toLatin1(), value);
    form.findChild<QPushButton *>("MoreFit")->click();

    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(named) && messages[0].contains('"' + value + '"'), qPrintable(messages[0]));
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(form.findChild<QPushButton *>("OpenButton")->isEnabled());
    QVERIFY(form.findChild<QPushButton *>("MoreFit")->isEnabled());
    QVERIFY(form.isVisible());
}

void MainFormTest::rerunWithoutFile()
{
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.show();
    form.stop();
    setText(form, "SizeText", "4000");
    form.findChild<QPushButton *>("MoreFit")->click();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains("open a distance file"), qPrintable(messages[0]));
    // The sizing rule and the flag have still done their part.
    QCOMPARE(form.distanceBox()->outerWidth(), 4000.0);
    QCOMPARE(form.stopFlag(), short(0));
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
