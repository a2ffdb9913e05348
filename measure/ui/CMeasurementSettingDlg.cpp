#include "CMeasurementSettingDlg.h"

#include "ColorPickerButton.h"
#include "MeasurePreview.h"

#include "measure/core/measure_state.h"

#include "base/text_lookup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace measure {

using base::uiText;

namespace {

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out.append(QString::number(i));
    return out;
}

}  // namespace

CMeasurementSettingDlg::CMeasurementSettingDlg(MeasureState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_grid(new QTreeWidget), m_description(new QLabel), m_colour(new ColorPickerButton)
{
    setObjectName(QStringLiteral("CMeasurementSettingDlg"));
    setWindowTitle(uiText("MeasureProperty", "Measure Property"));

    m_grid->setColumnCount(2);
    m_grid->header()->hide();
    m_grid->setRootIsDecorated(true);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setIndentation(12);
    m_description->setWordWrap(true);
    m_description->setFrameShape(QFrame::StyledPanel);
    m_description->setMinimumHeight(36);
    m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    // The lists show what is in effect now.
    m_colour->setColour(state.colour);
    addRow("ToolColor", "Tool Color", "TipToolColor", "Color: set line and font color", m_colour);
    connect(m_colour, &ColorPickerButton::colourChosen, this, [this](const QColor& c) {
        m_state.colour = c;
        m_preview->update();
        Q_EMIT settingChanged(Colour);
    });
    QStringList units;
    for (const char* u : kUnits)
        units.append(QLatin1String(u));
    addList(Unit, "TiUnit", "Unit", "TipTiUnit", "Unit:set unit", units, state.unit);
    addList(FontSize, "FontSize", "Font Size", "TipFontSize", "Font size:set font size", numbers(1, 71),
            QString::number(state.fontSize));
    addList(Decimals, "DecimalPoint", "Decimal", "TipDecimalPoint", "Decimal:set decimal", numbers(1, 5),
            QString::number(state.decimals));
    addList(LineWidth, "LineWidth", "Line Width", "TipLineWidth", "Line width:set line width", numbers(1, 5),
            QString::number(state.lineWidth));
    m_grid->expandAll();
    m_grid->resizeColumnToContents(0);
    connect(m_grid, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { m_description->setText(item && item->parent() ? item->text(0) : QString()); });
    m_grid->setCurrentItem(m_grid->topLevelItem(0)->child(0));

    auto* previewBox = new QGroupBox(uiText("Preview", "Preview"));
    m_preview = new MeasurePreview(state, previewBox);
    auto* previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_preview);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    box->addButton(uiText("Exit", "Exit"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_description);
    layout->addWidget(previewBox);
    layout->addWidget(box);
    // Wide enough that the longest translated description leaves room for
    // the value editors beside it.
    int editors = 0;
    for (int i = 0; i < m_grid->topLevelItemCount(); ++i) {
        if (QWidget* editor = m_grid->itemWidget(m_grid->topLevelItem(i)->child(0), 1))
            editors = std::max(editors, editor->sizeHint().width());
    }
    const int frame = m_grid->frameWidth() * 2 + m_grid->verticalScrollBar()->sizeHint().width();
    const QMargins margins = layout->contentsMargins();
    const int needed = m_grid->columnWidth(0) + editors + frame + margins.left() + margins.right();
    resize(std::max(420, needed), 520);
}

void CMeasurementSettingDlg::addRow(const char* groupKey, const char* groupDefault, const char* key, const char* defaultText,
                                    QWidget* editor)
{
    auto* group = new QTreeWidgetItem(m_grid, {uiText(groupKey, groupDefault)});
    QFont bold = group->font(0);
    bold.setBold(true);
    group->setFont(0, bold);
    group->setFirstColumnSpanned(true);
    auto* item = new QTreeWidgetItem(group, {uiText(key, defaultText)});
    item->setToolTip(0, item->text(0));
    m_grid->setItemWidget(item, 1, editor);
}

QComboBox* CMeasurementSettingDlg::addList(Property id, const char* groupKey, const char* groupDefault, const char* key,
                                           const char* defaultText, const QStringList& choices, const QString& current)
{
    auto* list = new QComboBox;
    list->setObjectName(QString::number(id));
    list->addItems(choices);  // not editable: only these values
    list->setCurrentIndex(qMax(0, list->findText(current)));
    addRow(groupKey, groupDefault, key, defaultText, list);
    connect(list, &QComboBox::currentTextChanged, this, [this, id](const QString& text) { changed(id, text); });
    m_lists[id - Unit] = list;
    return list;
}

QComboBox* CMeasurementSettingDlg::list(Property id) const
{
    return id >= Unit && id <= LineWidth ? m_lists[id - Unit] : nullptr;
}

void CMeasurementSettingDlg::changed(Property id, const QString& text)
{
    switch (id) {
    case Unit: m_state.setUnit(text); break;
    case FontSize: m_state.fontSize = text.toInt(); break;
    case Decimals: m_state.decimals = text.toInt(); break;
    case LineWidth: m_state.lineWidth = text.toInt(); break;
    case Colour: break;
    }
    m_preview->update();
    Q_EMIT settingChanged(id);
}

}  // namespace measure
