#pragma once

#include "Component.h"
#include "Odbc.h"
#include "Strings.h"

#include <functional>
#include <memory>
#include <string>

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A connection to an ODBC data source, registered under its database name in its session while open.
class TDatabase : public TComponent {
public:
    explicit TDatabase(TComponent* owner);
    ~TDatabase() override;

    std::string AliasName; // the ODBC data source name
    std::string DatabaseName;
    std::string SessionName = "Default";
    TStrings Params;         // "USER NAME=..." and "PASSWORD=..." are the login
    bool LoginPrompt = true; // no login dialog exists here; a database that asks for one fails to open
    // A server that accepts the connection and never answers must not hold the program for ever.
    unsigned LoginTimeout = 30;

    TNotifyEvent BeforeConnect;
    TNotifyEvent AfterConnect;

    bool Connected() const { return connection_ != nullptr; }
    // Opening runs BeforeConnect, the engine's open and AfterConnect, in that order; an error in
    // either of the first two stops it.
    void SetConnected(bool connected);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    std::shared_ptr<Odbc::Connection> Connection() const { return connection_; }

    bool ReadProperty(const std::string& name, const QJsonValue& value, TComponent& root) override;
    // A stored Connected opens the connection only now, once the whole layout has been read.
    void Loaded() override;

private:
    std::shared_ptr<Odbc::Connection> connection_;
    bool streamedConnected_ = false;
};

// The open databases of a session by their database names. There is one session, "Default".
namespace Sessions {
TDatabase* FindDatabase(const std::string& sessionName, const std::string& databaseName);
} // namespace Sessions
