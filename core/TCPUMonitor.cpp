#include "core/TCPUMonitor.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

TCPUMonitor* CPUMonitor = nullptr;

namespace {

// /proc counts CPU time in clock ticks; the monitor keeps 100 ns units.
std::uint64_t TicksTo100ns(std::uint64_t ticks) {
    static const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    return ticksPerSecond > 0 ? ticks * 10'000'000 / static_cast<std::uint64_t>(ticksPerSecond) : 0;
}

struct SystemTimes {
    double busy = 0;  // 100 ns units
    double total = 0; // busy plus idle
};

// The aggregate "cpu" line of /proc/stat. Guest time is already inside user
// time, so only the first eight columns count; waiting for I/O is idle.
std::optional<SystemTimes> ReadSystemTimes() {
    std::ifstream stat("/proc/stat");
    std::string label;
    std::uint64_t user, nice, system, idle, iowait, irq, softirq, steal;
    if (!(stat >> label >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal) ||
        label != "cpu")
        return std::nullopt;
    const auto busy = TicksTo100ns(user + nice + system + irq + softirq + steal);
    const auto idleTotal = TicksTo100ns(idle + iowait);
    return SystemTimes{double(busy), double(busy + idleTotal)};
}

// utime + stime of one thread of this process. The command name in
// parentheses may hold spaces and ')', so the fields are counted from the
// last ')': state is field 3, utime and stime fields 14 and 15.
std::optional<std::uint64_t> ReadThreadTime(const std::string& tid) {
    std::ifstream file("/proc/self/task/" + tid + "/stat");
    std::string line;
    if (!std::getline(file, line))
        return std::nullopt;
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(close + 1));
    std::string skipped;
    for (int field = 3; field <= 13; ++field)
        fields >> skipped;
    std::uint64_t utime, stime;
    if (!(fields >> utime >> stime))
        return std::nullopt;
    return TicksTo100ns(utime + stime);
}

bool IsThreadId(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

// A thread id the kernel reused for a new thread may show less CPU time than
// the old thread had; that counts as no time rather than as a wrapped count.
std::uint64_t Increment(const TCPUMonitor::THREAD_TIMES& probka) {
    return probka.biezacy > probka.poprzedni ? probka.biezacy - probka.poprzedni : 0;
}

using Samples = std::map<int, TCPUMonitor::THREAD_TIMES>;

// Load in percent between the previous sample and now; 0 on the first sample
// and when no time passed. The previous times move on to now.
float SystemLoad(double& previousBusy, double& previousTotal) {
    const auto now = ReadSystemTimes();
    if (!now)
        return 0;
    const bool first = previousBusy == 0 && previousTotal == 0;
    const double busy = now->busy - previousBusy;
    const double total = now->total - previousTotal;
    previousBusy = now->busy;
    previousTotal = now->total;
    if (first || total <= 0)
        return 0;
    return static_cast<float>(std::clamp(100.0 * busy / total, 0.0, 100.0));
}

// Reads every thread of the process into the samples, marking those found;
// a thread met for the first time takes the label and time of this sample.
// Returns the CPU time the process used since the previous sample, nothing
// when the threads cannot be listed.
std::optional<std::uint64_t> SampleThreads(Samples& probki, const std::string& etykieta) {
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return std::nullopt;
    for (auto& [id, probka] : probki)
        probka.widziany = false;

    std::uint64_t processTotal = 0;
    const auto now = std::chrono::system_clock::now();
    while (const dirent* entry = readdir(tasks)) {
        if (!IsThreadId(entry->d_name))
            continue;
        const auto cpuTime = ReadThreadTime(entry->d_name);
        if (!cpuTime)
            continue; // ended while we walked; its entry goes with the unseen
        auto [it, added] = probki.try_emplace(std::atoi(entry->d_name));
        auto& probka = it->second;
        if (added) {
            probka.pojawienie = now;
            probka.etykieta = etykieta;
        }
        probka.poprzedni = probka.biezacy;
        probka.biezacy = *cpuTime;
        probka.widziany = true;
        processTotal += Increment(probka);
    }
    closedir(tasks);
    return processTotal;
}

} // namespace

float TCPUMonitor::Probkuj(const std::string& etykieta) {
    obciazenie_ = SystemLoad(poprzedniZajety_, poprzedniCalkowity_);
    const auto processTotal = SampleThreads(probki_, etykieta);
    if (!processTotal)
        return obciazenie_;

    for (auto it = probki_.begin(); it != probki_.end();) {
        if (it->second.widziany) {
            ++it;
            continue;
        }
        if (it == kursor_)
            kursor_ = probki_.end(); // a walk in progress ends rather than dangles
        it = probki_.erase(it);
    }

    // With no CPU time used the shares are undefined; the last ones stay.
    if (*processTotal != 0)
        for (auto& [id, probka] : probki_)
            probka.obciazenie = static_cast<float>(double(obciazenie_) * double(Increment(probka)) /
                                                   double(*processTotal));
    return obciazenie_;
}

int TCPUMonitor::PierwszyWatek() {
    kursor_ = probki_.begin();
    return kursor_ == probki_.end() ? 0 : kursor_->first;
}

int TCPUMonitor::NastepnyWatek() {
    if (kursor_ != probki_.end())
        ++kursor_;
    return kursor_ == probki_.end() ? 0 : kursor_->first;
}

float TCPUMonitor::ObciazenieWatku(int idWatku) {
    kursor_ = probki_.find(idWatku);
    return kursor_ == probki_.end() ? 0.0f : kursor_->second.obciazenie;
}

TCPUMonitor::DataCzas TCPUMonitor::CzasPojawieniaWatku(int idWatku) {
    kursor_ = probki_.find(idWatku);
    return kursor_ == probki_.end() ? DataCzas{} : kursor_->second.pojawienie;
}

std::string TCPUMonitor::EtykietaWatku(int idWatku) {
    kursor_ = probki_.find(idWatku);
    return kursor_ == probki_.end() ? "0" : kursor_->second.etykieta;
}

void TCPUMonitor::UstawNazweWatku(int idWatku, const std::string& nazwa) {
    std::lock_guard lock(blokadaNazw_);
    if (nazwa.empty())
        nazwy_.erase(idWatku);
    else
        nazwy_[idWatku] = nazwa;
}

std::string TCPUMonitor::NazwaWatku(int idWatku) const {
    std::lock_guard lock(blokadaNazw_);
    const auto it = nazwy_.find(idWatku);
    return it == nazwy_.end() ? std::string() : it->second;
}

int TCPUMonitor::IdBiezacegoWatku() { return static_cast<int>(gettid()); }

void InicjujGlobalne() {
    // Never deleted: threads may still name themselves while the process ends.
    if (!CPUMonitor)
        CPUMonitor = new TCPUMonitor;
}

void ZwolnijGlobalne() {}

void Probkuj(const std::string& etykieta) {
    if (CPUMonitor)
        CPUMonitor->Probkuj(etykieta);
}
