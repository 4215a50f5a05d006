#include "editor/TvxHelpPages.h"

#include <QRegularExpression>

namespace morvane {

namespace {

std::vector<TvxHelpPage> BuildPages()
{
    std::vector<TvxHelpPage> pages;
    auto add = [&](int context, const char* title, const char* html) {
        pages.push_back({context, QString::fromUtf8(title), QString::fromUtf8(html)});
    };

    add(0, "Conteúdo", R"(
<p>Bem-vindo à ajuda do Morvane, o editor da estrutura de bancos de dados Paradox.</p>
<ul>
<li><a href="ctx:5">Primeiros passos</a></li>
<li><a href="ctx:1">O que é o Morvane</a></li>
<li><a href="ctx:2">A janela principal</a></li>
<li><a href="ctx:3">A estrutura atual (metade superior)</a></li>
<li><a href="ctx:4">A nova estrutura (metade inferior)</a></li>
<li><a href="ctx:6">As abas Informações</a></li>
<li><a href="ctx:10">Menu Arquivo</a></li>
<li><a href="ctx:31">Menu Editar: desfazer e refazer</a></li>
<li><a href="ctx:11">Menu Aliases</a></li>
<li><a href="ctx:12">Menu Tabela</a></li>
<li><a href="ctx:13">Menu Campos</a></li>
<li><a href="ctx:14">Menu Índices</a></li>
<li><a href="ctx:15">Menu Int. Ref.</a></li>
<li><a href="ctx:16">Menu Ajuda e teclas de ajuda</a></li>
<li><a href="ctx:17">A ferramenta de linha de comando (morvane-cli)</a></li>
<li><a href="ctx:18">Aplicar scripts com morvane-cli run</a></li>
<li><a href="ctx:19">Criar os scripts de atualização e de manutenção</a></li>
<li><a href="ctx:20">Gerar os scripts com morvane-cli build</a></li>
<li><a href="ctx:21">Um script a partir da diferença de dois bancos (morvane-cli diff)</a></li>
<li><a href="ctx:30">Executar um script: a prévia e o andamento</a></li>
<li><a href="ctx:32">Script a partir de comparação</a></li>
<li><a href="ctx:1000">Escolha de diretório</a></li>
</ul>
<p>Para procurar um assunto por palavras, use a página de pesquisa (Alt+F1).</p>
)");

    add(5, "Primeiros passos", R"(
<p>Uma primeira sessão com o Morvane, do banco de dados aberto à nova estrutura salva:</p>
<ol>
<li><b>Escolha o banco de origem.</b> Na aba <i>Alias</i> (metade superior), escolha um alias na lista
<i>Alias</i>, ou clique em <i>...</i> (ou no menu <i>Aliases</i> › <i>Adicionar caminho</i>) e escolha o
diretório que contém as tabelas Paradox. O campo <i>Caminho</i> mostra o diretório escolhido, e o script
passa a registrá-lo como origem.</li>
<li><b>Abra o banco.</b> Menu <i>Aliases</i> › <i>Abrir base de dados</i>. As tabelas aparecem na lista à
esquerda; tabelas protegidas pedem a senha. Enquanto o banco está aberto o item se chama
<i>Close Database</i> e a origem não pode ser trocada; escolha-o de novo para fechar o banco. Se o
diretório não tiver tabelas, o programa oferece escolher outro. Veja <a href="ctx:11">Menu Aliases</a>.</li>
<li><b>Selecione uma tabela.</b> Um clique (ou as setas) na lista de tabelas mostra nas abas
<i>Informações</i>, <i>Campos</i>, <i>Indexes</i> e <i>Int. Ref.</i> a estrutura dela. Veja
<a href="ctx:6">As abas Informações</a>.</li>
<li><b>Comece a nova estrutura.</b> Menu <i>Tabela</i> › <i>Incluir</i> copia a tabela selecionada para a
metade inferior; <i>Tabela</i> › <i>Novo</i> cria uma tabela vazia. Depois use os menus <i>Campos</i>,
<i>Índices</i> e <i>Int. Ref.</i> para mudar a nova tabela. Veja <a href="ctx:12">Menu Tabela</a>.</li>
<li><b>Indique o destino</b> (opcional): na aba <i>Novo Alias</i>, o botão <i>...</i> escolhe o diretório do
banco que será atualizado; <i>Aliases</i> › <i>Novo</i> dá um nome de alias.</li>
<li><b>Salve o script.</b> Menu <i>Arquivo</i> › <i>Salvar</i> grava o documento (<code>.vxscript</code>);
<i>Criar script</i> gera os scripts de atualização e de manutenção. Veja <a href="ctx:10">Menu
Arquivo</a>.</li>
</ol>
)");

    add(6, "As abas Informações", R"(
<p>A aba <i>Informações</i> de cada metade mostra a tabela selecionada na lista ao lado: em cima, a do banco
aberto; embaixo, a da nova estrutura. Sem tabela selecionada, os campos ficam vazios.</p>
<ul>
<li><b>Tipo de tabela</b> e, ao lado, <b>PROTEGIDA</b> ou <b>NÃO PROTEGIDA</b> (se a tabela tem senha).</li>
<li><b>Tamanho do registro</b> e <b>Tamanho do buffer</b>, em bytes.</li>
<li>Quantidades de <b>campos</b>, <b>índices</b>, <b>validações</b> e <b>integridades referenciais</b>.</li>
<li><b>Data</b> e <b>Hora</b> do arquivo da tabela.</li>
<li><b>Versão de reestruturação</b>, <b>Código de página</b>, <b>Nível da tabela</b>, <b>Driver do
Idioma</b> e <b>Tamanho de bloco</b> (em bytes).</li>
</ul>
<p>Na metade inferior, o botão <b>Senha</b> define a senha da nova tabela selecionada: uma senha vazia
remove a que havia. A senha é gravada no script (comando <i>Add password</i>).</p>
<p>Ao mesmo tempo, a aba <i>Indexes</i> lista os índices da tabela (a chave primária como
<i>Primary</i>) e a aba <i>Int. Ref.</i> lista suas integridades referenciais.</p>
)");

    add(1, "O que é o Morvane", R"(
<p>O Morvane abre um banco de dados Paradox existente &mdash; um alias do mecanismo de banco de dados
ou um diretório com tabelas Paradox &mdash; e mostra a estrutura das suas tabelas: propriedades,
campos com suas validações, índices, integridades referenciais e proteção por senha.</p>
<p>Com ele você descreve como uma cópia instalada desse banco deve mudar: tabelas a criar, renomear,
copiar da origem ou apagar; campos a criar, alterar, mover ou apagar; índices e integridades
referenciais a incluir ou remover; senhas de tabelas. Cada alteração de tabela ou campo é gravada
como um comando em um <b>script</b>.</p>
<p>O script é salvo como documento (<code>.vxscript</code>). A partir dele o programa gera um script de
atualização (<code>.vxusp</code>) e um script de manutenção (<code>.vxmsp</code>), que levam o banco de um
cliente para a nova estrutura, e pode entregá-los ao servidor de atualização para execução.</p>
<p>O Morvane apenas lê os bancos de dados; ele nunca altera as tabelas que abre.</p>
)");

    add(2, "A janela principal", R"(
<p>A janela principal é dividida em duas metades, separadas por uma barra azul que pode ser
arrastada:</p>
<ul>
<li>em cima, a <a href="ctx:3">estrutura atual</a>: o banco de dados aberto agora;</li>
<li>embaixo, a <a href="ctx:4">nova estrutura</a>: as tabelas que o script descreve.</li>
</ul>
<p>Cada metade tem à esquerda a lista de tabelas e à direita um conjunto de abas. O título da janela
mostra o nome do produto e, depois que o script foi aberto ou salvo, o nome do documento.</p>
<p>Os comandos dos menus nunca ficam desabilitados: cada um verifica o que precisa quando é
escolhido e, faltando algo (por exemplo uma tabela selecionada), mostra uma mensagem.</p>
)");

    add(3, "A estrutura atual (metade superior)", R"(
<p>A metade superior mostra, somente para leitura, a tabela selecionada na lista de tabelas do banco
aberto. Suas abas são:</p>
<ul>
<li><b>Alias</b>: escolha do alias de origem na lista <i>Alias</i>, ou de um diretório pelo botão
<i>...</i>; o campo <i>Caminho</i> mostra o diretório do banco.</li>
<li><b>Informações</b>: tipo de tabela, tamanho do registro e do buffer, quantidades de campos,
índices, validações e integridades referenciais, data e hora do arquivo, versão de reestruturação,
código de página, nível da tabela, driver de idioma, tamanho de bloco e se a tabela é protegida.</li>
<li><b>Campos</b>: os campos com nome, tipo e comprimento; abaixo, a validação do campo selecionado
(mínimo, máximo, default, formato e se é requerido).</li>
<li><b>Indexes</b>: os índices da tabela, os campos do índice selecionado e suas propriedades.</li>
<li><b>Int. Ref.</b>: as integridades referenciais, seus campos, o campo mestre, a tabela mestre,
o tipo de integridade e as regras de atualização.</li>
</ul>
)");

    add(4, "A nova estrutura (metade inferior)", R"(
<p>A metade inferior mostra e edita as tabelas da nova estrutura, que o script descreve. Suas abas
são:</p>
<ul>
<li><b>Novo Alias</b>: o alias, o drive e o caminho do banco de destino; o botão <i>...</i> escolhe o
diretório.</li>
<li><b>Informações</b>: as mesmas informações da metade superior para a nova tabela selecionada e o
botão <i>Senha</i>, que define ou remove a senha da tabela.</li>
<li><b>Campos</b>: a grade de campos (nome, tipo, comprimento). A última linha, em branco, representa
um campo novo; Enter altera o campo selecionado. Abaixo ficam a validação do campo: mínimo, máximo,
default, formato e <i>Requerido</i>. Datas se escrevem mês/dia/ano; um ano de um ou dois dígitos é o
ano com esses últimos dígitos entre os 100 anos que vão de 49 anos antes do ano atual a 50 anos depois
(em 2025, de 1976 a 2075).</li>
<li><b>Indexes</b>: inclusão e exclusão de índices, seus campos, a ordem dos campos e as propriedades
(único, mantido, insensível a maiúsculas, descendente). Um índice chamado PRIMARY é a chave
primária.</li>
<li><b>Int. Ref.</b>: integridades referenciais da nova tabela: nome, tabela mestre, campos
correspondentes à chave primária da mestre e regra de atualização (cascata ou proibido).</li>
</ul>
)");

    add(10, "Menu Arquivo", R"(
<ul>
<li><b>Novo</b>: começa um script vazio e fecha o banco de origem. Se o script atual foi alterado,
pergunta se deve ser salvo: <i>Sim</i> salva primeiro (se o salvamento não acontecer, nada muda),
<i>Não</i> descarta as alterações, <i>Cancelar</i> deixa tudo como está.</li>
<li><b>Abrir</b>: abre um documento <code>.vxscript</code>: depois da pergunta de <b>Novo</b> (que,
cancelada, cancela também a abertura), reabre o banco de origem do documento e reconstrói a nova
estrutura a partir dos comandos. Se uma tabela copiada do banco de origem não existe mais, aparece
&ldquo;A tabela ... não foi encontrada no caminho atual&rdquo; e a leitura para ali. O programa também
abre o documento dado na linha de comando (<code>morvane documento.vxscript</code>).</li>
<li><b>Salvar</b> e <b>Salvar como</b>: gravam o documento do script (comandos e descritores das novas
tabelas). O arquivo é escrito primeiro num arquivo temporário e só então toma o lugar do anterior: uma
falha não estraga o documento já gravado.</li>
<li><b>Script a partir de comparação...</b>: preenche um novo script com a diferença entre o banco de
origem aberto e um banco desejado; veja <a href="ctx:32">Script a partir de comparação</a>.</li>
<li><b>Criar script</b>: gera o script de atualização (<code>.vxusp</code>) e o de manutenção
(<code>.vxmsp</code>) ao lado do documento. Todos os índices precisam ter pelo menos um campo e todas as
integridades referenciais precisam estar completas; veja
<a href="ctx:19">Criar os scripts de atualização e de manutenção</a>.</li>
<li><b>Executar script</b>: entrega um script de atualização ou de manutenção ao servidor de
atualização, com o banco de origem e o diretório de destino, depois de uma prévia; veja
<a href="ctx:30">Executar um script</a>.</li>
<li><b>Limpar script</b>: remove todos os comandos e as novas tabelas e fecha o banco de origem.</li>
<li><b>Sair</b>: fecha o programa; se o script foi alterado, pergunta se deve ser salvo (se o salvamento
não acontecer, a janela continua aberta).</li>
</ul>
<p>Novo, Abrir, Limpar e a comparação começam um novo histórico de
<a href="ctx:31">desfazer e refazer</a>.</p>
)");

    add(11, "Menu Aliases", R"(
<p>O script começa dizendo de qual banco a estrutura é lida (a <b>origem</b>) e em qual banco ela será
aplicada (o <b>destino</b>).</p>
<ul>
<li><b>Abrir base de dados</b>: abre o banco de origem registrado no script; sem origem escolhida, avisa
<i>Nenhum ALIAS foi definido</i>. Enquanto o banco está aberto o item se chama <i>Close Database</i>, e a
lista <i>Alias</i>, o botão <i>...</i> e <i>Adicionar caminho</i> ficam desabilitados; escolher o item de
novo fecha o banco (<i>Open Database</i>). Se o banco não tiver tabelas, o programa oferece escolher outro
diretório, que passa a ser a origem do script; <i>Cancelar</i> deixa o banco aberto e vazio.</li>
<li><b>Adicionar caminho</b> (o mesmo que o botão <i>...</i> da aba <i>Alias</i>): escolhe um diretório com
tabelas Paradox como origem, no lugar da anterior. Escolher um alias na lista <i>Alias</i> faz o mesmo com
o diretório do alias.</li>
<li><b>Novo</b>: dá o nome do alias de destino. A lista <i>Drives</i> da caixa apenas mostra os drivers;
o destino é sempre um alias padrão (STANDARD). O botão <i>...</i> da aba <i>Novo Alias</i> escolhe, em vez
disso, o diretório de destino.</li>
<li><b>Apagar novo</b>: remove o destino do script, sem pergunta.</li>
</ul>
<p>Pelos botões <i>...</i> você pode digitar um diretório que ainda não existe; o programa pergunta antes
de criá-lo (veja <a href="ctx:1000">Escolha de diretório</a>).</p>
<p>Ao abrir uma tabela protegida, o programa pede a senha (<i>Entre a senha</i>); uma senha errada é pedida
de novo, e <i>Cancelar</i> fecha o banco com a mensagem do erro. As senhas dadas valem até o fim da
execução. Um banco com muitas tabelas mostra o andamento da leitura, que pode ser cancelada.</p>
<p>A senha de uma nova tabela é dada pelo botão <i>Senha</i> da aba <a href="ctx:6">Informações</a> da
metade inferior.</p>
)");

    add(12, "Menu Tabela", R"(
<ul>
<li><b>Novo</b>: cria uma tabela vazia na nova estrutura, com o nome pedido. É preciso ter escolhido antes
a origem ou o destino (senão: <i>Nenhum novo ALIAS foi definido</i>). Um nome que a nova estrutura já tem
não cria outra tabela.</li>
<li><b>Alterar</b>: renomeia a nova tabela selecionada. As integridades referenciais de outras tabelas
que tinham a tabela renomeada como mestre passam a apontar para o novo nome. Um nome que outra nova
tabela já usa é recusado (<i>A tabela já existe</i>).</li>
<li><b>Incluir</b>: copia para a nova estrutura a tabela selecionada no banco aberto, com o nome pedido (o
nome dela é proposto). Precisa do banco aberto (<i>Nenhum ALIAS esta aberto</i>) e de uma tabela
selecionada (<i>Nenhuma tabela foi selecionada</i>). Vêm junto os campos, os índices, as validações e as
integridades em que ela é dependente. Uma integridade cuja tabela mestre foi incluída antes com outro
nome passa a usar esse nome. Para cada tabela mestre que falta na nova estrutura o programa pergunta:
<i>OK</i> inclui a tabela sem as integridades que dependem dela, <i>Cancelar</i> não inclui nada.</li>
<li><b>Apagar</b>: remove a nova tabela selecionada, sem pergunta. As integridades de outras tabelas que a
tinham como mestre são removidas.</li>
</ul>
<p>Sem nova tabela selecionada, <i>Alterar</i> e <i>Apagar</i> avisam <i>Nenhuma tabela da nova estrutura
foi selecionada</i>. Espaços antes e depois de um nome são descartados; um nome vazio não faz nada.</p>
)");

    add(13, "Menu Campos", R"(
<ul>
<li><b>Incluir</b>: cria um campo na linha selecionada da grade de campos, pedindo nome, tipo, tamanho
e valor default.</li>
<li><b>Alterar</b>: altera o campo selecionado (também com Enter na grade).</li>
<li><b>Mover</b>: copia para a nova tabela o campo selecionado da tabela atual.</li>
<li><b>Apagar</b>: remove o campo selecionado da nova tabela.</li>
</ul>
<p>Um campo não pode ter o nome de um índice, e a chave primária de uma tabela usada como mestre de uma
integridade referencial não aceita campos novos no meio.</p>
<p>Veja <a href="ctx:40">a caixa de edição de campos</a>, <a href="ctx:41">incluir, alterar, mover e
apagar campos</a> e <a href="ctx:42">a validação dos campos</a>.</p>
)");

    add(14, "Menu Índices", R"(
<ul>
<li><b>Incluir</b> e <b>Apagar</b>: criam e removem índices da nova tabela selecionada.</li>
<li><b>Incluir campo</b> e <b>Apagar campo</b>: põem e tiram campos do índice selecionado.</li>
<li><b>Mover p/ cima</b> e <b>Mover p/ baixo</b>: mudam a ordem dos campos de um índice (não na chave
primária).</li>
</ul>
<p>O nome de um índice é editado na própria lista. Um índice simples de um campo recebe o nome do
campo; o nome PRIMARY faz do índice a chave primária. Veja <a href="ctx:43">editar os índices</a>.</p>
)");

    add(15, "Menu Int. Ref.", R"(
<ul>
<li><b>Incluir</b> e <b>Apagar</b>: criam e removem integridades referenciais da nova tabela
selecionada, que precisa ter chave primária.</li>
<li><b>Incluir campo</b>: acrescenta o campo escolhido, que corresponde ao próximo campo da chave
primária da tabela mestre.</li>
<li><b>Apagar campo</b>: remove o último campo da integridade.</li>
</ul>
<p>O nome da integridade é editado na própria lista; a tabela mestre é escolhida em <i>Tabela mestre</i>
e a regra de atualização em <i>Regras de atualização</i>. Veja <a href="ctx:44">editar as integridades
referenciais</a>.</p>
)");

    add(16, "Menu Ajuda e teclas de ajuda", R"(
<ul>
<li><b>Conteúdo</b> (ou F1): abre esta ajuda no sumário.</li>
<li><b>Sobre Morvane</b>: mostra o nome, a versão e o endereço do produto.</li>
</ul>
<p>F1 ou Shift+F1 abrem a ajuda; Alt+F1 abre a página de pesquisa por palavras.</p>
)");

    add(17, "A ferramenta de linha de comando (morvane-cli)", R"(
<p>O programa <code>morvane-cli</code> faz, sem janela, tarefas do editor. É útil em scripts
de instalação e para conferir arquivos.</p>
<ul>
<li><code>morvane-cli inspect &lt;diretório ou alias&gt; [--password SENHA]... [--json]</code>: lê a
estrutura de todas as tabelas de um banco Paradox e a imprime: propriedades da tabela, campos,
índices, validações e integridades referenciais. Cada <code>--password</code> fornece a senha de
tabelas protegidas; <code>--json</code> imprime em JSON em vez de texto.</li>
<li><code>morvane-cli dump &lt;diretório ou alias&gt; &lt;tabela&gt; [--password SENHA]... [--json]
[--limit N]</code>: imprime os registros de uma tabela, indicada pelo nome que <code>inspect</code> lista
ou pelo nome do arquivo: uma linha com os nomes dos campos e uma linha por registro, ou, com
<code>--json</code>, um objeto JSON com o nome, os campos e os registros (valores em branco como
<code>null</code>, datas como <code>AAAA-MM-DD</code>, BCD como texto com as casas decimais do campo,
dados binários em base64). <code>--limit</code> para depois de N registros. Um valor danificado é
informado e o registro sai com ele em branco; o código de saída é então diferente de zero.</li>
<li><code>morvane-cli export &lt;diretório ou alias&gt; --to csv|sqlite --output CAMINHO [--table TABELA]...
[--password SENHA]... [--force]</code>: exporta as tabelas (todas, ou as indicadas por <code>--table</code>)
com os seus registros, para levar os dados a outro sistema. Com <code>csv</code>, grava no diretório
CAMINHO um arquivo <code>TABELA.csv</code> por tabela (UTF-8, RFC 4180, uma linha com os nomes dos
campos, os valores como o <code>dump</code> os imprime: datas <code>AAAA-MM-DD</code>, BCD exato, dados
binários em base64; valores em branco ficam vazios). Com <code>sqlite</code>, grava um banco SQLite que
leva também a estrutura: colunas com tipo, chave primária, índices secundários, validações como
<code>NOT NULL</code>, <code>CHECK</code> (mínimo e máximo) e <code>DEFAULT</code>, integridades
referenciais como <code>FOREIGN KEY</code> (o SQLite as aplica com <code>PRAGMA foreign_keys = ON</code>).
Todas as validações, com as máscaras, ficam listadas na tabela <code>_morvane_checks</code>; um registro
que o SQLite recusa fica, com o motivo, em <code>_morvane_rejected</code>. A saída só aparece quando está
completa; uma saída que já existe é recusada sem <code>--force</code>. O código de saída é 3 quando algum
registro foi recusado ou tinha um valor danificado (gravado em branco).</li>
<li><code>morvane-cli copy &lt;diretório ou alias&gt; &lt;diretório de destino&gt; [--password SENHA]...
[--level 3|4|5|7]</code>: grava de novo cada tabela do banco no diretório de destino (criado se não
existir), com a mesma estrutura, os mesmos registros e as mesmas senhas: arquivo de dados, índice
primário, índices secundários, validações e integridades referenciais, memos e imagens.
<code>--level</code> grava as tabelas nesse nível; um tipo de campo ou uma opção que pede um nível
maior o eleva, com um aviso. O destino não pode ser o próprio banco nem conter uma tabela com o
nome de uma delas. Cada tabela é gravada à parte e conferida antes de aparecer no destino: a que
falha (um valor danificado, disco cheio, falta de permissão) é informada e não deixa arquivo
algum; as demais são copiadas, e o código de saída é então diferente de zero.</li>
<li><code>morvane-cli show &lt;arquivo&gt;</code>: imprime de forma legível um documento
(<code>.vxscript</code>), um script de atualização (<code>.vxusp</code>) ou um script de manutenção
(<code>.vxmsp</code>): o cabeçalho, os comandos e as estruturas das tabelas.</li>
<li><code>morvane-cli run</code>: aplica um script a um banco de dados; veja
<a href="ctx:18">Aplicar scripts com morvane-cli run</a>.</li>
<li><code>morvane-cli build</code>: gera os scripts de um documento sem abrir o editor; veja
<a href="ctx:20">Gerar os scripts com morvane-cli build</a>.</li>
<li><code>morvane-cli diff</code>: faz um documento a partir da diferença entre dois bancos; veja
<a href="ctx:21">Um script a partir da diferença de dois bancos</a>.</li>
</ul>
<p>Os aliases são os mesmos do editor: o arquivo indicado pela variável de ambiente
<code>MORVANE_ENGINE_CONFIG</code> ou, na falta dela, <code>$XDG_CONFIG_HOME/morvane/aliases.conf</code>
(normalmente <code>~/.config/morvane/aliases.conf</code>).
Um arquivo danificado ou um erro de leitura é informado com uma mensagem e um código de saída
diferente de zero.</p>
)");

    add(18, "Aplicar scripts com morvane-cli run", R"(
<p><code>morvane-cli run &lt;script&gt; --source &lt;diretório ou alias&gt; [--target &lt;diretório&gt;]
[--password SENHA]... [--dry-run] [--json]</code> aplica um script de atualização (<code>.vxusp</code>)
ou de manutenção (<code>.vxmsp</code>) a um banco de dados, como o servidor de atualização do editor.</p>
<ul>
<li>Script de atualização: lê o banco de origem (<code>--source</code>, que nunca é alterado) e monta as
tabelas novas no destino (<code>--target</code> ou, sem ele, o novo alias do script), comando por comando,
levando todos os registros e convertendo os valores dos campos alterados.</li>
<li>Script de manutenção: leva cada tabela que descreve exatamente à estrutura do script (campos, chave
primária, índices, validações, integridades referenciais, senha); uma tabela que já existe no destino é
reestruturada com os registros convertidos, uma que falta é criada vazia; as outras tabelas ficam como
estão. Sem <code>--target</code>, o destino é o próprio banco indicado em <code>--source</code>.</li>
<li>Nada se perde em silêncio: quando um valor só pode ser levado cortado (texto encurtado, número
arredondado ou fora da faixa), o valor cortado vai para a tabela nova e o registro original inteiro fica
em <code>PROBLEM_&lt;TABELA&gt;.DB</code>; um registro que fere uma validação nova também fica ali; um
registro que fere uma integridade referencial ou cuja chave fica repetida fica em
<code>KEYVIOL_&lt;TABELA&gt;.DB</code>. Essas tabelas têm os campos da tabela de origem.</li>
<li>Tudo ou nada: cada tabela é escrita e conferida num diretório de trabalho dentro do destino e só
depois todas são postas no lugar; uma falha (disco cheio, tabela de origem ilegível, script danificado)
deixa o destino como estava.</li>
<li><code>--dry-run</code>: uma prévia que não escreve nada: por tabela, os registros levados, os valores
que seriam cortados (com exemplos), os registros que iriam para as tabelas de problemas, as validações que
os registros existentes ferem e as senhas que faltam.</li>
<li><code>--password</code>: senha de uma tabela protegida; a cópia continua protegida com a mesma senha.
<code>--json</code> imprime o relatório em JSON.</li>
</ul>
<p>Código de saída: 0 quando tudo foi levado; 3 quando registros ficaram nas tabelas de problemas; 1 quando
a execução falhou (a mensagem do código de resultado é impressa e o destino fica como estava); 2 quando os
argumentos estão errados. O progresso aparece na saída de erros quando ela é um terminal.</p>
)");

    add(19, "Criar os scripts de atualização e de manutenção", R"(
<p><b>Arquivo &rsaquo; Criar script</b> grava, ao lado do documento, dois arquivos com o nome do documento:
o script de atualização (<code>.vxusp</code>), com todos os comandos do script na ordem em que foram
registrados, e o script de manutenção (<code>.vxmsp</code>), com a estrutura completa de cada tabela da
nova estrutura (campos, índices, validações, integridades referenciais). O documento
<code>/dados/v1.2/novo.vxscript</code> dá <code>/dados/v1.2/novo.vxusp</code> e
<code>/dados/v1.2/novo.vxmsp</code>; os pontos no nome de um diretório não contam. Um documento sem
extensão recebe as duas extensões no fim do nome.</p>
<p>Os arquivos refletem o script e as tabelas como estão na janela, mesmo que o documento não tenha sido
salvo desde a última alteração. As verificações, nesta ordem:</p>
<ol>
<li>O documento nunca foi salvo: &ldquo;O Nome do arquivo esta em branco&rdquo;; nada é gravado.</li>
<li>O script de atualização é gravado.</li>
<li>Um índice de uma nova tabela sem nenhum campo: &ldquo;Alguns índices não estão com pelo menos um campo
definido&rdquo;.</li>
<li>Uma integridade referencial incompleta: &ldquo;Existem integridades referenciais que não estão
completadas&rdquo;.</li>
</ol>
<p>Nos dois últimos casos o script de atualização fica gravado e o de manutenção não é gravado (um anterior
de mesmo nome fica como estava). Quando os dois são gravados aparece &ldquo;Os Scripts foram criados com
sucesso&rdquo;. Cada arquivo é escrito primeiro num arquivo temporário no mesmo diretório e só então toma
o lugar do anterior: uma falha (disco cheio, falta de permissão) não deixa um arquivo pela metade.</p>
<p>Para aplicar os scripts a um banco de dados use <b>Arquivo &rsaquo; Executar script</b> ou
<a href="ctx:18">morvane-cli run</a>; para gerá-los sem abrir o editor,
<a href="ctx:20">morvane-cli build</a>.</p>
)");

    add(20, "Gerar os scripts com morvane-cli build", R"(
<p><code>morvane-cli build &lt;documento.vxscript&gt; [--source &lt;diretório ou alias&gt;]
[--password SENHA]...</code> abre o documento como o editor o abre &mdash; reabre o banco de origem
indicado no documento e reconstrói a nova estrutura a partir dos comandos &mdash; e grava, ao lado dele,
o script de atualização (<code>.vxusp</code>) e o de manutenção (<code>.vxmsp</code>), os mesmos arquivos
que <b>Arquivo &rsaquo; Criar script</b> gravaria, com as mesmas verificações e mensagens
(veja <a href="ctx:19">Criar os scripts</a>).</p>
<ul>
<li><code>--source</code>: usa este banco de origem no lugar do que o documento indica (por exemplo,
quando o documento foi feito em outra máquina). Os comandos gravados no script de atualização não mudam.</li>
<li><code>--password</code>: senha de uma tabela protegida do banco de origem; pode ser repetida.</li>
<li>Uma tabela incluída do banco de origem que não existe mais nele interrompe a leitura com
&ldquo;A tabela TABELA não foi encontrada no caminho atual&rdquo;; nada é gravado.</li>
</ul>
<p>Código de saída: 0 quando os dois scripts foram gravados (a mensagem de sucesso e os nomes dos dois
arquivos saem na saída padrão); 1 quando uma verificação falhou ou houve um erro (a mensagem sai na saída
de erros; o script de atualização pode ter sido gravado, como no editor); 2 quando os argumentos estão
errados.</p>
)");

    add(21, "Um script a partir da diferença de dois bancos (morvane-cli diff)", R"(
<p>Quando a nova estrutura já existe numa cópia de teste do banco, feita à mão, não é preciso repetir cada
alteração no editor: <code>morvane-cli diff &lt;origem&gt; &lt;desejado&gt; -o &lt;documento.vxscript&gt;
[--password SENHA]... [--rename TABELA.ANTIGO=NOVO]... [--target &lt;diretório ou alias&gt;]</code> compara
o banco de origem (diretório ou alias) com o banco desejado e grava o documento cujo script leva a
origem à estrutura desejada. O documento é como um feito no editor: abre nele, e <code>build</code> e
<code>run</code> o usam como qualquer outro.</p>
<ul>
<li>As tabelas são comparadas pelo nome, sem diferenciar maiúsculas de minúsculas. Uma tabela dos dois
bancos é incluída da origem (<i>Add table</i>); uma que só o banco desejado tem é criada
(<i>Create table</i>); uma que só a origem tem fica fora da nova estrutura.</li>
<li>Os campos são comparados pelo nome, na ordem do banco desejado: um campo que mudou de tipo ou de
tamanho (ou só de maiúsculas no nome) é alterado (<i>Change field</i>); um campo novo é criado
(<i>Create field</i>), e os registros existentes recebem o valor padrão da sua validação, se houver;
um campo que o banco desejado não tem é apagado (<i>Delete field</i>) e os seus valores se perdem; um
campo que mudou de lugar é apagado e trazido de novo da origem na posição nova (<i>Move field</i>),
com os seus valores.</li>
<li><code>--rename TABELA.ANTIGO=NOVO</code> diz que o campo ANTIGO foi renomeado para NOVO: os seus
valores são levados com o nome novo em vez de o campo ser apagado e outro criado. Dois campos que
trocam de nome entre si (A=B e B=A) não cabem num só script: faça a troca em dois passos.</li>
<li>A chave primária, os índices secundários, as validações e as integridades referenciais das tabelas
desejadas vão para a nova estrutura, e o script de manutenção as aplica.</li>
<li>Uma tabela protegida do banco desejado recebe a sua senha (<i>Add password</i>) quando ela está
entre as dadas com <code>--password</code>; uma tabela incluída da origem mantém a senha que já tem.</li>
<li>O que os scripts não levam é informado como nota: nível da tabela, driver de idioma, tamanho de
bloco, uma senha que não foi dada.</li>
<li><code>--target</code> grava o novo alias (onde a atualização será aplicada); sem ele o script não tem
novo alias e <code>run</code> precisa de <code>--target</code>.</li>
</ul>
<p>A saída padrão lista, por tabela, o que o script faz. Código de saída: 0 quando o documento foi gravado;
1 quando um banco não pôde ser lido ou uma renomeação não cabe (nada é gravado); 2 quando os argumentos
estão errados.</p>
)");

    // --- script files, execution, undo and comparison ---
    add(30, "Executar um script: a prévia e o andamento", R"(
<p><b>Arquivo &rsaquo; Executar script</b> pede um script de atualização (<code>.vxusp</code>) ou de
manutenção (<code>.vxmsp</code>) e o entrega ao servidor de atualização com o banco de origem (o alias
escolhido na aba <i>Alias</i>, ou o caminho) e o diretório de destino (aba <i>Novo Alias</i>). As senhas
dadas ao abrir tabelas protegidas do banco de origem vão junto, para que o servidor possa lê-las.</p>
<p>Antes de gravar qualquer coisa, o servidor faz uma <b>prévia</b>: lê e converte tudo sem escrever.
Quando a prévia encontra valores que seriam cortados (um texto maior que o novo tamanho, um número que não
cabe) ou registros que iriam para as tabelas de problemas (<code>PROBLEM_</code>, <code>KEYVIOL_</code>),
o programa mostra o relatório, tabela por tabela, com exemplos dos valores, e pergunta se deve continuar.
<i>Não</i> encerra o comando sem gravar nada. Uma execução sem perdas não faz pergunta alguma.</p>
<p>Durante a prévia e a execução uma janela mostra o andamento (a tabela e os registros já feitos); a
janela principal continua desenhada, mas não aceita comandos até o fim. A execução é tudo ou nada: o
banco de destino só muda quando todas as tabelas foram escritas. Um erro do servidor aparece numa
mensagem, com a tabela ou o campo envolvidos; um arquivo de script que não existe mais dá &ldquo;O arquivo
de script não foi encontrado&rdquo;. Um arquivo de outra extensão não faz nada.</p>
<p>Veja também <a href="ctx:18">morvane-cli run</a>, que executa scripts pela linha de comando.</p>
)");

    add(31, "Menu Editar: desfazer e refazer", R"(
<ul>
<li><b>Desfazer</b> (Ctrl+Z): volta o script ao estado anterior à última alteração.</li>
<li><b>Refazer</b> (Ctrl+Shift+Z): refaz a alteração desfeita por último.</li>
</ul>
<p>Toda alteração do script pode ser desfeita, quantas vezes for preciso: comandos de tabelas e campos,
banco de origem e de destino, senhas, e também índices, validações e integridades referenciais das novas
tabelas. Depois de desfazer ou refazer, a lista de novas tabelas, a grade de campos e os painéis mostram o
estado restaurado, com a tabela alterada selecionada; se o banco de origem do script mudou, o banco aberto
acompanha.</p>
<p>Voltando exatamente ao estado salvo por último, o script deixa de contar como alterado: sair ou começar
outro script não pergunta se deve salvar. Uma nova alteração depois de desfazer descarta o que poderia ser
refeito. <b>Novo</b>, <b>Abrir</b>, <b>Limpar script</b> e a comparação começam um histórico novo.</p>
)");

    add(32, "Script a partir de comparação", R"(
<p><b>Arquivo &rsaquo; Script a partir de comparação...</b> monta o script que transforma a estrutura do
banco de origem aberto na estrutura de um banco desejado: uma cópia do banco alterada à mão (por exemplo,
em outro programa). Abra primeiro o banco de origem (menu <b>Aliases</b>); depois escolha o diretório do
banco desejado. Se o script atual foi alterado, o programa pergunta antes se deve salvá-lo.</p>
<p>O novo script tem, para cada tabela do banco desejado, a cópia da tabela de mesmo nome do banco de
origem (com os campos criados, alterados, movidos e apagados) ou uma tabela nova; as chaves, índices,
validações e integridades do banco desejado vão para as novas tabelas. Tabelas que só existem no banco de
origem ficam fora da nova estrutura. O destino do script anterior (aba <i>Novo Alias</i>) é mantido.</p>
<p>O script fica alterado e sem nome: salve-o com <b>Salvar como</b>. O mesmo é feito pela linha de
comando com <a href="ctx:21">morvane-cli diff</a>, que também aceita renomeações de campos.</p>
)");
    // --- end of script files, execution, undo and comparison ---

    // --- fields, indexes and referential integrity of the new tables ---
    add(40, "A caixa de edição de campos", R"(
<p>Os comandos <b>Incluir</b>, <b>Alterar</b> e <b>Mover</b> do menu <b>Campos</b> abrem a caixa
<i>Edição de campos</i>:</p>
<ul>
<li><b>Nome</b>: o nome do campo, até 30 caracteres. Um campo precisa de nome.</li>
<li><b>Tipo</b>: um dos tipos de campo Paradox (ALPHA, NUMBER, MONEY, DATE, SHORT, MEMO, BINARY,
FMTMEMO, OLE, GRAPHIC, LONG, TIME, TIMESTAMP, LOGICAL, AUTOINC, BYTES, BCD).</li>
<li><b>Comprim.</b>: só para os tipos que têm tamanho; ao lado aparece a faixa permitida. ALPHA e BYTES
vão de 1 a 255; MEMO de 1 a 240; BINARY, FMTMEMO, OLE e GRAPHIC de 0 a 240 (a parte do texto ou dos
dados guardada no próprio registro); em BCD o número é a quantidade de casas decimais, de 0 a 32. Os
demais tipos têm tamanho fixo e a caixa fica desabilitada.</li>
<li><b>Default</b>: o valor que os registros já existentes recebem no campo novo. Deixar a caixa vazia
mantém o valor que o campo já tinha.</li>
</ul>
<p><b>OK</b> só fecha a caixa com um tipo escolhido, um nome e um tamanho dentro da faixa; um tamanho
que não é número conta como 0. <b>Cancelar</b> fecha sempre, sem mudar nada.</p>
)");

    add(41, "Incluir, alterar, mover e apagar campos", R"(
<p>Os comandos do menu <b>Campos</b> agem sobre a nova tabela selecionada e a linha selecionada da
grade de campos. A última linha da grade, em branco, representa um campo novo: <b>Incluir</b> (ou Enter
nessa linha) acrescenta o campo no fim; em outra linha, o campo entra antes dela.</p>
<ul>
<li><b>Alterar</b> (ou Enter na grade) muda nome, tipo e tamanho do campo selecionado.</li>
<li><b>Mover</b> copia para a linha selecionada o campo escolhido na aba <i>Campos</i> da tabela atual
(metade superior); a caixa de edição permite mudar o nome, o tipo e o tamanho com que ele chega.</li>
<li><b>Apagar</b> remove o campo selecionado, sem pergunta.</li>
</ul>
<p>Os índices, as validações e as integridades referenciais acompanham os campos: incluir um campo
empurra os números dos campos seguintes; apagar um campo o tira dos índices e das integridades em que
estava (uma integridade completa perde o índice que tinha criado e precisa ser completada de novo).</p>
<p>Mensagens: sem nova tabela selecionada, &ldquo;Nenhuma tabela da nova estrutura foi
selecionada&rdquo;; um campo dentro da chave primária de uma tabela que é MESTRE de uma integridade
referencial não pode ser incluído nem alterado; o nome de um campo não pode ser o de um índice da tabela
(o índice simples de um campo, que tem o nome dele, não impede alterar esse campo); nomes de campos se
comparam sem distinguir maiúsculas.</p>
)");

    add(42, "Validação dos campos da nova tabela", R"(
<p>Abaixo da grade de campos ficam a validação do campo selecionado: <b>Mínimo</b>, <b>Máximo</b>,
<b>Default</b>, <b>Formato</b> e <b>Requerido</b>. Elas só ficam habilitadas quando a tabela tem campos.</p>
<p>Digitar em qualquer uma delas cria a validação do campo; apagar todos os textos, com <i>Requerido</i>
desmarcado, a remove. Marcar <i>Requerido</i> num campo sem validação cria uma validação só com essa
marca. Os valores são escritos como o tipo do campo os mostra (números com ponto decimal, datas
mês/dia/ano); um texto que não pode ser convertido é descartado quando se sai da caixa.</p>
)");

    add(43, "Editar os índices da nova tabela", R"(
<p>Na aba <i>Indexes</i> da metade inferior:</p>
<ul>
<li><b>+</b> cria um índice sem campos, chamado NewIndex1, NewIndex2...; <b>&minus;</b> apaga o índice
selecionado.</li>
<li>As setas entre <i>Campos</i> e a lista de índices põem o campo escolhido no índice e o tiram de
volta; as setas ao lado de <i>Campos indexados</i> mudam a ordem dos campos.</li>
<li><b>Propriedades</b>: <i>Único</i>, <i>Mantido</i>, <i>Insensível a maiúsculas</i> e
<i>Descendente</i>. Um índice único é sempre mantido.</li>
</ul>
<p>Nome: clique duas vezes no índice (ou F2) para renomeá-lo. Um índice de um só campo, sem propriedades,
recebe sozinho o nome do campo; com outras propriedades ou mais campos, não pode ter o nome do primeiro
campo e recebe um nome NewIndex. Dar a um índice o nome de um campo o transforma no índice mantido desse
campo. O nome PRIMARY faz do índice a chave primária, cujos campos precisam ser os primeiros da tabela, na
ordem; eles só entram e saem pelo fim e não mudam de ordem. Nomes já usados por outro índice são
recusados.</p>
<p>Índices em que uma integridade referencial se apoia não podem ser mudados; a chave primária de uma
tabela que é MESTRE de outra nova tabela não pode ser apagada nem ter campos incluídos ou tirados.
Os botões e as propriedades só ficam habilitados quando há um índice (ou um campo) sobre o qual agir.</p>
)");

    add(44, "Editar as integridades referenciais da nova tabela", R"(
<p>Na aba <i>Int. Ref.</i> da metade inferior a integridade é montada do lado dependente:</p>
<ol>
<li><b>+</b> cria a integridade NewRefInt1, NewRefInt2... (a tabela precisa ter chave primária);
clique duas vezes no nome para renomeá-la.</li>
<li>Em <b>Tabela mestre</b> escolha a tabela mestre entre as novas tabelas; ela precisa ter chave
primária.</li>
<li>Em <b>Campos</b> aparecem os campos desta tabela que combinam com o próximo campo da chave da mestre
(mesmo tipo e tamanho); escolha um e clique na seta. O desenho ao lado mostra os pares de campos
(<code>&lt;------&gt;</code>).</li>
<li>Com o último campo a integridade fica completa e ganha um índice sobre os seus campos (o nome do
campo, ou o da integridade quando são vários), a não ser que já exista um índice com esses campos.</li>
</ol>
<p>A seta de volta tira o último campo (e o índice da integridade). Escolher outra tabela mestre começa
os campos de novo. <b>Regras de atualização</b>: <i>Cascata</i> leva a mudança da chave da mestre aos
registros dependentes; <i>Proibido</i> a impede. Apagar uma integridade mantém o seu índice. Os scripts só
são criados com todas as integridades completas.</p>
)");
    // --- end of fields, indexes and referential integrity of the new tables ---

    add(1000, "Escolha de diretório", R"(
<p>Escolha o diretório que contém (ou vai conter) as tabelas Paradox. Pelos botões <i>...</i> das abas
<i>Alias</i> e <i>Novo Alias</i> você pode digitar um diretório que ainda não existe; o programa pergunta
antes de criá-lo, com as pastas que faltarem.</p>
<p>Quando o banco de origem aberto não tem tabelas, a escolha aparece de novo: o diretório escolhido passa
a ser a origem do script e é aberto; <i>Cancelar</i> deixa o banco aberto sem tabelas. Aqui só diretórios
que existem podem ser escolhidos.</p>
)");
    return pages;
}

} // namespace

const std::vector<TvxHelpPage>& TvxHelpPages::All()
{
    static const std::vector<TvxHelpPage> pages = BuildPages();
    return pages;
}

const TvxHelpPage* TvxHelpPages::Find(int context)
{
    for (const auto& page : All())
        if (page.context == context)
            return &page;
    return nullptr;
}

QString TvxHelpPages::Normalize(const QString& text)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression entities(QStringLiteral("&[a-z]+;"));
    QString plain = text;
    plain.remove(tags);
    plain.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    plain.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    plain.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    plain.replace(entities, QStringLiteral(" "));
    const QString decomposed = plain.normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            result.append(c.toLower());
    return result;
}

std::vector<int> TvxHelpPages::Search(const QString& query)
{
    static const QRegularExpression separators(QStringLiteral("[^\\w]+"));
    const QStringList words = Normalize(query).split(separators, Qt::SkipEmptyParts);
    std::vector<int> found;
    if (words.isEmpty())
        return found;
    for (const auto& page : All()) {
        const QString text = Normalize(page.title + QLatin1Char(' ') + page.html);
        bool all = true;
        for (const auto& word : words)
            if (!text.contains(word)) {
                all = false;
                break;
            }
        if (all)
            found.push_back(page.context);
    }
    return found;
}

} // namespace morvane
