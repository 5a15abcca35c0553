#pragma once
#include <QIcon>
#include <QString>

class QSystemTrayIcon;
class QWidget;

namespace platform::ui {

// The program's one notification-area icon. The main window adds it when it
// is made and connects to the returned icon's activated signal (the
// callback message of old); the tip is cut to 127 characters.
QSystemTrayIcon* IkonaTrayDodaj(QWidget* okno, const QIcon& ikona, const QString& podpowiedz);
void IkonaTrayZmien(const QIcon& ikona, const QString& podpowiedz);
void IkonaTrayUsun();
// The icon while it exists, else nullptr.
QSystemTrayIcon* IkonaTray();

} // namespace platform::ui
