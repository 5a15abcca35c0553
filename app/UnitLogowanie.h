#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

// "Logowanie administratora": the operator's name and password.
class TFormLogowanie : public QDialog {
    Q_OBJECT
public:
    explicit TFormLogowanie(QWidget* parent = nullptr);

    // Shows the dialog modally with the focus in the name and the password
    // empty; QDialog::Accepted for "Zaloguj".
    int Pokaz();

    QLineEdit* EditUzytkownik = nullptr;
    QLineEdit* EditHaslo = nullptr;
    QPushButton* ButtonZaloguj = nullptr;
    QPushButton* ButtonAnuluj = nullptr;

private:
    void FormShow();
};

// The password change of the logged-in operator: the current password and
// the new one twice.
class TFormZmianaHasla : public QDialog {
    Q_OBJECT
public:
    explicit TFormZmianaHasla(QWidget* parent = nullptr);

    // Modal with the three fields empty; QDialog::Accepted for "Zmień".
    int Pokaz();

    QLineEdit* EditAktualneHaslo = nullptr;
    QLineEdit* EditNoweHaslo = nullptr;
    QLineEdit* EditNoweHaslo2 = nullptr;
    QPushButton* ButtonZmien = nullptr;
    QPushButton* ButtonAnuluj = nullptr;

private:
    void FormShow();
};
