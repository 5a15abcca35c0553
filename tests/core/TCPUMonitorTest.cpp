#include "core/TCPUMonitor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <future>
#include <pthread.h>
#include <set>
#include <thread>
#include <time.h>

namespace {

// A thread that reports its id and then waits until it is told to end.
class IdleThread {
public:
    IdleThread() : thread_([this] {
                       id_.set_value(TCPUMonitor::IdBiezacegoWatku());
                       stop_.get_future().wait();
                   }) {
        id = id_.get_future().get();
    }
    ~IdleThread() { Stop(); }
    void Stop() {
        if (thread_.joinable()) {
            stop_.set_value();
            thread_.join();
        }
    }
    int id = 0;

private:
    std::promise<int> id_;
    std::promise<void> stop_;
    std::thread thread_;
};

std::set<int> Walk(TCPUMonitor& m) {
    std::set<int> ids;
    for (int id = m.PierwszyWatek(); id != 0; id = m.NastepnyWatek())
        ids.insert(id);
    return ids;
}

// Burns CPU time on the calling thread so that a sample has time to share.
void Spin(std::chrono::milliseconds cpuTime) {
    timespec start{}, now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    volatile unsigned sink = 0;
    do {
        for (int i = 0; i < 100000; ++i)
            sink = sink + i;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    } while ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1'000'000 < cpuTime.count());
}

