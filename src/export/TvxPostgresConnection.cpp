#include "export/TvxPostgresConnection.h"

#include <libpq-fe.h>
#include <memory>
#include <string_view>
#include <vector>

#include "export/EvxExportError.h"

namespace morvane {

namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

std::string trimmed(const char* message)
{
    std::string out = message ? message : "";
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

// The server's message for a failed result, or the connection's.
std::string failure(PGconn* conn, const PGresult* res)
{
    const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (primary && *primary)
        return primary;
    return trimmed(res ? PQresultErrorMessage(res) : PQerrorMessage(conn));
}

// libpq's message about conninfo without the password: a string libpq cannot parse may be
// quoted in part (a bad token of a URI), so its quoted parts go; otherwise the password does.
std::string withoutPassword(std::string message, const std::string& conninfo)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    std::vector<std::string> secrets;
    if (options) {
        for (const PQconninfoOption* o = options; o->keyword; ++o)
            if (o->val && *o->val && std::string_view(o->keyword) == "password")
                secrets.emplace_back(o->val);
        PQconninfoFree(options);
    } else {
        PQfreemem(error);
        for (std::size_t open = message.find('"'); open != std::string::npos; open = message.find('"', open + 3)) {
            const std::size_t close = message.find('"', open + 1);
            if (close == std::string::npos)
                break;
            message.replace(open + 1, close - open - 1, "...");
        }
    }
    for (const auto& secret : secrets)
        for (std::size_t at = message.find(secret); at != std::string::npos; at = message.find(secret, at))
            message.replace(at, secret.size(), "...");
    return message;
}

} // namespace

TvxPostgresConnection::TvxPostgresConnection(const std::string& conninfo)
{
    // "client_encoding" after the user's settings: every text goes in UTF-8.
    const char* keys[] = {"dbname", "client_encoding", nullptr};
    const char* values[] = {conninfo.c_str(), "UTF8", nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_)
        throw EvxExportError("cannot connect to PostgreSQL: out of memory");
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr); // "already exists, skipping" and the like
    if (PQstatus(conn_) != CONNECTION_OK) {
        const std::string message = withoutPassword(trimmed(PQerrorMessage(conn_)), conninfo);
        PQfinish(conn_);
        conn_ = nullptr;
        throw EvxExportError("cannot connect to PostgreSQL: " + message);
    }
}

TvxPostgresConnection::~TvxPostgresConnection()
{
    PQfinish(conn_); // an open transaction ends with the connection, undone
}

std::string TvxPostgresConnection::run(const std::string& sql, const std::vector<std::string>& params,
                                       std::vector<std::vector<std::string>>* rows)
{
    std::vector<const char*> values;
    for (const auto& p : params)
        values.push_back(p.c_str());
    Result res(params.empty() ? PQexec(conn_, sql.c_str())
                              : PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                             values.data(), nullptr, nullptr, 0),
               &PQclear);
    const ExecStatusType status = res ? PQresultStatus(res.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return failure(conn_, res.get());
    if (rows)
        for (int r = 0; r < PQntuples(res.get()); ++r) {
            rows->emplace_back();
            for (int c = 0; c < PQnfields(res.get()); ++c)
                rows->back().emplace_back(PQgetvalue(res.get(), r, c));
        }
    return {};
}

std::vector<std::vector<std::string>> TvxPostgresConnection::Exec(const std::string& sql, const std::string& context,
                                                                  const std::vector<std::string>& params)
{
    std::vector<std::vector<std::string>> rows;
    if (const std::string message = run(sql, params, &rows); !message.empty())
        throw EvxExportError(context + ": " + message);
    return rows;
}

std::string TvxPostgresConnection::Try(const std::string& sql, const std::vector<std::string>& params)
{
    Exec("SAVEPOINT morvane_try", "starting a step");
    const std::string message = run(sql, params, nullptr);
    Exec(message.empty() ? "RELEASE SAVEPOINT morvane_try" : "ROLLBACK TO SAVEPOINT morvane_try", "ending a step");
    return message;
}

std::string TvxPostgresConnection::Copy(const std::string& copy, std::string_view data, const std::string& context)
{
    Result start(PQexec(conn_, copy.c_str()), &PQclear);
    if (!start || PQresultStatus(start.get()) != PGRES_COPY_IN)
        throw EvxExportError(context + ": " + failure(conn_, start.get()));
    std::string message;
    // A size past int's range goes in pieces.
    constexpr std::size_t Piece = std::size_t{1} << 30;
    for (std::size_t at = 0; at < data.size() && message.empty(); at += Piece) {
        const std::size_t n = std::min(Piece, data.size() - at);
        if (PQputCopyData(conn_, data.data() + at, static_cast<int>(n)) != 1)
            message = trimmed(PQerrorMessage(conn_));
    }
    if (PQputCopyEnd(conn_, message.empty() ? nullptr : message.c_str()) != 1 && message.empty())
        message = trimmed(PQerrorMessage(conn_));
    bool dataError = false;
    while (PGresult* r = PQgetResult(conn_)) {
        Result res(r, &PQclear);
        if (PQresultStatus(r) != PGRES_COMMAND_OK && message.empty()) {
            message = failure(conn_, r);
            // SQLSTATE classes 22 (data exception) and 23 (integrity constraint violation).
            const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
            dataError = state && state[0] == '2' && (state[1] == '2' || state[1] == '3');
        }
    }
    if (!message.empty() && !dataError)
        throw EvxExportError(context + ": " + message);
    return message;
}

} // namespace morvane
