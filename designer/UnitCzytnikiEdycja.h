#pragma once
#include "designer/TFormEdycji.h"

class Object_Czytnik;

// The identifier reader dialog.
class TFormCzytnikiEdycja : public TFormEdycji {
    Q_OBJECT
public:
    explicit TFormCzytnikiEdycja(QWidget* parent = nullptr);

    // Nothing is reset.
    Object_Czytnik* Dodaj();
    bool Edytuj(int idCzytnika);

    // Start value.
    int IdKarty = 0;

    QLineEdit* EditNazwa = nullptr;
    QComboBox* ComboBoxIdKarty = nullptr;
    QLineEdit* EditCzytnik = nullptr;

private:
    int Karta() const;
    int Czytnik() const;
};

extern TFormCzytnikiEdycja* FormCzytnikiEdycja;
