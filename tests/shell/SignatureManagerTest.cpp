#include "shell/SignatureManager.h"

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeNotifier.h"
#include "signatures/SignatureTable.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace lantrivex::shell {
namespace {

using platform::MessageIcon;
using Outcome = SignatureManager::AddOutcome;

constexpr const char* kPath = "/opt/lantrivex/Signatures.txt";

// The file as the program writes it.
std::string fileOf(const std::vector<std::vector<std::string>>& records) {
    std::string text;
    for (const auto& r : records) {
        text += "\"" + r[0] + "\",\"" + r[1] + "\",\"" + r[2] + "\"\r\n";
    }
    return text;
}

struct Fixture : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeNotifier notifier;
    signatures::SignatureTable table;

    Fixture() { table.sSignaturesFile = kPath; }

    SignatureManager opened(const std::string& content, LanguageFlag lang = kEnglish) {
        files.putFile(kPath, content);
        SignatureManager m(table, files, notifier, lang);
        m.open();
        return m;
    }

    static std::vector<std::string> signaturesOf(const SignatureManager& m) {
        std::vector<std::string> out;
        for (const auto& r : m.rows()) {
            out.push_back(r.signature);
        }
        return out;
    }
};

const std::string kThree = fileOf({{"W6BNMSWD", "doc", "Word 6 Document"},
                                   {"XDOCXPR3", "qxd", "Quark XPress Document"},
                                   {"8BIMPHSP", "psd", "Photoshop Image"}});

// ---- opening ----

TEST_F(Fixture, OpeningListsTheFileInItsOrderAndCountsTheRows) {
    table.nSignatures = 99;
    const auto m = opened(kThree);
    EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"W6BNMSWD", "XDOCXPR3", "8BIMPHSP"}));
    EXPECT_EQ(m.rows()[1].key, "KXDOCXPR3");
    EXPECT_EQ(m.rows()[1].extension, "qxd");
    EXPECT_EQ(m.rows()[1].description, "Quark XPress Document");
    EXPECT_EQ(table.nSignatures, 3);
    EXPECT_EQ(m.title(), "Lantrivex - Macintosh signatures (3)");
    EXPECT_EQ(m.message(), "");
    EXPECT_FALSE(m.selected());
    EXPECT_FALSE(m.flagModified());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_TRUE(table.colDescriptions.empty()) << "opening does not touch the table's rows";
}

TEST_F(Fixture, OpeningTitleInFrench) {
    EXPECT_EQ(opened(kThree, kFrench).title(), "Lantrivex - Signatures Macintosh (3)");
}

TEST_F(Fixture, OpeningSkipsIncompleteRecordsAndLaterSpellingsOfASignature) {
    const auto m = opened("\"AAAAAAAA\",\"\",\"kept without extension\"\r\n"
                          "\"\",\"doc\",\"no signature\"\r\n"
                          "\"BBBBBBBB\",\"doc\",\"\"\r\n"
                          "\"aaaaaaaa\",\"x\",\"second spelling\"\r\n"
                          "CCCCCCCC,txt,unquoted\r\n");
    EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"AAAAAAAA", "CCCCCCCC"}));
    EXPECT_EQ(m.rows()[0].extension, "");
    EXPECT_EQ(table.nSignatures, 2);
    EXPECT_EQ(m.title(), "Lantrivex - Macintosh signatures (2)");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Fixture, OpeningReadsTheAnsiCodePage) {
    const auto m = opened("\"TEXTttxt\",\"txt\",\"Texte \xE9"
                          "crit \x80\"\r\n");
    ASSERT_EQ(m.rows().size(), 1u);
    EXPECT_EQ(m.rows()[0].description, "Texte écrit €");
}

TEST_F(Fixture, OpeningWithoutFileGivesAnEmptyUsableList) {
    SignatureManager m(table, files, notifier, kFrench);
    m.open();
    EXPECT_TRUE(m.rows().empty());
    EXPECT_EQ(m.title(), "Lantrivex - Signatures Macintosh (0)");
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(m.addOrModify("ABCDEFGH", "", "x"), Outcome::Added);
}

