// make-example-db <directory>: writes the example database (a few related Paradox 7 tables
// with primary keys, sample rows and several field types) with pxlib. Run at build time; the
// alias EXEMPLO points at the result.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace {

namespace fs = std::filesystem;

struct FieldSpec
{
    const char* name;
    char type;
    int length;
    int decimals;
};

// One cell of a row; a null pointer text with type Alpha writes a null value.
struct Cell
{
    enum Kind { Null, Text, Integer, Real } kind = Null;
    std::string text;
    long integer = 0;
    double real = 0;
};

Cell text(const char* s) { return {Cell::Text, s, 0, 0}; }
Cell integer(long v) { return {Cell::Integer, {}, v, 0}; }
Cell real(double v) { return {Cell::Real, {}, 0, v}; }
Cell null() { return {}; }

// Paradox day number: 1 January of year 1 is day 1.
long dayNumber(int year, int month, int day)
{
    const int a = (14 - month) / 12;
    const long y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    const long julian = day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    return julian - 1721425; // Julian day number of 0001-01-01 is 1721426
}

bool failed = false;

void onError(pxdoc_t*, int type, const char* msg, void*)
{
    std::fprintf(stderr, "make-example-db: pxlib: %s (%d)\n", msg, type);
    failed = true;
}

pxfield_t* makeFields(const std::vector<FieldSpec>& specs)
{
    // pxlib frees these with the document.
    auto* fields = static_cast<pxfield_t*>(std::calloc(specs.size(), sizeof(pxfield_t)));
    for (std::size_t i = 0; i < specs.size(); ++i) {
        fields[i].px_fname = strdup(specs[i].name);
        fields[i].px_ftype = specs[i].type;
        fields[i].px_flen = specs[i].length;
        fields[i].px_fdc = specs[i].decimals;
    }
    return fields;
}

// pxlib leaves header byte 0x55 (referential-integrity/index flags) uninitialised.
bool clearFlagsByte(const fs::path& file)
{
    std::FILE* f = std::fopen(file.c_str(), "r+b");
    if (!f)
        return false;
    const bool ok = std::fseek(f, 0x55, SEEK_SET) == 0 && std::fputc(0, f) != EOF;
    return std::fclose(f) == 0 && ok;
}

