// make-example-db <directory>: writes the example database through our table writer: four
// related Paradox 7 tables (customers, products, orders, order items) with primary keys,
// secondary indexes, validity checks, referential-integrity rules on both sides and some
// hundred records each, memos and pictures included. Run at build time; the alias EXEMPLO
// points at the result. Texts are Windows-1252, as the tables' code page says. The records
// come from a fixed seed, so every build writes the same tables.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/EvxEngineError.h"
#include "db/IvxRecordSource.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/clvxTableDesc.h"
#include "model/vxCodePage.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"

using namespace morvane;

namespace {

namespace fs = std::filesystem;

// ---- Structures --------------------------------------------------------------------------

TvxFieldDesc field(const char* name, int type, int size = 0)
{
    TvxFieldDesc f;
    f.setName(name);
    f.setType(type);
    if (type == fldBcd)
        f.setUnits2(size);
    else
        f.setUnits1(size);
    return f;
}

TvxIndexDesc index(const char* name, std::vector<int> fields, bool primary = false, bool caseInsensitive = false)
{
    TvxIndexDesc x;
    x.setName(name);
    x.setPrimary(primary);
    x.setUnique(primary);
    x.setMaintained(true);
    x.setCaseInsensitive(caseInsensitive);
    x.setKeyFieldCount(static_cast<int>(fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i)
        x.setKeyField(static_cast<int>(i), fields[i]);
    return x;
}

TvxTableDesc table(const char* name, std::vector<TvxFieldDesc> fields, std::vector<TvxIndexDesc> indexes)
{
    TvxTableDesc d;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i].setFieldNumber(static_cast<int>(i) + 1);
    d.SetFields(std::move(fields));
    d.SetIndexes(std::move(indexes));
    d.SetAllNames(name);
    d.CursorProps().setTableLevel(7);
    d.CursorProps().setLanguageDriver("ANSII850");
    d.CursorProps().setCodePage(vxNewTableCodePage);
    return d;
}

// A validity check; values in the engine's native forms.
struct Check
{
    TvxValCheckDesc d;
    explicit Check(int fieldNo, bool required = false)
    {
        d.setFieldNumber(fieldNo);
        d.setRequired(required);
    }
    template <class T>
    Check& min(T v) { return set(d.minimum(), v, &TvxValCheckDesc::setHasMinimum); }
    template <class T>
    Check& max(T v) { return set(d.maximum(), v, &TvxValCheckDesc::setHasMaximum); }
    template <class T>
    Check& byDefault(T v) { return set(d.defaultValue(), v, &TvxValCheckDesc::setHasDefault); }
    Check& text(const char* v)
    {
        std::strncpy(reinterpret_cast<char*>(d.defaultValue()), v, TvxValCheckDesc::AreaSize - 1);
        d.setHasDefault(true);
        return *this;
    }
    Check& decimal(double minimum, double maximum)
    {
        DoubleToBcd(minimum, 32, 2, d.minimum());
        DoubleToBcd(maximum, 32, 2, d.maximum());
        d.setHasMinimum(true);
        d.setHasMaximum(true);
        return *this;
    }
    Check& picture(const char* p)
    {
        d.setPicture(p);
        return *this;
    }

private:
    template <class T>
    Check& set(std::uint8_t* area, T v, void (TvxValCheckDesc::*has)(bool))
    {
        std::memcpy(area, &v, sizeof v);
        (d.*has)(true);
        return *this;
    }
};

TvxRefIntDesc rule(const char* name, TvxRefIntDesc::Kind kind, const char* other, bool cascade, int thisField,
                   int otherField)
{
    TvxRefIntDesc r;
    r.setName(name);
    r.setKind(kind);
    r.setOtherTable(other);
    r.setUpdateRule(cascade ? TvxRefIntDesc::Cascade : TvxRefIntDesc::Prohibit);
    r.setFieldCount(1);
    r.setThisField(0, thisField);
    r.setOtherField(0, otherField);
    return r;
}

std::int32_t day(int year, int month, int d)
{
    std::int32_t v = 0;
    EncodeDate(year, month, d, v);
    return v;
}

// ---- Records -----------------------------------------------------------------------------

class Generated : public IvxRecordSource
{
public:
    Generated(int count, std::function<TvxRecord(int)> make) : count_(count), make_(std::move(make)) {}
    bool Next(TvxRecord& record) override
    {
        if (next_ == count_)
            return false;
        record = make_(next_++);
        return true;
    }

private:
    int count_;
    int next_ = 0;
    std::function<TvxRecord(int)> make_;
};

std::mt19937 rng(20240506);
int pick(int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

const char* const firstNames[] = {"Ana", "Bruno", "Carla", "Daniel", "Elisa", "F\xe1" "bio", "Gl\xf3ria", "Hugo",
                                  "In\xeas", "Jo\xe3o", "L\xfa" "cia", "M\xe1rio", "N\xfa" "bia", "Ot\xe1vio", "Paula",
                                  "Ra\xfal", "S\xedlvia", "Tom\xe1s", "\xdarsula", "Vit\xf3ria"};
const char* const lastNames[] = {"Ara\xfajo", "Costa", "Mendon\xe7" "a", "Silva", "Gon\xe7" "alves", "Pereira",
                                 "Concei\xe7\xe3o", "Ribeiro", "Fran\xe7" "a", "Louren\xe7o", "Mour\xe3o", "Sim\xf5" "es"};
const char* const cities[][2] = {{"S\xe3o Paulo", "SP"}, {"Curitiba", "PR"}, {"Bel\xe9m", "PA"},
                                 {"Bras\xedlia", "DF"},  {"Goi\xe2nia", "GO"}, {"Florian\xf3polis", "SC"},
                                 {"Macei\xf3", "AL"},    {"Vit\xf3ria", "ES"}, {"Cuiab\xe1", "MT"}};
const char* const goods[] = {"Caf\xe9 torrado", "A\xe7\xfa" "car cristal", "Feij\xe3o carioca", "Arroz integral",
                             "Farinha de mandioca", "\xd3leo de soja", "Macarr\xe3o", "P\xe3o de queijo",
                             "Doce de leite", "Guaran\xe1"};

constexpr int Customers = 300;
constexpr int Products = 200;
constexpr int Orders = 500;

TvxFieldValue text(const std::string& s)
{
    return s.empty() ? TvxFieldValue() : TvxFieldValue::Bytes(s);
}

// Notes of every length: none, within the record's 40 bytes, in a shared block, a block of
// their own.
TvxFieldValue notes(int i)
{
    static const std::string line = "Cliente atendido pela equipe comercial; prefere entrega \xe0 tarde.\r\n";
    const int kind = i % 4;
    if (kind == 0)
        return {};
    const std::size_t length = kind == 1 ? 30 : kind == 2 ? 300 + static_cast<std::size_t>(i) : 5000;
    std::string s;
    while (s.size() < length)
        s += line;
    s.resize(length);
    return TvxFieldValue::Bytes(s);
}

// A small Windows bitmap (24 bits, 16 x 16) in the product's colour.
TvxFieldValue picture(int i)
{
    if (i % 3 != 0)
        return {};
    const int side = 16;
    const std::uint32_t pixels = side * side * 3;
    const std::uint32_t size = 54 + pixels;
    std::string b(size, '\0');
    const auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k)
            b[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, side, 4);
    put(22, side, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, pixels, 4);
    for (std::uint32_t p = 0; p < pixels; p += 3) {
        b[54 + p] = static_cast<char>(i * 37);
        b[55 + p] = static_cast<char>(i * 11 + p);
        b[56 + p] = static_cast<char>(255 - i);
    }
    return TvxFieldValue::Bytes(b);
}

struct Database
{
    TvxTableDesc clientes = table("CLIENTES",
                                  {field("Codigo", fldAutoInc), field("Nome", fldAlpha, 40), field("Cidade", fldAlpha, 30),
                                   field("UF", fldAlpha, 2), field("Nascimento", fldDate), field("Limite", fldMoney),
                                   field("Ativo", fldLogical), field("Observacoes", fldMemo, 40)},
                                  {index("", {1}, true), index("PorNome", {2}, false, true)});
    TvxTableDesc produtos = table("PRODUTOS",
                                  {field("Codigo", fldLong), field("Descri\xe7\xe3o", fldAlpha, 50), field("Preco", fldMoney),
                                   field("Estoque", fldShort), field("Peso", fldNumber), field("Foto", fldGraphic, 0)},
                                  {index("", {1}, true)});
    TvxTableDesc pedidos = table("PEDIDOS",
                                 {field("Numero", fldLong), field("Cliente", fldLong), field("Data", fldDate),
                                  field("Hora", fldTime), field("Emissao", fldTimestamp), field("Observacao", fldAlpha, 60)},
                                 {index("", {1}, true), index("Cliente", {2}), index("PorData", {3, 4})});
    TvxTableDesc itens = table("ITENS",
                               {field("Pedido", fldLong), field("Item", fldShort), field("Produto", fldLong),
                                field("Quantidade", fldNumber), field("Desconto", fldBcd, 2)},
                               {index("", {1, 2}, true), index("Produto", {3})});

