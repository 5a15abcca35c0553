#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

// CPU load of the machine and of every thread of this process, sampled at
// named checkpoints and once a second, with a name per thread. Samples and
// the cursor belong to the main thread; the names are guarded by a lock of
// their own because every thread sets its own.
class TCPUMonitor {
public:
    using DataCzas = std::chrono::system_clock::time_point;

    struct THREAD_TIMES {
        std::uint64_t poprzedni = 0; // kernel + user time at the previous sample, 100 ns units
        std::uint64_t biezacy = 0;   // the same at this sample
        float obciazenie = 0;
        bool widziany = false;
        DataCzas pojawienie{};
        std::string etykieta;
    };

    float Probkuj(const std::string& etykieta);
    float ObciazenieCalkowite() const { return obciazenie_; }
    int LiczbaWatkow() const { return static_cast<int>(probki_.size()); }
    int PierwszyWatek();
    int NastepnyWatek();
    float ObciazenieWatku(int idWatku);
    DataCzas CzasPojawieniaWatku(int idWatku);
    std::string EtykietaWatku(int idWatku);

    void UstawNazweWatku(int idWatku, const std::string& nazwa);
    std::string NazwaWatku(int idWatku) const;

    // The calling thread's id as the monitor counts it.
    static int IdBiezacegoWatku();

private:
    float obciazenie_ = 0;
    mutable std::mutex blokadaNazw_;
    std::map<int, std::string> nazwy_;
    std::map<int, THREAD_TIMES> probki_;
    std::map<int, THREAD_TIMES>::iterator kursor_ = probki_.end();
    // previous busy and total system times, 100 ns units; 0 before the first sample
    double poprzedniZajety_ = 0, poprzedniCalkowity_ = 0;
};

extern TCPUMonitor* CPUMonitor;

void InicjujGlobalne();
void ZwolnijGlobalne();
// A checkpoint of the global monitor; nothing when it was never created.
void Probkuj(const std::string& etykieta);
