// Fuzz target: a script document, update script or maintenance script read from memory, both
// as the editor opens a document (commands replayed into a table list, then the descriptor
// records) and as the script-file reader walks any of the three kinds.
#include <cstddef>
#include <cstdint>

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "script/IvxScriptFileSink.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "script/cpvxScriptLoader.h"
#include "script/vxCommandText.h"
#include "script/vxScriptFileReader.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"

namespace {

using namespace morvane;

class NullSink : public IvxScriptFileSink
{
public:
    void Header(const TvxScriptFileVersion&, std::int32_t, bool, bool) override {}
    void CommandCount(std::int32_t) override {}
    void Command(std::int32_t, const TvxCommand& command) override { bytes_ += CommandText(command).size(); }
    void TableCount(std::int32_t) override {}
    // Decodes what `morvane-cli show` prints: a structure's checks as value texts of their
    // fields' types (damaged value areas included).
    void Table(std::int32_t, const TvxTableDesc& table, bool structure) override
    {
        bytes_ += table.Indexes().size();
        if (!structure)
            return;
        for (const TvxValCheckDesc& check : table.ValChecks())
            if (const TvxFieldDesc* field = table.GetField(check.fieldNumber() - 1))
                bytes_ += ValCheckTexts(check, field->type()).minimum.value_or("").size();
    }

private:
    std::size_t bytes_ = 0;
};

void OpenAsDocument(const std::uint8_t* data, std::size_t size)
{
    TvxMemoryStream stream(data, size);
    TvxDBScriptLoader script;
    TvxScriptTableList tables;
    script.AfterLoad = [&tables](TvxCommand& c) {
        if ((c.Kind() == ckCreateTable || c.Kind() == ckAddTable) && tables.Count() < 512)
            tables.AddTable(c.ParamText(CreateTableParam::Table), std::make_unique<TvxTableDesc>());
    };
    try {
        ReadScriptDocument(stream, script, [&](TvxStream& s) { tables.ReadAllDescriptors(s); });
    } catch (const EvxFilerError&) {
    }
}

void WalkAnyKind(const std::uint8_t* data, std::size_t size)
{
    TvxMemoryStream stream(data, size);
    NullSink sink;
    try {
        ReadScriptFile(stream, sink, size > 0 ? data[0] % 3 : 0);
    } catch (const EvxFilerError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    OpenAsDocument(data, size);
    WalkAnyKind(data, size);
    return 0;
}
