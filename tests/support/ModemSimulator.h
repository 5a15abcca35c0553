#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/PtyPeer.h"

// A GSM modem on the far end of a pseudo-terminal, answering AT command
// lines the way the desk's modems do: it echoes each line it receives and
// answers with verbose results, reports its SIM with +CPIN, answers ERROR to
// ^CURC (a command it does not know, without echoing it), connects a dial
// with ^CONN or answers BUSY, and ends a hang-up with ^CEND. The test sends
// the unsolicited lines of a call (RING, +CLIP, +DTMF) and any noise itself.
//
// Driven from the test's thread, between the desk's ticks: serve() takes the
// lines the desk sent and answers each.
class ModemSimulator {
public:
    explicit ModemSimulator(PtyPeer& peer) : peer_(peer) {}

    // Answers every whole line the desk sent until the line has been quiet
    // for the given time; returns those lines.
    std::vector<std::string> serve(std::chrono::milliseconds quiet = std::chrono::milliseconds(5));
    // Bytes to the desk as they are.
    void send(std::string_view bytes);
    // A result or unsolicited line: "\r\n" + line + "\r\n".
    void sendLine(std::string_view line);

    // What +CPIN answers.
    std::string cpin = "READY";
    // A dial answers BUSY instead of connecting.
    bool busy = false;
    // A dial rings on without an answer (the test sends "^CONN" itself).
    bool ringing = false;
    // The next commands, this many, get noise instead of their echo and
    // answer.
    int noisyAnswers = 0;
    // Every line the desk sent, in order.
    std::vector<std::string> received;

private:
    std::string answer(const std::string& line);

    PtyPeer& peer_;
    std::string pending_;
};
