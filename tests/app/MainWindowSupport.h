#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QWidget>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Dzwieki.h"
#include "app/Modalnie.h"
#include "app/OknoPodgladu.h"
#include "app/UnitLogowanie.h"

// Answers the login and password dialogs from a script while it lives; a
// dialog without a scripted answer is cancelled. Records which dialogs were
// shown.
class ScriptedLogins {
public:
    struct Login {
        std::string name, password;
    };
    struct PasswordChange {
        std::string current, fresh, again;
    };

    ScriptedLogins() {
        UstawWykonawceModalnego([this](QDialog& dialog) {
            shown.push_back(dialog.objectName().toStdString());
            if (auto* login = dynamic_cast<TFormLogowanie*>(&dialog)) {
                if (logins.empty() || !logins.front())
                    return Pop(logins), int(QDialog::Rejected);
                login->EditUzytkownik->setText(QString::fromStdString(logins.front()->name));
                login->EditHaslo->setText(QString::fromStdString(logins.front()->password));
                Pop(logins);
                return int(QDialog::Accepted);
            }
            if (auto* change = dynamic_cast<TFormZmianaHasla*>(&dialog)) {
                if (changes.empty() || !changes.front())
                    return Pop(changes), int(QDialog::Rejected);
                change->EditAktualneHaslo->setText(QString::fromStdString(changes.front()->current));
                change->EditNoweHaslo->setText(QString::fromStdString(changes.front()->fresh));
                change->EditNoweHaslo2->setText(QString::fromStdString(changes.front()->again));
                Pop(changes);
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        });
    }
    ~ScriptedLogins() { UstawWykonawceModalnego(nullptr); }
    ScriptedLogins(const ScriptedLogins&) = delete;
    ScriptedLogins& operator=(const ScriptedLogins&) = delete;

    // nullopt: the operator cancels.
    std::deque<std::optional<Login>> logins;
    std::deque<std::optional<PasswordChange>> changes;
    std::vector<std::string> shown;

private:
    template <class T>
    static void Pop(std::deque<T>& d) {
        if (!d.empty())
            d.pop_front();
    }
};

// The sound card: what plays now, and every request.
class RecordingSounds : public OdtwarzaczDzwiekow {
public:
    void Odtwarzaj(const QString& file) override {
        playing = file.toStdString();
        requests.push_back("play " + *playing);
    }
    void Zatrzymaj() override {
        playing.reset();
        requests.push_back("stop");
    }
    std::optional<std::string> playing;
    std::vector<std::string> requests;
};

// A live window that records the main window's calls as "Kind:Call".
class StandInWindow : public QWidget, public OknoPodgladu {
public:
    StandInWindow(std::string kind, std::vector<std::string>& log) : kind_(std::move(kind)), log_(log) {}
    QWidget* Widget() override { return this; }
    void Odswiez() override { Record("Odswiez"); }
    void UstawWiersze() override { Record("UstawWiersze"); }
    void Przeladuj() override { Record("Przeladuj"); }
    void OdswiezZdarzenia() override { Record("OdswiezZdarzenia"); }
    void OdswiezKarte(int com, int address) override {
        Record("OdswiezKarte " + std::to_string(com) + " " + std::to_string(address));
    }
    int PierwszyWidoczny() const override { return first; }
    int KoniecWidocznych() const override { return end; }
    int first = 0, end = 0;

private:
    void Record(const std::string& call) { log_.push_back(kind_ + ":" + call); }
    std::string kind_;
    std::vector<std::string>& log_;
};

// Factories of stand-in windows for every kind while it lives.
class StandInWindows {
public:
    StandInWindows() {
        for (const auto& [kind, name] : Names())
            UstawFabrykeOkna(kind, [this, name = name] { return new StandInWindow(name, log); });
    }
    ~StandInWindows() {
        for (const auto& [kind, name] : Names())
            UstawFabrykeOkna(kind, nullptr);
    }
    StandInWindows(const StandInWindows&) = delete;
    StandInWindows& operator=(const StandInWindows&) = delete;

    static const std::map<RodzajOkna, std::string>& Names() {
        static const std::map<RodzajOkna, std::string> names = {
            {RodzajOkna::Zdarzenia, "Zdarzenia"},   {RodzajOkna::ZdarzeniaAktywne, "ZdarzeniaAktywne"},
            {RodzajOkna::ZdarzeniaCentrali, "ZdarzeniaCentrali"},
            {RodzajOkna::Wejscia, "Wejscia"},       {RodzajOkna::Wyjscia, "Wyjscia"},
            {RodzajOkna::Bramy, "Bramy"},           {RodzajOkna::Przejazdy, "Przejazdy"},
            {RodzajOkna::Przyciski, "Przyciski"},   {RodzajOkna::Czytniki, "Czytniki"},
            {RodzajOkna::Diagnostyka, "Diagnostyka"}, {RodzajOkna::Wizualizacja, "Wizualizacja"},
            {RodzajOkna::MiejscaParkingowe, "MiejscaParkingowe"},
        };
        return names;
    }

    std::vector<std::string> log;
};
