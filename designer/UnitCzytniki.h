#pragma once
#include <QWidget>

namespace platform::ui {
class DrawGrid;
}

// The live window "Czytniki": every reader with its last reading, painted
// straight from the readers. Closing it frees it.
class TFormCzytniki : public QWidget {
    Q_OBJECT
public:
    explicit TFormCzytniki(QWidget* parent = nullptr);
    ~TFormCzytniki() override;

    // After a system start or stop and on every reading: a new row count
    // and a repaint.
    void Odswiez();

    platform::ui::DrawGrid* DrawGridCzytniki = nullptr;

private:
    void DrawGridCzytnikiDrawCell(QPainter& painter, int kolumna, int wiersz, const QRect& komorka);
};
