#include "OdbcSandbox.h"

#include "Odbc.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string FolderFile(const QTemporaryDir& folder, const char* name)
{
    return folder.filePath(name).toStdString();
}

// A socket bound to a free port of 127.0.0.1; listening or not.
int BindLoopback(bool listening, int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 || (listening && ::listen(fd, 8) != 0))
        std::abort();
    port = ntohs(address.sin_port);
    return fd;
}

std::optional<int> ReadPostgresPort()
{
    const char* state = std::getenv("KIOSK_TEST_PG_STATE");
    if (state == nullptr)
        return std::nullopt;
    std::ifstream in(std::string(state) + "/port");
    int port = 0;
    if (!(in >> port))
        return std::nullopt;
    return port;
}

std::string PostgresSource(const char* name, int port)
{
    return "[" + std::string(name) +
           "]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=" + std::to_string(port) +
           "\nDatabase=library\n\n";
}

} // namespace

OdbcSandbox& OdbcSandbox::Instance()
{
    static OdbcSandbox sandbox;
    return sandbox;
}

OdbcSandbox::OdbcSandbox() : postgresPort_(ReadPostgresPort())
{
    int stoppedPort = 0;
    ::close(BindLoopback(false, stoppedPort)); // free again: nothing listens there
    int silentPort = 0;
    silentListener_ = BindLoopback(true, silentPort); // the kernel accepts; nobody ever answers
    constexpr std::chrono::milliseconds kHold(700);
    slowDead_ = std::make_unique<SlowProxy>(stoppedPort, kHold);
    if (postgresPort_)
        slow_ = std::make_unique<SlowProxy>(*postgresPort_, kHold);

    std::ofstream(FolderFile(folder_, "odbcinst.ini"))
        << "[ODBC]\nTrace=Yes\nTraceFile=" << FolderFile(folder_, "trace.log") << "\n\n"
        << "[SQLite3]\nDriver=libsqlite3odbc.so\n\n[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n";
    std::ofstream sources(FolderFile(folder_, "odbc.ini"));
    sources << "[LibODBC]\nDriver=SQLite3\nDatabase=" << SqliteFile() << "\n\n";
    if (postgresPort_)
        sources << PostgresSource("PgLib", *postgresPort_) << PostgresSource("PgSlow", slow_->Port());
    sources << PostgresSource("PgStopped", stoppedPort) << PostgresSource("PgSilent", silentPort)
            << PostgresSource("PgSlowDead", slowDead_->Port());
    sources.close();
    ::setenv("ODBCSYSINI", folder_.path().toLocal8Bit().constData(), 1);
    ::setenv("ODBCINI", FolderFile(folder_, "odbc.ini").c_str(), 1);
}

void OdbcSandbox::OnSlowAccept(std::function<void()> hook)
{
    if (slow_)
        slow_->OnAccept(hook);
    slowDead_->OnAccept(hook);
}

std::string OdbcSandbox::SqliteFile() const
{
    return FolderFile(folder_, "library.db");
}

std::string OdbcSandbox::Trace() const
{
    std::ifstream in(FolderFile(folder_, "trace.log"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void OdbcSandbox::ClearTrace() const
{
    std::ofstream(FolderFile(folder_, "trace.log"), std::ios::trunc);
}

void OdbcSandbox::Execute(const std::string& dataSource, const std::string& user, const std::string& password,
                          const std::vector<std::string>& statements)
{
    Instance(); // the data sources exist from here on
    auto connection = std::make_shared<Odbc::Connection>();
    connection->Connect(dataSource, user, password, 10);
    for (const auto& sql : statements) {
        Odbc::Statement statement(connection);
        std::string text = sql;
        const auto result = SQLExecDirect(statement.Handle(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        if (result != SQL_NO_DATA)
            statement.Check(result, "Executing");
    }
}

void OdbcSandbox::CreateLibrary(const std::string& dataSource, const LibraryRows& rows)
{
    std::vector<std::string> statements = {
        "drop table if exists lib_zizhu",
        "drop table if exists lib_user",
        "drop table if exists ver_manage",
        "create table lib_zizhu (" + rows.zizhuColumns + ")",
        "create table lib_user (us_code char(6), us_pass char(6))",
    };
    if (rows.withVersionTable)
        statements.push_back("create table ver_manage (vm_mess varchar(60))");
    statements.insert(statements.end(), rows.inserts.begin(), rows.inserts.end());
    Execute(dataSource, UserFor(dataSource), PasswordFor(dataSource), statements);
}

std::string UserFor(const std::string& dataSource)
{
    return dataSource.starts_with("Pg") ? OdbcSandbox::kPgUser : "";
}

std::string PasswordFor(const std::string& dataSource)
{
    return dataSource.starts_with("Pg") ? OdbcSandbox::kPgPassword : "";
}
