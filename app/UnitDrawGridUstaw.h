#pragma once
#include <QDialog>
#include <QStringList>

#include <span>

class QListWidget;
class QPushButton;

// "Wybierz kolumny": the operator ticks the columns a grid shows.
class TFormDrawGridUstaw : public QDialog {
    Q_OBJECT
public:
    explicit TFormDrawGridUstaw(QWidget* parent = nullptr);

    // Lists count names, each ticked by its flag, and runs the dialog. On
    // "&OK" the ticks go back into the flags and the answer is true; else
    // the flags stay as they were.
    bool Wybierz(const QStringList& nazwy, std::span<bool> flagi, int ilosc);

    QListWidget* CBList = nullptr;
    QPushButton* ButtonAnuluj = nullptr;
    QPushButton* ButtonOk = nullptr;
};
