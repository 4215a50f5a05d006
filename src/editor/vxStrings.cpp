#include "editor/vxStrings.h"

#include <algorithm>
#include <iterator>

namespace morvane {

namespace {

struct TvxStringEntry
{
    int id;
    const char* text;
};

// The program's string table (pt-BR), sorted by id.
constexpr TvxStringEntry vxStringTable[] = {
    {0, "ERRO DESCONHECIDO. Informe ao suporte"},
    {1, "A tabela já existe"},
    {2, "O nome esta sendo usado por outro campo"},
    {3, "O índice esta com o máximo de campos permitidos"},
    {4, "Os campos na chave primária precisam ser incluídos na mesma ordem em que foram criados"},
    {5, "ERROR_FIELDPOSOUT"},
    {6, "ERROR_INDEXPOSOUT"},
    {7, "Campos deste tipo não podem ser incluídos em índices"},
    {8, "O Índice não pode ser transformado para chave primária porque existem campos que não estão na mesma ordem em que foram criados"},
    {9, "ERROR_IDXSAMENAME"},
    {10, "O auto relacionamento precisa que pelo menos um campo não faça parte da chave primaria"},
    {11, "O Nome do índice não pode estar em branco"},
    {12, "A integridade referencial esta com o máximo de campos permitidos"},
    {13, "A tabela MESTRA não possui chave primária"},
    {14, "A Tabela esta com o número máximo de índices"},
    {15, "A Tabela esta com o número máximo de Integridade referencial permitido"},
    {16, "O índice esta sendo usado pela integridade referencial"},
    {17, "A tabela precisa possuir chave primária para permitir a inclusão de integridade referencial"},
    {18, "Tentativa de selecionar uma integridade referencial não existente. Informe ao suporte"},
    {19, "Tentativa de selecionar um campo não existente. Informe ao suporte"},
    {20, "O índice selecionado não existe. Informe ao suporte"},
    {21, "O campo selecionado não existe. Informe ao suporte"},
    {101, "Nenhuma tabela foi selecionada"},
    {102, "Nenhuma tabela da nova estrutura foi selecionada"},
    {103, "Um campo não pode ser incluído na chave primária da tabela que esta sendo utilizada como MESTRE em integridade referencial"},
    {104, "O nome do campo esta sendo usado como o nome de índice"},
    {105, "Nenhum campo da nova tabela foi selecionado"},
    {106, "Nenhum campo foi selecionado"},
    {107, "Nenhum ALIAS foi definido"},
    {108, "Nenhum novo ALIAS foi definido"},
    {109, "A tabela MESTRA %S da integridade referencial não foi encontrada na nova estrutura"},
    {110, "Nenhum ALIAS esta aberto"},
    {111, "O nome esta sendo usado por outra integridade referencial"},
    {112, "Alguns índices não estão com pelo menos um campo definido"},
    {113, "Existem integridades referenciais que não estão completadas"},
    {114, "O Nome do arquivo esta em branco"},
    {115, "Nenhum índice foi selecionado"},
    {116, "As posições dos campos não podem ser mudadas na chave primária"},
    {117, "A chave primária esta sendo usada por uma integridade referencial"},
    {118, "Selecione um campo na lista 'CAMPOS INDEXADOS'"},
    {119, "Selecione um campo na lista 'CAMPOS'"},
    {120, "Selecione uma integridade referencial"},
    {121, "Selecione um campo na lista 'CAMPOS'"},
    {122, "O nome esta sendo usado por outro índice"},
    {123, "O Arquivo foi salvo com sucesso"},
    {124, "Os Scripts foram criados com sucesso"},
    {125, "O script atingiu o número máximo de tabelas ou de comandos"},
    {293, "O arquivo não foi copiado"},
    {294, "O arquivo de script não foi encontrado"},
    {295, "A DLL não foi associada a função"},
    {296, "O nome da tabela não existe no script"},
    {297, "Diretório não pode ser criado"},
    {298, "Tipo de script não é conhecido"},
    {299, "Tipo de comando no script não é de tipo conhecido"},
    {300, "Alguns registros não puderam ser levados sem perda e foram guardados nas tabelas de problemas"},
    {301, "A tabela é protegida e nenhuma senha informada a abre"},
    {302, "O banco de dados de origem não pode ser lido"},
    {303, "O destino não pode ser o próprio banco de dados de origem"},
    {304, "O campo indicado no script não existe na tabela"},
    {305, "O nome do campo já existe na tabela"},
    {306, "O destino está em uso por outra execução"},
    {10001, "SIM"},
    {10002, "NÃO"},
    {10003, "Primary"},
    {10004, "UNICO"},
    {10005, "MANTIDO"},
    {10006, "SENSIVEL A MAISC"},
    {10007, "INSENSIVEL A MAISC"},
    {10008, "ASCENDENTE"},
    {10009, "DESCENDENTE"},
    {10010, "PROTEGIDA"},
    {10011, "NÃO PROTEGIDA"},
    {10012, "DESCONHECIDO"},
    {10013, "MESTRE"},
    {10014, "DEPENDENTE"},
    {10015, "PROIBIDO"},
    {10016, "CASCATA"},
    {10017, "REQUERIDO"},
    {10018, "NÃO REQUERIDO"},
    {10019, "O Script esta alterado! Salvar?"},
    {10020, "Ler nome do alias"},
    {10021, "&Nome do Alias"},
    {10022, "Drives"},
    {10023, "Ler nome da tabela"},
    {10024, "&Nome da tabela"},
    {10025, "Senha da tabela"},
    {10026, "&Nova senha"},
    {10027, "A tabela %s não foi encontrada no caminho atual"},
    {10028, "Entre a senha"},
    {10029, "Senha:"},
};

constexpr bool IsSorted()
{
    for (std::size_t i = 1; i < std::size(vxStringTable); ++i)
        if (vxStringTable[i - 1].id >= vxStringTable[i].id)
            return false;
    return true;
}
static_assert(IsSorted(), "the string table must be sorted by id, without duplicates");

} // namespace

QString vxLoadString(int id)
{
    const auto* end = std::end(vxStringTable);
    const auto* it = std::lower_bound(std::begin(vxStringTable), end, id,
                                      [](const TvxStringEntry& e, int key) { return e.id < key; });
    if (it == end || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

std::vector<int> vxStringIds()
{
    std::vector<int> ids;
    ids.reserve(std::size(vxStringTable));
    for (const auto& e : vxStringTable)
        ids.push_back(e.id);
    return ids;
}

} // namespace morvane
