// The main window's runs: start-up, Open, Rerun and the map commands read
// the file, draw the table and fit the map, with the window's buttons and
// pointer restored however a run ends.

#include "window/main_form.h"

#include "io/distance_file.h"
#include "base/tessarin_error.h"
#include "display/distance_table_view.h"
#include "base/lenient_number.h"
#include "run/run_fit.h"
#include "window/drawing_scope.h"
#include "window/picture_box.h"
#include "window/window_closing.h"
#include "window/window_run_observer.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <chrono>
#include <future>
#include <iostream>
#include <new>

namespace tessarin {

void MainForm::drawTable()
{
    m_tableDrawn = false;
    m_drawnSizeText = textOf(m_sizeText);
    {
        // The table is drawn in one pass, cell after cell, from the data and
        // the size text as they are now. Between cells the window takes its
        // events about every PauseMilliseconds, so that a large table does
        // not freeze it and Close ends the program at once; no command can
        // start meanwhile (as during a search), and the sizing rule of a
        // resize waits for the end of the drawing, as it would replace the
        // box's image when the size text has been changed.
        const QScopedValueRollback<bool> running(m_running, true);
        const QScopedValueRollback<bool> deferred(m_sizingDeferred, true);
        // A Close ends the drawing at its next pause.
        const DrawingScope scope(*m_distanceBox, [this] {
            processEvents();
            if (m_closing)
                throw WindowClosing{};
        });
        try {
            DistanceMatrix(*m_distanceBox, m_data, m_drawnSizeText);
        } catch (const WindowClosing &) {
            throw;
        } catch (...) {
            m_sizingDeferred = false;
            applyDeferredSizing();
            throw;
        }
    }
    applyDeferredSizing();
    m_tableDrawn = true;
}

DistanceData MainForm::readDistances(const QString &path)
{
    // Read beside the window, which meanwhile takes its events as while the
    // table is drawn: a Close ends the program as soon as the reading has,
    // without a frozen window in between.
    const QScopedValueRollback<bool> running(m_running, true);
    const std::string name = QFile::encodeName(path).toStdString();
    auto reading = std::async(std::launch::async, [name] { return ReadDistanceFile(name); });
    while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready && !m_closing)
        QCoreApplication::processEvents();
    if (m_closing) {
        reading.wait();
        throw WindowClosing{};
    }
    return reading.get();
}

