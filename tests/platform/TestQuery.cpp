#include "Cp936.h"
#include "DataSet.h"
#include "LibraryDatabase.h"

#include <QTest>

#include <memory>

namespace {

// A query owning the persistent fields zz_user and zz_ip, like the viewer's list.
struct KioskQuery {
    TComponent owner{nullptr};
    TQuery* query;

    explicit KioskQuery(const std::string& sql) : query(owner.Adopt(std::make_unique<TQuery>(&owner)))
    {
        query->Name = "qrList";
        query->DatabaseName = "LibDB";
        query->SQL.Add(sql);
        for (const char* fieldName : {"zz_user", "zz_ip"}) {
            auto* field = owner.Adopt(std::make_unique<TStringField>(&owner));
            field->FieldName = fieldName;
            field->FixedChar = true;
            field->SetDataSet(query);
        }
    }
};

std::string RightTrimmed(const std::optional<std::string>& value)
{
    if (!value)
        return "<null>";
    return value->substr(0, value->find_last_not_of(' ') + 1);
}

} // namespace

class TestQuery : public QObject {
    Q_OBJECT

private slots:
    void readsEveryRowWhole_data()
    {
        QTest::addColumn<QString>("dataSource");
        AddDriverRows("rows", [](QTestData&) {});
    }
    void readsEveryRowWhole()
    {
        QFETCH(QString, dataSource);
        const std::string chinese = "\xCD\xBC\xCA\xE9\xB9\xDD"; // 图书馆 in code page 936
        std::vector<std::string> inserts;
        for (int i = 0; i < 150; ++i) // more rows than one block holds
            inserts.push_back("insert into lib_zizhu values ('T" + std::to_string(1000 + i) + "', '10.0.0." +
                              std::to_string(i) + "')");
        inserts.push_back("insert into lib_zizhu values ('NULLIP', null)");
        inserts.push_back("insert into lib_zizhu values ('CHN', '" + Cp936::ToUtf8(chinese) + "')");
        OdbcSandbox::CreateLibrary(dataSource.toStdString(), {inserts});
        LibraryDatabase database(dataSource.toStdString());
        KioskQuery list("select zz_user, zz_ip from lib_zizhu order by zz_user");
        list.query->Open();
        const auto& records = list.query->Records();
        QCOMPARE(records.size(), std::size_t{152});
        QCOMPARE(RightTrimmed(records[0][0]), std::string("CHN"));
        QCOMPARE(RightTrimmed(records[0][1]), chinese);
        QCOMPARE(RightTrimmed(records[1][1]), std::string("<null>"));
        QCOMPARE(RightTrimmed(records[151][1]), std::string("10.0.0.149"));
    }

    // SQLite keeps whatever it is given, whatever width a column declares.
    void valuesLongerThanTheDeclaredWidthAreNotCut()
    {
        const std::string longIp(300, '9');
        OdbcSandbox::CreateLibrary("LibODBC", {{"insert into lib_zizhu values ('LONG', '" + longIp + "')",
                                                "insert into lib_zizhu values ('SHORT', '1')"}});
        LibraryDatabase database("LibODBC");
        KioskQuery list("select zz_user, zz_ip from lib_zizhu order by zz_user");
        list.query->Open();
        QCOMPARE(list.query->Records().at(0).at(1), std::optional<std::string>(longIp));
        QCOMPARE(list.query->Records().at(1).at(1), std::optional<std::string>("1"));
    }

    void fieldErrors_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        AddDriverRows("missing column", [](QTestData& row) {
            row << "zz_user char(6), zz_ip char(24)"
                << "select zz_user from lib_zizhu"
                << "qrList: Field 'zz_ip' not found";
        });
        AddDriverRows("integer column", [](QTestData& row) {
            row << "zz_user char(6), zz_ip integer"
                << "select zz_user, zz_ip from lib_zizhu"
                << "qrList: Type mismatch for field 'zz_ip', expecting: String actual: Integer";
        });
    }
    void fieldErrors()
    {
        QFETCH(QString, dataSource);
        QFETCH(QString, columns);
        QFETCH(QString, sql);
        QFETCH(QString, message);
        OdbcSandbox::CreateLibrary(dataSource.toStdString(), {{}, true, columns.toStdString()});
        LibraryDatabase database(dataSource.toStdString());
        KioskQuery list(sql.toStdString());
        try {
            list.query->Open();
            QFAIL("no error raised");
        } catch (const EDatabaseError& error) {
            QCOMPARE(QString::fromStdString(error.Message()), message);
        }
        QVERIFY(!list.query->Active());
    }

    // Once read, the result holds nothing on the server: a change that needs the table to itself
    // goes through while the data set is still open.
    void openResultHoldsNoLock()
    {
        if (!OdbcSandbox::Instance().HasPostgres())
            QSKIP("no PostgreSQL cluster: run the tests through CTest");
        OdbcSandbox::CreateLibrary("PgLib", {{"insert into lib_zizhu values ('A', '1')"}});
        LibraryDatabase database("PgLib");
        KioskQuery list("select zz_user, zz_ip from lib_zizhu");
        list.query->Open();
        OdbcSandbox::Execute("PgLib", OdbcSandbox::kPgUser, OdbcSandbox::kPgPassword,
                             {"set lock_timeout = '2s'", "alter table lib_zizhu add column extra integer"});
        QVERIFY(list.query->Active());
    }
};

QObject* NewTestQuery()
{
    return new TestQuery;
}

#include "TestQuery.moc"
