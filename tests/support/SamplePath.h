#pragma once
// The sample tables kept in the repository under tests/data/paradox/<set>/.

#include <string>
#include <string_view>

namespace morvane::test {

// Full path of a sample set or file, relative to the samples folder ("pd-joins",
// "pd-fields/ALPHA.DB"). When it does not exist the running test fails with a message naming
// it (see FailTest); otherwise, or under Qt Test, the path is returned.
std::string SamplePath(std::string_view relative);

} // namespace morvane::test
