#include "script/vxUpdateServerCodes.h"

namespace morvane {

std::string RunCodeText(int code)
{
    switch (code < 0 ? -code : code) {
    case vxRunTableNotWritten: return "O arquivo não foi copiado";
    case vxRunScriptNotFound: return "O arquivo de script não foi encontrado";
    case vxRunNoServer: return "A DLL não foi associada a função";
    case vxRunTableNotInScript: return "O nome da tabela não existe no script";
    case vxRunTargetNotCreated: return "Diretório não pode ser criado";
    case vxRunNotAScript: return "Tipo de script não é conhecido";
    case vxRunUnknownCommand: return "Tipo de comando no script não é de tipo conhecido";
    case vxRunProblems: return "Alguns registros não puderam ser levados sem perda e foram guardados nas tabelas de problemas";
    case vxRunPasswordNeeded: return "A tabela é protegida e nenhuma senha informada a abre";
    case vxRunSourceUnreadable: return "O banco de dados de origem não pode ser lido";
    case vxRunTargetIsSource: return "O destino não pode ser o próprio banco de dados de origem";
    case vxRunFieldNotFound: return "O campo indicado no script não existe na tabela";
    case vxRunFieldExists: return "O nome do campo já existe na tabela";
    case vxRunTargetLocked: return "O destino está em uso por outra execução";
    default: return {};
    }
}

} // namespace morvane
