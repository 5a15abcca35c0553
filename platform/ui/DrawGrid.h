#pragma once
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

namespace platform::ui {

class DrawGrid;

// The rows and columns of a DrawGrid; it holds no data, the grid's painter
// draws every cell straight from the live elements.
// Its in-place editor reads and writes through the grid's edit handlers.
class DrawGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DrawGridModel(DrawGrid& grid) : QAbstractTableModel(nullptr), grid_(grid) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : columns_; }
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void setSize(int rows, int columns);

private:
    DrawGrid& grid_;
    int rows_ = 0;
    int columns_ = 0;
};

// Hands every body cell to the grid's painter.
class DrawGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DrawGridDelegate(DrawGrid& grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // The in-place editor while one is open.
    QWidget* editor() const { return editor_; }

private:
    DrawGrid& grid_;
    mutable QPointer<QWidget> editor_;
};

// Paints the header row (row 0) with the grid's painter too, so one draw
// handler serves the whole grid as it always has.
class DrawGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit DrawGridHeader(DrawGrid& grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    DrawGrid& grid_;
};

// The owner-drawn grid of every list window: one fixed header row, rows
// counted with the header (so row r ≥ 1 shows element r − 1), columns that
// the cell painters widen to fit their texts, whole-row selection.
class DrawGrid : public QTableView {
    Q_OBJECT
public:
    // Paints the cell of column and row (0 = header) within cell.
    using CellPainter = std::function<void(QPainter& painter, int column, int row, const QRect& cell)>;

    explicit DrawGrid(QWidget* parent = nullptr);

    void setCellPainter(CellPainter painter) { painter_ = std::move(painter); }
    void paintCell(QPainter& painter, int column, int row, const QRect& cell) const;

    // With the header row; never below 2 (the header and one row). The
    // current row is kept when it still exists.
    void setRowCount(int rows);
    int rowCount() const { return model_.rowCount() + 1; }
    void setColumnCount(int columns);
    int columnCount() const { return model_.columnCount(); }
    // Leading columns that are not painted as selected.
    void setFixedColumnCount(int columns) { fixedColumns_ = columns; }
    int fixedColumnCount() const { return fixedColumns_; }

    // The current row, 1 .. rowCount() − 1; 0 when none.
    int row() const;
    void setRow(int row);

    // The cell rectangle of a body row in the viewport.
    QRect rowRect(int row) const;

    // In-place editing of body cells outside the fixed columns: the getter
    // gives the text the editor starts with, the setter takes what the
    // operator confirmed. Without handlers the grid is read-only.
    using EditTextGetter = std::function<QString(int column, int row)>;
    using EditTextSetter = std::function<void(int column, int row, const QString& text)>;
    void setEditHandlers(EditTextGetter getter, EditTextSetter setter);
    bool editable() const { return static_cast<bool>(getEditText_); }
    QString editText(int column, int row) const;
    void setEditText(int column, int row, const QString& text);
    bool editing() const { return state() == QAbstractItemView::EditingState && delegate_.editor() != nullptr; }
    QWidget* editor() const { return editing() ? delegate_.editor() : nullptr; }
    // Closes the open editor without the setter hearing of it.
    void cancelEdit();

signals:
    void headerClicked(int column);
    void cellDoubleClicked(int column, int row);
    void rowChanged(int row);

private:
    DrawGridModel model_;
    DrawGridDelegate delegate_;
    CellPainter painter_;
    EditTextGetter getEditText_;
    EditTextSetter setEditText_;
    int fixedColumns_ = 0;
};

} // namespace platform::ui
