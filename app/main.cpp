// The desk program: one copy per user, the main window and the forms made
// at start, the message loop until the main window closes.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStringList>

#include <QSocketNotifier>

#include <csignal>
#include <exception>

#include <sys/socket.h>
#include <unistd.h>

#include "app/MonitorZdarzen.h"
#include "app/OknaPortiera.h"
#include "app/UnitMain.h"
#include "cloud/TDMCloud.h"
#include "core/Objects_globals.h"
#include "core/TCPUMonitor.h"
#include "devices/Urzadzenia.h"
#include "platform/ui/SingleInstance.h"

namespace ui = platform::ui;

namespace {

void PokazWyjatek(const QString& tekst) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), tekst);
}

// The arguments after the program, as one line.
QString Argumenty(const QStringList& argumenty) {
    return argumenty.mid(1).join(' ');
}

// SIGTERM is how the desktop session or the service manager ends the
// program: it closes as at the end of a Windows session, without a
// question. The handler only writes a byte; the main thread does the rest.
int sygnalZakonczenia[2] = {-1, -1};

void NaSygnalZakonczenia(int) {
    const char bajt = 1;
    [[maybe_unused]] const auto zapisane = write(sygnalZakonczenia[0], &bajt, 1);
}

void ObsluzSygnalZakonczenia(QObject* rodzic) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, sygnalZakonczenia) != 0)
        return;
    auto* powiadomienie = new QSocketNotifier(sygnalZakonczenia[1], QSocketNotifier::Read, rodzic);
    QObject::connect(powiadomienie, &QSocketNotifier::activated, rodzic, [] {
        char bajt = 0;
        [[maybe_unused]] const auto odczytane = read(sygnalZakonczenia[1], &bajt, 1);
        if (FormMain) {
            FormMain->KoniecSesji = true;
            FormMain->close();
        }
    });
    struct sigaction akcja {};
    akcja.sa_handler = NaSygnalZakonczenia;
    sigemptyset(&akcja.sa_mask);
    akcja.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &akcja, nullptr);
}

int Pracuj(QApplication& aplikacja) {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    InicjujGlobalne();
    QApplication::setApplicationDisplayName(QStringLiteral("Kadnoro"));
    Probkuj("Application");

    RejestrujUrzadzenia();
    ObiektyUtworz();
    // Installed before the encoders' server can start: its connection
    // threads call the cloud.
    TDMCloud chmura;
    DMCloud = &chmura;
    UstawChmure(&chmura);
    // The live windows the main window opens from its menus.
    ZarejestrujMonitoryZdarzen([] { return FormMain ? FormMain->RodzajAdministratora : 0; });
    ZarejestrujOknaPortiera();
    try {
        UtworzFormy();
        QObject::connect(FormMain, &TFormMain::Zamknieto, &aplikacja, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        FormMain->UstawLinieKomend(Argumenty(QCoreApplication::arguments()));
        FormMain->show();
        aplikacja.exec();
    } catch (const std::exception& wyjatek) {
        PokazWyjatek(QString::fromStdString(wyjatek.what()));
    } catch (...) {
        PokazWyjatek(QString());
    }
    // The window's going stops the encoders' server and the poll threads;
    // the model's going ends the encoders' health thread.
    UsunFormy();
    UstawChmure(nullptr);
    DMCloud = nullptr;
    ObiektyUsun();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication aplikacja(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ObsluzSygnalZakonczenia(&aplikacja);
    if (ui::ZarejestrujInstancje()) {
        Pracuj(aplikacja);
    } else {
        ui::PowiadomInstancje();
    }
    ui::ZwolnijInstancje();
    ZwolnijGlobalne();
    return 0;
}
