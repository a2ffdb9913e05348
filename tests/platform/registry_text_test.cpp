// The registry file's text form and the in-memory tree behind it.
#include "platform/reg_text_format.h"
#include "platform/registry_tree.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Vellumet\\Vellumet\\Configation");

RegistryTree sampleTree()
{
    RegistryTree t;
    t.setValue(kKey, RegValue::ofDword(QStringLiteral("g_szBmporjpgDPI"), 96));
    t.setValue(kKey, RegValue::ofString(QStringLiteral("s_tool_active_unit"), QStringLiteral("µm")));
    t.setValue(kKey, RegValue::ofString(QStringLiteral("odd"), QStringLiteral("a \"quoted\" C:\\path\nnext\tline")));
    t.setValue(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace"),
               RegValue::ofBinary(QStringLiteral("State"), QByteArray("\x00\x01\xff\x7f", 4)));
    t.setValue(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace"), RegValue::ofBinary(QStringLiteral("Empty"), {}));
    t.setValue(kKey, RegValue::ofDword(QStringLiteral("max"), 0xFFFFFFFFu));
    return t;
}

}  // namespace

TEST(RegistryText, EveryValueTypeSurvivesARoundTrip)
{
    const RegistryTree tree = sampleTree();
    const RegParseResult parsed = parseRegText(serializeRegText(tree));
    ASSERT_TRUE(parsed.tree.has_value()) << parsed.error.toStdString();
    EXPECT_TRUE(*parsed.tree == tree);
}

TEST(RegistryText, WritesTheFamiliarExportForm)
{
    RegistryTree t;
    t.setValue(kKey, RegValue::ofDword(QStringLiteral("g_szBmporjpgDPI"), 96));
    t.setValue(kKey, RegValue::ofString(QStringLiteral("m_zoon_ratio_x"), QStringLiteral("1.0")));
    EXPECT_EQ(serializeRegText(t).toStdString(),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Vellumet\\Vellumet\\Configation]\n"
              "\"g_szBmporjpgDPI\"=dword:00000060\n"
              "\"m_zoon_ratio_x\"=\"1.0\"\n");
}

TEST(RegistryText, ReadsExportsFromOtherToolsWithCommentsCrLfAndWrappedHex)
{
    const QByteArray text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "; exported by hand\r\n"
        "[HKEY_CURRENT_USER\\Software\\Vellumet\\Vellumet\\Workspace]\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03,04\r\n";
    // (the wrapped form regedit writes for long binary values)
    const RegParseResult parsed = parseRegText(text);
    ASSERT_TRUE(parsed.tree.has_value()) << parsed.error.toStdString();
    QByteArray blob;
    EXPECT_EQ(parsed.tree->queryBinary(QStringLiteral("software\\vellumet\\vellumet\\workspace"), QStringLiteral("blob"), blob),
              RegStatus::Ok);
    EXPECT_EQ(blob, QByteArray("\x01\x02\x03\x04", 4));
}

TEST(RegistryText, DamagedTextIsRecognisedNotHalfRead)
{
    const QByteArray good = serializeRegText(sampleTree());
    // Every cut inside a line must be caught, even where the piece left
    // would parse ("hex:00,01" of "hex:00,01,ff"); cuts right after a line
    // end are valid files with fewer values.
    for (qsizetype cut = 1; cut < good.size(); ++cut) {
        if (good.at(cut - 1) == '\n')
            continue;
        const QByteArray part = good.left(cut);
        EXPECT_FALSE(parseRegText(part).tree.has_value())
            << "accepted a file cut after " << cut << " bytes: ..." << part.mid(part.lastIndexOf('\n') + 1).toStdString();
    }

    const QByteArray broken[] = {
        "",
        "\x00\x01\x02garbage\xff\xfe",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n",
        "Windows Registry Editor Version 5.00\n\"orphan\"=dword:00000001\n",
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"bad \\q escape\"\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:1,02\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"text\" trailing\n",
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"x\"=qword:0000000000000001\n",
    };
    for (const QByteArray& b : broken)
        EXPECT_FALSE(parseRegText(b).tree.has_value()) << b.toStdString();
}

TEST(RegistryTree, KeysAndNamesCompareWithoutCase)
{
    RegistryTree t;
    t.setValue(kKey, RegValue::ofDword(QStringLiteral("Value"), 1));
    t.setValue(QStringLiteral("software\\VELLUMET\\vellumet\\configation"), RegValue::ofDword(QStringLiteral("VALUE"), 2));
    ASSERT_EQ(t.keys().size(), 1u);
    ASSERT_EQ(t.keys().front().values.size(), 1u);
    quint32 v = 0;
    EXPECT_EQ(t.queryDword(QStringLiteral("/SOFTWARE/Vellumet/Vellumet/Configation/"), QStringLiteral("value"), v),
              RegStatus::Ok);
    EXPECT_EQ(v, 2u);
}

TEST(RegistryTree, StringThatDoesNotFitTheBufferAnswersMoreData)
{
    RegistryTree t;
    t.setValue(kKey, RegValue::ofString(QStringLiteral("fits"), QStringLiteral("12345678901")));      // 11 + zero = 12
    t.setValue(kKey, RegValue::ofString(QStringLiteral("toolong"), QStringLiteral("123456789012")));  // 12 + zero = 13
    QString out = QStringLiteral("untouched");
    EXPECT_EQ(t.queryString(kKey, QStringLiteral("fits"), 12, out), RegStatus::Ok);
    EXPECT_EQ(out, QStringLiteral("12345678901"));
    out = QStringLiteral("untouched");
    EXPECT_EQ(t.queryString(kKey, QStringLiteral("toolong"), 12, out), RegStatus::MoreData);
    EXPECT_EQ(out, QStringLiteral("untouched"));
    EXPECT_EQ(t.queryString(kKey, QStringLiteral("toolong"), 0, out), RegStatus::Ok);
    quint32 d = 0;
    EXPECT_EQ(t.queryDword(kKey, QStringLiteral("fits"), d), RegStatus::WrongType);
    EXPECT_EQ(t.queryDword(kKey, QStringLiteral("absent"), d), RegStatus::NotFound);
}

TEST(RegistryTree, DeleteTreeTakesSubkeysButNotSiblingsSharingAPrefix)
{
    RegistryTree t;
    t.setValue(QStringLiteral("Software\\Vellumet\\Vellumet\\Configation"), RegValue::ofDword(QStringLiteral("a"), 1));
    t.setValue(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace\\Pane"), RegValue::ofDword(QStringLiteral("b"), 1));
    t.setValue(QStringLiteral("Software\\VellumetOther"), RegValue::ofDword(QStringLiteral("c"), 1));
    t.setValue(QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation"), RegValue::ofDword(QStringLiteral("languagemainid"), 4));

    EXPECT_TRUE(t.keyExists(QStringLiteral("Software\\Vellumet")));  // exists through its subkeys
    EXPECT_TRUE(t.deleteTree(QStringLiteral("software\\vellumet")));
    EXPECT_FALSE(t.keyExists(QStringLiteral("Software\\Vellumet")));
    EXPECT_FALSE(t.keyExists(QStringLiteral("Software\\Vellumet\\Vellumet\\Workspace\\Pane")));
    EXPECT_TRUE(t.keyExists(QStringLiteral("Software\\VellumetOther")));
    EXPECT_TRUE(t.keyExists(QStringLiteral("SOFTWARE\\Lensio\\Lensio\\Configation")));
    EXPECT_FALSE(t.deleteTree(QStringLiteral("Software\\Vellumet")));
}