bool writeTable(const fs::path& dir, const char* name, const std::vector<FieldSpec>& specs, int keyFields,
                const std::vector<std::vector<Cell>>& rows)
{
    const fs::path dbPath = dir / (std::string(name) + ".DB");
    const fs::path pxPath = dir / (std::string(name) + ".PX");
    std::error_code ec;
    fs::remove(dbPath, ec);
    fs::remove(pxPath, ec);

    pxdoc_t* px = PX_new2(onError, nullptr, nullptr, nullptr);
    if (!px || PX_create_file(px, makeFields(specs), static_cast<int>(specs.size()), dbPath.c_str(),
                              keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        return false;
    PX_set_parameter(px, "tablename", name);
    PX_set_value(px, "codepage", 1252);
    if (keyFields > 0)
        PX_set_value(px, "numprimkeys", static_cast<float>(keyFields));

    for (const auto& row : rows) {
        std::vector<pxval_t> values(specs.size());
        std::vector<pxval_t*> pointers(specs.size());
        std::vector<std::string> texts(specs.size());
        for (std::size_t i = 0; i < specs.size(); ++i) {
            pxval_t& v = values[i];
            std::memset(&v, 0, sizeof v);
            v.type = specs[i].type;
            const Cell& c = i < row.size() ? row[i] : Cell{};
            v.isnull = c.kind == Cell::Null;
            if (c.kind == Cell::Text) {
                texts[i] = c.text;
                v.value.str.val = texts[i].data();
                v.value.str.len = static_cast<int>(texts[i].size());
            } else if (c.kind == Cell::Integer) {
                v.value.lval = c.integer;
            } else if (c.kind == Cell::Real) {
                v.value.dval = c.real;
            }
            pointers[i] = &v;
        }
        if (PX_insert_record(px, pointers.data()) < 0)
            return false;
    }

    bool ok = true;
    if (keyFields > 0) {
        pxdoc_t* pi = PX_new2(onError, nullptr, nullptr, nullptr);
        const std::vector<FieldSpec> keys(specs.begin(), specs.begin() + keyFields);
        ok = pi && PX_create_file(pi, makeFields(keys), keyFields, pxPath.c_str(), pxfFileTypPrimIndex) >= 0 &&
             PX_write_primary_index(px, pi) >= 0;
        if (pi) {
            PX_close(pi);
            PX_delete(pi);
        }
    }
    PX_close(px);
    PX_delete(px);
    return ok && !failed && clearFlagsByte(dbPath);
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

    // Texts are Windows-1252, as the tables' code page says.
    const bool ok =
        writeTable(dir, "CLIENTES",
                   {{"Codigo", pxfAutoInc, 4, 0},
                    {"Nome", pxfAlpha, 40, 0},
                    {"Cidade", pxfAlpha, 30, 0},
                    {"UF", pxfAlpha, 2, 0},
                    {"Nascimento", pxfDate, 4, 0},
                    {"Limite", pxfCurrency, 8, 0},
                    {"Ativo", pxfLogical, 1, 0}},
                   1,
                   {{integer(1), text("Ana Ara\xfajo"), text("S\xe3o Paulo"), text("SP"),
                     integer(dayNumber(1980, 3, 14)), real(1500.0), integer(1)},
                    {integer(2), text("Bruno Costa"), text("Curitiba"), text("PR"), integer(dayNumber(1975, 11, 2)),
                     real(800.5), integer(1)},
                    {integer(3), text("Carla Mendon\xe7" "a"), text("Bel\xe9m"), text("PA"), null(), real(0.0),
                     integer(0)}}) &&
        writeTable(dir, "PRODUTOS",
                   {{"Codigo", pxfLong, 4, 0},
                    {"Descri\xe7\xe3o", pxfAlpha, 50, 0},
                    {"Preco", pxfCurrency, 8, 0},
                    {"Estoque", pxfShort, 2, 0},
                    {"Peso", pxfNumber, 8, 0}},
                   1,
                   {{integer(10), text("Caf\xe9 torrado 500 g"), real(18.9), integer(120), real(0.5)},
                    {integer(20), text("A\xe7\xfa" "car cristal 1 kg"), real(4.75), integer(300), real(1.0)},
                    {integer(30), text("Feij\xe3o carioca 1 kg"), real(8.4), integer(85), real(1.0)}}) &&
        writeTable(dir, "PEDIDOS",
                   {{"Numero", pxfLong, 4, 0},
                    {"Cliente", pxfLong, 4, 0},
                    {"Data", pxfDate, 4, 0},
                    {"Hora", pxfTime, 4, 0},
                    {"Emissao", pxfTimestamp, 8, 0},
                    {"Observacao", pxfAlpha, 60, 0}},
                   1,
                   {{integer(1001), integer(1), integer(dayNumber(2024, 5, 6)), integer(9 * 3600000L),
                     real((dayNumber(2024, 5, 6) * 86400.0 + 9 * 3600) * 1000.0), text("Entrega pela manh\xe3")},
                    {integer(1002), integer(2), integer(dayNumber(2024, 5, 7)), integer(14 * 3600000L + 1800000L),
                     real((dayNumber(2024, 5, 7) * 86400.0 + 14.5 * 3600) * 1000.0), null()}}) &&
        // Decimal amounts stay empty: pxlib writes BCD values wrongly, the field itself is fine.
        writeTable(dir, "ITENS",
                   {{"Pedido", pxfLong, 4, 0},
                    {"Item", pxfShort, 2, 0},
                    {"Produto", pxfLong, 4, 0},
                    {"Quantidade", pxfNumber, 8, 0},
                    {"Desconto", pxfBCD, 17, 2}},
                   2,
                   {{integer(1001), integer(1), integer(10), real(2), null()},
                    {integer(1001), integer(2), integer(20), real(1), null()},
                    {integer(1002), integer(1), integer(30), real(3), null()}});
    PX_shutdown();
    if (!ok) {
        std::fprintf(stderr, "make-example-db: could not write the example tables in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
