#include "app/UnitBackupRestore.h"

#include <libpq-fe.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <string>
#include <vector>

#include "core/ZapiszWyjatek.h"
#include "database/TDM.h"
#include "platform/ui/Dialogs.h"

namespace ui = platform::ui;

namespace {

// How long the restore's log-in check may take before it counts as failed.
constexpr int kLimitLogowaniaMs = 10000;

} // namespace

// A log-in to the server with the restore's own values, driven by the
// socket's readiness so the main thread never waits for the server.
class LogowanieProby : public QObject {
public:
    using Gotowe = std::function<void(bool udane, const QString& blad)>;

    LogowanieProby(const std::vector<std::pair<std::string, std::string>>& parametry, Gotowe gotowe)
        : gotowe_(std::move(gotowe)) {
        std::vector<const char*> klucze;
        std::vector<const char*> wartosci;
        for (const auto& [klucz, wartosc] : parametry) {
            klucze.push_back(klucz.c_str());
            wartosci.push_back(wartosc.c_str());
        }
        klucze.push_back(nullptr);
        wartosci.push_back(nullptr);
        polaczenie_ = PQconnectStartParams(klucze.data(), wartosci.data(), 0);
        limit_.setSingleShot(true);
        connect(&limit_, &QTimer::timeout, this, [this] { Koniec(false, QStringLiteral("przekroczony czas")); });
        limit_.start(kLimitLogowaniaMs);
        if (polaczenie_ == nullptr || PQstatus(polaczenie_) == CONNECTION_BAD)
            Koniec(false, Blad());
        else
            Czekaj(PGRES_POLLING_WRITING);
    }

    ~LogowanieProby() override {
        if (polaczenie_ != nullptr)
            PQfinish(polaczenie_);
    }

private:
    QString Blad() const {
        return polaczenie_ ? QString::fromLocal8Bit(PQerrorMessage(polaczenie_)).trimmed() : QStringLiteral("brak pamięci");
    }

    void Czekaj(PostgresPollingStatusType stan) {
        if (stan == PGRES_POLLING_OK)
            return Koniec(true, {});
        if (stan == PGRES_POLLING_FAILED)
            return Koniec(false, Blad());
        const auto rodzaj = stan == PGRES_POLLING_READING ? QSocketNotifier::Read : QSocketNotifier::Write;
        // The old notifier may be the one whose signal runs this.
        if (gniazdo_)
            gniazdo_.release()->deleteLater();
        gniazdo_ = std::make_unique<QSocketNotifier>(PQsocket(polaczenie_), rodzaj);
        connect(gniazdo_.get(), &QSocketNotifier::activated, this, [this] {
            gniazdo_->setEnabled(false);
            Czekaj(PQconnectPoll(polaczenie_));
        });
    }

    // The answer goes out from the event loop, so its receiver may delete
    // this object.
    void Koniec(bool udane, const QString& blad) {
        if (zakonczone_)
            return;
        zakonczone_ = true;
        limit_.stop();
        if (gniazdo_)
            gniazdo_->setEnabled(false);
        QTimer::singleShot(0, this, [gotowe = gotowe_, udane, blad] { gotowe(udane, blad); });
    }

    PGconn* polaczenie_ = nullptr;
    Gotowe gotowe_;
    std::unique_ptr<QSocketNotifier> gniazdo_;
    QTimer limit_;
    bool zakonczone_ = false;
};