TEST_F(Fixture, OpeningADamagedFileKeepsTheRowsReadAndWarns) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.messages.clear();
        const auto m = opened(
            kThree + "\"DDDDDDDD\",\"d\",\"never closed\r\n\"EEEEEEEE\",\"\",\"e\"\r\n", lang);
        EXPECT_EQ(m.rows().size(), 3u);
        EXPECT_EQ(table.nSignatures, 3);
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(notifier.messages[0].text,
                  lang == kFrench
                      ? "Fichier Signatures endommagé:\r\n" + std::string(kPath) + "\r\nLigne:3"
                      : "Corrupted Signatures file:\r\n" + std::string(kPath) + "\r\nLine:3");
    }
}

TEST_F(Fixture, OpeningAnUnreadableFileWarnsAndLeavesTheListUsable) {
    files.putUnreadable(kPath, kThree);
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.messages.clear();
        SignatureManager m(table, files, notifier, lang);
        m.open();
        EXPECT_TRUE(m.rows().empty());
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(notifier.messages[0].text,
                  std::string(lang == kFrench ? "Lecture impossible du fichier Signatures:"
                                              : "Cannot read Signatures file:") +
                      "\r\n" + kPath);
        EXPECT_EQ(m.addOrModify("ABCDEFGH", "", "x"), Outcome::Added);
    }
}

// ---- the checks of Add/Modify ----

struct CheckCase {
    const char* signature;
    const char* extension;
    const char* description;
    const char* french;
    const char* english;
};

const char* const kLength8Fr = "La signature Type/Créateur doit comporter 8 caractères";
const char* const kLength8En = "Type/Creator signature must be 8 characters";
const char* const kExt3Fr = "L'extension Windows doit comporter 3 caractères au plus";
const char* const kExt3En = "Windows extension must be 3 characters or less";
const char* const kExtCharFr = "Caractère invalide dans une extension Windows";
const char* const kExtCharEn = "Invalid character in Windows extension";
const char* const kTypeFr = "Le type Macintosh est obligatoire";
const char* const kTypeEn = "Macintosh type is mandatory";
const char* const kQuoteFr =
    "Caractère invalide (guillemet) dans la signature ou le type Macintosh";
const char* const kQuoteEn = "Invalid character (double quote) in signature or Macintosh type";
const char* const kCodeFr = "Caractère non admis dans le fichier des Signatures";
const char* const kCodeEn = "Character not allowed in Signatures file";

class Checks : public Fixture, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(Checks, RefusedInRedWithABeepAndNothingChanged) {
    const CheckCase& c = GetParam();
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.beeps = 0;
        auto m = opened(kThree, lang);
        m.select(1);
        const std::string title = m.title();
        EXPECT_EQ(m.addOrModify(c.signature, c.extension, c.description), Outcome::Refused);
        EXPECT_EQ(m.message(), lang == kFrench ? c.french : c.english);
        EXPECT_EQ(m.messageKind(), MessageKind::Error);
        EXPECT_EQ(notifier.beeps, 1);
        EXPECT_EQ(m.rows().size(), 3u);
        EXPECT_EQ(m.rows()[0].extension, "doc");
        EXPECT_EQ(m.selected(), std::optional<std::size_t>(1));
        EXPECT_EQ(m.title(), title);
        EXPECT_FALSE(m.flagModified());
    }
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, Checks,
    ::testing::Values(CheckCase{"W6BNMSW", "doc", "short", kLength8Fr, kLength8En},
                      CheckCase{"W6BNMSWDX", "doc", "long", kLength8Fr, kLength8En},
                      CheckCase{" W6BNMSWD", "doc", "spaces count", kLength8Fr, kLength8En},
                      CheckCase{"", "", "", kLength8Fr, kLength8En}, // the first failure wins
                      CheckCase{"W6BNMSWD", "docx", "", kExt3Fr, kExt3En},
                      CheckCase{"W6BNMSWD", "d*cx", "", kExt3Fr, kExt3En},
                      CheckCase{"W6BNMSWD", "a\\b", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "/", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "a:", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "*", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "?", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "<", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", ">", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "|", "x", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "\"", "", kExtCharFr, kExtCharEn},
                      CheckCase{"W6BNMSWD", "doc", "", kTypeFr, kTypeEn},
                      CheckCase{"W6BN\"SWD", "doc", "x", kQuoteFr, kQuoteEn},
                      CheckCase{"W6BNMSWD", "doc", "Word \"6\"", kQuoteFr, kQuoteEn},
                      CheckCase{"W6BNMSWD", "doc", "Word \xE6\x96\x87\xE6\x9B\xB8", kCodeFr,
                                kCodeEn},
                      CheckCase{"W6BN\xCE\xA9SWD", "doc", "Omega", kCodeFr, kCodeEn},
                      CheckCase{"W6BNMSWD", "\xCE\xA9", "Omega", kCodeFr, kCodeEn}));

