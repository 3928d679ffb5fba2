#include "vlscom/regedit.h"

#include <gtest/gtest.h>

using namespace vlscom;

namespace {

RegistryKey load(std::string_view text)
{
    RegEditDocument document;
    const auto error = parseRegEdit(text, RegEditMode::Store, document);
    EXPECT_FALSE(error) << error->line << ": " << error->message;
    RegistryKey root;
    importRegEdit(root, document);
    return root;
}

RegEditDocument script(std::string_view text)
{
    RegEditDocument document;
    const auto error = parseRegEdit(text, RegEditMode::Script, document);
    EXPECT_FALSE(error) << error->line << ": " << error->message;
    return document;
}

std::string errorOf(std::string_view text, RegEditMode mode = RegEditMode::Store)
{
    RegEditDocument document;
    const auto error = parseRegEdit(text, mode, document);
    return error ? std::to_string(error->line) + ": " + error->message : "none";
}

} // namespace

TEST(RegEdit, FormatsSortedSectionsWithEscapesAndEmptyKeys)
{
    const RegistryKey root = load("REGEDIT4\r\n"
                                  "\r\n"
                                  "; comment\r\n"
                                  "[HKEY_CLASSES_ROOT\\b.Prog\\CLSID]\r\n"
                                  "@=\"{X}\"\r\n"
                                  "[HKEY_CLASSES_ROOT\\A\\Empty]\r\n"
                                  "  [hkey_classes_root\\b.prog]  \r\n"
                                  "\"Zed\"=\"z\"\r\n"
                                  "\"alpha\" = \"say \\\"hi\\\" to C:\\\\dir\"\r\n"
                                  "@=\"default\"\r\n");
    EXPECT_EQ(formatRegEdit(root),
        "REGEDIT4\n"
        "\n"
        "[HKEY_CLASSES_ROOT\\A]\n"
        "\n"
        "[HKEY_CLASSES_ROOT\\A\\Empty]\n"
        "\n"
        "[HKEY_CLASSES_ROOT\\b.Prog]\n"
        "@=\"default\"\n"
        "\"alpha\"=\"say \\\"hi\\\" to C:\\\\dir\"\n"
        "\"Zed\"=\"z\"\n"
        "\n"
        "[HKEY_CLASSES_ROOT\\b.Prog\\CLSID]\n"
        "@=\"{X}\"\n");
    EXPECT_EQ(*root.find(splitKeyPath("B.PROG"))->value("ALPHA"), "say \"hi\" to C:\\dir");
}

TEST(RegEdit, FormattedTextParsesBackToTheSameTree)
{
    const std::string text = "REGEDIT4\n\n[HKEY_CLASSES_ROOT]\n@=\"root\"\n\n[HKEY_CLASSES_ROOT\\a]b ]\n"
                             "\"@\"=\"\\\\\\\"\"\n\"\"=\"tab\there\"\n";
    const RegistryKey root = load(text);
    const std::string formatted = formatRegEdit(root);
    EXPECT_EQ(formatRegEdit(load(formatted)), formatted);
    EXPECT_EQ(*root.find(splitKeyPath("a]b "))->value(""), "tab\there");
}

