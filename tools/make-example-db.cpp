// make-example-db <directory>: writes the example database, four related Paradox 7 tables
// (customers, products, orders, order items) with primary keys, secondary indexes, sample
// rows, validity checks and referential-integrity rules. Run at build time; the alias
// EXEMPLO points at the result. Texts are Windows-1252, as the tables' code page says.
#include <cstdio>
#include <filesystem>

extern "C" {
#include <paradox.h>
}

#include "ParadoxDiskValues.h"
#include "ParadoxValWriter.h"
#include "PxlibTableWriter.h"

using namespace example;

namespace {

namespace fs = std::filesystem;

long day(int year, int month, int d) { return DayNumber(year, month, d); }
long ms(int hour, int minute) { return (hour * 60L + minute) * 60000L; }
double stamp(int year, int month, int d, int hour, int minute)
{
    return day(year, month, d) * 86400000.0 + static_cast<double>(ms(hour, minute));
}

const TableSpec clientes{
    "CLIENTES",
    {{"Codigo", pxfAutoInc, 4, 0},
     {"Nome", pxfAlpha, 40, 0},
     {"Cidade", pxfAlpha, 30, 0},
     {"UF", pxfAlpha, 2, 0},
     {"Nascimento", pxfDate, 4, 0},
     {"Limite", pxfCurrency, 8, 0},
     {"Ativo", pxfLogical, 1, 0}},
    1,
    {{integer(1), text("Ana Ara\xfajo"), text("S\xe3o Paulo"), text("SP"), integer(day(1980, 3, 14)), real(1500.0),
      integer(1)},
     {integer(2), text("Bruno Costa"), text("Curitiba"), text("PR"), integer(day(1975, 11, 2)), real(800.5),
      integer(1)},
     {integer(3), text("Carla Mendon\xe7" "a"), text("Bel\xe9m"), text("PA"), null(), real(0.0), integer(0)}}};

const TableSpec produtos{
    "PRODUTOS",
    {{"Codigo", pxfLong, 4, 0},
     {"Descri\xe7\xe3o", pxfAlpha, 50, 0},
     {"Preco", pxfCurrency, 8, 0},
     {"Estoque", pxfShort, 2, 0},
     {"Peso", pxfNumber, 8, 0}},
    1,
    {{integer(10), text("Caf\xe9 torrado 500 g"), real(18.9), integer(120), real(0.5)},
     {integer(20), text("A\xe7\xfa" "car cristal 1 kg"), real(4.75), integer(300), real(1.0)},
     {integer(30), text("Feij\xe3o carioca 1 kg"), real(8.4), integer(85), real(1.0)}}};

const TableSpec pedidos{
    "PEDIDOS",
    {{"Numero", pxfLong, 4, 0},
     {"Cliente", pxfLong, 4, 0},
     {"Data", pxfDate, 4, 0},
     {"Hora", pxfTime, 4, 0},
     {"Emissao", pxfTimestamp, 8, 0},
     {"Observacao", pxfAlpha, 60, 0}},
    1,
    {{integer(1001), integer(1), integer(day(2024, 5, 6)), integer(ms(9, 0)), real(stamp(2024, 5, 6, 9, 0)),
      text("Entrega pela manh\xe3")},
     {integer(1002), integer(2), integer(day(2024, 5, 7)), integer(ms(14, 30)), real(stamp(2024, 5, 7, 14, 30)),
      null()}}};

// Decimal amounts stay empty: pxlib writes BCD values wrongly, the field itself is fine.
const TableSpec itens{
    "ITENS",
    {{"Pedido", pxfLong, 4, 0},
     {"Item", pxfShort, 2, 0},
     {"Produto", pxfLong, 4, 0},
     {"Quantidade", pxfNumber, 8, 0},
     {"Desconto", pxfBCD, 17, 2}},
    2,
    {{integer(1001), integer(1), integer(10), real(2), null()},
     {integer(1001), integer(2), integer(20), real(1), null()},
     {integer(1002), integer(1), integer(30), real(3), null()}}};

std::vector<std::string> names(const TableSpec& t)
{
    std::vector<std::string> out;
    for (const auto& f : t.fields)
        out.push_back(f.name);
    return out;
}

bool writeVal(const fs::path& dir, const TableSpec& t, const ValFileSpec& spec)
{
    return WriteParadoxVal(dir / (t.name + ".DB"), names(t), spec);
}

// Orders belong to customers (a changed customer code follows into the orders); items name
// products (a product in use keeps its code).
const DependentRuleSpec pedidoCliente{"PedidoCliente", "Cliente", 2, "CLIENTES.DB", true, {2}, {1}};
const DependentRuleSpec itemProduto{"ItemProduto", "Produto", 3, "PRODUTOS.DB", false, {3}, {1}};

MasterRuleSpec masterSide(const DependentRuleSpec& r, const std::string& dependentTable)
{
    return {r.name, dependentTable, r.indexName, r.indexNumber, r.cascade, r.fields};
}

bool writeDatabase(const fs::path& dir)
{
    if (!WriteTable(dir, clientes) || !WriteTable(dir, produtos) || !WriteTable(dir, pedidos) ||
        !WriteTable(dir, itens))
        return false;
    if (!WriteSecondaryIndex(dir, clientes, {"PorNome", {2}, true, 0}) ||
        !WriteSecondaryIndex(dir, pedidos, {"", {2}, false, 0}) ||
        !WriteSecondaryIndex(dir, pedidos, {"PorData", {3, 4}, false, 0}) ||
        !WriteSecondaryIndex(dir, itens, {"", {3}, false, 0}))
        return false;

    ValFileSpec c;
    c.checks = {{2, true, {}, {}, {}, ""},
                {3, false, {}, {}, DiskAlpha("S\xe3o Paulo", 30), ""},
                {4, true, {}, {}, {}, "&&"},
                {5, false, DiskDate(1900, 1, 1), {}, {}, ""},
                {6, false, DiskDouble(0), DiskDouble(50000), DiskDouble(1000), ""},
                {7, false, {}, {}, DiskLogical(true), ""}};
    c.masterKey = {1};
    c.masterRules = {masterSide(pedidoCliente, "PEDIDOS.DB")};

    ValFileSpec p;
    p.checks = {{2, true, {}, {}, {}, ""},
                {3, false, DiskDouble(0), {}, {}, ""},
                {4, false, DiskShort(0), {}, DiskShort(0), ""},
                {5, false, DiskDouble(0), DiskDouble(1000), {}, ""}};
    p.masterKey = {1};
    p.masterRules = {masterSide(itemProduto, "ITENS.DB")};

    ValFileSpec o;
    o.checks = {{1, false, DiskLong(1), {}, {}, ""},
                {2, true, {}, {}, {}, ""},
                {3, true, DiskDate(2000, 1, 1), {}, {}, ""},
                {4, false, DiskTime(7, 0, 0), DiskTime(20, 0, 0), {}, ""}};
    o.dependentRules = {pedidoCliente};

    ValFileSpec i;
    i.checks = {{2, false, DiskShort(1), {}, {}, ""},
                {3, true, {}, {}, {}, ""},
                {4, true, DiskDouble(1), {}, DiskDouble(1), ""},
                {5, false, DiskBcd(0, 2), DiskBcd(5000, 2), {}, ""}};
    i.dependentRules = {itemProduto};

    return writeVal(dir, clientes, c) && writeVal(dir, produtos, p) && writeVal(dir, pedidos, o) &&
           writeVal(dir, itens, i);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-example-db <directory>\n");
        return 2;
    }
    const fs::path dir = argv[1];
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "make-example-db: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    PX_boot();
    const bool ok = writeDatabase(dir);
    PX_shutdown();
    if (!ok) {
        std::fprintf(stderr, "make-example-db: could not write the example tables in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