TEST_F(Fixture, LengthsCountCharactersNotBytes) {
    auto m = opened("");
    EXPECT_EQ(m.addOrModify("ÉÉÉÉTTXT", "été", "accents"), Outcome::Added) << m.message();
    EXPECT_EQ(m.addOrModify("ABCD EFG", "", "a space counts"), Outcome::Added) << m.message();
    EXPECT_EQ(m.addOrModify("€€€€€€€€", "€", "euro is in the code page"), Outcome::Added)
        << m.message();
}

// ---- add, unchanged, modify ----

TEST_F(Fixture, AddAppendsSelectsAndRetitles) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        auto m = opened(kThree, lang);
        EXPECT_EQ(m.addOrModify("TEXTttxt", "", "Plain text"), Outcome::Added);
        EXPECT_EQ(signaturesOf(m).back(), "TEXTttxt");
        EXPECT_EQ(m.rows().back().key, "KTEXTttxt");
        EXPECT_EQ(m.rows().back().extension, "");
        EXPECT_EQ(m.selected(), std::optional<std::size_t>(3));
        EXPECT_EQ(m.messageKind(), MessageKind::Result);
        EXPECT_EQ(m.message(),
                  lang == kFrench ? "Signature ajoutée: TEXTttxt" : "Added Signature: TEXTttxt");
        EXPECT_EQ(m.title(), lang == kFrench ? "Lantrivex - Signatures Macintosh (4)"
                                             : "Lantrivex - Macintosh Signatures (4)");
        EXPECT_TRUE(m.flagModified());
    }
    EXPECT_EQ(notifier.beeps, 0);
}

TEST_F(Fixture, ReenteringARowUnchangedIsReportedAndChangesNothing) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.beeps = 0;
        auto m = opened(kThree, lang);
        m.select(0);
        EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxd", "Quark XPress Document"), Outcome::Unchanged);
        EXPECT_EQ(m.message(), lang == kFrench ? "Signature inchangée: XDOCXPR3"
                                               : "Signature not modified: XDOCXPR3");
        EXPECT_EQ(m.messageKind(), MessageKind::Error);
        EXPECT_EQ(notifier.beeps, 1);
        EXPECT_EQ(m.selected(), std::optional<std::size_t>(0));
        EXPECT_FALSE(m.flagModified());
        EXPECT_EQ(m.title(), SignatureManager::openingTitle(lang, 3));
    }
}

TEST_F(Fixture, UnchangedAfterAChangeKeepsTheListModified) {
    auto m = opened(kThree);
    m.addOrModify("TEXTttxt", "", "Plain text");
    EXPECT_EQ(m.addOrModify("TEXTttxt", "", "Plain text"), Outcome::Unchanged);
    EXPECT_TRUE(m.flagModified());
}

TEST_F(Fixture, ModificationReplacesTheRowInPlace) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        auto m = opened(kThree, lang);
        EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxp", "QuarkXPress 4 Document"), Outcome::Modified);
        ASSERT_EQ(m.rows().size(), 3u);
        EXPECT_EQ(m.rows()[1].extension, "qxp");
        EXPECT_EQ(m.rows()[1].description, "QuarkXPress 4 Document");
        EXPECT_EQ(m.selected(), std::optional<std::size_t>(1));
        EXPECT_EQ(m.messageKind(), MessageKind::Result);
        EXPECT_EQ(m.message(),
                  lang == kFrench ? "Signature modifié: XDOCXPR3" : "Modified Signature: XDOCXPR3");
        EXPECT_EQ(m.title(), SignatureManager::changedTitle(lang, 3));
        EXPECT_TRUE(m.flagModified());
    }
}

