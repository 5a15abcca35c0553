#pragma once
#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

#include "designer/KolumnyListy.h"

class Object;
class Objects;
class QPushButton;

namespace platform::ui {
class DrawGrid;
}

// A two-list picker: the chosen entries beside the ones still available,
// moved between them with "<" and ">". Both lists borrow the elements of
// the source container; nothing is destroyed here.
class TFormDwieListy : public QDialog {
    Q_OBJECT
public:
    TFormDwieListy(QWidget* owner, std::function<Objects*()> zrodlo, std::vector<KolumnaListy> kolumny);
    ~TFormDwieListy() override;

    // Shows the caller's list as the chosen entries; true on OK, the
    // caller's list then holding the choice. Cancel leaves it as it was.
    bool Wybierz(Objects& lista);

    platform::ui::DrawGrid* DrawGridWybrane = nullptr;
    platform::ui::DrawGrid* DrawGridDostepne = nullptr;
    QPushButton* ButtonDodaj = nullptr; // "<"
    QPushButton* ButtonUsun = nullptr;  // ">"
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonAnuluj = nullptr;
    // Whether the cursor of the receiving list moves to the entry moved.
    bool KursorZaWpisem = false;

    void ButtonDodajClick();
    void ButtonUsunClick();

protected:
    // Escape does not close it: only the buttons and the frame do.
    void keyPressEvent(QKeyEvent* zdarzenie) override;

private:
    void Przenies(platform::ui::DrawGrid& z, Objects& skad, platform::ui::DrawGrid& do_, Objects& dokad);

    std::function<Objects*()> zrodlo_;
    std::unique_ptr<Objects> wybrane_;
    std::unique_ptr<Objects> dostepne_;
};
