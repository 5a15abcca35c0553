#pragma once
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/Uslugi.h"
#include "devices/THttpRequest.h"

// The cloud data module: links the installation (the facility) to the
// cloud service over HTTPS. It holds the facility's credentials and carries
// out the operations under "/facility/". One instance lives as long as the
// program; the thread that creates it counts as the main thread.
class TDMCloud : public ChmuraUrzadzen {
public:
    // Connect and read time-outs of every facility call: a cloud that does
    // not answer must not hold an encoder's connection thread for long.
    static constexpr std::chrono::milliseconds CzasPolaczenia{5'000};
    static constexpr std::chrono::milliseconds CzasOdczytu{5'000};

    TDMCloud();
    ~TDMCloud() override;
    TDMCloud(const TDMCloud&) = delete;
    TDMCloud& operator=(const TDMCloud&) = delete;

    // Stores the three texts for all later requests; nothing is sent. Ready
    // exactly when all three are non-empty.
    void SetCredentials(const std::string& address, const std::string& idFacility, const std::string& facilityKey);
    bool IsReady() const;

    // The cloud link's worker, started and stopped with the system. The
    // worker is not built yet: both do nothing.
    void Start();
    void Stop();
    // Queues the upload of a backup file to the service on the worker;
    // false while there is no worker to take it.
    bool QueueSendBackup(const std::string& path, int a, int b, int c);

    // Set by the main window when the rentals, the parking spaces or the
    // residents' devices need the service's attention; the worker clears
    // them.
    std::atomic<bool> rentalsChanged{false};
    std::atomic<bool> parkingPlacesChanged{false};
    std::atomic<bool> usersDevicesChanged{false};

    // The service's certificate is checked against the system's CAs; a CA
    // file (PEM) replaces them, for a service with a certificate of its own.
    void SetCaFile(const std::string& path);

    // Tells the service of an intercom call event of a flat, so that it
    // notifies the residents' phones. Any thread. True when the service
    // answered JSON without an error; failures go to the exception log.
    bool OutCallAction(const std::string& action, const std::string& encoderKey, int port1, int port2,
                       const std::vector<std::string>& emaile, const std::string& postalCode,
                       const std::string& locality, const std::string& street, int idUserDevice) override;

    // The body of the service's answer: the JSON object, or nothing with
    // the reason in blad (not a JSON object, or an "error" member that is
    // neither null nor an empty text). The bytes come from the network.
    static std::optional<nlohmann::json> CzytajOdpowiedz(std::string_view tekst, std::string& blad);

    // The e-mail fields of a call: each distinct non-empty address once, in
    // ascending byte order.
    static std::vector<std::string> RozneEmaile(std::vector<std::string> emaile);

    // The client of the main thread; other threads take one per call, so
    // that the encoders' calls never wait for one another or the worker.
    THttpRequest IdHTTPMain;

private:
    using Pola = std::vector<std::pair<std::string, std::string>>;

    // The exchange every "/facility/" operation shares: POST of the
    // credentials and the operation's fields, answer parsed as a JSON
    // object without an "error" text. Nothing when it failed (logged).
    std::optional<nlohmann::json> FacilityCall(const std::string& path, const Pola& pola);
    std::optional<nlohmann::json> Wyslij(THttpRequest& klient, const std::string& url, const Pola& pola);
    void UstawKlienta(THttpRequest& klient) const;

    const std::thread::id watekGlowny_;
    mutable std::mutex blokada_; // the fields below, read by every caller's thread
    std::string address_;
    std::string idFacility_;
    std::string facilityKey_;
    std::string caFile_;
    std::mutex blokadaGlownego_; // IdHTTPMain: one request at a time
};

extern TDMCloud* DMCloud;
