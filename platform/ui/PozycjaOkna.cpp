#include "platform/ui/PozycjaOkna.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

#include "platform/registry/Registry.h"

namespace platform::ui {

namespace {

using Pola = std::array<int, 5>;

// Exactly five items, each a decimal integer or −1.
std::optional<Pola> Rozbierz(const std::string& wartosc) {
    const QStringList czesci = QString::fromStdString(wartosc).split(',');
    if (czesci.size() != 5)
        return std::nullopt;
    Pola pola{};
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        const int liczba = czesci[i].trimmed().toInt(&ok);
        pola[i] = ok ? liczba : -1;
    }
    return pola;
}

} // namespace

QString NazwaPozycjiOkna(const QString& nazwaFormy) {
    QString nazwa = nazwaFormy;
    if (nazwa.startsWith(QStringLiteral("Form")))
        nazwa.remove(0, 4);
    else if (nazwa.endsWith(QStringLiteral("Form")))
        nazwa.chop(4);
    return nazwa + QStringLiteral("Pos");
}

void ZapiszPozycjeOkna(QWidget& forma) {
    registry::Registry rejestr;
    if (!rejestr.openKey(KluczUstawien, true))
        return;
    const std::string nazwa = NazwaPozycjiOkna(forma.objectName()).toStdString();
    const bool zmaksymalizowane = forma.isMaximized();
    QRect granice(forma.x(), forma.y(), forma.width(), forma.height());
    if (zmaksymalizowane) {
        const auto zapisane = rejestr.readString(nazwa);
        const auto pola = zapisane ? Rozbierz(*zapisane) : std::nullopt;
        if (pola)
            granice = QRect((*pola)[0], (*pola)[1], (*pola)[2], (*pola)[3]);
        else
            granice = forma.normalGeometry();
    }
    const QString wartosc = QStringLiteral("%1,%2,%3,%4,%5")
                                .arg(granice.x())
                                .arg(granice.y())
                                .arg(granice.width())
                                .arg(granice.height())
                                .arg(zmaksymalizowane ? 1 : 0);
    rejestr.writeString(nazwa, wartosc.toStdString());
}

void PrzywrocPozycjeOkna(QWidget& forma, bool zRozmiarem) {
    registry::Registry rejestr;
    if (!rejestr.openKey(KluczUstawien, false))
        return;
    const auto wartosc = rejestr.readString(NazwaPozycjiOkna(forma.objectName()).toStdString());
    if (!wartosc)
        return;
    const auto pola = Rozbierz(*wartosc);
    if (!pola)
        return;
    const auto [lewa, gora, szerokosc, wysokosc, maks] = *pola;
    // A window saved on a monitor that is gone keeps its default place.
    if (!forma.isWindow() || QGuiApplication::screenAt(QPoint(lewa, gora)) != nullptr)
        forma.move(lewa, gora);
    if (!zRozmiarem)
        return;
    forma.resize(szerokosc, wysokosc);
    if (maks == 1)
        forma.setWindowState(forma.windowState() | Qt::WindowMaximized);
}

int LiczbaMonitorow() {
    return static_cast<int>(QGuiApplication::screens().size());
}

bool GranicaMonitora(int n, int& lewa, int& gora, int& prawa, int& dol) {
    const auto ekrany = QGuiApplication::screens();
    if (n < 1 || n > ekrany.size())
        return false;
    const QRect g = ekrany[n - 1]->geometry();
    lewa = g.left();
    gora = g.top();
    prawa = g.left() + g.width();
    dol = g.top() + g.height();
    return true;
}

void UstawZaznaczenie(QAbstractButton& kontrolka, bool stan) {
    const QSignalBlocker blokada(kontrolka);
    kontrolka.setChecked(stan);
}

} // namespace platform::ui
