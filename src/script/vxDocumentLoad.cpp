#include "script/vxDocumentLoad.h"

#include <utility>

#include "script/EvxAbort.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "script/cpvxScriptLoader.h"
#include "script/vxCommandParams.h"
#include "script/vxScriptCreate.h"

namespace morvane {

namespace {

// Puts the script's own AfterLoad back however the loading ends.
class TvxAfterLoadSwap
{
public:
    TvxAfterLoadSwap(TvxDBScriptLoader& script, TAddCommandEvent replay)
        : script_(script), saved_(std::exchange(script.AfterLoad, std::move(replay)))
    {
    }
    ~TvxAfterLoadSwap() { script_.AfterLoad = std::move(saved_); }
    TvxAfterLoadSwap(const TvxAfterLoadSwap&) = delete;
    TvxAfterLoadSwap& operator=(const TvxAfterLoadSwap&) = delete;

private:
    TvxDBScriptLoader& script_;
    TAddCommandEvent saved_;
};

} // namespace

TvxDocumentLoadResult LoadScriptDocument(const std::string& fileName, TvxDBScriptLoader& script,
                                         TvxScriptReplayer& replayer)
{
    TvxDocumentLoadResult result;
    TvxAfterLoadSwap swap(script, [&](TvxCommand& command) {
        if (replayer.Apply(command) == TvxScriptReplayer::MissingSource) {
            result.messageId = TvxScriptMsg::SourceTableMissing;
            result.missingTable = command.ParamText(AddTableParam::SourceTable);
            throw EvxAbort();
        }
    });
    try {
        result.descriptorsRead = OpenScriptDocument(fileName, script, replayer.Tables());
    } catch (const EvxAbort&) {
        if (result.messageId == 0)
            throw;
    }
    return result;
}

} // namespace morvane
