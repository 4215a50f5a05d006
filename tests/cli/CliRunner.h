#pragma once
// Runs the real morvane-cli as a child process through the shell and collects what it printed.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace morvane::test {

struct CliResult
{
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// s in single quotes, safe for the shell.
inline std::string ShellQuote(const std::string& s)
{
    std::string q(1, '\'');
    for (char c : s) {
        if (c == '\'')
            q.append("'\\''");
        else
            q.push_back(c);
    }
    q.push_back('\'');
    return q;
}

inline std::string Slurp(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs "<envPrefix> morvane-cli <arguments>" (arguments already quoted as needed); standard error
// goes through errFile.
inline CliResult RunCli(const std::string& arguments, const std::filesystem::path& errFile,
                        const std::string& envPrefix = {})
{
    std::string cmd = envPrefix;
    if (!cmd.empty())
        cmd.push_back(' ');
    cmd.append(ShellQuote(MORVANE_CLI_PATH)).append(" ").append(arguments);
    cmd.append(" 2>").append(ShellQuote(errFile.string()));
    CliResult r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = Slurp(errFile);
    return r;
}

} // namespace morvane::test
