#include "shell/SignatureManager.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

using platform::MessageIcon;
using Outcome = SignatureManager::AddOutcome;
using Saved = SignatureManager::SaveOutcome;
using Strings = std::vector<std::string>;
using Row = std::optional<std::size_t>;

const std::string kPath = "/opt/lantrivex/Signatures.txt";
const std::string kThree = "\"W6BNMSWD\",\"doc\",\"Word 6 Document\"\r\n"
                           "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n"
                           "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n";

const std::string kQuoteEn = "Invalid character (double quote) in signature or Macintosh type";

struct SignatureManagerTest : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
    signatures::SignatureTable table;

    SignatureManagerTest() { table.sSignaturesFile = kPath; }

    SignatureManager openedAs(LanguageFlag lang) {
        SignatureManager m(table, files, notifier, lang);
        m.open();
        return m;
    }
    SignatureManager opened(const std::string& content, LanguageFlag lang = kEnglish) {
        files.putFile(kPath, content);
        return openedAs(lang);
    }

    static Strings signaturesOf(const SignatureManager& m) {
        Strings out;
        for (const auto& r : m.rows()) {
            out.push_back(r.signature);
        }
        return out;
    }
};

TEST_F(SignatureManagerTest, OpeningListsTheFileSkippingIncompleteRowsAndLaterSpellings) {
    table.nSignatures = 99;
    const auto m = opened(kThree + "\"AAAAAAAA\",\"\",\"Texte \xE9"
                                   "crit \x80\"\r\n"
                                   "\"\",\"doc\",\"no signature\"\r\n\"BBBBBBBB\",\"doc\",\"\"\r\n"
                                   "\"w6bnmswd\",\"x\",\"second spelling\"\r\n");
    EXPECT_EQ(signaturesOf(m), (Strings{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP", "AAAAAAAA"}));
    EXPECT_EQ(m.rows()[1].key, "KXDOCXPR3");
    EXPECT_EQ(m.rows()[1].extension + "|" + m.rows()[1].description, "qxd|Quark XPress Document");
    EXPECT_EQ(m.rows()[3].description, "Texte écrit €");
    EXPECT_EQ(table.nSignatures, 4);
    EXPECT_EQ(m.title(), "Lantrivex - Macintosh signatures (4)");
    EXPECT_EQ(m.message(), "");
    EXPECT_FALSE(m.selected() || m.flagModified());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(table.colDescriptions.empty()) << "opening does not touch the table's rows";
}

TEST_F(SignatureManagerTest, AMissingUnreadableOrDamagedFileLeavesAUsableList) {
    const std::string damaged =
        kThree + "\"DDDDDDDD\",\"d\",\"never closed\r\n\"E\",\"\",\"e\"\r\n";
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        const bool fr = lang == kFrench;
        notifier.messages.clear();
        files.removeFile(kPath);
        EXPECT_EQ(openedAs(lang).addOrModify("ABCDEFGH", "", "x"), Outcome::Added);
        files.putUnreadable(kPath, kThree);
        auto unreadable = openedAs(lang);
        EXPECT_TRUE(unreadable.rows().empty());
        EXPECT_EQ(unreadable.addOrModify("ABCDEFGH", "", "x"), Outcome::Added);
        EXPECT_EQ(opened(damaged, lang).rows().size(), 3u);
        EXPECT_EQ(table.nSignatures, 3);
        EXPECT_EQ(notifier.texts(), (Strings{(fr ? "Lecture impossible du fichier Signatures:\r\n"
                                                 : "Cannot read Signatures file:\r\n") +
                                                 kPath,
                                             (fr ? "Fichier Signatures endommagé:\r\n"
                                                 : "Corrupted Signatures file:\r\n") +
                                                 kPath + (fr ? "\r\nLigne:3" : "\r\nLine:3")}));
        for (const auto& message : notifier.messages) {
            EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        }
    }
}

TEST_F(SignatureManagerTest, EachCheckRefusesInRedWithABeepAndChangesNothing) {
    const std::string length = "La signature Type/Créateur doit comporter 8 caractères|"
                               "Type/Creator signature must be 8 characters";
    const std::string ext3 = "L'extension Windows doit comporter 3 caractères au plus|"
                             "Windows extension must be 3 characters or less";
    const std::string extChar = "Caractère invalide dans une extension Windows|"
                                "Invalid character in Windows extension";
    const std::string quote = "Caractère invalide (guillemet) dans la signature ou le type "
                              "Macintosh|" +
                              kQuoteEn;
    const std::string code = "Caractère non admis dans le fichier des Signatures|"
                             "Character not allowed in Signatures file";
    std::vector<std::pair<signatures::SignatureRecord, std::string>> checks = {
        {{"W6BNMSW", "doc", "short"}, length},
        {{"W6BNMSWDX", "doc", "long"}, length},
        {{" W6BNMSWD", "doc", "spaces count"}, length},
        {{"", "", ""}, length}, // the first failure wins
        {{"W6BNMSWD", "docx", ""}, ext3},
        {{"W6BNMSWD", "d*cx", ""}, ext3},
        {{"W6BNMSWD", "doc", ""}, "Le type Macintosh est obligatoire|Macintosh type is mandatory"},
        {{"W6BN\"SWD", "doc", "x"}, quote},
        {{"W6BNMSWD", "doc", "Word \"6\""}, quote},
        {{"W6BNMSWD", "doc", "Word \xE6\x96\x87"}, code},
        {{"W6BN\xCE\xA9SWD", "doc", "Omega"}, code},
        {{"W6BNMSWD", "\xCE\xA9", "Omega"}, code},
    };
    for (char c : std::string("\\/:*?<>|\"")) {
        checks.push_back({{"W6BNMSWD", std::string(1, c), ""}, extChar});
    }
    for (const auto& [check, message] : checks) {
        for (LanguageFlag lang : {kEnglish, kFrench}) {
            SCOPED_TRACE(check.signature + "|" + check.extension + "|" + check.description);
            notifier.beeps = 0;
            auto m = opened(kThree, lang);
            m.select(1);
            EXPECT_EQ(m.addOrModify(check.signature, check.extension, check.description),
                      Outcome::Refused);
            const std::size_t bar = message.find('|');
            EXPECT_EQ(m.message(),
                      lang == kFrench ? message.substr(0, bar) : message.substr(bar + 1));
            EXPECT_EQ(m.messageKind(), MessageKind::Error);
            EXPECT_EQ(notifier.beeps, 1);
            EXPECT_EQ(m.selected(), Row(1));
            EXPECT_FALSE(m.flagModified());
        }
    }
    auto m = opened("");
    EXPECT_EQ(m.addOrModify("ÉÉÉÉTTXT", "été", "characters, not bytes"), Outcome::Added);
    EXPECT_EQ(m.addOrModify("€€€€€€€€", "€", "in the code page"), Outcome::Added);
}

TEST_F(SignatureManagerTest, EachActionsMessageTitleAndSelectionInBothLanguages) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        const bool fr = lang == kFrench;
        notifier.beeps = 0;
        auto m = opened(kThree, lang);
        EXPECT_FALSE(m.removeSelected());
        EXPECT_EQ(m.message(),
                  fr ? "Sélectionner une signature à supprimer" : "Select a signature to remove");
        m.select(0);
        EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxd", "Quark XPress Document"), Outcome::Unchanged);
        EXPECT_EQ(m.message(),
                  fr ? "Signature inchangée: XDOCXPR3" : "Signature not modified: XDOCXPR3");
        EXPECT_EQ(m.messageKind(), MessageKind::Error);
        EXPECT_EQ(notifier.beeps, 2);
        EXPECT_EQ(m.selected(), Row(0));
        EXPECT_FALSE(m.flagModified());
        EXPECT_EQ(m.title(), SignatureManager::openingTitle(lang, 3));

        EXPECT_EQ(m.addOrModify("TEXTttxt", "", "Plain text"), Outcome::Added);
        EXPECT_EQ(m.rows().back().key, "KTEXTttxt");
        EXPECT_EQ(m.selected(), Row(3));
        EXPECT_EQ(m.messageKind(), MessageKind::Result);
        EXPECT_EQ(m.message(), fr ? "Signature ajoutée: TEXTttxt" : "Added Signature: TEXTttxt");
        EXPECT_EQ(m.title(), fr ? "Lantrivex - Signatures Macintosh (4)"
                                : "Lantrivex - Macintosh Signatures (4)");
        EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxp", "Quark 4"), Outcome::Modified);
        EXPECT_EQ(m.rows()[1].extension + "|" + m.rows()[1].description, "qxp|Quark 4");
        EXPECT_EQ(m.selected(), Row(1));
        EXPECT_EQ(m.message(), fr ? "Signature modifié: XDOCXPR3" : "Modified Signature: XDOCXPR3");
        m.select(0);
        EXPECT_TRUE(m.removeSelected());
        EXPECT_EQ(signaturesOf(m), (Strings{"XDOCXPR3", "8BIMPHSP", "TEXTttxt"}));
        EXPECT_EQ(m.message(),
                  fr ? "Signature supprimée: W6BNMSWD" : "Removed Signature: W6BNMSWD");
        EXPECT_EQ(m.messageKind(), MessageKind::Result);
        EXPECT_EQ(m.title(), SignatureManager::changedTitle(lang, 3));
        EXPECT_FALSE(m.selected());
        EXPECT_EQ(m.addOrModify("w6bnmswd", "doc", "Word 6"), Outcome::Added) << "it comes back";
        EXPECT_EQ(m.addOrModify("w6bnmswd", "doc", "Word 6"), Outcome::Unchanged);
        EXPECT_TRUE(m.flagModified()) << "an unchanged re-entry keeps the list modified";
        EXPECT_EQ(notifier.beeps, 3);
    }
}

