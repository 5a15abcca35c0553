#include "platform/ui/RysowanieSiatki.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringList>

#include "platform/ui/DrawGrid.h"

namespace platform::ui {

void UstawLiczbeWierszy(DrawGrid& siatka, int liczba) {
    siatka.setRowCount(liczba >= 1 ? liczba + 1 : 2);
    siatka.viewport()->update();
}

void UstawWierszBiezacy(DrawGrid& siatka, int liczba, int indeks) {
    UstawLiczbeWierszy(siatka, liczba);
    int wiersz = indeks < 0 ? 1 : indeks + 1;
    if (wiersz > siatka.rowCount() - 1)
        wiersz = siatka.rowCount() - 1;
    siatka.setRow(wiersz);
    siatka.viewport()->update();
}

int PrzesuniecieTekstu(int szerokoscKomorki, int szerokoscTekstu, int wyrownanie) {
    int x = 2;
    if (wyrownanie == DoPrawej)
        x = szerokoscKomorki - szerokoscTekstu - 2;
    else if (wyrownanie == DoSrodka)
        x = szerokoscKomorki / 2 - szerokoscTekstu / 2;
    return x < 0 ? 2 : x;
}

void RysujTekstKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, const QString& tekst,
                       int kolumna, int wyrownanie) {
    const int w = painter.fontMetrics().horizontalAdvance(tekst);
    const int x = PrzesuniecieTekstu(komorka.width(), w, wyrownanie);
    painter.save();
    painter.setClipRect(komorka);
    const QRect miejsce(komorka.left() + x, komorka.top() + 2, w + 1, komorka.height() - 2);
    painter.drawText(miejsce, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, tekst);
    painter.restore();
    if (kolumna >= 0 && kolumna < siatka.columnCount() && siatka.columnWidth(kolumna) < w + 6)
        siatka.setColumnWidth(kolumna, w + 6);
}

void RysujTekstKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, std::string_view tekst,
                       int kolumna, int wyrownanie) {
    RysujTekstKomorki(siatka, painter, komorka,
                      QString::fromUtf8(tekst.data(), static_cast<qsizetype>(tekst.size())), kolumna, wyrownanie);
}

QString TekstDatyCzasu(const QDateTime& data) {
    return data.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

void RysujDateKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, const QDateTime& data,
                      int kolumna, int wyrownanie) {
    RysujTekstKomorki(siatka, painter, komorka, TekstDatyCzasu(data), kolumna, wyrownanie);
}

void RysujLiczbeKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, int liczba, int kolumna,
                        int wyrownanie) {
    RysujTekstKomorki(siatka, painter, komorka, QString::number(liczba), kolumna, wyrownanie);
}

void RysujTakNieKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, bool wartosc, int kolumna,
                        int wyrownanie) {
    RysujTekstKomorki(siatka, painter, komorka, wartosc ? QStringLiteral("Tak") : QStringLiteral("Nie"), kolumna,
                      wyrownanie);
}

void OdswiezWierszSiatki(DrawGrid& siatka, int wiersz) {
    if (wiersz == 0)
        siatka.horizontalHeader()->viewport()->update();
    else if (const QRect obszar = siatka.rowRect(wiersz); obszar.isValid())
        siatka.viewport()->update(obszar);
}

void RysujTloZaznaczenia(DrawGrid& siatka, QPainter& painter, int kolumna, int wiersz, const QRect& komorka) {
    if (wiersz != siatka.row() || wiersz == 0 || kolumna < siatka.fixedColumnCount())
        return;
    const QPalette::ColorGroup grupa = siatka.hasFocus() ? QPalette::Active : QPalette::Inactive;
    painter.fillRect(komorka, siatka.palette().color(grupa, QPalette::Highlight));
}

void ObsluzKlawiszSiatki(DrawGrid& siatka, int& klawisz, Qt::KeyboardModifiers modyfikatory) {
    const auto blokujace = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (klawisz == Qt::Key_Escape && !(modyfikatory & blokujace) && siatka.editing()) {
        ZamknijEdytorSiatki(siatka);
        klawisz = 0;
    }
}

void ZamknijEdytorSiatki(DrawGrid& siatka) {
    siatka.cancelEdit();
}

void UsunPusteLinie(QPlainTextEdit& memo) {
    QStringList linie = memo.toPlainText().split('\n');
    for (qsizetype i = linie.size() - 1; i >= 0; --i)
        if (linie[i].trimmed().isEmpty())
            linie.removeAt(i);
    memo.setPlainText(linie.join('\n'));
}

} // namespace platform::ui
