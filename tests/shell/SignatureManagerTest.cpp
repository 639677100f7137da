// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SignatureManager.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

using Outcome = SignatureManager::AddOutcome;
using Saved = SignatureManager::SaveOutcome;
using Strings = std::vector<std::string>;

const std::string kPath = "/opt/lantrivex/Signatures.txt";
const std::string kThree = "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                           "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n";

struct SignatureManagerTest : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
    signatures::SignatureTable table;

    SignatureManagerTest() { table.sSignaturesFile = kPath; }

    SignatureManager opened(const std::string& content, LanguageFlag lang = kEnglish) {
        files.putFile(kPath, content);
        return reopened(lang);
    }
    SignatureManager reopened(LanguageFlag lang) {
        SignatureManager m(table, files, notifier, lang);
        m.open();
        return m;
    }
    static Strings signaturesOf(const SignatureManager& m) {
        Strings out;
        for (const auto& r : m.rows()) {
            out.push_back(r.signature);
        }
        return out;
    }
    // The message line in its colour, the selected row, and "*" when the list is modified.
    static std::string shown(const SignatureManager& m) {
        return (m.messageKind() == MessageKind::Error ? "red " : "magenta ") + m.message() +
               (m.selected() ? " [" + std::to_string(*m.selected()) + "]" : " []") +
               (m.flagModified() ? " *" : "");
    }
};

// The text in the manager's language: French first, as in the tables below.
auto inLanguage(LanguageFlag lang) {
    return [lang](std::string fr, std::string en) { return lang == kFrench ? fr : en; };
}

