#include "script/CovxUpdateServer.h"

namespace morvane {

namespace {

CovxUpdateServer::TvxFactory& Factory()
{
    static CovxUpdateServer::TvxFactory factory;
    return factory;
}

} // namespace

void CovxUpdateServer::Register(TvxFactory factory)
{
    Factory() = std::move(factory);
}

bool CovxUpdateServer::Registered()
{
    return static_cast<bool>(Factory());
}

std::unique_ptr<IvxUpdateServer> CovxUpdateServer::Create()
{
    if (!Factory())
        throw EvxNoUpdateServer();
    std::unique_ptr<IvxUpdateServer> server = Factory()();
    if (!server)
        throw EvxNoUpdateServer();
    return server;
}

} // namespace morvane
