#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

#include <tuple>

#include <set>
#include <utility>

#include "platform/ui/DrawGrid.h"
#include "platform/ui/RysowanieSiatki.h"
#include "tests/support/QtTestApplication.h"

using namespace platform::ui;

namespace {

class DrawGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.resize(400, 300);
        grid.setColumnCount(3);
    }

    void Click(QWidget* target, QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    bool application = (TestApplication(), true); // before the first widget
    DrawGrid grid;
};

} // namespace

TEST_F(DrawGridTest, RowCountKeepsAHeaderAndOneRow) {
    const std::pair<int, int> cases[] = {{0, 2}, {-3, 2}, {1, 2}, {5, 6}};
    for (const auto& [count, rows] : cases) {
        SCOPED_TRACE(count);
        UstawLiczbeWierszy(grid, count);
        EXPECT_EQ(grid.rowCount(), rows);
    }
}

TEST_F(DrawGridTest, CurrentRowIsClampedAndKeptAcrossRecounts) {
    UstawWierszBiezacy(grid, 5, 2);
    EXPECT_EQ(grid.row(), 3);
    UstawWierszBiezacy(grid, 5, -1);
    EXPECT_EQ(grid.row(), 1);
    UstawWierszBiezacy(grid, 5, 40);
    EXPECT_EQ(grid.row(), 5);
    UstawLiczbeWierszy(grid, 8);
    EXPECT_EQ(grid.row(), 5) << "a refresh keeps the current element";
    UstawLiczbeWierszy(grid, 2);
    EXPECT_EQ(grid.row(), 2) << "the last row when the current one is gone";
}

TEST(RysujTekstKomorki, OffsetByAlignment) {
    struct Case {
        const char* name;
        int cell, text, alignment, offset;
    };
    const Case cases[] = {
        {"left", 100, 30, DoLewej, 2},        {"right", 100, 30, DoPrawej, 68},
        {"centre", 100, 30, DoSrodka, 35},    {"centre rounds halves down", 101, 31, DoSrodka, 35},
        {"right, too wide", 20, 30, DoPrawej, 2}, {"centre, too wide", 20, 30, DoSrodka, 2},
        {"unknown alignment is left", 100, 30, 7, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrzesuniecieTekstu(c.cell, c.text, c.alignment), c.offset);
    }
}

