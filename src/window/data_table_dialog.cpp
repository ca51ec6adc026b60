#include "window/data_table_dialog.h"

#include "base/number_texts.h"
#include "base/tessarin_error.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessarin {

namespace {

// The combo boxes' first entries, before the columns.
constexpr int AutomaticNames = 0;
constexpr int NoNames = 1;
constexpr int FirstNameColumn = 2;
constexpr int NoGroups = 0;

const char *const metricNames[] = {"euclidean", "manhattan", "chebyshev", "minkowski", "canberra", "correlation",
                                   "cosine",    "braycurtis", "jaccard",  "hellinger", "gower"};
const char *const conversionNames[] = {"max-minus", "one-minus", "sqrt-one-minus", "reciprocal", "confusion"};

QString text(const std::string &value) { return QString::fromStdString(value); }

} // namespace

DataTableDialog::DataTableDialog(const QString &path, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DataTableDialog"));
    setWindowTitle(tr("Open data table"));
    auto *layout = new QVBoxLayout(this);
    auto *file = new QLabel(path, this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(file);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("PreviewTable"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setMinimumSize(560, 240);
    layout->addWidget(m_preview);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("ProblemLabel"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    layout->addWidget(m_problem);

    auto *form = new QFormLayout;
    m_nameColumn = new QComboBox(this);
    m_nameColumn->setObjectName(QStringLiteral("NameColumnBox"));
    m_nameColumn->addItems({tr("(as the file suggests)"), tr("(none: items numbered)")});
    form->addRow(tr("Name column:"), m_nameColumn);
    m_groupColumn = new QComboBox(this);
    m_groupColumn->setObjectName(QStringLiteral("GroupColumnBox"));
    m_groupColumn->addItem(tr("(no groups)"));
    form->addRow(tr("Group column:"), m_groupColumn);

    m_metricButton = new QRadioButton(tr("Variables, measured by"), this);
    m_metricButton->setObjectName(QStringLiteral("MetricButton"));
    m_metricButton->setChecked(true);
    m_metric = new QComboBox(this);
    m_metric->setObjectName(QStringLiteral("MetricBox"));
    for (const char *name : metricNames)
        m_metric->addItem(QString::fromLatin1(name));
    form->addRow(m_metricButton, m_metric);
    m_power = new QDoubleSpinBox(this);
    m_power->setObjectName(QStringLiteral("PowerBox"));
    m_power->setRange(0.01, 100.0);
    m_power->setValue(2.0);
    m_power->setDecimals(2);
    form->addRow(tr("Minkowski power:"), m_power);
    m_standardize = new QComboBox(this);
    m_standardize->setObjectName(QStringLiteral("StandardizeBox"));
    m_standardize->addItems({tr("none"), tr("z (mean 0, sd 1)"), tr("range (0 to 1)")});
    form->addRow(tr("Standardisation:"), m_standardize);
    m_similaritiesButton = new QRadioButton(tr("Similarities, converted by"), this);
    m_similaritiesButton->setObjectName(QStringLiteral("SimilaritiesButton"));
    m_conversion = new QComboBox(this);
    m_conversion->setObjectName(QStringLiteral("ConversionBox"));
    for (const char *name : conversionNames)
        m_conversion->addItem(QString::fromLatin1(name));
    form->addRow(m_similaritiesButton, m_conversion);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("DialogButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    try {
        const DataTable table = ReadDataTable(QFile::encodeName(path).toStdString());
        m_readable = true;
        fillPreview(table);
        if (!table.names.empty()) {
            m_namesEntry = m_nameColumn->count();
            m_nameColumn->addItem(table.nameColumn.empty() ? tr("(the first column)") : text(table.nameColumn));
        }
        for (const DataColumn &column : table.columns) {
            m_nameColumn->addItem(text(column.name));
            m_groupColumn->addItem(text(column.name));
        }
        // A text column is most likely the groups (iris's Species).
        for (std::size_t k = 0; k < table.columns.size(); ++k)
            if (!table.columns[k].numeric) {
                m_groupColumn->setCurrentIndex(static_cast<int>(k) + 1);
                break;
            }
    } catch (const TessarinError &error) {
        m_problem->setText(tr("This file does not read as a data table:\n%1").arg(text(error.what())));
        m_problem->show();
    }
    buttons->button(QDialogButtonBox::Ok)->setEnabled(m_readable);

    connect(m_metricButton, &QRadioButton::toggled, this, &DataTableDialog::updateEnabled);
    connect(m_metric, &QComboBox::currentIndexChanged, this, &DataTableDialog::updateEnabled);
    updateEnabled();
}

void DataTableDialog::fillPreview(const DataTable &table)
{
    const bool named = !table.names.empty();
    const int columns = static_cast<int>(table.columns.size()) + (named ? 1 : 0);
    const int rows = std::min(table.itemCount(), PreviewRows);
    m_preview->setColumnCount(columns);
    m_preview->setRowCount(rows);
    QStringList headers;
    if (named)
        headers << (table.nameColumn.empty() ? tr("(names)") : text(table.nameColumn));
    for (const DataColumn &column : table.columns)
        headers << text(column.name);
    m_preview->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows; ++r) {
        int c = 0;
        if (named)
            m_preview->setItem(r, c++, new QTableWidgetItem(text(table.names[static_cast<std::size_t>(r)])));
        for (const DataColumn &column : table.columns)
            m_preview->setItem(r, c++, new QTableWidgetItem(text(column.texts[static_cast<std::size_t>(r)])));
    }
    m_preview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void DataTableDialog::updateEnabled()
{
    const bool metric = m_metricButton->isChecked();
    m_metric->setEnabled(metric);
    m_standardize->setEnabled(metric);
    m_power->setEnabled(metric && m_metric->currentText() == QStringLiteral("minkowski"));
    m_conversion->setEnabled(!metric);
    m_groupColumn->setEnabled(metric);
}

DistanceSource DataTableDialog::source() const
{
    DistanceSource source;
    if (m_metricButton->isChecked()) {
        const std::string name = m_metric->currentText().toStdString();
        source.metric = ParseMetric(name == "minkowski" ? "minkowski=" + ShortestText(m_power->value()) : name);
        source.standardization = static_cast<Standardization>(m_standardize->currentIndex());
    } else {
        source.similarities = ParseSimilarityConversion(m_conversion->currentText().toStdString());
    }
    const int names = m_nameColumn->currentIndex();
    if (names == m_namesEntry) {
        // The column the file suggests, found again the same way.
    } else if (names == NoNames) {
        source.table.names = DataTableOptions::Names::None;
    } else if (names >= FirstNameColumn) {
        source.table.names = DataTableOptions::Names::Column;
        source.table.nameColumn = m_nameColumn->currentText().toStdString();
    }
    if (m_metricButton->isChecked() && m_groupColumn->currentIndex() != NoGroups)
        source.groups = m_groupColumn->currentText().toStdString();
    return source;
}

std::optional<DistanceSource> AskDistanceSource(QWidget *parent, const QString &path)
{
    DataTableDialog dialog(path, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.source();
}

} // namespace tessarin
