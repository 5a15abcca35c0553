#include "platform/ui/IkonaTray.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

namespace platform::ui {

namespace {

QPointer<QSystemTrayIcon> ikonaTray;

QString Podpowiedz(const QString& tekst) {
    return tekst.left(127);
}

} // namespace

QSystemTrayIcon* IkonaTrayDodaj(QWidget* okno, const QIcon& ikona, const QString& podpowiedz) {
    IkonaTrayUsun();
    ikonaTray = new QSystemTrayIcon(ikona, okno);
    ikonaTray->setToolTip(Podpowiedz(podpowiedz));
    // Without a tray on the desktop the icon is kept but not shown.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        ikonaTray->show();
    return ikonaTray;
}

void IkonaTrayZmien(const QIcon& ikona, const QString& podpowiedz) {
    if (!ikonaTray)
        return;
    ikonaTray->setIcon(ikona);
    ikonaTray->setToolTip(Podpowiedz(podpowiedz));
}

void IkonaTrayUsun() {
    delete ikonaTray.data();
    ikonaTray = nullptr;
}

QSystemTrayIcon* IkonaTray() {
    return ikonaTray;
}

} // namespace platform::ui
