#pragma once

#include "distances/distance_source.h"

#include <QDialog>
#include <QString>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace tessarin {

/// The Open data table dialog: the first rows of the file, and how its
/// items become distances: the name column, the group column, and either a
/// metric with a standardisation of the variables or a conversion of
/// similarities. Each control's object name is its name (PreviewTable,
/// NameColumnBox, GroupColumnBox, MetricButton, MetricBox, PowerBox,
/// StandardizeBox, SimilaritiesButton, ConversionBox).
class DataTableDialog : public QDialog {
    Q_OBJECT

public:
    /// How many rows of items the preview shows.
    static constexpr int PreviewRows = 10;

    /// Reads `path` for the preview and the column lists; a file that does
    /// not read as a data table shows why instead, and OK stays disabled.
    explicit DataTableDialog(const QString &path, QWidget *parent = nullptr);

    /// What the controls say now.
    DistanceSource source() const;

private:
    void fillPreview(const DataTable &table);
    void updateEnabled();

    QTableWidget *m_preview = nullptr;
    QLabel *m_problem = nullptr;
    QComboBox *m_nameColumn = nullptr;
    QComboBox *m_groupColumn = nullptr;
    QRadioButton *m_metricButton = nullptr;
    QComboBox *m_metric = nullptr;
    QDoubleSpinBox *m_power = nullptr;
    QComboBox *m_standardize = nullptr;
    QRadioButton *m_similaritiesButton = nullptr;
    QComboBox *m_conversion = nullptr;
    bool m_readable = false;
    // The name combo's entry for the name column the file suggests, or -1.
    int m_namesEntry = -1;
};

/// Shows a DataTableDialog for `path`; the source chosen, or nothing when
/// the user cancelled.
std::optional<DistanceSource> AskDistanceSource(QWidget *parent, const QString &path);

} // namespace tessarin
