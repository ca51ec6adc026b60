#include "window/run_control.h"

#include "window/main_form.h"
#include "window/save_commands.h"
#include "window/sizing_rule.h"

#include "io/distance_file.h"
#include "window/data_table_dialog.h"
#include "base/tessarin_error.h"
#include "display/distance_table_view.h"
#include "base/lenient_number.h"
#include "run/run_fit.h"
#include "window/drawing_scope.h"
#include "window/picture_box.h"
#include "window/window_run_observer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <chrono>
#include <future>
#include <iostream>
#include <new>
#include <optional>

namespace tessarin {

bool RunControl::drawTable()
{
    m_form.m_tableDrawn = false;
    m_form.m_drawnSizeText = MainForm::textOf(m_form.m_sizeText);
    {
        // The table is drawn in one pass, cell after cell, from the data and
        // the size text as they are now. Between cells the window takes its
        // events about every PauseMilliseconds, so that a large table does
        // not freeze it and Close ends the program at once; no command can
        // start meanwhile (as during a search), and the sizing rule of a
        // resize waits for the end of the drawing, as it would replace the
        // box's image when the size text has been changed.
        const QScopedValueRollback<bool> running(m_form.m_running, true);
        SizingRule::Deferral deferral(*m_form.m_sizingRule);
        // A Close ends the drawing at its next pause.
        const DrawingScope scope(*m_form.m_distanceBox, [this] {
            processEvents();
            return !m_form.m_closing;
        });
        try {
            DistanceMatrix(*m_form.m_distanceBox, m_form.m_data, m_form.m_drawnSizeText);
        } catch (...) {
            deferral.end();
            m_form.m_sizingRule->applyDeferred();
            throw;
        }
    }
    if (m_form.m_closing)
        return false;
    m_form.m_sizingRule->applyDeferred();
    m_form.m_tableDrawn = true;
    return true;
}

std::optional<SourcedDistances> RunControl::readDistances(const QString &path, const DistanceSource &source)
{
    // Read beside the window, which meanwhile takes its events as while the
    // table is drawn: a Close ends the program as soon as the reading has,
    // without a frozen window in between.
    const QScopedValueRollback<bool> running(m_form.m_running, true);
    const std::string name = QFile::encodeName(path).toStdString();
    auto reading = std::async(std::launch::async, [name, source] { return ReadDistanceSource(name, source); });
    while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready && !m_form.m_closing)
        QCoreApplication::processEvents();
    if (m_form.m_closing) {
        reading.wait();
        return std::nullopt;
    }
    return reading.get();
}

