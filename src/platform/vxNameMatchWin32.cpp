// The Win32 side of vxMatchName: the system has no fnmatch; the same rules here (a backslash
// quotes the next character, "[!...]" and "[^...]" negate a class, ranges inside one).
#ifdef _WIN32

#include "platform/vxNameMatch.h"

namespace morvane {

namespace {

char Fold(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The class at p[i] ("[" included) against c; i ends past its "]". False when it is not closed
// (then "[" is an ordinary character, as fnmatch takes it).
bool MatchClass(const std::string& p, std::size_t& i, char c, bool& matched)
{
    std::size_t j = i + 1;
    const bool negate = j < p.size() && (p[j] == '!' || p[j] == '^');
    if (negate)
        ++j;
    bool any = false;
    bool first = true;
    for (; j < p.size() && (first || p[j] != ']'); first = false) {
        char lo = p[j] == '\\' && j + 1 < p.size() ? p[++j] : p[j];
        ++j;
        char hi = lo;
        if (j + 1 < p.size() && p[j] == '-' && p[j + 1] != ']') {
            hi = p[j + 1] == '\\' && j + 2 < p.size() ? p[j + 2] : p[j + 1];
            j += p[j + 1] == '\\' ? 3 : 2;
        }
        lo = Fold(lo);
        hi = Fold(hi);
        any = any || (Fold(c) >= lo && Fold(c) <= hi);
    }
    if (j >= p.size())
        return false;
    i = j + 1;
    matched = any != negate;
    return true;
}

bool Match(const std::string& p, std::size_t i, const std::string& n, std::size_t k)
{
    while (i < p.size()) {
        const char pc = p[i];
        if (pc == '*') {
            while (i < p.size() && p[i] == '*')
                ++i;
            if (i == p.size())
                return true;
            for (std::size_t from = k; from <= n.size(); ++from)
                if (Match(p, i, n, from))
                    return true;
            return false;
        }
        if (k == n.size())
            return false;
        if (pc == '?') {
            ++i;
        } else if (pc == '[') {
            bool matched = false;
            std::size_t j = i;
            if (MatchClass(p, j, n[k], matched)) {
                if (!matched)
                    return false;
                i = j;
            } else {
                if (n[k] != '[')
                    return false;
                ++i;
            }
        } else {
            const char literal = pc == '\\' && i + 1 < p.size() ? p[++i] : pc;
            if (Fold(literal) != Fold(n[k]))
                return false;
            ++i;
        }
        ++k;
    }
    return k == n.size();
}

} // namespace

bool vxMatchName(const std::string& pattern, const std::string& name)
{
    return Match(pattern, 0, name, 0);
}

} // namespace morvane

#endif
