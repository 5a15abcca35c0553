#pragma once
#include <QDialog>
#include <QString>

#include "designer/EdycjaElementu.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

// The window every editing dialog shares: its labelled controls in tab
// order above "OK" (the default button) and "Anuluj". The dialog's class
// adds its controls and describes itself to Edycja; the flow is Edycja's.
class TFormEdycji : public QDialog {
    Q_OBJECT
public:
    explicit TFormEdycji(QWidget* parent = nullptr);

    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    void ButtonOkClick() { Edycja.Zatwierdz(); }

protected:
    void showEvent(QShowEvent* event) override;
    // Fills the combo boxes, selects their start values, sets the focus.
    void FormShow() { Edycja.Pokazany(); }
    void keyPressEvent(QKeyEvent* event) override;
    void FormKeyDown(int klawisz);

    void DodajWiersz(const QString& etykieta, QWidget* kontrolka);
    QLineEdit* PoleTekstu(const char* nazwa, const QString& tekst, int maksimum);
    // Takes digits only (the field's ES_NUMBER).
    QLineEdit* EdycjaCyfr(const char* nazwa, const QString& tekst, int maksimum = 0);
    QComboBox* Lista(const char* nazwa, bool edytowalna = false);

    EdycjaElementu Edycja{*this};

private:
    QFormLayout* uklad_ = nullptr;
};
