#pragma once
// The main window with Portuguese captions: the window the program shows.

#include "editor/fmDBScript.h"

namespace morvane {

class TFormDBScriptPOR : public TFormDBScript
{
    Q_OBJECT

public:
    explicit TFormDBScriptPOR(IvxEngine& engine, std::unique_ptr<IvxPrompts> prompts = nullptr,
                              std::unique_ptr<IvxHelp> help = nullptr, QWidget* parent = nullptr);
};

} // namespace morvane
