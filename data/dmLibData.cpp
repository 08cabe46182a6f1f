#include "dmLibData.h"

#include "ConnectionSettings.h"
#include "Cp936.h"
#include "frmFlash.h"
#include "unGlobal.h"

TLibDM* LibDM = nullptr;

namespace {

// Applies each text of the settings record to the connection the moment it arrives.
class ConnectionParameters : public ConnectionSettingsReceiver {
public:
    explicit ConnectionParameters(TDatabase& database) : database_(database) {}

    void OdbcName(const std::string& text) override
    {
        database_.AliasName = text;
        database_.Params.Clear();
    }
    void LoginId(const std::string& text) override { database_.Params.Add("USER NAME=" + text); }
    void Password(const std::string& text) override { database_.Params.Add("PASSWORD=" + text); }

private:
    TDatabase& database_;
};

} // namespace

TLibDM::TLibDM(TComponent* owner) : TDataModule(owner)
{
    ReadStoredComponents(*this, ":/layouts/dmLibData.json", [this] {
        LibDB = FindComponentOf<TDatabase>("LibDB");
        LibDB->BeforeConnect = [this](TObject* sender) { LibDBBeforeConnect(sender); };
        LibDB->AfterConnect = [this](TObject* sender) { LibDBAfterConnect(sender); };
    });
}

void TLibDM::LibDBBeforeConnect(TObject*)
{
    ConnectionParameters parameters(*LibDB);
    ReadConnectionSettings(parameters);
    ConnectStatus = ConnectingMessage();
    Flash = Adopt(std::make_unique<TFlash>(this));
    Flash->SetReference(Flash);
    Flash->Show();
    Flash->Refresh();
}

void TLibDM::LibDBAfterConnect(TObject*)
{
    DestroyComponent(Flash);
    ConnectStatus = "OK";
}
