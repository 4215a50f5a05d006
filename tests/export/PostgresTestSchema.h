#pragma once
// A schema of its own, dropped at the end, on the throw-away PostgreSQL server that ./test
// starts (tools/test-postgres.sh), found through MORVANE_TEST_POSTGRES_SOCKET: the folder of
// its Unix socket. Tests without it are skipped, saying so.

#include <cstdlib>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "ExportTestSupport.h"

#define MORVANE_NEED_POSTGRES()                                                                                        \
    if (morvane::test::PostgresTestSchema::Socket().empty())                                                           \
    GTEST_SKIP() << "no PostgreSQL server to test against (MORVANE_TEST_POSTGRES_SOCKET is not set)"

namespace morvane::test {

class PostgresTestSchema
{
public:
    static std::string Socket()
    {
        const char* dir = std::getenv("MORVANE_TEST_POSTGRES_SOCKET");
        return dir ? dir : "";
    }

    PostgresTestSchema()
        : name_(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                std::to_string(::getpid())),
          conn_(PQconnectdb(Dsn().c_str()))
    {
        if (PQstatus(conn_) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(conn_));
        Run("SET client_min_messages = warning");
        Run("DROP SCHEMA IF EXISTS \"" + name_ + "\" CASCADE");
        Run("SET search_path = \"" + name_ + "\"");
    }
    ~PostgresTestSchema()
    {
        Run("DROP SCHEMA IF EXISTS \"" + name_ + "\" CASCADE");
        PQfinish(conn_);
    }
    PostgresTestSchema(const PostgresTestSchema&) = delete;
    PostgresTestSchema& operator=(const PostgresTestSchema&) = delete;

    const std::string& Name() const { return name_; }
    std::string Dsn() const { return "host=" + Socket() + " user=postgres dbname=postgres"; }
    // The options of an export into the schema.
    TvxExportOptions Options(std::vector<std::string> tables = {}, bool force = false) const
    {
        TvxExportOptions options;
        options.format = TvxExportFormat::Postgres;
        options.output = Dsn();
        options.schema = name_;
        options.tables = std::move(tables);
        options.force = force;
        return options;
    }

    // Every row, NULL as "<null>"; throws on an SQL error.
    TvxRows Rows(const std::string& sql)
    {
        PGresult* res = PQexec(conn_, sql.c_str());
        if (PQresultStatus(res) != PGRES_TUPLES_OK) {
            const std::string message = sql + ": " + PQresultErrorMessage(res);
            PQclear(res);
            throw std::runtime_error(message);
        }
        TvxRows rows;
        for (int r = 0; r < PQntuples(res); ++r) {
            rows.emplace_back();
            for (int c = 0; c < PQnfields(res); ++c)
                rows.back().push_back(PQgetisnull(res, r, c) ? "<null>" : PQgetvalue(res, r, c));
        }
        PQclear(res);
        return rows;
    }
    std::string Value(const std::string& sql)
    {
        const TvxRows rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
    }
    // The SQLSTATE of running sql, "" when it ran.
    std::string Run(const std::string& sql)
    {
        PGresult* res = PQexec(conn_, sql.c_str());
        const ExecStatusType status = PQresultStatus(res);
        const char* state = PQresultErrorField(res, PG_DIAG_SQLSTATE);
        const std::string out = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? "" : state ? state : "?";
        PQclear(res);
        return out;
    }

private:
    std::string name_;
    PGconn* conn_;
};

} // namespace morvane::test
