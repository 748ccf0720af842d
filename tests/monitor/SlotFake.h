// The scan benchmark's name for the tests' one fake device library
// (tests/support/FakeCorvane.h), until it includes that header itself.
#pragma once

#include "tests/support/FakeCorvane.h"

namespace MonitorTest {
using CorvaneFake::TFakeSlots;
}  // namespace MonitorTest
