#include "server/TvxCommitJournal.h"

#include <sstream>
#include <stdexcept>
#include <string_view>

namespace morvane {

namespace {

constexpr const char* Magic = "morvane-commit 1";

const char* const StateNames[] = {"moving", "done", "rolled-back"};
const char* const KindNames[] = {"replace", "place", "aside", "keep"};

// Names are file-system bytes: anything but printable ASCII, and "%", written as %XX.
std::string Encode(const std::string& name)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '%')
            out += {'%', hex[c >> 4], hex[c & 15]};
        else
            out += ch;
    }
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    throw std::runtime_error("bad escape in a name");
}

std::string Decode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            throw std::runtime_error("cut escape in a name");
        out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        i += 2;
    }
    if (out.empty() || out == "." || out == ".." || out.find('/') != std::string::npos ||
        out.find('\0') != std::string::npos)
        throw std::runtime_error("a name that is not a plain file name: " + text);
    return out;
}

std::string WorkingDirectory(const std::string& text, const std::string& prefix)
{
    const std::string name = Decode(text);
    if (name.rfind(prefix, 0) != 0)
        throw std::runtime_error("not a working directory of ours: " + name);
    return name;
}

template <std::size_t N> int IndexOf(const char* const (&names)[N], const std::string& word)
{
    for (std::size_t i = 0; i < N; ++i)
        if (word == names[i])
            return static_cast<int>(i);
    throw std::runtime_error("unknown word " + word);
}

} // namespace

std::string TvxCommitJournal::Text() const
{
    std::string out;
    const auto line = [&out](std::string_view word, const std::string& name, const std::string& second = {}) {
        out.append(word).append(" ").append(Encode(name));
        if (!second.empty())
            out.append(" ").append(Encode(second));
        out.append("\n");
    };
    out.append(Magic).append("\n");
    out.append("state ").append(StateNames[static_cast<int>(state)]).append("\n");
    line("new", newDir);
    line("old", oldDir);
    for (const Step& s : steps)
        line(KindNames[static_cast<int>(s.kind)], s.name, s.kind == Step::Kind::Keep ? s.kept : std::string());
    return out.append("end\n");
}

TvxCommitJournal TvxCommitJournal::Parse(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != Magic)
        throw std::runtime_error("not a commit journal");
    TvxCommitJournal j;
    bool ended = false;
    bool haveState = false;
    while (std::getline(in, line)) {
        if (ended)
            throw std::runtime_error("text after the end");
        std::istringstream words(line);
        std::string word;
        std::string name;
        std::string kept;
        words >> word;
        if (word == "end") {
            ended = true;
            continue;
        }
        if (!(words >> name))
            throw std::runtime_error("a line without its name: " + line);
        if (word == "state") {
            j.state = static_cast<State>(IndexOf(StateNames, name));
            haveState = true;
        } else if (word == "new") {
            j.newDir = WorkingDirectory(name, NewPrefix);
        } else if (word == "old") {
            j.oldDir = WorkingDirectory(name, OldPrefix);
        } else {
            const auto kind = static_cast<Step::Kind>(IndexOf(KindNames, word));
            if (kind == Step::Kind::Keep && !(words >> kept))
                throw std::runtime_error("a kept file without its new name: " + line);
            j.steps.push_back({kind, Decode(name), kind == Step::Kind::Keep ? Decode(kept) : std::string()});
        }
        if (words >> word)
            throw std::runtime_error("more than a line holds: " + line);
    }
    if (!ended || !haveState || j.newDir.empty() || j.oldDir.empty())
        throw std::runtime_error("an incomplete journal");
    return j;
}

} // namespace morvane
