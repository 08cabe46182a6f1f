#include "RegEdit4.h"

#include <QTest>

namespace {

// One line per value, "path|name|type|hex data", depth first.
void Describe(const HiveKey& key, const QByteArray& path, QByteArrayList& lines)
{
    if (key.values.empty() && key.subkeys.empty())
        lines << path + "|";
    for (const auto& [name, value] : key.values)
        lines << path + "|" + QByteArray::fromStdString(name) + "|" + QByteArray::number(value.type) + "|" +
                     QByteArray::fromStdString(value.data).toHex();
    for (const auto& subkey : key.subkeys)
        Describe(subkey, path + "\\" + QByteArray::fromStdString(subkey.name), lines);
}

QByteArray Describe(const HiveKey& root)
{
    QByteArrayList lines;
    for (const auto& [name, value] : root.values)
        lines << "|" + QByteArray::fromStdString(name) + "|" + QByteArray::number(value.type) + "|" +
                     QByteArray::fromStdString(value.data).toHex();
    for (const auto& subkey : root.subkeys)
        Describe(subkey, QByteArray::fromStdString(subkey.name), lines);
    return lines.join('\n');
}

HiveKey Parse(const QByteArray& text)
{
    return ParseRegEdit4(text.toStdString(), "HKEY_LOCAL_MACHINE");
}

} // namespace

