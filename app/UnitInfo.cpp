#include "app/UnitInfo.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

TFormInfo::TFormInfo(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
    setObjectName(QStringLiteral("FormInfo"));
    setFixedSize(320, 81);
    Panel = new QLabel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setAlignment(Qt::AlignCenter);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Raised);
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(0, 0, 0, 0);
    uklad->addWidget(Panel);
}

// The caller is busy on the main thread, so the text is painted now rather
// than at the next turn of the event loop.
void TFormInfo::Pokaz(const QString& tekst) {
    Panel->setText(tekst);
    MoznaZamknac = false;
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    show();
    repaint();
}

void TFormInfo::Zamknij() {
    MoznaZamknac = true;
    close();
}

void TFormInfo::closeEvent(QCloseEvent* event) {
    if (MoznaZamknac)
        event->accept();
    else
        event->ignore();
}

// Escape would close a dialog past closeEvent.
void TFormInfo::reject() {
    if (MoznaZamknac)
        QDialog::reject();
}

void TFormInfo::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !MoznaZamknac && isVisible())
        activateWindow();
}