TEST_F(Fixture, ASignatureInAnotherCaseModifiesTheRowSoNoDuplicateArises) {
    auto m = opened(kThree);
    EXPECT_EQ(m.addOrModify("xdocxpr3", "qxd", "Quark XPress Document"), Outcome::Modified);
    ASSERT_EQ(m.rows().size(), 3u);
    EXPECT_EQ(m.rows()[1].signature, "xdocxpr3");
    EXPECT_EQ(m.rows()[1].key, "KXDOCXPR3") << "the key stays as created";
    EXPECT_EQ(m.findRow("XdOcXpR3"), std::optional<std::size_t>(1));
    EXPECT_EQ(m.addOrModify("XDOCXPR3", "qxd", "Quark XPress Document"), Outcome::Modified);
    EXPECT_EQ(m.rows().size(), 3u);
}

TEST_F(Fixture, FindRowAbsent) {
    const auto m = opened(kThree);
    EXPECT_FALSE(m.findRow("ABSENT!!"));
    EXPECT_FALSE(m.findRow(""));
}

// ---- remove and the click in the list ----

TEST_F(Fixture, RemoveWithoutSelectionIsRefused) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.beeps = 0;
        auto m = opened(kThree, lang);
        EXPECT_FALSE(m.removeSelected());
        EXPECT_EQ(m.message(), lang == kFrench ? "Sélectionner une signature à supprimer"
                                               : "Select a signature to remove");
        EXPECT_EQ(m.messageKind(), MessageKind::Error);
        EXPECT_EQ(notifier.beeps, 1);
        EXPECT_EQ(m.rows().size(), 3u);
        EXPECT_FALSE(m.flagModified());
    }
}

TEST_F(Fixture, RemoveTakesTheSelectedRow) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        auto m = opened(kThree, lang);
        m.select(0);
        EXPECT_TRUE(m.removeSelected());
        EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"XDOCXPR3", "8BIMPHSP"}));
        EXPECT_EQ(m.message(), lang == kFrench ? "Signature supprimée: W6BNMSWD"
                                               : "Removed Signature: W6BNMSWD");
        EXPECT_EQ(m.messageKind(), MessageKind::Result);
        EXPECT_EQ(m.title(), SignatureManager::changedTitle(lang, 2));
        EXPECT_FALSE(m.selected());
        EXPECT_TRUE(m.flagModified());
        // The signature can come back as a new row.
        EXPECT_EQ(m.addOrModify("w6bnmswd", "doc", "Word 6"), Outcome::Added);
    }
}

TEST_F(Fixture, ClickInTheListClearsTheMessageAndGivesTheRow) {
    auto m = opened(kThree);
    m.removeSelected();
    ASSERT_FALSE(m.message().empty());
    EXPECT_FALSE(m.clickList());
    EXPECT_EQ(m.message(), "");
    m.select(2);
    const auto row = m.clickList();
    ASSERT_TRUE(row);
    EXPECT_EQ(*row, (signatures::SignatureRecord{"8BIMPHSP", "psd", "Photoshop Image"}));
    m.select(7);
    EXPECT_FALSE(m.selected());
}

// ---- sorting ----

TEST_F(Fixture, HeaderClicksFlipTheDirectionWhicheverColumn) {
    auto m = opened(
        fileOf({{"bbbbbbbb", "b", "Zed"}, {"AAAAAAAA", "c", "alpha"}, {"CCCCCCCC", "a", "Mid"}}));
    m.select(0); // bbbbbbbb
    m.clickHeader(0);
    EXPECT_TRUE(m.sorted());
    EXPECT_TRUE(m.sortDescending()) << "the first click flips the initial ascending order";
    EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"CCCCCCCC", "bbbbbbbb", "AAAAAAAA"}));
    EXPECT_EQ(m.selected(), std::optional<std::size_t>(1)) << "the selection follows its row";
    m.clickHeader(2);
    EXPECT_FALSE(m.sortDescending());
    EXPECT_EQ(m.sortColumn(), 2);
    EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"AAAAAAAA", "CCCCCCCC", "bbbbbbbb"}));
    m.clickHeader(1);
    EXPECT_EQ(signaturesOf(m), (std::vector<std::string>{"AAAAAAAA", "bbbbbbbb", "CCCCCCCC"}));
    EXPECT_FALSE(m.flagModified());
    EXPECT_EQ(m.message(), "");
}