TEST_F(SignatureManagerTest, ASignatureInAnotherCaseModifiesItsRowAndAClickGivesTheRow) {
    auto m = opened(kThree);
    EXPECT_EQ(m.addOrModify("xdocxpr3", "qxd", "Quark XPress Document"), Outcome::Modified);
    EXPECT_EQ(m.rows()[1].signature, "xdocxpr3");
    EXPECT_EQ(m.rows()[1].key, "KXDOCXPR3") << "the key stays as created";
    EXPECT_EQ(m.findRow("XdOcXpR3"), Row(1));
    EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxd", "Quark XPress Document"), Outcome::Modified);
    EXPECT_EQ(m.rows().size(), 3u);
    EXPECT_FALSE(m.findRow(""));
    m.select(2);
    EXPECT_EQ(m.clickList(), (signatures::SignatureRecord{"8BIMPHSP", "psd", "Photoshop Image"}));
    EXPECT_EQ(m.message(), "") << "a click in the list clears the message";
    m.select(7);
    EXPECT_FALSE(m.selected() || m.clickList());
}

TEST_F(SignatureManagerTest, HeaderClicksFlipTheDirectionAndNewRowsKeepTheOrder) {
    auto m = opened("bbbbbbbb,b,Zed\r\nAAAAAAAA,c,alpha\r\nCCCCCCCC,a,Mid\r\n");
    m.select(0); // bbbbbbbb
    m.clickHeader(0);
    EXPECT_TRUE(m.sorted() && m.sortDescending()) << "the first click flips the ascending order";
    EXPECT_EQ(signaturesOf(m), (Strings{"CCCCCCCC", "bbbbbbbb", "AAAAAAAA"}));
    EXPECT_EQ(m.selected(), Row(1)) << "the selection follows its row";
    m.clickHeader(2);
    EXPECT_FALSE(m.sortDescending());
    EXPECT_EQ(m.sortColumn(), 2);
    EXPECT_EQ(signaturesOf(m), (Strings{"AAAAAAAA", "CCCCCCCC", "bbbbbbbb"}));
    m.clickHeader(1);
    EXPECT_EQ(signaturesOf(m), (Strings{"AAAAAAAA", "bbbbbbbb", "CCCCCCCC"}));
    EXPECT_FALSE(m.flagModified());
    m.clickHeader(0); // the direction flips: ascending
    m.addOrModify("BBBBAAAA", "", "new");
    EXPECT_EQ(signaturesOf(m), (Strings{"AAAAAAAA", "BBBBAAAA", "bbbbbbbb", "CCCCCCCC"}));
    EXPECT_EQ(m.selected(), Row(1));
}

