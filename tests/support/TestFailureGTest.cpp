#include "support/TestFailure.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace morvane::test {

void FailTest(const std::string& message)
{
    ADD_FAILURE() << message;
    throw std::runtime_error(message);
}

} // namespace morvane::test