TEST_F(Fixture, ASortedListKeepsANewRowInItsPlace) {
    auto m = opened(kThree);
    m.clickHeader(0); // descending
    m.clickHeader(0); // ascending
    m.addOrModify("TEXTttxt", "", "Plain text");
    EXPECT_EQ(signaturesOf(m),
              (std::vector<std::string>{"8BIMPHSP", "TEXTttxt", "W6BNMSWD", "XDOCXPR3"}));
    EXPECT_EQ(m.selected(), std::optional<std::size_t>(1));
}

// ---- save ----

TEST_F(Fixture, SaveWithoutChangeWritesNothing) {
    auto m = opened(kThree);
    EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::NothingToSave);
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_TRUE(table.colDescriptions.empty());
}

TEST_F(Fixture, SaveWritesTheSortedListAndReloadsTheTable) {
    auto m = opened(kThree);
    m.addOrModify("TEXTttxt", "", "Texte écrit");
    m.addOrModify("w6bnmswd", "doc", "Word 6, French");
    m.clickHeader(2); // any shown order: the file is sorted by signature
    EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Saved);
    EXPECT_EQ(*files.contents(kPath), "\"8BIMPHSP\",\"psd\",\"Photoshop Image\"\r\n"
                                      "\"TEXTttxt\",\"\",\"Texte \xE9"
                                      "crit\"\r\n"
                                      "\"w6bnmswd\",\"doc\",\"Word 6, French\"\r\n"
                                      "\"XDOCXPR3\",\"qxd\",\"Quark XPress Document\"\r\n");
    EXPECT_EQ(signaturesOf(m)[0], "8BIMPHSP");
    EXPECT_FALSE(m.sortDescending());
    EXPECT_FALSE(m.flagModified());
    EXPECT_EQ(table.size(), 4u);
    EXPECT_EQ(table.nSignatures, 4);
    EXPECT_EQ(table.description("W6BNMSWD"), "Word 6, French");
    EXPECT_EQ(table.description("textTTXT"), "Texte écrit");
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Fixture, SaveOfAnEmptiedListWritesAnEmptyFile) {
    auto m = opened(fileOf({{"AAAAAAAA", "", "a"}}));
    m.select(0);
    m.removeSelected();
    EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Saved);
    EXPECT_EQ(*files.contents(kPath), "");
    EXPECT_EQ(table.size(), 0u);
}

TEST_F(Fixture, AFailedSaveTellsTheUserAndLosesNothing) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.messages.clear();
        table.clear();
        auto m = opened(kThree, lang);
        files.replaceFailure = "No space left on device";
        m.addOrModify("TEXTttxt", "", "Plain text");
        EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Failed);
        EXPECT_EQ(*files.contents(kPath), kThree);
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(notifier.messages[0].text,
                  std::string(lang == kFrench ? "Enregistrement impossible du fichier Signatures:"
                                              : "Cannot save Signatures file:") +
                      "\r\n" + kPath + "\r\nNo space left on device");
        EXPECT_EQ(m.rows().size(), 4u);
        EXPECT_TRUE(m.flagModified());
        EXPECT_TRUE(table.colDescriptions.empty()) << "no reload after a failed save";
        // The next try, once the disk has room, saves.
        files.replaceFailure.reset();
        EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Saved);
        EXPECT_EQ(table.size(), 4u);
    }
}

TEST_F(Fixture, ARowTheFileCannotHoldStopsTheSaveUntilCorrected) {
    // A hand-edited file can hold a double quote inside an unquoted field.
    auto m = opened("AAAAAAAA,,Size 12\" screen\r\n" + kThree);
    ASSERT_EQ(m.rows()[0].description, "Size 12\" screen");
    m.addOrModify("TEXTttxt", "", "Plain text");
    notifier.beeps = 0;
    EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Refused);
    EXPECT_TRUE(files.replaced.empty());
    EXPECT_EQ(m.message(), std::string(kQuoteEn) + ": AAAAAAAA");
    EXPECT_EQ(m.messageKind(), MessageKind::Error);
    EXPECT_EQ(notifier.beeps, 1);
    ASSERT_TRUE(m.selected());
    EXPECT_EQ(m.rows()[*m.selected()].signature, "AAAAAAAA");
    EXPECT_EQ(m.addOrModify("AAAAAAAA", "", "Size 12 in. screen"), Outcome::Modified);
    EXPECT_EQ(m.save(), SignatureManager::SaveOutcome::Saved);
    EXPECT_EQ(table.description("AAAAAAAA"), "Size 12 in. screen");
}

