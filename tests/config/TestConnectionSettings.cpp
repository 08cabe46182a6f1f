#include "ConnectionSettings.h"
#include "Exceptions.h"
#include "HiveFileRegistry.h"
#include "TestSupport.h"

#include <QTest>

#include <sys/stat.h>

#include <memory>
#include <vector>

namespace {

const std::string kHeader = "REGEDIT4\r\n\r\n";
const std::string kMakerSection = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel]\r\n";
const std::string kRecordSection = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel\\Lib]\r\n";

// Remembers what arrived, in order, as "kind=text".
class RecordingReceiver : public ConnectionSettingsReceiver {
public:
    std::vector<std::string> received;

    void OdbcName(const std::string& text) override { received.push_back("odbc=" + text); }
    void LoginId(const std::string& text) override { received.push_back("user=" + text); }
    void Password(const std::string& text) override { received.push_back("pass=" + text); }
};

QStringList Texts(const std::vector<std::string>& received)
{
    QStringList texts;
    for (const auto& text : received)
        texts << QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return texts;
}

std::string RecordValue(const HiveFixture& hive, const std::string& name)
{
    const auto root = HiveFileRegistry(hive.Path()).Load();
    if (!root)
        return "<no hive>";
    const auto* key = FindKey(*root, "SOFTWARE\\Torvanel\\Lib");
    const auto* value = key ? key->FindValue(name) : nullptr;
    if (value == nullptr)
        return "<missing>";
    return std::to_string(value->type) + ":" + value->data;
}

} // namespace

class TestConnectionSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<HiveFixture> hive;

