#pragma once
#include <string>
#include <vector>

#include "core/Object.h"
#include "core/Uslugi.h"
#include "tests/support/TemporaryHome.h"

// The 40 global containers for the length of one test.
class GlobalModel {
public:
    GlobalModel();
    ~GlobalModel();
    GlobalModel(const GlobalModel&) = delete;
    GlobalModel& operator=(const GlobalModel&) = delete;

private:
    TemporaryHome home_; // what the model logs stays out of the real home
};

// The main window's message log, recorded while it lives.
class RecordingMessageLog : public DziennikKomunikatow {
public:
    RecordingMessageLog() { UstawDziennikKomunikatow(this); }
    ~RecordingMessageLog() override { UstawDziennikKomunikatow(nullptr); }
    void DodajKomunikat(const std::string& tekst) override { lines.push_back(tekst); }
    std::vector<std::string> lines;
};

// The ids of a container's elements in display order.
std::vector<int> Ids(const Objects& kontener);
