#include "editor/fmDBScriptPOR.h"

namespace morvane {

TFormDBScriptPOR::TFormDBScriptPOR(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts,
                                   std::unique_ptr<IvxHelp> help, QWidget* parent)
    : TFormDBScript(engine, std::move(prompts), std::move(help), parent, false)
{
    setObjectName(QStringLiteral("FormDBScriptPOR"));
    // Its own creation step first (the captions), then the base window's.
    ApplyCaptions(true);
    FormCreate();
}

} // namespace morvane