TEST_F(DrawGridTest, PaintersWidenTheirColumnButColumnMinusOneWidensNothing) {
    const QString text = QStringLiteral("Bardzo długi tekst komórki siatki");
    grid.setColumnWidth(0, 10);
    grid.setColumnWidth(1, 10);
    QImage image(400, 100, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setFont(grid.font());
    const int width = painter.fontMetrics().horizontalAdvance(text);
    RysujTekstKomorki(grid, painter, QRect(0, 0, 10, 20), text, 0, DoPrawej);
    RysujTekstKomorki(grid, painter, QRect(0, 0, 10, 20), text, -1, DoPrawej);
    EXPECT_EQ(grid.columnWidth(0), width + 6);
    EXPECT_EQ(grid.columnWidth(1), 10);
    RysujTekstKomorki(grid, painter, QRect(0, 0, 10, 20), QStringLiteral("x"), 0, DoLewej);
    EXPECT_EQ(grid.columnWidth(0), width + 6) << "never narrowed";
}

TEST_F(DrawGridTest, OnePainterDrawsHeaderAndRowsAndTheSelection) {
    std::set<std::pair<int, int>> painted;
    grid.setCellPainter([&](QPainter& painter, int column, int row, const QRect& cell) {
        painted.insert({column, row});
        RysujTloZaznaczenia(grid, painter, column, row, cell);
        if (row == 0)
            RysujTekstKomorki(grid, painter, cell, QStringLiteral("Nazwa"), column, DoLewej);
        else
            RysujTakNieKomorki(grid, painter, cell, row % 2 == 0, column, DoLewej);
    });
    grid.setFixedColumnCount(1);
    UstawWierszBiezacy(grid, 3, 1);
    grid.show();
    const QImage image = grid.grab().toImage();

    for (int column = 0; column < 3; ++column)
        for (int row = 0; row <= 3; ++row)
            EXPECT_TRUE(painted.count({column, row})) << column << "," << row;

    const QColor selection = grid.palette().color(QPalette::Inactive, QPalette::Highlight);
    const QRect selected = grid.visualRect(grid.model()->index(1, 1)).translated(grid.viewport()->pos());
    const QRect fixed = grid.visualRect(grid.model()->index(1, 0)).translated(grid.viewport()->pos());
    EXPECT_EQ(image.pixelColor(selected.right() - 2, selected.bottom() - 2), selection);
    EXPECT_NE(image.pixelColor(fixed.right() - 2, fixed.bottom() - 2), selection) << "a fixed column stays plain";
}

TEST_F(DrawGridTest, ReportsHeaderClicksAndDoubleClicksWithGridRows) {
    UstawLiczbeWierszy(grid, 4);
    grid.show();
    std::vector<int> headers;
    std::vector<std::pair<int, int>> doubles;
    QObject::connect(&grid, &DrawGrid::headerClicked, [&](int column) { headers.push_back(column); });
    QObject::connect(&grid, &DrawGrid::cellDoubleClicked,
                     [&](int column, int row) { doubles.push_back({column, row}); });

    QHeaderView* header = grid.horizontalHeader();
    const QPoint onSecond(header->sectionViewportPosition(1) + 5, header->height() / 2);
    Click(header->viewport(), QEvent::MouseButtonPress, onSecond);
    Click(header->viewport(), QEvent::MouseButtonRelease, onSecond);
    EXPECT_EQ(headers, std::vector<int>{1});

    const QPoint cell = grid.visualRect(grid.model()->index(2, 2)).center();
    Click(grid.viewport(), QEvent::MouseButtonPress, cell);
    Click(grid.viewport(), QEvent::MouseButtonRelease, cell);
    Click(grid.viewport(), QEvent::MouseButtonDblClick, cell);
    EXPECT_EQ(doubles, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(grid.row(), 3);
}

TEST_F(DrawGridTest, CancelledEditIsNotWrittenBackConfirmedOneIs) {
    UstawLiczbeWierszy(grid, 3);
    grid.setFixedColumnCount(1);
    std::vector<std::tuple<int, int, QString>> written;
    grid.setEditHandlers([](int column, int row) { return QStringLiteral("k%1w%2").arg(column).arg(row); },
                         [&](int column, int row, const QString& text) { written.emplace_back(column, row, text); });
    grid.show();
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable) << "fixed column";

    const QModelIndex cell = grid.model()->index(1, 2);
    grid.edit(cell);
    ASSERT_TRUE(grid.editing());
    auto* editor = qobject_cast<QLineEdit*>(grid.editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "k2w2");
    editor->setText("porzucony");

    int key = Qt::Key_Escape;
    ObsluzKlawiszSiatki(grid, key, Qt::ShiftModifier);
    EXPECT_EQ(key, Qt::Key_Escape) << "with Shift the key is left alone";
    EXPECT_TRUE(grid.editing());
    ObsluzKlawiszSiatki(grid, key, Qt::NoModifier);
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(grid.editing());
    EXPECT_TRUE(written.empty());

    grid.edit(cell);
    editor = qobject_cast<QLineEdit*>(grid.editor());
    ASSERT_NE(editor, nullptr);
    editor->setText("nowy");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents(); // the delegate commits from the event loop
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], std::make_tuple(2, 2, QString("nowy")));
}

TEST(UsunPusteLinie, DropsBlankLinesOnly) {
    TestApplication();
    QPlainTextEdit memo;
    memo.setPlainText("  \nAB12\n\t\n 12 \n\n");
    UsunPusteLinie(memo);
    EXPECT_EQ(memo.toPlainText(), "AB12\n 12 ");
}
