#pragma once
#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPlainTextEdit;
class QProcess;
class QPushButton;
class QTimer;

class LogowanieProby;

// Backs the database up into a file with pg_dump and restores it from one
// with pg_restore, showing the tools' output line by line while they run.
// Made for one operation by its caller, which hands it the options' database
// values and the file and decides what follows.
//
// Everything is driven by the tools' signals: nothing waits, so the logic
// timer keeps ticking during a backup. Callers inside that timer use the
// Rozpocznij… calls and the Zakonczono signal; the operator's menu calls
// use the modal WykonajKopie and PrzywrocKopie.
class TFormBackupRestore : public QDialog {
    Q_OBJECT
public:
    enum class Operacja { Kopia, Przywracanie };

    explicit TFormBackupRestore(QWidget* parent = nullptr);
    ~TFormBackupRestore() override;

    void UstawParametryBazy(const QString& uzytkownik, const QString& haslo, const QString& baza,
                            const QString& serwer, unsigned port);
    // Where pg_dump and pg_restore are looked for first; the program's own
    // folder until set, then the search path.
    void UstawFolderNarzedzi(const QString& folder) { folderNarzedzi_ = folder; }

    // Modal; true when the tool ended with 0. Without a file name nothing
    // runs and the result is false.
    bool WykonajKopie(const QString& plik, bool cichy);
    bool PrzywrocKopie(const QString& plik, bool cichy);
    // The same without waiting: false when there is no file name, else the
    // window shows and Zakonczono follows.
    bool RozpocznijKopie(const QString& plik, bool cichy);
    bool RozpocznijPrzywracanie(const QString& plik, bool cichy);

    // 1 while nothing has run, then the tool's exit code.
    int Wynik() const { return wynik_; }
    bool Trwa() const { return trwa_; }

    QPlainTextEdit* Memo = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTimer* Timer = nullptr;

signals:
    void Zakonczono(int wynik);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool Przygotuj(const QString& plik, bool cichy, Operacja operacja);
    void TimerTimer();
    void Kopia();
    void Przywracanie();
    void PrzywracanieSprawdzArchiwum();
    void PrzywracanieUruchom();
    bool OproznijSchemat();
    QString Narzedzie(const QString& nazwa) const;
    QStringList ArgumentyPolaczenia() const;

    // Runs one tool with its output merged into the log; gotowe gets the
    // exit code, 1 when it could not start.
    void UruchomProces(const QString& program, const QStringList& argumenty, bool pokazWyjscie,
                       std::function<void(int)> gotowe);
    void CzytajWyjscie();
    void DodajLinie(const QByteArray& linia);
    void DodajDoMemo(const QString& linia);
    void Odmow(const QString& powod);
    void Zakoncz(int wynik);

    QString uzytkownik_, haslo_, baza_, serwer_;
    unsigned port_ = 0;
    QString plik_;
    QString folderNarzedzi_;
    Operacja operacja_ = Operacja::Kopia;
    bool cichy_ = false;
    int wynik_ = 1;
    bool trwa_ = false;

    QProcess* proces_ = nullptr;
    bool pokazWyjscie_ = true;
    QByteArray reszta_;
    int liniiMemo_ = 0;
    std::unique_ptr<LogowanieProby> logowanie_;
};
