#include "db/TvxAliasConfig.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/EvxPlatformError.h"
#include "platform/TvxPlatformFiles.h"
#include "platform/vxFileIo.h"

#include "db/EvxEngineError.h"
#include "platform/vxPath.h"

namespace morvane {

namespace {

[[noreturn]] void fail(const std::string& message)
{
    throw EvxEngineError(vxErrConfig, message);
}

[[noreturn]] void failAt(const std::string& fileName, std::size_t line, const std::string& what)
{
    fail("Alias configuration " + fileName + ", line " + std::to_string(line) + ": " + what);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool hasControl(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7f;
    });
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view keyOf(std::string_view line)
{
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(0, eq);
}

void checkName(std::string_view name)
{
    if (name.empty() || trim(name) != name || hasControl(name) || name.find(']') != std::string_view::npos ||
        name.find('[') != std::string_view::npos)
        throw EvxEngineError(vxErrConfig, "Invalid alias name \"" + std::string(name) + "\"");
}

void checkParam(std::string_view alias, std::string_view line)
{
    const auto eq = line.find('=');
    const std::string_view key = eq == std::string_view::npos ? std::string_view{} : line.substr(0, eq);
    const bool badKey = key.empty() || trim(key) != key || key.front() == '[' || key.front() == ';' ||
                        key.front() == '#';
    if (eq == std::string_view::npos || badKey || hasControl(line))
        throw EvxEngineError(vxErrConfig, "Invalid parameter \"" + std::string(line) + "\" for alias \"" +
                                              std::string(alias) + "\" (expected KEY=value on one line)");
    // The file keeps values without surrounding blanks; such a value would not read back.
    const std::string_view value = line.substr(eq + 1);
    if (trim(value) != value)
        throw EvxEngineError(vxErrConfig, "Invalid parameter \"" + std::string(line) + "\" for alias \"" +
                                              std::string(alias) + "\" (the value starts or ends with a blank)");
}

} // namespace

bool TvxAliasConfig::SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

bool TvxAliasConfig::ParamValue(const std::vector<std::string>& params, std::string_view key, std::string& value)
{
    for (const auto& line : params) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && SameName(std::string_view(line).substr(0, eq), key)) {
            value = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

std::string TvxAliasConfig::DefaultPath()
{
    if (const char* env = std::getenv("MORVANE_ENGINE_CONFIG"); env && *env)
        return env;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else if (const char* appData = std::getenv("APPDATA"); appData && *appData) // Windows
        base = appData;
    else
        base = ".config";
    return base + "/morvane/aliases.conf";
}

TvxAliasConfig TvxAliasConfig::Load(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(vxPath(path), ec))
        return {};
    if (!std::filesystem::is_regular_file(vxPath(path), ec))
        fail("Alias configuration " + path + " is not a regular file");
    const auto size = std::filesystem::file_size(vxPath(path), ec);
    if (ec)
        fail("Alias configuration " + path + " cannot be read: " + ec.message());
    if (size > MaxFileSize)
        fail("Alias configuration " + path + " is too large (" + std::to_string(size) + " bytes; at most " +
             std::to_string(MaxFileSize) + ")");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("Alias configuration " + path + " cannot be opened: " + std::strerror(errno));
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    // Stop one block past the limit, in case the file grew since it was measured.
    char buf[4096];
    while (in && text.size() <= MaxFileSize) {
        in.read(buf, sizeof buf);
        text.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        fail("Alias configuration " + path + " cannot be read");
    if (text.size() > MaxFileSize)
        fail("Alias configuration " + path + " is too large");
    return Parse(text, path);
}

TvxAliasConfig TvxAliasConfig::Parse(std::string_view text, const std::string& fileName)
{
    if (text.size() > MaxFileSize)
        fail("Alias configuration " + fileName + " is too large");
    TvxAliasConfig config;
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ++lineNo;
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (raw.size() > MaxLineLength)
            failAt(fileName, lineNo, "line too long");
        if (hasControl(raw))
            failAt(fileName, lineNo, "unexpected control character (not a text file?)");
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                failAt(fileName, lineNo, "malformed alias header \"" + std::string(line) + "\"");
            const std::string_view name = trim(line.substr(1, line.size() - 2));
            if (name.empty() || name.find_first_of("[]") != std::string_view::npos)
                failAt(fileName, lineNo, "malformed alias header \"" + std::string(line) + "\"");
            if (config.Find(name))
                failAt(fileName, lineNo, "alias \"" + std::string(name) + "\" defined twice");
            config.aliases_.push_back({std::string(name), {}});
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos)
            failAt(fileName, lineNo, "expected [ALIAS] or KEY=value, found \"" + std::string(line) + "\"");
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty())
            failAt(fileName, lineNo, "parameter without a name");
        if (config.aliases_.empty())
            failAt(fileName, lineNo, "parameter \"" + std::string(key) + "\" outside of an alias");
        auto& params = config.aliases_.back().params;
        const std::string entry = std::string(key) + "=" + std::string(trim(line.substr(eq + 1)));
        auto same = std::find_if(params.begin(), params.end(),
                                 [&](const std::string& p) { return SameName(keyOf(p), key); });
        if (same != params.end())
            *same = entry;
        else
            params.push_back(entry);
    }
    return config;
}

