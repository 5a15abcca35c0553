#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace platform::registry {
class Registry;
}

// Host the cloud address falls back to when the settings exist but hold
// none. The cloud link owns this choice; until it names its service, a
// name that can never resolve, so nothing is sent anywhere by accident.
inline constexpr char DomyslnyAdresChmury[] = "chmura.kandoro.invalid";

// The value name of the autostart entry.
inline constexpr char WpisAutostartu[] = "ZARVO Kadnoro";

// The window "Opcje" and, for the whole run, the store of the program's
// settings: made once at start-up, it reads the registry into its controls;
// OK writes them back. The rest of the program reads the options from the
// controls, so what the operator typed holds for the run even after
// "Anuluj".
class TFormOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFormOptions(QWidget* parent = nullptr);
    ~TFormOptions() override;

    void WczytajOpcje();

    // The backup days as a mask, bit 0 Monday .. bit 6 Sunday.
    int MaskaDni() const;
    // The database port as a number, 0 when it is not one.
    unsigned PortBazy() const;
    // The lines of the backup schedule the cloud receives: "d hh:mm" for
    // each chosen day, 1 = Monday .. 7 = Sunday.
    static QStringList LinieHarmonogramu(int maskaDni, int godzina, int minuty);

    QTabWidget* PageControl = nullptr;
    // "Ogólne"
    QCheckBox* CheckBoxAutoStart = nullptr;
    QLineEdit* EditDbAddress = nullptr;
    QLineEdit* EditDbPort = nullptr;
    QLineEdit* EditDbName = nullptr;
    QLineEdit* EditDbUser = nullptr;
    QLineEdit* EditDbPassword = nullptr;
    QCheckBox* CheckBoxSystemAutostart = nullptr;
    // "Kopia bazy"
    QLineEdit* EditFolderKopiiBezpieczenstwa = nullptr;
    QPushButton* ButtonFolderKopiiBezpieczenstwa = nullptr;
    QCheckBox* CheckBoxDz[7] = {};
    QLineEdit* EditKopiaGodzina = nullptr;
    QLineEdit* EditKopiaMinuty = nullptr;
    QCheckBox* CheckBoxUsuwanieZdarzen = nullptr;
    QLineEdit* EditUsuwanieZdarzenDni = nullptr;
    // "Wizualizacje"
    QLineEdit* EditWizualizacjaMonitor = nullptr;
    QLabel* LabelMonitors = nullptr;
    QLineEdit* EditPrzyciskiSzerokosc = nullptr;
    QLineEdit* EditPrzyciskiWysokosc = nullptr;
    QPushButton* BtnPrzyciskiWielkoscCzcionki = nullptr;
    QPushButton* BtnWielkoscCzcionkiZdarzen = nullptr;
    QCheckBox* CheckBoxZdarzeniaMalejaco = nullptr;
    // "Chmura"
    QLineEdit* EditCloudAddress = nullptr;
    QLineEdit* EditFacilityId = nullptr;
    QPushButton* ButtonCloudConnect = nullptr;
    QLineEdit* EditFacilityPort = nullptr;
    QLineEdit* EditCertFile = nullptr;
    QPushButton* ButtonCertFile = nullptr;
    QLineEdit* EditKeyFile = nullptr;
    QPushButton* ButtonKeyFile = nullptr;
    QPushButton* ButtonSendBackupSchedule = nullptr;
    // "Urządzenia sieciowe"
    QLineEdit* EditEncoderPort = nullptr;

    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // The facility key the cloud gave at "Połącz"; the main window's copy
    // until the main window holds it.
    QString FacilityKey;

    void ButtonOkClick();
    void ButtonCancelClick();
    void ButtonFolderKopiiBezpieczenstwaClick();
    void BtnPrzyciskiWielkoscCzcionkiClick();
    void BtnWielkoscCzcionkiZdarzenClick();
    void EditWizualizacjaMonitorExit();
    void ButtonCertFileClick();
    void ButtonKeyFileClick();
    void EditCertKeyFileExit(QLineEdit* edycja);
    void ButtonCloudConnectClick();
    void ButtonSendBackupScheduleClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Zbuduj();
    void WybierzCzcionke(QPushButton* przycisk);
    void WybierzPlik(QLineEdit* edycja, const QString& filtr);
    void CzytajGodzine(const QString& tekst);

    std::unique_ptr<platform::registry::Registry> rejestr_;
};
