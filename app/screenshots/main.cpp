// Renders the desk's windows offscreen into PNG files, for people to look
// at (scripts/screenshots):
//   kandor_screenshots FOLDER
#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>

#include "app/UnitBackupRestore.h"
#include "app/UnitOptions.h"
#include "platform/ui/DrawGrid.h"
#include "platform/ui/Kolory.h"
#include "platform/ui/RysowanieSiatki.h"

namespace ui = platform::ui;

namespace {

bool Save(QWidget& window, const QDir& folder, const QString& name) {
    if (window.layout() != nullptr)
        window.layout()->activate();
    // The first rendering lets the cell painters widen their columns.
    window.grab();
    QApplication::processEvents();
    const QString file = folder.filePath(name + ".png");
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder.path()))
        return 1;
    bool ok = true;

    TFormOptions options;
    options.resize(560, 460);
    for (int tab = 0; tab < options.PageControl->count(); ++tab) {
        options.PageControl->setCurrentIndex(tab);
        ok &= Save(options, folder, QStringLiteral("FormOptions-%1").arg(tab + 1));
    }

    // The log as a finished backup leaves it; the window is not shown, so
    // no tool runs.
    TFormBackupRestore backup;
    backup.Memo->setPlainText(QStringLiteral("pg_dump: last built-in OID is 16383\n"
                                             "pg_dump: reading extensions\n"
                                             "pg_dump: saving encoding = UTF8\n"
                                             "pg_dump: dumping contents of table \"public.bramy\"\n\n"
                                             "Proces zwrócił rezultat 0\nSukces"));
    ok &= Save(backup, folder, QStringLiteral("FormBackupRestore"));

    // A list grid as every list window paints it, with coloured tiles.
    ui::DrawGrid grid;
    grid.resize(420, 180);
    grid.setColumnCount(3);
    grid.setFixedColumnCount(1);
    const QStringList names = {"Brama wjazdowa", "Szlaban garaż", "Furtka"};
    grid.setCellPainter([&](QPainter& painter, int column, int row, const QRect& cell) {
        ui::RysujTloZaznaczenia(grid, painter, column, row, cell);
        if (row == 0) {
            static const char* const headers[] = {"Id", "Nazwa", "Aktywna"};
            ui::RysujTekstKomorki(grid, painter, cell, QString::fromUtf8(headers[column]), column, ui::DoSrodka);
        } else if (column == 0) {
            ui::RysujKafelek(painter, cell.adjusted(2, 2, -2, -2), false, 0x0040A040, row == 2 ? 1 : 0);
            ui::RysujLiczbeKomorki(grid, painter, cell, row, column, ui::DoPrawej);
        } else if (column == 1) {
            ui::RysujTekstKomorki(grid, painter, cell, names[row - 1], column, ui::DoLewej);
        } else {
            ui::RysujTakNieKomorki(grid, painter, cell, row != 2, column, ui::DoSrodka);
        }
    });
    ui::UstawWierszBiezacy(grid, names.size(), 1);
    grid.show();
    ok &= Save(grid, folder, QStringLiteral("DrawGrid"));
    return ok ? 0 : 1;
}