TEST_F(SignatureManagerTest, SaveWritesTheListSortedBySignatureAndReloadsTheTable) {
    auto m = opened(kThree);
    EXPECT_EQ(m.save(), Saved::NothingToSave);
    EXPECT_TRUE(files.replaced.empty());
    m.addOrModify("TEXTttxt", "", "Texte écrit");
    m.addOrModify("w6bnmswd", "doc", "Word 6, French");
    m.clickHeader(2); // whatever the order shown
    EXPECT_EQ(m.save(), Saved::Saved);
    EXPECT_EQ(files.contents(kPath), "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n"
                                     "\"TEXTttxt\",\"\",\"Texte \xE9"
                                     "crit\"\r\n"
                                     "\"w6bnmswd\",\"doc\",\"Word 6, French\"\r\n"
                                     "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n");
    EXPECT_EQ(signaturesOf(m)[0], "8BIMPHSP");
    EXPECT_FALSE(m.sortDescending() || m.flagModified());
    EXPECT_EQ(table.nSignatures, 4);
    EXPECT_EQ(table.description("W6BNMSWD"), "Word 6, French");
    EXPECT_EQ(table.description("textTTXT"), "Texte écrit");
    auto emptied = opened("AAAAAAAA,,a\r\n");
    emptied.select(0);
    emptied.removeSelected();
    EXPECT_EQ(emptied.save(), Saved::Saved);
    EXPECT_EQ(files.contents(kPath), "");
    EXPECT_EQ(table.size(), 0u);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SignatureManagerTest, AFailedSaveTellsTheUserAndLosesNothing) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.messages.clear();
        table.clear();
        auto m = opened(kThree, lang);
        files.replaceFailure = "No space left on device";
        m.addOrModify("TEXTttxt", "", "Plain text");
        EXPECT_EQ(m.save(), Saved::Failed);
        EXPECT_EQ(files.contents(kPath), kThree);
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(notifier.messages[0].text,
                  (lang == kFrench ? "Enregistrement impossible du fichier Signatures:\r\n"
                                   : "Cannot save Signatures file:\r\n") +
                      kPath + "\r\nNo space left on device");
        EXPECT_EQ(m.rows().size(), 4u);
        EXPECT_TRUE(m.flagModified());
        EXPECT_TRUE(table.colDescriptions.empty()) << "no reload after a failed save";
        files.replaceFailure.reset();
        EXPECT_EQ(m.save(), Saved::Saved) << "the next try, once the disk has room";
        EXPECT_EQ(table.size(), 4u);
    }
}

