#pragma once
#include <QDateTime>
#include <QRect>
#include <QString>

#include <string_view>

class QPainter;
class QPlainTextEdit;

namespace platform::ui {

class DrawGrid;

// Alignment of a cell's text, in the values the windows have always passed.
enum Wyrownanie : int { DoSrodka = 0, DoPrawej = 1, DoLewej = 2 };

// Row count = count + 1 for count ≥ 1, else 2 (header and one empty row).
void UstawLiczbeWierszy(DrawGrid& siatka, int liczba);
// The count as above, then row index + 1 current (row 1 for a negative
// index), at most the last row.
void UstawWierszBiezacy(DrawGrid& siatka, int liczba, int indeks);

// Paints the text in the cell 2 pixels in from its left or right edge, or
// centred, and widens the column to the text's width + 6 when it is
// narrower; column −1 widens nothing.
void RysujTekstKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, const QString& tekst,
                       int kolumna, int wyrownanie);
void RysujTekstKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, std::string_view tekst,
                       int kolumna, int wyrownanie);
void RysujDateKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, const QDateTime& data,
                      int kolumna, int wyrownanie);
void RysujLiczbeKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, int liczba, int kolumna,
                        int wyrownanie);
void RysujTakNieKomorki(DrawGrid& siatka, QPainter& painter, const QRect& komorka, bool wartosc, int kolumna,
                        int wyrownanie);
// "yyyy-mm-dd hh:nn:ss.zzz"
QString TekstDatyCzasu(const QDateTime& data);

// The x offset of a text of width w in a cell of the given width.
int PrzesuniecieTekstu(int szerokoscKomorki, int szerokoscTekstu, int wyrownanie);

// Repaints the whole row (0 = the header).
void OdswiezWierszSiatki(DrawGrid& siatka, int wiersz);
// The selection background of the current row's body cells: the active
// highlight while the grid has the focus, the inactive one otherwise.
void RysujTloZaznaczenia(DrawGrid& siatka, QPainter& painter, int kolumna, int wiersz, const QRect& komorka);

// Escape without Shift, Ctrl or Alt while the in-place editor is open
// closes it unwritten and swallows the key (key becomes 0).
void ObsluzKlawiszSiatki(DrawGrid& siatka, int& klawisz, Qt::KeyboardModifiers modyfikatory);
// Closes the in-place editor so that the cancelled text is not written back.
void ZamknijEdytorSiatki(DrawGrid& siatka);

// Deletes, last line first, every line that is empty after trimming.
void UsunPusteLinie(QPlainTextEdit& memo);

} // namespace platform::ui
