#pragma once
#include <QWidget>

#include <vector>

#include "app/OknoPodgladu.h"

namespace platform::ui {
class DrawGrid;
}

// "Zdarzenia aktywne": the event kinds active now, each a tall row in its
// colour with its symbol, group and name.
class TFormZdarzeniaAktywne : public QWidget, public OknoPodgladu {
    Q_OBJECT
public:
    static constexpr int WysokoscWiersza = 36;

    explicit TFormZdarzeniaAktywne(QWidget* parent = nullptr);
    ~TFormZdarzeniaAktywne() override;

    QWidget* Widget() override { return this; }
    // The active kinds anew, then a repaint.
    void Odswiez() override;

    // Ids of the kinds listed, in the kinds' order. Ids, not elements: a
    // system start reloads the kinds, and the window may paint before it
    // hears of it.
    const std::vector<int>& Rodzaje() const { return rodzaje_; }

    platform::ui::DrawGrid* DrawGridZdazreniaAktywne = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawGridZdazreniaAktywneDrawCell(QPainter& painter, int kolumna, int wiersz, const QRect& komorka);
    void DopasujKolumne();

    std::vector<int> rodzaje_;
};
