#include "ParadoxWriterTestSupport.h"

#include "ParadoxTestSupport.h"
#include "db/cpDatabase.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "support/TempDir.h"

namespace morvane::test {

SourceTable ReadSourceTable(const std::string& directory, const std::string& fileName,
                            const std::vector<std::string>& passwords)
{
    TempDir config;
    auto engine = CreateParadoxEngine(config.file("aliases.conf"));
    TvxDatabase db(*engine);
    for (const auto& p : passwords)
        db.Session().AddPassword(p);
    db.OpenByPath(directory);
    SourceTable t;
    t.fileName = fileName;
    t.base = fileName.substr(0, fileName.rfind('.'));
    t.desc = db.ReadTable(db.FindTable(t.base));
    const std::vector<std::uint8_t> bytes = ReadAll(directory + "/" + fileName);
    t.carry = ParadoxHeaderCarryOf(bytes.data(), bytes.size(), bytes.size(), fileName);
    t.key = ParseParadoxHeader(bytes.data(), bytes.size(), bytes.size(), fileName).passwordKey();
    return t;
}

} // namespace morvane::test
