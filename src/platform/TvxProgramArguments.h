#pragma once
// TvxProgramArguments: a program's arguments in UTF-8 on every system (Windows hands main()
// its arguments in the ANSI code page; these come from the wide command line instead).

#include <string>
#include <vector>

namespace morvane {

class TvxProgramArguments
{
public:
    TvxProgramArguments(int argc, char** argv);
    int argc() const { return static_cast<int>(pointers_.size()) - 1; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_; // null-terminated, as main's
};

} // namespace morvane
