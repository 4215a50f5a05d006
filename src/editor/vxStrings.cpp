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
    {126, "A tabela %s não tem campos"},
    {127, "O nome de tabela não é permitido: %s"},
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
    {10100, "O documento %s não existe mais e foi retirado dos documentos recentes."},
    {10110, "Executar o script %1?"},
    {10111, "Origem: %1"},
    {10112, "Destino: %1"},
    {10113, "O destino já tem tabelas: as que o script grava serão substituídas."},
    {10114, "Prévia da execução"},
    {10115, "Pela prévia acima, a execução cortará valores ou guardará registros à parte. Executar o script assim mesmo?"},
    {10116, "Abrir a pasta"},
    {10117, "Prévia do script %1 (nada foi gravado ainda)"},
    {10118, "Tabela %1 (%2): %3 de %4 registros seriam levados"},
    {10119, "criada vazia"},
    {10120, "copiada de %1"},
    {10121, "reestruturada a partir de %1"},
    {10122, "  %1 valores seriam cortados, por exemplo:"},
    {10123, "em branco"},
    {10124, "  %1 registros violam %2 do campo %3"},
    {10125, "  %1 registros originais seriam guardados em %2"},
    {10126, "  precisa de senha"},
    {10127, "Senha necessária para %1"},
    {10128, "Total: %1 registros levados, %2 valores cortados, %3 registros em tabelas de problemas, %4 violações de chave"},
    {10129, "o requerido"},
    {10130, "o mínimo"},
    {10131, "o máximo"},
    {10132, "o formato"},
    {10133, "a regra %1"},
    {10134, "O script %1 foi executado."},
    {10135, "Tabelas gravadas: %1"},
    {10136, "Registros levados: %1"},
    {10137, "Registros guardados à parte, nas tabelas de problemas:"},
    {10138, "  %1: %2 registros"},
    {10139, "  nota do servidor: %1"},
    {10140, "A senha informada não abre a tabela %s.\nInforme outra senha, ou Cancelar para deixar só esta tabela de fora (as outras serão abertas)."},
    {10150, "Selecione o campo a mover na lista de campos da tabela atual (aba Campos da metade de cima)."},
    {10151, "OK inclui a tabela sem as integridades referenciais que dependem de %1; Cancelar não a inclui."},
    {10152, "Salve o documento primeiro (Arquivo › Salvar): os scripts são gravados ao lado dele."},
    {10153, "Tabela %1, índice %2: inclua pelo menos um campo no índice (aba Indexes) ou apague-o."},
    {10154, "O campo %s faz parte da chave primária: apagá-lo muda a chave da tabela. Apagar o campo?"},
    {10155, "A origem %s não tem tabelas. Escolha o diretório onde estão as tabelas do banco de dados de origem."},
    {10156, "Abra primeiro o banco de dados de origem (menu Aliases)."},
    {10157, "Escolha o diretório do banco de dados com a estrutura desejada: o script será feito da diferença entre ela e a origem aberta."},
    {10158, "O script atual será substituído pelo da comparação."},
    {10160, "Campos da tabela atual"},
    {10161, "Campos do índice da tabela atual"},
    {10162, "Campos da integridade referencial da tabela atual"},
    {10163, "Campos da nova tabela para o índice"},
    {10164, "Campos indexados da nova tabela"},
    {10165, "Campos da nova tabela para a integridade referencial"},
    {10170, "o nome está vazio"},
    {10171, "o nome passa de %1 bytes"},
    {10172, "o nome contém / ou \\"},
    {10173, "o nome contém um de : * ? \" < > |"},
    {10174, "o nome contém um caractere de controle"},
    {10175, "o nome é . ou .."},
    {10176, "o nome é reservado a um dispositivo (CON, PRN, AUX, NUL, COM1-9, LPT1-9)"},
    {10177, "o nome termina em ponto ou espaço"},
    {10178, "A nova estrutura já tem uma tabela %s: escolha outro nome."},
    {10201, "Diagrama"},
    {10202, "Ampliar"},
    {10203, "Reduzir"},
    {10204, "Ajustar à janela"},
    {10205, "Exportar PNG..."},
    {10206, "Exportar SVG..."},
    {10207, "Imprimir..."},
    {10208, "Imagem PNG (png)|*.png"},
    {10209, "Desenho SVG (svg)|*.svg"},
    {10210, "Desenho das tabelas e das integridades referenciais"},
    {10211, "Tabelas sem integridade referencial"},
    {10212, "Alterações do script"},
    {10213, "incluído"},
    {10214, "removido"},
    {10215, "renomeado"},
    {10216, "alterado"},
    {10217, "índices"},
    {10218, "protegida"},
    {10219, "ausente"},
    {10220, "atualização"},
    {10221, "cascata"},
    {10222, "proibida"},
    {10223, "era"},
    {10224, "Ferramentas do diagrama"},
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
