#include "mainwindow/grid/PropertyGridPanel.h"

#include "execution/smart/frmSmart.h"
#include "mainwindow/grid/GridChoices.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "mainwindow/grid/cboEdit.h"
#include "mainwindow/grid/frmCustom.h"
#include "mainwindow/grid/sGrid.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

PropertyGridPanel::PropertyGridPanel(PropertyGridModel &cells, QWidget *parent)
    : QWidget(parent)
    , m_cells(cells)
    , m_entry(cells)
    , m_grid(new sGrid(cells, this))
    , m_chooser(new cboEdit(this))
{
    m_chooser->hide();
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setAccessibleName(QStringLiteral("Properties Grid"));
    connect(m_grid, &sGrid::GridEditRequest, this, &PropertyGridPanel::sGrid_GridEditRequest);
    connect(m_grid, &sGrid::GridSelectionChange, this, &PropertyGridPanel::sGrid_GridSelectionChange);
    connect(m_grid, &sGrid::GridKeyPress, this, &PropertyGridPanel::sGrid_GridKeyPress);
    connect(m_grid, &sGrid::GridScroll, this, &PropertyGridPanel::sGrid_GridScroll);
    connect(m_chooser, &QComboBox::activated, this, &PropertyGridPanel::cboEdit_Click);
    connect(m_chooser, &cboEdit::FocusLost, this, &PropertyGridPanel::cboEdit_LostFocus);
    connect(&m_cells, &PropertyGridModel::cellsChanged, m_grid, &sGrid::RefreshGrid);
}

PropertyGridPanel::~PropertyGridPanel() = default;

void PropertyGridPanel::Load()
{
    m_grid->AddGridColumn(QStringLiteral("Property"), QStringLiteral("Property"));
    m_grid->AddGridColumn(QStringLiteral("Value"), QStringLiteral("Value"));
    fillCells();
    SetGridSizes();
}

void PropertyGridPanel::fillCells()
{
    const QPalette pal = palette();
    const QColor headingBack = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor headingText = pal.color(QPalette::Active, QPalette::HighlightedText);
    for (int row = 1; row <= PropertyGridModel::kRowCount; ++row) {
        const bool heading = row == PropertyGridModel::ProgramHeading || row == PropertyGridModel::ExecutionHeading;
        for (int column = 1; column <= 2; ++column) {
            const QString text = m_cells.CellText(row, column);
            if (heading)
                m_grid->SetGridCell(row, column, text, sGrid::kSingleLineEllipsis, -1, headingBack, headingText);
            else
                m_grid->SetGridCell(row, column, text);
        }
    }
}

void PropertyGridPanel::SetGridSizes(int gridWidthTwips)
{
    const double twipsPerPixelX = 1440.0 / logicalDpiX();
    const int property = qRound(gridWidthTwips * 2.0 / 3.0 / twipsPerPixelX);
    const int value = qRound(gridWidthTwips * 1.0 / 3.0 / twipsPerPixelX - 5);
    const int frame = qRound(gridWidthTwips / twipsPerPixelX) - property - value;
    // A row is at least as high as the chooser laid over it, which keeps the
    // height of a drop-down list in the grid's font.
    m_chooser->setFont(m_grid->font());
    m_grid->verticalHeader()->setDefaultSectionSize(
        qMax(QFontMetrics(m_grid->font()).height() + 4, m_chooser->sizeHint().height()));
    const int height = m_grid->GridRowHeight(1) * 13;
    // Every row in view, so that the column hints below see all of them.
    m_grid->resize(m_grid->width(), height);
    // The designed widths are the least: names and choices are never cut in
    // the font in use.
    const QAbstractItemView *view = m_grid;
    const int propertyWidth = std::max(property, view->sizeHintForColumn(0));
    const int valueWidth = std::max({value, view->sizeHintForColumn(1), chooserWidth()});
    m_grid->SetGridColumnWidth(QStringLiteral("Property"), propertyWidth);
    m_grid->SetGridColumnWidth(QStringLiteral("Value"), valueWidth);
    const int width = propertyWidth + valueWidth + frame;
    m_grid->setGeometry(0, 0, width, height);
    // As wide as the columns; as high as the rows where the screen has the
    // room, otherwise lower: the grid scrolls and the buttons below stay in view.
    m_fullHeight = height;
    setFixedWidth(width);
    setMinimumHeight(qMin(height, m_grid->GridRowHeight(1) * 4));
    updateGeometry();
}

QSize PropertyGridPanel::sizeHint() const
{
    return {width(), m_fullHeight};
}

void PropertyGridPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_grid->resize(size());
    m_chooser->hide();
}

int PropertyGridPanel::chooserWidth() const
{
    // The chooser takes the cell's width and font; its widest choice must show whole.
    const QFontMetrics fm(m_grid->font());
    int text = 0;
    for (int row = 1; row <= PropertyGridModel::kRowCount; ++row) {
        for (const QString &choice : GridChoices::ForRow(row))
            text = qMax(text, fm.horizontalAdvance(choice));
    }
    QStyleOptionComboBox option;
    option.initFrom(m_chooser);
    option.frame = m_chooser->hasFrame();
    return m_chooser->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, fm.height()), m_chooser)
        .width();
}

void PropertyGridPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A run locks the grid: an edit that was open is abandoned, nothing applied.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        m_chooser->hide();
    // The headings take the new palette's title bar colours.
    if (event->type() == QEvent::PaletteChange && m_grid->model()->columnCount() > 0)
        fillCells();
}

void PropertyGridPanel::SetDialogOwner(QWidget *owner, QWidget *sidePanel)
{
    m_owner = owner;
    m_sidePanel = sidePanel;
}

QWidget *PropertyGridPanel::owner() const
{
    return m_owner ? m_owner.data() : window();
}

void PropertyGridPanel::sGrid_GridEditRequest(int row, int column, int key, bool *cancel)
{
    const GridValueEntry::EditResponse response = m_entry.GridEditRequest(row, column, key);
    if (response.cancel && cancel)
        *cancel = true;
    if (!response.show)
        return;
    Reported(QStringLiteral("0049"), [&] {
        const QRect cell = m_grid->GridCellRect(row, column);
        const QString current = m_grid->GridCellDisplayText(row, column);
        m_chooser->clear();
        m_chooser->addItems(response.entries);
        ShowValueChooser(current, row, column, cell.left(), cell.top(), cell.width());
    });
}

void PropertyGridPanel::ShowValueChooser(const QString &current, int row, int column, int left, int top, int width)
{
    Reported(QStringLiteral("0050"), [&] {
        QStringList entries;
        for (int i = 0; i < m_chooser->count(); ++i)
            entries << m_chooser->itemText(i);
        m_chooser->setCurrentIndex(GridChoices::SelectionIndex(entries, current));

        m_chooser->setFont(m_grid->GridCellFont(row, column));
        const qint64 own = m_grid->GridCellBackColor(row, column);
        const QColor back = own < 0 ? m_grid->GridBackColor() : QColor::fromRgb(QRgb(own));
        QPalette pal = m_chooser->palette();
        pal.setColor(QPalette::Base, back);
        pal.setColor(QPalette::Button, back);
        m_chooser->setPalette(pal);

        m_chooser->setGeometry(left, top, width, m_chooser->sizeHint().height());
        m_chooser->SetTag(QString::number(row));
        m_chooser->setAccessibleName(m_cells.CellText(row, 1));
        m_chooser->show();
        m_chooser->raise();
        m_chooser->setFocus(Qt::OtherFocusReason);
    });
}

void PropertyGridPanel::sGrid_GridSelectionChange(int row, int column)
{
    m_entry.GridSelectionChange(row, column);
}

void PropertyGridPanel::sGrid_GridKeyPress(int *key)
{
    if (key && *key == sGrid::kKeyEnter)
        *key = 0;
}

void PropertyGridPanel::sGrid_GridScroll()
{
    m_chooser->hide();
}

void PropertyGridPanel::cboEdit_Click(int index)
{
    if (!m_chooser->isVisible() || index < 0)
        return;
    const int row = m_chooser->Tag().toInt();
    const QString entry = m_chooser->itemText(index);
    const GridValueEntry::Next next = m_entry.ChoicePicked(row, entry);
    m_grid->RefreshGrid();
    switch (next) {
    case GridValueEntry::Next::Nothing:
        break;
    case GridValueEntry::Next::Custom:
        showCustomDialog(row);
        finishChoice();
        break;
    case GridValueEntry::Next::Wizard:
        showSmartCalculator();
        break;
    case GridValueEntry::Next::Done:
        finishChoice();
        break;
    }
}

void PropertyGridPanel::finishChoice()
{
    m_chooser->hide();
    m_grid->setFocus(Qt::OtherFocusReason);
}

void PropertyGridPanel::showCustomDialog(int row)
{
    frmCustom dialog(m_entry, owner());
    dialog.Prepare(row, m_entry.CustomPrompt(row), m_entry.GridCellValue()[0]);
    const QWidget *panel = m_sidePanel ? m_sidePanel.data() : parentWidget();
    const int panelTop = panel && panel != owner() ? panel->mapTo(owner(), QPoint(0, 0)).y() : 0;
    dialog.Place(owner()->frameGeometry(), panelTop);
    m_dialog = &dialog;
    dialog.exec();
    m_dialog = nullptr;
    m_grid->RefreshGrid();
}

void PropertyGridPanel::showSmartCalculator()
{
    frmSmart dialog(m_cells.Properties(), m_entry.GridCellValue()[0], owner());
    m_dialog = &dialog;
    dialog.exec();
    m_dialog = nullptr;
    m_grid->RefreshGrid();
}

void PropertyGridPanel::cboEdit_LostFocus()
{
    Reported(QStringLiteral("0001"), [&] {
        m_chooser->hide();
        m_grid->EndGridEdit();
        if (!m_dialog)
            m_grid->setFocus(Qt::OtherFocusReason);
    });
}
