#include "tests/support/ControllerPeer.h"

#include <gtest/gtest.h>

void ControllerPeer::send(const centrala::FrameValues& values) {
    const centrala::Frame frame = centrala::encodeFrame(values);
    peer_.write(frame);
}

std::vector<centrala::Decoded> ControllerPeer::receive(std::chrono::milliseconds quiet) {
    const std::vector<std::uint8_t> bytes = peer_.readAll(quiet);
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<centrala::Decoded> frames;
    while (pending_.size() >= centrala::frameLength) {
        const auto decoded = centrala::decodeFrame(pending_);
        EXPECT_TRUE(decoded.has_value()) << "the desk sent bytes that make no frame";
        if (decoded)
            frames.push_back(*decoded);
        pending_.erase(pending_.begin(), pending_.begin() + centrala::frameLength);
    }
    return frames;
}
