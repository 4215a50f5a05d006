#pragma once
// A libpq connection for the PostgreSQL export, in UTF-8. Exec runs a statement and gives its
// rows as texts; Try runs one inside a savepoint, so that its failure leaves the transaction
// usable, and gives the server's message (empty when it ran). Copy sends COPY ... FROM STDIN
// data. Failures throw EvxExportError: "context: the server's message". Messages never repeat
// the connection string.

#include <string>
#include <string_view>
#include <vector>

struct pg_conn;

namespace morvane {

class TvxPostgresConnection
{
public:
    // Connects as libpq does with `conninfo` (its environment variables and password file).
    explicit TvxPostgresConnection(const std::string& conninfo);
    ~TvxPostgresConnection();
    TvxPostgresConnection(const TvxPostgresConnection&) = delete;
    TvxPostgresConnection& operator=(const TvxPostgresConnection&) = delete;

    // Rows of the statement's result, each value as text ("" for NULL); params are $1, $2, ....
    std::vector<std::vector<std::string>> Exec(const std::string& sql, const std::string& context,
                                               const std::vector<std::string>& params = {});
    std::string Try(const std::string& sql, const std::vector<std::string>& params = {});
    // Runs `copy` with `data` as its input: empty when the rows went in, the server's message
    // when it refused their values (a data or constraint error); other failures throw. Not in a
    // savepoint of its own.
    std::string Copy(const std::string& copy, std::string_view data, const std::string& context);

private:
    std::string run(const std::string& sql, const std::vector<std::string>& params,
                    std::vector<std::vector<std::string>>* rows);

    pg_conn* conn_ = nullptr;
};

} // namespace morvane
