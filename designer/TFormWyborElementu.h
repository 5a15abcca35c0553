#pragma once
#include <QDialog>

#include <functional>
#include <vector>

#include "designer/KolumnyListy.h"

class Object;
class Objects;
class QPushButton;
class QWidget;

namespace platform::ui {
class DrawGrid;
}

// A pick list: every element of a container in one grid above "Anuluj" and
// "OK". The opener shows it modally and, after OK, takes Wybrany(). OK
// closes it only while the container holds an element.
class TFormWyborElementu : public QDialog {
    Q_OBJECT
public:
    TFormWyborElementu(QWidget* owner, std::function<Objects*()> kontener, std::vector<KolumnaListy> kolumny);

    // The element of the grid's current row; null when there is none.
    Object* Wybrany() const;

    platform::ui::DrawGrid* DrawGrid = nullptr;
    QWidget* PanelDol = nullptr;
    QPushButton* ButtonAnuluj = nullptr;
    QPushButton* ButtonOk = nullptr;

    void ButtonOkClick();
    // OK keeps the margin on the right that "Anuluj" keeps on the left.
    void PanelDolResize();

protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;
    // Escape does not close it: only the buttons and the frame do.
    void keyPressEvent(QKeyEvent* zdarzenie) override;

private:
    std::function<Objects*()> kontener_;
};
