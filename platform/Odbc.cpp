#include "Odbc.h"

#include "Cp936.h"

#include <mutex>

namespace Odbc {
namespace {

// One environment for the process, created when the first connection needs it.
std::shared_ptr<Environment> SharedEnvironment()
{
    static std::mutex mutex;
    static std::weak_ptr<Environment> shared;
    std::lock_guard lock(mutex);
    auto environment = shared.lock();
    if (!environment) {
        environment = std::make_shared<Environment>();
        shared = environment;
    }
    return environment;
}

SQLCHAR* Text(std::string& text)
{
    return reinterpret_cast<SQLCHAR*>(text.data());
}

} // namespace

void Check(SQLRETURN result, SQLSMALLINT handleType, SQLHANDLE handle, const char* what)
{
    if (SQL_SUCCEEDED(result))
        return;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
    SQLSMALLINT length = 0;
    if (handle != SQL_NULL_HANDLE &&
        SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, 1, state, &native, message, sizeof message, &length))) {
        throw EDatabaseError(Cp936::FromDriverText(reinterpret_cast<const char*>(message)),
                             reinterpret_cast<const char*>(state));
    }
    throw EDatabaseError(std::string(what) + " failed");
}

Environment::Environment()
{
    Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle_), SQL_HANDLE_ENV, SQL_NULL_HANDLE,
          "Allocating the ODBC environment");
    const auto result = SQLSetEnvAttr(handle_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(result)) {
        SQLFreeHandle(SQL_HANDLE_ENV, handle_);
        throw EDatabaseError("Setting the ODBC version failed");
    }
}

Environment::~Environment()
{
    SQLFreeHandle(SQL_HANDLE_ENV, handle_);
}

Connection::Connection() : environment_(SharedEnvironment())
{
    Check(SQLAllocHandle(SQL_HANDLE_DBC, environment_->Handle(), &handle_), SQL_HANDLE_ENV, environment_->Handle(),
          "Allocating an ODBC connection");
}

Connection::~Connection()
{
    if (connected_)
        SQLDisconnect(handle_);
    SQLFreeHandle(SQL_HANDLE_DBC, handle_);
}

void Connection::Connect(const std::string& dataSource, const std::string& user, const std::string& password,
                         unsigned loginTimeoutSeconds)
{
    Check(SQLSetConnectAttr(handle_, SQL_ATTR_LOGIN_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)), 0),
          SQL_HANDLE_DBC, handle_, "Setting the login time-out");
    auto dsn = Cp936::ToUtf8(dataSource);
    auto uid = Cp936::ToUtf8(user);
    auto pwd = Cp936::ToUtf8(password);
    Check(SQLConnect(handle_, Text(dsn), SQL_NTS, Text(uid), SQL_NTS, Text(pwd), SQL_NTS), SQL_HANDLE_DBC, handle_,
          "Connecting");
    connected_ = true;
}

Statement::Statement(std::shared_ptr<Connection> connection) : connection_(std::move(connection))
{
    Odbc::Check(SQLAllocHandle(SQL_HANDLE_STMT, connection_->Handle(), &handle_), SQL_HANDLE_DBC, connection_->Handle(),
                "Allocating a statement");
}

Statement::~Statement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

void Statement::Check(SQLRETURN result, const char* what) const
{
    Odbc::Check(result, SQL_HANDLE_STMT, handle_, what);
}

} // namespace Odbc
