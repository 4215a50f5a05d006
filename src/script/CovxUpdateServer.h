#pragma once
// CovxUpdateServer: the creator of update servers. A program registers the implementation it
// links (the server library's RegisterUpdateServer does it); the editor creates servers
// through Create and never names the implementation. Create throws EvxNoUpdateServer when no
// implementation is registered.

#include <functional>
#include <memory>
#include <stdexcept>

#include "script/IvxUpdateServer.h"

namespace morvane {

class EvxNoUpdateServer : public std::runtime_error
{
public:
    EvxNoUpdateServer() : std::runtime_error("Class not registered: no update server is installed") {}
};

class CovxUpdateServer
{
public:
    using TvxFactory = std::function<std::unique_ptr<IvxUpdateServer>()>;

    // Replaces any earlier registration; an empty factory removes it.
    static void Register(TvxFactory factory);
    static bool Registered();
    static std::unique_ptr<IvxUpdateServer> Create();
};

} // namespace morvane