private slots:
    void init() { hive = std::make_unique<HiveFixture>(); }
    void cleanup() { hive.reset(); }

    void noRecordKeyHandsOverNothing()
    {
        hive->Write(kHeader + kMakerSection + "\r\n");
        RecordingReceiver receiver;
        QVERIFY(!ReadConnectionSettings(receiver));
        QVERIFY(receiver.received.empty());
    }

    void noHiveFileIsNoRecord()
    {
        RecordingReceiver receiver;
        QVERIFY(!ReadConnectionSettings(receiver));
        QVERIFY(receiver.received.empty());
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("record without values") << QByteArray("") << QStringList{"odbc=", "user=", "pass="};
        QTest::newRow("sound record") << QByteArray("\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=\"340334043407\"\r\n"
                                                    "\"PASSWORD\"=\"2512\"\r\n")
                                      << QStringList{"odbc=LibODBC", "user=abc", "pass=a"};
        QTest::newRow("names match without regard to case")
            << QByteArray("\"odbcName\"=\"X\"\r\n\"username\"=\"3403\"\r\n")
            << QStringList{"odbc=X", "user=a", "pass="};
        QTest::newRow("one value missing") << QByteArray("\"ODBCNAME\"=\"LibODBC\"\r\n\"PASSWORD\"=\"3403\"\r\n")
                                           << QStringList{"odbc=LibODBC", "user=", "pass=a"};
        // " LibODBC\r\n", " 3403\t" and "\r\n3403 ": blanks and line breaks around each value.
        QTest::newRow("blanks and line breaks trimmed before decoding")
            << QByteArray("\"ODBCNAME\"=hex(1):20,4c,69,62,4f,44,42,43,0d,0a,00\r\n"
                          "\"USERNAME\"=hex(1):20,33,34,30,33,09,00\r\n"
                          "\"PASSWORD\"=hex(1):0d,0a,33,34,30,33,20,00\r\n")
            << QStringList{"odbc=LibODBC", "user=a", "pass=a"};
        QTest::newRow("trimmed code of three characters decodes to empty")
            << QByteArray("\"USERNAME\"=\"340 \"\r\n") << QStringList{"odbc=", "user=", "pass="};
        QTest::newRow("REG_EXPAND_SZ taken unexpanded") << QByteArray("\"ODBCNAME\"=hex(2):25,48,4f,4d,45,25,00\r\n")
                                                        << QStringList{"odbc=%HOME%", "user=", "pass="};
        QTest::newRow("text ends at the first zero byte")
            << QByteArray("\"ODBCNAME\"=hex(1):41,00,42,00\r\n") << QStringList{"odbc=A", "user=", "pass="};
        QTest::newRow("value without data reads empty, whatever its type")
            << QByteArray("\"ODBCNAME\"=hex:\r\n\"USERNAME\"=hex(4):\r\n") << QStringList{"odbc=", "user=", "pass="};
    }
    void reads()
    {
        QFETCH(QByteArray, values);
        QFETCH(QStringList, expected);
        hive->Write(kHeader + kRecordSection + values.toStdString() + "\r\n");
        RecordingReceiver receiver;
        QVERIFY(ReadConnectionSettings(receiver));
        QCOMPARE(Texts(receiver.received), expected);
    }

    void readErrorsStopWithEarlierTextsDelivered_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QStringList>("delivered");
        QTest::addColumn<QString>("message");
        QTest::newRow("USERNAME as a number")
            << QByteArray("\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=dword:0000002a\r\n\"PASSWORD\"=\"3403\"\r\n")
            << QStringList{"odbc=LibODBC"} << "Invalid data type for 'USERNAME'";
        QTest::newRow("ODBCNAME as a number")
            << QByteArray("\"ODBCNAME\"=dword:00000001\r\n") << QStringList{} << "Invalid data type for 'ODBCNAME'";
        QTest::newRow("PASSWORD that does not decode")
            << QByteArray("\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=\"3403\"\r\n\"PASSWORD\"=\"34a3\"\r\n")
            << QStringList{"odbc=LibODBC", "user=a"} << "'a' is not a valid integer value";
    }
    void readErrorsStopWithEarlierTextsDelivered()
    {
        QFETCH(QByteArray, values);
        QFETCH(QStringList, delivered);
        QFETCH(QString, message);
        hive->Write(kHeader + kRecordSection + values.toStdString() + "\r\n");
        RecordingReceiver receiver;
        try {
            ReadConnectionSettings(receiver);
            QFAIL("no error raised");
        } catch (const Exception& error) {
            QCOMPARE(QString::fromStdString(error.Message()), message);
        }
        QCOMPARE(Texts(receiver.received), delivered);
    }

    void writesTrimmedAndEncodedValues()
    {
        QVERIFY(WriteConnectionSettings("  LibODBC\t", " a ", ""));
        QCOMPARE(RecordValue(*hive, "ODBCNAME"), std::string("1:LibODBC") + '\0');
        QCOMPARE(RecordValue(*hive, "USERNAME"), std::string("1:3403") + '\0');
        // An empty password is a REG_SZ whose data is a single zero byte.
        QCOMPARE(RecordValue(*hive, "PASSWORD"), std::string("1:") + '\0');
        const auto text = hive->Read();
        QVERIFY(text.starts_with("REGEDIT4\r\n"));
        QVERIFY(text.find(kMakerSection) != std::string::npos);
        QVERIFY(text.find(kRecordSection + "\"ODBCNAME\"=\"LibODBC\"\r\n\"USERNAME\"=\"3403\"\r\n"
                                           "\"PASSWORD\"=\"\"\r\n") != std::string::npos);
    }

    void chineseTextRoundTrips()
    {
        const std::string odbcName = "\xCD\xBC\xCA\xE9\xB9\xDD"; // 图书馆
        const std::string loginId = "\xD6\xD0\x5C";              // 中 and a backslash
        const std::string password = "\x81\x5C\x22";             // a second byte 0x5C, then a quote
        QVERIFY(WriteConnectionSettings(odbcName, loginId, password));
        QVERIFY(hive->Read().find("\"ODBCNAME\"=\"" + odbcName + "\"") != std::string::npos);
        RecordingReceiver receiver;
        QVERIFY(ReadConnectionSettings(receiver));
        QCOMPARE(receiver.received,
                 (std::vector<std::string>{"odbc=" + odbcName, "user=" + loginId, "pass=" + password}));
    }

    void saveKeepsWhatOthersStore()
    {
        const std::string others = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"Kept\"=dword:00000007\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel\\Lib]\r\n\"EXTRA\"=\"stays\"\r\n"
                                   "\"ODBCNAME\"=\"old\"\r\n\r\n";
        hive->Write(kHeader + others);
        QVERIFY(WriteConnectionSettings("new", "", ""));
        const auto root = HiveFileRegistry(hive->Path()).Load();
        QVERIFY(root.has_value());
        QCOMPARE(FindKey(*root, "SOFTWARE\\Other")->FindValue("Kept")->data, std::string("\x07\0\0\0", 4));
        QCOMPARE(FindKey(*root, "SOFTWARE\\Torvanel\\Lib")->FindValue("EXTRA")->data, std::string("stays") + '\0');
        QCOMPARE(RecordValue(*hive, "ODBCNAME"), std::string("1:new") + '\0');
    }

    void damagedFileIsLeftUntouched()
    {
        const std::string damaged = kHeader + kRecordSection + "\"ODBCNAME\"=\"unterminated\r\n";
        hive->Write(damaged);
        RecordingReceiver receiver;
        QVERIFY(!ReadConnectionSettings(receiver));
        try {
            WriteConnectionSettings("a", "b", "c");
            QFAIL("no error raised");
        } catch (const ERegistryException& error) {
            QCOMPARE(error.Message(), std::string("Failed to create key SOFTWARE\\Torvanel"));
        }
        QCOMPARE(hive->Read(), damaged);
    }

    void unprivilegedWriteIsRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expected");
        // Exit codes of the child: 1 returned false, 2 raised for the maker key, 3 stored.
        QTest::newRow("both keys exist") << QByteArray::fromStdString(kHeader + kRecordSection +
                                                                      "\"ODBCNAME\"=\"x\"\r\n\r\n")
                                         << 1;
        QTest::newRow("maker key missing")
            << QByteArray::fromStdString(kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n") << 2;
    }
    void unprivilegedWriteIsRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, expected);
        hive->Write(content.toStdString());
        const int result = RunUnprivileged([] {
            try {
                return WriteConnectionSettings("y", "user", "secret") ? 3 : 1;
            } catch (const ERegistryException& error) {
                return error.Message() == "Failed to create key SOFTWARE\\Torvanel" ? 2 : 4;
            }
        });
        QCOMPARE(result, expected);
        QCOMPARE(hive->Read(), content.toStdString());
    }

    void unprivilegedReadWorks()
    {
        hive->Write(kHeader + kRecordSection + "\"ODBCNAME\"=\"x\"\r\n\"USERNAME\"=\"3403\"\r\n\r\n");
        const int result = RunUnprivileged([] {
            RecordingReceiver receiver;
            const bool found = ReadConnectionSettings(receiver);
            return found && receiver.received == std::vector<std::string>{"odbc=x", "user=a", "pass="} ? 0 : 1;
        });
        QCOMPARE(result, 0);
    }

    void unreadableFileReadsAsNoRecord()
    {
        hive->Write(kHeader + kRecordSection + "\"ODBCNAME\"=\"x\"\r\n\r\n");
        ::chmod(hive->Path().c_str(), 0600);
        const int result = RunUnprivileged([] {
            RecordingReceiver receiver;
            return !ReadConnectionSettings(receiver) && receiver.received.empty() ? 0 : 1;
        });
        QCOMPARE(result, 0);
    }
};

QObject* NewTestConnectionSettings()
{
    return new TestConnectionSettings;
}

#include "TestConnectionSettings.moc"