TEST_F(SignatureManagerTest, OpeningListsWhatTheFileHoldsAndSaveStopsAtWhatItCannot) {
    auto m = opened(kThree +
                    "AAAAAAAA,,Texte \xE9" // a hand-edited row in the ANSI code page
                    "crit 12\" \x80\r\n\"\",\"doc\",\"no signature\"\r\n"
                    "\"BBBBBBBB\",\"doc\",\"\"\r\n\"w6bnmswd\",\"x\",\"second spelling\"\r\n"
                    "\xC9TEX\x8C\x8A\x8E\x9F,e,capitals\r\n\xE9TEX\x9C\x9A\x9E\xFF,e,small\r\n");
    EXPECT_EQ(signaturesOf(m),
              (Strings{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP", "AAAAAAAA", "ÉTEXŒŠŽŸ"}));
    EXPECT_EQ(m.rows()[3].description, "Texte écrit 12\" €");
    EXPECT_TRUE(table.nSignatures == 5 && m.message().empty() && !m.selected() &&
                !m.flagModified());
    EXPECT_EQ(m.addOrModify("étexœšžÿ", "e", "either case"), Outcome::Modified);
    EXPECT_EQ(m.rows().size(), 5u);
    m.select(0);
    m.removeSelected();
    EXPECT_EQ(m.save(), Saved::Refused);
    EXPECT_EQ(shown(m), "red Invalid character (double quote) in signature or Macintosh type: "
                        "AAAAAAAA [1] *");
    EXPECT_EQ(m.addOrModify("AAAAAAAA", "", "Texte écrit 12 in."), Outcome::Modified);
    EXPECT_EQ(m.save(), Saved::Saved);
    EXPECT_TRUE(files.replaced.size() == 1u && notifier.messages.empty()) << "one write";
}

TEST_F(SignatureManagerTest, NoFileAnUnreadableOrADamagedOneLeaveAUsableList) {
    const std::string damaged =
        kThree + "\"DDDDDDDD\",\"d\",\"never closed\r\n\"E\",\"\",\"e\"\r\n";
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        const auto t = inLanguage(lang);
        notifier = {};
        files.removeFile(kPath);
        auto m = reopened(lang);
        EXPECT_EQ(m.title(), t("Lantrivex - Signatures Macintosh (0)",
                               "Lantrivex - Macintosh signatures (0)"));
        EXPECT_TRUE(m.save() == Saved::NothingToSave && !files.contents(kPath));
        m.addOrModify("AAAAAAAA", "", "a");
        m.select(0);
        m.removeSelected();
        EXPECT_EQ(m.save(), Saved::Saved);
        EXPECT_EQ(files.contents(kPath), "");
        EXPECT_EQ(table.size(), 0u) << "an empty file gives no defaults";

        files.putUnreadable(kPath, kThree);
        EXPECT_TRUE(reopened(lang).rows().empty());
        EXPECT_EQ(opened(damaged, lang).rows().size(), 3u);
        EXPECT_EQ(table.nSignatures, 3);
        const std::string read =
            t("Lecture impossible du fichier Signatures:\r\n", "Cannot read Signatures file:\r\n");
        const std::string corrupted =
            t("Fichier Signatures endommagé:\r\n", "Corrupted Signatures file:\r\n");
        EXPECT_EQ(notifier.texts(),
                  (Strings{read + kPath, corrupted + kPath + t("\r\nLigne:3", "\r\nLine:3")}));
    }
}

TEST_F(SignatureManagerTest, EachRefusalInBothLanguagesBeepsAndChangesNothing) {
    struct Refusal {
        std::vector<signatures::SignatureRecord> entries;
        std::string fr, en;
    };
    std::vector<Refusal> refusals = {
        {{{"W6BNMSW", "doc", "x"}, {"W6BNMSWDX", "doc", "x"}, {" W6BNMSWD", "doc", "x"}, {}},
         "La signature Type/Créateur doit comporter 8 caractères",
         "Type/Creator signature must be 8 characters"},
        {{{"W6BNMSWD", "docx", ""}, {"W6BNMSWD", "d*cx", ""}},
         "L'extension Windows doit comporter 3 caractères au plus",
         "Windows extension must be 3 characters or less"},
        {{},
         "Caractère invalide dans une extension Windows",
         "Invalid character in Windows extension"},
        {{{"W6BNMSWD", "doc", ""}},
         "Le type Macintosh est obligatoire",
         "Macintosh type is mandatory"},
        {{{"W6BN\"SWD", "doc", "x"}, {"W6BNMSWD", "doc", "Word \"6\""}},
         "Caractère invalide (guillemet) dans la signature ou le type Macintosh",
         "Invalid character (double quote) in signature or Macintosh type"},
        {{{"W6BNMSWD", "doc", "Word \xE6\x96\x87"},
          {"W6BN\xCE\xA9SWD", "doc", "Omega"},
          {"W6BNMSWD", "\xCE\xA9", "Omega"}},
         "Caractère non admis dans le fichier des Signatures",
         "Character not allowed in Signatures file"},
    };
    for (char c : std::string("\\/:*?<>|\"")) {
        refusals[2].entries.push_back({"W6BNMSWD", std::string(1, c), ""});
    }
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        auto m = opened(kThree, lang);
        m.select(1);
        for (const auto& refusal : refusals) {
            for (const auto& [signature, extension, description] : refusal.entries) {
                const int beeps = notifier.beeps;
                EXPECT_EQ(m.addOrModify(signature, extension, description), Outcome::Refused);
                EXPECT_EQ(shown(m), "red " + inLanguage(lang)(refusal.fr, refusal.en) + " [1]")
                    << signature << "|" << extension << "|" << description;
                EXPECT_EQ(notifier.beeps, beeps + 1);
            }
        }
        EXPECT_EQ(signaturesOf(m), (Strings{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    }
    auto m = opened(""); // characters count, not bytes; spaces count; a dot is allowed
    EXPECT_EQ(m.addOrModify("ÉÉÉ€TTXT", "é€", "in the code page"), Outcome::Added);
    EXPECT_EQ(m.addOrModify(" TXT TXT", ".tx", "x"), Outcome::Added);
}

TEST_F(SignatureManagerTest, WalkThroughInBothLanguages) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        const auto t = inLanguage(lang);
        notifier = {};
        table.clear();
        auto m = opened(kThree, lang);
        EXPECT_TRUE(m.save() == Saved::NothingToSave && m.confirmClose());
        EXPECT_FALSE(m.removeSelected());
        EXPECT_EQ(shown(m), t("red Sélectionner une signature à supprimer []",
                              "red Select a signature to remove []"));
        m.select(0);
        EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxd", "Quark XPress Document"), Outcome::Unchanged);
        EXPECT_EQ(shown(m), t("red Signature inchangée: XDOCXPR3 [0]",
                              "red Signature not modified: XDOCXPR3 [0]"));
        EXPECT_EQ(notifier.beeps, 2);

        EXPECT_EQ(m.addOrModify("TEXTttxt", "", "Text"), Outcome::Added);
        EXPECT_EQ(shown(m), t("magenta Signature ajoutée: TEXTttxt [3] *",
                              "magenta Added Signature: TEXTttxt [3] *"));
        EXPECT_EQ(m.title(), t("Lantrivex - Signatures Macintosh (4)",
                               "Lantrivex - Macintosh Signatures (4)"));
        EXPECT_EQ(m.addOrModify("8bimphsp", "psd", "Photoshop 5"), Outcome::Modified);
        EXPECT_EQ(m.rows()[2].key, "K8BIMPHSP") << "the key stays as created";
        EXPECT_EQ(shown(m), t("magenta Signature modifié: 8bimphsp [2] *",
                              "magenta Modified Signature: 8bimphsp [2] *"));
        m.select(0);
        EXPECT_TRUE(m.removeSelected());
        EXPECT_EQ(shown(m), t("magenta Signature supprimée: W6BNMSWD [] *",
                              "magenta Removed Signature: W6BNMSWD [] *"));
        EXPECT_EQ(m.addOrModify("w6bnmswd", "doc", "Word 6"), Outcome::Added) << "it comes back";
        EXPECT_TRUE(m.addOrModify("w6bnmswd", "doc", "Word 6") == Outcome::Unchanged &&
                    m.flagModified());
        m.select(7);
        EXPECT_FALSE(m.selected() || m.clickList());

        m.select(3); // w6bnmswd; the first header click sorts descending, case ignored
        m.clickHeader(0);
        EXPECT_EQ(signaturesOf(m), (Strings{"XDOCXPR3", "w6bnmswd", "TEXTttxt", "8bimphsp"}));
        EXPECT_EQ(m.selected(), 1u) << "rows keep their selection";

        EXPECT_FALSE(m.confirmClose()) << "No";
        EXPECT_EQ(notifier.questions,
                  Strings{t("Liste modifiée\r\nQuitter sans sauvegarder les modifications",
                            "Modified list\r\nDiscard changes")});
        files.replaceFailure = "No space left on device";
        EXPECT_EQ(m.save(), Saved::Failed);
        EXPECT_EQ(notifier.texts(), Strings{t("Enregistrement impossible du fichier Signatures:",
                                              "Cannot save Signatures file:") +
                                            "\r\n" + kPath + "\r\nNo space left on device"});
        EXPECT_EQ(files.contents(kPath), kThree);
        EXPECT_TRUE(m.flagModified() && table.colDescriptions.empty()) << "no reload";

        files.replaceFailure.reset();
        notifier.messages.clear();
        EXPECT_EQ(m.save(), Saved::Saved) << "the next try, once the disk has room";
        EXPECT_EQ(files.contents(kPath),
                  "\"8bimphsp\",\"psd\",\"Photoshop 5\"\r\n\"TEXTttxt\",\"\",\"Text\"\r\n"
                  "\"w6bnmswd\",\"doc\",\"Word 6\"\r\n"
                  "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n");
        EXPECT_FALSE(m.sortDescending() || m.flagModified() || signaturesOf(m)[0] != "8bimphsp");
        EXPECT_TRUE(table.nSignatures == 4 && table.description("textTTXT") == "Text");
        EXPECT_TRUE(notifier.messages.empty());
    }
}

// A header click sorts letter case aside, the accented letters of Windows-1252 included.
TEST_F(SignatureManagerTest, HeaderSortIgnoresTheLetterCaseOfAccentedLetters) {
    auto m = opened("\"AAAAAAAA\",\"\",\"\xC9t\xE9\"\r\n\"BBBBBBBB\",\"\",\"\xE9tage\"\r\n"
                    "\"CCCCCCCC\",\"\",\"Zinc\"\r\n");
    const std::pair<int, Strings> clicks[] = {{2, {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC"}},
                                              {2, {"CCCCCCCC", "BBBBBBBB", "AAAAAAAA"}}};
    for (const auto& [column, order] : clicks) {
        m.clickHeader(column);
        EXPECT_EQ(signaturesOf(m), order);
    }
}

TEST(SignatureManagerTexts, Captions) {
    const auto fr = signatureManagerCaptions(kFrench);
    const auto en = signatureManagerCaptions(2); // any value but 1 is English
    EXPECT_EQ((Strings{fr.lblSignature, fr.lblExtension, fr.lblType, fr.cmdAjouter, fr.cmdSupprimer,
                       fr.cmdOK, fr.cmdAnnuler}),
              (Strings{"Type/Créateur\r\n[obligatoire]", "Extension\r\n[facultative]",
                       "Type Macintosh (libellé)\r\n[obligatoire]", "&Ajouter/Modifier", "&Effacer",
                       "&Sauvegarder", "Annuler"}));
    EXPECT_EQ((Strings{en.lblSignature, en.lblExtension, en.lblType, en.cmdAjouter, en.cmdSupprimer,
                       en.cmdOK, en.cmdAnnuler}),
              (Strings{"Type/Creator\r\n[mandatory]", "Extension\r\n[optional}",
                       "Macintosh Type (description)\r\n[mandatory]", "&Add/Modify", "&Remove",
                       "&Save", "&Cancel"}));
}

} // namespace
} // namespace lantrivex::shell
