#include "Database.h"

#include "Cp936.h"

#include <QJsonArray>

#include <algorithm>
#include <vector>

namespace {

std::vector<TDatabase*>& OpenDatabases()
{
    static std::vector<TDatabase*> databases;
    return databases;
}

void Unregister(TDatabase* database)
{
    auto& databases = OpenDatabases();
    databases.erase(std::remove(databases.begin(), databases.end(), database), databases.end());
}

} // namespace

TDatabase* Sessions::FindDatabase(const std::string& sessionName, const std::string& databaseName)
{
    for (TDatabase* database : OpenDatabases()) {
        if (Cp936::EqualsIgnoringAsciiCase(database->SessionName, sessionName) &&
            Cp936::EqualsIgnoringAsciiCase(database->DatabaseName, databaseName))
            return database;
    }
    return nullptr;
}

TDatabase::TDatabase(TComponent* owner) : TComponent(owner) {}

TDatabase::~TDatabase()
{
    Unregister(this);
}

void TDatabase::SetConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (!connected) {
        Unregister(this);
        connection_.reset();
        return;
    }
    if (BeforeConnect)
        BeforeConnect(this);
    if (LoginPrompt)
        throw EDatabaseError("Database " + DatabaseName + ": a login prompt is not available");
    if (Sessions::FindDatabase(SessionName, DatabaseName) != nullptr)
        throw EDatabaseError("Duplicate database name '" + DatabaseName + "'");
    auto connection = std::make_shared<Odbc::Connection>();
    connection->Connect(AliasName, Params.Values("USER NAME"), Params.Values("PASSWORD"), LoginTimeout);
    connection_ = std::move(connection);
    OpenDatabases().push_back(this);
    if (AfterConnect)
        AfterConnect(this);
}

bool TDatabase::ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root)
{
    const auto text = [&] { return value.toString().toStdString(); };
    if (name == "AliasName")
        AliasName = text();
    else if (name == "DatabaseName")
        DatabaseName = text();
    else if (name == "SessionName")
        SessionName = text();
    else if (name == "LoginPrompt")
        LoginPrompt = value.toBool();
    else if (name == "Connected")
        streamedConnected_ = value.toBool();
    else if (name == "Params") {
        Params.Clear();
        for (const auto& line : value.toArray())
            Params.Add(line.toString().toStdString());
    } else
        return TComponent::ReadProperty(name, value, root);
    return true;
}

void TDatabase::Loaded()
{
    if (streamedConnected_)
        SetConnected(true);
}
