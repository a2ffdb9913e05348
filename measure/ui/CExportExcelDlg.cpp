#include "CExportExcelDlg.h"

#include "CExportOptionDlg.h"

#include "measure/core/measure_state.h"

#include "base/text_lookup.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace measure {

namespace {

struct LabelSwitch {
    const char* key;
    const char* text;
    int selector;  // the label line it switches on every measurement
};
constexpr LabelSwitch kLabelSwitches[] = {
    {"Name", "Name", 2},           {"Length", "Length", 3}, {"Radius", "Radius", 4}, {"Diameter", "Diameter", 5},
    {"Perimeter", "Perimeter", 6}, {"Area", "Area", 7},     {"Angle", "Angle", 8},   {"Unit", "Unit", 9},
};

QTableWidget* makePage()
{
    auto* list = new QTableWidget(0, kExportColumns);
    list->setHorizontalHeaderLabels({base::uiText("Show", "Show"), base::uiText("Name", "Name"), base::uiText("Length", "Length"),
                                     base::uiText("TiRadius1", "Radius1"), base::uiText("TiRadius2", "Radius2"),
                                     base::uiText("TiDiameter", "Diameter"), base::uiText("Angle", "Angle"),
                                     base::uiText("TiPerimeter", "Perimeter"), base::uiText("Area", "Area")});
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);  // nine equal columns
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setShowGrid(true);
    return list;
}

}  // namespace

CExportExcelDlg::CExportExcelDlg(ExportSource& source, const MeasureState& settings, QWidget* parent)
    : QDialog(parent), m_source(source), m_settings(settings), m_tabs(new QTabWidget)
{
    setObjectName(QStringLiteral("CExportExcelDlg"));
    setWindowTitle(base::uiText("ToolbarHitExport", "Export"));
    for (const char* tab : {"Line", "Polygon", "Circle", "Arc", "Angle"}) {
        QTableWidget* list = makePage();
        connect(list, &QTableWidget::itemChanged, this, &CExportExcelDlg::rowChecked);
        m_tabs->addTab(list, base::uiText(tab, tab));
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, &CExportExcelDlg::refresh);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(base::uiText("Show", "Show")));
    for (const LabelSwitch& l : kLabelSwitches) {
        auto* box = new QCheckBox(base::uiText(l.key, l.text));
        box->setObjectName(QLatin1String(l.key));
        box->setChecked(true);
        const int selector = l.selector;
        connect(box, &QCheckBox::clicked, this, [this, selector] { m_source.toggleLabel(selector); });
        filters->addWidget(box);
    }
    filters->addStretch();

    auto* remove = new QPushButton(base::uiText("Delete", "Delete"));
    remove->setObjectName(QStringLiteral("Delete"));
    auto* removeAll = new QPushButton(base::uiText("DeleteAll", "Delete all"));
    removeAll->setObjectName(QStringLiteral("DeleteAll"));
    auto* exportButton = new QPushButton(base::uiText("ToolbarHitExport", "Export"));
    exportButton->setObjectName(QStringLiteral("Export"));
    auto* exit = new QPushButton(base::uiText("Exit", "Exit"));
    connect(remove, &QPushButton::clicked, this, &CExportExcelDlg::deleteChosen);
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_source.deleteAll();
        refresh();
    });
    connect(exportButton, &QPushButton::clicked, this, &CExportExcelDlg::exportClicked);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);
    buttons->addStretch();
    buttons->addWidget(exportButton);
    buttons->addWidget(exit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    resize(760, 420);
    refresh();
}

QTableWidget* CExportExcelDlg::page(int index) const
{
    return qobject_cast<QTableWidget*>(m_tabs->widget(index));
}

void CExportExcelDlg::refresh()
{
    const int current = m_tabs->currentIndex();
    QTableWidget* list = page(current);
    m_listed.clear();
    for (const ExportMeasurement& m : m_source.measurements()) {
        if (exportPageOf(m.kind) == current)
            m_listed.push_back(m);
    }
    m_filling = true;
    list->setRowCount(int(m_listed.size()));
    for (int row = 0; row < int(m_listed.size()); ++row) {
        const ExportMeasurement& m = m_listed[size_t(row)];
        auto* show = new QTableWidgetItem;
        show->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        show->setCheckState(m_source.isShown(m.source) ? Qt::Checked : Qt::Unchecked);
        list->setItem(row, 0, show);
        for (int c = 0; c < kExportColumns - 1; ++c)
            list->setItem(row, c + 1, new QTableWidgetItem(listCell(m, c, m_settings)));
    }
    m_filling = false;
}

// The row's measurement, found by its name, is shown or hidden.
void CExportExcelDlg::rowChecked(QTableWidgetItem* item)
{
    if (m_filling || item->column() != 0)
        return;
    const QTableWidgetItem* name = item->tableWidget()->item(item->row(), 1);
    if (!name)
        return;
    for (const ExportMeasurement& m : m_source.measurements()) {
        if (m.name.compare(name->text(), Qt::CaseInsensitive) == 0) {
            m_source.toggleShown(m.source);
            return;
        }
    }
}

// The rows chosen on the page shown: their measurements go.
void CExportExcelDlg::deleteChosen()
{
    std::vector<int> sources;
    for (const QModelIndex& row : page(m_tabs->currentIndex())->selectionModel()->selectedRows()) {
        if (row.row() < int(m_listed.size()))
            sources.push_back(m_listed[size_t(row.row())].source);
    }
    if (sources.empty())
        return;
    m_source.deleteMeasurements(std::move(sources));
    refresh();
}

void CExportExcelDlg::exportClicked()
{
    CExportOptionDlg options(m_source.pictureSize(), {1, m_source.imprint(), 96}, this);
    if (options.exec() == QDialog::Accepted)
        m_source.exportWorkbook(options.options());
}

}  // namespace measure
