#include "tests/support/ModemSimulator.h"

namespace {

bool startsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

std::string result(std::string_view line) { return "\r\n" + std::string(line) + "\r\n"; }

} // namespace

void ModemSimulator::send(std::string_view bytes) { peer_.write(bytes); }

void ModemSimulator::sendLine(std::string_view line) { send(result(line)); }

std::vector<std::string> ModemSimulator::serve(std::chrono::milliseconds quiet) {
    const std::vector<std::uint8_t> bytes = peer_.readAll(quiet);
    pending_.append(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    for (std::size_t end; (end = pending_.find("\r\n")) != std::string::npos;) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 2);
        received.push_back(line);
        lines.push_back(line);
        send(answer(line));
    }
    return lines;
}

std::string ModemSimulator::answer(const std::string& line) {
    if (noisyAnswers > 0) {
        --noisyAnswers;
        return "\x7f\x13~noise";
    }
    const std::string echo = line + "\r\n";
    if (startsWith(line, "AT^CURC"))
        return result("ERROR");
    if (line == "AT+CPIN?")
        return echo + result("+CPIN: " + cpin) + result("OK");
    if (line == "ATI")
        return echo + result("Manufacturer: Stand-in") + result("Model: GSM-1") + result("Revision: 1.0") +
               result("IMEI: 350000000000001") + result("OK");
    if (startsWith(line, "ATD"))
        return echo + result("OK") + (ringing ? std::string() : result(busy ? "BUSY" : "^CONN:1,0"));
    if (line == "AT+CHUP")
        return echo + result("OK") + result("^CEND:1,0,104,16");
    if (line == "AT" || line == "ATV1" || startsWith(line, "AT+CFUN=") || startsWith(line, "AT+CLIP=") ||
        startsWith(line, "AT+DDET="))
        return echo + result("OK");
    return echo + result("ERROR");
}