    Database()
    {
        // Orders belong to customers (a changed customer code follows into the orders); items
        // name products (a product in use keeps its code).
        clientes.SetValChecks({Check(2, true).d, Check(3).text("S\xe3o Paulo").d, Check(4, true).picture("&&").d,
                               Check(5).min(day(1900, 1, 1)).d,
                               Check(6).min(0.0).max(50000.0).byDefault(1000.0).d,
                               Check(7).byDefault(std::uint8_t{1}).d});
        clientes.SetRefInts({rule("PedidoCliente", TvxRefIntDesc::Master, "PEDIDOS.DB", true, 1, 2)});
        produtos.SetValChecks({Check(2, true).d, Check(3).min(0.0).d,
                               Check(4).min(std::int16_t{0}).byDefault(std::int16_t{0}).d,
                               Check(5).min(0.0).max(1000.0).d});
        produtos.SetRefInts({rule("ItemProduto", TvxRefIntDesc::Master, "ITENS.DB", false, 1, 3)});
        pedidos.SetValChecks({Check(1).min(std::int32_t{1}).d, Check(2, true).d,
                              Check(3, true).min(day(2000, 1, 1)).d,
                              Check(4).min(std::int32_t{7 * 3600000}).max(std::int32_t{20 * 3600000}).d});
        pedidos.SetRefInts({rule("PedidoCliente", TvxRefIntDesc::Dependent, "CLIENTES.DB", true, 2, 1)});
        itens.SetValChecks({Check(2).min(std::int16_t{1}).d, Check(3, true).d,
                            Check(4, true).min(1.0).byDefault(1.0).d, Check(5).decimal(0, 50).d});
        itens.SetRefInts({rule("ItemProduto", TvxRefIntDesc::Dependent, "PRODUTOS.DB", false, 3, 1)});
    }

