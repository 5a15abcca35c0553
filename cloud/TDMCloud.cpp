#include "cloud/TDMCloud.h"

#include <algorithm>

#include "core/ZapiszWyjatek.h"

TDMCloud* DMCloud = nullptr;

TDMCloud::TDMCloud() : watekGlowny_(std::this_thread::get_id()) {}

TDMCloud::~TDMCloud() = default;

void TDMCloud::SetCredentials(const std::string& address, const std::string& idFacility,
                              const std::string& facilityKey) {
    std::lock_guard blokada(blokada_);
    address_ = address;
    idFacility_ = idFacility;
    facilityKey_ = facilityKey;
}

bool TDMCloud::IsReady() const {
    std::lock_guard blokada(blokada_);
    return !address_.empty() && !idFacility_.empty() && !facilityKey_.empty();
}

void TDMCloud::Start() {}

void TDMCloud::Stop() {}

bool TDMCloud::QueueSendBackup(const std::string&, int, int, int) {
    return false;
}

void TDMCloud::SetCaFile(const std::string& path) {
    std::lock_guard blokada(blokada_);
    caFile_ = path;
}

std::vector<std::string> TDMCloud::RozneEmaile(std::vector<std::string> emaile) {
    std::erase(emaile, std::string());
    std::sort(emaile.begin(), emaile.end());
    emaile.erase(std::unique(emaile.begin(), emaile.end()), emaile.end());
    return emaile;
}

bool TDMCloud::OutCallAction(const std::string& action, const std::string& encoderKey, int port1, int port2,
                             const std::vector<std::string>& emaile, const std::string& postalCode,
                             const std::string& locality, const std::string& street, int idUserDevice) {
    Pola pola = {{"encoderKey", encoderKey},
                 {"port1", std::to_string(port1)},
                 {"port2", std::to_string(port2)},
                 {"postalCode", postalCode},
                 {"locality", locality},
                 {"street", street}};
    for (std::string& email : RozneEmaile(emaile))
        pola.emplace_back("email[]", std::move(email));
    pola.emplace_back("action", action);
    pola.emplace_back("idUserDevice", std::to_string(idUserDevice));
    return FacilityCall("/facility/outCallAction", pola).has_value();
}

void TDMCloud::UstawKlienta(THttpRequest& klient) const {
    std::lock_guard blokada(blokada_);
    klient.Client().setCaFile(caFile_);
    klient.Client().setConnectTimeout(CzasPolaczenia);
    klient.Client().setTransferTimeout(CzasPolaczenia + CzasOdczytu);
}

std::optional<nlohmann::json> TDMCloud::FacilityCall(const std::string& path, const Pola& pola) {
    Pola wszystkie;
    std::string url;
    {
        std::lock_guard blokada(blokada_);
        url = "https://" + address_ + path;
        wszystkie = {{"idFacility", idFacility_}, {"facilityKey", facilityKey_}};
    }
    wszystkie.insert(wszystkie.end(), pola.begin(), pola.end());
    if (std::this_thread::get_id() == watekGlowny_) {
        std::lock_guard blokada(blokadaGlownego_);
        return Wyslij(IdHTTPMain, url, wszystkie);
    }
    THttpRequest klient;
    return Wyslij(klient, url, wszystkie);
}

std::optional<nlohmann::json> TDMCloud::Wyslij(THttpRequest& klient, const std::string& url, const Pola& pola) {
    UstawKlienta(klient);
    klient.Params() = pola;
    const bool wyslane = klient.Post(url);
    klient.Params().clear();
    if (!wyslane || klient.ResponseCode() >= 400) {
        ZapiszWyjatek(url + ": " + (wyslane ? "HTTP " + std::to_string(klient.ResponseCode()) : klient.LastError()),
                      "UnitDMCloud", __LINE__);
        return std::nullopt;
    }
    std::string blad;
    auto odpowiedz = CzytajOdpowiedz(klient.ResponseText(), blad);
    if (!odpowiedz)
        ZapiszWyjatek(url + ": " + blad, "UnitDMCloud", __LINE__);
    return odpowiedz;
}

std::optional<nlohmann::json> TDMCloud::CzytajOdpowiedz(std::string_view tekst, std::string& blad) {
    auto odpowiedz = nlohmann::json::parse(tekst, nullptr, false);
    if (!odpowiedz.is_object()) {
        blad = "the answer is not a JSON object";
        return std::nullopt;
    }
    const auto pole = odpowiedz.find("error");
    if (pole != odpowiedz.end()) {
        // A string's value, a number's digits; null reads as no error.
        blad = pole->is_string() ? pole->get<std::string>() : pole->is_null() ? std::string() : pole->dump();
        if (!blad.empty())
            return std::nullopt;
    }
    return odpowiedz;
}
