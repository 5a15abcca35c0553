// The encoders' server under 200 connections sending keep-alives.
//
// TickWithEncoders: the logic tick's board steps at a 10 ms pace, first
// with no encoder connected, then while 200 encoders each send a keep-alive
// every 50 ms (far more often than encoders do); "ratio" is the median tick
// time with them over the time without.
//
// RepliesAgainstEcho: 200 connections in a closed loop, once against a
// minimal framing echo server on the same TCP server layer (read the length
// and the rest, write 12 bytes), once against the encoders' server; replies
// per second and the 99th-percentile reply time as ratios to the echo's.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "core/Czas.h"
#include "core/Mozg.h"
#include "core/Object_Czytnik.h"
#include "core/Object_Karta.h"
#include "core/Object_Magistrala.h"
#include "core/Object_Wejscie.h"
#include "core/Object_Wyjscie.h"
#include "core/Objects_globals.h"
#include "bench/support/PelnaMagistrala.h"
#include "devices/MigawkaEnkoderow.h"
#include "devices/Object_Enkoder.h"
#include "devices/SerwerEnkoderow.h"
#include "devices/Urzadzenia.h"
#include "platform/net/TcpServer.h"

namespace {

using namespace std::chrono;

constexpr int Polaczenia = 200;
constexpr int WatkiKlientow = 8;
constexpr int Karty_ = 512;
constexpr int Piny = 6;
constexpr std::uint32_t Localhost = 0x7f000001;
// Encoders send a keep-alive every several seconds; this is far more often,
// 4,000 packets a second from the 200.
constexpr auto OkresPodtrzymania = std::chrono::milliseconds(50);

const std::vector<std::uint8_t> Podtrzymanie = {10, 0, 0, 0, 10, 0, 0, 0, 0, 0};

// A bus of boards with readers, inputs and outputs, and an encoder at
// 127.0.0.1, linked as after a start.
struct Model {
    Model() {
        RejestrujUrzadzenia();
        ObiektyUtworz();
        ZbudujMagistrale(Karty_, Piny);
        Enkodery->Wstrzymaj();
        Enkodery->Dodaj(1, "Enkoder", Localhost, 1, 2, 3, 4, 0);
        ObiektyInicjalizuj();
        OpublikujMigawkeEnkoderow();
    }
    ~Model() { ObiektyUsun(); }
};

void Tick() {
    Czas::Migawka();
    Czytniki->Skanuj();
    Wejscia->Skanuj();
    Wyjscia->Krok();
}

int Polacz(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in adres{};
    adres.sin_family = AF_INET;
    adres.sin_port = htons(port);
    adres.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&adres), sizeof adres) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool Wyslij(int fd) { return ::send(fd, Podtrzymanie.data(), Podtrzymanie.size(), MSG_NOSIGNAL) == 10; }

bool OdbierzOdpowiedz(int fd) {
    std::uint8_t bufor[12];
    std::size_t jest = 0;
    while (jest < sizeof bufor) {
        const ssize_t n = ::recv(fd, bufor + jest, sizeof bufor - jest, 0);
        if (n <= 0)
            return false;
        jest += static_cast<std::size_t>(n);
    }
    return true;
}

// 200 encoders on 8 threads. Paced: each sends a keep-alive every okres and
// reads its reply. Closed loop (okres 0): each thread sends on all its
// connections, then reads every reply, again and again, recording the time
// of each reply from its send.
struct Enkodery200 {
    Enkodery200(std::uint16_t port, microseconds okres) {
        for (int w = 0; w < WatkiKlientow; ++w) {
            watki.emplace_back([this, port, okres] {
                std::vector<int> fds;
                for (int i = 0; i < Polaczenia / WatkiKlientow; ++i)
                    fds.push_back(Polacz(port));
                ++gotowe;
                std::vector<steady_clock::time_point> wyslane(fds.size());
                std::vector<double> mojeCzasy;
                auto nastepny = steady_clock::now();
                while (!koniec) {
                    for (std::size_t i = 0; i < fds.size(); ++i) {
                        wyslane[i] = steady_clock::now();
                        if (fds[i] < 0 || !Wyslij(fds[i]))
                            bledy++;
                    }
                    for (std::size_t i = 0; i < fds.size(); ++i) {
                        if (fds[i] < 0 || !OdbierzOdpowiedz(fds[i])) {
                            bledy++;
                            continue;
                        }
                        if (mierz)
                            mojeCzasy.push_back(duration<double, std::micro>(steady_clock::now() - wyslane[i]).count());
                    }
                    if (okres.count()) {
                        nastepny += okres;
                        std::this_thread::sleep_until(nastepny);
                    }
                }
                for (int fd : fds)
                    if (fd >= 0)
                        ::close(fd);
                std::lock_guard blokada(czasyBlokada);
                czasy.insert(czasy.end(), mojeCzasy.begin(), mojeCzasy.end());
            });
        }
        while (gotowe < WatkiKlientow)
            std::this_thread::sleep_for(milliseconds(1));
    }
    ~Enkodery200() { Zakoncz(); }
    void Zakoncz() {
        koniec = true;
        for (auto& w : watki)
            if (w.joinable())
                w.join();
    }
    double P99() {
        if (czasy.empty())
            return 0;
        std::sort(czasy.begin(), czasy.end());
        return czasy[czasy.size() * 99 / 100];
    }