// ---- closing ----

TEST_F(Fixture, ClosingAnUnchangedListAsksNothing) {
    auto m = opened(kThree);
    m.addOrModify("bad", "", "");
    EXPECT_TRUE(m.confirmClose());
    EXPECT_TRUE(notifier.questions.empty());
}

TEST_F(Fixture, ClosingAChangedListAsksAndFollowsTheAnswer) {
    for (LanguageFlag lang : {kEnglish, kFrench}) {
        notifier.questions.clear();
        auto m = opened(kThree, lang);
        m.select(0);
        m.removeSelected();
        notifier.answers = {false, true};
        EXPECT_FALSE(m.confirmClose());
        EXPECT_TRUE(m.flagModified());
        EXPECT_TRUE(m.confirmClose());
        ASSERT_EQ(notifier.questions.size(), 2u);
        EXPECT_EQ(notifier.questions[0],
                  lang == kFrench ? "Liste modifiée\r\nQuitter sans sauvegarder les modifications"
                                  : "Modified list\r\nDiscard changes");
        EXPECT_EQ(*files.contents(kPath), kThree);
    }
}

// ---- captions and layout ----

TEST(SignatureManagerTexts, CaptionsInBothLanguages) {
    const auto fr = signatureManagerCaptions(kFrench);
    EXPECT_EQ(fr.lblSignature, "Type/Créateur\r\n[obligatoire]");
    EXPECT_EQ(fr.lblExtension, "Extension\r\n[facultative]");
    EXPECT_EQ(fr.lblType, "Type Macintosh (libellé)\r\n[obligatoire]");
    EXPECT_EQ(fr.cmdAjouter, "&Ajouter/Modifier");
    EXPECT_EQ(fr.cmdSupprimer, "&Effacer");
    EXPECT_EQ(fr.cmdOK, "&Sauvegarder");
    EXPECT_EQ(fr.cmdAnnuler, "Annuler");
    const auto en = signatureManagerCaptions(2); // any value but 1 is English
    EXPECT_EQ(en.lblSignature, "Type/Creator\r\n[mandatory]");
    EXPECT_EQ(en.lblExtension, "Extension\r\n[optional}");
    EXPECT_EQ(en.lblType, "Macintosh Type (description)\r\n[mandatory]");
    EXPECT_EQ(en.cmdAjouter, "&Add/Modify");
    EXPECT_EQ(en.cmdSupprimer, "&Remove");
    EXPECT_EQ(en.cmdOK, "&Save");
    EXPECT_EQ(en.cmdAnnuler, "&Cancel");
}

TEST(SignatureManagerTexts, Titles) {
    EXPECT_EQ(SignatureManager::openingTitle(kEnglish, 0), "Lantrivex - Macintosh signatures (0)");
    EXPECT_EQ(SignatureManager::changedTitle(kEnglish, 40000),
              "Lantrivex - Macintosh Signatures (40000)");
    EXPECT_EQ(SignatureManager::openingTitle(kFrench, 12), "Lantrivex - Signatures Macintosh (12)");
    EXPECT_EQ(SignatureManager::changedTitle(kFrench, 12), "Lantrivex - Signatures Macintosh (12)");
}

TEST(SignatureManagerLayout, EditFieldsLineUpWithTheColumns) {
    const auto l = alignSignatureFields(7455, 1440, 1440, 7455);
    EXPECT_EQ(l.column3Width, 4275);
    EXPECT_EQ(std::tie(l.signatureLeft, l.signatureWidth), std::make_tuple(100, 1340));
    EXPECT_EQ(std::tie(l.extensionLeft, l.extensionWidth), std::make_tuple(1440, 1440));
    EXPECT_EQ(std::tie(l.typeLeft, l.typeWidth), std::make_tuple(2880, 4475));
}

} // namespace
} // namespace lantrivex::shell