void MainForm::startUp(const QString &fileName, StartFile start)
{
    try {
        applySettings(SettingsForm::StartUp);
    } catch (const TessarinError &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    setWindowTitle(TitleText + fileName);
    show();
    setBusy(true);
    try {
        try {
            m_data = readDistances(fileName);
            m_readWeights = m_data.PairWeights;
        } catch (const std::exception &error) {
            std::cerr << "tessarin: " << error.what() << '\n';
            endRun();
            if (start == StartFile::Named)
                showError(tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
            return;
        }
        showReadingNotice(fileName);
        m_dataFile = fileName;
        m_mapDrawn = m_tableDrawn = false;
        drawTable();
        runSearch();
    } catch (const WindowClosing &) {
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    endRun();
}

void MainForm::openFile()
{
    if (m_running || m_closing)
        return;
    const QString path = chooseFile();
    if (m_closing)
        return;
    openPath(path);
}

void MainForm::openPath(const QString &path)
{
    if (m_running || m_closing)
        return;
    setWindowTitle(TitleText + path);
    if (path.isEmpty())
        return;

    try {
        // Assigned only when the whole file has been read: a bad file leaves
        // the data, table, map and best layout of the previous run.
        m_data = readDistances(path);
        m_readWeights = m_data.PairWeights;
    } catch (const WindowClosing &) {
        return;
    } catch (const std::exception &error) {
        showError(tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    showReadingNotice(path);
    m_dataFile = path;
    m_mapDrawn = m_tableDrawn = false;
    drawAndSearch(tr("The map of %1 could not be made.").arg(path));
}

void MainForm::rerun()
{
    if (m_running || m_closing)
        return;
    try {
        applySizingRule();
        // Tried on an empty stand-in first: a new background colour erases
        // the map, so a value refused after it would leave the map erased.
        PictureBox standIn;
        standIn.setTwipsGeometry(0, 0, 0, 0);
        ApplyMapSettings(standIn, DisplaySettings{textOf(m_backText), textOf(m_foreText), textOf(m_fontText)},
                         SettingsForm::Rerun);
        applySettings(SettingsForm::Rerun);
    } catch (const TessarinError &error) {
        showError(tr("The settings cannot be used.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    m_stopRequested = 0;
    if (m_data.empty()) {
        showError(tr("There is no distance table to fit yet: open a distance file first."));
        return;
    }
    setBusy(true);
    drawAndSearch(tr("The map of %1 could not be refined.").arg(m_dataFile));
}

void MainForm::drawAndSearch(const QString &failure)
{
    try {
        drawTable();
        runSearch();
    } catch (const WindowClosing &) {
    } catch (const std::bad_alloc &) {
        endRun();
        showError(failure + QStringLiteral("\n\n") +
                  tr("There is not enough memory for it: the system refused an allocation."));
        return;
    } catch (const std::exception &error) {
        endRun();
        showError(failure + QStringLiteral("\n\n") + QString::fromStdString(error.what()));
        return;
    }
    endRun();
}

void MainForm::stop()
{
    m_stopRequested = 1;
}

void MainForm::classicalStart()
{
    runMapCommand(MapStage::ClassicalStart);
}

void MainForm::polish()
{
    runMapCommand(MapStage::Polish);
}

void MainForm::bestMap()
{
    runMapCommand(MapStage::BestMap);
}

void MainForm::runMapCommand(MapStage command)
{
    if (m_running || m_closing)
        return;
    if (m_data.empty()) {
        showError(tr("There is no distance table to map yet: open a distance file first."));
        return;
    }
    // As for Rerun: a Stop from before does not end the new command at once.
    m_stopRequested = 0;
    const QString fitBefore = m_fitBox->text();
    const QString progressBefore = m_gaGenText->text();
    const bool mapDrawnBefore = m_mapDrawn;
    setBusy(true);
    try {
        const QScopedValueRollback<bool> running(m_running, true);
        setOpenEnabled(false);
        updateSaveActions();
        WindowRunObserver observer(*this, m_data.ItemCount, WindowRunObserver::Pace::Clock);
        MapStageOutcome result = m_mapCommandRunner(command, m_data, m_bestLayout, observer);
        observer.finish(result.layout, result.fit);
        // Written only when the command has ended: an error or a close leaves
        // the best map as it was.
        if (!m_closing)
            m_bestLayout = std::move(result.layout);
    } catch (const std::exception &error) {
        m_mapDrawn = mapDrawnBefore;
        redrawBestLayout();
        m_fitBox->setText(fitBefore);
        m_gaGenText->setText(progressBefore);
        endRun();
        showError(tr("%1 could not make a map of %2.\n\n%3")
                      .arg(QString::fromStdString(MapCommandName(command)), m_dataFile,
                           QString::fromStdString(error.what())));
        return;
    }
    endRun();
}

void MainForm::redrawBestLayout()
{
    try {
        const DrawingScope scope(*m_distanceGraph);
        if (canSaveMap())
            DrawMap(*m_distanceGraph, m_bestLayout.data(), m_data.ItemCount, 0.0, m_drawnMapSettings, m_data.Names);
        else
            m_distanceGraph->clear();
    } catch (const std::exception &) {
        // The message about the first error says enough.
    }
}

void MainForm::runSearch()
{
    const QScopedValueRollback<bool> running(m_running, true);
    updateSaveActions();
    emit searchStarted();
    setOpenEnabled(false);
    PrepareMap(*m_distanceGraph);
    setBusy(true);
    const SearchSettings settings{LenientNumber(textOf(m_gaGensText))};
    // The search works on a copy: a Close abandons it without a result.
    Layout best = m_bestLayout;
    WindowRunObserver observer(*this, m_data.ItemCount, WindowRunObserver::Pace::EveryReport);
    const SearchOutcome outcome = RunFit(m_data, best, m_random, settings, observer);
    if (m_closing)
        return;
    m_bestLayout = std::move(best);
    m_lastRunGenerations = outcome.generations;
    setOpenEnabled(true);
    setBusy(false);
}

void MainForm::endRun()
{
    setBusy(false);
    if (!m_closing)
        setOpenEnabled(true);
    updateSaveActions();
    emit runEnded();
}

} // namespace tessarin
