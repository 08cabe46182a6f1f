#include "Database.h"
#include "OdbcSandbox.h"

#include <QTest>

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { OdbcSandbox::Instance(); }

    void opensBetweenItsEvents()
    {
        TDatabase database(nullptr);
        database.AliasName = "LibODBC";
        database.DatabaseName = "Probe";
        database.LoginPrompt = false;
        std::vector<std::string> order;
        database.BeforeConnect = [&](TObject*) { order.push_back(database.Connected() ? "before, open" : "before"); };
        database.AfterConnect = [&](TObject*) { order.push_back(database.Connected() ? "after, open" : "after"); };
        database.Open();
        QCOMPARE(order, (std::vector<std::string>{"before", "after, open"}));
        QCOMPARE(Sessions::FindDatabase("Default", "probe"), &database);
        database.Close();
        QCOMPARE(Sessions::FindDatabase("Default", "Probe"), nullptr);
    }

    void failedOpenSkipsAfterConnect()
    {
        TDatabase database(nullptr);
        database.AliasName = "NoSuchSource";
        database.LoginPrompt = false;
        bool after = false;
        database.AfterConnect = [&](TObject*) { after = true; };
        try {
            database.Open();
            QFAIL("no error raised");
        } catch (const EDatabaseError& error) {
            QCOMPARE(error.SqlState(), std::string("IM002"));
            QVERIFY(error.Message().find("Data source name not found") != std::string::npos);
        }
        QVERIFY(!after);
        QVERIFY(!database.Connected());
    }

    // A server that accepts the connection and never answers ends in an error, not a hang.
    void silentServerEndsInTheLoginTimeout()
    {
        TDatabase database(nullptr);
        database.AliasName = "PgSilent";
        database.LoginPrompt = false;
        database.LoginTimeout = 1;
        database.Params.Add("USER NAME=kiosk");
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, database.Open());
        QVERIFY(!database.Connected());
    }
};

QObject* NewTestDatabase()
{
    return new TestDatabase;
}

#include "TestDatabase.moc"
