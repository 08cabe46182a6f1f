#pragma once

#include "SlowProxy.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The test process's own ODBC configuration, made before the first ODBC call: the SQLite and
// PostgreSQL drivers, a trace of every call, and these data sources:
//   LibODBC    a SQLite file in the sandbox
//   PgLib      the test PostgreSQL cluster (login kiosk / kiosk-pass), when the tests run with one
//   PgStopped  a port on 127.0.0.1 where nothing listens
//   PgSilent   a port on 127.0.0.1 that accepts connections and never answers
//   PgSlow     the test cluster behind a proxy that holds each connection for a moment
//   PgSlowDead a proxy that holds each connection for a moment and then closes it
class OdbcSandbox {
public:
    static OdbcSandbox& Instance();

    static constexpr const char* kPgUser = "kiosk";
    static constexpr const char* kPgPassword = "kiosk-pass";

    std::string SqliteFile() const;
    // Called on the proxies' thread as a connection to PgSlow or PgSlowDead arrives.
    void OnSlowAccept(std::function<void()> hook);
    bool HasPostgres() const { return postgresPort_.has_value(); }

    // The driver manager's trace since the last ClearTrace().
    std::string Trace() const;
    void ClearTrace() const;

    // Runs statements on a data source, one after another; throws EDatabaseError.
    static void Execute(const std::string& dataSource, const std::string& user, const std::string& password,
                        const std::vector<std::string>& statements);

    // The library's three tables, emptied, with the given rows inserted.
    struct LibraryRows {
        std::vector<std::string> inserts;
        bool withVersionTable = true;
        std::string zizhuColumns = "zz_user char(6), zz_ip char(24)";
    };
    static void CreateLibrary(const std::string& dataSource, const LibraryRows& rows);

private:
    OdbcSandbox();

    QTemporaryDir folder_;
    std::optional<int> postgresPort_;
    int silentListener_ = -1;
    std::unique_ptr<SlowProxy> slow_;
    std::unique_ptr<SlowProxy> slowDead_;
};

// Credentials for a data source: the PostgreSQL login for Pg*, nothing for SQLite.
std::string UserFor(const std::string& dataSource);
std::string PasswordFor(const std::string& dataSource);