TFormBackupRestore::TFormBackupRestore(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormBackupRestore"));
    resize(640, 400);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    ButtonClose = new QPushButton(QStringLiteral("&Zamknij"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* panel = new QHBoxLayout;
    panel->addStretch();
    panel->addWidget(ButtonClose);
    auto* uklad = new QVBoxLayout(this);
    uklad->addWidget(Memo);
    uklad->addLayout(panel);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setSingleShot(true);
    Timer->setInterval(1);
    connect(Timer, &QTimer::timeout, this, &TFormBackupRestore::TimerTimer);
}

TFormBackupRestore::~TFormBackupRestore() = default;

void TFormBackupRestore::UstawParametryBazy(const QString& uzytkownik, const QString& haslo, const QString& baza,
                                            const QString& serwer, unsigned port) {
    uzytkownik_ = uzytkownik;
    haslo_ = haslo;
    baza_ = baza;
    serwer_ = serwer;
    port_ = port;
}

bool TFormBackupRestore::Przygotuj(const QString& plik, bool cichy, Operacja operacja) {
    if (plik.isEmpty() || trwa_) {
        close();
        return false;
    }
    plik_ = plik;
    cichy_ = cichy;
    operacja_ = operacja;
    return true;
}

bool TFormBackupRestore::WykonajKopie(const QString& plik, bool cichy) {
    if (!Przygotuj(plik, cichy, Operacja::Kopia))
        return false;
    exec();
    return wynik_ == 0;
}

bool TFormBackupRestore::PrzywrocKopie(const QString& plik, bool cichy) {
    if (!Przygotuj(plik, cichy, Operacja::Przywracanie))
        return false;
    exec();
    return wynik_ == 0;
}

bool TFormBackupRestore::RozpocznijKopie(const QString& plik, bool cichy) {
    if (!Przygotuj(plik, cichy, Operacja::Kopia))
        return false;
    show();
    return true;
}

bool TFormBackupRestore::RozpocznijPrzywracanie(const QString& plik, bool cichy) {
    if (!Przygotuj(plik, cichy, Operacja::Przywracanie))
        return false;
    show();
    return true;
}

void TFormBackupRestore::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (trwa_)
        return;
    wynik_ = 1;
    trwa_ = true;
    ButtonClose->setEnabled(false);
    Timer->start();
}

// While a tool runs the window stays: closing it would leave the tool
// writing into a database or file nobody watches.
void TFormBackupRestore::closeEvent(QCloseEvent* event) {
    if (trwa_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFormBackupRestore::reject() {
    if (!trwa_)
        QDialog::reject();
}

void TFormBackupRestore::TimerTimer() {
    Timer->stop();
    if (operacja_ == Operacja::Kopia)
        Kopia();
    else
        Przywracanie();
}

QString TFormBackupRestore::Narzedzie(const QString& nazwa) const {
    for (const QString& folder : {folderNarzedzi_, QCoreApplication::applicationDirPath()}) {
        if (folder.isEmpty())
            continue;
        const QFileInfo plik(folder + '/' + nazwa);
        if (plik.isFile() && plik.isExecutable())
            return plik.absoluteFilePath();
    }
    const QString zeSciezki = QStandardPaths::findExecutable(nazwa);
    return zeSciezki.isEmpty() ? nazwa : zeSciezki;
}

QStringList TFormBackupRestore::ArgumentyPolaczenia() const {
    return {QStringLiteral("--host"),     serwer_, QStringLiteral("--port"),   QString::number(port_),
            QStringLiteral("--username"), uzytkownik_, QStringLiteral("--dbname"), baza_,
            QStringLiteral("--no-password")};
}

void TFormBackupRestore::Kopia() {
    QStringList argumenty = ArgumentyPolaczenia();
    argumenty << QStringLiteral("--format") << QStringLiteral("custom") << QStringLiteral("--blobs")
              << QStringLiteral("--verbose") << QStringLiteral("--file") << plik_;
    UruchomProces(Narzedzie(QStringLiteral("pg_dump")), argumenty, true, [this](int wynik) { Zakoncz(wynik); });
}

// Before anything is dropped, the restore makes sure it drops what the
// operator means: its values name the database the program works on, they
// log in, and the file is an archive pg_restore can read.
void TFormBackupRestore::Przywracanie() {
    if (DM == nullptr || !DM->FDConnection.connected())
        return Odmow(QStringLiteral("Program nie jest połączony z bazą danych."));
    const auto& polaczenie = DM->FDConnection;
    if (QString::fromStdString(polaczenie.host()) != serwer_ || static_cast<unsigned>(polaczenie.port()) != port_ ||
        QString::fromStdString(polaczenie.database()) != baza_)
        return Odmow(QStringLiteral("Dane kopii wskazują inną bazę niż ta, z którą program jest połączony."));

    logowanie_ = std::make_unique<LogowanieProby>(
        std::vector<std::pair<std::string, std::string>>{{"host", serwer_.toStdString()},
                                                         {"port", std::to_string(port_)},
                                                         {"dbname", baza_.toStdString()},
                                                         {"user", uzytkownik_.toStdString()},
                                                         {"password", haslo_.toStdString()}},
        [this](bool udane, const QString& blad) {
            // This runs from the attempt's own event: it goes afterwards.
            logowanie_.release()->deleteLater();
            if (!udane)
                return Odmow(QStringLiteral("Nie można zalogować się do bazy: ") + blad);
            PrzywracanieSprawdzArchiwum();
        });
}

void TFormBackupRestore::PrzywracanieSprawdzArchiwum() {
    UruchomProces(Narzedzie(QStringLiteral("pg_restore")), {QStringLiteral("--list"), plik_}, false,
                  [this](int wynik) {
                      if (wynik != 0)
                          return Odmow(QStringLiteral("Plik nie jest czytelną kopią bazy danych: ") + plik_);
                      PrzywracanieUruchom();
                  });
}

void TFormBackupRestore::PrzywracanieUruchom() {
    if (!OproznijSchemat())
        return Zakoncz(1);
    QStringList argumenty = ArgumentyPolaczenia();
    argumenty << QStringLiteral("--schema") << QStringLiteral("public") << QStringLiteral("--verbose") << plik_;
    UruchomProces(Narzedzie(QStringLiteral("pg_restore")), argumenty, true, [this](int wynik) { Zakoncz(wynik); });
}

// Every table of schema public goes, with what depends on it, one statement
// at a time outside a transaction. The names are quoted by the server and
// bound to the schema, so a table of another schema with the same name on
// the search path is never touched.
bool TFormBackupRestore::OproznijSchemat() {
    try {
        DM->Query.setSql("SELECT 'drop table if exists public.' || quote_ident(tablename) || ' CASCADE;' AS Query "
                         "FROM pg_tables WHERE schemaname='public'");
        DM->Query.open();
        std::vector<std::string> polecenia;
        for (; !DM->Query.eof(); DM->Query.next())
            polecenia.push_back(DM->Query.field("Query").asString());
        DM->Query.close();
        for (const std::string& polecenie : polecenia) {
            DM->Command.setText(polecenie);
            DM->Command.execute();
        }
        return true;
    } catch (const std::exception& blad) {
        ZapiszWyjatek(blad, __FILE__, __LINE__);
        DodajDoMemo(QString::fromUtf8(blad.what()));
        return false;
    }
}

void TFormBackupRestore::UruchomProces(const QString& program, const QStringList& argumenty, bool pokazWyjscie,
                                       std::function<void(int)> gotowe) {
    pokazWyjscie_ = pokazWyjscie;
    reszta_.clear();
    proces_ = new QProcess(this);
    proces_->setProgram(program);
    proces_->setArguments(argumenty);
    proces_->setProcessChannelMode(QProcess::MergedChannels);
    proces_->setStandardInputFile(QProcess::nullDevice());
    // The password goes to the tool alone, never into the program's own
    // environment where every later child would inherit it.
    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    srodowisko.insert(QStringLiteral("PGPASSWORD"), haslo_);
    proces_->setProcessEnvironment(srodowisko);

    auto koniec = [this, gotowe](int wynik) {
        proces_->disconnect(this);
        proces_->deleteLater();
        proces_ = nullptr;
        gotowe(wynik);
    };
    connect(proces_, &QProcess::readyReadStandardOutput, this, &TFormBackupRestore::CzytajWyjscie);
    connect(proces_, &QProcess::errorOccurred, this, [this, koniec](QProcess::ProcessError blad) {
        if (blad == QProcess::FailedToStart)
            koniec(1);
    });
    connect(proces_, &QProcess::finished, this, [this, koniec](int kod, QProcess::ExitStatus stan) {
        CzytajWyjscie();
        // Text after the last line end is a line too.
        if (!reszta_.isEmpty())
            DodajLinie(reszta_);
        reszta_.clear();
        // A tool killed by a signal never reports success.
        const int wynik = stan == QProcess::CrashExit && kod == 0 ? 1 : kod;
        if (pokazWyjscie_) {
            DodajDoMemo(QString());
            DodajDoMemo(QStringLiteral("Proces zwrócił rezultat %1").arg(static_cast<unsigned>(wynik)));
            if (wynik == 0)
                DodajDoMemo(QStringLiteral("Sukces"));
        }
        koniec(wynik);
    });
    proces_->start();
}

void TFormBackupRestore::CzytajWyjscie() {
    if (proces_ == nullptr)
        return;
    reszta_ += proces_->readAllStandardOutput();
    qsizetype poczatek = 0;
    for (qsizetype koniec; (koniec = reszta_.indexOf('\n', poczatek)) >= 0; poczatek = koniec + 1)
        DodajLinie(reszta_.mid(poczatek, koniec - poczatek));
    reszta_.remove(0, poczatek);
}

// A carriage return would break the line once more in the log, so a tool's
// CR LF line end counts as one.
void TFormBackupRestore::DodajLinie(const QByteArray& linia) {
    if (pokazWyjscie_)
        DodajDoMemo(QString::fromLocal8Bit(linia.endsWith('\r') ? linia.chopped(1) : linia));
}

// The log starts as one empty line, which its first line fills; the
// editor's own append would let a second line fill it too when the first
// was empty.
void TFormBackupRestore::DodajDoMemo(const QString& linia) {
    QTextCursor kursor(Memo->document());
    kursor.movePosition(QTextCursor::End);
    if (liniiMemo_++ > 0)
        kursor.insertBlock();
    kursor.insertText(linia);
    Memo->verticalScrollBar()->setValue(Memo->verticalScrollBar()->maximum());
}

void TFormBackupRestore::Odmow(const QString& powod) {
    DodajDoMemo(powod);
    Zakoncz(1);
}

void TFormBackupRestore::Zakoncz(int wynik) {
    wynik_ = wynik;
    trwa_ = false;
    ButtonClose->setEnabled(true);
    emit Zakonczono(wynik);
    if (cichy_) {
        accept();
        return;
    }
    if (wynik != 0)
        ui::MessageBox(this, windowTitle(),
                       operacja_ == Operacja::Kopia
                           ? QStringLiteral("Wystąpił błąd podczas tworzenia kopii bazy danych.")
                           : QStringLiteral("Wystąpił błąd podczas przywracania kopii bazy danych."),
                       ui::Icon::Error, ui::Ok, ui::Ok);
}
