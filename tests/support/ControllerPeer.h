#pragma once
#include <chrono>
#include <vector>

#include "devices/RamkaCentrali.h"
#include "tests/support/PtyPeer.h"

// The controllers on the far end of a controller line, for tests: frames
// they report go to the desk, and the desk's commands come back decoded.
class ControllerPeer {
public:
    explicit ControllerPeer(PtyPeer& peer) : peer_(peer) {}

    // A frame of a controller (CC sync).
    void send(const centrala::FrameValues& values);
    // The frames the desk sent until the line has been quiet for the given
    // time. Bytes that make no frame fail the test.
    std::vector<centrala::Decoded> receive(std::chrono::milliseconds quiet = std::chrono::milliseconds(5));

private:
    PtyPeer& peer_;
    std::vector<std::uint8_t> pending_;
};
