#include "designer/UnitEnkoderyEdycja.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/KontrolaTekstu.h"
#include "core/Objects_globals.h"
#include "core/TekstIPv4.h"
#include "database/TDM.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Object_Zarvo_Centrala.h"

TFormEnkoderyEdycja* FormEnkoderyEdycja = nullptr;

namespace {

int Port(const QLineEdit& pole) { return LiczbaPola(pole, 0); }

// The element and the encoder server keep ports in 16 bits: a larger one
// would be stored as one port and used as another.
bool PortWZakresie(const QLineEdit& pole) { return Port(pole) <= 65535; }

db::Value PortDoBazy(const QLineEdit& pole) { return db::Value(Port(pole)); }

// The model's lock keeps the encoder's fields whole for anyone reading them
// under it; the threads read the snapshot published after the change.
class BlokadaModelu {
public:
    BlokadaModelu() { Objects::Zablokuj(); }
    ~BlokadaModelu() { Objects::Odblokuj(); }
    BlokadaModelu(const BlokadaModelu&) = delete;
    BlokadaModelu& operator=(const BlokadaModelu&) = delete;
};

} // namespace

TFormEnkoderyEdycja::TFormEnkoderyEdycja(QWidget* parent) : TFormEdycji(parent) {
    setObjectName(QStringLiteral("FormEnkoderyEdycja"));
    EditNazwa = PoleTekstu("EditNazwa", QString(), 40);
    EditIp = PoleTekstu("EditIp", QString(), 15);
    EditPortOut = EdycjaCyfr("EditPortOut", QString(), 5);
    EditPortOutForwarded = EdycjaCyfr("EditPortOutForwarded", QString(), 5);
    EditPortIn = EdycjaCyfr("EditPortIn", QString(), 5);
    EditPortInForwarded = EdycjaCyfr("EditPortInForwarded", QString(), 5);
    ComboBoxIdCentraliZarvoGsm = Lista("ComboBoxIdCentraliZarvoGsm");
    DodajWiersz(QStringLiteral("Nazwa"), EditNazwa);
    DodajWiersz(QStringLiteral("IP"), EditIp);
    DodajWiersz(QStringLiteral("Port wych."), EditPortOut);
    DodajWiersz(QStringLiteral("Port wych. zew."), EditPortOutForwarded);
    DodajWiersz(QStringLiteral("Port przych."), EditPortIn);
    DodajWiersz(QStringLiteral("Port przych. zew."), EditPortInForwarded);
    DodajWiersz(QStringLiteral("Centrala ZARVO"), ComboBoxIdCentraliZarvoGsm);

    OpisEdycji opis;
    opis.tytulDodawania = QStringLiteral("Dodawanie enkodera");
    opis.tytulEdycji = QStringLiteral("Edycja enkodera");
    opis.tabela = []() -> db::Table& { return DM->TableEnkodery; };
    opis.klucz = "IdEnkodera";
    opis.kontener = [] { return static_cast<Objects*>(Enkodery); };
    opis.wybory = {{ComboBoxIdCentraliZarvoGsm, [] { return static_cast<Objects*>(Centrale); },
                    [](const Object& c) { return static_cast<const Object_Zarvo_Centrala&>(c).Nazwa.str(); }, false,
                    &IdCentraliZarvoGsm}};
    const auto wpisany = [](const QLineEdit* pole) { return [pole] { return !pole->text().isEmpty(); }; };
    const auto wZakresie = [](const QLineEdit* pole) { return [pole] { return PortWZakresie(*pole); }; };
    opis.sprawdzenia = {
        {wpisany(EditNazwa), QStringLiteral("Należy wpisać nazwę enkodera."), EditNazwa},
        {[this] { return SprawdzIPv4(EditIp->text().toStdString()); },
         QStringLiteral("Należy wpisać poprawny adres IP enkodera."), EditIp},
        {wpisany(EditPortOut), QStringLiteral("Należy wpisać port wyjściowego strumienia nasłuchiwania enkodera."),
         EditPortOut},
        {wpisany(EditPortIn), QStringLiteral("Należy wpisać port wejściowego strumienia nasłuchiwania enkodera."),
         EditPortIn},
        {wpisany(EditPortOutForwarded),
         QStringLiteral("Należy wpisać port wyjściowego strumienia dostępnego z zewnątrz (przekierowany) do "
                        "enkodera."),
         EditPortOutForwarded},
        {wpisany(EditPortInForwarded),
         QStringLiteral("Należy wpisać port wejściowego strumienia dostępnego z zewnątrz (przekierowany) do "
                        "enkodera."),
         EditPortInForwarded},
        {wZakresie(EditPortOut), QStringLiteral("Port wych. musi być z zakresu 0 do 65535."), EditPortOut},
        {wZakresie(EditPortIn), QStringLiteral("Port przych. musi być z zakresu 0 do 65535."), EditPortIn},
        {wZakresie(EditPortOutForwarded), QStringLiteral("Port wych. zew. musi być z zakresu 0 do 65535."),
         EditPortOutForwarded},
        {wZakresie(EditPortInForwarded), QStringLiteral("Port przych. zew. musi być z zakresu 0 do 65535."),
         EditPortInForwarded},
        {[this] { return Centrala() != 0; }, QStringLiteral("Należy wybrać centralę ZARVO enkodera."),
         ComboBoxIdCentraliZarvoGsm},
    };
    const auto nazwa = [this] { return db::Value(EditNazwa->text().toStdString()); };
    const auto ip = [this] { return db::Value(static_cast<std::int64_t>(Ip())); };
    const auto centrala = [this] { return db::Value(Centrala()); };
    opis.kolumny = {
        {"Nazwa", nazwa},
        {"Ipv4", ip},
        {"PortIn", [this] { return PortDoBazy(*EditPortIn); }},
        {"PortInForwarded", [this] { return PortDoBazy(*EditPortInForwarded); }},
        {"PortOut", [this] { return PortDoBazy(*EditPortOut); }},
        {"PortOutForwarded", [this] { return PortDoBazy(*EditPortOutForwarded); }},
        {"IdCentralaZarvoGsm", centrala},
    };
    opis.kolumnyEdycji = {
        {"Nazwa", nazwa},
        {"Ipv4", ip},
        {"PortOut", [this] { return PortDoBazy(*EditPortOut); }},
        {"PortOutForwarded", [this] { return PortDoBazy(*EditPortOutForwarded); }},
        {"PortIn", [this] { return PortDoBazy(*EditPortIn); }},
        {"PortInForwarded", [this] { return PortDoBazy(*EditPortInForwarded); }},
        {"IdCentralaZarvoGsm", centrala},
    };
    opis.duplikatDodawania = QStringLiteral("Taki enkoder już istnieje");
    opis.duplikatEdycji = QStringLiteral("Taki adres już istnieje");
    opis.wczytaj = [this](Object& e) { Wczytaj(static_cast<Object_Enkoder&>(e)); };
    opis.poPokazaniu = [this] { EditNazwa->setFocus(); };
    opis.utworz = [this](int id) -> Object* {
        // The first encoder also starts the health thread.
        Object_Enkoder* enkoder = Enkodery->Dodaj(
            id, EditNazwa->text().toStdString(), Ip(), static_cast<std::uint16_t>(Port(*EditPortOut)),
            static_cast<std::uint16_t>(Port(*EditPortOutForwarded)), static_cast<std::uint16_t>(Port(*EditPortIn)),
            static_cast<std::uint16_t>(Port(*EditPortInForwarded)), Centrala());
        {
            BlokadaModelu blokada;
            enkoder->Polacz();
        }
        OpublikujMigawkeEnkoderow();
        return enkoder;
    };
    opis.zaktualizuj = [this](Object& e) {
        Zapisz(static_cast<Object_Enkoder&>(e));
        OpublikujMigawkeEnkoderow();
    };
    Edycja.Opisz(std::move(opis));
}