void RunControl::startUp(const QString &fileName, bool named)
{
    try {
        m_form.applySettings(SettingsForm::StartUp);
    } catch (const TessarinError &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    m_form.setWindowTitle(MainForm::TitleText + fileName);
    m_form.show();
    m_form.setBusy(true);
    try {
        std::optional<SourcedDistances> read;
        try {
            read = readDistances(fileName);
        } catch (const std::exception &error) {
            std::cerr << "tessarin: " << error.what() << '\n';
            endRun();
            if (named)
                m_form.showError(MainForm::tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
            return;
        }
        if (read) {
            m_form.m_data = std::move(read->data);
            m_form.m_groups = std::move(read->groups);
            m_form.m_readWeights = m_form.m_data.PairWeights;
            m_form.m_source = DistanceSource{};
            m_form.m_weightsFile.clear();
            m_form.showReadingNotice(fileName);
            ++m_form.m_dataVersion;
            m_form.m_dataFile = fileName;
            m_form.m_mapDrawn = m_form.m_tableDrawn = false;
            if (drawTable())
                runSearch();
        }
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    endRun();
}

void RunControl::openFile()
{
    if (m_form.m_running || m_form.m_closing)
        return;
    const QString path = m_form.chooseFile();
    if (m_form.m_closing)
        return;
    openPath(path);
}

void RunControl::openPath(const QString &path)
{
    openSource(path, DistanceSource{});
}

void RunControl::openDataTable()
{
    if (m_form.m_running || m_form.m_closing)
        return;
    const QString path = m_form.m_dialog ? m_form.m_dialog()
                                         : QFileDialog::getOpenFileName(&m_form, MainForm::tr("Open data table"), QString(),
                                                                        MainForm::tr("Data tables (*.csv *.tsv *.txt);;All files (*)"));
    if (m_form.m_closing || path.isEmpty())
        return;
    const std::optional<DistanceSource> source =
        m_form.m_sourceDialog ? m_form.m_sourceDialog(path) : AskDistanceSource(&m_form, path);
    if (!source || m_form.m_closing)
        return;
    openSource(path, *source);
}

void RunControl::openSource(const QString &path, const DistanceSource &source)
{
    if (m_form.m_running || m_form.m_closing)
        return;
    m_form.setWindowTitle(MainForm::TitleText + path);
    if (path.isEmpty())
        return;

    std::optional<SourcedDistances> read;
    try {
        read = readDistances(path, source);
    } catch (const std::exception &error) {
        showReadError(source, error);
        return;
    }
    if (!read)
        return;
    // Assigned only when the whole file has been read: a bad file leaves the
    // data, table, map and best layout of the previous run.
    m_form.m_data = std::move(read->data);
    m_form.m_groups = std::move(read->groups);
    m_form.m_readWeights = m_form.m_data.PairWeights;
    m_form.m_source = source;
    m_form.m_weightsFile.clear();
    m_form.showReadingNotice(path);
    ++m_form.m_dataVersion;
    m_form.m_dataFile = path;
    m_form.m_mapDrawn = m_form.m_tableDrawn = false;
    drawAndSearch(MainForm::tr("The map of %1 could not be made.").arg(path));
}

void RunControl::showReadError(const DistanceSource &source, const std::exception &error)
{
    m_form.showError((source.readsDataTable() ? MainForm::tr("The data table could not be read.\n\n%1")
                                              : MainForm::tr("The distance file could not be read.\n\n%1"))
                         .arg(QString::fromStdString(error.what())));
}

void RunControl::rerun()
{
    if (m_form.m_running || m_form.m_closing)
        return;
    try {
        m_form.applySizingRule();
        // Tried on an empty stand-in first: a new background colour erases
        // the map, so a value refused after it would leave the map erased.
        PictureBox standIn;
        standIn.setTwipsGeometry(0, 0, 0, 0);
        ApplyMapSettings(standIn, DisplaySettings{MainForm::textOf(m_form.m_backText), MainForm::textOf(m_form.m_foreText), MainForm::textOf(m_form.m_fontText)},
                         SettingsForm::Rerun);
        m_form.applySettings(SettingsForm::Rerun);
    } catch (const TessarinError &error) {
        m_form.showError(MainForm::tr("The settings cannot be used.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    m_stopRequested = 0;
    if (m_form.m_data.empty()) {
        m_form.showError(MainForm::tr("There is no distance table to fit yet: open a distance file first."));
        return;
    }
    m_form.setBusy(true);
    drawAndSearch(MainForm::tr("The map of %1 could not be refined.").arg(m_form.m_dataFile));
}

void RunControl::drawAndSearch(const QString &failure)
{
    try {
        if (drawTable())
            runSearch();
    } catch (const std::bad_alloc &) {
        endRun();
        m_form.showError(failure + QStringLiteral("\n\n") +
                  MainForm::tr("There is not enough memory for it: the system refused an allocation."));
        return;
    } catch (const std::exception &error) {
        endRun();
        m_form.showError(failure + QStringLiteral("\n\n") + QString::fromStdString(error.what()));
        return;
    }
    endRun();
}

void RunControl::runMapCommand(MapStage command)
{
    if (m_form.m_running || m_form.m_closing)
        return;
    if (m_form.m_data.empty()) {
        m_form.showError(MainForm::tr("There is no distance table to map yet: open a distance file first."));
        return;
    }
    // As for Rerun: a Stop from before does not end the new command at once.
    m_stopRequested = 0;
    const QString fitBefore = m_form.m_fitBox->text();
    const QString progressBefore = m_form.m_gaGenText->text();
    const bool mapDrawnBefore = m_form.m_mapDrawn;
    m_form.setBusy(true);
    try {
        const QScopedValueRollback<bool> running(m_form.m_running, true);
        m_form.setOpenEnabled(false);
        m_form.m_saveCommands->updateActions();
        WindowRunObserver observer(*this, m_form.m_data.ItemCount, WindowRunObserver::Pace::Clock);
        MapStageOutcome result = m_mapCommandRunner(command, m_form.m_data, m_form.m_bestLayout, observer);
        observer.finish(result.layout, result.fit);
        // Written only when the command has ended: an error or a close leaves
        // the best map as it was.
        if (!m_form.m_closing)
            m_form.m_bestLayout = std::move(result.layout);
    } catch (const std::exception &error) {
        m_form.m_mapDrawn = mapDrawnBefore;
        redrawBestLayout();
        m_form.m_fitBox->setText(fitBefore);
        m_form.m_gaGenText->setText(progressBefore);
        endRun();
        m_form.showError(MainForm::tr("%1 could not make a map of %2.\n\n%3")
                      .arg(QString::fromStdString(MapCommandName(command)), m_form.m_dataFile,
                           QString::fromStdString(error.what())));
        return;
    }
    endRun();
}

void RunControl::redrawBestLayout()
{
    try {
        const DrawingScope scope(*m_form.m_distanceGraph);
        if (m_form.canSaveMap())
            DrawMap(*m_form.m_distanceGraph, m_form.m_bestLayout.data(), m_form.m_data.ItemCount, 0.0,
                    m_form.m_drawnMapSettings, m_form.m_data.Names, m_form.m_groups);
        else
            m_form.m_distanceGraph->clear();
    } catch (const std::exception &) {
        // The message about the first error says enough.
    }
}

void RunControl::runSearch()
{
    const QScopedValueRollback<bool> running(m_form.m_running, true);
    m_form.m_saveCommands->updateActions();
    emit m_form.searchStarted();
    m_form.setOpenEnabled(false);
    PrepareMap(*m_form.m_distanceGraph);
    m_form.setBusy(true);
    const SearchSettings settings{LenientNumber(MainForm::textOf(m_form.m_gaGensText))};
    // The search works on a copy: a Close abandons it without a result.
    Layout best = m_form.m_bestLayout;
    WindowRunObserver observer(*this, m_form.m_data.ItemCount, WindowRunObserver::Pace::EveryReport);
    const SearchOutcome outcome = RunFit(m_form.m_data, best, m_random, settings, observer);
    if (m_form.m_closing)
        return;
    m_form.m_bestLayout = std::move(best);
    m_lastRunGenerations = outcome.generations;
    m_form.setOpenEnabled(true);
    m_form.setBusy(false);
}

void RunControl::endRun()
{
    m_form.updateModelStatus();
    m_form.setBusy(false);
    if (!m_form.m_closing)
        m_form.setOpenEnabled(true);
    m_form.m_saveCommands->updateActions();
    emit m_form.runEnded();
}

void RunControl::drawImprovement(const float *layout, int itemCount, double fit)
{
    if (m_form.m_closing)
        return;
    const MapSettings settings{m_form.m_showGrid->isChecked() ? 1 : 0, MainForm::textOf(m_form.m_foreText)};
    std::string fitText;
    {
        const DrawingScope scope(*m_form.m_distanceGraph);
        fitText = DrawMap(*m_form.m_distanceGraph, layout, itemCount, fit, settings, m_form.m_data.Names, m_form.m_groups);
    }
    m_form.m_fitBox->setText(QString::fromStdString(fitText));
    m_form.m_drawnMapSettings = settings;
    m_form.m_mapDrawn = true;
    emit m_form.improvementDrawn(QList<float>(layout, layout + 2 * static_cast<qsizetype>(itemCount) + 1), fit);
    processEvents();
}

void RunControl::showGeneration(const std::string &text)
{
    m_form.m_gaGenText->setText(QString::fromStdString(text));
}

void RunControl::processEvents()
{
    if (!m_form.m_closing)
        QCoreApplication::processEvents();
}

bool RunControl::stopRequested()
{
    return m_stopRequested == 1;
}

bool RunControl::closing()
{
    return m_form.m_closing;
}

} // namespace tessarin
