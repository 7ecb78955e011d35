#pragma once
// The widget tests use the same stand-ins for the driver and the user as the core tests.
#include "support/FakeBus.h"
#include "support/FakePrompts.h"

namespace telvar5::widgets_test {
using telvar5::test::FakeBus;
using telvar5::test::FakePrompts;
} // namespace telvar5::widgets_test
