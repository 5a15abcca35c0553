#pragma once
#include <QWidget>

class QPlainTextEdit;

// The message log: the failures of the start that the operator should see
// (a bus, controller or modem that could not be reached), one dated line
// each.
class TFormKomunikaty : public QWidget {
    Q_OBJECT
public:
    explicit TFormKomunikaty(QWidget* parent = nullptr);

    void Dodaj(const QString& tekst);

    QPlainTextEdit* MemoKomunikaty = nullptr;
};
