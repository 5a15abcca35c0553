#pragma once
#include <cstdint>

#include "designer/TFormEdycji.h"

class Object_Enkoder;

// The intercom encoder dialog.
class TFormEnkoderyEdycja : public TFormEdycji {
    Q_OBJECT
public:
    explicit TFormEnkoderyEdycja(QWidget* parent = nullptr);

    // Nothing is reset.
    Object_Enkoder* Dodaj();
    bool Edytuj(int idEnkodera);

    // Start value.
    int IdCentraliZarvoGsm = 0;

    QLineEdit* EditNazwa = nullptr;
    QLineEdit* EditIp = nullptr;
    QLineEdit* EditPortOut = nullptr;
    QLineEdit* EditPortOutForwarded = nullptr;
    QLineEdit* EditPortIn = nullptr;
    QLineEdit* EditPortInForwarded = nullptr;
    QComboBox* ComboBoxIdCentraliZarvoGsm = nullptr;

private:
    int Centrala() const;
    std::uint32_t Ip() const;
    void Wczytaj(const Object_Enkoder& enkoder);
    void Zapisz(Object_Enkoder& enkoder);
};

extern TFormEnkoderyEdycja* FormEnkoderyEdycja;