TEST(RegEdit, RejectsMalformedTextWithItsLine)
{
    EXPECT_EQ(errorOf(""), "1: the first line must be REGEDIT4");
    EXPECT_EQ(errorOf("Windows Registry Editor Version 5.00\n"), "1: the first line must be REGEDIT4");
    EXPECT_EQ(errorOf("REGEDIT4\n@=\"x\"\n"), "2: a value must follow a key line");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CURRENT_USER\\x]\n"), "2: keys must lie under HKEY_CLASSES_ROOT");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\x\n"), "2: a key line must end with ']'");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a\\\\b]\n"), "2: empty key name");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\n\"v\"=dword:00000001\n"),
        "3: only string values (\"...\") are supported");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\n@=\"open\n"), "3: unterminated string");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\n@=\"x\" y\n"), "3: unexpected text after the value");
    EXPECT_EQ(
        errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\n@=\"\\n\"\n"), "3: only \\\\ and \\\" may be escaped");
    EXPECT_EQ(errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\n@\"x\"\n"), "3: '=' expected after the value name");
    std::string withNul = "REGEDIT4\n[HKEY_CLASSES_ROOT\\a";
    withNul += '\0';
    EXPECT_EQ(errorOf(withNul + "]\n"), "2: control character in the line");
    EXPECT_EQ(errorOf("REGEDIT4\n[-HKEY_CLASSES_ROOT\\a]\n"),
        "2: key deletions are allowed in registration scripts only");
    EXPECT_EQ(errorOf("REGEDIT4\n[-HKEY_CLASSES_ROOT\\a]\n@=\"x\"\n", RegEditMode::Script),
        "3: a deleted key cannot take values");
    EXPECT_EQ(errorOf("REGEDIT4\n[-HKEY_CLASSES_ROOT]\n", RegEditMode::Script),
        "2: HKEY_CLASSES_ROOT itself cannot be deleted");
    std::string deep = "REGEDIT4\n[HKEY_CLASSES_ROOT";
    for (int i = 0; i < 513; ++i)
        deep += "\\k";
    EXPECT_EQ(errorOf(deep + "]\n"), "2: key nested too deeply");
    EXPECT_EQ(
        errorOf("REGEDIT4\n[HKEY_CLASSES_ROOT\\" + std::string(256, 'n') + "]\n"), "2: key name too long");
}

TEST(RegEdit, ImportReplacesDeletedKeysWhole)
{
    RegistryKey root = load("REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{C}\\Foreign]\n@=\"x\"\n"
                            "[HKEY_CLASSES_ROOT\\CLSID\\{Other}]\n");
    importRegEdit(root,
        script("REGEDIT4\n[-HKEY_CLASSES_ROOT\\CLSID\\{C}]\n[HKEY_CLASSES_ROOT\\CLSID\\{C}]\n"
               "@=\"Class\"\n[HKEY_CLASSES_ROOT\\CLSID\\{C}\\Sub]\n"));
    EXPECT_EQ(formatRegEdit(root),
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{C}]\n@=\"Class\"\n\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{C}\\Sub]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{Other}]\n");
}

TEST(RegEdit, UnimportRemovesOnlyWhatTheScriptWroteAndKeepsSharedParents)
{
    const RegEditDocument doc = script("REGEDIT4\n"
                                       "[HKEY_CLASSES_ROOT\\My.Prog]\n@=\"Mine\"\n"
                                       "[HKEY_CLASSES_ROOT\\My.Prog\\CLSID]\n@=\"{C}\"\n"
                                       "[HKEY_CLASSES_ROOT\\Shared.Prog]\n@=\"Mine\"\n"
                                       "[-HKEY_CLASSES_ROOT\\CLSID\\{C}]\n"
                                       "[HKEY_CLASSES_ROOT\\CLSID\\{C}]\n@=\"Mine\"\n");
    RegistryKey root = load("REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{Other}]\n@=\"Theirs\"\n"
                            "[HKEY_CLASSES_ROOT\\Shared.Prog]\n@=\"Mine\"\n");
    importRegEdit(root, doc);
    // Meanwhile a foreign subkey appears under the class key and the shared ProgID is taken over.
    root.create(splitKeyPath("CLSID\\{C}\\Foreign"));
    root.find(splitKeyPath("Shared.Prog"))->setValue("", "Theirs now");
    unimportRegEdit(root, doc);
    EXPECT_EQ(formatRegEdit(root),
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{Other}]\n@=\"Theirs\"\n\n"
        "[HKEY_CLASSES_ROOT\\Shared.Prog]\n@=\"Theirs now\"\n");
}
