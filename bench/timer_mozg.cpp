// The main window's 10 ms logic timer, TimerMozg, driving the tick of the
// large estate, against an empty 10 ms precise timer in the same run: the
// ticks each gets per second of the event loop, and their ratio, which stays
// at 1 while the tick fits its 10 ms. The share of the 10 ms the timer's
// handler takes is reported for information.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdlib>

#include "app/UnitMain.h"
#include "bench/support/DuzeOsiedle.h"
#include "core/Mozg.h"
#include "core/TCPUMonitor.h"
#include "devices/Urzadzenia.h"

namespace {

using namespace bench_osiedle;

constexpr int SekundyPomiaru = 5;

QApplication& Aplikacja() {
    static QApplication* aplikacja = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char nazwa[] = "timer_mozg_bench";
        static char* argv[] = {nazwa, nullptr};
        return new QApplication(argc, argv);
    }();
    return *aplikacja;
}

// Runs the event loop for the time and returns the timeouts of the timer
// per second.
double TaktyNaSekunde(QTimer& timer, const int& takty, int sekundy = SekundyPomiaru) {
    QEventLoop petla;
    QTimer::singleShot(std::chrono::seconds(sekundy), Qt::PreciseTimer, &petla, &QEventLoop::quit);
    QElapsedTimer czas;
    czas.start();
    timer.start();
    petla.exec();
    timer.stop();
    return takty * 1000.0 / static_cast<double>(czas.elapsed());
}

void BM_TimerMozg_WobecPustegoTimera(benchmark::State& state) {
    Aplikacja();
    InicjujGlobalne();
    RejestrujUrzadzenia();
    for (auto _ : state) {
        Osiedle osiedle;
        TFormMain okno;
        okno.Pokazane = true; // no connection: the estate is in memory
        // The window's data module replaced the in-memory one.
        UstawDaneModelu(&osiedle.dane);
        MozgStart();

        // The timer's own handler, timed; the next codes arrive after it.
        QObject::disconnect(okno.TimerMozg, &QTimer::timeout, nullptr, nullptr);
        int taktyMozgu = 0;
        std::chrono::nanoseconds zajety{0};
        std::chrono::nanoseconds najdluzszy{0};
        QObject::connect(okno.TimerMozg, &QTimer::timeout, &okno, [&] {
            const auto poczatek = std::chrono::steady_clock::now();
            okno.TimerMozgTimer();
            const auto trwal = std::chrono::steady_clock::now() - poczatek;
            zajety += trwal;
            najdluzszy = std::max<std::chrono::nanoseconds>(najdluzszy, trwal);
            ++taktyMozgu;
            osiedle.NoweKody();
        });
        // A first second unmeasured: the first passages and events fill
        // the containers and the caches.
        TaktyNaSekunde(*okno.TimerMozg, taktyMozgu, 1);
        taktyMozgu = 0;
        zajety = najdluzszy = {};
        const double mozg = TaktyNaSekunde(*okno.TimerMozg, taktyMozgu);

        QTimer pusty;
        pusty.setTimerType(Qt::PreciseTimer);
        pusty.setInterval(10);
        int taktyPuste = 0;
        QObject::connect(&pusty, &QTimer::timeout, [&] { ++taktyPuste; });
        const double bazowy = TaktyNaSekunde(pusty, taktyPuste);

        MozgStop();
        state.counters["takty_mozg_na_s"] = mozg;
        state.counters["takty_puste_na_s"] = bazowy;
        state.counters["stosunek"] = mozg / bazowy;
        state.counters["udzial_budzetu_proc"] =
            taktyMozgu ? 100.0 * std::chrono::duration<double>(zajety).count() / taktyMozgu / 0.010 : 0.0;
        state.counters["najdluzszy_takt_ms"] = std::chrono::duration<double, std::milli>(najdluzszy).count();
        state.SetIterationTime(2.0 * SekundyPomiaru);
    }
}
BENCHMARK(BM_TimerMozg_WobecPustegoTimera)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