Object_Enkoder* TFormEnkoderyEdycja::Dodaj() { return static_cast<Object_Enkoder*>(Edycja.Dodaj()); }

bool TFormEnkoderyEdycja::Edytuj(int idEnkodera) { return Edycja.Edytuj(idEnkodera); }

int TFormEnkoderyEdycja::Centrala() const { return IdWyboru(Edycja.Opis().wybory.front()); }

std::uint32_t TFormEnkoderyEdycja::Ip() const { return TekstNaIPv4(EditIp->text().toStdString()); }

void TFormEnkoderyEdycja::Wczytaj(const Object_Enkoder& enkoder) {
    EditNazwa->setText(QString::fromStdString(enkoder.Nazwa.str()));
    EditIp->setText(QString::fromStdString(IPv4NaTekst(enkoder.IPv4)));
    EditPortOut->setText(QString::number(enkoder.PortOut));
    EditPortOutForwarded->setText(QString::number(enkoder.PortOutForwarded));
    EditPortIn->setText(QString::number(enkoder.PortIn));
    EditPortInForwarded->setText(QString::number(enkoder.PortInForwarded));
    IdCentraliZarvoGsm = enkoder.IdCentralaZarvoGsm;
}

void TFormEnkoderyEdycja::Zapisz(Object_Enkoder& enkoder) {
    BlokadaModelu blokada;
    enkoder.Nazwa = EditNazwa->text().toStdString();
    enkoder.IPv4 = Ip();
    enkoder.PortOut = static_cast<std::uint16_t>(Port(*EditPortOut));
    enkoder.PortOutForwarded = static_cast<std::uint16_t>(Port(*EditPortOutForwarded));
    enkoder.PortIn = static_cast<std::uint16_t>(Port(*EditPortIn));
    enkoder.PortInForwarded = static_cast<std::uint16_t>(Port(*EditPortInForwarded));
    enkoder.IdCentralaZarvoGsm = Centrala();
    enkoder.Polacz();
}
