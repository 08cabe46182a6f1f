#include "Exceptions.h"
#include "HiveFileRegistry.h"
#include "TestSupport.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace {

const std::string kHive = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Key]\r\n\"Text\"=\"value\"\r\n"
                          "\"Binary\"=hex:01,02\r\n\"Empty\"=hex:\r\n\r\n";

// An accessor on HKEY_LOCAL_MACHINE.
std::unique_ptr<TRegistry> MachineAccessor()
{
    auto registry = std::make_unique<TRegistry>();
    registry->RootKey = RegistryRoot::LocalMachine;
    return registry;
}

} // namespace

class TestHiveFileRegistry : public QObject {
    Q_OBJECT

    std::unique_ptr<HiveFixture> hive;

private slots:
    void init() { hive = std::make_unique<HiveFixture>(); }
    void cleanup() { hive.reset(); }

    void keyExistsLeavesTheCurrentKeyAlone()
    {
        hive->Write(kHive);
        auto registry = MachineAccessor();
        QVERIFY(registry->OpenKeyReadOnly("SOFTWARE\\Maker"));
        QVERIFY(registry->KeyExists("Key"));                    // relative to the current key
        QVERIFY(registry->KeyExists("\\software\\maker\\key")); // absolute, any case
        QVERIFY(!registry->KeyExists("SOFTWARE\\Maker\\Key"));  // would be Maker\SOFTWARE\...
        QCOMPARE(registry->CurrentPath(), std::string("SOFTWARE\\Maker"));
        QCOMPARE(registry->Access, std::uint32_t{KEY_READ});
    }

    void readsStringsAsTheAccessorDefines()
    {
        hive->Write(kHive);
        auto registry = MachineAccessor();
        QCOMPARE(registry->ReadString("Text"), std::string()); // no key open
        QVERIFY(registry->OpenKeyReadOnly("SOFTWARE\\Maker\\Key"));
        QCOMPARE(registry->ReadString("text"), std::string("value"));
        QCOMPARE(registry->ReadString("Missing"), std::string());
        QCOMPARE(registry->ReadString("Empty"), std::string()); // no data: no type check
        QVERIFY_THROWS_EXCEPTION(ERegistryException, registry->ReadString("Binary"));
    }

    void otherRootsAreNotInTheHive()
    {
        hive->Write(kHive);
        TRegistry registry; // HKEY_CURRENT_USER by default
        QVERIFY(!registry.KeyExists("SOFTWARE\\Maker\\Key"));
        QVERIFY_THROWS_EXCEPTION(ERegistryException, registry.CreateKey("SOFTWARE\\X"));
    }

    void writeWithoutAnOpenKeyFails()
    {
        auto registry = MachineAccessor();
        try {
            registry->WriteString("Name", "v");
            QFAIL("no error raised");
        } catch (const ERegistryException& error) {
            QCOMPARE(error.Message(), std::string("Failed to set data for 'Name'"));
        }
    }

    void createsTheFileAndItsFolder()
    {
        const auto path = hive->Folder() + "/etc/torvanel/HKEY_LOCAL_MACHINE.reg";
        SetMachineHiveFile(path);
        auto registry = MachineAccessor();
        QVERIFY(registry->OpenKey("SOFTWARE\\New", true));
        registry->WriteString("V", "x");
        const auto root = HiveFileRegistry(path).Load();
        QVERIFY(root.has_value());
        QCOMPARE(FindKey(*root, "SOFTWARE\\New")->FindValue("V")->data, std::string("x") + '\0');
    }

    void saveKeepsModeAndLeavesNoTemporaryFiles()
    {
        hive->Write(kHive);
        ::chmod(hive->Path().c_str(), 0640);
        auto registry = MachineAccessor();
        QVERIFY(registry->OpenKey("SOFTWARE\\Maker\\Key", false));
        registry->WriteString("Text", "changed");
        struct stat info {};
        QCOMPARE(::stat(hive->Path().c_str(), &info), 0);
        QCOMPARE(info.st_mode & 07777, 0640u);
        const auto entries = QDir(QString::fromStdString(hive->Folder())).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(entries, (QStringList{"HKEY_LOCAL_MACHINE.reg", "HKEY_LOCAL_MACHINE.reg.lock"}));
    }

    void concurrentSavesLoseNothing()
    {
        hive->Write(kHive);
        constexpr int kWriters = 3;
        constexpr int kValuesEach = 25;
        std::vector<pid_t> children;
        for (int writer = 0; writer < kWriters; ++writer) {
            const pid_t child = ::fork();
            if (child == 0) {
                auto registry = MachineAccessor();
                if (!registry->OpenKey("SOFTWARE\\Maker\\Key", false))
                    ::_exit(1);
                for (int i = 0; i < kValuesEach; ++i)
                    registry->WriteString("w" + std::to_string(writer) + "_" + std::to_string(i), "x");
                ::_exit(0);
            }
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const auto root = HiveFileRegistry(hive->Path()).Load();
        QVERIFY(root.has_value());
        const auto* key = FindKey(*root, "SOFTWARE\\Maker\\Key");
        QCOMPARE(key->values.size(), std::size_t{3 + kWriters * kValuesEach});
    }

    void accessFollowsTheFileSystem()
    {
        hive->Write(kHive);
        ::chmod(hive->Path().c_str(), 0644);
        // Exit code bits: 1 read-only open worked, 2 full-access open refused, 4 creating refused.
        const int result = RunUnprivileged([] {
            auto registry = MachineAccessor();
            int bits = 0;
            if (registry->OpenKeyReadOnly("SOFTWARE\\Maker\\Key") && registry->ReadString("Text") == "value")
                bits |= 1;
            if (!registry->OpenKey("SOFTWARE\\Maker\\Key", false) && !registry->OpenKey("SOFTWARE\\Maker\\Key", true))
                bits |= 2;
            try {
                registry->CreateKey("SOFTWARE\\Other");
            } catch (const ERegistryException& error) {
                if (error.Message() == "Failed to create key SOFTWARE\\Other")
                    bits |= 4;
            }
            return bits;
        });
        QCOMPARE(result, 7);
        QCOMPARE(hive->Read(), kHive);
    }
};

QObject* NewTestHiveFileRegistry()
{
    return new TestHiveFileRegistry;
}

#include "TestHiveFileRegistry.moc"
