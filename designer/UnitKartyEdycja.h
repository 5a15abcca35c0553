#pragma once
#include "designer/TFormEdycji.h"

class Object_Karta;

// The I/O board dialog.
class TFormKartyEdycja : public TFormEdycji {
    Q_OBJECT
public:
    explicit TFormKartyEdycja(QWidget* parent = nullptr);

    // Nothing is reset; the designer presets the bus before adding a board
    // to it.
    Object_Karta* Dodaj();
    bool Edytuj(int idKarty);

    // Start values.
    int IdRodzajKarty = 0;
    int IdMagistrali = 0;

    QComboBox* ComboBoxIdRodzajKarty = nullptr;
    QComboBox* ComboBoxIdMagistrali = nullptr;
    QLineEdit* EditAdres = nullptr;
    QLineEdit* EditNazwa = nullptr;

private:
    int Adres() const;
    int Magistrala() const;
    bool MagistralaObsluzyAdres() const;
    QString KomunikatAdresuMagistrali() const;
    void Wczytaj(const Object_Karta& karta);
    void Zapisz(Object_Karta& karta);
};

extern TFormKartyEdycja* FormKartyEdycja;
