#pragma once
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "designer/KolumnyListy.h"

class Object;
class Objects;
class QWidget;

namespace platform::db {
class Table;
}
namespace platform::ui {
class DrawGrid;
}

// A reference check before a deletion: a query counting the rows that
// point at the element (its id in the parameter :Id); any row shows the
// warning and nothing is deleted.
struct SprawdzenieOdwolan {
    std::string sql;
    QString ostrzezenie;
};

// What makes one list window: its container and columns, the dialog it adds
// and edits with, and how a deletion is guarded and asked for.
struct OpisListy {
    std::function<Objects*()> kontener;
    std::vector<KolumnaListy> kolumny;
    std::function<platform::db::Table&()> tabela;
    const char* klucz = nullptr;
    std::function<Object*()> dodaj;
    std::function<bool(int id)> edytuj;
    std::vector<SprawdzenieOdwolan> odwolania;
    // The whole question, "Czy na pewno usunąć ..." as the window words it.
    std::function<QString(const Object&)> pytanie;
};

// The behaviour every list window shares over its grid: sorting by a header
// click, a double click on a data cell editing its element, and the Add,
// Edit and Delete buttons.
class ListaElementow : public QObject {
    Q_OBJECT
public:
    ListaElementow(platform::ui::DrawGrid& siatka, OpisListy opis);

    void Dodaj();
    void Edytuj();
    void Usun();
    // A new row count and a repaint.
    void Odswiez();

    void KliknietoNaglowek(int kolumna);
    void PodwojneKlikniecie(int kolumna, int wiersz);

private:
    Object* Biezacy() const;
    bool WolnoUsunac(const Object& element);

    platform::ui::DrawGrid& siatka_;
    OpisListy opis_;
};