class TestRegEdit4 : public QObject {
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("tree");
        QTest::newRow("string, dword, binary, expand")
            << QByteArray("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n\"S\"=\"x\\\\y\\\"z\"\n\"D\"=dword:"
                          "0000002a\n"
                          "\"B\"=hex:01,ff\n\"E\"=hex(2):25,00\n@=\"default\"\n")
            << QByteArray("SOFTWARE\\A|S|1|785c79227a00\nSOFTWARE\\A|D|4|2a000000\nSOFTWARE\\A|B|3|01ff\n"
                          "SOFTWARE\\A|E|2|2500\nSOFTWARE\\A||1|64656661756c7400");
        QTest::newRow("CRLF line ends read the same")
            << QByteArray("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"v\"\r\n\r\n") << QByteArray("K|S|1|7600");
        QTest::newRow("hex list continued after a backslash")
            << QByteArray("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"B\"=hex:01,02,\\\r\n  03,04\r\n")
            << QByteArray("K|B|3|01020304");
        QTest::newRow("comments and blank lines skipped")
            << QByteArray("\nREGEDIT4\n; a comment\n[HKEY_LOCAL_MACHINE\\K]\n\n; another\n\"S\"=\"v\"\n")
            << QByteArray("K|S|1|7600");
        QTest::newRow("sections match keys without regard to case, first spelling kept")
            << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Soft\\Key]\n\"a\"=\"1\"\n[hkey_local_machine\\SOFT\\key]\n"
                          "\"A\"=\"2\"\n\"b\"=\"3\"\n")
            << QByteArray("Soft\\Key|a|1|3200\nSoft\\Key|b|1|3300");
        QTest::newRow("second byte 0x5C is no separator or escape")
            << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\\x81\x5C\\K]\n\"\x81\x5C\"=\"\x81\x5C\"\n")
            << QByteArray("\x81\x5C\\K|\x81\x5C|1|815c00");
        QTest::newRow("double-byte second bytes differing in case are different names")
            << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"\x81\x41\"=\"1\"\n\"\x81\x61\"=\"2\"\n")
            << QByteArray("K|\x81\x41|1|3100\nK|\x81\x61|1|3200");
    }
    void parses()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, tree);
        QCOMPARE(Describe(Parse(text)), tree);
    }

    void rejects_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("another header") << QByteArray("Windows Registry Editor Version 5.00\r\n");
        QTest::newRow("value before any key") << QByteArray("REGEDIT4\n\"S\"=\"v\"\n");
        QTest::newRow("unterminated text") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"v\n");
        QTest::newRow("key of another hive") << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n");
        QTest::newRow("key deletion") << QByteArray("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\K]\n");
        QTest::newRow("value deletion") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=-\n");
        QTest::newRow("bad dword") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"D\"=dword:zz\n");
        QTest::newRow("empty key name") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n");
        QTest::newRow("text after a value") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"v\" x\n");
    }
    void rejects()
    {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(RegEdit4Error, Parse(text));
    }

    void valuesRoundTripByteForByte_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain text") << uint(REG_SZ) << QByteArray("LibODBC", 8) << QByteArray("\"V\"=\"LibODBC\"");
        QTest::newRow("empty text") << uint(REG_SZ) << QByteArray(1, '\0') << QByteArray("\"V\"=\"\"");
        QTest::newRow("escapes") << uint(REG_SZ) << QByteArray("a\\\"b", 5) << QByteArray("\"V\"=\"a\\\\\\\"b\"");
        QTest::newRow("Chinese text") << uint(REG_SZ) << QByteArray("\xD6\xD0\x81\x5C", 5)
                                      << QByteArray("\"V\"=\"\xD6\xD0\x81\x5C\"");
        QTest::newRow("control byte") << uint(REG_SZ) << QByteArray("a\r\n", 4)
                                      << QByteArray("\"V\"=hex(1):61,0d,0a,00");
        QTest::newRow("no terminating zero") << uint(REG_SZ) << QByteArray("ab") << QByteArray("\"V\"=hex(1):61,62");
        QTest::newRow("inner zero") << uint(REG_SZ) << QByteArray("a\0b", 4) << QByteArray("\"V\"=hex(1):61,00,62,00");
        QTest::newRow("lone first byte") << uint(REG_SZ) << QByteArray("a\x81", 3)
                                         << QByteArray("\"V\"=hex(1):61,81,00");
        QTest::newRow("dword") << uint(REG_DWORD) << QByteArray("\x2a\0\0\0", 4) << QByteArray("\"V\"=dword:0000002a");
        QTest::newRow("short dword") << uint(REG_DWORD) << QByteArray("\x2a", 1) << QByteArray("\"V\"=hex(4):2a");
        QTest::newRow("binary") << uint(REG_BINARY) << QByteArray("\x00\xff", 2) << QByteArray("\"V\"=hex:00,ff");
        QTest::newRow("other type") << uint(0xb) << QByteArray("\x01", 1) << QByteArray("\"V\"=hex(b):01");
    }
    void valuesRoundTripByteForByte()
    {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, written);
        HiveKey root{"HKEY_LOCAL_MACHINE", {}, {}};
        CreateKeyPath(root, "SOFTWARE\\K")->SetValue("V", RegistryValue{type, data.toStdString()});
        const auto text = WriteRegEdit4(root);
        QVERIFY2(text.find("\r\n" + written.toStdString() + "\r\n") != std::string::npos, text.c_str());
        const auto* value = FindKey(ParseRegEdit4(text, "HKEY_LOCAL_MACHINE"), "software\\k")->FindValue("v");
        QVERIFY(value != nullptr);
        QCOMPARE(value->type, type);
        QCOMPARE(QByteArray::fromStdString(value->data), data);
    }

    void longHexListsWrapWithinEightyColumns()
    {
        HiveKey root{"HKEY_LOCAL_MACHINE", {}, {}};
        const std::string data(200, '\x5a');
        CreateKeyPath(root, "K")->SetValue("Long", RegistryValue{REG_BINARY, data});
        const auto text = WriteRegEdit4(root);
        for (const auto& line : QByteArray::fromStdString(text).split('\n'))
            QVERIFY2(line.size() <= 81, line.constData());
        QCOMPARE(FindKey(ParseRegEdit4(text, "HKEY_LOCAL_MACHINE"), "K")->FindValue("Long")->data, data);
    }

    void writesEveryKeyInItsOwnSection()
    {
        HiveKey root{"HKEY_LOCAL_MACHINE", {}, {}};
        CreateKeyPath(root, "SOFTWARE\\Torvanel\\Lib")
            ->SetValue("ODBCNAME", RegistryValue{REG_SZ, std::string("L\0", 2)});
        QCOMPARE(QByteArray::fromStdString(WriteRegEdit4(root)),
                 QByteArray("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel]\r\n\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Torvanel\\Lib]\r\n\"ODBCNAME\"=\"L\"\r\n\r\n"));
    }
};

QObject* NewTestRegEdit4()
{
    return new TestRegEdit4;
}

#include "TestRegEdit4.moc"
