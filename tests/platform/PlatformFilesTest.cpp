// The platform layer's file calls, alike on POSIX and Win32: each case does one thing in a
// directory whose name has spaces and accented letters, and says what came of it.
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <set>

#include "platform/EvxPlatformError.h"
#include "platform/TvxPlatformFiles.h"
#include "platform/vxFileIo.h"
#include "platform/vxNameMatch.h"
#include "platform/vxPath.h"
#include "support/TempDir.h"

namespace morvane {
namespace {

// What an action threw, or what it answered.
template <typename Action> std::string Outcome(Action action)
{
    try {
        return action();
    } catch (const EvxPlatformError& e) {
        return std::string("error ") + (e.SystemCode() == EEXIST   ? "exists"
                                        : e.SystemCode() == ENOENT ? "missing"
                                                                   : "other");
    }
}

std::string Read(TvxPlatformFiles& files, const std::string& path)
{
    return files.ReadSmallFile(path, 1000).value_or("<none>");
}

struct Case
{
    const char* name;
    std::function<std::string(TvxPlatformFiles&, const std::string&)> action;
    const char* expected;
};

const Case Cases[] = {
    {"durable write then read",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/a é.txt", "olá");
         return Read(f, d + "/a é.txt");
     },
     "olá"},
    {"durable write replaces",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/x", "1");
         f.WriteFileDurably(d + "/x", "22");
         return Read(f, d + "/x");
     },
     "22"},
    {"missing file reads as none", [](auto& f, auto& d) { return Read(f, d + "/nada"); }, "<none>"},
    {"too long a small file",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/big", std::string(2000, 'x'));
         return Read(f, d + "/big");
     },
     "error other"},
    {"move refuses an existing name",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/m1", "1");
         f.WriteFileDurably(d + "/m2", "2");
         f.Move(d + "/m1", d + "/m2");
         return Read(f, d + "/m2");
     },
     "error exists"},
    {"move to a new name",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/n1", "1");
         f.Move(d + "/n1", d + "/n ç");
         return Read(f, d + "/n ç") + Read(f, d + "/n1");
     },
     "1<none>"},
    {"replacing move",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/r1", "new");
         f.WriteFileDurably(d + "/r2", "old");
         f.MoveReplacing(d + "/r1", d + "/r2");
         return Read(f, d + "/r2");
     },
     "new"},
    {"kept copy",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/k", "kk");
         f.KeepCopy(d + "/k", d + "/k2");
         f.RemoveFile(d + "/k");
         return Read(f, d + "/k2");
     },
     "kk"},
    {"kept copy refuses an existing name",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/k", "1");
         f.WriteFileDurably(d + "/k2", "2");
         f.KeepCopy(d + "/k", d + "/k2");
         return Read(f, d + "/k2");
     },
     "error exists"},
    {"copy of a missing file",
     [](auto& f, auto& d) {
         f.CopyFile(d + "/none", d + "/c");
         return std::string("copied");
     },
     "error missing"},
    {"listing",
     [](auto& f, auto& d) {
         f.MakeDirectory(d + "/sub ü");
         f.WriteFileDurably(d + "/f", "");
         std::set<std::string> names;
         for (const auto& e : f.List(d))
             names.insert(e.name + (e.directory ? "/" : ""));
         std::string s;
         for (const auto& n : names)
             s += n + ";";
         return s;
     },
     "f;sub ü/;"},
    {"removals",
     [](auto& f, auto& d) {
         f.MakeDirectory(d + "/s");
         const bool removed = f.RemoveDirectory(d + "/s");
         return std::to_string(removed) + std::to_string(f.RemoveFile(d + "/gone")) +
                std::to_string(f.Exists(d + "/s"));
     },
     "110"},
    {"temporary directory",
     [](auto& f, auto& d) {
         const std::string t = f.MakeTempDirectory(d, "wk-");
         return std::to_string(t.size() == d.size() + 10) + std::to_string(f.Exists(t));
     },
     "11"},
    {"same file",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/s", "");
         return std::to_string(f.SameFile(d + "/s", d + "/./s")) + std::to_string(f.SameFile(d + "/s", d));
     },
     "10"},
    {"lock is exclusive until released",
     [](auto& f, auto& d) {
         const std::string lock = d + "/tabela.lck";
         const TvxFileHandle first = f.TryLockFile(lock);
         const TvxFileHandle second = f.TryLockFile(lock);
         f.WriteLockedFile(first, "holder");
         const std::string text = Read(f, lock);
         f.ReleaseLockFile(first, lock);
         const TvxFileHandle third = f.TryLockFile(lock);
         const bool taken = third != vxNoFileHandle;
         if (taken)
             f.ReleaseLockFile(third, lock);
         return std::to_string(first != vxNoFileHandle) + std::to_string(second != vxNoFileHandle) + text +
                std::to_string(taken) + std::to_string(f.Exists(lock));
     },
     "10holder10"},
    {"positioned io, info, mapping",
     [](auto&, auto& d) {
         const TvxFileHandle h = vxOpenFile(d + "/io ã", EvxOpenMode::CreateNew);
         vxWriteAt(h, "abcdef", 6, 0);
         vxWriteAt(h, "XY", 2, 2);
         char back[3] = {};
         vxReadAt(h, back, 2, 3);
         TvxFileInfo info;
         vxFileInfoOf(h, info);
         const std::uint8_t* map = vxMapFile(h, info.size);
         const std::string mapped = map ? std::string(reinterpret_cast<const char*>(map), info.size) : "<no map>";
         vxUnmapFile(map, info.size);
         vxFlushFile(h);
         vxCloseFile(h);
         TvxFileInfo byPath;
         return std::string(back) + mapped + std::to_string(info.size) + std::to_string(info.regular) +
                std::to_string(vxPathInfo(d + "/io ã", byPath) && byPath.size == 6 && !byPath.directory);
     },
     "Yeab"
     "XYef"
     "611"},
    {"opening fails with errno",
     [](auto& f, auto& d) {
         f.WriteFileDurably(d + "/e", "");
         const bool missing = vxOpenFile(d + "/none", EvxOpenMode::Read) == vxNoFileHandle && errno == ENOENT;
         const bool exists = vxOpenFile(d + "/e", EvxOpenMode::CreateNew) == vxNoFileHandle && errno == EEXIST;
         return std::to_string(missing) + std::to_string(exists);
     },
     "11"},
};

TEST(PlatformFiles, EveryCaseAlikeOnEverySystem)
{
    for (const Case& c : Cases) {
        test::TempDir temp;
        const std::string dir = vxPathString(temp.path()) + "/Dados de teste ção";
        TvxPlatformFiles& files = TvxPlatformFiles::System();
        files.MakeDirectory(dir);
        EXPECT_EQ(Outcome([&] { return c.action(files, dir); }), c.expected) << c.name;
    }
}

TEST(PlatformFiles, NamesMatchPatternsAlikeOnEverySystem)
{
    const struct
    {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.db", "CLIENTES.DB", true},
        {"*.db", "CLIENTES.DBX", false},
        {"C?I*", "cliente", true},
        {"c?i*", "ci", false},
        {"[a-c]*.DB", "b.db", true},
        {"[!a-c]*", "b.db", false},
        {"[^a-c]*", "d", true},
        {"\\*x", "*X", true},
        {"\\*x", "ax", false},
        {"[ab", "[ab", true},
        {"*a*b*", "xAyBz", true},
        {"*a*b*", "xbya", false},
        {"", "", true},
        {"*", "", true},
        {"?", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vxMatchName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

} // namespace
} // namespace morvane
