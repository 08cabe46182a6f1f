#pragma once

#include "Database.h"
#include "OdbcSandbox.h"

#include <QTest>

// The connection "LibDB" of the default session, open on one of the sandbox's data sources.
class LibraryDatabase {
public:
    explicit LibraryDatabase(const std::string& dataSource) : database_(nullptr)
    {
        database_.AliasName = dataSource;
        database_.DatabaseName = "LibDB";
        database_.LoginPrompt = false;
        database_.Params.Add("USER NAME=" + UserFor(dataSource));
        database_.Params.Add("PASSWORD=" + PasswordFor(dataSource));
        database_.Open();
    }

private:
    TDatabase database_;
};

// Adds one row per driver to a data table: SQLite always, PostgreSQL when the tests have a cluster.
inline void AddDriverRows(const char* name, const std::function<void(QTestData&)>& columns)
{
    for (const char* dataSource : {"LibODBC", "PgLib"}) {
        if (std::string(dataSource) == "PgLib" && !OdbcSandbox::Instance().HasPostgres())
            continue;
        auto& row = QTest::addRow("%s, %s", dataSource == std::string("PgLib") ? "PostgreSQL" : "SQLite", name)
                    << QString(dataSource);
        columns(row);
    }
}
