#include "tests/support/EncoderModel.h"

#include "core/Object_Adres.h"
#include "core/Object_Lokal.h"
#include "core/Object_Uzytkownik.h"
#include "core/Object_Uzytkownik_Lokal.h"
#include "core/Objects_globals.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/Urzadzenia.h"

EncoderModel::Registered::Registered() { RejestrujUrzadzenia(); }

EncoderModel::EncoderModel() { fill(); }

void EncoderModel::fill() {
    Enkodery->Wstrzymaj();
    Enkodery->Dodaj(1, "Furtka", Localhost, 5000, 5001, 443, 4443, IdCentrali);
    KontenerGlobalny(NrCentrale)->Nowy(IdCentrali);
    Adresy->DodajRekord(1, "00950", "Warszawa", "Długa", "7");
    Lokale->DodajRekord(10, 1, "12", IdCentrali, PinZMieszkancami, true, 1, false, "", 0, false, true, 0);
    Lokale->DodajRekord(11, 1, "13", IdCentrali, PinBezMieszkancow, true, 2, false, "", 0, false, true, 0);
    const char* emails[] = {"b@x.pl", "a@x.pl", "b@x.pl", ""};
    for (int i = 0; i < 4; ++i) {
        Uzytkownicy->DodajRekord(100 + i, 0, "Jan", "Nowak", "", "", "", emails[i], 0, false, "");
        UzytkownicyLokale->DodajRekord(200 + i, 100 + i, 10, DataCzas{});
    }
    OpublikujMigawkeEnkoderow();
}

void EncoderModel::reload() {
    ObiektyUsun();
    ObiektyUtworz();
    fill();
}

bool RecordingCloud::OutCallAction(const std::string& action, const std::string& encoderKey, int port1, int port2,
                                   const std::vector<std::string>& emaile, const std::string& postalCode,
                                   const std::string& locality, const std::string& street, int idUserDevice) {
    std::lock_guard guard(lock_);
    calls_.push_back({action, encoderKey, port1, port2, emaile, postalCode, locality, street, idUserDevice});
    return true;
}

std::vector<RecordingCloud::Call> RecordingCloud::calls() const {
    std::lock_guard guard(lock_);
    return calls_;
}