    const TvxTableDesc* byFile(std::string_view name) const
    {
        for (const auto* t : {&clientes, &produtos, &pedidos, &itens})
            if (t->TableName() + ".DB" == name)
                return t;
        return nullptr;
    }
};

TvxRecord customer(int i)
{
    const auto& city = cities[pick(9)];
    const std::string name = std::string(firstNames[pick(20)]) + " " + lastNames[pick(12)] + " " + lastNames[pick(12)];
    return {TvxFieldValue::Integer(i + 1),
            text(name),
            text(city[0]),
            text(city[1]),
            i % 10 == 9 ? TvxFieldValue() : TvxFieldValue::Date(day(1940 + pick(65), 1 + pick(12), 1 + pick(28))),
            TvxFieldValue::Float(pick(5000) * 10.0),
            TvxFieldValue::Logical(i % 7 != 0),
            notes(i)};
}

TvxRecord product(int i)
{
    return {TvxFieldValue::Integer(10 * (i + 1)),
            text(std::string(goods[i % 10]) + " " + std::to_string(250 * (1 + i / 10)) + " g"),
            TvxFieldValue::Float((100 + pick(9900)) / 100.0),
            TvxFieldValue::Integer(pick(500)),
            TvxFieldValue::Float(0.25 * (1 + i / 10)),
            picture(i)};
}

TvxRecord order(int i)
{
    const std::int32_t date = day(2024, 1 + i % 12, 1 + pick(28));
    const std::int32_t time = (7 * 60 + pick(13 * 60)) * 60000;
    return {TvxFieldValue::Integer(1001 + i),
            TvxFieldValue::Integer(1 + pick(Customers)),
            TvxFieldValue::Date(date),
            TvxFieldValue::Time(time),
            TvxFieldValue::Timestamp(EncodeTimeStamp(date, time)),
            i % 5 == 0 ? text("Entrega pela manh\xe3") : TvxFieldValue()};
}

// One to four items per order.
std::vector<TvxRecord> items()
{
    std::vector<TvxRecord> out;
    for (int o = 0; o < Orders; ++o)
        for (int n = 1, count = 1 + pick(4); n <= count; ++n) {
            const int cents = pick(5001);
            const std::string discount = std::to_string(cents / 100) + "." + (cents % 100 < 10 ? "0" : "") +
                                         std::to_string(cents % 100);
            out.push_back({TvxFieldValue::Integer(1001 + o), TvxFieldValue::Integer(n),
                           TvxFieldValue::Integer(10 * (1 + pick(Products))), TvxFieldValue::Float(1 + pick(10)),
                           n == 1 ? TvxFieldValue() : TvxFieldValue::Bcd(discount)});
        }
    return out;
}

bool write(const Database& db, const TvxTableDesc& desc, IvxRecordSource& records, const fs::path& dir)
{
    ParadoxWriteOptions options;
    options.replace = true; // every build writes the tables again
    options.otherTable = [&](std::string_view name) { return db.byFile(name); };
    try {
        const ParadoxWriteResult r = ParadoxWriteTable(desc, records, dir.string(), desc.TableName(), options);
        for (const auto& w : r.warnings)
            std::fprintf(stderr, "make-example-db: %s: %s\n", desc.TableName().c_str(), w.c_str());
        return r.warnings.empty();
    } catch (const EvxEngineError& e) {
        std::fprintf(stderr, "make-example-db: %s\n", e.what());
        return false;
    }
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
    const Database db;
    Generated clientes(Customers, customer);
    Generated produtos(Products, product);
    Generated pedidos(Orders, order);
    const std::vector<TvxRecord> lines = items();
    Generated itens(static_cast<int>(lines.size()), [&](int i) { return lines[static_cast<std::size_t>(i)]; });
    const bool ok = write(db, db.clientes, clientes, dir) && write(db, db.produtos, produtos, dir) &&
                    write(db, db.pedidos, pedidos, dir) && write(db, db.itens, itens, dir);
    if (!ok) {
        std::fprintf(stderr, "make-example-db: could not write the example tables in %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
