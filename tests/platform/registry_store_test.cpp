// The registry file shared by the main program and its companions.
#include "platform/registry.h"

#include "sandbox.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using testing_support::Sandbox;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation");

QStringList leftoverTemporaries(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".registry.reg.*")}, QDir::Files | QDir::Hidden);
}

}  // namespace

TEST(RegistryStore, ValuesPersistForTheNextProcess)
{
    Sandbox box;
    {
        Registry reg(Registry::defaultFilePath());
        EXPECT_EQ(reg.filePath(), box.registryFile());
        ASSERT_TRUE(reg.createKey(kKey));
        ASSERT_TRUE(reg.setDword(kKey, QStringLiteral("g_szBmporjpg"), 2));
        ASSERT_TRUE(reg.setString(kKey, QStringLiteral("s_tool_active_unit"), QStringLiteral("µm")));
    }
    Registry again(box.registryFile());
    quint32 v = 0;
    QString unit;
    EXPECT_EQ(again.queryDword(kKey, QStringLiteral("g_szBmporjpg"), v), RegStatus::Ok);
    EXPECT_EQ(v, 2u);
    EXPECT_EQ(again.queryString(kKey, QStringLiteral("s_tool_active_unit"), 12, unit), RegStatus::Ok);
    EXPECT_EQ(unit, QStringLiteral("µm"));
    EXPECT_TRUE(leftoverTemporaries(QFileInfo(box.registryFile()).absolutePath()).isEmpty());
}

TEST(RegistryStore, DeleteTreeIsWrittenThrough)
{
    Sandbox box;
    Registry reg(box.registryFile());
    reg.setDword(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace\\Bars"), QStringLiteral("n"), 3);
    reg.setDword(QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation"), QStringLiteral("languagemainid"), 4);
    EXPECT_TRUE(reg.deleteTree(QStringLiteral("Software\\Vellumet")));
    EXPECT_TRUE(reg.deleteTree(QStringLiteral("Software\\Vellumet")));  // already gone is fine
    const RegistryTree t = Registry(box.registryFile()).snapshot();
    EXPECT_FALSE(t.keyExists(QStringLiteral("Software\\Vellumet")));
    EXPECT_TRUE(t.keyExists(QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation")));
}

TEST(RegistryStore, DamagedFileIsSetAsideReportedOnceAndDefaultsApply)
{
    Sandbox box;
    const QByteArray garbage("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\SOFTWARE\\Vel");
    testing_support::writeFile(box.registryFile(), garbage);
    Registry reg(box.registryFile());

    testing::internal::CaptureStderr();
    quint32 v = 7;
    EXPECT_EQ(reg.queryDword(kKey, QStringLiteral("g_szBmporjpg"), v), RegStatus::NotFound);
    EXPECT_TRUE(reg.setDword(kKey, QStringLiteral("g_szBmporjpg"), 2));
    testing_support::writeFile(box.registryFile(), garbage);  // damaged again: not reported twice
    EXPECT_EQ(reg.queryDword(kKey, QStringLiteral("g_szBmporjpg"), v), RegStatus::NotFound);
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(testing_support::readFile(box.registryFile() + QLatin1String(".bad")), garbage);
    const auto first = err.find("damaged");
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("damaged", first + 1), std::string::npos) << err;
}

TEST(RegistryStore, UnwritableStoreFailsAndKeepsTheFile)
{
    Sandbox box;
    // The configuration folder is taken by a plain file: nothing can be created there.
    testing_support::writeFile(box.config() + QLatin1String("/Vellumet"), "not a folder");
    Registry reg(Registry::defaultFilePath());
    EXPECT_FALSE(reg.createKey(kKey));
    EXPECT_FALSE(reg.setDword(kKey, QStringLiteral("x"), 1));
    quint32 v = 0;
    EXPECT_EQ(reg.queryDword(kKey, QStringLiteral("x"), v), RegStatus::NotFound);
    EXPECT_EQ(testing_support::readFile(box.config() + QLatin1String("/Vellumet")), QByteArray("not a folder"));
}

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNothing)
{
    Sandbox box;
    const QString path = box.registryFile();
    constexpr int kPerProcess = 150;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            Registry reg(path);
            bool ok = true;
            for (int i = 0; i < kPerProcess; ++i)
                ok = reg.setDword(kKey, QStringLiteral("p%1_%2").arg(c).arg(i), static_cast<quint32>(i)) && ok;
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const RegistryTree t = Registry(path).snapshot();
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < kPerProcess; ++i) {
            quint32 v = 9999;
            ASSERT_EQ(t.queryDword(kKey, QStringLiteral("p%1_%2").arg(c).arg(i), v), RegStatus::Ok) << c << " " << i;
            EXPECT_EQ(v, static_cast<quint32>(i));
        }
    }
    EXPECT_FALSE(QFileInfo::exists(path + QLatin1String(".bad")));
    EXPECT_TRUE(leftoverTemporaries(QFileInfo(path).absolutePath()).isEmpty());
}
