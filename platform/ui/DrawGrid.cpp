#include "platform/ui/DrawGrid.h"

#include <QPainter>

#include <algorithm>

namespace platform::ui {

void DrawGridModel::setSize(int rows, int columns) {
    if (rows == rows_ && columns == columns_)
        return;
    beginResetModel();
    rows_ = std::max(rows, 0);
    columns_ = std::max(columns, 0);
    endResetModel();
}

QVariant DrawGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::EditRole || !index.isValid())
        return {};
    return grid_.editText(index.column(), index.row() + 1);
}

bool DrawGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !grid_.editable())
        return false;
    grid_.setEditText(index.column(), index.row() + 1, value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DrawGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (grid_.editable() && index.column() >= grid_.fixedColumnCount())
        flags |= Qt::ItemIsEditable;
    return flags;
}

DrawGridDelegate::DrawGridDelegate(DrawGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

void DrawGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->save();
    // The view has already painted its own selection; the cell painters
    // decide what a selected cell looks like.
    painter->fillRect(option.rect, option.palette.color(QPalette::Base));
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Text));
    grid_.paintCell(*painter, index.column(), index.row() + 1, option.rect);
    painter->restore();
}

QWidget* DrawGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    editor_ = QStyledItemDelegate::createEditor(parent, option, index);
    return editor_;
}

DrawGridHeader::DrawGridHeader(DrawGrid& grid) : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {
    setSectionsClickable(true);
    setHighlightSections(false);
}

void DrawGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(palette().color(QPalette::ButtonText));
    grid_.paintCell(*painter, logicalIndex, 0, rect);
    painter->restore();
}

DrawGrid::DrawGrid(QWidget* parent) : QTableView(parent), model_(*this), delegate_(*this) {
    model_.setSize(1, 1);
    setModel(&model_);
    setItemDelegate(&delegate_);
    setHorizontalHeader(new DrawGridHeader(*this));
    horizontalHeader()->setMinimumSectionSize(8);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DrawGrid::headerClicked);
    connect(this, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { emit cellDoubleClicked(index.column(), index.row() + 1); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { emit rowChanged(current.isValid() ? current.row() + 1 : 0); });
}

void DrawGrid::paintCell(QPainter& painter, int column, int row, const QRect& cell) const {
    if (painter_)
        painter_(painter, column, row, cell);
}

void DrawGrid::setRowCount(int rows) {
    const int current = row();
    model_.setSize(std::max(rows, 2) - 1, model_.columnCount());
    // A reset of the model forgets the current row; the same element stays
    // current when it is still there.
    if (current > 0)
        setRow(std::min(current, rowCount() - 1));
    viewport()->update();
}

void DrawGrid::setColumnCount(int columns) {
    const int current = row();
    model_.setSize(model_.rowCount(), columns);
    if (current > 0)
        setRow(std::min(current, rowCount() - 1));
}

int DrawGrid::row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void DrawGrid::setRow(int row) {
    if (row < 1 || row >= rowCount() || model_.columnCount() == 0)
        return;
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(model_.index(row - 1, column));
}

void DrawGrid::setEditHandlers(EditTextGetter getter, EditTextSetter setter) {
    getEditText_ = std::move(getter);
    setEditText_ = std::move(setter);
    setEditTriggers(editable() ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed
                               : QAbstractItemView::NoEditTriggers);
}

QString DrawGrid::editText(int column, int row) const {
    return getEditText_ ? getEditText_(column, row) : QString();
}

void DrawGrid::setEditText(int column, int row, const QString& text) {
    if (setEditText_)
        setEditText_(column, row, text);
}

void DrawGrid::cancelEdit() {
    if (QWidget* editor = delegate_.editor(); editor != nullptr && state() == QAbstractItemView::EditingState)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

QRect DrawGrid::rowRect(int row) const {
    if (row < 1 || row >= rowCount() || model_.columnCount() == 0)
        return {};
    const QRect first = visualRect(model_.index(row - 1, 0));
    return QRect(0, first.top(), viewport()->width(), first.height());
}

} // namespace platform::ui
