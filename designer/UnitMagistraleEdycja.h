#pragma once
#include "designer/TFormEdycji.h"

class Object_Magistrala;

// The serial I/O bus dialog.
class TFormMagistraleEdycja : public TFormEdycji {
    Q_OBJECT
public:
    explicit TFormMagistraleEdycja(QWidget* parent = nullptr);

    // Nothing is reset: an add starts from what the dialog showed last.
    Object_Magistrala* Dodaj();
    bool Edytuj(int idMagistrali);

    QLineEdit* EditCom = nullptr;
    QComboBox* ComboBoxWersjaMagistrali = nullptr;
    QComboBox* ComboBoxPredkoscMagistrali = nullptr;
    QLineEdit* EditNazwa = nullptr;

private:
    int Com() const;
    int Predkosc() const;
    void Wczytaj(const Object_Magistrala& magistrala);
};

extern TFormMagistraleEdycja* FormMagistraleEdycja;