TEST_F(SignatureManagerTest, ARowTheFileCannotHoldStopsTheSaveUntilCorrected) {
    auto m = opened("AAAAAAAA,,Size 12\" screen\r\n" + kThree); // a hand-edited file
    m.addOrModify("TEXTttxt", "", "Plain text");
    EXPECT_EQ(m.save(), Saved::Refused);
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_EQ(m.message(), kQuoteEn + ": AAAAAAAA");
    EXPECT_EQ(m.messageKind(), MessageKind::Error);
    EXPECT_EQ(notifier.beeps, 1);
    ASSERT_TRUE(m.selected());
    EXPECT_EQ(m.rows()[*m.selected()].signature, "AAAAAAAA");
    EXPECT_EQ(m.addOrModify("AAAAAAAA", "", "Size 12 in. screen"), Outcome::Modified);
    EXPECT_EQ(m.save(), Saved::Saved);
}

TEST_F(SignatureManagerTest, ClosingAsksOnlyAfterAChangeAndFollowsTheAnswer) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.questions.clear();
        auto m = opened(kThree, lang);
        m.addOrModify("bad", "", "");
        EXPECT_TRUE(m.confirmClose());
        EXPECT_TRUE(notifier.questions.empty());
        m.select(0);
        m.removeSelected();
        notifier.answers = {false, true};
        EXPECT_FALSE(m.confirmClose());
        EXPECT_TRUE(m.confirmClose());
        EXPECT_EQ(notifier.questions,
                  Strings(2, lang == kFrench
                                 ? "Liste modifiée\r\nQuitter sans sauvegarder les modifications"
                                 : "Modified list\r\nDiscard changes"));
        EXPECT_EQ(files.contents(kPath), kThree);
    }
}

TEST(SignatureManagerTexts, CaptionsTitlesAndFieldLayout) {
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
    EXPECT_EQ(SignatureManager::changedTitle(kEnglish, 40000),
              "Lantrivex - Macintosh Signatures (40000)");
    EXPECT_EQ(SignatureManager::openingTitle(kFrench, 12), "Lantrivex - Signatures Macintosh (12)");
    EXPECT_EQ(SignatureManager::changedTitle(kFrench, 12), "Lantrivex - Signatures Macintosh (12)");
    const auto l = alignSignatureFields(7455, 1440, 1440, 7455);
    EXPECT_EQ((std::vector<int>{l.column3Width, l.signatureLeft, l.signatureWidth, l.extensionLeft,
                                l.extensionWidth, l.typeLeft, l.typeWidth}),
              (std::vector<int>{4275, 100, 1340, 1440, 1440, 2880, 4475}));
}

} // namespace
} // namespace lantrivex::shell