std::string TvxAliasConfig::Format() const
{
    std::string text;
    for (std::size_t i = 0; i < aliases_.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += '[' + aliases_[i].name + "]\n";
        for (const auto& p : aliases_[i].params)
            text += p + '\n';
    }
    return text;
}

void TvxAliasConfig::Save(const std::string& path) const
{
    namespace fs = std::filesystem;
    const fs::path target = vxPath(path);
    std::error_code ec;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec)
            fail("Alias configuration " + path + " cannot be saved: " + ec.message());
    }
    std::string tmpl = path + ".XXXXXX";
    const TvxFileHandle fd = vxMakeTempFile(tmpl);
    if (fd == vxNoFileHandle)
        fail("Alias configuration " + path + " cannot be saved: " + std::strerror(errno));
    const std::string text = Format();
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < text.size()) {
        const std::int64_t n = vxWrite(fd, text.data() + done, text.size() - done);
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    int err = ok ? 0 : errno;
    vxSetFileMode(fd, 0644);
    if (ok && !vxFlushFile(fd))
        ok = false, err = errno;
    if (!vxCloseFile(fd) && ok)
        ok = false, err = errno;
    std::string reason = ok ? std::string() : std::strerror(err);
    if (ok) {
        try {
            TvxPlatformFiles::System().MoveReplacing(tmpl, path);
        } catch (const EvxPlatformError& e) {
            ok = false;
            reason = std::strerror(e.SystemCode());
        }
    }
    if (!ok) {
        TvxPlatformFiles::System().RemoveFile(tmpl);
        fail("Alias configuration " + path + " cannot be saved: " + reason);
    }
}

std::vector<std::string> TvxAliasConfig::Names() const
{
    std::vector<std::string> names;
    names.reserve(aliases_.size());
    for (const auto& a : aliases_)
        names.push_back(a.name);
    return names;
}

const TvxAliasConfig::Alias* TvxAliasConfig::Find(std::string_view name) const
{
    for (const auto& a : aliases_)
        if (SameName(a.name, name))
            return &a;
    return nullptr;
}

void TvxAliasConfig::Modify(std::string_view name, const std::vector<std::string>& params)
{
    checkName(name);
    for (const auto& p : params)
        checkParam(name, p);
    auto it = std::find_if(aliases_.begin(), aliases_.end(), [&](const Alias& a) { return SameName(a.name, name); });
    if (it == aliases_.end()) {
        aliases_.push_back({std::string(name), {}});
        it = std::prev(aliases_.end());
    }
    for (const auto& p : params) {
        auto same = std::find_if(it->params.begin(), it->params.end(),
                                 [&](const std::string& q) { return SameName(keyOf(q), keyOf(p)); });
        if (same != it->params.end())
            *same = p;
        else
            it->params.push_back(p);
    }
}

bool TvxAliasConfig::Remove(std::string_view name)
{
    const auto it =
        std::find_if(aliases_.begin(), aliases_.end(), [&](const Alias& a) { return SameName(a.name, name); });
    if (it == aliases_.end())
        return false;
    aliases_.erase(it);
    return true;
}

} // namespace morvane