    std::vector<std::thread> watki;
    std::atomic<int> gotowe{0};
    std::atomic<bool> koniec{false};
    std::atomic<bool> mierz{false};
    std::atomic<long> bledy{0};
    std::mutex czasyBlokada;
    std::vector<double> czasy;
};

// Median time of the ticks at a 10 ms pace, µs: the machine's other load
// preempts a tick now and then, with or without encoders, and the median
// keeps those out of the comparison.
double SredniTick(int ticki) {
    std::vector<double> czasy;
    auto nastepny = steady_clock::now();
    for (int i = 0; i < ticki; ++i) {
        const auto start = steady_clock::now();
        Tick();
        czasy.push_back(duration<double, std::micro>(steady_clock::now() - start).count());
        nastepny += milliseconds(10);
        std::this_thread::sleep_until(nastepny);
    }
    std::nth_element(czasy.begin(), czasy.begin() + ticki / 2, czasy.end());
    return czasy[ticki / 2];
}

SerwerEnkoderow::Opcje OpcjeLokalne() {
    SerwerEnkoderow::Opcje opcje;
    opcje.adres = "127.0.0.1";
    opcje.port = 0;
    opcje.maksPolaczen = 256;
    return opcje;
}

void TickWithEncoders(benchmark::State& state) {
    Model model;
    SerwerEnkoderow serwer;
    serwer.UruchomSerwerEnkoderow(OpcjeLokalne());
    for (auto _ : state) {
        // Without, with, without again: the machine's load drifts, and the
        // two baselines around the measurement take the drift out.
        const double przed = SredniTick(300);
        Enkodery200 enkodery(serwer.IdTCPServer.port(), OkresPodtrzymania);
        const double z = SredniTick(300);
        enkodery.Zakoncz();
        const double po = SredniTick(300);
        const double bez = (przed + po) / 2;
        state.SetIterationTime(z * 1e-6);
        state.counters["tick_us_without"] = bez;
        state.counters["tick_us_with"] = z;
        state.counters["ratio"] = z / bez;
        state.counters["client_errors"] = static_cast<double>(enkodery.bledy);
    }
}
BENCHMARK(TickWithEncoders)->UseManualTime()->Iterations(3)->Unit(benchmark::kMicrosecond);

struct Pomiar {
    double naSekunde = 0;
    double p99 = 0;
    long bledy = 0;
};

Pomiar ZmierzSerwer(std::uint16_t port) {
    Enkodery200 enkodery(port, microseconds(0));
    std::this_thread::sleep_for(milliseconds(300)); // warm-up
    enkodery.mierz = true;
    const auto start = steady_clock::now();
    std::this_thread::sleep_for(seconds(2));
    enkodery.mierz = false;
    const double sekundy = duration<double>(steady_clock::now() - start).count();
    enkodery.Zakoncz();
    return {static_cast<double>(enkodery.czasy.size()) / sekundy, enkodery.P99(), enkodery.bledy};
}

void EchoHandler(platform::net::Connection& polaczenie) {
    static const std::vector<std::uint8_t> odpowiedz = {12, 0, 0, 0, 11, 0, 0, 0, 0xf9, 0x2a, 0, 0};
    while (true) {
        auto naglowek = polaczenie.read(4);
        if (!naglowek.ok())
            return;
        const std::uint32_t dlugosc = naglowek.bytes[0] | (naglowek.bytes[1] << 8);
        if (dlugosc < 8 || !polaczenie.read(dlugosc - 4).ok() || !polaczenie.write(odpowiedz))
            return;
    }
}

void RepliesAgainstEcho(benchmark::State& state) {
    Model model;
    for (auto _ : state) {
        platform::net::TcpServer echo;
        platform::net::TcpServer::Options o;
        o.bindAddress = "127.0.0.1";
        echo.start(o, EchoHandler);
        const Pomiar bazowy = ZmierzSerwer(echo.port());
        echo.stop();

        SerwerEnkoderow serwer;
        serwer.UruchomSerwerEnkoderow(OpcjeLokalne());
        const Pomiar enkodery = ZmierzSerwer(serwer.IdTCPServer.port());
        serwer.Zatrzymaj();

        state.SetIterationTime(2.0);
        state.counters["echo_replies_per_s"] = bazowy.naSekunde;
        state.counters["replies_per_s"] = enkodery.naSekunde;
        state.counters["replies_ratio"] = enkodery.naSekunde / bazowy.naSekunde;
        state.counters["echo_p99_us"] = bazowy.p99;
        state.counters["p99_us"] = enkodery.p99;
        state.counters["p99_ratio"] = enkodery.p99 / bazowy.p99;
        state.counters["client_errors"] = static_cast<double>(bazowy.bledy + enkodery.bledy);
    }
}
BENCHMARK(RepliesAgainstEcho)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
