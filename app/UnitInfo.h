#pragma once
#include <QDialog>

class QLabel;

// The borderless busy window of the start-up: one line of text while the
// main thread is busy. It closes only through Zamknij.
class TFormInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget* parent = nullptr);

    void Pokaz(const QString& tekst);
    void Zamknij();

    QLabel* Panel = nullptr;
    bool MoznaZamknac = true;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void changeEvent(QEvent* event) override;
};