// Waits until the thread sleeps: some kernels publish the CPU time of a
// thread that runs on another CPU only when it is switched out.
void WaitUntilAsleep(int id) {
    for (int i = 0; i < 1000; ++i) {
        std::ifstream file("/proc/self/task/" + std::to_string(id) + "/stat");
        std::string line;
        std::getline(file, line);
        const auto close = line.rfind(')');
        if (close != std::string::npos && line.compare(close, 3, ") S") == 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TEST(TCPUMonitor, FirstSampleHasNoLoadAndSeesThisThread) {
    TCPUMonitor m;
    Spin(std::chrono::milliseconds(20));
    EXPECT_EQ(m.Probkuj("Application"), 0.0f);
    EXPECT_EQ(m.ObciazenieCalkowite(), 0.0f);

    const int self = TCPUMonitor::IdBiezacegoWatku();
    EXPECT_EQ(m.EtykietaWatku(self), "Application");
    EXPECT_EQ(m.ObciazenieWatku(self), 0.0f);
    EXPECT_GE(m.LiczbaWatkow(), 1);
}

TEST(TCPUMonitor, ThreadsComeWithTheirFirstLabelAndGoWhenEnded) {
    TCPUMonitor m;
    m.Probkuj("Pierwsza");
    const int self = TCPUMonitor::IdBiezacegoWatku();

    IdleThread later;
    const auto before = std::chrono::system_clock::now();
    m.Probkuj("Druga");
    const auto after = std::chrono::system_clock::now();
    m.Probkuj("Trzecia");

    EXPECT_EQ(m.EtykietaWatku(self), "Pierwsza");
    EXPECT_EQ(m.EtykietaWatku(later.id), "Druga");
    EXPECT_GE(m.CzasPojawieniaWatku(later.id), before);
    EXPECT_LE(m.CzasPojawieniaWatku(later.id), after);
    EXPECT_TRUE(Walk(m).contains(later.id));
    const int count = m.LiczbaWatkow();

    later.Stop();
    // join returns a moment before the kernel unlists the thread
    for (int i = 0; i < 500 && Walk(m).contains(later.id); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        m.Probkuj("Czwarta");
    }
    EXPECT_FALSE(Walk(m).contains(later.id));
    EXPECT_EQ(m.LiczbaWatkow(), count - 1);
    EXPECT_EQ(m.EtykietaWatku(later.id), "0");
    EXPECT_EQ(m.ObciazenieWatku(later.id), 0.0f);
    EXPECT_EQ(m.CzasPojawieniaWatku(later.id), TCPUMonitor::DataCzas{});
}

TEST(TCPUMonitor, WalkSurvivesLookupsOfItsOwnPlace) {
    TCPUMonitor m;
    EXPECT_EQ(m.PierwszyWatek(), 0);
    EXPECT_EQ(m.NastepnyWatek(), 0);

    IdleThread a, b;
    m.Probkuj("Start");
    std::set<int> walked;
    int previous = 0;
    for (int id = m.PierwszyWatek(); id != 0; id = m.NastepnyWatek()) {
        EXPECT_GT(id, previous);
        previous = id;
        EXPECT_EQ(m.EtykietaWatku(id), "Start");
        m.ObciazenieWatku(id);
        m.CzasPojawieniaWatku(id);
        walked.insert(id);
    }
    EXPECT_EQ(walked.size(), std::size_t(m.LiczbaWatkow()));
    EXPECT_TRUE(walked.contains(a.id) && walked.contains(b.id));
    EXPECT_EQ(m.NastepnyWatek(), 0); // stays at the end

    // an unknown id puts the cursor at the end
    m.PierwszyWatek();
    EXPECT_EQ(m.EtykietaWatku(-5), "0");
    EXPECT_EQ(m.NastepnyWatek(), 0);
}

TEST(TCPUMonitor, ThreadLoadsShareTheSystemLoad) {
    TCPUMonitor m;
    IdleThread idle;
    WaitUntilAsleep(idle.id);
    m.Probkuj("A");
    Spin(std::chrono::milliseconds(50));
    const float system = m.Probkuj("B");
    ASSERT_GT(system, 0.0f);
    ASSERT_LE(system, 100.0f);

    const int self = TCPUMonitor::IdBiezacegoWatku();
    const float selfLoad = m.ObciazenieWatku(self);
    float sum = 0;
    for (const int id : Walk(m)) {
        const float load = m.ObciazenieWatku(id);
        EXPECT_GE(load, 0.0f);
        EXPECT_LE(load, selfLoad) << "only this thread was busy";
        sum += load;
    }
    EXPECT_NEAR(sum, system, system * 1e-4);
    EXPECT_EQ(m.ObciazenieWatku(idle.id), 0.0f);
}

TEST(TCPUMonitor, ThreadWhoseCommandNameHoldsParenthesesIsMeasured) {
    TCPUMonitor m;
    std::promise<int> started;
    std::promise<void> spin, spun, end;
    std::thread busy([&] {
        // the kernel shows this name in the stat line between parentheses
        pthread_setname_np(pthread_self(), "w) 1 2 (3 4 5");
        started.set_value(TCPUMonitor::IdBiezacegoWatku());
        spin.get_future().wait();
        Spin(std::chrono::milliseconds(30));
        spun.set_value();
        end.get_future().wait();
    });
    const int id = started.get_future().get();
    WaitUntilAsleep(id);
    m.Probkuj("A");
    spin.set_value();
    spun.get_future().wait();
    WaitUntilAsleep(id);
    m.Probkuj("B");
    end.set_value();
    busy.join();

    EXPECT_GT(m.ObciazenieWatku(id), 0.0f);
    EXPECT_GT(m.ObciazenieWatku(id), m.ObciazenieWatku(TCPUMonitor::IdBiezacegoWatku()));
}

TEST(TCPUMonitor, NamesAreSetReplacedAndRemoved) {
    TCPUMonitor m;
    m.UstawNazweWatku(10, "Main_Thread");
    m.UstawNazweWatku(20, "Magistrala_Thread");
    m.UstawNazweWatku(20, "TEncoderThread");
    EXPECT_EQ(m.NazwaWatku(10), "Main_Thread");
    EXPECT_EQ(m.NazwaWatku(20), "TEncoderThread");

    m.UstawNazweWatku(30, ""); // unknown id: nothing changes
    EXPECT_EQ(m.NazwaWatku(10), "Main_Thread");
    EXPECT_EQ(m.NazwaWatku(20), "TEncoderThread");
    EXPECT_EQ(m.NazwaWatku(30), "");

    m.UstawNazweWatku(20, "");
    EXPECT_EQ(m.NazwaWatku(20), "");
    EXPECT_EQ(m.NazwaWatku(10), "Main_Thread");
}

TEST(TCPUMonitor, ThreadsNameThemselvesUnderTheIdsTheSampleSees) {
    TCPUMonitor m;
    std::vector<std::thread> threads;
    std::vector<int> ids(8);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&m, &ids, t] {
            ids[t] = TCPUMonitor::IdBiezacegoWatku();
            for (int i = 0; i < 200; ++i) {
                m.UstawNazweWatku(ids[t], "Magistrala_Thread");
                m.UstawNazweWatku(ids[t], "");
            }
            m.UstawNazweWatku(ids[t], "IdTCPServerExecute " + std::to_string(t));
        });
    for (auto& t : threads)
        t.join();
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ(m.NazwaWatku(ids[t]), "IdTCPServerExecute " + std::to_string(t));

    const int self = TCPUMonitor::IdBiezacegoWatku();
    m.UstawNazweWatku(self, "Main_Thread");
    m.Probkuj("SprawdzWatki");
    EXPECT_TRUE(Walk(m).contains(self));
    EXPECT_EQ(m.NazwaWatku(self), "Main_Thread");
}

TEST(TCPUMonitor, GlobalMonitorIsCreatedOnce) {
    TCPUMonitor* const saved = CPUMonitor;
    CPUMonitor = nullptr;
    Probkuj("SystemStart"); // no monitor yet: nothing happens

    InicjujGlobalne();
    TCPUMonitor* const created = CPUMonitor;
    ASSERT_NE(created, nullptr);
    InicjujGlobalne();
    EXPECT_EQ(CPUMonitor, created);

    Probkuj("SystemStart");
    EXPECT_EQ(CPUMonitor->EtykietaWatku(TCPUMonitor::IdBiezacegoWatku()), "SystemStart");
    ZwolnijGlobalne();
    EXPECT_EQ(CPUMonitor, created);

    delete created; // leave the global as other tests found it
    CPUMonitor = saved;
}

} // namespace
