#pragma once

#include "Exceptions.h"

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>

// An error of the data layer: the driver's diagnostic text, with its SQLSTATE kept beside it.
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(std::string message, std::string sqlState = {})
        : Exception(std::move(message)), sqlState_(std::move(sqlState))
    {}
    const std::string& SqlState() const noexcept { return sqlState_; }

private:
    std::string sqlState_;
};

// A thin owner of the ODBC handles. Texts cross the ODBC boundary as UTF-8, which is what the drivers
// in use take and give through the narrow interface; inside they are code page 936.
namespace Odbc {

// Raises EDatabaseError with the first diagnostic record of the handle unless the call succeeded.
// (Reading further records has crashed some drivers on unixODBC.)
void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* what);

class Environment {
public:
    Environment();
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    SQLHENV Handle() const { return handle_; }

private:
    SQLHENV handle_ = SQL_NULL_HENV;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Logs in to a data source with three separate texts; no connection string is ever built.
    void Connect(const std::string& dataSource, const std::string& user, const std::string& password,
                 unsigned loginTimeoutSeconds);
    bool Connected() const { return connected_; }
    SQLHDBC Handle() const { return handle_; }

private:
    std::shared_ptr<Environment> environment_;
    SQLHDBC handle_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

// A statement handle; it keeps its connection alive for as long as it exists.
class Statement {
public:
    explicit Statement(std::shared_ptr<Connection> connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT Handle() const { return handle_; }
    void Check(SQLRETURN result, const char* what) const;

private:
    std::shared_ptr<Connection> connection_;
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

} // namespace Odbc
