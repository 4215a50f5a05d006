#include "support/TestFailure.h"

#include <QTest>

namespace morvane::test {

void FailTest(const std::string& message)
{
    QTest::qFail(message.c_str(), __FILE__, __LINE__);
}

} // namespace morvane::test
