#pragma once
// How the support helpers fail the running test. Each test framework supplies it: under
// GoogleTest the failure is recorded and the test ends (an exception the framework reports);
// under Qt Test the failure is recorded and the call returns.

#include <string>

namespace morvane::test {

void FailTest(const std::string& message);

} // namespace morvane::test
