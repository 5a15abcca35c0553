#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// "O programie": the program's name and version, its maker and the company
// that wrote it for the maker, with their web addresses.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* LabelName = nullptr;
    QLabel* LabelVer = nullptr;
    QLabel* LabelZarvo = nullptr;
    QLabel* LabelMelvor = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* ButtonOk = nullptr;
};
