#pragma once
#include <gtest/gtest.h>

#include <string>

// Whether a recording (raw 16-bit stereo at 44.1 kHz) holds at least a second of a tone of the given
// frequency (within about 1 %), measured in the middle of its loud part.
::testing::AssertionResult ToneArrived(const std::string& recording, double frequency);
